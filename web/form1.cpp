#include "web/form1.h"

#include "commands/textdiff.h"
#include "convert/errors.h"
#include "convert/interop-web.h"
#include "convert/unicode.h"
#include "settings/file.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <emscripten.h>
#include <memory>
#include <string>

// Text goes to the page as UTF-16 code units with their count, or as UTF-8 for the labels;
// what the page hands back comes in memory it allocated, after a 32-bit count.

// clang-format off
EM_JS(void, kasorel_js_frame, (const char* caption, const char* background, const char* font,
                               int px), {
    Kasorel.frame(UTF8ToString(caption), UTF8ToString(background), UTF8ToString(font), px);
});
EM_JS(void, kasorel_js_memo, (const char* name, const char* label, const char* font, int px,
                              const char* colour, const char* background, int tabIndex,
                              int height), {
    Kasorel.memo(UTF8ToString(name), UTF8ToString(label), UTF8ToString(font), px,
                 UTF8ToString(colour), UTF8ToString(background), tabIndex, height);
});
EM_JS(void, kasorel_js_button_row, (int panelHeight, int leftMargin, int arrowSize, int arrowGap,
                                    int rightMargin, int frame), {
    Kasorel.buttonRow(panelHeight, {leftMargin, arrowSize, arrowGap, rightMargin, frame});
});
EM_JS(void, kasorel_js_button, (int handler, const char* name, const char* caption, int x, int y,
                                int width, int height, const char* font, int px,
                                const char* colour, int visible, int tabIndex), {
    Kasorel.button(handler, UTF8ToString(name), UTF8ToString(caption), x, y, width, height,
                   UTF8ToString(font), px, UTF8ToString(colour), visible !== 0, tabIndex);
});
EM_JS(void, kasorel_js_menu_item, (int handler, const char* menu, const char* menuName,
                                   const char* caption, const char* name,
                                   const char* shortcut), {
    Kasorel.menuItem(handler, UTF8ToString(menu), UTF8ToString(menuName), UTF8ToString(caption),
                     UTF8ToString(name), UTF8ToString(shortcut));
});
EM_JS(void, kasorel_js_made_anchor, (const char* menu, const char* menuName, const char* name), {
    Kasorel.madeKindsAnchor(UTF8ToString(menu), UTF8ToString(menuName), UTF8ToString(name));
});
EM_JS(void, kasorel_js_made_kinds, (const char* anchor, int firstHandler, const char* itemName,
                                    const char* names), {
    const list = UTF8ToString(names);
    Kasorel.madeKinds(UTF8ToString(anchor), firstHandler, UTF8ToString(itemName),
                      list === "" ? [] : list.split("\n"));
});
EM_JS(char16_t*, kasorel_js_memo_value, (), {
    return Kasorel.toWasm(Kasorel.memoValue());
});
EM_JS(void, kasorel_js_memo_selection, (int* ends), {
    const selection = Kasorel.memoSelection();
    HEAP32[ends >> 2] = selection[0];
    HEAP32[(ends >> 2) + 1] = selection[1];
});
EM_JS(void, kasorel_js_replace_memo, (int from, int to, const char16_t* middle, int count,
                                      int anchor, int caret), {
    Kasorel.replaceMemo(from < 0 ? null : from, to, Kasorel.text(middle, count), anchor, caret);
});
EM_ASYNC_JS(int, kasorel_js_write_clipboard, (const char16_t* text, int count), {
    return (await Kasorel.writeClipboard(Kasorel.text(text, count))) ? 1 : 0;
});
EM_ASYNC_JS(char16_t*, kasorel_js_read_clipboard, (), {
    const text = await Kasorel.readClipboard();
    return text === null ? 0 : Kasorel.toWasm(text);
});
EM_ASYNC_JS(char16_t*, kasorel_js_input, (const char* title, const char* prompt,
                                           const char16_t* text, int count), {
    const answer = await Kasorel.inputQuery(UTF8ToString(title), UTF8ToString(prompt),
                                            Kasorel.text(text, count));
    return answer === null ? 0 : Kasorel.toWasm(answer);
});
EM_ASYNC_JS(int, kasorel_js_confirm, (const char* question), {
    return (await Kasorel.confirm(UTF8ToString(question))) ? 1 : 0;
});
EM_ASYNC_JS(void, kasorel_js_box, (int error, const char* caption, const char* text), {
    if (error)
        await Kasorel.showError(UTF8ToString(caption), UTF8ToString(text));
    else
        await Kasorel.inform(UTF8ToString(text));
});
EM_JS(void, kasorel_js_open, (const char* address), {
    Kasorel.openUrl(UTF8ToString(address));
});
EM_JS(void, kasorel_js_screen, (int* values), {
    const numbers = [ screenX, screenY, outerWidth, outerHeight, screen.width, screen.height ];
    for (let i = 0; i < numbers.length; ++i)
        HEAP32[(values >> 2) + i] = numbers[i] | 0;
});
EM_JS(void, kasorel_js_status, (const char* text), {
    Kasorel.status(UTF8ToString(text));
});
EM_JS(void, kasorel_js_focus_memo, (), {
    Kasorel.focusMemo();
});
EM_JS(void, kasorel_js_wait, (int on), {
    Kasorel.wait(on !== 0);
});
EM_JS(void, kasorel_js_offer, (const char* name, const char* bytes, int size), {
    Kasorel.offer(UTF8ToString(name), HEAPU8.slice(bytes, bytes + size));
});
EM_ASYNC_JS(char*, kasorel_js_pick, (), {
    const file = await Kasorel.pick();
    if (file === null)
        return 0;
    const name = new TextEncoder().encode(file.name);
    const size = file.bytes === null ? 0 : file.bytes.length;
    const out = _malloc(8 + name.length + size);
    HEAP32[out >> 2] = name.length;
    HEAP32[(out >> 2) + 1] = file.bytes === null ? -1 : size;
    HEAPU8.set(name, out + 8);
    if (file.bytes !== null)
        HEAPU8.set(file.bytes, out + 8 + name.length);
    return out;
});
// clang-format on

namespace kasorel::web {

namespace {

using Owned = std::unique_ptr<void, decltype(&std::free)>;

std::u16string take(char16_t* text) {
    return TakeUtf16(text).value_or(std::u16string());
}

std::string utf8(std::u16string_view s) {
    return ToUtf8(s);
}

std::string css(layout::Colour c) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "#";
    for (const std::uint8_t piece : {c.red, c.green, c.blue}) {
        out += kHex[piece >> 4];
        out += kHex[piece & 15];
    }
    return out;
}

// The named face first, then the fallbacks, then whatever the system has.
std::string families(const layout::Font& font) {
    std::string list = "\"" + utf8(font.family) + "\"";
    for (const std::u16string_view fallback : layout::FallbackFamilies)
        list += ", \"" + utf8(fallback) + "\"";
    return list + ", sans-serif";
}

int tabIndexOf(std::string_view name) {
    const auto at = std::find(layout::TabOrder.begin(), layout::TabOrder.end(), name);
    return at == layout::TabOrder.end() ? -1 : static_cast<int>(at - layout::TabOrder.begin()) + 1;
}

// The page shows the model's lines one per line of its text; a line the command wrote with a
// break of its own inside is split there, as on the screen.
std::u16string pageText(const TextArea& memo, std::vector<std::size_t>& starts) {
    std::u16string text;
    starts.clear();
    for (int i = 0; i < memo.LineCount(); ++i) {
        if (i > 0)
            text += u'\n';
        starts.push_back(text.size());
        const std::u16string& line = memo.Line(i);
        if (line.find_first_of(u"\r\n\u2028\u2029") == std::u16string::npos) {
            text += line;
            continue;
        }
        const auto pieces = TextArea::SplitLines(line);
        for (std::size_t k = 0; k < pieces.size(); ++k) {
            if (k > 0)
                text += u'\n';
            text += pieces[k];
        }
    }
    return text;
}

int offsetOf(TextPos p, const std::vector<std::size_t>& starts, std::size_t size) {
    if (p.line < 0 || static_cast<std::size_t>(p.line) >= starts.size())
        return static_cast<int>(size);
    const std::size_t start = starts[static_cast<std::size_t>(p.line)];
    const std::size_t end = static_cast<std::size_t>(p.line) + 1 < starts.size()
                                ? starts[static_cast<std::size_t>(p.line) + 1] - 1
                                : size;
    return static_cast<int>(std::min(start + static_cast<std::size_t>(std::max(p.column, 0)), end));
}

} // namespace

TForm1::TForm1() : commands_(Shell{*this, *this, *this, *this, this}) {
    CreateControls();
    commands_.FormCreate();
}

void TForm1::CreateControls() {
    kasorel_js_frame(utf8(layout::WindowCaption).c_str(), css(layout::DesktopFallback).c_str(),
                     families(layout::WindowFont).c_str(), layout::WindowFont.pixelHeight);
    kasorel_js_memo("Memo1", utf8(layout::MemoAccessibleName).c_str(),
                    families(layout::MemoFont).c_str(), layout::MemoFont.pixelHeight,
                    css(layout::MemoText).c_str(), css(layout::MemoBackground).c_str(),
                    tabIndexOf("Memo1"), layout::PanelHeight);
    const layout::CommandLinkMetrics& link = layout::CommandLink;
    kasorel_js_button_row(layout::PanelHeight, link.leftMargin, link.arrowSize, link.arrowGap,
                          link.rightMargin, link.frame);
    for (const layout::Button& button : layout::Buttons) {
        const layout::Font& font = button.ownFont ? button.font : layout::WindowFont;
        kasorel_js_button(static_cast<int>(handlers_.size()), std::string(button.name).c_str(),
                          utf8(button.caption).c_str(), button.geometry.x, button.geometry.y,
                          button.geometry.width, button.geometry.height, families(font).c_str(),
                          font.pixelHeight, css(button.colour).c_str(), button.visible ? 1 : 0,
                          tabIndexOf(button.name));
        handlers_.push_back(button.handler);
    }
    for (const layout::MenuItem& item : layout::Menu) {
        if (item.items == layout::Items::MadeKinds) {
            madeAnchor_ = item.name;
            kasorel_js_made_anchor(utf8(item.menu).c_str(), std::string(item.menuName).c_str(),
                                   std::string(item.name).c_str());
            continue;
        }
        const std::u16string_view shortcut =
            item.shortcut == layout::Shortcut::CtrlEnter ? layout::CtrlEnterText : u"";
        kasorel_js_menu_item(static_cast<int>(handlers_.size()), utf8(item.menu).c_str(),
                             std::string(item.menuName).c_str(), utf8(item.caption).c_str(),
                             std::string(item.name).c_str(), utf8(shortcut).c_str());
        handlers_.push_back(item.handler);
    }
}

void TForm1::Run(int handler) {
    if (handler >= kFirstMadeKind)
        commands_.MadeKindClick(static_cast<std::size_t>(handler - kFirstMadeKind));
    else if (handler >= 0 && static_cast<std::size_t>(handler) < handlers_.size())
        (commands_.*handlers_[static_cast<std::size_t>(handler)])();
}

void TForm1::ShowMadeKinds(const std::vector<std::u16string>& names) {
    // Names hold no line break: a kind's name is one line of the settings file.
    std::u16string list;
    for (const std::u16string& name : names) {
        if (!list.empty())
            list += u'\n';
        list += name;
    }
    kasorel_js_made_kinds(std::string(madeAnchor_).c_str(), kFirstMadeKind,
                          std::string(layout::MadeKindItemName).c_str(), utf8(list).c_str());
}

TextArea TForm1::Load() {
    const std::u16string text = take(kasorel_js_memo_value());
    int ends[2] = {};
    kasorel_js_memo_selection(ends);
    TextArea memo(text);
    memo.SetSelection(TextArea::PositionIn(text, ends[0]), TextArea::PositionIn(text, ends[1]));
    return memo;
}

void TForm1::Store(const TextArea& memo) {
    const std::u16string before = take(kasorel_js_memo_value());
    std::vector<std::size_t> starts;
    const std::u16string after = pageText(memo, starts);
    const int anchor = offsetOf(memo.Anchor(), starts, after.size());
    const int caret = offsetOf(memo.Caret(), starts, after.size());
    if (before == after) {
        kasorel_js_replace_memo(-1, -1, nullptr, 0, anchor, caret);
        return;
    }
    const ChangedMiddle same = FindChangedMiddle(before, after);
    const std::size_t count = after.size() - same.prefix - same.suffix;
    kasorel_js_replace_memo(static_cast<int>(same.prefix),
                            static_cast<int>(before.size() - same.suffix),
                            after.data() + same.prefix, static_cast<int>(count), anchor, caret);
}

void TForm1::SetAsText(std::u16string_view t) {
    if (!kasorel_js_write_clipboard(t.data(), static_cast<int>(t.size())))
        throw EClipboardRefused();
}

std::u16string TForm1::Text() {
    char16_t* text = kasorel_js_read_clipboard();
    if (!text)
        throw EClipboardRefused();
    return take(text);
}

std::optional<std::u16string> TForm1::InputQuery(std::u16string_view title,
                                                 std::u16string_view prompt,
                                                 std::u16string_view defaultText) {
    char16_t* answer = kasorel_js_input(utf8(title).c_str(), utf8(prompt).c_str(),
                                        defaultText.data(), static_cast<int>(defaultText.size()));
    if (!answer)
        return std::nullopt;
    return take(answer);
}

bool TForm1::Confirm(std::u16string_view question) {
    return kasorel_js_confirm(utf8(question).c_str()) != 0;
}

void TForm1::Inform(std::u16string_view text) {
    kasorel_js_box(0, "", utf8(text).c_str());
}

void TForm1::ShowError(std::u16string_view caption, std::u16string_view text) {
    kasorel_js_box(1, utf8(caption).c_str(), utf8(text).c_str());
}

void TForm1::OpenUrl(std::u16string_view address) {
    kasorel_js_open(utf8(address).c_str());
}

Rect TForm1::FrameGeometry() {
    int values[6] = {};
    kasorel_js_screen(values);
    return Rect{values[0], values[1], values[2], values[3]};
}

Size TForm1::PrimaryScreenSize() {
    int values[6] = {};
    kasorel_js_screen(values);
    return Size{values[4], values[5]};
}

std::vector<Rect> TForm1::ScreenRects() {
    const Size screen = PrimaryScreenSize();
    return {Rect{0, 0, screen.width, screen.height}};
}

void TForm1::ShowStatus(std::u16string_view message) {
    kasorel_js_status(utf8(message).c_str());
}

void TForm1::FocusTextArea() {
    kasorel_js_focus_memo();
}

void TForm1::BeginWait() {
    kasorel_js_wait(1);
}

void TForm1::EndWait() {
    kasorel_js_wait(0);
}

void TForm1::Offer(std::u16string_view name, std::string_view bytes) {
    kasorel_js_offer(utf8(name).c_str(), bytes.data(), static_cast<int>(bytes.size()));
}

std::optional<PickedFile> TForm1::Pick() {
    const Owned file(kasorel_js_pick(), &std::free);
    if (!file)
        return std::nullopt;
    const char* bytes = static_cast<const char*>(file.get());
    std::int32_t sizes[2] = {};
    std::memcpy(sizes, bytes, sizeof sizes);
    PickedFile picked;
    picked.name = FromUtf8(std::string_view(bytes + 8, static_cast<std::size_t>(sizes[0])));
    if (sizes[1] < 0)
        throw EFileReadError(picked.name);
    picked.bytes.assign(bytes + 8 + sizes[0], static_cast<std::size_t>(sizes[1]));
    return picked;
}

} // namespace kasorel::web
