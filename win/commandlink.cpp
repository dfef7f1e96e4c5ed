#include "win/commandlink.h"

#include "win/wide.h"

#include <iterator>

#include <commctrl.h>

namespace kasorel::win {

namespace {

// In pixels at 96 DPI.
constexpr layout::CommandLinkMetrics kMetrics = layout::CommandLink;

COLORREF ColourRef(layout::Colour c) {
    return RGB(c.red, c.green, c.blue);
}

} // namespace

CommandLink::CommandLink(HWND parent, int id, const layout::Button& entry)
    : entry_(entry), caption_(entry.caption) {
    const DWORD style =
        WS_CHILD | WS_TABSTOP | BS_COMMANDLINK | BS_NOTIFY | (entry.visible ? WS_VISIBLE : 0);
    hwnd_ = CreateWindowExW(0, WC_BUTTONW, Wide(caption_), style, 0, 0, 0, 0, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                            GetModuleHandleW(nullptr), nullptr);
}

void CommandLink::Relayout(const Dpi& dpi, std::u16string_view defaultFamily, int defaultPixels) {
    dpi_ = dpi;
    const RECT place = dpi.Scale(entry_.geometry);
    SetWindowPos(hwnd_, nullptr, place.left, place.top, place.right - place.left,
                 place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    const std::u16string_view family = entry_.ownFont ? entry_.font.family : defaultFamily;
    const int pixels = dpi.Scale(entry_.ownFont ? entry_.font.pixelHeight : defaultPixels);
    const RECT caption = CaptionRect();
    font_ = FittingFont(family, pixels, caption_, caption.right - caption.left,
                        caption.bottom - caption.top);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Handle()), TRUE);
}

RECT CommandLink::CaptionRect() const {
    RECT client{};
    GetClientRect(hwnd_, &client);
    return RECT{dpi_.Scale(kMetrics.CaptionLeft()), dpi_.Scale(kMetrics.frame),
                client.right - dpi_.Scale(kMetrics.rightMargin),
                client.bottom - dpi_.Scale(kMetrics.frame)};
}

void CommandLink::SetDefault(bool isDefault) {
    SendMessageW(hwnd_, BM_SETSTYLE, isDefault ? BS_DEFCOMMANDLINK : BS_COMMANDLINK, TRUE);
}

void CommandLink::DrawArrow(HDC dc, const RECT& box, COLORREF colour) const {
    // A right arrow: a shaft and a head, filling a square box.
    const int size = box.right - box.left;
    const int mid = box.top + size / 2;
    const int shaft = (size + 3) / 6; // half the shaft's thickness
    const int headStart = box.left + size / 2;
    const POINT points[] = {
        {box.left, mid - shaft}, {headStart, mid - shaft}, {headStart, box.top},
        {box.right, mid},        {headStart, box.bottom},  {headStart, mid + shaft},
        {box.left, mid + shaft},
    };
    HBRUSH brush = CreateSolidBrush(colour);
    HPEN pen = CreatePen(PS_SOLID, 1, colour);
    HGDIOBJ oldBrush = SelectObject(dc, brush);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    Polygon(dc, points, static_cast<int>(std::size(points)));
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
}

LRESULT CommandLink::CustomDraw(const NMCUSTOMDRAW& draw) const {
    if (draw.dwDrawStage != CDDS_PREPAINT)
        return CDRF_DODEFAULT;
    HDC dc = draw.hdc;
    const bool disabled = (draw.uItemState & CDIS_DISABLED) != 0;
    const int shift = (draw.uItemState & CDIS_SELECTED) ? 1 : 0;
    const COLORREF colour =
        disabled ? GetSysColor(COLOR_GRAYTEXT)
                 : (entry_.ownFont ? ColourRef(entry_.colour) : GetSysColor(COLOR_BTNTEXT));

    const RECT& bounds = draw.rc;
    const int arrow = dpi_.Scale(kMetrics.arrowSize);
    const int arrowTop = bounds.top + (bounds.bottom - bounds.top - arrow) / 2 + shift;
    const int arrowLeft = bounds.left + dpi_.Scale(kMetrics.leftMargin) + shift;
    DrawArrow(dc, RECT{arrowLeft, arrowTop, arrowLeft + arrow, arrowTop + arrow}, colour);

    RECT caption = CaptionRect();
    OffsetRect(&caption, shift, shift);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(dc, colour);
    HGDIOBJ oldFont = SelectObject(dc, font_.Handle());
    DrawTextW(dc, Wide(caption_), static_cast<int>(caption_.size()), &caption,
              DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);

    const LRESULT cues = SendMessageW(hwnd_, WM_QUERYUISTATE, 0, 0);
    if ((draw.uItemState & CDIS_FOCUS) && !(cues & UISF_HIDEFOCUS)) {
        RECT mark = bounds;
        InflateRect(&mark, -dpi_.Scale(kMetrics.frame) - 1, -dpi_.Scale(kMetrics.frame) - 1);
        DrawFocusRect(dc, &mark);
    }
    return CDRF_SKIPDEFAULT;
}

} // namespace kasorel::win
