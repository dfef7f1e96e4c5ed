#include "settings/inifile.h"
#include "settings/keys.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace kasorel;

namespace {

class IniFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString stem() const { return dir.filePath(QStringLiteral("kasorel")); }
    QString path() const { return stem() + QStringLiteral(".ini"); }

    void put(const QByteArray& bytes) const {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray content() const {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QString read(const QString& section, const QString& key,
                 const QString& def = QStringLiteral("<default>")) const {
        return ReadIniString(stem(), section, key, def);
    }
};

QString s(const char* utf8) {
    return QString::fromUtf8(utf8);
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
    EXPECT_EQ(IniFilePath(QStringLiteral("/opt/tool")), QStringLiteral("/opt/tool.ini"));
}

TEST_F(IniFileTest, MissingFileSectionOrKeyGiveTheDefaults) {
    EXPECT_EQ(read(ini::SpsheetSection, ini::UrlKey), QStringLiteral("<default>"));
    EXPECT_EQ(ReadIniInteger(stem(), ini::ApSection, QStringLiteral("MainForm_left"), 17), 17);
    EXPECT_FALSE(ReadIniBoolean(stem(), ini::ViewSection, ini::SuicaKey, false));
    EXPECT_TRUE(ReadIniBoolean(stem(), ini::ViewSection, ini::SuicaKey, true));

    put("[View]\nSuica=1\n");
    EXPECT_EQ(read(QStringLiteral("seikyo"), QStringLiteral("hoken")), QStringLiteral("<default>"));
    EXPECT_EQ(read(QStringLiteral("View"), QStringLiteral("Other")), QStringLiteral("<default>"));
}

TEST_F(IniFileTest, RoundTripsOfEveryKind) {
    const QString values[] = {
        QString(),
        QStringLiteral("https://docs.example/spreadsheets/d/abc?x=1&y=2#gid=0"),
        s("日本語の値 😀"),
        QStringLiteral("  leading and trailing  "),
        QStringLiteral("\"quoted\""),
        QStringLiteral("'single'"),
        QStringLiteral("\""),
        QStringLiteral("a=b=c ; not a comment"),
        QString(5000, u'x') + QStringLiteral("end"),
    };
    for (const QString& v : values) {
        WriteIniString(stem(), QStringLiteral("S"), QStringLiteral("K"), v);
        EXPECT_EQ(read(QStringLiteral("S"), QStringLiteral("K")), v) << v.left(40).toStdString();
    }
    for (const int v : {0, 1, -1, 680, -1920, INT_MAX, INT_MIN}) {
        WriteIniInteger(stem(), QStringLiteral("Ap"), QStringLiteral("MainForm_top"), v);
        EXPECT_EQ(ReadIniInteger(stem(), QStringLiteral("Ap"), QStringLiteral("MainForm_top"), 5),
                  v);
    }
    for (const bool v : {true, false}) {
        WriteIniBoolean(stem(), ini::SeikyoSection, ini::HokenKey, v);
        EXPECT_EQ(ReadIniBoolean(stem(), ini::SeikyoSection, ini::HokenKey, !v), v);
    }
    EXPECT_NE(content().indexOf("hoken=0\n"), -1);
}

TEST_F(IniFileTest, LineBreaksInAValueCannotAddKeys) {
    WriteIniString(stem(), QStringLiteral("S"), QStringLiteral("K"),
                   QStringLiteral("a\r\n[View]\nSuica=1"));
    EXPECT_EQ(read(QStringLiteral("S"), QStringLiteral("K")), QStringLiteral("a  [View] Suica=1"));
    EXPECT_EQ(read(QStringLiteral("View"), QStringLiteral("Suica")), QStringLiteral("<default>"));
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
        put(QByteArray("[Ap]\nv=") + c.stored + "\n");
        EXPECT_EQ(ReadIniInteger(stem(), QStringLiteral("ap"), QStringLiteral("V"), 99), c.value)
            << c.stored;
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
        put(QByteArray("[View]\nSuica=") + c.stored + "\n");
        EXPECT_EQ(ReadIniBoolean(stem(), ini::ViewSection, ini::SuicaKey, false), c.falseDefault)
            << c.stored;
        EXPECT_EQ(ReadIniBoolean(stem(), ini::ViewSection, ini::SuicaKey, true), c.trueDefault)
            << c.stored;
    }
}

TEST_F(IniFileTest, AWriteChangesOnlyTheLineOfItsKey) {
    const QByteArray before = "; settings\r\n"
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
        QByteArray after;
    } cases[] = {
        {"AP", "MAINFORM_TOP", "680",
         QByteArray(before).replace("mainform_TOP=20  ", "mainform_TOP=680")},
        {"Ap", "MainForm_left", "-1920", QByteArray(before).replace("= 10", "= -1920")},
        {"spsheet", "url", "new", QByteArray(before).replace("\"old\"", "new")},
        {"Ap", "added", "1", QByteArray(before).replace("TOP=20  \r\n", "TOP=20  \r\nadded=1\r\n")},
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
    WriteIniString(stem(), QStringLiteral("Spsheet"), QStringLiteral("URL"), s("表"));
    WriteIniBoolean(stem(), QStringLiteral("View"), QStringLiteral("Suica"), false);
    EXPECT_EQ(content(), QByteArray("[Spsheet]\nURL=\xe8\xa1\xa8\n[View]\nSuica=0\n"));
}

TEST_F(IniFileTest, ReadsAndKeepsTheFilesEncoding) {
    const QString text = s("[Spsheet]\r\nURL=表のアドレス\r\n[View]\r\nSuica=0x1\r\n");
    const QString written = s("[Spsheet]\r\nURL=新しい\r\n[View]\r\nSuica=0x1\r\n");
    const struct {
        const char* name;
        QByteArray bom;
        QStringConverter::Encoding encoding;
    } cases[] = {
        {"UTF-8", "", QStringConverter::Utf8},
        {"UTF-8 BOM", "\xEF\xBB\xBF", QStringConverter::Utf8},
        {"UTF-16LE", "\xFF\xFE", QStringConverter::Utf16LE},
        {"UTF-16BE", "\xFE\xFF", QStringConverter::Utf16BE},
    };
    for (const auto& c : cases) {
        QStringEncoder encoder(c.encoding);
        put(c.bom + QByteArray(encoder.encode(text)));
        EXPECT_EQ(read(QStringLiteral("spsheet"), QStringLiteral("url")), s("表のアドレス"))
            << c.name;
        EXPECT_TRUE(ReadIniBoolean(stem(), ini::ViewSection, ini::SuicaKey, false)) << c.name;
        WriteIniString(stem(), QStringLiteral("Spsheet"), QStringLiteral("URL"), s("新しい"));
        QStringEncoder again(c.encoding);
        EXPECT_EQ(content(), c.bom + QByteArray(again.encode(written))) << c.name;
    }
}

TEST_F(IniFileTest, AddedSectionStaysReadableAfterAStrayByteOfAUtf16File) {
    QStringEncoder encoder(QStringConverter::Utf16LE);
    put("\xFF\xFE" + QByteArray(encoder.encode(QStringLiteral("[A]\r\nk=1"))) + "\x41");
    WriteIniString(stem(), QStringLiteral("B"), QStringLiteral("k"), QStringLiteral("2"));
    EXPECT_EQ(read(QStringLiteral("A"), QStringLiteral("k")), QStringLiteral("1"));
    EXPECT_EQ(read(QStringLiteral("B"), QStringLiteral("k")), QStringLiteral("2"));
    EXPECT_TRUE(content().endsWith("\x41"));
}

TEST_F(IniFileTest, GarbledFileReadsAsDefaults) {
    QByteArray junk;
    for (int i = 0; i < 4096; ++i)
        junk += static_cast<char>((i * 7919 + 13) % 256);
    for (const QByteArray& bytes :
         {junk, QByteArray("\xFF\xFE\x00"), QByteArray("\xFE\xFF["), QByteArray(1000, '\0')}) {
        put(bytes);
        EXPECT_EQ(read(QStringLiteral("Spsheet"), QStringLiteral("URL")),
                  QStringLiteral("<default>"));
        EXPECT_EQ(ReadIniInteger(stem(), QStringLiteral("Ap"), QStringLiteral("x"), 3), 3);
    }
}

TEST_F(IniFileTest, UnwritablePathRaisesTheErrorWithTheFullPath) {
    put("[Ap]\n");
    // Below a regular file nothing can be created, not even by root.
    const QString stems[] = {path() + QStringLiteral("/kasorel"),
                             path() + QStringLiteral("/missing/kasorel")};
    for (const QString& bad : stems) {
        try {
            WriteIniInteger(bad, QStringLiteral("Ap"), QStringLiteral("MainForm_left"), 1);
            ADD_FAILURE() << "no error for " << bad.toStdString();
        } catch (const EIniFileException& e) {
            EXPECT_EQ(e.message(), bad + s(".ini に書き込めません"));
        }
        EXPECT_EQ(ReadIniInteger(bad, QStringLiteral("Ap"), QStringLiteral("MainForm_left"), 4), 4);
    }
    EXPECT_EQ(content(), QByteArray("[Ap]\n"));
}

// A full disk, met the way it happens: a small write (a key of a few characters, the
// window position) fails only when its buffered bytes would reach the disk; a large one part
// way through. Either way the old bytes stay, no temporary file is left and the error names
// the file. A file size limit below the new file's size stands in for the full disk.
TEST_F(IniFileTest, AWriteThatCannotReachTheDiskLeavesTheOldFile) {
    const QByteArray before = "[Spsheet]\nURL=kept\n";
    const struct {
        const char* what;
        std::function<void()> write;
        rlim_t limit;
    } cases[] = {
        {"a short key",
         [&] {
             WriteIniString(stem(), QStringLiteral("exchangeratesapi"), QStringLiteral("APIKey"),
                            QStringLiteral("NEWKEY"));
         },
         static_cast<rlim_t>(before.size())},
        {"the window position",
         [&] {
             WriteIniPosition(stem(), QStringLiteral("Ap"), QStringLiteral("MainForm"), {1, 2});
         },
         static_cast<rlim_t>(before.size())},
        {"a long value",
         [&] {
             WriteIniString(stem(), QStringLiteral("Spsheet"), QStringLiteral("URL"),
                            QString(100000, u'y'));
         },
         4096},
    };
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    for (const auto& c : cases) {
        put(before);
        rlimit old{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit small = old;
        small.rlim_cur = c.limit;
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        QString message;
        try {
            c.write();
        } catch (const EIniFileException& e) {
            message = e.message();
        }
        setrlimit(RLIMIT_FSIZE, &old);
        EXPECT_EQ(message, path() + s(" に書き込めません")) << c.what;
        EXPECT_EQ(content(), before) << c.what;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList{QStringLiteral("kasorel.ini")})
            << c.what;
    }
    std::signal(SIGXFSZ, oldHandler);
}

// The file holds the service key: what the program creates is its owner's alone.
TEST_F(IniFileTest, ANewFileAndItsFoldersAreTheOwnersAlone) {
    const QString folder = dir.filePath(QStringLiteral("config/kasorel"));
    WriteIniString(folder + QStringLiteral("/kasorel"), QStringLiteral("exchangeratesapi"),
                   QStringLiteral("APIKey"), QStringLiteral("K"));
    const auto mode = [](const QString& p) {
        struct stat st {};
        EXPECT_EQ(::stat(QFile::encodeName(p).constData(), &st), 0) << p.toStdString();
        return st.st_mode & 07777;
    };
    EXPECT_EQ(mode(folder + QStringLiteral("/kasorel.ini")), 0600u);
    EXPECT_EQ(mode(folder), 0700u);
    EXPECT_EQ(mode(dir.filePath(QStringLiteral("config"))), 0700u);
}

// A settings file linked to /dev/null keeps nothing and never fails; one linked to a file
// writes that file and keeps the link.
TEST_F(IniFileTest, LinksAreFollowedToFilesAndOtherwiseLeftAlone) {
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), path()));
    WriteIniInteger(stem(), QStringLiteral("Ap"), QStringLiteral("MainForm_left"), 1);
    EXPECT_EQ(QFileInfo(path()).symLinkTarget(), QStringLiteral("/dev/null"));
    EXPECT_TRUE(QFileInfo(QStringLiteral("/dev/null")).exists());

    ASSERT_TRUE(QFile::remove(path()));
    const QString real = dir.filePath(QStringLiteral("real.ini"));
    ASSERT_TRUE(QFile::link(real, path()));
    WriteIniInteger(stem(), QStringLiteral("Ap"), QStringLiteral("MainForm_left"), 1);
    EXPECT_TRUE(QFileInfo(path()).isSymLink());
    QFile f(real);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("[Ap]\nMainForm_left=1\n"));
}

TEST_F(IniFileTest, AWriteKeepsTheFilesPermissions) {
    // 0444 can only be written by root, who must not widen it either.
    const QFileDevice::Permissions modes[] = {
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup,
        QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther,
    };
    for (const auto perms : modes) {
        if (!(perms & QFileDevice::WriteOwner) && ::geteuid() != 0)
            continue;
        put("[Ap]\n");
        ASSERT_TRUE(QFile::setPermissions(path(), perms));
        WriteIniInteger(stem(), QStringLiteral("Ap"), QStringLiteral("MainForm_left"), 1);
        EXPECT_EQ(QFile::permissions(path()) & QFileDevice::Permissions(0x7077), perms);
        EXPECT_EQ(content(), QByteArray("[Ap]\nMainForm_left=1\n"));
        ASSERT_TRUE(QFile::setPermissions(path(), perms | QFileDevice::WriteOwner));
    }
}

TEST(IniPositionTest, ClampsToThePrimaryScreen) {
    const QSize screen(1920, 1080);
    const struct {
        QPoint stored;
        QPoint placed;
    } cases[] = {
        {{100, 5000}, {100, 680}},  {{100, 1080}, {100, 1080}},     {{100, 1081}, {100, 1}},
        {{-1920, 50}, {-1920, 50}}, {{1920, -1080}, {1920, -1080}}, {{5000, 2160}, {1160, 0}},
        {{0, 0}, {0, 0}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ClampIniPosition(c.stored, screen), c.placed)
            << c.stored.x() << "," << c.stored.y();
    EXPECT_EQ(ClampIniPosition({5000, 5000}, QSize(0, 0)), QPoint(5000, 5000));
}

TEST(IniPositionTest, OnAnyScreen) {
    const QList<QRect> screens{QRect(0, 0, 1920, 1080), QRect(-1920, 0, 1920, 1080)};
    const struct {
        QRect frame;
        bool on;
    } cases[] = {
        {QRect(100, 100, 700, 650), true},      {QRect(-1900, 100, 700, 650), true},
        {QRect(-8, -8, 700, 650), true},        {QRect(1910, 1070, 700, 650), true},
        {QRect(1920, 100, 700, 650), false},    {QRect(-3000, 100, 700, 650), false},
        {QRect(100, 1080, 700, 650), false},    {QRect(100, -700, 700, 650), false},
        {QRect(QPoint(50, 50), QSize()), true}, {QRect(QPoint(5000, 50), QSize()), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsOnAnyScreen(c.frame, screens), c.on) << c.frame.x() << "," << c.frame.y();
    EXPECT_TRUE(IsOnAnyScreen(QRect(99999, 99999, 1, 1), {}));
}

TEST_F(IniFileTest, PositionRoundTripAndFallBack) {
    const QList<QRect> screens{QRect(0, 0, 1920, 1080), QRect(-1920, 0, 1920, 1080)};
    const QRect frame(30, 40, 700, 650);
    const auto restore = [&] {
        return ReadIniPosition(stem(), ini::ApSection, ini::MainFormPrefix, frame,
                               QSize(1920, 1080), screens);
    };
    EXPECT_EQ(restore(), QPoint(30, 40));

    WriteIniPosition(stem(), ini::ApSection, ini::MainFormPrefix, QPoint(-1920, 5000));
    EXPECT_EQ(content(), QByteArray("[Ap]\nMainForm_left=-1920\nMainForm_top=5000\n"));
    EXPECT_EQ(restore(), QPoint(-1920, 680));

    put("[Ap]\nMainForm_left=-4000\nMainForm_top=10\n");
    EXPECT_EQ(restore(), QPoint(30, 40));
    put("[Ap]\nMainForm_left=junk\nMainForm_top=200\n");
    EXPECT_EQ(restore(), QPoint(30, 200));
}
