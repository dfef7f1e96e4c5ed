// The window itself: layout, the error wrapper, the bridge between Memo1 and the text-area
// model, paste and the 楽天カード command. The other commands live in form1_*.cpp.
#include "app/form1.h"

#include "app/captions.h"
#include "app/commandlink.h"
#include "app/errorbox.h"
#include "app/status.h"
#include "convert/errors.h"
#include "convert/rakuten.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

namespace kasorel {

namespace {

constexpr int kClientWidth = 693;
constexpr int kClientHeight = 612;
constexpr int kPanelHeight = 521;

// Linux desktops have no desktop colour to ask for; this is the classic one of the
// system the layout was drawn for.
const QColor kDesktopColour(0x3A, 0x6E, 0xA5);
const QColor kBlue(0x00, 0x00, 0xFF);
const QColor kSkyBlue(0x87, 0xCE, 0xEB);
const QColor kAqua(0x00, 0xFF, 0xFF);
const QColor kBlack(0x00, 0x00, 0x00);

// The named family first; the CJK face makes the Japanese captions render wherever the
// named one is missing, which on Linux is always.
QFont pixelFont(const QString& family, int pixelSize) {
    QFont font;
    font.setFamilies({family, QStringLiteral("Noto Sans CJK JP"), QStringLiteral("sans-serif")});
    font.setPixelSize(pixelSize);
    // Set explicitly, so the command-link button keeps it instead of making its caption bold.
    font.setWeight(QFont::Normal);
    return font;
}

struct ButtonLayout {
    CommandLinkButton* TForm1::*member;
    const char* name;
    const QString& caption;
    QRect geometry;
    const char16_t* family; // nullptr: the window's default font
    QColor colour;
    bool visible;
    void (TForm1::*handler)();
};

// The widget's raw text separates blocks with U+2029; the model joins lines with CR LF.
// A line may still hold a U+2028, which the widget shows as a soft break inside one block.
QString widgetText(const QString& modelText) {
    return TextArea::SplitLines(modelText).join(QChar::ParagraphSeparator);
}

int positionOf(const QTextDocument& document, TextPos p) {
    const QTextBlock block = document.findBlockByNumber(p.line);
    if (!block.isValid())
        return document.characterCount() - 1;
    return block.position() + std::clamp(p.column, 0, block.length() - 1);
}

} // namespace

void QtClipboard::SetAsText(const QString& t) {
    QGuiApplication::clipboard()->setText(t);
}

TForm1::TForm1(QWidget* parent)
    : QMainWindow(parent), desktop_(std::make_unique<QtDesktop>(this)),
      clipboard_(std::make_unique<QtClipboard>()) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Kasorel"));
    setFont(pixelFont(QStringLiteral("Segoe UI"), 12));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kDesktopColour);
    setPalette(palette);

    createTextArea();
    createButtons();
    createMenus();
    createStatusLine();
    setTabOrder();
    resize(kClientWidth,
           kClientHeight + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());

    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::SetDesktop(std::unique_ptr<Desktop> desktop) {
    desktop_ = std::move(desktop);
}
void TForm1::SetClipboard(std::unique_ptr<Clipboard> clipboard) {
    clipboard_ = std::move(clipboard);
}

void TForm1::createTextArea() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setMinimumSize(kClientWidth, kClientHeight);
    setCentralWidget(client);

    // Panel1 sits on top and takes the client's width; the buttons below keep their places.
    auto* clientLayout = new QVBoxLayout(client);
    clientLayout->setContentsMargins(0, 0, 0, 0);
    Panel1 = new QWidget(client);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(kPanelHeight);
    clientLayout->addWidget(Panel1);
    clientLayout->addStretch();

    auto* panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    Memo1 = new QPlainTextEdit(Panel1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setFont(pixelFont(QStringLiteral("Segoe UI"), 16));
    QPalette memoPalette = Memo1->palette();
    memoPalette.setColor(QPalette::Base, kBlack);
    memoPalette.setColor(QPalette::Text, kAqua);
    Memo1->setPalette(memoPalette);
    Memo1->setAccessibleName(QStringLiteral("明細テキスト"));
    // Tab moves on to the buttons; statement text comes in by paste, tabs and all.
    Memo1->setTabChangesFocus(true);
    panelLayout->addWidget(Memo1);
}

void TForm1::createButtons() {
    static const ButtonLayout kButtons[] = {
        {&TForm1::Button3,
         "Button3",
         caption::Paste,
         {8, 548, 118, 42},
         u"メイリオ",
         kBlue,
         true,
         &TForm1::Button3Click},
        {&TForm1::Button1,
         "Button1",
         caption::Rakuten,
         {143, 548, 121, 42},
         u"メイリオ",
         kBlue,
         true,
         &TForm1::Button1Click},
        {&TForm1::Button6,
         "Button6",
         caption::Domestic,
         {279, 548, 121, 42},
         u"AR P丸ゴシック体E",
         kSkyBlue,
         true,
         &TForm1::Button6Click},
        {&TForm1::Button7,
         "Button7",
         caption::Foreign,
         {414, 548, 121, 42},
         u"メイリオ",
         kBlue,
         true,
         &TForm1::Button7Click},
        {&TForm1::Button4,
         "Button4",
         caption::Sheet,
         {552, 548, 137, 41},
         u"メイリオ",
         kBlue,
         true,
         &TForm1::Button4Click},
        {&TForm1::Button2,
         "Button2",
         caption::Probe,
         {552, 595, 121, 33},
         nullptr,
         QColor(),
         false,
         &TForm1::Button2Click},
    };
    for (const ButtonLayout& entry : kButtons) {
        auto* button = new CommandLinkButton(entry.caption, centralWidget());
        button->setObjectName(QLatin1String(entry.name));
        button->setGeometry(entry.geometry);
        if (entry.family) {
            button->setFont(pixelFont(QString::fromUtf16(entry.family), 20));
            QPalette palette = button->palette();
            palette.setColor(QPalette::ButtonText, entry.colour);
            button->setPalette(palette);
        }
        button->setVisible(entry.visible);
        connect(button, &QAbstractButton::clicked, this, entry.handler);
        this->*entry.member = button;
    }
}

void TForm1::createMenus() {
    struct Item {
        const char16_t* menu;
        const char* menuName;
        const QString& caption;
        const char* name;
        void (TForm1::*handler)();
    };
    static const Item kItems[] = {
        {u"その他の書式", "menuFormats", caption::View, "actionViewCard", &TForm1::Button11Click},
        {u"その他の書式", "menuFormats", caption::Coop, "actionCoop", &TForm1::Button5Click},
        {u"設定", "menuSettings", caption::SheetUrl, "actionSheetUrl", &TForm1::Button8Click},
        {u"設定", "menuSettings", caption::ApiKey, "actionApiKey", &TForm1::Button9Click},
        {u"設定", "menuSettings", caption::ViewSetting, "actionViewSettings",
         &TForm1::Button12Click},
        {u"設定", "menuSettings", caption::CoopSetting, "actionCoopSettings",
         &TForm1::Button10Click},
        {u"ヘルプ", "menuHelp", caption::Guide, "N7", &TForm1::N7Click},
    };
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* menu = nullptr;
    for (const Item& item : kItems) {
        const QString title = QString::fromUtf16(item.menu);
        if (!menu || menu->title() != title) {
            menu = bar->addMenu(title);
            menu->setObjectName(QLatin1String(item.menuName));
        }
        QAction* action = menu->addAction(item.caption);
        action->setObjectName(QLatin1String(item.name));
        connect(action, &QAction::triggered, this, item.handler);
    }
}

void TForm1::createStatusLine() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(false);
    // The window's desktop blue would leave dark text unreadable; the line takes the
    // ordinary window colours.
    QPalette palette = bar->palette();
    const QPalette standard = QApplication::palette();
    palette.setColor(QPalette::Window, standard.color(QPalette::Window));
    palette.setColor(QPalette::WindowText, standard.color(QPalette::WindowText));
    bar->setPalette(palette);
    bar->setAutoFillBackground(true);
    // A label rather than the bar's own message, so that a screen reader finds the text as
    // an accessible object, and no hover tip ever clears it.
    StatusLabel = new QLabel(bar);
    StatusLabel->setObjectName(QStringLiteral("StatusLabel"));
    StatusLabel->setTextFormat(Qt::PlainText);
    StatusLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    bar->addWidget(StatusLabel, 1);
}

QString TForm1::StatusText() const {
    return StatusLabel->text();
}

void TForm1::EndCommand(const QString& message) {
    if (!message.isEmpty()) {
        StatusLabel->setText(message);
        StatusLabel->setAccessibleName(message);
    }
    Memo1->setFocus(Qt::OtherFocusReason);
}

void TForm1::setTabOrder() {
    // Button2 stays in the chain; being hidden, focus passes it by.
    QWidget* const order[] = {Button1, Button2, Button3, Button4, Button6, Button7, Memo1};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

bool TForm1::Guarded(const std::function<void()>& command) {
    QString message;
    try {
        command();
        return true;
    } catch (const Exception& e) {
        message = e.message();
    } catch (const std::exception& e) {
        message = QString::fromUtf8(e.what());
    } catch (...) {
        // Nothing may unwind through the event loop, whatever was thrown.
        message = QStringLiteral("不明なエラー");
    }
    desktop_->ShowError(programTitle(QCoreApplication::applicationFilePath()),
                        errorBoxText(message));
    return false;
}

bool TForm1::RunOnText(const std::function<void(TextArea&)>& command) {
    return Guarded([&] {
        TextArea memo = LoadMemo();
        try {
            command(memo);
        } catch (...) {
            // What the command did before it failed stays done, and is on screen when the
            // error box comes up.
            WriteBackMemo(memo);
            throw;
        }
        WriteBackMemo(memo);
    });
}

void TForm1::RunConverter(const QString& caption, const std::function<int(TextArea&)>& convert) {
    int rows = 0;
    const bool done = RunOnText([&](TextArea& m) { rows = convert(m); });
    EndCommand(done ? status::Copied(caption, rows) : status::Aborted(caption));
}

TextArea TForm1::LoadMemo() const {
    // The raw text keeps no-break spaces and the like as they are; toPlainText would not.
    // Its positions are the cursor's, and a line separator inside a block starts a line
    // of the model as it starts one on screen.
    const QString text = Memo1->document()->toRawText();
    TextArea memo(text);
    const QTextCursor cursor = Memo1->textCursor();
    const TextPos caret = TextArea::PositionIn(text, cursor.position());
    memo.SetSelection(cursor.hasSelection() ? TextArea::PositionIn(text, cursor.anchor()) : caret,
                      caret);
    return memo;
}

void TForm1::WriteBackMemo(const TextArea& memo) {
    QTextDocument& document = *Memo1->document();
    const QString oldText = document.toRawText();
    const QString newText = widgetText(memo.Text());
    QTextCursor cursor(&document);
    if (oldText != newText) {
        // Only the changed middle is replaced: the undo step stays small and the widget
        // relays out only what changed.
        const qsizetype limit = std::min(oldText.size(), newText.size());
        qsizetype prefix = 0;
        while (prefix < limit && oldText[prefix] == newText[prefix])
            ++prefix;
        qsizetype suffix = 0;
        while (suffix < limit - prefix &&
               oldText[oldText.size() - 1 - suffix] == newText[newText.size() - 1 - suffix])
            ++suffix;
        // Never cut a surrogate pair in two.
        if (prefix > 0 && oldText[prefix - 1].isHighSurrogate())
            --prefix;
        if (suffix > 0 && oldText[oldText.size() - suffix].isLowSurrogate())
            --suffix;
        cursor.setPosition(static_cast<int>(prefix));
        cursor.setPosition(static_cast<int>(oldText.size() - suffix), QTextCursor::KeepAnchor);
        cursor.beginEditBlock();
        cursor.insertText(newText.mid(prefix, newText.size() - suffix - prefix));
        cursor.endEditBlock();
    }
    cursor.setPosition(positionOf(document, memo.Anchor()));
    cursor.setPosition(positionOf(document, memo.Caret()), QTextCursor::KeepAnchor);
    Memo1->setTextCursor(cursor);
}

void TForm1::closeEvent(QCloseEvent* event) {
    // The close is never refused: a failure saving the position shows once, then it closes.
    Guarded([this] { FormClose(); });
    event->accept();
}

void TForm1::Button1Click() {
    RunConverter(caption::Rakuten, [this](TextArea& m) { return ConvertRakuten(m, *clipboard_); });
}

void TForm1::Button3Click() {
    QString text;
    const bool done = Guarded([&] {
        // An empty or non-text clipboard gives the empty text, which still removes a selection.
        text = QGuiApplication::clipboard()->text();
        QTextCursor cursor = Memo1->textCursor();
        cursor.insertText(text);
        Memo1->setTextCursor(cursor);
    });
    if (!done)
        EndCommand(status::Aborted(caption::Paste));
    else if (text.isEmpty())
        EndCommand(status::NothingToPaste(caption::Paste));
    else
        EndCommand(status::Pasted(caption::Paste, TextArea(text).Count()));
}

QString TForm1::GuidePath() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../share/doc/kasorel/guide.html"));
}

} // namespace kasorel
