#include "convert/coop.h"

#include "convert_test_util.h"
#include "recording_clipboard.h"
#include "settings/inifile.h"
#include "settings/keys.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

using namespace kasorel;

namespace {

// One entry line by itself: its rewritten form and whether it is collected.
struct LineCase {
    const char* name;
    QString before;
    QString after;
    bool collected;
};

class CoopLine : public testing::TestWithParam<LineCase> {};

TEST_P(CoopLine, RewrittenInPlace) {
    const LineCase& c = GetParam();
    for (bool hoken : {false, true}) {
        SCOPED_TRACE(hoken);
        TextArea memo(Lines({"注文明細", c.before, "end"}));
        RecordingClipboard clipboard;
        ConvertCoop(memo, clipboard, hoken);
        const bool entry = c.before.startsWith(QStringLiteral("20"));
        const QString after = c.after + (hoken && entry ? QStringLiteral("\t保険") : QString());
        EXPECT_EQ(memo.Text(), Lines({"注文明細", after, "end"}));
        ASSERT_EQ(clipboard.texts.size(), 1);
        EXPECT_EQ(clipboard.texts[0], c.collected ? Rows({after}) : QString());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Entries, CoopLine,
    testing::Values(LineCase{"BlankBeforeYen", "2024/05/01\t牛乳\t2\t420 円",
                             "2024/05/01\t牛乳\t\t\t2\t420", true},
                    LineCase{"IdeographicBlankBeforeYen", "2024/05/01\t牛乳\t2\t420　円",
                             "2024/05/01\t牛乳\t\t\t2\t420", true},
                    LineCase{"DigitBeforeYenKept", "2024/05/01\t牛乳\t2\t420円",
                             "2024/05/01\t牛乳\t\t\t2\t420", true},
                    LineCase{"TabBeforeYenKept", "2024\tA\t円", "2024\tA\t\t\t", true},
                    LineCase{"PairBeforeYenKeptWhole", "2024\tA\t" + kPair + "円",
                             "2024\tA\t\t\t" + kPair, true},
                    LineCase{"OnlyFirstYen", "2024\tA\t1 円\t2 円", "2024\tA\t\t\t1\t2 円", true},
                    LineCase{"NoYen", "2024\tA\tB\tC", "2024\tA\t\t\tB\tC", true},
                    LineCase{"OneTab", "2024/05/01\t420 円", "2024/05/01\t\t\t420", true},
                    LineCase{"TrailingSecondTab", "2024\tA\t", "2024\tA\t\t\t", true},
                    LineCase{"NoTab", "2000円", "\t\t2000", false},
                    LineCase{"MarkerOnly", "20", "\t\t20", false},
                    LineCase{"LeadingBlank", " 2024\tA\tB 円", " 2024\tA\tB 円", false},
                    LineCase{"LeadingTab", "\t2024\tA\tB 円", "\t2024\tA\tB 円", false},
                    LineCase{"FullWidthDigits", "２０24\tA\tB 円", "２０24\tA\tB 円", false},
                    LineCase{"MarkerFurtherIn", "合計 2024\t600 円", "合計 2024\t600 円", false},
                    LineCase{"Total", "合計\t600 円", "合計\t600 円", false}),
    [](const testing::TestParamInfo<LineCase>& param) { return std::string(param.param.name); });

const QStringList kStatement = {"注文明細", "2024/05/01\t牛乳\t2\t420 円",
                                "2024/05/08\tパン\t1\t180 円", "合計\t600 円"};

TEST(Coop, WorkedExample) {
    const struct {
        bool hoken;
        QStringList after;
    } cases[] = {
        {false,
         {"注文明細", "2024/05/01\t牛乳\t\t\t2\t420", "2024/05/08\tパン\t\t\t1\t180",
          "合計\t600 円"}},
        {true,
         {"注文明細", "2024/05/01\t牛乳\t\t\t2\t420\t保険", "2024/05/08\tパン\t\t\t1\t180\t保険",
          "合計\t600 円"}},
    };
    for (const auto& c : cases) {
        TextArea memo(Lines(kStatement));
        RecordingClipboard clipboard;
        ConvertCoop(memo, clipboard, c.hoken);
        EXPECT_EQ(memo.Text(), Lines(c.after));
        EXPECT_EQ(clipboard.texts, QStringList{Rows({c.after[1], c.after[2]})});
    }
}

TEST(Coop, SecondRunConvertsAgain) {
    TextArea memo(Lines(kStatement));
    RecordingClipboard clipboard;
    ConvertCoop(memo, clipboard, true);
    ConvertCoop(memo, clipboard, true);
    const QStringList after = {"注文明細", "2024/05/01\t牛乳\t\t\t\t\t2\t420\t保険\t保険",
                               "2024/05/08\tパン\t\t\t\t\t1\t180\t保険\t保険", "合計\t600 円"};
    EXPECT_EQ(memo.Text(), Lines(after));
    EXPECT_EQ(clipboard.last(), Rows({after[1], after[2]}));
}

TEST(Coop, NothingToConvert) {
    for (const QString& text : {QString(), QStringLiteral("注文明細\r\n合計\t600 円\r\n")}) {
        TextArea memo(text);
        RecordingClipboard clipboard;
        ConvertCoop(memo, clipboard, true);
        EXPECT_EQ(memo.Text(), text);
        EXPECT_EQ(clipboard.texts, QStringList{QString()});
    }
}

TEST(Coop, DuplicatesCollectedInOrderAndTrailingBreakKept) {
    TextArea memo(QStringLiteral("2024\tB\t1 円\r\n2024\tA\t1 円\r\n2024\tB\t1 円\r\n"));
    RecordingClipboard clipboard;
    ConvertCoop(memo, clipboard, false);
    EXPECT_EQ(memo.Text(),
              QStringLiteral("2024\tB\t\t\t1\r\n2024\tA\t\t\t1\r\n2024\tB\t\t\t1\r\n"));
    EXPECT_EQ(clipboard.last(), memo.Text());
}

// The 保険 switch as the command reads it, from a real settings file.
TEST(Coop, HokenSwitchFromSettingsFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString stem = dir.filePath("kasorel");
    const struct {
        std::optional<bool> stored;
        QString row;
    } cases[] = {{std::nullopt, "2024\tA\t\t\t1"},
                 {true, "2024\tA\t\t\t1\t保険"},
                 {false, "2024\tA\t\t\t1"}};
    for (const auto& c : cases) {
        if (c.stored)
            WriteIniBoolean(stem, ini::SeikyoSection, ini::HokenKey, *c.stored);
        TextArea memo(QStringLiteral("2024\tA\t1 円"));
        RecordingClipboard clipboard;
        ConvertCoop(memo, clipboard,
                    ReadIniBoolean(stem, ini::SeikyoSection, ini::HokenKey, ini::HokenDefault));
        EXPECT_EQ(clipboard.last(), Rows({c.row}));
    }
}

} // namespace
