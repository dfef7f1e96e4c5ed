#pragma once

// Every command of the window, once, for every shell. Each is the handler of the same name
// on the window class TForm1, which only forwards to it: the flow, the settings it reads,
// the error box, the status message and where the focus goes afterwards are all here.

#include "commands/delivery.h"
#include "commands/seams.h"
#include "commands/status.h"
#include "convert/kinds.h"
#include "convert/shape.h"
#include "rates/rest.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kasorel {

class Commands {
public:
    // The commands of a window that has made its controls; shell stays the window's.
    explicit Commands(Shell shell);

    // At creation, after the layout is in place and before the window is first shown: picks
    // the settings file (beside the executable, or the user's own) and the history of rows
    // sent, and restores the window's position from the settings. A failure shows in the error
    // box; the window still opens.
    void FormCreate();
    // At close: saves the window's position. A failure shows in the error box once; the
    // close always goes on.
    void FormClose();

    void Button1Click();  // 楽天カード
    void Button2Click();  // テスト用 (hidden rate probe)
    void Button3Click();  // 貼り付け
    void Button4Click();  // スプシ表示
    void Button5Click();  // T生協
    void Button6Click();  // 国内配当
    void Button7Click();  // 国外配当
    void Button8Click();  // スプシURL
    void Button9Click();  // API設定
    void Button10Click(); // 生協設定
    void Button11Click(); // Viewカード
    void Button12Click(); // View設定
    void N7Click();       // 作者ホームページ
    // 自動判別: recognises the statement's kind and runs that kind's command as its own
    // button would; asks when two kinds fit, says so when none does.
    void Button15Click();
    void Button16Click(); // 送信済みの行を除く: the switch that leaves rows sent before out
    void Button17Click(); // 送信履歴を消去: forgets the rows sent
    // 書式を作る: a kind of statement made from the entry the person selected (whole lines, or
    // the caret's line), named by them, saved in the settings and run at once.
    void Button18Click();
    // 書式を削除: removes a kind the person made, asked for by its name.
    void Button19Click();
    // A kind the person made, by its place in the names the window was last given.
    void MadeKindClick(std::size_t index);
    // 費目を覚える: learns the person's categories from their sheet's rows in the text area,
    // which stays as it is.
    void Button20Click();
    void Button21Click(); // 費目を埋める: the switch that fills rows from the learnt categories
    void Button22Click(); // 覚えた費目を消去: forgets the learnt categories
    // Moving the settings file, where the person cannot reach it themselves (the browser
    // page, whose Shell has files):
    void Button13Click(); // 設定を書き出す: the file as it is stored, handed over as kasorel.ini
    void Button14Click(); // 設定を読み込む: a file of the person's, checked, in place of it

    // The settings path stem FormCreate chose (the file is the stem and ".ini"); empty
    // before. Tests point it into a temporary folder, whose kinds the menu then shows.
    const std::u16string& IniFileName() const { return FIniFileName; }
    void SetIniFileName(std::u16string stem) {
        FIniFileName = std::move(stem);
        ShowMadeKinds();
    }

    // The history of rows sent (kasorel.history) that FormCreate found; empty before, and then
    // no history is read, written or told of. Tests point it into a temporary folder.
    const std::u16string& HistoryFileName() const { return historyFile_; }
    void SetHistoryFileName(std::u16string path) { historyFile_ = std::move(path); }

    // The categories learnt from the sheet (kasorel.categories) that FormCreate found; empty
    // before, and then nothing is learnt or filled. Tests point it into a temporary folder.
    const std::u16string& CategoriesFileName() const { return categoriesFile_; }
    void SetCategoriesFileName(std::u16string path) { categoriesFile_ = std::move(path); }

    // The exchange-rate query's client, so tests can point its base URL and time-outs at a
    // local server.
    RESTClient& RestClient() { return RESTClient1; }

private:
    // The one place an error that ends a command is caught: it goes to the error box with
    // the program's title as caption, and the window goes on. False when fn raised.
    bool Guarded(const std::function<void()>& fn);
    // Runs fn on the text-area model, guarded; the model goes back to the widget as one edit
    // on every way out, so what a failing command had done stays on screen.
    bool RunOnText(const std::function<void(TextArea&)>& fn);
    // Runs convert on the text-area model with the clipboard it writes, the rows held against
    // the history as kind (its id); the status says how many rows went out, or that they wait
    // selected for the person to copy.
    // The rows' empty fields are filled from the learnt categories unless fills is false (the
    // dividend rows carry their own category).
    status::Status Convert(std::u16string_view caption, std::string_view kind,
                           const std::function<int(TextArea&, Clipboard&)>& convert,
                           bool fills = true);
    void RunConverter(std::u16string_view caption, StatementKind kind,
                      const std::function<int(TextArea&, Clipboard&)>& convert, bool fills = true);
    // The learnt categories when the switch fills rows with them, read afresh when their file
    // changed; problem tells what was wrong with it.
    const CategoryTable* Categories(StateProblem& problem);
    // Converts with a kind the person made, named name, as its menu item does.
    status::Status ConvertMadeKind(const Shape& shape, std::u16string_view name);
    // The shape of the made kind named name as the settings hold it now; nothing, with fault
    // saying why, when it is gone or its rules are broken.
    std::optional<Shape> MadeShape(std::u16string_view name, status::Status& fault);
    // Hands the names of the kinds the person made to the window's menu.
    void ShowMadeKinds();
    // Whether rows sent before are left off the clipboard (the settings' switch).
    bool SkipSent() const;
    // The rate the person types where one may stand in (the page), pre-filled with the last
    // one the service gave; nothing on キャンセル.
    std::optional<double> AskRate();
    void RunPrompt(std::u16string_view caption, const std::function<void()>& prompt);
    // Asks question and, on はい, replaces the state file at path with empty, as the command
    // captioned caption; the status says cleared then.
    void ForgetState(std::u16string_view caption, std::u16string_view question,
                     const std::u16string& path, std::string_view empty,
                     const status::Status& cleared);
    // Every command ends here: the status line gets message (none leaves it as it was) and
    // the keyboard goes back to the text area, so Ctrl+Z undoes the command at once.
    void EndCommand(const status::Status& message);

    Shell shell_;
    // While 自動判別 runs a kind's command: that kind's caption, for its status line, and what
    // its line adds about the made kinds it could not use.
    std::u16string_view chosenKind_;
    std::u16string autoNote_;
    // The made kinds' names as the window's menu shows them, and those whose broken rules the
    // status line has told of (自動判別 tells each once).
    std::vector<std::u16string> madeKinds_;
    std::vector<std::u16string> faultsTold_;
    RESTClient RESTClient1;
    RESTResponse RESTResponse1;
    RESTRequest RESTRequest1{RESTClient1, RESTResponse1};
    std::u16string FIniFileName;
    std::u16string historyFile_;
    HistoryCache history_;
    std::u16string categoriesFile_;
    CategoryCache categories_;
};

} // namespace kasorel
