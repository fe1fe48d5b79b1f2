// Port names to device paths, and the texts for the port layer's errors.

#include "port/SerialDrv.h"
#include "port/SerialPort_posix.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace {

struct TResolveCase {
    const char* Name;
    const char* Expected;
};

class SerialResolverDefaults : public ::testing::TestWithParam<TResolveCase> {};

TEST_P(SerialResolverDefaults, MapsToDevicePath) {
    std::string why = "stale";
    EXPECT_EQ(ResolvePortName(GetParam().Name, {}, &why), GetParam().Expected);
    EXPECT_EQ(why, "");
}

INSTANTIATE_TEST_SUITE_P(Names, SerialResolverDefaults,
                         ::testing::Values(TResolveCase{"\\\\.\\COM1", "/dev/ttyS0"},
                                           TResolveCase{"\\\\.\\COM2", "/dev/ttyS1"},
                                           TResolveCase{"\\\\.\\COM25", "/dev/ttyS24"},
                                           TResolveCase{"\\\\.\\COM26", "/dev/ttyS25"},
                                           TResolveCase{"\\\\.\\COM255", "/dev/ttyS254"},
                                           TResolveCase{"COM5", "/dev/ttyS4"},
                                           TResolveCase{"\\\\.\\com5", "/dev/ttyS4"},
                                           TResolveCase{"cOm7", "/dev/ttyS6"},
                                           TResolveCase{"/dev/ttyUSB0", "/dev/ttyUSB0"},
                                           TResolveCase{"/dev/pts/3", "/dev/pts/3"}));

TEST(SerialResolver, OverridesWinOverDefaultsPerPort) {
    const TPortMap map{{3, "/dev/ttyUSB0"}, {0, "/dev/pts/7"}, {26, "/dev/ttyACM1"}, {4, ""}};
    EXPECT_EQ(ResolvePortName("\\\\.\\COM3", map), "/dev/ttyUSB0");
    EXPECT_EQ(ResolvePortName("com3", map), "/dev/ttyUSB0");
    EXPECT_EQ(ResolvePortName("\\\\.\\COM0", map), "/dev/pts/7");
    EXPECT_EQ(ResolvePortName("\\\\.\\COM26", map), "/dev/ttyACM1");
    // Other ports keep their default.
    EXPECT_EQ(ResolvePortName("\\\\.\\COM2", map), "/dev/ttyS1");
    // An empty entry leaves the port without a device, not on its default one.
    std::string why;
    EXPECT_EQ(ResolvePortName("\\\\.\\COM4", map, &why), "");
    EXPECT_NE(why.find("COM4="), std::string::npos) << why;
    // A plain path is never looked up.
    EXPECT_EQ(ResolvePortName("/dev/ttyS2", map), "/dev/ttyS2");
}

TEST(SerialResolver, ComZeroHasNoDefaultDevice) {
    std::string why;
    EXPECT_EQ(ResolvePortName("\\\\.\\COM0", {}, &why), "");
    EXPECT_NE(why.find("COM0"), std::string::npos) << why;
    EXPECT_NE(why.find("Porty"), std::string::npos) << why;
    // Works without a place for the reason too.
    EXPECT_EQ(ResolvePortName("COM0", {}), "");
}

TEST(SerialResolver, GarbageNamesHaveNoDeviceAndAReason) {
    for (const char* name : {"\\\\.\\COMx", "\\\\.\\COM", "\\\\.\\COM5x", "\\\\.\\COM-1",
                             "\\\\.\\LPT1", "\\\\.\\COM99999999999999999999", ""}) {
        std::string why;
        EXPECT_EQ(ResolvePortName(name, {}, &why), "") << name;
        EXPECT_FALSE(why.empty()) << name;
    }
}

TEST(SerialErrorText, NamesTheReasonInCzechWithItsCategory) {
    struct TRow {
        int Errno;
        const char* Words;
        TChybaPortu Kind;
    };
    for (const TRow& row : {TRow{EBUSY, "jiný program", TChybaPortu::Obsazen},
                            // flock's "would block" means the same: somebody holds the port.
                            TRow{EWOULDBLOCK, "jiný program", TChybaPortu::Obsazen},
                            TRow{ENOENT, "neexistuje", TChybaPortu::Neexistuje},
                            TRow{ENODEV, "není připojeno", TChybaPortu::Neexistuje},
                            TRow{ENOTTY, "sériovému portu", TChybaPortu::Jina},
                            TRow{EACCES, "oprávnění", TChybaPortu::BezOpravneni},
                            TRow{EPERM, "oprávnění", TChybaPortu::BezOpravneni},
                            // No English prose: the symbolic name and the number.
                            TRow{ENOSPC, "Systémová chyba ENOSPC (28)", TChybaPortu::Jina}}) {
        EXPECT_NE(PortErrorText(row.Errno).find(row.Words), std::string::npos)
            << row.Errno << ": " << PortErrorText(row.Errno);
        EXPECT_EQ(PortErrorKind(row.Errno), row.Kind) << row.Errno;
    }
}

} // namespace
