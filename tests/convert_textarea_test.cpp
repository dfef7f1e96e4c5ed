#include "convert/textarea.h"
#include "convert/unicode.h"

#include "text_printers.h"

#include <gtest/gtest.h>

using namespace kasorel;

TEST(TextArea, CountLeavesOutAnEmptyLastLine) {
    struct Case {
        std::u16string text;
        int count, lines;
    } cases[] = {
        {u"", 0, 1},       {u"word", 1, 1},         {u"word\r\n", 1, 2},
        {u"a\r\nb", 2, 2}, {u"word\r\n\r\n", 2, 3}, {u"a\nb\rc\r\nd\u2029e", 5, 5},
        {u"\r\n", 1, 2},   {u"a\r\r\nb", 3, 3},     {u"a\u2028b\u2028", 2, 3},
    };
    for (const auto& c : cases) {
        TextArea memo(c.text);
        EXPECT_EQ(memo.Count(), c.count) << ToUtf8(c.text);
        EXPECT_EQ(memo.LineCount(), c.lines) << ToUtf8(c.text);
    }
}

TEST(TextArea, TextJoinsLinesWithCrLf) {
    EXPECT_EQ(TextArea(u"a\nb\rc\u2029d").Text(), u"a\r\nb\r\nc\r\nd");
    EXPECT_EQ(TextArea(u"a\r\n").Text(), u"a\r\n");
}

// Where a widget position lands among the model's lines: every line break the widget shows
// counts, CR LF as one.
TEST(TextArea, PositionInCountsLinesAsTheyAreShown) {
    const struct {
        const char16_t* text;
        std::ptrdiff_t position;
        TextPos at;
    } cases[] = {
        {u"", 0, {0, 0}},          {u"abc", 2, {0, 2}},
        {u"a\u2028bc", 3, {1, 1}}, {u"a\u2029b\u2028c", 4, {2, 0}},
        {u"ab\r\ncd", 2, {0, 2}},  {u"ab\r\ncd", 3, {0, 2}},
        {u"ab\r\ncd", 5, {1, 1}},  {u"a\rb\nc", 5, {2, 1}},
        {u"ab", 9, {0, 2}},        {u"ab", -1, {0, 0}},
    };
    for (const auto& c : cases) {
        const std::u16string text = std::u16string(c.text);
        EXPECT_EQ(TextArea::PositionIn(text, c.position), c.at)
            << ToUtf8(text) << " @" << c.position;
    }
}

TEST(TextArea, GetAndPutAtTheEdges) {
    TextArea memo(u"one\r\ntwo\r\n");
    EXPECT_EQ(memo.Count(), 2);
    EXPECT_EQ(memo.Get(2), u"");
    EXPECT_EQ(memo.Get(3), u"");
    memo.Put(3, u"x");
    EXPECT_EQ(memo.Text(), u"one\r\ntwo\r\n");
    memo.Put(2, u"three");
    EXPECT_EQ(memo.Text(), u"one\r\ntwo\r\nthree");
    EXPECT_EQ(memo.Count(), 3);
    EXPECT_EQ(memo.Caret(), (TextPos{2, 5}));

    memo.SetCaret({1, 1});
    EXPECT_EQ(memo.Get(-1), u"two");
    memo.Put(-1, u"TWO!");
    EXPECT_EQ(memo.Get(1), u"TWO!");
    EXPECT_EQ(memo.Caret(), (TextPos{1, 4}));
}

// A line handed over whole lands like a copied one, caret included.
TEST(TextArea, PutTakesOverAMovedLine) {
    TextArea memo(u"one\r\ntwo");
    std::u16string line(300, u'x');
    memo.Put(0, std::move(line));
    EXPECT_EQ(memo.Get(0), std::u16string(300, u'x'));
    EXPECT_EQ(memo.Caret(), (TextPos{0, 300}));
    const std::u16string kept = u"kept";
    memo.Put(-1, kept);
    EXPECT_EQ(memo.Text(), u"kept\r\ntwo");
    EXPECT_EQ(kept, u"kept");
    memo.Put(5, std::u16string(u"ignored"));
    EXPECT_EQ(memo.Text(), u"kept\r\ntwo");
    EXPECT_EQ(memo.Caret(), (TextPos{0, 4}));
}

TEST(TextArea, GetReturnsWholeLongLines) {
    const std::u16string longLine(10000, u'x');
    TextArea memo(longLine + u"\r\nshort");
    EXPECT_EQ(memo.Get(0), longLine);
}

TEST(TextArea, DeleteEdges) {
    struct Case {
        std::u16string text;
        int index;
        std::u16string expected;
        int count;
        TextPos caret;
    } cases[] = {
        {u"a\r\nb\r\nc", 1, u"a\r\nc", 2, {1, 0}},
        {u"a\r\nb", 1, u"a\r\n", 1, {1, 0}},          // the break before the last line stays
        {u"a\r\nb\r\n", 2, u"a\r\nb\r\n", 2, {0, 0}}, // the empty last line: nothing changes
        {u"a\r\nb", 5, u"a\r\nb", 2, {0, 0}},
        {u"a\r\nb", -1, u"a\r\nb", 2, {0, 0}},
        {u"a", 0, u"", 0, {0, 0}},
        {u"a\r\nb\r\n", 0, u"b\r\n", 1, {0, 0}},
    };
    for (const auto& c : cases) {
        TextArea memo(c.text);
        memo.Delete(c.index);
        EXPECT_EQ(memo.Text(), c.expected) << ToUtf8(c.text) << " @" << c.index;
        EXPECT_EQ(memo.Count(), c.count);
        EXPECT_EQ(memo.Caret(), c.caret);
    }
}

TEST(TextArea, AddKeepsTheTextsEnding) {
    struct Case {
        std::u16string text, added, expected;
    } cases[] = {
        {u"", u"s", u"s\r\n"},     {u"a", u"s", u"a\r\ns"}, {u"a\r\n", u"s", u"a\r\ns\r\n"},
        {u"a", u"", u"a\r\n\r\n"}, {u"", u"", u"\r\n"},
    };
    for (const auto& c : cases) {
        TextArea memo(c.text);
        const int before = memo.Count();
        memo.Add(c.added);
        EXPECT_EQ(memo.Text(), c.expected) << ToUtf8(c.text);
        EXPECT_EQ(memo.Count(), before + 1);
        const TextPos end{memo.LineCount() - 1,
                          static_cast<int>(memo.Get(memo.LineCount() - 1).size())};
        EXPECT_EQ(memo.Caret(), end);
    }
}

TEST(TextArea, SetTextMovesTheCaretOnlyWhenTheTextChanges) {
    TextArea memo(u"a\r\nbc");
    memo.SetSelection({0, 0}, {1, 2});
    memo.SetText(u"a\r\nbc");
    EXPECT_EQ(memo.Caret(), (TextPos{1, 2}));
    memo.SetText(u"r1\r\nr2\r\nr3\r\n");
    EXPECT_EQ(memo.Count(), 3);
    EXPECT_EQ(memo.Caret(), (TextPos{0, 0}));
    EXPECT_EQ(memo.Anchor(), (TextPos{0, 0}));
    memo.SetText(u"");
    EXPECT_EQ(memo.Count(), 0);
}

TEST(TextArea, SelTextReplacesTheSelectionOrInsertsAtTheCaret) {
    TextArea memo(u"hello\r\nworld");
    memo.SetSelection({1, 3}, {0, 2}); // backwards selection
    EXPECT_EQ(memo.SelText(), u"llo\r\nwor");
    memo.SetSelText(u"X\r\nY");
    EXPECT_EQ(memo.Text(), u"heX\r\nYld");
    EXPECT_EQ(memo.Caret(), (TextPos{1, 1}));
    EXPECT_EQ(memo.SelText(), u"");

    memo.SetSelText(u"Z");
    EXPECT_EQ(memo.Text(), u"heX\r\nYZld");
    EXPECT_EQ(memo.Caret(), (TextPos{1, 2}));

    TextArea tail(u"json");
    tail.Add(u"{}");
    tail.SetSelText(u"r1\r\nr2\r\n");
    EXPECT_EQ(tail.Text(), u"json\r\n{}r1\r\nr2\r\n");
    EXPECT_EQ(tail.Count(), 3);
}

TEST(TextArea, SelectionIsClampedIntoTheText) {
    TextArea memo(u"ab\r\nc");
    memo.SetSelection({-4, 0}, {9, 9});
    EXPECT_EQ(memo.Anchor(), (TextPos{0, 0}));
    EXPECT_EQ(memo.Caret(), (TextPos{1, 1}));
}

TEST(TextArea, ABackwardPassOfDeletionsKeepsEveryOtherLine) {
    // Deleting every third line from the bottom up, the way the card converter walks.
    const auto join = [](const std::vector<std::u16string>& lines) {
        std::u16string text;
        for (const std::u16string& line : lines)
            text += (text.empty() ? u"" : u"\r\n") + line;
        return text;
    };
    std::vector<std::u16string> lines;
    for (int i = 0; i < 3000; ++i)
        lines.push_back(FromAscii(std::to_string(i)));
    TextArea memo(join(lines));
    for (int i = memo.Count() - 1; i >= 0; --i)
        if (i % 3 == 0)
            memo.Delete(i);
    std::vector<std::u16string> expected;
    for (int i = 0; i < 3000; ++i)
        if (i % 3 != 0)
            expected.push_back(FromAscii(std::to_string(i)));
    EXPECT_EQ(memo.Text(), join(expected));
    memo.Add(u"end");
    EXPECT_EQ(memo.Get(memo.Count() - 1), u"end");
    EXPECT_EQ(memo.Get(0), u"1");
}
