#pragma once

// The window's captions, each written once: the buttons and menu items show them, and the
// status line names the command by them.

#include <array>
#include <string_view>

namespace kasorel::caption {

inline constexpr std::u16string_view Paste = u"貼り付け";
inline constexpr std::u16string_view Rakuten = u"楽天カード";
inline constexpr std::u16string_view Domestic = u"国内配当";
inline constexpr std::u16string_view Foreign = u"国外配当";
inline constexpr std::u16string_view Sheet = u"スプシ表示";
inline constexpr std::u16string_view Probe = u"テスト用";
inline constexpr std::u16string_view View = u"Viewカード";
inline constexpr std::u16string_view Coop = u"T生協";
inline constexpr std::u16string_view SheetUrl = u"スプシURL";
inline constexpr std::u16string_view ApiKey = u"API設定";
inline constexpr std::u16string_view ViewSetting = u"View設定";
inline constexpr std::u16string_view CoopSetting = u"生協設定";
inline constexpr std::u16string_view Guide = u"作者ホームページ";
inline constexpr std::u16string_view AutoDetect = u"自動判別";
inline constexpr std::u16string_view SkipSent = u"送信済みの行を除く";
inline constexpr std::u16string_view ClearHistory = u"送信履歴を消去";
inline constexpr std::u16string_view ExportSettings = u"設定を書き出す";
inline constexpr std::u16string_view ImportSettings = u"設定を読み込む";
inline constexpr std::u16string_view MakeFormat = u"書式を作る";
inline constexpr std::u16string_view RemoveFormat = u"書式を削除";
inline constexpr std::u16string_view LearnCategories = u"費目を覚える";
inline constexpr std::u16string_view FillCategories = u"費目を埋める";
inline constexpr std::u16string_view ClearCategories = u"覚えた費目を消去";

// Every caption above: a kind the person makes takes none of them as its name.
inline constexpr std::array All{
    Paste,      Rakuten,      Domestic,        Foreign,        Sheet,          Probe,
    View,       Coop,         SheetUrl,        ApiKey,         ViewSetting,    CoopSetting,
    Guide,      AutoDetect,   SkipSent,        ClearHistory,   ExportSettings, ImportSettings,
    MakeFormat, RemoveFormat, LearnCategories, FillCategories, ClearCategories};

} // namespace kasorel::caption
