#pragma once

// A command-link button of the layout: the system's BS_COMMANDLINK control, which keeps its
// keyboard, focus, accessibility and background, with the arrow and caption drawn here in the
// layout's font and colour (the control itself draws its caption in its own face and size,
// whatever font it is given, and the theme ignores a colour).

#include "commands/layout.h"
#include "win/dpi.h"
#include "win/fonts.h"

#include <string>

#include <windows.h>

#include <commctrl.h>

namespace kasorel::win {

class CommandLink {
public:
    // Creates the control as a child of parent with the given id; placed by Relayout.
    CommandLink(HWND parent, int id, const layout::Button& entry);
    CommandLink(const CommandLink&) = delete;
    CommandLink& operator=(const CommandLink&) = delete;

    HWND Handle() const { return hwnd_; }
    const layout::Button& Entry() const { return entry_; }

    // Places the control and makes its caption font for dpi; defaultFont is the window's.
    void Relayout(const Dpi& dpi, std::u16string_view defaultFamily, int defaultPixels);

    // Where the caption goes, in client coordinates of the control.
    RECT CaptionRect() const;
    // The font the caption is drawn in: the layout's, a few pixels smaller only when the
    // caption would not fit whole.
    HFONT CaptionFont() const { return font_.Handle(); }
    int CaptionPixels() const { return font_.PixelHeight(); }

    // The answer to the control's NM_CUSTOMDRAW: the control has drawn its background; the
    // arrow, the caption and the focus mark are drawn here.
    LRESULT CustomDraw(const NMCUSTOMDRAW& draw) const;

    // Shows the control as the one Enter runs (the focused one), or not.
    void SetDefault(bool isDefault);

private:
    void DrawArrow(HDC dc, const RECT& box, COLORREF colour) const;

    layout::Button entry_;
    std::u16string caption_;
    HWND hwnd_ = nullptr;
    Dpi dpi_;
    Font font_;
};

} // namespace kasorel::win
