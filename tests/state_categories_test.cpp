// The categories learnt from the sheet: which descriptions fill which, what the table does
// when it disagrees with itself, and its file.
#include "state/categories.h"

#include <gtest/gtest.h>
#include <tuple>

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
    const std::optional<std::u16string> row =
        table.Fill(u"2024/06/01\t" + std::u16string(description) + u"\t\t\t500");
    return row ? row->substr(row->find(u'\t', 11) + 1,
                             row->find(u'\t', row->find(u'\t', 11) + 1) - row->find(u'\t', 11) - 1)
               : u"";
}

TEST(Categories, WhichDescriptionsMatch) {
    CategoryTable table;
    const Learning learnt = table.Learn(
        Row(u"ローソン 渋谷道玄坂店", u"コンビニ") + u"\n" + Row(u"ENEOS", u"車") + u"\n" +
        Row(u"セブンイレブン", u"コンビニ") + u"\n" + Row(u"ファミリーマート", u"コンビニ") +
        u"\n" + Row(u"スターバックス 渋谷", u"カフェ") + u"\n" + Row(u"Amazon.co.jp", u"通販") +
        u"\n" + Row(u"ドトール 新宿店", u"カフェ") + u"\n" + Row(u"マツキヨ123号店", u"日用品") +
        u"\n" + Row(u"配当国内", u"x") + u"\nご利用日\t内容\t費目\n");
    EXPECT_EQ(learnt.taught, 8);
    EXPECT_EQ(learnt.descriptions, 8);
    const std::pair<std::u16string_view, std::u16string_view> kPairs[] = {
        {u"ローソン 渋谷道玄坂店", u"コンビニ"}, // the same
        {u"ＥＮＥＯＳ", u"車"},                  // folded: full width, case
        {u"eneos", u"車"},
        {u"ｾﾌﾞﾝｲﾚﾌﾞﾝ", u"コンビニ"},             // half-width katakana
        {u"ローソン 新宿三丁目店", u"コンビニ"}, // another branch
        {u"ローソン新宿店", u"コンビニ"},
        {u"スターバックス 新宿", u"カフェ"}, // a place name after the name
        {u"マツキヨ45号店", u"日用品"},      // a store number
        {u"ファミリーマート収納代行", u""},  // another shop that begins alike
        {u"ファミリー", u""},
        {u"Amazon.co.jp マーケットプレイス", u""}, // not a branch
        {u"ドトールコーヒー 新宿店", u""},
        {u"ローソンストア100", u""},
        {u"配当国内", u""},
    };
    for (const auto& [description, category] : kPairs)
        EXPECT_EQ(CategoryOf(table, description), category) << testing::PrintToString(description);
}

TEST(Categories, DisagreementRepetitionAndTheFile) {
    CategoryTable table;
    std::u16string sheet;
    for (const auto& [description, category, day] : {std::tuple{u"A", u"食費", u"01"},
                                                     {u"A", u"食費", u"02"},
                                                     {u"A", u"外食", u"03"},
                                                     {u"B", u"食費", u"01"},
                                                     {u"B", u"外食", u"02"},
                                                     {u"C", u"食費", u"01"},
                                                     {u"C", u"外食", u"02"},
                                                     {u"C", u"日用品", u"03"}})
        sheet += Row(description, category, day) + u"\n";
    table.Learn(sheet);
    EXPECT_EQ(table.Learn(sheet).known, 8); // the same rows teach nothing twice
    for (const auto& [description, category] :
         {std::pair{u"A", u"食費"}, {u"B", u""}, {u"C", u""}}) // two thirds, or nothing
        EXPECT_EQ(CategoryOf(table, description), category);
    // The converter's own fields are kept; the field beside the category comes along.
    table.Learn(Row(u"D", u"交通", u"01", u"Suica"));
    EXPECT_EQ(table.Fill(u"2024/06/01\tD\t\t\t210\tメモ"),
              u"2024/06/01\tD\t交通\tSuica\t210\tメモ");
    EXPECT_FALSE(table.Fill(u"2024/06/01\tD\t自分\t\t210"));

    // Written and read back the same; a broken line skipped; a newer file left alone.
    CategoryProblem problem;
    const std::string bytes = SerialiseCategories(table);
    EXPECT_EQ(SerialiseCategories(ParseCategories(bytes, problem)), bytes);
    EXPECT_EQ(ParseCategories(bytes + "2024-13-01\tx\ty\tz\t\n", problem).Size(), table.Size());
    EXPECT_EQ(problem, CategoryProblem::Corrupt);
    EXPECT_FALSE(ParseCategories("# kasorel categories, version 2\n", problem).MayReplaceFile());
    EXPECT_EQ(problem, CategoryProblem::Newer);
}

} // namespace
