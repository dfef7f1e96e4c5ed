#include "app/form1.h"
#include "convert/errors.h"
#include "settings/inifile.h"

#include "widget_app.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <optional>

using namespace kasorel;

namespace {

QApplication& app() {
    return TestApp();
}

class SettingsCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        app();
        form = ScriptedWindow(desktop);
        form->SetIniFileName(stem());
    }

    QString stem() const { return dir.filePath(QStringLiteral("kasorel")); }
    QString content() const {
        QFile f(stem() + QStringLiteral(".ini"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll())
                                           : QStringLiteral("<missing>");
    }
    static QString errorText(const QString& path) {
        return path + QStringLiteral(" に書き込めません.");
    }

    QTemporaryDir dir;
    std::unique_ptr<TForm1> form;
    ScriptedDesktop* desktop = nullptr;
};

} // namespace

TEST_F(SettingsCommandsTest, TextPromptsPrefillTheStoredValueAndWriteBackOnCancel) {
    const struct {
        void (TForm1::*command)();
        const char* section;
        const char* key;
        const char* title;
        const char* prompt;
    } prompts[] = {
        {&TForm1::Button8Click, "Spsheet", "URL", "スプシURLを入力して下さい", "スプシURL"},
        {&TForm1::Button9Click, "exchangeratesapi", "APIKey", "API Keyを入力して下さい", "API Key"},
    };
    for (const auto& p : prompts) {
        SCOPED_TRACE(p.key);
        const QString section = QString::fromUtf8(p.section);
        const QString key = QString::fromUtf8(p.key);
        QFile::remove(stem() + QStringLiteral(".ini"));
        desktop->inputs.clear();

        // Cancel with nothing stored creates the key with an empty value.
        desktop->inputAnswers = {std::nullopt, QStringLiteral(" typed key "), std::nullopt,
                                 QString()};
        (form.get()->*p.command)();
        EXPECT_EQ(content(), QStringLiteral("[%1]\n%2=\n").arg(section, key));
        (form.get()->*p.command)();
        EXPECT_EQ(ReadIniString(stem(), section, key, QString()), QStringLiteral(" typed key "));
        (form.get()->*p.command)();
        EXPECT_EQ(ReadIniString(stem(), section, key, QString()), QStringLiteral(" typed key "));
        (form.get()->*p.command)();
        EXPECT_EQ(ReadIniString(stem(), section, key, QStringLiteral("<absent>")), QString());

        ASSERT_EQ(desktop->inputs.size(), 4u);
        const QString defaults[] = {QString(), QString(), QStringLiteral(" typed key "),
                                    QStringLiteral(" typed key ")};
        for (size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(desktop->inputs[i].title, QString::fromUtf8(p.title));
            EXPECT_EQ(desktop->inputs[i].prompt, QString::fromUtf8(p.prompt));
            EXPECT_EQ(desktop->inputs[i].defaultText, defaults[i]) << i;
        }
    }
    EXPECT_TRUE(desktop->errors.empty());
    EXPECT_TRUE(desktop->opened.isEmpty());
}

TEST_F(SettingsCommandsTest, RemarkSwitches) {
    const struct {
        void (TForm1::*command)();
        const char* section;
        const char* key;
        const char* question;
        const char* information;
    } switches[] = {
        {&TForm1::Button12Click, "View", "Suica", "ViewはSuica限定ですか?",
         "備考欄にSuicaと出力します"},
        {&TForm1::Button10Click, "seikyo", "hoken", "生協は保険限定ですか?",
         "備考欄に保険と出力します"},
    };
    for (const auto& s : switches) {
        SCOPED_TRACE(s.key);
        QFile::remove(stem() + QStringLiteral(".ini"));
        desktop->questions.clear();
        desktop->informations.clear();
        const QString section = QString::fromUtf8(s.section);
        const QString key = QString::fromUtf8(s.key);

        desktop->confirmAnswers = {false};
        (form.get()->*s.command)();
        EXPECT_EQ(content(), QStringLiteral("[%1]\n%2=0\n").arg(section, key));
        EXPECT_TRUE(desktop->informations.isEmpty());

        desktop->confirmAnswers = {true};
        (form.get()->*s.command)();
        EXPECT_TRUE(ReadIniBoolean(stem(), section, key, false));
        EXPECT_EQ(desktop->informations, QStringList{QString::fromUtf8(s.information)});

        desktop->confirmAnswers = {false};
        (form.get()->*s.command)();
        EXPECT_FALSE(ReadIniBoolean(stem(), section, key, true));
        EXPECT_EQ(desktop->questions, QStringList(3, QString::fromUtf8(s.question)));
    }
}

TEST_F(SettingsCommandsTest, OpenSpreadsheetPromptsWhenNoAddressIsStored) {
    // Cancel: an empty address is stored and nothing opens; the next press asks again.
    desktop->inputAnswers = {std::nullopt, std::nullopt, QStringLiteral("https://sheet.example/1")};
    form->Button4Click();
    EXPECT_EQ(content(), QStringLiteral("[Spsheet]\nURL=\n"));
    EXPECT_TRUE(desktop->opened.isEmpty());
    form->Button4Click();
    EXPECT_EQ(desktop->inputs.size(), 2u);
    EXPECT_TRUE(desktop->opened.isEmpty());

    form->Button4Click();
    EXPECT_EQ(desktop->opened, QStringList{QStringLiteral("https://sheet.example/1")});

    // Once stored, the address opens without a prompt.
    form->Button4Click();
    EXPECT_EQ(desktop->inputs.size(), 3u);
    EXPECT_EQ(desktop->opened, QStringList(2, QStringLiteral("https://sheet.example/1")));
    EXPECT_TRUE(desktop->errors.empty());
}

// The guide ships with the program: the address is a file the build placed, and the page
// speaks of every command.
TEST_F(SettingsCommandsTest, HelpOpensTheGuideThatShipsWithTheProgram) {
    form->N7Click();
    ASSERT_EQ(desktop->opened.size(), 1);
    const QUrl url(desktop->opened.front());
    ASSERT_TRUE(url.isLocalFile()) << url.toString().toStdString();
    QFile page(url.toLocalFile());
    ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << url.toLocalFile().toStdString();
    const QString html = QString::fromUtf8(page.readAll());
    for (const char* command : {"貼り付け", "楽天カード", "国内配当", "国外配当", "スプシ表示",
                                "Viewカード", "T生協", "APIKey", "Ctrl", "@PROJECT_VERSION@"}) {
        const bool wanted = std::strcmp(command, "@PROJECT_VERSION@") != 0;
        EXPECT_EQ(html.contains(QString::fromUtf8(command)), wanted) << command;
    }
    for (const char* loads : {"<script", "src=", "<link", "@import", "url("})
        EXPECT_FALSE(html.contains(QString::fromUtf8(loads), Qt::CaseInsensitive)) << loads;
}

TEST_F(SettingsCommandsTest, FailedWritesShowTheErrorOnce) {
    QFile plain(dir.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    const QString bad = plain.fileName() + QStringLiteral("/kasorel");
    form->SetIniFileName(bad);
    const QString expected = errorText(bad + QStringLiteral(".ini"));

    desktop->inputAnswers = {QStringLiteral("https://sheet.example/")};
    form->Button8Click();
    EXPECT_EQ(desktop->errorTexts(), QStringList{expected});

    // The prompt failed to store, so the open command has nothing to open.
    desktop->errors.clear();
    desktop->inputAnswers = {QStringLiteral("https://sheet.example/")};
    form->Button4Click();
    EXPECT_EQ(desktop->errorTexts(), QStringList{expected});
    EXPECT_TRUE(desktop->opened.isEmpty());

    desktop->errors.clear();
    desktop->confirmAnswers = {true};
    form->Button12Click();
    EXPECT_EQ(desktop->errorTexts(), QStringList{expected});
}

TEST_F(SettingsCommandsTest, FormCreateDerivesTheStemFromTheExecutable) {
    const TForm1 fresh;
    EXPECT_EQ(fresh.IniFileName(), IniFileStem(QCoreApplication::applicationFilePath()));
    EXPECT_FALSE(fresh.IniFileName().isEmpty());
}

TEST_F(SettingsCommandsTest, CloseSavesThePosition) {
    form->show();
    form->move(120, 70);
    const QPoint at = form->pos();
    EXPECT_TRUE(form->close());
    EXPECT_EQ(ReadIniInteger(stem(), QStringLiteral("Ap"), QStringLiteral("MainForm_left"), -1),
              at.x());
    EXPECT_EQ(ReadIniInteger(stem(), QStringLiteral("Ap"), QStringLiteral("MainForm_top"), -1),
              at.y());
    EXPECT_TRUE(desktop->errors.empty());
}

TEST_F(SettingsCommandsTest, CloseStillClosesWhenThePositionCannotBeSaved) {
    // Below a regular file nothing can be created, not even by root.
    QFile blocker(dir.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    const QString bad = blocker.fileName() + QStringLiteral("/kasorel");
    form->SetIniFileName(bad);
    form->show();
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(desktop->errorTexts(), QStringList{errorText(bad + QStringLiteral(".ini"))});
}
