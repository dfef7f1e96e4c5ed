#include "settings/inifile.h"
#include "settings/keys.h"

#include "convert/unicode.h"
#include "settings_test_files.h"
#include "text_printers.h"

#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <filesystem>
#include <functional>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace kasorel;

namespace {

class IniFileTest : public ::testing::Test {
protected:
    TemporaryFolder dir;
    std::u16string stem() const { return dir.File("kasorel"); }
    std::u16string path() const { return stem() + u".ini"; }

    void put(const std::string& bytes) const { ASSERT_TRUE(WriteFileBytes(path(), bytes)); }
    std::string content() const { return FileBytes(path()); }
    std::u16string read(std::u16string_view section, std::u16string_view key,
                        std::u16string_view def = u"<default>") const {
        return ReadIniString(stem(), section, key, def);
    }
};

std::u16string s(const char* utf8) {
    return FromUtf8(utf8);
}

enum class Encoding { Utf8, Utf16LE, Utf16BE };

// text in one of the file's encodings, without a mark.
std::string Encoded(std::u16string_view text, Encoding e) {
    if (e == Encoding::Utf8)
        return ToUtf8(text);
    std::string out;
    for (const char16_t c : text) {
        const char lo = static_cast<char>(c & 0xFF);
        const char hi = static_cast<char>(c >> 8);
        out += e == Encoding::Utf16LE ? lo : hi;
        out += e == Encoding::Utf16LE ? hi : lo;
    }
    return out;
}

// What replacing every occurrence of from in text with to gives.
std::string WithReplaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

} // namespace

TEST(IniFileStemTest, DropsTheFileNamesExtensionOnly) {
    const struct {
        const char* exe;
        const char* stem;
    } cases[] = {
        {"/opt/kasorel/kasorel", "/opt/kasorel/kasorel"},
        {"/opt/kasorel/kasorel.bin", "/opt/kasorel/kasorel"},
        {"/opt/kasorel/kasorel.tar.gz", "/opt/kasorel/kasorel.tar"},
        {"/opt/v1.2/kasorel", "/opt/v1.2/kasorel"},
        {"/opt/v1.2/tool.exe", "/opt/v1.2/tool"},
        {"kasorel.exe", "kasorel"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IniFileStem(s(c.exe)), s(c.stem)) << c.exe;
    EXPECT_EQ(IniFilePath(u"/opt/tool"), u"/opt/tool.ini");
}

TEST_F(IniFileTest, MissingFileSectionOrKeyGiveTheDefaults) {
    EXPECT_EQ(read(ini::SpsheetSection, ini::UrlKey), u"<default>");
    EXPECT_EQ(ReadIniInteger(stem(), ini::ApSection, u"MainForm_left", 17), 17);
    EXPECT_FALSE(ReadIniBoolean(stem(), ini::ViewSection, ini::SuicaKey, false));
    EXPECT_TRUE(ReadIniBoolean(stem(), ini::ViewSection, ini::SuicaKey, true));

    put("[View]\nSuica=1\n");
    EXPECT_EQ(read(u"seikyo", u"hoken"), u"<default>");
    EXPECT_EQ(read(u"View", u"Other"), u"<default>");
}

TEST_F(IniFileTest, RoundTripsOfEveryKind) {
    const std::u16string values[] = {
        std::u16string(),
        u"https://docs.example/spreadsheets/d/abc?x=1&y=2#gid=0",
        s("日本語の値 😀"),
        u"  leading and trailing  ",
        u"\"quoted\"",
        u"'single'",
        u"\"",
        u"a=b=c ; not a comment",
        std::u16string(5000, u'x') + u"end",
    };
    for (const std::u16string& v : values) {
        WriteIniString(stem(), u"S", u"K", v);
        EXPECT_EQ(read(u"S", u"K"), v) << ToUtf8(v.substr(0, 40));
    }
    for (const int v : {0, 1, -1, 680, -1920, INT_MAX, INT_MIN}) {
        WriteIniInteger(stem(), u"Ap", u"MainForm_top", v);
        EXPECT_EQ(ReadIniInteger(stem(), u"Ap", u"MainForm_top", 5), v);
    }
    for (const bool v : {true, false}) {
        WriteIniBoolean(stem(), ini::SeikyoSection, ini::HokenKey, v);
        EXPECT_EQ(ReadIniBoolean(stem(), ini::SeikyoSection, ini::HokenKey, !v), v);
    }
    EXPECT_NE(content().find("hoken=0\n"), std::string::npos);
}

TEST_F(IniFileTest, LineBreaksInAValueCannotAddKeys) {
    WriteIniString(stem(), u"S", u"K", u"a\r\n[View]\nSuica=1");
    EXPECT_EQ(read(u"S", u"K"), u"a  [View] Suica=1");
    EXPECT_EQ(read(u"View", u"Suica"), u"<default>");
}

TEST_F(IniFileTest, ReadsNamesInAnyCaseAndValuesWithoutBlanksAndOneQuotePair) {
    put("top=before any section\n"
        "; comment=no\n"
        "[spSHEET]\n"
        "  url  =  \t value with blanks \t \n"
        "URL=second is ignored\n"
        "dq=\"double\"\n"
        "sq= 'single' \n"
        "two=\"\"x\"\"\n"
        "mixed=\"x'\n"
        "lone=\"\n"
        "empty=\n"
        "eq=a=b\n"
        "noequals\n"
        "#hash=no\n"
        "[ other ]\n"
        "key=o\n"
        "[Spsheet]\n"
        "late=second section is ignored\n");
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } cases[] = {
        {"Spsheet", "URL", "value with blanks"},
        {"SPSHEET", "Url", "value with blanks"},
        {"Spsheet", "dq", "double"},
        {"Spsheet", "sq", "single"},
        {"Spsheet", "two", "\"x\""},
        {"Spsheet", "mixed", "\"x'"},
        {"Spsheet", "lone", "\""},
        {"Spsheet", "empty", ""},
        {"Spsheet", "eq", "a=b"},
        {"Spsheet", "noequals", "<default>"},
        {"Spsheet", "; comment", "<default>"},
        {"Spsheet", "#hash", "<default>"},
        {"Spsheet", "key", "<default>"},
        {"Spsheet", "late", "<default>"},
        {"other", "key", "o"},
        {"", "top", "<default>"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(read(s(c.section), s(c.key)), s(c.value)) << c.section << "/" << c.key;
}

// Names typed in other scripts match in either case too, as they always have.
TEST_F(IniFileTest, NamesOutsideAsciiMatchInAnyCase) {
    put("[Ärger]\nΣΟΦΙΑ=greek\nключ=cyrillic\nＫＥＹ=wide\n[other]\nk=1\n");
    const struct {
        const char* section;
        const char* key;
        const char* value;
    } cases[] = {
        {"ärger", "σοφια", "greek"},   {"ÄRGER", "КЛЮЧ", "cyrillic"},   {"ärger", "ｋｅｙ", "wide"},
        {"ärger", "key", "<default>"}, {"arger", "σοφια", "<default>"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(read(s(c.section), s(c.key)), s(c.value)) << c.section << "/" << c.key;
}

TEST_F(IniFileTest, IntegersAndBooleans) {
    const struct {
        const char* stored;
        int value; // with default 99
    } cases[] = {
        {"42", 42},
        {"+5", 5},
        {"-1920", -1920},
        {" 7 ", 7},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"2147483648", 99},
        {"-2147483649", 99},
        {"0x1", 1},
        {"0X10", 16},
        {"0xFFFFFFFF", -1},
        {"$ff", 255},
        {"$0000000FF", 255},
        {"$100000000", 99},
        {"0x", 99},
        {"$", 99},
        {"x10", 99},
        {"-$10", 99},
        {"-0x10", 99},
        {"1 2", 99},
        {"12abc", 99},
        {"yes", 99},
        {"true", 99},
        {"", 99},
        {"'3'", 3},
        {"１２", 99},
    };
    for (const auto& c : cases) {
        put(std::string("[Ap]\nv=") + c.stored + "\n");
        EXPECT_EQ(ReadIniInteger(stem(), u"ap", u"V", 99), c.value) << c.stored;
    }

    const struct {
        const char* stored;
        bool falseDefault;
        bool trueDefault;
    } booleans[] = {
        {"1", true, true},    {"2", true, true},     {"-1", true, true},
        {"0x1", true, true},  {"0x10", true, true},  {"0", false, false},
        {"yes", false, true}, {"true", false, true}, {"", false, true},
    };
    for (const auto& c : booleans) {
        put(std::string("[View]\nSuica=") + c.stored + "\n");
        EXPECT_EQ(ReadIniBoolean(stem(), ini::ViewSection, ini::SuicaKey, false), c.falseDefault)
            << c.stored;
        EXPECT_EQ(ReadIniBoolean(stem(), ini::ViewSection, ini::SuicaKey, true), c.trueDefault)
            << c.stored;
    }
}

TEST_F(IniFileTest, AWriteChangesOnlyTheLineOfItsKey) {
    const std::string before = "; settings\r\n"
                               "\r\n"
                               "[Ap]\r\n"
                               "MainForm_left = 10\r\n"
                               "  mainform_TOP=20  \r\n"
                               "\r\n"
                               "; about the next section\r\n"
                               "[Spsheet]\r\n"
                               "URL=\"old\"\r\n"
                               "[Other]\n"
                               "bytes=\xff\xfe not UTF-8\n"
                               "last=no line break";
    const struct {
        const char* section;
        const char* key;
        const char* value;
        std::string after;
    } cases[] = {
        {"AP", "MAINFORM_TOP", "680",
         WithReplaced(before, "mainform_TOP=20  ", "mainform_TOP=680")},
        {"Ap", "MainForm_left", "-1920", WithReplaced(before, "= 10", "= -1920")},
        {"spsheet", "url", "new", WithReplaced(before, "\"old\"", "new")},
        {"Ap", "added", "1", WithReplaced(before, "TOP=20  \r\n", "TOP=20  \r\nadded=1\r\n")},
        {"Other", "added", "2", before + "\r\nadded=2\r\n"},
        {"New", "key", "3", before + "\r\n[New]\r\nkey=3\r\n"},
    };
    for (const auto& c : cases) {
        put(before);
        WriteIniString(stem(), s(c.section), s(c.key), s(c.value));
        EXPECT_EQ(content(), c.after) << c.section << "/" << c.key;
    }
}

TEST_F(IniFileTest, NewFileIsUtf8WithoutMarkAndLfLines) {
    WriteIniString(stem(), u"Spsheet", u"URL", s("表"));
    WriteIniBoolean(stem(), u"View", u"Suica", false);
    EXPECT_EQ(content(), "[Spsheet]\nURL=\xe8\xa1\xa8\n[View]\nSuica=0\n");
}

TEST_F(IniFileTest, ReadsAndKeepsTheFilesEncoding) {
    const std::u16string text = s("[Spsheet]\r\nURL=表のアドレス\r\n[View]\r\nSuica=0x1\r\n");
    const std::u16string written = s("[Spsheet]\r\nURL=新しい\r\n[View]\r\nSuica=0x1\r\n");
    const struct {
        const char* name;
        std::string bom;
        Encoding encoding;
    } cases[] = {
        {"UTF-8", "", Encoding::Utf8},
        {"UTF-8 BOM", "\xEF\xBB\xBF", Encoding::Utf8},
        {"UTF-16LE", "\xFF\xFE", Encoding::Utf16LE},
        {"UTF-16BE", "\xFE\xFF", Encoding::Utf16BE},
    };
    for (const auto& c : cases) {
        put(c.bom + Encoded(text, c.encoding));
        EXPECT_EQ(read(u"spsheet", u"url"), s("表のアドレス")) << c.name;
        EXPECT_TRUE(ReadIniBoolean(stem(), ini::ViewSection, ini::SuicaKey, false)) << c.name;
        WriteIniString(stem(), u"Spsheet", u"URL", s("新しい"));
        EXPECT_EQ(content(), c.bom + Encoded(written, c.encoding)) << c.name;
    }
}

// A file that is not UTF-8 and has no mark is in the system's 8-bit encoding (UTF-8 here);
// what does not decode reads as U+FFFD, and a write keeps those bytes.
TEST_F(IniFileTest, UndecodableBytesReadAsReplacementAndStay) {
    const std::string before = "[Spsheet]\nURL=caf\xe9\n[Ap]\nMainForm_left=1\n";
    put(before);
#ifndef __EMSCRIPTEN__
    // (In the page the 8-bit encoding is that of the browser's language, where é is a letter.)
    EXPECT_EQ(read(u"Spsheet", u"URL"), u"caf\uFFFD");
#endif
    EXPECT_EQ(ReadIniInteger(stem(), u"Ap", u"MainForm_left", 0), 1);
    WriteIniInteger(stem(), u"Ap", u"MainForm_left", 2);
    EXPECT_EQ(content(), "[Spsheet]\nURL=caf\xe9\n[Ap]\nMainForm_left=2\n");
}

// A mark at the start of a later line (two files pasted together) is no part of its name.
TEST_F(IniFileTest, AMarkStartingALineIsNotPartOfIt) {
    const std::u16string text = u"[A]\r\n\uFEFF[View]\r\n\uFEFFSuica=1\r\n";
    for (const auto& [bom, encoding] :
         {std::pair<std::string, Encoding>{"\xEF\xBB\xBF", Encoding::Utf8},
          {"", Encoding::Utf8},
          {"\xFF\xFE", Encoding::Utf16LE},
          {"\xFE\xFF", Encoding::Utf16BE}}) {
        put(bom + Encoded(text, encoding));
        EXPECT_TRUE(ReadIniBoolean(stem(), ini::ViewSection, ini::SuicaKey, false)) << bom.size();
    }
}

TEST_F(IniFileTest, AddedSectionStaysReadableAfterAStrayByteOfAUtf16File) {
    put("\xFF\xFE" + Encoded(u"[A]\r\nk=1", Encoding::Utf16LE) + "\x41");
    WriteIniString(stem(), u"B", u"k", u"2");
    EXPECT_EQ(read(u"A", u"k"), u"1");
    EXPECT_EQ(read(u"B", u"k"), u"2");
    EXPECT_TRUE(content().ends_with("\x41"));
}

// UTF-16 holds a lone surrogate as it is; UTF-8 cannot, and gets U+FFFD wherever it stands.
TEST_F(IniFileTest, LoneSurrogatesInAWrittenValue) {
    const std::u16string value = u"a\xD800"
                                 u"b\xDC00";
    put("\xFF\xFE" + Encoded(u"[S]\r\n", Encoding::Utf16LE));
    WriteIniString(stem(), u"S", u"K", value);
    EXPECT_EQ(read(u"S", u"K"), value);
    std::filesystem::remove(std::filesystem::path(path()));
    WriteIniString(stem(), u"S", u"K", value);
    EXPECT_EQ(content(), "[S]\nK=a\xEF\xBF\xBD"
                         "b\xEF\xBF\xBD\n");
}

TEST_F(IniFileTest, GarbledFileReadsAsDefaults) {
    std::string junk;
    for (int i = 0; i < 4096; ++i)
        junk += static_cast<char>((i * 7919 + 13) % 256);
    for (const std::string& bytes : {junk, std::string("\xFF\xFE\x00", 3), std::string("\xFE\xFF["),
                                     std::string(1000, '\0')}) {
        put(bytes);
        EXPECT_EQ(read(u"Spsheet", u"URL"), u"<default>");
        EXPECT_EQ(ReadIniInteger(stem(), u"Ap", u"x", 3), 3);
    }
}

TEST_F(IniFileTest, UnwritablePathRaisesTheErrorWithTheFullPath) {
    put("[Ap]\n");
    // Below a regular file nothing can be created, not even by root.
    const std::u16string stems[] = {path() + u"/kasorel", path() + u"/missing/kasorel"};
    for (const std::u16string& bad : stems) {
        try {
            WriteIniInteger(bad, u"Ap", u"MainForm_left", 1);
            ADD_FAILURE() << "no error for " << ToUtf8(bad);
        } catch (const EIniFileException& e) {
            EXPECT_EQ(e.message(), bad + s(".ini に書き込めません"));
        }
        EXPECT_EQ(ReadIniInteger(bad, u"Ap", u"MainForm_left", 4), 4);
    }
    EXPECT_EQ(content(), "[Ap]\n");
}

#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
// What follows is POSIX: file size limits, modes, owners and links.

// A full disk, met the way it happens: a small write (a key of a few characters, the
// window position) fails only when its buffered bytes would reach the disk; a large one part
// way through. Either way the old bytes stay, no temporary file is left and the error names
// the file. A file size limit below the new file's size stands in for the full disk.
TEST_F(IniFileTest, AWriteThatCannotReachTheDiskLeavesTheOldFile) {
    const std::string before = "[Spsheet]\nURL=kept\n";
    const struct {
        const char* what;
        std::function<void()> write;
        rlim_t limit;
    } cases[] = {
        {"a short key", [&] { WriteIniString(stem(), u"exchangeratesapi", u"APIKey", u"NEWKEY"); },
         static_cast<rlim_t>(before.size())},
        {"the window position",
         [&] {
             WriteIniPosition(stem(), u"Ap", u"MainForm", {1, 2});
         },
         static_cast<rlim_t>(before.size())},
        {"a long value",
         [&] { WriteIniString(stem(), u"Spsheet", u"URL", std::u16string(100000, u'y')); }, 4096},
    };
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    for (const auto& c : cases) {
        put(before);
        rlimit old{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit small = old;
        small.rlim_cur = c.limit;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        std::u16string message;
        try {
            c.write();
        } catch (const EIniFileException& e) {
            message = e.message();
        }
        setrlimit(RLIMIT_FSIZE, &old);
        EXPECT_EQ(message, path() + s(" に書き込めません")) << c.what;
        EXPECT_EQ(content(), before) << c.what;
        EXPECT_EQ(dir.Names(), std::vector<std::string>{"kasorel.ini"}) << c.what;
    }
    std::signal(SIGXFSZ, oldHandler);
}

// The file holds the service key: what the program creates is its owner's alone.
TEST_F(IniFileTest, ANewFileAndItsFoldersAreTheOwnersAlone) {
    const std::u16string folder = dir.File("config/kasorel");
    WriteIniString(folder + u"/kasorel", u"exchangeratesapi", u"APIKey", u"K");
    const auto mode = [](const std::u16string& p) {
        struct stat st {};
        EXPECT_EQ(::stat(ToUtf8(p).c_str(), &st), 0) << ToUtf8(p);
        return st.st_mode & 07777;
    };
    EXPECT_EQ(mode(folder + u"/kasorel.ini"), 0600u);
    EXPECT_EQ(mode(folder), 0700u);
    EXPECT_EQ(mode(dir.File("config")), 0700u);
}

// A settings file linked to /dev/null keeps nothing and never fails; one linked to a file
// writes that file and keeps the link.
TEST_F(IniFileTest, LinksAreFollowedToFilesAndOtherwiseLeftAlone) {
    namespace fs = std::filesystem;
    const fs::path link(path());
    fs::create_symlink("/dev/null", link);
    WriteIniInteger(stem(), u"Ap", u"MainForm_left", 1);
    EXPECT_EQ(fs::read_symlink(link), fs::path("/dev/null"));
    EXPECT_TRUE(fs::is_character_file("/dev/null"));

    ASSERT_TRUE(fs::remove(link));
    const std::u16string real = dir.File("real.ini");
    fs::create_symlink(fs::path(real), link);
    WriteIniInteger(stem(), u"Ap", u"MainForm_left", 1);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(FileBytes(real), "[Ap]\nMainForm_left=1\n");
}

TEST_F(IniFileTest, AWriteKeepsTheFilesPermissions) {
    // 0444 can only be written by root, who must not widen it either.
    for (const mode_t perms : {mode_t{0640}, mode_t{0444}}) {
        if (!(perms & S_IWUSR) && ::geteuid() != 0)
            continue;
        put("[Ap]\n");
        ASSERT_EQ(::chmod(ToUtf8(path()).c_str(), perms), 0);
        WriteIniInteger(stem(), u"Ap", u"MainForm_left", 1);
        struct stat st {};
        ASSERT_EQ(::stat(ToUtf8(path()).c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, perms);
        EXPECT_EQ(content(), "[Ap]\nMainForm_left=1\n");
        ASSERT_EQ(::chmod(ToUtf8(path()).c_str(), perms | S_IWUSR), 0);
    }
}

#endif

TEST(IniPositionTest, ClampsToThePrimaryScreen) {
    const Size screen{1920, 1080};
    const struct {
        Point stored;
        Point placed;
    } cases[] = {
        {{100, 5000}, {100, 680}},  {{100, 1080}, {100, 1080}},     {{100, 1081}, {100, 1}},
        {{-1920, 50}, {-1920, 50}}, {{1920, -1080}, {1920, -1080}}, {{5000, 2160}, {1160, 0}},
        {{0, 0}, {0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClampIniPosition(c.stored, screen), c.placed) << c.stored.x << "," << c.stored.y;
    EXPECT_EQ(ClampIniPosition({5000, 5000}, Size{0, 0}), (Point{5000, 5000}));
}

TEST(IniPositionTest, OnAnyScreen) {
    const std::vector<Rect> screens{{0, 0, 1920, 1080}, {-1920, 0, 1920, 1080}};
    const struct {
        Rect frame;
        bool on;
    } cases[] = {
        {{100, 100, 700, 650}, true},   {{-1900, 100, 700, 650}, true},
        {{-8, -8, 700, 650}, true},     {{1910, 1070, 700, 650}, true},
        {{1920, 100, 700, 650}, false}, {{-3000, 100, 700, 650}, false},
        {{100, 1080, 700, 650}, false}, {{100, -700, 700, 650}, false},
        {{50, 50, 0, 0}, true},         {{5000, 50, 0, 0}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsOnAnyScreen(c.frame, screens), c.on) << c.frame.x << "," << c.frame.y;
    EXPECT_TRUE(IsOnAnyScreen(Rect{99999, 99999, 1, 1}, {}));
}

TEST_F(IniFileTest, PositionRoundTripAndFallBack) {
    const std::vector<Rect> screens{{0, 0, 1920, 1080}, {-1920, 0, 1920, 1080}};
    const Rect frame{30, 40, 700, 650};
    const auto restore = [&] {
        return ReadIniPosition(stem(), ini::ApSection, ini::MainFormPrefix, frame, Size{1920, 1080},
                               screens);
    };
    EXPECT_EQ(restore(), (Point{30, 40}));

    WriteIniPosition(stem(), ini::ApSection, ini::MainFormPrefix, Point{-1920, 5000});
    EXPECT_EQ(content(), "[Ap]\nMainForm_left=-1920\nMainForm_top=5000\n");
    EXPECT_EQ(restore(), (Point{-1920, 680}));

    put("[Ap]\nMainForm_left=-4000\nMainForm_top=10\n");
    EXPECT_EQ(restore(), (Point{30, 40}));
    put("[Ap]\nMainForm_left=junk\nMainForm_top=200\n");
    EXPECT_EQ(restore(), (Point{30, 200}));
}
