// The settings commands over scripted seams, against real settings files: the four prompts,
// "スプシ表示", the help, failed writes, and FormCreate / FormClose with the window's position.
#include "commands/commands.h"
#include "commands/startup.h"
#include "convert/unicode.h"
#include "settings/inifile.h"
#include "settings/keys.h"
#include "settings/paths.h"

#include "commands_files.h"
#include "commands_seams.h"

#include <algorithm>
#include <cctype>
#include <gtest/gtest.h>

using namespace kasorel;

namespace {

std::u16string errorText(std::u16string_view path) {
    return std::u16string(path) + u" に書き込めません.";
}

class SettingsCommands : public testing::Test {
protected:
    void SetUp() override { sc.commands.SetIniFileName(stem()); }

    std::u16string stem() const { return dir.file(u"kasorel"); }
    std::filesystem::path ini() const { return stem() + u".ini"; }
    std::string content() const { return ReadFile(ini()).value_or("<missing>"); }

    TempFolder dir;
    ScriptedCommands sc;
};

struct PromptCase {
    const char* name;
    void (Commands::*command)();
    std::u16string section, key, title, prompt;
};

void PrintTo(const PromptCase& c, std::ostream* os) {
    *os << c.name;
}

class TextPrompt : public SettingsCommands, public testing::WithParamInterface<PromptCase> {};

TEST_P(TextPrompt, PrefillsTheStoredValueAndWritesBackOnCancel) {
    const PromptCase& p = GetParam();
    ScriptedDesktop& desktop = sc.desktop;

    // Cancel with nothing stored creates the key with an empty value.
    desktop.inputAnswers = {std::nullopt, u" typed key ", std::nullopt, u""};
    (sc.commands.*p.command)();
    EXPECT_EQ(content(), "[" + ToUtf8(p.section) + "]\n" + ToUtf8(p.key) + "=\n");
    (sc.commands.*p.command)();
    EXPECT_EQ(ReadIniString(stem(), p.section, p.key, u""), u" typed key ");
    (sc.commands.*p.command)();
    EXPECT_EQ(ReadIniString(stem(), p.section, p.key, u""), u" typed key ");
    (sc.commands.*p.command)();
    EXPECT_EQ(ReadIniString(stem(), p.section, p.key, u"<absent>"), u"");

    ASSERT_EQ(desktop.inputs.size(), 4u);
    const std::u16string defaults[] = {u"", u"", u" typed key ", u" typed key "};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(desktop.inputs[i].title, p.title);
        EXPECT_EQ(desktop.inputs[i].prompt, p.prompt);
        EXPECT_EQ(desktop.inputs[i].defaultText, defaults[i]) << i;
    }
    EXPECT_TRUE(desktop.errors.empty());
    EXPECT_TRUE(desktop.opened.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Prompts, TextPrompt,
    testing::Values(PromptCase{"SheetUrl", &Commands::Button8Click, u"Spsheet", u"URL",
                               u"スプシURLを入力して下さい", u"スプシURL"},
                    PromptCase{"ApiKey", &Commands::Button9Click, u"exchangeratesapi", u"APIKey",
                               u"API Keyを入力して下さい", u"API Key"}),
    ByCaseName());

struct SwitchCase {
    const char* name;
    void (Commands::*command)();
    std::u16string section, key, question, information;
};

void PrintTo(const SwitchCase& c, std::ostream* os) {
    *os << c.name;
}

class RemarkSwitch : public SettingsCommands, public testing::WithParamInterface<SwitchCase> {};

TEST_P(RemarkSwitch, YesIsConfirmedAndStoredAnythingElseStoresFalse) {
    const SwitchCase& s = GetParam();
    ScriptedDesktop& desktop = sc.desktop;

    // No writes "0" even when the key did not exist before.
    desktop.confirmAnswers = {false};
    (sc.commands.*s.command)();
    EXPECT_EQ(content(), "[" + ToUtf8(s.section) + "]\n" + ToUtf8(s.key) + "=0\n");
    EXPECT_TRUE(desktop.informations.empty());

    desktop.confirmAnswers = {true};
    (sc.commands.*s.command)();
    EXPECT_TRUE(ReadIniBoolean(stem(), s.section, s.key, false));
    EXPECT_EQ(desktop.informations, std::vector<std::u16string>{s.information});

    desktop.confirmAnswers = {false};
    (sc.commands.*s.command)();
    EXPECT_FALSE(ReadIniBoolean(stem(), s.section, s.key, true));
    EXPECT_EQ(desktop.questions, std::vector<std::u16string>(3, s.question));
    EXPECT_EQ(desktop.informations.size(), 1u);
    EXPECT_TRUE(desktop.errors.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Switches, RemarkSwitch,
    testing::Values(SwitchCase{"ViewSuica", &Commands::Button12Click, u"View", u"Suica",
                               u"ViewはSuica限定ですか?", u"備考欄にSuicaと出力します"},
                    SwitchCase{"CoopHoken", &Commands::Button10Click, u"seikyo", u"hoken",
                               u"生協は保険限定ですか?", u"備考欄に保険と出力します"}),
    ByCaseName());

TEST_F(SettingsCommands, OpenSpreadsheetPromptsWhenNoAddressIsStored) {
    ScriptedDesktop& desktop = sc.desktop;
    // Cancel: an empty address is stored and nothing opens; the next press asks again.
    desktop.inputAnswers = {std::nullopt, std::nullopt, u"https://sheet.example/1"};
    sc.commands.Button4Click();
    EXPECT_EQ(content(), "[Spsheet]\nURL=\n");
    EXPECT_TRUE(desktop.opened.empty());
    sc.commands.Button4Click();
    EXPECT_EQ(desktop.inputs.size(), 2u);
    EXPECT_TRUE(desktop.opened.empty());

    sc.commands.Button4Click();
    EXPECT_EQ(desktop.opened, std::vector<std::u16string>{u"https://sheet.example/1"});
    ASSERT_EQ(desktop.inputs.size(), 3u);
    EXPECT_EQ(desktop.inputs.back().title, u"スプシURLを入力して下さい");

    // Once stored, the address opens without a prompt, exactly as stored.
    WriteIniString(stem(), ini::SpsheetSection, ini::UrlKey, u"not a web address");
    sc.commands.Button4Click();
    EXPECT_EQ(desktop.inputs.size(), 3u);
    EXPECT_EQ(desktop.opened,
              (std::vector<std::u16string>{u"https://sheet.example/1", u"not a web address"}));
    EXPECT_TRUE(desktop.errors.empty());
}

// The guide ships with the program: the address is a file that exists, and the page speaks
// of every command and loads nothing from anywhere.
TEST_F(SettingsCommands, HelpOpensTheGuideThatShipsWithTheProgram) {
    const ScopedEnvironment cache(kCacheVariable, dir.path() / "cache");
    sc.commands.N7Click();
    ASSERT_EQ(sc.desktop.opened.size(), 1u);
    const std::optional<std::filesystem::path> page = LocalPathOf(sc.desktop.opened.front());
    ASSERT_TRUE(page) << testing::PrintToString(sc.desktop.opened.front());
    const std::optional<std::string> html = ReadFile(*page);
    ASSERT_TRUE(html) << page->string();
    for (const char* command : {"貼り付け", "楽天カード", "国内配当", "国外配当", "スプシ表示",
                                "Viewカード", "T生協", "APIKey", "Ctrl"})
        EXPECT_NE(html->find(command), std::string::npos) << command;
    EXPECT_EQ(html->find("@PROJECT_VERSION@"), std::string::npos);
    std::string lower = *html;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* loads : {"<script", "src=", "<link", "@import", "url("})
        EXPECT_EQ(lower.find(loads), std::string::npos) << loads;
    EXPECT_TRUE(sc.desktop.errors.empty());
}

TEST_F(SettingsCommands, FailedWritesShowTheErrorOnce) {
    WriteFile(dir.path() / "plain", "");
    const std::u16string bad = dir.file(u"plain") + FolderSeparator() + u"kasorel";
    sc.commands.SetIniFileName(bad);
    const std::vector<std::u16string> expected{errorText(IniFilePath(bad))};
    ScriptedDesktop& desktop = sc.desktop;

    desktop.inputAnswers = {u"https://sheet.example/"};
    sc.commands.Button8Click();
    EXPECT_EQ(desktop.errorTexts(), expected);

    // The prompt failed to store, so the open command has nothing to open.
    desktop.errors.clear();
    desktop.inputAnswers = {u"https://sheet.example/"};
    sc.commands.Button4Click();
    EXPECT_EQ(desktop.errorTexts(), expected);
    EXPECT_TRUE(desktop.opened.empty());

    desktop.errors.clear();
    desktop.inputAnswers = {u"key"};
    sc.commands.Button9Click();
    EXPECT_EQ(desktop.errorTexts(), expected);

    for (void (Commands::*command)() : {&Commands::Button12Click, &Commands::Button10Click}) {
        for (const bool yes : {true, false}) {
            SCOPED_TRACE(yes ? "yes" : "no");
            desktop.errors.clear();
            desktop.confirmAnswers = {yes};
            (sc.commands.*command)();
            EXPECT_EQ(desktop.errorTexts(), expected);
        }
    }
    // The error box has the program's title as its caption.
    for (const ScriptedDesktop::Box& box : desktop.errors)
        EXPECT_EQ(box.caption, u"commands_settings_test");
}

TEST_F(SettingsCommands, CloseSavesThePosition) {
    sc.window.frame = {120, 70, 709, 680};
    sc.commands.FormClose();
    EXPECT_EQ(ReadIniInteger(stem(), ini::ApSection, u"MainForm_left", -1), 120);
    EXPECT_EQ(ReadIniInteger(stem(), ini::ApSection, u"MainForm_top", -1), 70);
    EXPECT_EQ(content(), "[Ap]\nMainForm_left=120\nMainForm_top=70\n");
    EXPECT_TRUE(sc.desktop.errors.empty());

    // Negative edges (a monitor to the left, or above) are stored as they are.
    sc.window.frame = {-1500, -20, 709, 680};
    sc.commands.FormClose();
    EXPECT_EQ(content(), "[Ap]\nMainForm_left=-1500\nMainForm_top=-20\n");
}

// Below a regular file nothing can be created, not even by root. The failure shows once:
// the left edge fails, and the top is not tried.
TEST_F(SettingsCommands, CloseShowsAFailedSaveOnce) {
    WriteFile(dir.path() / "blocker", "");
    const std::u16string bad = dir.file(u"blocker") + FolderSeparator() + u"kasorel";
    sc.commands.SetIniFileName(bad);
    sc.commands.FormClose();
    EXPECT_EQ(sc.desktop.errorTexts(), std::vector<std::u16string>{errorText(IniFilePath(bad))});
    EXPECT_EQ(ReadFile(dir.path() / "blocker"), std::string());

    // Each close tries again and says so again.
    sc.commands.FormClose();
    EXPECT_EQ(sc.desktop.errors.size(), 2u);
}

// FormCreate picks the settings file itself: the one beside this test executable, or, in a
// build that keeps per-user settings only, kasorel.ini in the configuration folder, which is
// pointed into a temporary folder here. ctest runs this suite's tests one at a time, since
// the file beside the executable is shared by them.
class StartAndClose : public testing::Test {
protected:
    void SetUp() override {
        chosen = SettingsPerUserOnly() ? JoinPath(UserConfigFolder(), u"kasorel")
                                       : IniFileStem(ExecutablePath());
        std::filesystem::remove(ini());
    }
    void TearDown() override { std::filesystem::remove(ini()); }

    std::filesystem::path ini() const { return IniFilePath(chosen); }

    TempFolder dir;
    const ScopedEnvironment config{kConfigVariable, dir.path() / "config"};
    std::u16string chosen;
};

TEST_F(StartAndClose, FormCreateDerivesTheStemFromTheExecutable) {
    ScriptedCommands sc;
    EXPECT_TRUE(sc.commands.IniFileName().empty());
    sc.commands.FormCreate();
    EXPECT_EQ(sc.commands.IniFileName(), chosen);
    EXPECT_FALSE(sc.commands.IniFileName().empty());
    // The stem is the executable's path less its extension, or the per-user kasorel.
    EXPECT_EQ(FileNameOf(sc.commands.IniFileName()),
              SettingsPerUserOnly() ? u"kasorel" : u"commands_settings_test");
    EXPECT_TRUE(sc.desktop.errors.empty());
}

// Where the window goes on a later start, from what the last close stored.
TEST_F(StartAndClose, ClosingAndStartingAgainPutsTheWindowBack) {
    {
        ScriptedCommands first;
        first.commands.FormCreate();
        first.window.frame = {321, 123, 709, 680};
        first.commands.FormClose();
        EXPECT_TRUE(first.desktop.errors.empty());
    }
    ScriptedCommands second;
    second.commands.FormCreate();
    EXPECT_EQ(second.window.frame.TopLeft(), (Point{321, 123}));
    EXPECT_TRUE(second.desktop.errors.empty());
}

struct RestoreCase {
    const char* name;
    std::string ini;           // the settings file; empty: there is none
    std::vector<Rect> screens; // the first is the primary one
    Point expected;
};

void PrintTo(const RestoreCase& c, std::ostream* os) {
    *os << c.name;
}

class Restore : public StartAndClose, public testing::WithParamInterface<RestoreCase> {};

TEST_P(Restore, FormCreatePlacesTheWindowClampedToTheScreen) {
    const RestoreCase& c = GetParam();
    if (!c.ini.empty()) {
        std::filesystem::create_directories(ini().parent_path());
        WriteFile(ini(), c.ini);
    }
    ScriptedCommands sc;
    sc.window.frame = {100, 80, 709, 680};
    sc.window.screens = c.screens;
    sc.window.primary = {c.screens.front().width, c.screens.front().height};
    sc.commands.FormCreate();
    EXPECT_EQ(sc.window.frame.TopLeft(), c.expected);
    EXPECT_EQ(sc.window.frame.width, 709);
    EXPECT_EQ(sc.window.frame.height, 680);
    EXPECT_TRUE(sc.desktop.errors.empty());
    // Reading never writes.
    EXPECT_EQ(ReadFile(ini()).value_or(""), c.ini);
}

const std::vector<Rect> kOneScreen{{0, 0, 1920, 1080}};

INSTANTIATE_TEST_SUITE_P(
    Positions, Restore,
    testing::Values(
        // Both defaults are the current edges.
        RestoreCase{"NoFile", "", kOneScreen, {100, 80}},
        RestoreCase{
            "Stored", "[Ap]\nMainForm_left=300\nMainForm_top=200\n", kOneScreen, {300, 200}},
        RestoreCase{"OnlyTheTopStored", "[Ap]\nMainForm_top=50\n", kOneScreen, {100, 50}},
        RestoreCase{"NamesInAnyCase",
                    "[ap]\nmainform_LEFT=300\nMAINFORM_top=200\n",
                    kOneScreen,
                    {300, 200}},
        RestoreCase{"HexAndBlanks",
                    "[Ap]\nMainForm_left= 0x12C \nMainForm_top=$C8\n",
                    kOneScreen,
                    {300, 200}},
        RestoreCase{"UnreadableLeftKeepsTheCurrentOne",
                    "[Ap]\nMainForm_left=yes\nMainForm_top=200\n",
                    kOneScreen,
                    {100, 200}},
        // 5000 mod 1080.
        RestoreCase{"TopBeyondTheScreen",
                    "[Ap]\nMainForm_left=300\nMainForm_top=5000\n",
                    kOneScreen,
                    {300, 680}},
        // 2000 mod 1920.
        RestoreCase{"LeftBeyondTheScreen",
                    "[Ap]\nMainForm_left=2000\nMainForm_top=200\n",
                    kOneScreen,
                    {80, 200}},
        // A value equal to the screen's size stays: on a second screen below, it shows.
        RestoreCase{"TopEqualToTheHeightStays",
                    "[Ap]\nMainForm_left=300\nMainForm_top=1080\n",
                    {{0, 0, 1920, 1080}, {0, 1080, 1920, 1080}},
                    {300, 1080}},
        RestoreCase{"LeftOfThePrimaryScreen",
                    "[Ap]\nMainForm_left=-1920\nMainForm_top=200\n",
                    {{0, 0, 1920, 1080}, {-1920, 0, 1920, 1080}},
                    {-1920, 200}},
        // A monitor since unplugged: the window stays where it was made.
        RestoreCase{
            "OnNoScreen", "[Ap]\nMainForm_left=-1920\nMainForm_top=200\n", kOneScreen, {100, 80}}),
    ByCaseName());

} // namespace
