#pragma once

// Every section and key of the settings file, with the default a reader passes, in one
// place. Names are matched without regard to case in the file, but are always written in
// this spelling.

#include <array>
#include <string_view>

namespace kasorel::ini {

// The main window's position: prefix + "_left" and prefix + "_top", integers whose default
// is the window's current edge.
inline constexpr std::u16string_view ApSection = u"Ap";
inline constexpr std::u16string_view MainFormPrefix = u"MainForm";

// The spreadsheet's web address, opened by "スプシ表示".
inline constexpr std::u16string_view SpsheetSection = u"Spsheet";
inline constexpr std::u16string_view UrlKey = u"URL";
inline constexpr std::u16string_view UrlDefault;

// The exchange-rate service's access key.
inline constexpr std::u16string_view ExchangeRatesApiSection = u"exchangeratesapi";
inline constexpr std::u16string_view ApiKeyKey = u"APIKey";
inline constexpr std::u16string_view ApiKeyDefault;

// Whether View card rows get "Suica" as their remark.
inline constexpr std::u16string_view ViewSection = u"View";
inline constexpr std::u16string_view SuicaKey = u"Suica";
inline constexpr bool SuicaDefault = false;

// Whether co-op rows get "保険" as their remark.
inline constexpr std::u16string_view SeikyoSection = u"seikyo";
inline constexpr std::u16string_view HokenKey = u"hoken";
inline constexpr bool HokenDefault = false;

// Whether rows sent before are left off the clipboard.
inline constexpr std::u16string_view HistorySection = u"history";
inline constexpr std::u16string_view SkipSentKey = u"SkipSent";
inline constexpr bool SkipSentDefault = false;

// Whether the categories learnt from the sheet fill the rows' empty fields.
inline constexpr std::u16string_view CategoriesSection = u"categories";
inline constexpr std::u16string_view FillKey = u"Fill";
inline constexpr bool FillDefault = true;

// The last rate the service gave, where a typed rate may stand in for it (the browser page):
// the rate prompt is pre-filled with it.
inline constexpr std::u16string_view LastRateKey = u"LastRate";

// The kinds of statement the person made: one section a kind, this prefix and the kind's
// name, in the order they were made; its keys are the kind's rules (convert/shape.h).
inline constexpr std::u16string_view FormatSectionPrefix = u"書式:";

struct Key {
    std::u16string_view section;
    std::u16string_view key;
};
// Every key the program writes, by section; a file holding none of them is not its settings.
inline constexpr std::array<Key, 9> AllKeys{{{ApSection, u"MainForm_left"},
                                             {ApSection, u"MainForm_top"},
                                             {SpsheetSection, UrlKey},
                                             {ExchangeRatesApiSection, ApiKeyKey},
                                             {ExchangeRatesApiSection, LastRateKey},
                                             {ViewSection, SuicaKey},
                                             {SeikyoSection, HokenKey},
                                             {HistorySection, SkipSentKey},
                                             {CategoriesSection, FillKey}}};

} // namespace kasorel::ini
