// The settings file: the integer rule, the records round trip, mangled files, and
// where the file lives.
#include "settings/SettingsFile.h"

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <unistd.h>

using namespace qinglan;
using namespace std::string_literals;
namespace fs = std::filesystem;

namespace {

// A fresh folder per test, and XDG_CONFIG_HOME / HOME put back afterwards.
class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "qinglan-settings-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        for (const char* name : { "XDG_CONFIG_HOME", "HOME" })
            if (const char* value = std::getenv(name))
                saved_.emplace_back(name, value);
            else
                saved_.emplace_back(name, std::nullopt);
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_)
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
        fs::permissions(dir_, fs::perms::owner_all);
        fs::remove_all(dir_);
    }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    void put(const std::string& name, const std::string& text) const {
        std::ofstream(dir_ / name, std::ios::binary) << text;
    }
    std::string slurp(const std::string& name) const {
        std::ostringstream text;
        text << std::ifstream(dir_ / name, std::ios::binary).rdbuf();
        return text.str();
    }

    fs::path dir_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// The part of a profile the file keeps.
EngineProfile kept(std::string program, EngineProtocol protocol, RankBase rankBase,
    std::map<std::string, std::string> own) {
    EngineProfile profile;
    profile.programPath = std::move(program);
    profile.protocol = protocol;
    profile.rankBase = rankBase;
    profile.ownOptions = std::move(own);
    return profile;
}

const EngineOptions FILE_DEFAULT_OPTIONS { "", 0, "small", "medium", "normal", 0, "", 1 };
const DisplaySettings FILE_DEFAULT_DISPLAY { "默认", 40, 10, 30, 30 };

} // namespace

TEST(ProfileInt, ReadsLikeTheFileRuleAndClamps) {
    struct Row {
        const char* text;
        int value;
    };
    const Row rows[] = { { "40abc", 40 }, { "abc", 0 }, { " -7", -7 }, { "+3", 3 },
        { "\t 12 3", 12 }, { "007", 7 }, { "", 0 }, { "-", 0 }, { "- 5", 0 }, { "--5", 0 },
        { "2147483647", INT_MAX }, { "-2147483648", INT_MIN }, { "99999999999", INT_MAX },
        { "-99999999999999999999999", INT_MIN }, { "2147483648", INT_MAX } };
    for (const Row& row : rows) EXPECT_EQ(parseProfileInt(row.text), row.value) << row.text;
    for (int value : { 0, -1, 30, INT_MAX, INT_MIN })
        EXPECT_EQ(parseProfileInt(formatProfileInt(value)), value);
    EXPECT_EQ(formatProfileInt(-40), "-40");
}

TEST_F(SettingsFileTest, RecordsAndPathsReadBackAsWritten) {
    const std::string mainPath = " /opt/青岚 引擎/a=b;c.exe ";
    const EngineOptions odd { "\"书.obk\"", -5, "; not a comment", "#nor this", "[style]", INT_MIN,
        "  日志 = x.html", 7 };
    const EngineProfile oddProfile = kept(mainPath, EngineProtocol::Uci, RankBase::One,
        { { "Skill Level", " 3 " }, { "EvalFile", "" }, { "UCI_Variant", "\"xiangqi\"" },
            { "棋风", "[x]=y" } });
    const EngineOptions plain { "/book", 64, "large", "none", "risky", 4, "", 2 };
    const EngineProfile plainProfile
        = kept("", EngineProtocol::Ucci, RankBase::Zero, { { "Hash", "64" } });
    const DisplaySettings display { "/home/用户/图 片;1.png", 0, 100, -3, INT_MAX };
    {
        ProfileFile profile(path("s.ini"));
        EXPECT_EQ(profile.loadState(), ProfileFile::LoadState::Missing);
        // What was learnt in the run is not saved: the next handshake announces it.
        EngineProfile learnt = oddProfile;
        learnt.announced = { { "Skill Level", OptionKind::Spin, "20", 0, 20, {} } };
        learnt.defaultBookFile = "/default.obk";
        EXPECT_TRUE(writeEngineSettings(profile, SECTION_MAIN_ENGINE, mainPath, odd, learnt));
        EXPECT_TRUE(writeEngineSettings(
            profile, SECTION_SECONDARY_ENGINE, NO_PROGRAM_PATH, plain, plainProfile));
        EXPECT_TRUE(writeDisplaySettings(profile, display));
        EXPECT_FALSE(fs::exists(path("s.ini"))) << "writes wait for save";
        ASSERT_TRUE(profile.save());
    }
    ProfileFile profile(path("s.ini"));
    EXPECT_EQ(profile.loadState(), ProfileFile::LoadState::Loaded);
    EngineSettings main = readEngineSettings(profile, SECTION_MAIN_ENGINE);
    EngineSettings secondary = readEngineSettings(profile, SECTION_SECONDARY_ENGINE);
    EXPECT_EQ(main.programPath, mainPath);
    EXPECT_EQ(main.options, odd);
    EXPECT_EQ(main.profile, oddProfile);
    EXPECT_EQ(secondary.programPath, " ");
    EXPECT_EQ(secondary.options, plain);
    EXPECT_EQ(secondary.profile, plainProfile);
    EXPECT_EQ(readDisplaySettings(profile), display);
    EXPECT_FALSE(slurp("s.ini").starts_with("\xEF\xBB\xBF")) << "no byte-order mark";

    // Own options the engine dropped leave the file; names no key can hold are refused.
    EngineProfile fewer = plainProfile;
    fewer.ownOptions = { { "Threads", "2" }, { "a=b", "1" } };
    EXPECT_FALSE(
        writeEngineSettings(profile, SECTION_SECONDARY_ENGINE, NO_PROGRAM_PATH, plain, fewer));
    ASSERT_TRUE(profile.save());
    fewer.ownOptions.erase("a=b");
    EXPECT_EQ(
        readEngineSettings(ProfileFile(path("s.ini")), SECTION_SECONDARY_ENGINE).profile, fewer);
}

TEST_F(SettingsFileTest, TheProgramProfileKeepsTheKeysOfEarlierVersions) {
    // A file as earlier versions wrote it, where these keys sat beside the options.
    put("old.ini",
        "[主引擎]\n文件名=/e/uci\n随机性=none\n协议=UCI\n行号起点=1\n选项所属程序=/e/uci\n"
        "[主引擎自带选项]\nSkill Level=3\n"
        "[副引擎]\n协议=UCCI\n行号起点=0\n选项所属程序=/e/ucci\n");
    ProfileFile old(path("old.ini"));
    const EngineSettings main = readEngineSettings(old, SECTION_MAIN_ENGINE);
    EXPECT_EQ(main.profile,
        kept("/e/uci", EngineProtocol::Uci, RankBase::One, { { "Skill Level", "3" } }));
    EXPECT_EQ(main.options.randomness, "none");
    EXPECT_EQ(readEngineSettings(old, SECTION_SECONDARY_ENGINE).profile,
        kept("/e/ucci", EngineProtocol::Ucci, RankBase::Zero, {}));

    // Written now, under the same keys an earlier version reads.
    ProfileFile fresh(path("new.ini"));
    EXPECT_TRUE(
        writeEngineSettings(fresh, SECTION_MAIN_ENGINE, "/e/uci", main.options, main.profile));
    ASSERT_TRUE(fresh.save());
    const std::string text = slurp("new.ini");
    for (const char* line : { "协议=UCI\n", "行号起点=1\n", "选项所属程序=/e/uci\n",
             "[主引擎自带选项]\nSkill Level=3\n" })
        EXPECT_NE(text.find(line), std::string::npos) << line << " in\n" << text;
    EXPECT_EQ(readEngineSettings(ProfileFile(path("new.ini")), SECTION_MAIN_ENGINE).profile,
        main.profile);
}

TEST_F(SettingsFileTest, MissingFileGivesEveryDefault) {
    ProfileFile profile(path("none.ini"));
    for (std::string_view section : { SECTION_MAIN_ENGINE, SECTION_SECONDARY_ENGINE }) {
        EngineSettings engine = readEngineSettings(profile, section);
        EXPECT_EQ(engine.programPath, " ");
        EXPECT_EQ(engine.options, FILE_DEFAULT_OPTIONS);
    }
    EXPECT_EQ(readDisplaySettings(profile), FILE_DEFAULT_DISPLAY);
}

TEST_F(SettingsFileTest, MangledFileReadsWhatItCan) {
    put("m.ini",
        "棋盘透明度=20\n" // before any section: not the display's
        "garbage without equals\n\xFF\xFE\x01 binary\n[主引擎\n"
        "[主引擎]\n随机性=large\n随机性=none\n线程数=4x\n  内存使用 = 64  \n"
        "协议=ucci\n行号起点=7\n[主引擎自带选项]\nHash=1\nhash=2\nbare line\n"
        "[显示]\n棋子透明度=40abc\n列表透明度=abc\n\0\0 after a NUL\n"
        "[显示]\n动画速度=9\n底图=\"  spaced  \"\n"s);
    ProfileFile profile(path("m.ini"));
    EngineOptions main = FILE_DEFAULT_OPTIONS;
    main.randomness = "large"; // the first of two duplicates wins
    main.threads = 4;
    main.hashSizeMb = 64;
    EXPECT_EQ(readEngineSettings(profile, SECTION_MAIN_ENGINE).options, main);
    // An unknown protocol is automatic, an unknown rank base unknown.
    const EngineProfile learnt = kept(
        "", EngineProtocol::Auto, RankBase::Unknown, { { "Hash", "1" }, { "bare line", "" } });
    EXPECT_EQ(readEngineSettings(profile, SECTION_MAIN_ENGINE).profile, learnt);
    EXPECT_EQ(readDisplaySettings(profile), (DisplaySettings { "  spaced  ", 40, 40, 0, 9 }));

    // Saving keeps the stray lines; writing a duplicated key leaves one line of it.
    EXPECT_TRUE(writeEngineSettings(profile, SECTION_MAIN_ENGINE, "/e", main, learnt));
    ASSERT_TRUE(profile.save());
    const std::string text = slurp("m.ini");
    EXPECT_NE(text.find("garbage without equals"), std::string::npos);
    EXPECT_NE(text.find("after a NUL\n"), std::string::npos) << "a stray line stays bare";
    EXPECT_NE(text.find("棋盘透明度=20"), std::string::npos);
    EXPECT_EQ(text.find("随机性=none"), std::string::npos);
    EXPECT_EQ(readEngineSettings(ProfileFile(path("m.ini")), SECTION_MAIN_ENGINE).options, main);
    EXPECT_EQ(readEngineSettings(ProfileFile(path("m.ini")), SECTION_MAIN_ENGINE).profile, learnt);
}

TEST_F(SettingsFileTest, AByteOrderMarkIsSkippedAndNotWrittenBack) {
    // As Windows editors save it: read and saved as the same text without the mark.
    for (const std::string first : { "[主引擎]", "; 我的设置\r\n[主引擎]", "\r\n[主引擎]" }) {
        SCOPED_TRACE(first);
        std::string saved[2];
        for (const std::string mark : { "\xEF\xBB\xBF", "" }) {
            put("bom.ini", mark + first + "\r\n随机性=large\r\n");
            ProfileFile profile(path("bom.ini"));
            EXPECT_EQ(readEngineSettings(profile, SECTION_MAIN_ENGINE).options.randomness, "large");
            ASSERT_TRUE(profile.save());
            saved[mark.empty()] = slurp("bom.ini");
        }
        EXPECT_EQ(saved[0], saved[1]);
    }
}

TEST_F(SettingsFileTest, NamesMatchWithoutAsciiCaseAndOtherContentStays) {
    put("c.ini", "; a note of the user\n[Extra]\nKey=1\n[主引擎]\n自定义=留着\n");
    ProfileFile profile(path("c.ini"));
    EXPECT_EQ(profile.read("EXTRA", "kEY", "-"), "1");
    EXPECT_TRUE(profile.write("extra", "KEY", "2"));
    EXPECT_TRUE(writeEngineSettings(profile, SECTION_MAIN_ENGINE, "/e", FILE_DEFAULT_OPTIONS, {}));
    ASSERT_TRUE(profile.save());
    const std::string text = slurp("c.ini");
    EXPECT_NE(text.find("; a note of the user"), std::string::npos);
    EXPECT_NE(text.find("[Extra]\nKey=2\n"), std::string::npos) << text;
    ProfileFile again(path("c.ini"));
    EXPECT_EQ(again.read(SECTION_MAIN_ENGINE, "自定义", ""), "留着");
    EXPECT_EQ(readEngineSettings(again, SECTION_MAIN_ENGINE).programPath, "/e");
}

TEST_F(SettingsFileTest, RefusesWhatCannotStayOnOneLineAndReportsFailedSaves) {
    ProfileFile profile(path("r.ini"));
    EXPECT_FALSE(profile.write(SECTION_DISPLAY, "底图", "a\n[主引擎]\n文件名=/evil"));
    EXPECT_FALSE(profile.write("a]b", "k", "v"));
    EXPECT_FALSE(profile.write("s", "k=v", "v"));
    EngineOptions options = FILE_DEFAULT_OPTIONS;
    options.logFile = "x\ry";
    EXPECT_FALSE(writeEngineSettings(profile, SECTION_MAIN_ENGINE, "/engine", options, {}));
    EXPECT_EQ(readEngineSettings(profile, SECTION_MAIN_ENGINE).programPath, "/engine");
    EXPECT_EQ(profile.read(SECTION_MAIN_ENGINE, "日志文件", "none"), "none");
    EXPECT_EQ(profile.read(SECTION_DISPLAY, "底图", "none"), "none");

    put("plain", "a file where a folder should be");
    EXPECT_FALSE(ProfileFile(path("r.ini"), path("plain/sub/r.ini")).save());
    // A folder in the file's place reads as unreadable and is never written over.
    fs::create_directory(path("folder.ini"));
    ProfileFile folder(path("folder.ini"));
    EXPECT_EQ(folder.loadState(), ProfileFile::LoadState::Unreadable);
    EXPECT_FALSE(folder.save());
    EXPECT_TRUE(fs::is_directory(path("folder.ini")));
}

TEST_F(SettingsFileTest, FileLivesBesideTheProgramUnlessThatFolderIsReadOnly) {
    const std::string program = path("bin"), config = path("config");
    fs::create_directory(program);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    const std::string beside = program + "/青岚象棋配置.ini";
    const std::string own = config + "/qinglan/青岚象棋配置.ini";
    auto all = [](const std::string&) { return true; };
    auto none = [](const std::string&) { return false; };
    auto at = [](const SettingsFileLocation& l) { return std::pair(l.readPath, l.savePath); };

    EXPECT_EQ(at(settingsFilePath(program, all)), std::pair(beside, beside));
    EXPECT_EQ(at(settingsFilePath(program, none)), std::pair(own, own));
    ProfileFile installed(own);
    installed.write(SECTION_DISPLAY, "动画速度", "12");
    ASSERT_TRUE(installed.save()) << "the configuration folder is made on save";

    // A read-only file beside the program serves until the user has a file of their own.
    fs::remove(own);
    put("bin/青岚象棋配置.ini", "[显示]\n动画速度=5\n");
    EXPECT_EQ(at(settingsFilePath(program, all)), std::pair(beside, beside));
    EXPECT_EQ(at(settingsFilePath(program, none)), std::pair(beside, own));
    ASSERT_TRUE(ProfileFile(beside, own).save());
    EXPECT_EQ(at(settingsFilePath(program, none)), std::pair(own, own));

    // A relative XDG_CONFIG_HOME is ignored in favour of HOME.
    setenv("XDG_CONFIG_HOME", "relative", 1);
    setenv("HOME", dir_.c_str(), 1);
    EXPECT_EQ(userConfigDirectory(), path(".config/qinglan"));
}

TEST_F(SettingsFileTest, RealReadOnlyFolderFallsBack) {
    const std::string program = path("ro");
    fs::create_directory(program);
    setenv("XDG_CONFIG_HOME", path("config").c_str(), 1);
    fs::permissions(program, fs::perms(0555));
    if (isWritablePath(program))
        GTEST_SKIP() << "running with the right to write anywhere (root); the injected "
                        "check in the test above covers the decision";
    EXPECT_EQ(settingsFilePath(program).savePath, path("config/qinglan/青岚象棋配置.ini"));
}

TEST(ProgramDirectory, IsTheFolderOfThisTest) {
    const std::string dir = programDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_TRUE(fs::exists(fs::path(dir) / "settings_tests"));
}
