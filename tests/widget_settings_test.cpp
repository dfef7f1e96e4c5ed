// The settings commands through the real window on the offscreen platform: each menu item and
// "スプシ表示" reach their command and the person at the window, the window's position goes
// to and comes from a real settings file, and the help opens a page that exists. What each
// command does is the commands suites' to check.
#include "app/form1.h"
#include "commands/startup.h"
#include "settings/inifile.h"
#include "settings/keys.h"
#include "settings/location.h"
#include "settings/paths.h"

#include "widget_app.h"

#include <QAction>
#include <QApplication>
#include <QCommandLinkButton>
#include <QFile>
#include <QMenuBar>
#include <QScreen>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

using namespace kasorel;

namespace {

class SettingsWindow : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        form = ScriptedForm(desktop);
        form->Command().SetIniFileName(stem());
    }

    std::u16string stem() const { return dir.filePath(u"kasorel"_qs).toStdU16String(); }
    QString content() const {
        QFile f(qt(stem()) + u".ini"_qs);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : u"<missing>"_qs;
    }
    void trigger(const char* action) {
        auto* a = form->findChild<QAction*>(QLatin1String(action));
        ASSERT_NE(a, nullptr) << action;
        a->trigger();
    }

    QTemporaryDir dir;
    std::unique_ptr<TForm1> form;
    ScriptedDesktop* desktop = nullptr;
};

TEST_F(SettingsWindow, EachSettingsMenuItemRunsItsPrompt) {
    desktop->inputAnswers = {u"https://sheet.example/1", u"abc123"};
    desktop->confirmAnswers = {true, false};
    trigger("actionSheetUrl");
    trigger("actionApiKey");
    trigger("actionViewSettings");
    trigger("actionCoopSettings");
    ASSERT_EQ(desktop->inputs.size(), 2u);
    EXPECT_EQ(desktop->inputs[0].title, u"スプシURLを入力して下さい");
    EXPECT_EQ(desktop->inputs[1].title, u"API Keyを入力して下さい");
    EXPECT_EQ(desktop->questions,
              (std::vector<std::u16string>{u"ViewはSuica限定ですか?", u"生協は保険限定ですか?"}));
    EXPECT_EQ(desktop->informations, std::vector<std::u16string>{u"備考欄にSuicaと出力します"});
    EXPECT_EQ(content(), u"[Spsheet]\nURL=https://sheet.example/1\n"
                         u"[exchangeratesapi]\nAPIKey=abc123\n"
                         u"[View]\nSuica=1\n"
                         u"[seikyo]\nhoken=0\n"_qs);
    EXPECT_TRUE(desktop->errors.empty());
}

TEST_F(SettingsWindow, OpenSpreadsheetButtonOpensTheStoredAddress) {
    form->findChild<QCommandLinkButton*>(u"Button4"_qs)->click();
    EXPECT_EQ(desktop->inputs.size(), 1u);
    EXPECT_TRUE(desktop->opened.empty());
    WriteIniString(stem(), ini::SpsheetSection, ini::UrlKey, u"https://sheet.example/1");
    form->findChild<QCommandLinkButton*>(u"Button4"_qs)->click();
    EXPECT_EQ(desktop->opened, std::vector<std::u16string>{u"https://sheet.example/1"});
}

// The built program finds the guide the build placed, as an installed one does.
TEST_F(SettingsWindow, HelpOpensTheGuideThatShipsWithTheProgram) {
    trigger("N7");
    ASSERT_EQ(desktop->opened.size(), 1u);
    const QUrl url(qt(desktop->opened.front()));
    ASSERT_TRUE(url.isLocalFile()) << url.toString().toStdString();
    QFile page(url.toLocalFile());
    ASSERT_TRUE(page.open(QIODevice::ReadOnly)) << url.toLocalFile().toStdString();
    EXPECT_TRUE(QString::fromUtf8(page.readAll()).contains(u"<title>Kasorel の使い方</title>"_qs));
    EXPECT_TRUE(desktop->errors.empty());
}

TEST_F(SettingsWindow, CloseSavesThePosition) {
    form->show();
    form->move(120, 70);
    const QPoint at = form->pos();
    EXPECT_TRUE(form->close());
    EXPECT_EQ(ReadIniInteger(stem(), ini::ApSection, u"MainForm_left", -1), at.x());
    EXPECT_EQ(ReadIniInteger(stem(), ini::ApSection, u"MainForm_top", -1), at.y());
    EXPECT_TRUE(desktop->errors.empty());
}

// A new window restores its position from the settings file it picks itself: the one beside
// this test executable (ctest runs these tests one at a time), or the per-user one of a
// build that keeps only that.
class StartWindow : public ::testing::Test {
protected:
    void SetUp() override {
        TestApp();
        ASSERT_TRUE(dir.isValid());
        qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
        chosen = SettingsPerUserOnly()
                     ? JoinPath(UserConfigFolder(), u"kasorel")
                     : IniFileStem(QCoreApplication::applicationFilePath().toStdU16String());
        QFile::remove(qt(IniFilePath(chosen)));
    }
    void TearDown() override {
        QFile::remove(qt(IniFilePath(chosen)));
        qunsetenv("XDG_CONFIG_HOME");
    }

    QTemporaryDir dir;
    std::u16string chosen;
};

TEST_F(StartWindow, FormCreateDerivesTheStemFromTheExecutable) {
    TForm1 fresh;
    EXPECT_EQ(fresh.Command().IniFileName(), chosen);
    EXPECT_FALSE(fresh.Command().IniFileName().empty());
}

TEST_F(StartWindow, FormCreateRestoresThePositionClampedToThePrimaryScreen) {
    const QSize screen = QGuiApplication::primaryScreen()->size();
    ASSERT_GT(screen.height(), 100);
    WriteIniInteger(chosen, ini::ApSection, u"MainForm_left", 30);
    WriteIniInteger(chosen, ini::ApSection, u"MainForm_top", 40);
    {
        TForm1 fresh;
        EXPECT_EQ(fresh.pos(), QPoint(30, 40));
        fresh.show();
        EXPECT_EQ(fresh.pos(), QPoint(30, 40));
    }
    WriteIniInteger(chosen, ini::ApSection, u"MainForm_top", screen.height() * 3 + 50);
    TForm1 clamped;
    EXPECT_EQ(clamped.pos(), QPoint(30, 50));
}

} // namespace
