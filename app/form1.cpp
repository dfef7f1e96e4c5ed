// The window: its controls built from the layout table, and the seams the commands use.
#include "app/form1.h"

#include "app/commandlink.h"
#include "commands/layout.h"
#include "commands/textdiff.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

namespace kasorel {

namespace {

QString qt(std::u16string_view s) {
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

std::u16string_view view(const QString& s) {
    return {reinterpret_cast<const char16_t*>(s.utf16()), static_cast<std::size_t>(s.size())};
}

QColor qt(layout::Colour c) {
    return QColor(c.red, c.green, c.blue);
}

QRect qt(const Rect& r) {
    return QRect(r.x, r.y, r.width, r.height);
}

Rect fromQt(const QRect& r) {
    return {r.x(), r.y(), r.width(), r.height()};
}

// The named family first, then the fallbacks, so that the Japanese captions render wherever
// the named one is missing, which on Linux is always.
QFont pixelFont(const layout::Font& f) {
    QStringList families{qt(f.family)};
    for (std::u16string_view fallback : layout::FallbackFamilies)
        families.append(qt(fallback));
    families.append(QStringLiteral("sans-serif"));
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(f.pixelHeight);
    // Set explicitly, so the command-link button keeps it instead of making its caption bold.
    font.setWeight(QFont::Normal);
    return font;
}

// The widget's raw text separates blocks with U+2029. A line the command wrote may still
// hold a break of its own (a line separator, which the widget would show as a soft break
// inside one block); it becomes a block break too, so the widget shows the model's lines.
QString widgetText(const TextArea& memo) {
    QString text;
    for (int i = 0; i < memo.LineCount(); ++i) {
        if (i > 0)
            text += QChar::ParagraphSeparator;
        const std::u16string& line = memo.Line(i);
        if (line.find_first_of(u"\r\n\u2028\u2029") == std::u16string::npos) {
            text += qt(line);
            continue;
        }
        const auto parts = TextArea::SplitLines(line);
        for (std::size_t k = 0; k < parts.size(); ++k) {
            if (k > 0)
                text += QChar::ParagraphSeparator;
            text += qt(parts[k]);
        }
    }
    return text;
}

int positionOf(const QTextDocument& document, TextPos p) {
    const QTextBlock block = document.findBlockByNumber(p.line);
    if (!block.isValid())
        return document.characterCount() - 1;
    return block.position() + std::clamp(p.column, 0, block.length() - 1);
}

} // namespace

void QtClipboard::SetAsText(std::u16string_view t) {
    QGuiApplication::clipboard()->setText(qt(t));
}

std::u16string QtClipboard::Text() {
    return QGuiApplication::clipboard()->text().toStdU16String();
}

TForm1::TForm1(QWidget* parent)
    : QMainWindow(parent), commands_({*this, clipboard_, desktop_, *this}) {
    desktop_.target = std::make_unique<QtDesktop>(this);
    clipboard_.target = std::make_unique<QtClipboard>();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(qt(layout::WindowCaption));
    setFont(pixelFont(layout::WindowFont));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, qt(layout::DesktopFallback));
    setPalette(palette);

    createTextArea();
    createButtons();
    createMenus();
    createStatusLine();
    setTabOrder();
    resize(layout::ClientSize.width, layout::ClientSize.height + menuBar()->sizeHint().height() +
                                         statusBar()->sizeHint().height());

    commands_.FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::createTextArea() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setMinimumSize(layout::ClientSize.width, layout::ClientSize.height);
    setCentralWidget(client);

    // Panel1 sits on top and takes the client's width; the buttons below keep their places.
    auto* clientLayout = new QVBoxLayout(client);
    clientLayout->setContentsMargins(0, 0, 0, 0);
    Panel1 = new QWidget(client);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(layout::PanelHeight);
    clientLayout->addWidget(Panel1);
    clientLayout->addStretch();

    auto* panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    Memo1 = new QPlainTextEdit(Panel1);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setFont(pixelFont(layout::MemoFont));
    QPalette memoPalette = Memo1->palette();
    memoPalette.setColor(QPalette::Base, qt(layout::MemoBackground));
    memoPalette.setColor(QPalette::Text, qt(layout::MemoText));
    Memo1->setPalette(memoPalette);
    Memo1->setAccessibleName(qt(layout::MemoAccessibleName));
    // Tab moves on to the buttons; statement text comes in by paste, tabs and all.
    Memo1->setTabChangesFocus(true);
    panelLayout->addWidget(Memo1);
}

void TForm1::createButtons() {
    for (const layout::Button& entry : layout::Buttons) {
        auto* button = new CommandLinkButton(qt(entry.caption), centralWidget());
        button->setObjectName(QString::fromLatin1(entry.name.data(), entry.name.size()));
        button->setGeometry(qt(entry.geometry));
        if (entry.ownFont) {
            button->setFont(pixelFont(entry.font));
            QPalette palette = button->palette();
            palette.setColor(QPalette::ButtonText, qt(entry.colour));
            button->setPalette(palette);
        }
        button->setVisible(entry.visible);
        connect(button, &QAbstractButton::clicked, this,
                [this, handler = entry.handler] { (commands_.*handler)(); });
        buttons_.push_back(button);
    }
}

void TForm1::createMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* menu = nullptr;
    std::u16string_view current;
    for (const layout::MenuItem& item : layout::Menu) {
        // The person reaches the settings file here themselves.
        if (item.shells == layout::Shells::WithoutFiles)
            continue;
        if (!menu || item.menu != current) {
            menu = bar->addMenu(qt(item.menu));
            menu->setObjectName(QString::fromLatin1(item.menuName.data(), item.menuName.size()));
            current = item.menu;
        }
        if (item.items == layout::Items::MadeKinds) {
            madeMenu_ = menu;
            madeAnchor_ = menu->addSeparator();
            madeAnchor_->setVisible(false);
            continue;
        }
        QAction* action = menu->addAction(qt(item.caption));
        action->setObjectName(QString::fromLatin1(item.name.data(), item.name.size()));
        if (item.shortcut == layout::Shortcut::CtrlEnter) {
            // Either Enter key, wherever the keyboard is in the window.
            // The keypad's first, so that the menu names it "Ctrl+Enter" as the table does.
            action->setShortcuts(
                {QKeySequence(Qt::CTRL | Qt::Key_Enter), QKeySequence(Qt::CTRL | Qt::Key_Return)});
            action->setShortcutContext(Qt::WindowShortcut);
        }
        connect(action, &QAction::triggered, this,
                [this, handler = item.handler] { (commands_.*handler)(); });
    }
}

void TForm1::ShowMadeKinds(const std::vector<std::u16string>& names) {
    for (QAction* action : madeActions_) {
        madeMenu_->removeAction(action);
        action->deleteLater();
    }
    madeActions_.clear();
    for (std::size_t i = 0; i < names.size(); ++i) {
        // A name is the item's text as it is: no letter of it marks a key.
        auto* action = new QAction(qt(names[i]).replace(u'&', QStringLiteral("&&")), madeMenu_);
        action->setObjectName(
            QString::fromLatin1(layout::MadeKindItemName.data(),
                                static_cast<qsizetype>(layout::MadeKindItemName.size())) +
            QString::number(i + 1));
        madeMenu_->insertAction(madeAnchor_, action);
        connect(action, &QAction::triggered, this, [this, i] { commands_.MadeKindClick(i); });
        madeActions_.push_back(action);
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

void TForm1::setTabOrder() {
    std::vector<QWidget*> order;
    for (std::string_view name : layout::TabOrder) {
        const QString objectName = QString::fromLatin1(name.data(), name.size());
        order.push_back(objectName == Memo1->objectName()
                            ? static_cast<QWidget*>(Memo1)
                            : centralWidget()->findChild<QWidget*>(objectName));
    }
    for (std::size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

QString TForm1::StatusText() const {
    return StatusLabel->text();
}

void TForm1::closeEvent(QCloseEvent* event) {
    commands_.FormClose();
    event->accept();
}

TextArea TForm1::Load() {
    // The raw text keeps no-break spaces and the like as they are; toPlainText would not.
    // Its positions are the cursor's, and a line separator inside a block starts a line
    // of the model as it starts one on screen.
    const std::u16string text = Memo1->document()->toRawText().toStdU16String();
    TextArea memo(text);
    const QTextCursor cursor = Memo1->textCursor();
    const TextPos caret = TextArea::PositionIn(text, cursor.position());
    memo.SetSelection(cursor.hasSelection() ? TextArea::PositionIn(text, cursor.anchor()) : caret,
                      caret);
    return memo;
}

void TForm1::Store(const TextArea& memo) {
    QTextDocument& document = *Memo1->document();
    const QString oldText = document.toRawText();
    const QString newText = widgetText(memo);
    QTextCursor cursor(&document);
    if (oldText != newText) {
        const ChangedMiddle same = FindChangedMiddle(view(oldText), view(newText));
        const auto prefix = static_cast<qsizetype>(same.prefix);
        const auto suffix = static_cast<qsizetype>(same.suffix);
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

Rect TForm1::FrameGeometry() {
    // For a top-level window pos() and move() are the frame's outer corner.
    return fromQt(frameGeometry());
}

void TForm1::MoveFrameTo(Point topLeft) {
    move(topLeft.x, topLeft.y);
}

Size TForm1::PrimaryScreenSize() {
    const QScreen* primary = QGuiApplication::primaryScreen();
    return primary ? Size{primary->size().width(), primary->size().height()} : Size{};
}

std::vector<Rect> TForm1::ScreenRects() {
    std::vector<Rect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.push_back(fromQt(screen->geometry()));
    return screens;
}

void TForm1::ShowStatus(std::u16string_view message) {
    StatusLabel->setText(qt(message));
    StatusLabel->setAccessibleName(qt(message));
}

void TForm1::FocusTextArea() {
    Memo1->setFocus(Qt::OtherFocusReason);
}

void TForm1::BeginWait() {
    centralWidget()->setEnabled(false);
    menuBar()->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void TForm1::EndWait() {
    // Input given during the wait is still queued: delivered to the disabled controls, it is
    // dropped before they come back.
    QApplication::processEvents(QEventLoop::AllEvents, 100);
    centralWidget()->setEnabled(true);
    menuBar()->setEnabled(true);
    QApplication::restoreOverrideCursor();
}

} // namespace kasorel
