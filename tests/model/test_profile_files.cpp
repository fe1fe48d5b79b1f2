// The profile functions on real files: opened anew for every call, created by the first write,
// replaced as a whole, and failures reported with the file's full path.

#include "ProfileFile.h"
#include "WholeFile.h"
#include "test_profile_scratch.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::size_t CountEntries(const std::string& folder) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder)) {
        ++count;
    }
    return count;
}

void ExpectWriteError(const std::string& path, const std::string& expectedFullPath) {
    try {
        WriteProfileString(path, "ComPort", "Cislo", "5");
    } catch (const EProfileWriteError& error) {
        EXPECT_STREQ(error.what(), ("Unable to write to " + expectedFullPath).c_str());
        EXPECT_EQ(error.Path(), expectedFullPath);
        EXPECT_FALSE(error.Reason().empty());
        return;
    }
    ADD_FAILURE() << "no EProfileWriteError for " << path;
}

} // namespace

TEST(ProfileFiles, MissingFileReadsAsEmptyAndTheFirstWriteCreatesIt) {
    TScratchDir dir;
    const std::string ini = dir / "norlink.ini";
    EXPECT_EQ(ReadProfileInteger(ini, "ComPort", "Cislo", 2), 2);
    EXPECT_EQ(ReadProfileString(ini, "Porty", "COM1", "none"), "none");
    EXPECT_TRUE(ReadProfileSection(ini, "ComPort").empty());
    EXPECT_FALSE(fs::exists(ini)); // reading creates nothing

    WriteProfileString(ini, "ComPort", "Program", "1");
    EXPECT_EQ(ReadFileBytes(ini), "[ComPort]\nProgram=1\n");
    EXPECT_EQ(ReadProfileInteger(ini, "ComPort", "Program", 0), 1);
}

TEST(ProfileFiles, EveryCallOpensTheFileAnew) {
    TScratchDir dir;
    const std::string ini = dir / "norlink.ini";
    WriteFileBytes(ini, "[ComPort]\nCislo=3\n");
    EXPECT_EQ(ReadProfileInteger(ini, "ComPort", "Cislo", 2), 3);
    WriteFileBytes(ini, "[ComPort]\r\nCislo=4\r\nRychlost=9600\r\n");
    EXPECT_EQ(ReadProfileInteger(ini, "ComPort", "Cislo", 2), 4);
    // A write starts from what is on the disk now, not from an earlier read.
    WriteProfileString(ini, "ComPort", "Program", "2");
    EXPECT_EQ(ReadFileBytes(ini), "[ComPort]\r\nCislo=4\r\nRychlost=9600\r\nProgram=2\r\n");
    fs::remove(ini);
    EXPECT_EQ(ReadProfileInteger(ini, "ComPort", "Cislo", 2), 2);
}

TEST(ProfileFiles, ADirectoryOrAFifoInPlaceOfTheFileReadsAsEmpty) {
    TScratchDir dir;
    fs::create_directory(dir / "norlink.ini");
    EXPECT_EQ(ReadProfileInteger(dir / "norlink.ini", "ComPort", "Cislo", 2), 2);
    ASSERT_EQ(::mkfifo((dir / "fifo.ini").c_str(), 0600), 0);
    // Must not block waiting for a writer.
    EXPECT_EQ(ReadProfileInteger(dir / "fifo.ini", "ComPort", "Cislo", 2), 2);
}

TEST(ProfileFiles, WriteFailsWhenTheFolderIsARegularFile) {
    TScratchDir dir;
    WriteFileBytes(dir / "plain", "x");
    const std::string ini = dir / "plain/norlink.ini";
    ExpectWriteError(ini, ini);
    EXPECT_EQ(ReadFileBytes(dir / "plain"), "x");
    EXPECT_EQ(CountEntries(AsInstDir(dir)), 1u);
}

TEST(ProfileFiles, WriteFailsWhenTheNameIsADirectoryAndLeavesNoTemporaryFile) {
    TScratchDir dir;
    const std::string ini = dir / "norlink.ini";
    fs::create_directory(ini);
    ExpectWriteError(ini, ini);
    EXPECT_TRUE(fs::is_directory(ini));
    EXPECT_EQ(CountEntries(AsInstDir(dir)), 1u);
}

TEST(ProfileFiles, WriteErrorNamesTheFullPathOfARelativeName) {
    TScratchDir dir;
    fs::create_directory(dir / "sub");
    fs::create_directory(dir / "sub/norlink.ini");
    const auto previous = fs::current_path();
    fs::current_path(dir / "sub");
    ExpectWriteError("norlink.ini", fs::current_path().string() + "/norlink.ini");
    fs::current_path(previous);
}

TEST(ProfileFiles, AFailedWriteLeavesTheOldFileIntact) {
    TScratchDir dir;
    const std::string ini = dir / "norlink.ini";
    const std::string old = "[ComPort]\nCislo=3\n";
    WriteFileBytes(ini, old);

    // A file size limit makes the write run out of space part way, as a full disk would; root is
    // subject to it too.
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = saved;
    limited.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    bool thrown = false;
    try {
        WriteProfileString(ini, "ComPort", "Text", std::string(1000, 'x'));
    } catch (const EProfileWriteError& error) {
        thrown = true;
        EXPECT_STREQ(error.what(), ("Unable to write to " + ini).c_str());
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_TRUE(thrown);
    EXPECT_EQ(ReadFileBytes(ini), old);
    EXPECT_EQ(CountEntries(AsInstDir(dir)), 1u);
}

TEST(ProfileFiles, ReplacingKeepsThePermissionsOfTheOldFile) {
    TScratchDir dir;
    const std::string ini = dir / "norlink.ini";
    WriteFileBytes(ini, "[ComPort]\nCislo=3\n");
    ASSERT_EQ(::chmod(ini.c_str(), 0640), 0);
    WriteProfileString(ini, "ComPort", "Cislo", "4");
    struct stat st {};
    ASSERT_EQ(::stat(ini.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // A new file gets the usual permissions less the umask.
    const mode_t mask = ::umask(022);
    WriteProfileString(dir / "new.ini", "S", "k", "v");
    ::umask(mask);
    ASSERT_EQ(::stat((dir / "new.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
}

TEST(ProfileFiles, ASymbolicLinkIsFollowedAndStays) {
    TScratchDir dir;
    fs::create_directory(dir / "real");
    WriteFileBytes(dir / "real/norlink.ini", "[ComPort]\nCislo=3\n");
    fs::create_symlink(dir / "real/norlink.ini", dir / "norlink.ini");
    WriteProfileString(dir / "norlink.ini", "ComPort", "Cislo", "7");
    EXPECT_TRUE(fs::is_symlink(dir / "norlink.ini"));
    EXPECT_EQ(ReadFileBytes(dir / "real/norlink.ini"), "[ComPort]\nCislo=7\n");
}

TEST(ProfileFiles, WholeFileReadAndReplaceKeepEveryByte) {
    TScratchDir dir;
    std::string bytes;
    for (int i = 0; i < 200000; ++i) {
        bytes += static_cast<char>(i * 7 % 256);
    }
    ASSERT_TRUE(ReplaceWholeFile(dir / "f", bytes));
    EXPECT_EQ(ReadWholeFile(dir / "f"), bytes);
    ASSERT_TRUE(ReplaceWholeFile(dir / "f", ""));
    EXPECT_EQ(ReadWholeFile(dir / "f"), "");
    EXPECT_EQ(ReadWholeFile(dir / "missing"), std::nullopt);
    std::string why;
    EXPECT_FALSE(ReplaceWholeFile(dir / "missing/f", "x", &why));
    EXPECT_NE(why.find("missing"), std::string::npos) << why;
}
