// Where norlink.ini and the exports go: beside a copy in a folder of its own, in the user's folders
// for an installed program. The choice against a fake environment, then the real one through the
// window's logic.

#include "LogikaRig.h"
#include "soubory/Slozky.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct TFakeSystem {
    std::map<std::string, std::string> vars;
    std::string passwdHome;
    std::set<std::string> folders;  // existing, with '/' at the end as the code asks
    std::set<std::string> writable; // of those, the writable ones
    std::map<std::string, std::string> files;

    TProstrediSlozek Prostredi() const {
        TProstrediSlozek p;
        p.Promenna = [this](const std::string& name) -> std::optional<std::string> {
            const auto it = vars.find(name);
            return it != vars.end() ? std::optional<std::string>(it->second) : std::nullopt;
        };
        p.DomovUzivatele = [this] { return passwdHome; };
        p.SlozkaExistuje = [this](const std::string& f) {
            return folders.contains(f) || folders.contains(f + "/");
        };
        p.LzeZapisovat = [this](const std::string& f) {
            return writable.contains(f) || writable.contains(f + "/");
        };
        p.CtiSoubor = [this](const std::string& path) -> std::optional<std::string> {
            const auto it = files.find(path);
            return it != files.end() ? std::optional<std::string>(it->second) : std::nullopt;
        };
        return p;
    }
};

struct TRow {
    const char* name;
    std::string instDir;
    TFakeSystem system;
    bool installed;
    std::string ini;
    std::string exports;
};

TFakeSystem Home(std::map<std::string, std::string> vars = {{"HOME", "/home/u"}}) {
    TFakeSystem s;
    s.vars = std::move(vars);
    s.folders = {"/home/u/", "/usr/lib/norlink/", "/opt/norlink/", "/home/u/norlink/"};
    s.writable = {"/home/u/", "/home/u/norlink/"};
    return s;
}

TFakeSystem With(TFakeSystem s, const std::string& path, const std::string& text) {
    s.files[path] = text;
    return s;
}

TFakeSystem WithFolder(TFakeSystem s, const std::string& folder, bool writable) {
    s.folders.insert(folder);
    if (writable) {
        s.writable.insert(folder);
    }
    return s;
}

std::vector<TRow> Rows() {
    const std::string dirs = "/home/u/.config/user-dirs.dirs";
    const std::string inst = "/usr/lib/norlink/";
    return {
        {"OwnWritableFolderKeepsBoth", "/home/u/norlink/", Home(), false, "/home/u/norlink/",
         "/home/u/norlink/"},
        {"MissingFolderIsNoInstallation", "/home/u/neni/", Home(), false, "/home/u/neni/",
         "/home/u/neni/"},
        {"UnderUsrEvenWhenWritableAsRoot", inst, WithFolder(Home(), inst, true), true,
         "/home/u/.config/norlink/", "/home/u/NORLINK/"},
        {"UsrLocalIsUnderUsr", "/usr/local/bin/", Home(), true, "/home/u/.config/norlink/",
         "/home/u/NORLINK/"},
        {"UsrMustBeAWholeName", "/usrx/norlink/", WithFolder(Home(), "/usrx/norlink/", true), false,
         "/usrx/norlink/", "/usrx/norlink/"},
        {"NotWritableElsewhere", "/opt/norlink/", Home(), true, "/home/u/.config/norlink/",
         "/home/u/NORLINK/"},
        {"WritableElsewhereIsACopy", "/opt/norlink/", WithFolder(Home(), "/opt/norlink/", true),
         false, "/opt/norlink/", "/opt/norlink/"},
        {"NoTrailingSlash", "/usr/lib/norlink", Home(), true, "/home/u/.config/norlink/",
         "/home/u/NORLINK/"},
        {"XdgConfigHome", inst, Home({{"HOME", "/home/u"}, {"XDG_CONFIG_HOME", "/cfg//"}}), true,
         "/cfg/norlink/", "/home/u/NORLINK/"},
        {"RelativeXdgConfigHomeIgnored", inst,
         Home({{"HOME", "/home/u"}, {"XDG_CONFIG_HOME", "cfg"}}), true, "/home/u/.config/norlink/",
         "/home/u/NORLINK/"},
        {"EmptyXdgConfigHomeIgnored", inst, Home({{"HOME", "/home/u"}, {"XDG_CONFIG_HOME", ""}}),
         true, "/home/u/.config/norlink/", "/home/u/NORLINK/"},
        {"DocumentsWhenPresent", inst, WithFolder(Home(), "/home/u/Documents/", true), true,
         "/home/u/.config/norlink/", "/home/u/Documents/NORLINK/"},
        {"UserDirsHomeRelative", inst,
         With(WithFolder(Home(), "/home/u/Documents/", true), dirs,
              "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Plocha\"\n"
              "XDG_DOCUMENTS_DIR=\"$HOME/Dokumenty\"\n"),
         true, "/home/u/.config/norlink/", "/home/u/Dokumenty/NORLINK/"},
        {"UserDirsAbsoluteAndEscaped", inst,
         With(Home(), dirs, "  XDG_DOCUMENTS_DIR=\"/data/moje \\\"dok\\\"\"\n"), true,
         "/home/u/.config/norlink/", "/data/moje \"dok\"/NORLINK/"},
        {"UserDirsLastAssignmentCounts", inst,
         With(Home(), dirs,
              "XDG_DOCUMENTS_DIR=\"$HOME/a\"\n#XDG_DOCUMENTS_DIR=\"$HOME/b\"\n"
              "XDG_DOCUMENTS_DIR=\"$HOME/c\"\n"),
         true, "/home/u/.config/norlink/", "/home/u/c/NORLINK/"},
        {"UserDirsDisabledMeansHome", inst,
         With(WithFolder(Home(), "/home/u/Documents/", true), dirs,
              "XDG_DOCUMENTS_DIR=\"$HOME/\"\n"),
         true, "/home/u/.config/norlink/", "/home/u/NORLINK/"},
        {"UserDirsInvalidValuesIgnored", inst,
         With(WithFolder(Home(), "/home/u/Documents/", true), dirs,
              "XDG_DOCUMENTS_DIR=\"Dokumenty\"\nXDG_DOCUMENTS_DIR=\"$HOMEX/d\"\n"
              "XDG_DOCUMENTS_DIR=$HOME/bez\nXDG_DOCUMENTS_DIR=\"$HOME/neukonceno\n"),
         true, "/home/u/.config/norlink/", "/home/u/Documents/NORLINK/"},
        {"UserDirsFromXdgConfigHomeOnly", inst,
         With(With(Home({{"HOME", "/home/u"}, {"XDG_CONFIG_HOME", "/cfg"}}), dirs,
                   "XDG_DOCUMENTS_DIR=\"$HOME/stary\"\n"),
              "/cfg/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/novy\"\n"),
         true, "/cfg/norlink/", "/home/u/novy/NORLINK/"},
        {"DocumentsFromEnvironmentWithoutUserDirs", inst,
         Home({{"HOME", "/home/u"}, {"XDG_DOCUMENTS_DIR", "/srv/d"}}), true,
         "/home/u/.config/norlink/", "/srv/d/NORLINK/"},
        {"UserDirsBeforeEnvironment", inst,
         With(Home({{"HOME", "/home/u"}, {"XDG_DOCUMENTS_DIR", "/srv/d"}}), dirs,
              "XDG_DOCUMENTS_DIR=\"$HOME/Dokumenty\"\n"),
         true, "/home/u/.config/norlink/", "/home/u/Dokumenty/NORLINK/"},
        {"NoHomeVariableUsesUserDatabase", inst,
         [] {
             TFakeSystem s = Home({});
             s.passwdHome = "/var/lib/tech";
             return s;
         }(),
         true, "/var/lib/tech/.config/norlink/", "/var/lib/tech/NORLINK/"},
        {"RelativeHomeUsesUserDatabase", inst,
         [] {
             TFakeSystem s = Home({{"HOME", "u"}});
             s.passwdHome = "/home/tech/";
             return s;
         }(),
         true, "/home/tech/.config/norlink/", "/home/tech/NORLINK/"},
        {"NoHomeAtAllStaysInTheProgramFolder", inst, Home({}), false, inst, inst},
    };
}

TEST(UrciSlozky, EachCase) {
    for (const TRow& row : Rows()) {
        SCOPED_TRACE(row.name);
        const TSlozky slozky = UrciSlozky(row.instDir, row.system.Prostredi());
        EXPECT_EQ(slozky.Instalovany, row.installed);
        EXPECT_EQ(slozky.Nastaveni, row.ini);
        EXPECT_EQ(slozky.Exporty, row.exports);
    }
}

// Sets environment variables for one test and puts back what was there.
class TEnv {
public:
    void Set(const char* name, const std::string& value) {
        Remember(name);
        ::setenv(name, value.c_str(), 1);
    }
    void Unset(const char* name) {
        Remember(name);
        ::unsetenv(name);
    }
    ~TEnv() {
        for (const auto& [name, value] : fSaved) {
            if (value) {
                ::setenv(name.c_str(), value->c_str(), 1);
            } else {
                ::unsetenv(name.c_str());
            }
        }
    }

private:
    void Remember(const char* name) {
        if (!fSaved.contains(name)) {
            const char* old = std::getenv(name);
            fSaved[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
    }
    std::map<std::string, std::optional<std::string>> fSaved;
};

class SlozkyProgramu : public TLogikaRig {
protected:
    SlozkyProgramu() {
        fEnv.Set("HOME", fHome.string());
        fEnv.Set("XDG_CONFIG_HOME", fConfig.string());
        fEnv.Unset("XDG_DOCUMENTS_DIR");
        fs::create_directories(fHome);
    }
    const fs::path fHome = fDir / "home";
    const fs::path fConfig = fDir / "cfg";
    TEnv fEnv;
};

TEST_F(SlozkyProgramu, InstalledCreatesTheUserFoldersACopyCreatesNothing) {
    EXPECT_EQ(SlozkaNastaveni("/usr/lib/norlink/"), (fConfig / "norlink").string() + "/");
    EXPECT_TRUE(fs::is_directory(fConfig / "norlink"));
    EXPECT_EQ(SlozkaExportu("/usr/lib/norlink/"), (fHome / "NORLINK").string() + "/");
    EXPECT_TRUE(fs::is_directory(fHome / "NORLINK"));

    const std::string copy = (fScratch / "kopie").string() + "/";
    EXPECT_EQ(SlozkaNastaveni(copy), copy);
    EXPECT_EQ(SlozkaExportu(copy), copy);
    EXPECT_FALSE(fs::exists(copy)) << "a missing program folder is not created";
}

TEST_F(SlozkyProgramu, InstalledWindowKeepsItsIniAndExportsInTheUserFolders) {
    fs::create_directories(fHome / "Documents");
    InicializujNORLINKRec(NORLINKRec);
    NORLINKRecNew = NORLINKRec;
    // A folder under /usr that is not there: nothing may be written beside the program.
    TMainLogika& logika = Spust("/usr/lib/norlink-neni/");
    logika.cmUlozNastaveniClick();
    logika.FormClose();
    fLogika.reset();

    EXPECT_TRUE(fOkno.Errors.empty()) << fOkno.Errors.front();
    ASSERT_EQ(fOkno.Messages.size(), 1U);
    const fs::path saved = fOkno.Messages[0].Detail;
    EXPECT_EQ(saved.parent_path(), fHome / "Documents" / "NORLINK") << "the full path is shown";
    EXPECT_TRUE(fs::is_regular_file(saved));
    const std::string text = Soubor(fConfig / "norlink" / "norlink.ini");
    EXPECT_NE(text.find("[ComPort]"), std::string::npos) << text;
    EXPECT_FALSE(fs::exists("/usr/lib/norlink-neni"));
}

TEST(SlozkaSpustitelnehoSouboru, IsTheFolderOfTheRunningExecutable) {
    const std::string folder = SlozkaSpustitelnehoSouboru();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_EQ(fs::path(folder + "model_tests").lexically_normal(),
              fs::canonical("/proc/self/exe").lexically_normal());
}

} // namespace
