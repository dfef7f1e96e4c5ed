// The user's regional settings as the environment names them. Each case sets the variables
// itself; locales the machine lacks are built into a folder of the test's own with the C
// library's localedef and reached through LOCPATH.

#include "convert/locale.h"
#include "convert/primitives.h"

#include "convert_test_util.h"
#include "text_printers.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <string>

using namespace kasorel;

namespace {

constexpr const char* kVariables[] = {"LC_ALL", "LC_TIME", "LC_NUMERIC", "LANG", "LOCPATH"};

// Sets the locale variables for one test and puts the old values back afterwards.
class Environment {
public:
    Environment() {
        for (const char* name : kVariables) {
            const char* value = std::getenv(name);
            saved_[name] = value ? std::optional<std::string>(value) : std::nullopt;
            unsetenv(name);
        }
    }
    ~Environment() {
        for (const auto& [name, value] : saved_) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
    }
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

    void Set(const std::map<std::string, std::string>& values) {
        for (const auto& [name, value] : values)
            setenv(name.c_str(), value.c_str(), 1);
    }

private:
    std::map<std::string, std::optional<std::string>> saved_;
};

// A folder of compiled locales (de_DE.UTF-8, en_IN.UTF-8), built once for the suite; empty
// when localedef is missing.
std::string CompiledLocales() {
    static const TempDir dir;
    static const std::string path = [] {
        const std::filesystem::path folder(dir.FilePath(u""));
        for (const char* name : {"de_DE", "en_IN"}) {
            const std::string command = "localedef -i " + std::string(name) + " -f UTF-8 '" +
                                        (folder / (std::string(name) + ".UTF-8")).string() +
                                        "' >/dev/null 2>&1";
            if (std::system(command.c_str()) != 0)
                return std::string();
        }
        return folder.string();
    }();
    return path;
}

// Points the C library at the compiled locales; false when they could not be built.
bool UseCompiledLocales() {
    const std::string locales = CompiledLocales();
    if (locales.empty())
        return false;
    setenv("LOCPATH", locales.c_str(), 1);
    return true;
}

struct DateCase {
    const char* name;
    std::map<std::string, std::string> environment;
    std::u16string date; // of 1 May 2009
    bool compiled = false;
};

class ShortDates : public testing::TestWithParam<DateCase> {};

TEST_P(ShortDates, FollowTheTimeLocale) {
    const DateCase& c = GetParam();
    Environment environment;
    if (c.compiled && !UseCompiledLocales())
        GTEST_SKIP() << "localedef could not build the locales";
    environment.Set(c.environment);
    EXPECT_EQ(UserShortDate({2009, 5, 1}), c.date);
    EXPECT_EQ(DateToStr({2009, 5, 1}), c.date);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, ShortDates,
    testing::Values(
        DateCase{"Japanese", {{"LANG", "ja_JP.UTF-8"}}, u"2009/05/01"},
        DateCase{"AmericanEnglish", {{"LANG", "en_US.UTF-8"}}, u"5/1/09"},
        DateCase{"BritishEnglish", {{"LANG", "en_GB.UTF-8"}}, u"01/05/2009"},
        DateCase{"German", {{"LANG", "de_DE.UTF-8"}}, u"01.05.09"},
        DateCase{"French", {{"LANG", "fr_FR.UTF-8"}}, u"01/05/2009"},
        DateCase{"SimplifiedChinese", {{"LANG", "zh_CN.UTF-8"}}, u"2009/5/1"},
        DateCase{"Korean", {{"LANG", "ko_KR.UTF-8"}}, u"09. 5. 1."},
        DateCase{"NothingSet", {}, u"1 May 2009"}, DateCase{"C", {{"LANG", "C"}}, u"1 May 2009"},
        DateCase{"CUtf8", {{"LANG", "C.UTF-8"}}, u"1 May 2009"},
        DateCase{"Posix", {{"LANG", "POSIX"}}, u"1 May 2009"},
        DateCase{"LanguageAlone", {{"LANG", "de"}}, u"01.05.09"},
        DateCase{"Modifier", {{"LANG", "de_DE@euro"}}, u"01.05.09"},
        DateCase{"Script", {{"LANG", "zh_Hans_CN.UTF-8"}}, u"2009/5/1"},
        DateCase{
            "TimeOverLang", {{"LANG", "en_US.UTF-8"}, {"LC_TIME", "ja_JP.UTF-8"}}, u"2009/05/01"},
        DateCase{
            "AllOverTime", {{"LC_ALL", "en_GB.UTF-8"}, {"LC_TIME", "ja_JP.UTF-8"}}, u"01/05/2009"},
        DateCase{"EmptyAllIsUnset", {{"LC_ALL", ""}, {"LANG", "ja_JP.UTF-8"}}, u"2009/05/01"},
        DateCase{"NumericDoesNotCount", {{"LC_NUMERIC", "ja_JP.UTF-8"}}, u"1 May 2009"},
        DateCase{"UnknownLocale", {{"LANG", "xx_YY.UTF-8"}}, u"1 May 2009"},
        DateCase{"UnknownTerritoryKeepsLanguage", {{"LANG", "ja_XX.UTF-8"}}, u"2009/05/01"},
        // Outside the table: the C library's own date form.
        DateCase{"LibraryFormOutsideTheTable", {{"LANG", "en_IN.UTF-8"}}, u"01/05/09", true}),
    [](const testing::TestParamInfo<DateCase>& param) { return std::string(param.param.name); });

TEST(ShortDate, FieldWidths) {
    Environment environment;
    environment.Set({{"LANG", "ja_JP.UTF-8"}});
    EXPECT_EQ(UserShortDate({2024, 12, 31}), u"2024/12/31");
    environment.Set({{"LANG", "en_US.UTF-8"}});
    EXPECT_EQ(UserShortDate({2024, 12, 31}), u"12/31/24");
    EXPECT_EQ(UserShortDate({2000, 1, 9}), u"1/9/00");
    environment.Set({{"LANG", "C"}});
    EXPECT_EQ(UserShortDate({2024, 12, 31}), u"31 Dec 2024");
}

struct SeparatorCase {
    const char* name;
    std::map<std::string, std::string> environment;
    std::u16string separator;
    bool compiled = false;
};

class DecimalSeparators : public testing::TestWithParam<SeparatorCase> {};

TEST_P(DecimalSeparators, FollowTheNumericLocale) {
    const SeparatorCase& c = GetParam();
    Environment environment;
    if (c.compiled && !UseCompiledLocales())
        GTEST_SKIP() << "localedef could not build the locales";
    environment.Set(c.environment);
    EXPECT_EQ(UserDecimalSeparator(), c.separator);
    // The conversions read it at each call.
    EXPECT_EQ(FloatToStr(2.5L), u"2" + c.separator + u"5");
    EXPECT_EQ(StrToFloat(u"2" + c.separator + u"5"), 2.5L);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, DecimalSeparators,
    testing::Values(SeparatorCase{"NothingSet", {}, u"."},
                    SeparatorCase{"Japanese", {{"LANG", "ja_JP.UTF-8"}}, u"."},
                    SeparatorCase{"German", {{"LANG", "de_DE.UTF-8"}}, u",", true},
                    SeparatorCase{"NumericOverLang",
                                  {{"LANG", "ja_JP.UTF-8"}, {"LC_NUMERIC", "de_DE.UTF-8"}},
                                  u",",
                                  true},
                    SeparatorCase{"AllOverNumeric",
                                  {{"LC_ALL", "ja_JP.UTF-8"}, {"LC_NUMERIC", "de_DE.UTF-8"}},
                                  u".",
                                  true},
                    SeparatorCase{"TimeDoesNotCount", {{"LC_TIME", "de_DE.UTF-8"}}, u".", true},
                    SeparatorCase{"NotInstalled", {{"LANG", "xx_YY.UTF-8"}}, u"."}),
    [](const testing::TestParamInfo<SeparatorCase>& param) {
        return std::string(param.param.name);
    });

// A change of the variables applies to the next call, with no restart.
TEST(DecimalSeparator, ReadAfreshAtEachCall) {
    Environment environment;
    if (!UseCompiledLocales())
        GTEST_SKIP() << "localedef could not build the locales";
    environment.Set({{"LANG", "de_DE.UTF-8"}});
    EXPECT_EQ(UserDecimalSeparator(), u",");
    environment.Set({{"LANG", "C"}});
    EXPECT_EQ(UserDecimalSeparator(), u".");
    environment.Set({{"LANG", "de_DE.UTF-8"}});
    EXPECT_EQ(UserDecimalSeparator(), u",");
}

TEST(Today, IsACalendarDay) {
    const LocalDate today = Today();
    EXPECT_GE(today.year, 2024);
    EXPECT_GE(today.month, 1);
    EXPECT_LE(today.month, 12);
    EXPECT_GE(today.day, 1);
    EXPECT_LE(today.day, 31);
}

} // namespace
