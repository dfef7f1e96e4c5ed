#pragma once

// The one window: the text area, the command buttons and the menu. Each command is one
// handler; handlers are short and hand the work to the core libraries.

#include "app/desktop.h"
#include "convert/output.h"
#include "convert/textarea.h"
#include "rates/rest.h"

#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QLabel;
class QPlainTextEdit;
class QWidget;

namespace kasorel {

class CommandLinkButton;

// The system clipboard behind the converters' clipboard seam.
class QtClipboard : public Clipboard {
public:
    void SetAsText(const QString& t) override;
};

class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Replaces the dialogs and the desktop (tests answer them); the window owns it.
    void SetDesktop(std::unique_ptr<Desktop> desktop);
    // Replaces the clipboard the converters write (tests record); the window owns it.
    void SetClipboard(std::unique_ptr<Clipboard> clipboard);
    // The settings path stem, derived from the executable's path at creation. Tests point
    // it into a temporary folder.
    const QString& IniFileName() const { return FIniFileName; }
    void SetIniFileName(const QString& stem) { FIniFileName = stem; }

    QPlainTextEdit* Memo() const { return Memo1; }
    // The query's client, so tests can point its base URL and time-outs at a local server.
    RESTClient& RestClient() { return RESTClient1; }
    // What the status line says: what the last command did, until the next one replaces it.
    QString StatusText() const;
    // The user guide "作者ホームページ" opens: guide.html in share/doc/kasorel beside the
    // executable's bin folder, which is where both the install and the build tree put it.
    static QString GuidePath();

    // Commands, named after the control they were first made for.
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

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormClose();

    void createTextArea();
    void createButtons();
    void createMenus();
    void createStatusLine();
    void setTabOrder();

    // Runs a command: any error it raises is caught here, the one place that shows the
    // error box; the window then goes on as before. False when the command raised.
    bool Guarded(const std::function<void()>& command);
    // Runs a command on the text-area model: loads it from Memo1, runs the command
    // (guarded) and writes the model back, also when the command raised, as one undoable
    // edit. A command that changed no text leaves the undo history alone. False when the
    // command raised.
    bool RunOnText(const std::function<void(TextArea&)>& command);
    // Runs a converter that returns its row count, then reports it, or the error that ended
    // it, under the command's caption.
    void RunConverter(const QString& caption, const std::function<int(TextArea&)>& convert);
    // Runs a settings prompt, then reports where the setting went, or the error that ended
    // it, under the prompt's caption.
    void RunPrompt(const QString& caption, const std::function<void()>& prompt);
    // Every command ends here: the status line gets message (none leaves it as it was) and
    // the keyboard goes back to the text area, so Ctrl+Z undoes the command at once.
    void EndCommand(const QString& message);
    // While the rate service is asked, the window takes no input: clicks and keys given
    // meanwhile are dropped, not run once the wait is over.
    std::optional<double> QueryRateWithoutInput(TextArea& memo);
    TextArea LoadMemo() const;
    void WriteBackMemo(const TextArea& memo);

    QWidget* Panel1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    CommandLinkButton* Button1 = nullptr;
    CommandLinkButton* Button2 = nullptr;
    CommandLinkButton* Button3 = nullptr;
    CommandLinkButton* Button4 = nullptr;
    CommandLinkButton* Button6 = nullptr;
    CommandLinkButton* Button7 = nullptr;
    QLabel* StatusLabel = nullptr;

    // The exchange-rate query's objects.
    RESTClient RESTClient1;
    RESTResponse RESTResponse1;
    RESTRequest RESTRequest1{RESTClient1, RESTResponse1};

    QString FIniFileName;
    std::unique_ptr<Desktop> desktop_;
    std::unique_ptr<Clipboard> clipboard_;
};

} // namespace kasorel
