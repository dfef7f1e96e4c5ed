// The categories learnt from the sheet: which descriptions fill which, what the table does
// when it disagrees with itself, and its file.
#include "state/categories.h"

#include <gtest/gtest.h>

using namespace kasorel;

namespace {

// A sheet row: date, description, category, what goes beside it, amount.
std::u16string Row(std::u16string_view description, std::u16string_view category,
                   std::u16string_view day = u"01", std::u16string_view beside = u"") {
    return u"2024/05/" + std::u16string(day) + u"\t" + std::u16string(description) + u"\t" +
           std::u16string(category) + u"\t" + std::u16string(beside) + u"\t1,200\t";
}

// The category a converter's row of that description gets, or "" for none.
std::u16string CategoryOf(const CategoryTable& table, std::u16string_view description) {
    const std::u16string made = u"2024/06/01\t" + std::u16string(description) + u"\t";
    const std::optional<std::u16string> row = table.Fill(made + u"\t\t500");
    return row ? row->substr(made.size(), row->find(u'\t', made.size()) - made.size()) : u"";
}

TEST(Categories, WhichDescriptionsMatch) {
    const struct {
        std::u16string_view description, category;
        bool learnt; // a row of the sheet; the others are rows to fill
    } kPairs[] = {
        {u"ローソン 渋谷道玄坂店", u"コンビニ", true},
        {u"ENEOS", u"車", true},
        {u"セブンイレブン", u"コンビニ", true},
        {u"ファミリーマート", u"コンビニ", true},
        {u"スターバックス 渋谷", u"カフェ", true},
        {u"Amazon.co.jp", u"通販", true},
        {u"ドトール 新宿店", u"カフェ", true},
        {u"マツキヨ123号店", u"日用品", true},
        {u"ＥＮＥＯＳ", u"車", false}, // folded: full width, case
        {u"eneos", u"車", false},
        {u"ｾﾌﾞﾝｲﾚﾌﾞﾝ", u"コンビニ", false},             // half-width katakana
        {u"ローソン 新宿三丁目店", u"コンビニ", false}, // another branch
        {u"ローソン新宿店", u"コンビニ", false},
        {u"スターバックス 新宿", u"カフェ", false}, // a place name after the name
        {u"マツキヨ45号店", u"日用品", false},      // a store number
        {u"ファミリーマート収納代行", u"", false},  // another shop that begins alike
        {u"ファミリー", u"", false},
        {u"Amazon.co.jp マーケットプレイス", u"", false}, // not a branch
        {u"ドトールコーヒー 新宿店", u"", false},
        {u"ローソンストア100", u"", false},
        {u"配当国内", u"", false},
    };
    CategoryTable table;
    std::u16string sheet = Row(u"配当国内", u"x") + u"\nご利用日\t内容\t費目\n";
    for (const auto& pair : kPairs)
        sheet += pair.learnt ? Row(pair.description, pair.category) + u"\n" : u"";
    const Learning learnt = table.Learn(sheet);
    EXPECT_EQ(learnt.taught, 8);
    EXPECT_EQ(learnt.descriptions, 8);
    for (const auto& pair : kPairs)
        EXPECT_EQ(CategoryOf(table, pair.description), pair.category)
            << testing::PrintToString(pair.description);
}

TEST(Categories, DisagreementRepetitionAndTheFile) {
    const std::u16string sheet = u"2024/05/01\tA\t食費\t\t1\n2024/05/02\tA\t食費\t\t1\n"
                                 u"2024/05/03\tA\t外食\t\t1\n2024/05/01\tB\t食費\t\t1\n"
                                 u"2024/05/02\tB\t外食\t\t1\n2024/05/01\tC\t食費\t\t1\n"
                                 u"2024/05/02\tC\t外食\t\t1\n2024/05/03\tC\t日用品\t\t1\n";
    CategoryTable table;
    table.Learn(sheet);
    EXPECT_EQ(table.Learn(sheet).known, 8);      // the same rows teach nothing twice
    EXPECT_EQ(CategoryOf(table, u"A"), u"食費"); // two thirds, or nothing
    EXPECT_EQ(CategoryOf(table, u"B"), u"");
    EXPECT_EQ(CategoryOf(table, u"C"), u"");
    // The converter's own fields are kept; the field beside the category comes along.
    table.Learn(Row(u"D", u"交通", u"01", u"Suica"));
    EXPECT_EQ(table.Fill(u"2024/06/01\tD\t\t\t210\tメモ"),
              u"2024/06/01\tD\t交通\tSuica\t210\tメモ");
    EXPECT_FALSE(table.Fill(u"2024/06/01\tD\t自分\t\t210"));

    // Written and read back the same; a broken line skipped; a newer file left alone.
    StateProblem problem;
    const std::string bytes = SerialiseCategories(table);
    EXPECT_EQ(SerialiseCategories(ParseCategories(bytes, problem)), bytes);
    EXPECT_EQ(ParseCategories(bytes + "2024-13-01\tx\ty\tz\t\n", problem).Size(), table.Size());
    EXPECT_EQ(problem, StateProblem::Corrupt);
    EXPECT_FALSE(ParseCategories("# kasorel categories, version 2\n", problem).MayReplaceFile());
    EXPECT_EQ(problem, StateProblem::Newer);
}

} // namespace
