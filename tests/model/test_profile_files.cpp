// The profile functions on real files: opened anew for every call, created by the first write,
// replaced as a whole, and failures reported with the file's full path.

#include "NoFileOverride.h"
#include "soubory/ProfileFile.h"
#include "soubory/WholeFile.h"
#include "test_profile_scratch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
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

// Something at path that exists and cannot be read, and the words that say why.
struct TUnreadable {
    const char* Name;
    std::function<void(const std::string& path)> Make;
    const char* Reason;
};

const std::string k_Held = "[ComPort]\nCislo=5\nProgram=4\n[Porty]\nCOM5=/dev/ttyUSB0\n";

// What lies at path: its kind, and a regular file's bytes.
std::string Snapshot(const std::string& path) {
    const auto status = fs::symlink_status(path);
    return std::to_string(static_cast<int>(status.type())) +
           (fs::is_regular_file(status) ? ":" + ReadFileBytes(path) : std::string());
}

std::vector<TUnreadable> UnreadableFiles() {
    return {
        {"no read permission",
         [](const std::string& path) {
             WriteFileBytes(path, k_Held);
             ::chmod(path.c_str(), 0);
         },
         "chybí oprávnění ke čtení"},
        {"a folder", [](const std::string& path) { fs::create_directory(path); }, "složka"},
        {"a FIFO", [](const std::string& path) { ::mkfifo(path.c_str(), 0600); }, "roura"},
        {"one byte over the limit",
         [](const std::string& path) {
             WriteFileBytes(path,
                            k_Held + std::string(k_MaxProfileFileSize - k_Held.size() + 1, ';'));
         },
         "větší než 1 MB"},
    };
}

} // namespace

TEST(ProfileFiles, WhatExistsButCannotBeReadIsToldApartFromAMissingFile) {
    TScratchDir dir;
    const TNoFileOverride asUser;
    ASSERT_TRUE(asUser.Active());
    for (const auto& unreadable : UnreadableFiles()) {
        SCOPED_TRACE(unreadable.Name);
        const std::string path = dir / unreadable.Name;
        unreadable.Make(path);
        const TFileContents contents = ReadFileUpTo(path, k_MaxProfileFileSize);
        EXPECT_EQ(contents.State, TReadState::Unreadable);
        EXPECT_THAT(contents.Reason, ::testing::HasSubstr(unreadable.Reason));
        try {
            (void)TProfileFile::Load(path);
            ADD_FAILURE() << "no EProfileReadError";
        } catch (const EProfileReadError& error) {
            EXPECT_EQ(error.Path(), path);
            EXPECT_EQ(error.what(), path + ": " + contents.Reason);
        }
        // The profile functions read it as empty, as the Windows ones do.
        EXPECT_EQ(ReadProfileInteger(path, "ComPort", "Cislo", 2), 2);
    }
    // Missing, also below a file where a folder should be.
    WriteFileBytes(dir / "plain", "x");
    for (const std::string missing : {dir / "missing.ini", dir / "plain/norlink.ini"}) {
        EXPECT_EQ(ReadFileUpTo(missing).State, TReadState::Missing) << missing;
        EXPECT_EQ(TProfileFile::Load(missing).Text(), "");
    }
    // The limit itself is still a settings file.
    const std::string full = k_Held + std::string(k_MaxProfileFileSize - k_Held.size(), ';');
    WriteFileBytes(dir / "full.ini", full);
    EXPECT_EQ(TProfileFile::Load(dir / "full.ini").ReadInteger("ComPort", "Cislo", 0), 5);
}

TEST(ProfileFiles, AWriteNeverReplacesAFileItCannotRead) {
    TScratchDir dir;
    for (const auto& unreadable : UnreadableFiles()) {
        SCOPED_TRACE(unreadable.Name);
        const std::string path = dir / unreadable.Name;
        unreadable.Make(path);
        const std::string before = Snapshot(path);
        {
            const TNoFileOverride asUser;
            ASSERT_TRUE(asUser.Active());
            ExpectWriteError(path, path);
            EXPECT_THROW(WriteProfileStrings(path, std::vector<TProfileEntry>{{"S", "k", "v"}}),
                         EProfileWriteError);
        }
        EXPECT_EQ(Snapshot(path), before);
    }
    EXPECT_EQ(CountEntries(AsInstDir(dir)), UnreadableFiles().size()) << "a temporary file stayed";
}

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
    // subject to it too. SIGXFSZ keeps its default action, which would end the process.
    EXPECT_EXIT(
        {
            std::signal(SIGXFSZ, SIG_DFL);
            struct rlimit limited {};
            ::getrlimit(RLIMIT_FSIZE, &limited);
            limited.rlim_cur = 64;
            ::setrlimit(RLIMIT_FSIZE, &limited);
            try {
                WriteProfileString(ini, "ComPort", "Text", std::string(1000, 'x'));
            } catch (const EProfileWriteError& error) {
                std::_Exit(error.what() == "Unable to write to " + ini ? 0 : 2);
            }
            std::_Exit(1);
        },
        ::testing::ExitedWithCode(0), "");

    EXPECT_EQ(ReadFileBytes(ini), old);
    EXPECT_EQ(CountEntries(AsInstDir(dir)), 1u);
}

TEST(ProfileFiles, ReplacingKeepsThePermissionsAndTheOwnerOfTheOldFile) {
    TScratchDir dir;
    const std::string ini = dir / "norlink.ini";
    // Another owner can only be given by root (as in CI); an ordinary user keeps their own.
    const bool root = ::geteuid() == 0;
    const uid_t uid = root ? 4242 : ::geteuid();
    const gid_t gid = root ? 4243 : ::getegid();
    struct stat st {};
    // Set-id bits too, which a change of owner clears.
    for (const mode_t mode : {0640, 06750}) {
        WriteFileBytes(ini, "[ComPort]\nCislo=3\n");
        ASSERT_EQ(::chown(ini.c_str(), uid, gid), 0);
        ASSERT_EQ(::chmod(ini.c_str(), mode), 0);
        WriteProfileString(ini, "ComPort", "Cislo", "4");
        ASSERT_EQ(::stat(ini.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, mode);
        EXPECT_EQ(st.st_uid, uid);
        EXPECT_EQ(st.st_gid, gid);
        fs::remove(ini);
    }

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
