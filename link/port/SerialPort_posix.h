#pragma once
// The serial port on POSIX termios. Opened non-blocking and exclusive (TIOCEXCL for ordinary
// users, flock for everyone, root included); raw mode, VMIN 0 / VTIME 0, so a read returns at
// once with what the input queue holds.

#include "port/SerialPort.h"

#include <string>

#include <termios.h>

// The text (Czech) and the category of an operating-system error on the port. Every errno the port
// layer meets is turned into words and a category here and nowhere else.
std::string PortErrorText(int errnoValue);
TChybaPortu PortErrorKind(int errnoValue);

// Puts the line settings into tio: raw mode, CLOCAL | CREAD, VMIN 0 / VTIME 0, framing, flow
// control, bit rate. False, with the reason in why and tio untouched, for what the platform
// cannot do: a non-standard bit rate, 1.5 stop bits.
bool LineSettingsToTermios(const TLineSettings& settings, termios& tio, std::string& why);
