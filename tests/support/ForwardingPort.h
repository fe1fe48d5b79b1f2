#pragma once
// A serial port that passes every call to the real termios port; decorators for tests and the
// benchmark derive from it and override only what they watch or change.

#include "port/SerialPort.h"

#include <memory>
#include <span>
#include <string>

class TForwardingPort : public ISerialPort {
public:
    TForwardingPort() : fInner(MakePosixSerialPort()) {}

    bool Open(const std::string& path) override { return fInner->Open(path); }
    void Close() override { fInner->Close(); }
    bool IsOpen() const override { return fInner->IsOpen(); }
    bool Configure(const TLineSettings& settings) override { return fInner->Configure(settings); }
    bool Flush(bool input, bool output) override { return fInner->Flush(input, output); }
    long InQueue() override { return fInner->InQueue(); }
    long OutQueue() override { return fInner->OutQueue(); }
    TIoResult Read(std::span<std::uint8_t> buffer) override { return fInner->Read(buffer); }
    TIoResult Write(std::span<const std::uint8_t> data) override { return fInner->Write(data); }
    bool Drain() override { return fInner->Drain(); }
    bool Vyslano() override { return fInner->Vyslano(); }
    bool NastavRs485(bool zapnuto) override { return fInner->NastavRs485(zapnuto); }
    int Deskriptor() const override { return fInner->Deskriptor(); }
    bool SetDTR(bool on) override { return fInner->SetDTR(on); }
    bool SetRTS(bool on) override { return fInner->SetRTS(on); }
    bool HungUp() const override { return fInner->HungUp(); }
    const std::string& LastError() const override { return fInner->LastError(); }
    TChybaPortu LastErrorKind() const override { return fInner->LastErrorKind(); }

protected:
    ISerialPort& Inner() { return *fInner; }

private:
    std::unique_ptr<ISerialPort> fInner;
};
