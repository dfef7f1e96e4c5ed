#include "app/commandlink.h"

#include "commands/layout.h"

#include <QKeyEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace kasorel {

namespace {

// In device-independent pixels.
constexpr layout::CommandLinkMetrics kMetrics = layout::CommandLink;

} // namespace

CommandLinkButton::CommandLinkButton(const QString& caption, QWidget* parent)
    : QCommandLinkButton(caption, parent) {
    setIconSize(QSize(kMetrics.arrowSize, kMetrics.arrowSize));
}

QRect CommandLinkButton::CaptionRect() const {
    const int left = kMetrics.CaptionLeft();
    return QRect(left, kMetrics.frame, width() - left - kMetrics.rightMargin,
                 height() - 2 * kMetrics.frame);
}

void CommandLinkButton::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.features |= QStyleOptionButton::CommandLinkButton;
    option.text.clear();
    option.icon = QIcon();
    // The panel alone; Qt's styles draw no focus mark on a command link, so it is drawn below.
    option.state &= ~QStyle::State_HasFocus;
    p.drawControl(QStyle::CE_PushButton, option);

    const int shift = isDown() ? style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option) : 0;
    const QSize arrow = icon().actualSize(iconSize());
    p.drawPixmap(
        kMetrics.leftMargin, (height() - arrow.height()) / 2 + shift,
        icon().pixmap(arrow, devicePixelRatio(), isEnabled() ? QIcon::Normal : QIcon::Disabled));

    p.setFont(font());
    p.drawItemText(CaptionRect().translated(0, shift),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, palette(), isEnabled(),
                   text(), QPalette::ButtonText);

    // White on the window's blue, with the style's highlight inside it, so the mark shows
    // on the bare background and on the panel a hovered button gets.
    if (hasFocus()) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::white, 2));
        p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 3, 3);
        p.setPen(QPen(palette().color(QPalette::Highlight), 1));
        p.drawRoundedRect(QRectF(rect()).adjusted(2.5, 2.5, -2.5, -2.5), 2, 2);
    }
}

void CommandLinkButton::keyPressEvent(QKeyEvent* event) {
    // Outside a dialog a push button ignores Enter; a person on the keyboard expects it to
    // run the command, as Space does.
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        click();
        return;
    }
    QCommandLinkButton::keyPressEvent(event);
}

} // namespace kasorel
