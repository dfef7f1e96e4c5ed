#pragma once

// The window's layout, for every shell: what the window holds, where, in which font and
// colour, in which tab order, with which menu. Sizes and positions are pixels at 96 dots
// per inch; a shell scales them to its screen. Each control names the command it runs.

#include "commands/captions.h"
#include "commands/commands.h"
#include "settings/geometry.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace kasorel::layout {

struct Colour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Colour&, const Colour&) = default;
};

inline constexpr Colour Blue{0x00, 0x00, 0xFF};
inline constexpr Colour SkyBlue{0x87, 0xCE, 0xEB};
inline constexpr Colour Aqua{0x00, 0xFF, 0xFF};
inline constexpr Colour Black{0x00, 0x00, 0x00};
// The window's background is the system's desktop colour. Where the system has none to ask
// for (Linux desktops), this classic one stands in.
inline constexpr Colour DesktopFallback{0x3A, 0x6E, 0xA5};

struct Font {
    std::u16string_view family; // the named face; a shell falls back where it is missing
    int pixelHeight = 0;        // character height
};

// Where a face is missing, a shell falls back to these in order: the Japanese face every
// Windows system has, the one every Mac has, then the CJK face the Linux package depends on.
inline constexpr std::array<std::u16string_view, 3> FallbackFamilies{u"メイリオ", u"Hiragino Sans",
                                                                     u"Noto Sans CJK JP"};

using Handler = void (Commands::*)();

inline constexpr std::u16string_view WindowCaption = u"Kasorel";
inline constexpr Size ClientSize{693, 612};
inline constexpr Font WindowFont{u"Segoe UI", 12};

// Panel1 sits at the top of the client area, its full width, and Memo1 fills it.
inline constexpr int PanelHeight = 521;
inline constexpr Font MemoFont{u"Segoe UI", 16};
inline constexpr Colour MemoText = Aqua;
inline constexpr Colour MemoBackground = Black;
// What screen readers call the text area.
inline constexpr std::u16string_view MemoAccessibleName = u"明細テキスト";

struct Button {
    std::string_view name; // the control's name: "Button1"...
    std::u16string_view caption;
    Rect geometry;
    bool ownFont; // false: the window's default font and colour
    Font font;
    Colour colour;
    bool visible;
    Handler handler;
};

// A command link: the arrow glyph at the left, then the caption. At the layout's widths the
// widest caption ("楽天カード" at 20 px) needs 100 of its button's 121 pixels, which leaves the
// arrow and the margins 21.
struct CommandLinkMetrics {
    int leftMargin;  // the button's edge to the arrow
    int arrowSize;   // the arrow glyph's width and height
    int arrowGap;    // the arrow to the caption
    int rightMargin; // the caption to the button's edge
    int frame;       // the frame above and below the caption
    int CaptionLeft() const { return leftMargin + arrowSize + arrowGap; }
};
inline constexpr CommandLinkMetrics CommandLink{3, 12, 3, 3, 2};

inline constexpr Font Meiryo20{u"メイリオ", 20};
inline constexpr Font Maru20{u"AR P丸ゴシック体E", 20};

// In creation order, which is also the order they are drawn in.
inline constexpr std::array<Button, 6> Buttons{{
    {"Button3",
     caption::Paste,
     {8, 548, 118, 42},
     true,
     Meiryo20,
     Blue,
     true,
     &Commands::Button3Click},
    {"Button1",
     caption::Rakuten,
     {143, 548, 121, 42},
     true,
     Meiryo20,
     Blue,
     true,
     &Commands::Button1Click},
    {"Button6",
     caption::Domestic,
     {279, 548, 121, 42},
     true,
     Maru20,
     SkyBlue,
     true,
     &Commands::Button6Click},
    {"Button7",
     caption::Foreign,
     {414, 548, 121, 42},
     true,
     Meiryo20,
     Blue,
     true,
     &Commands::Button7Click},
    {"Button4",
     caption::Sheet,
     {552, 548, 137, 41},
     true,
     Meiryo20,
     Blue,
     true,
     &Commands::Button4Click},
    {"Button2",
     caption::Probe,
     {552, 595, 121, 33},
     false,
     WindowFont,
     Black,
     false,
     &Commands::Button2Click},
}};

// The keyboard's tab order, by control name; "Memo1" stands for Panel1 with Memo1 inside.
// Button2 keeps its place in it although, hidden, the focus passes it by.
inline constexpr std::array<std::string_view, 7> TabOrder{
    "Button1", "Button2", "Button3", "Button4", "Button6", "Button7", "Memo1"};

// Which shells show a menu item: every one, or only those whose files the person cannot reach
// themselves (the browser page, whose Shell has files).
enum class Shells { Every, WithoutFiles };

// A key that runs a menu item's command anywhere in the window. Ctrl+Enter is either Enter key
// (the main one and the keypad's) with Ctrl.
enum class Shortcut { None, CtrlEnter };
inline constexpr std::u16string_view CtrlEnterText = u"Ctrl+Enter";

// What an entry of the menu table stands for: one item, or the place where the kinds the
// person made go, one item each (Commands::MadeKindClick with its place in the list the window
// was given, WindowSeam::ShowMadeKinds), their control names MadeKindItemName and a number
// from 1.
enum class Items { One, MadeKinds };
inline constexpr std::string_view MadeKindItemName = "actionMadeKind";

struct MenuItem {
    std::u16string_view menu;  // the menu bar entry it is under
    std::string_view menuName; // that menu's control name
    std::u16string_view caption;
    std::string_view name; // the item's control name
    Handler handler;
    Shells shells = Shells::Every;
    Shortcut shortcut = Shortcut::None;
    Items items = Items::One;
};

inline constexpr std::u16string_view FormatsMenu = u"その他の書式";
inline constexpr std::u16string_view SettingsMenu = u"設定";
inline constexpr std::u16string_view HelpMenu = u"ヘルプ";

// The menu bar, in order; consecutive items under the same menu make one menu.
inline constexpr std::array<MenuItem, 18> Menu{{
    {FormatsMenu, "menuFormats", caption::AutoDetect, "actionAutoDetect", &Commands::Button15Click,
     Shells::Every, Shortcut::CtrlEnter},
    {FormatsMenu, "menuFormats", caption::View, "actionViewCard", &Commands::Button11Click},
    {FormatsMenu, "menuFormats", caption::Coop, "actionCoop", &Commands::Button5Click},
    {FormatsMenu,
     "menuFormats",
     {},
     "madeKinds",
     nullptr,
     Shells::Every,
     Shortcut::None,
     Items::MadeKinds},
    {SettingsMenu, "menuSettings", caption::SheetUrl, "actionSheetUrl", &Commands::Button8Click},
    {SettingsMenu, "menuSettings", caption::ApiKey, "actionApiKey", &Commands::Button9Click},
    {SettingsMenu, "menuSettings", caption::ViewSetting, "actionViewSettings",
     &Commands::Button12Click},
    {SettingsMenu, "menuSettings", caption::CoopSetting, "actionCoopSettings",
     &Commands::Button10Click},
    {SettingsMenu, "menuSettings", caption::SkipSent, "actionSkipSent", &Commands::Button16Click},
    {SettingsMenu, "menuSettings", caption::ClearHistory, "actionClearHistory",
     &Commands::Button17Click},
    {SettingsMenu, "menuSettings", caption::MakeFormat, "actionMakeFormat",
     &Commands::Button18Click},
    {SettingsMenu, "menuSettings", caption::RemoveFormat, "actionRemoveFormat",
     &Commands::Button19Click},
    {SettingsMenu, "menuSettings", caption::LearnCategories, "actionLearnCategories",
     &Commands::Button20Click},
    {SettingsMenu, "menuSettings", caption::FillCategories, "actionFillCategories",
     &Commands::Button21Click},
    {SettingsMenu, "menuSettings", caption::ClearCategories, "actionClearCategories",
     &Commands::Button22Click},
    {SettingsMenu, "menuSettings", caption::ExportSettings, "actionExportSettings",
     &Commands::Button13Click, Shells::WithoutFiles},
    {SettingsMenu, "menuSettings", caption::ImportSettings, "actionImportSettings",
     &Commands::Button14Click, Shells::WithoutFiles},
    {HelpMenu, "menuHelp", caption::Guide, "N7", &Commands::N7Click},
}};

} // namespace kasorel::layout
