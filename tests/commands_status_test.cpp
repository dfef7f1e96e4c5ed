// What the status line says after every command, and that the keyboard goes back to the text
// area after each, over scripted seams; "国外配当" asks a real HTTP server on 127.0.0.1.
#include "commands/commands.h"
#include "commands/layout.h"
#include "convert/errors.h"
#include "convert/unicode.h"
#include "rates/http.h"
#include "settings/inifile.h"
#include "settings/keys.h"
#include "settings/paths.h"

#include "commands_files.h"
#include "commands_seams.h"
#include "rates_local_server.h"

#include <gtest/gtest.h>

using namespace kasorel;

namespace {

const std::string kStatusAnswer = R"({"rates":{"JPY":151.34,"USD":1}})";
const std::u16string kForeign = u"銘柄名abcdefgSAMPLE INC\r\n入金額abcdefg100.00 USD\r\n";
const std::u16string kRakuten = u"明細\r\n2024/05/01\tA\t1,200 円\r\n支払方法\t一括\r\nx\r\ny\r\n"
                                u"2024/05/03\tB\t800 円\r\n支払方法\t一括\r\nx\r\ny";

struct StatusCommands : testing::Test {
    static void SetUpTestSuite() {
        InitHttpTransport();
        ClearProxyEnvironment();
    }

    void SetUp() override {
        stem = dir.file(u"kasorel");
        sc.commands.SetIniFileName(stem);
        sc.commands.RestClient().SetBaseURL(FromUtf8(server.Base() + "/v1"));
        // One handler for the whole test: the server takes the first one registered.
        server.Answer([this](const httplib::Request&, httplib::Response& res) {
            res.status = answerStatus;
            res.set_content(answerBody, "application/json");
        });
    }

    LocalServer server;
    int answerStatus = 200;
    std::string answerBody = kStatusAnswer;
    TempFolder dir;
    // The help's copy of the guide, where there is no installed one.
    const ScopedEnvironment cache{kCacheVariable, dir.path() / "cache"};
    std::u16string stem;
    ScriptedCommands sc;
};

// Stands for "設定を保存しました: " and the settings file's path, which is the test's own.
const std::u16string kSaved = u"<saved>";

struct StatusCase {
    const char* name;
    std::u16string text;
    void (*prepare)(StatusCommands&);
    void (Commands::*command)();
    std::u16string message;
};

void PrintTo(const StatusCase& c, std::ostream* os) {
    *os << c.name;
}

class EachCommand : public StatusCommands, public testing::WithParamInterface<StatusCase> {};

TEST_P(EachCommand, SaysWhatItDidAndGivesTheKeyboardBack) {
    const StatusCase& c = GetParam();
    sc.setText(c.text);
    c.prepare(*this);
    (sc.commands.*c.command)();
    EXPECT_EQ(sc.window.status,
              c.message == kSaved ? u"設定を保存しました: " + IniFilePath(stem) : c.message);
    EXPECT_EQ(sc.window.focused, 1);
    EXPECT_FALSE(sc.window.waiting);
}

void nothing(StatusCommands&) {}

INSTANTIATE_TEST_SUITE_P(
    Commands, EachCommand,
    testing::Values(
        StatusCase{"Rakuten", kRakuten, nothing, &Commands::Button1Click,
                   u"楽天カード: 2 行をクリップボードにコピーしました"},
        StatusCase{"TheWrongButton", kRakuten, nothing, &Commands::Button11Click,
                   u"Viewカード: 変換できる行がありませんでした"},
        StatusCase{"Coop", u"2024/05/01\t牛乳\t2\t420 円", nothing, &Commands::Button5Click,
                   u"T生協: 1 行をクリップボードにコピーしました"},
        StatusCase{"Domestic", u"銘柄名abcdefgA\r\n入金額abcdefg8,000円", nothing,
                   &Commands::Button6Click, u"国内配当: 1 行をクリップボードにコピーしました"},
        StatusCase{"Foreign", kForeign, nothing, &Commands::Button7Click,
                   u"国外配当: 1 行をクリップボードにコピーしました (1 USD = 151.3 円)"},
        StatusCase{"ForeignNoRow", u"明細", nothing, &Commands::Button7Click,
                   u"国外配当: 変換できる行がありませんでした (1 USD = 151.3 円)"},
        StatusCase{"ForeignNoRate", kForeign,
                   [](StatusCommands& f) {
                       f.answerStatus = 500;
                       f.answerBody = "{}";
                   },
                   &Commands::Button7Click, u"国外配当: 為替レートを取得できませんでした"},
        StatusCase{"ForeignErrorBox", u"銘柄名abcdefgA\r\n入金額abcdefgten USD", nothing,
                   &Commands::Button7Click, u"国外配当: エラーのため中止しました"},
        StatusCase{"RakutenClipboardBusy", kRakuten,
                   [](StatusCommands& f) {
                       f.sc.clipboard.fail = [] { throw EClipboardException(u"使用中"); };
                   },
                   &Commands::Button1Click, u"楽天カード: エラーのため中止しました"},
        StatusCase{"Paste", u"", [](StatusCommands& f) { f.sc.clipboard.content = u"a\r\nb\r\n"; },
                   &Commands::Button3Click, u"貼り付け: 2 行を貼り付けました"},
        StatusCase{"PasteOneLine", u"", [](StatusCommands& f) { f.sc.clipboard.content = u"ab"; },
                   &Commands::Button3Click, u"貼り付け: 1 行を貼り付けました"},
        StatusCase{"PasteNothing", u"", nothing, &Commands::Button3Click,
                   u"貼り付け: クリップボードにテキストがありません"},
        StatusCase{"PasteClipboardBusy", u"",
                   [](StatusCommands& f) {
                       f.sc.clipboard.fail = [] { throw EClipboardException(u"使用中"); };
                   },
                   &Commands::Button3Click, u"貼り付け: エラーのため中止しました"},
        StatusCase{"APrompt", u"",
                   [](StatusCommands& f) { f.sc.desktop.inputAnswers.push_back(u"KEY"); },
                   &Commands::Button9Click, kSaved},
        StatusCase{"APromptCancelled", u"", nothing, &Commands::Button8Click, kSaved},
        StatusCase{"ASwitch", u"",
                   [](StatusCommands& f) { f.sc.desktop.confirmAnswers.push_back(false); },
                   &Commands::Button12Click, kSaved},
        StatusCase{"ASwitchOn", u"",
                   [](StatusCommands& f) { f.sc.desktop.confirmAnswers.push_back(true); },
                   &Commands::Button10Click, kSaved},
        StatusCase{"APromptThatCannotSave", u"",
                   [](StatusCommands& f) {
                       WriteFile(f.dir.path() / "blocker", "");
                       f.sc.commands.SetIniFileName(f.dir.file(u"blocker") + FolderSeparator() +
                                                    u"kasorel");
                   },
                   &Commands::Button8Click, u"スプシURL: エラーのため中止しました"},
        StatusCase{"ASwitchThatCannotSave", u"",
                   [](StatusCommands& f) {
                       WriteFile(f.dir.path() / "blocker", "");
                       f.sc.commands.SetIniFileName(f.dir.file(u"blocker") + FolderSeparator() +
                                                    u"kasorel");
                       f.sc.desktop.confirmAnswers.push_back(true);
                   },
                   &Commands::Button12Click, u"View設定: エラーのため中止しました"}),
    ByCaseName());

// A command with nothing to report leaves the last message standing.
TEST_F(StatusCommands, CommandsWithNothingToReportLeaveTheLastMessage) {
    WriteIniString(stem, ini::SpsheetSection, ini::UrlKey, u"https://sheet.example/");
    sc.window.status = u"earlier";
    sc.commands.N7Click();
    sc.commands.Button4Click();
    sc.setText(uR"({"rates":{"JPY":302.6,"USD":2}})");
    sc.commands.Button2Click();
    sc.setText(u"not json");
    sc.commands.Button2Click();
    EXPECT_EQ(sc.window.status, u"earlier");
    EXPECT_EQ(sc.window.focused, 4);
    EXPECT_EQ(sc.desktop.opened.size(), 2u);
    EXPECT_EQ(sc.desktop.errors.size(), 1u);
}

// Every control of the layout, and every menu item, runs a command that ends with the
// keyboard in the text area, so Ctrl+Z undoes it at once; also when the command fails.
TEST_F(StatusCommands, EveryControlsCommandGivesTheKeyboardBack) {
    std::vector<layout::Handler> handlers;
    for (const layout::Button& button : layout::Buttons)
        handlers.push_back(button.handler);
    for (const layout::MenuItem& item : layout::Menu) {
        if (item.handler)
            handlers.push_back(item.handler);
    }
    ASSERT_EQ(handlers.size(), 23u);
    for (const bool failing : {false, true}) {
        SCOPED_TRACE(failing ? "failing" : "working");
        for (std::size_t i = 0; i < handlers.size(); ++i) {
            SCOPED_TRACE(i);
            ScriptedCommands fresh;
            fresh.commands.SetIniFileName(stem);
            fresh.commands.RestClient().SetBaseURL(FromUtf8(server.Base() + "/v1"));
            fresh.setText(kRakuten);
            fresh.desktop.confirmAnswers = {true};
            if (failing) {
                WriteFile(dir.path() / "blocker", "");
                fresh.commands.SetIniFileName(dir.file(u"blocker") + FolderSeparator() +
                                              u"kasorel");
                fresh.clipboard.fail = [] { throw EOutOfResources(); };
            }
            (fresh.commands.*handlers[i])();
            EXPECT_GE(fresh.window.focused, 1);
            EXPECT_FALSE(fresh.window.waiting);
        }
    }
}

} // namespace
