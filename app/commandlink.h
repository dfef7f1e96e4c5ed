#pragma once

// A command-link button that lays out its own label. Qt's own keeps wide margins around its
// arrow and draws the caption in a smaller title font; at the layout's widths that cut the
// last glyph of the longest captions. This one keeps the look (panel, arrow, large caption
// in the button's own font) with margins that leave the caption its whole width, shows a
// clear focus mark, and runs on Enter and Return as well as Space.

#include <QCommandLinkButton>

namespace kasorel {

class CommandLinkButton : public QCommandLinkButton {
    Q_OBJECT

public:
    CommandLinkButton(const QString& caption, QWidget* parent);

    // Where the caption is drawn, in the button's coordinates: right of the arrow, up to
    // a small right margin, the button's full height less the frame.
    QRect CaptionRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace kasorel
