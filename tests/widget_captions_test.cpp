// Every visible button caption is drawn whole, at whatever scale the window runs (ctest runs
// this suite at QT_SCALE_FACTOR 1, 1.25, 1.5 and 2), in the font that really renders.
#include "app/commandlink.h"
#include "app/form1.h"

#include "widget_app.h"

#include <QFontInfo>
#include <QPainter>
#include <gtest/gtest.h>

using namespace kasorel;

namespace {

// The device-pixel columns [first, last] in which image differs from background by more than
// a faint anti-aliasing shade, or nothing when no column does.
std::optional<std::pair<int, int>> InkColumns(const QImage& image, const QRect& area,
                                              const std::function<QColor(int y)>& background) {
    std::optional<std::pair<int, int>> ink;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const QColor bg = background(y);
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            const int diff = std::abs(c.red() - bg.red()) + std::abs(c.green() - bg.green()) +
                             std::abs(c.blue() - bg.blue());
            if (diff < 60)
                continue;
            ink = ink ? std::pair{std::min(ink->first, x), std::max(ink->second, x)}
                      : std::pair{x, x};
        }
    }
    return ink;
}

TEST(Captions, EveryVisibleCaptionIsDrawnWhole) {
    TestApp();
    TForm1 form;
    form.show();
    const qreal scale = form.devicePixelRatio();
    int checked = 0;
    for (CommandLinkButton* button : form.findChildren<CommandLinkButton*>()) {
        if (!button->isVisible())
            continue;
        SCOPED_TRACE(button->text().toStdString() + " at " + std::to_string(scale));
        EXPECT_EQ(QFontInfo(button->font()).family(), u"Noto Sans CJK JP"_qs);
        const QRect label = button->CaptionRect();
        const QFontMetricsF metrics(button->font());
        EXPECT_LE(metrics.horizontalAdvance(button->text()), label.width());

        // The button as the screen shows it, and the caption drawn alone in the same font
        // and colours at the same scale: the button must show all of its width.
        const QImage shot = button->grab().toImage();
        ASSERT_EQ(shot.devicePixelRatio(), scale);
        const auto px = [&](int logical) { return static_cast<int>(std::floor(logical * scale)); };
        const QRect area(px(label.left()), 0, px(label.width()), shot.height());
        const int reference = px(label.left()) - 1; // between the arrow and the caption
        const auto onButton =
            InkColumns(shot, area, [&](int y) { return shot.pixelColor(reference, y); });

        const QColor text = button->palette().color(QPalette::ButtonText);
        const QColor bg = shot.pixelColor(reference, 0);
        QImage alone(QSize(px(label.width() + 40), shot.height()), QImage::Format_ARGB32);
        alone.setDevicePixelRatio(scale);
        alone.fill(bg);
        {
            QPainter p(&alone);
            p.setFont(button->font());
            p.setPen(text);
            p.drawText(QPointF(2, metrics.ascent() + 2), button->text());
        }
        const auto drawnAlone = InkColumns(alone, alone.rect(), [&](int) { return bg; });

        ASSERT_TRUE(onButton && drawnAlone);
        const int shown = onButton->second - onButton->first + 1;
        const int whole = drawnAlone->second - drawnAlone->first + 1;
        EXPECT_GE(shown, whole - 1) << "the caption is cut";
        EXPECT_LT(onButton->second, px(label.left() + label.width())) << "past the label area";
        ++checked;
    }
    EXPECT_EQ(checked, 5);
}

} // namespace
