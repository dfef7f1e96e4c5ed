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

class QAction;
class QCommandLinkButton;
class QPlainTextEdit;
class QWidget;

namespace kasorel {

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
    void setTabOrder();

    // Runs a command: any error it raises is caught here, the one place that shows the
    // error box; the window then goes on as before.
    void Guarded(const std::function<void()>& command);
    // Runs a converter on the text-area model: loads it from Memo1, runs the command
    // (guarded) and writes the model back, also when the command raised, as one undoable
    // edit. A command that changed no text leaves the undo history alone.
    void RunOnText(const std::function<void(TextArea&)>& command);
    TextArea LoadMemo() const;
    void WriteBackMemo(const TextArea& memo);

    QWidget* Panel1 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QCommandLinkButton* Button1 = nullptr;
    QCommandLinkButton* Button2 = nullptr;
    QCommandLinkButton* Button3 = nullptr;
    QCommandLinkButton* Button4 = nullptr;
    QCommandLinkButton* Button6 = nullptr;
    QCommandLinkButton* Button7 = nullptr;

    // The exchange-rate query's objects.
    // (rates) BEGIN
    RESTClient RESTClient1;
    RESTResponse RESTResponse1;
    RESTRequest RESTRequest1{RESTClient1, RESTResponse1};

public:
    // The query's client, so tests can point its base URL and time-outs at a local server.
    RESTClient& RestClient() { return RESTClient1; }

private:
    // (rates) END

    QString FIniFileName;
    std::unique_ptr<Desktop> desktop_;
    std::unique_ptr<Clipboard> clipboard_;
};

} // namespace kasorel
