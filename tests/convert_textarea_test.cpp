#include "convert/textarea.h"

#include "qt_printers.h"

#include <gtest/gtest.h>

using namespace kasorel;

TEST(TextArea, CountLeavesOutAnEmptyLastLine) {
    struct Case {
        QString text;
        int count, lines;
    } cases[] = {
        {"", 0, 1},       {"word", 1, 1},         {"word\r\n", 1, 2},
        {"a\r\nb", 2, 2}, {"word\r\n\r\n", 2, 3}, {"a\nb\rc\r\nd\u2029e", 5, 5},
        {"\r\n", 1, 2},   {"a\r\r\nb", 3, 3},     {"a\u2028b\u2028", 2, 3},
    };
    for (const auto& c : cases) {
        TextArea memo(c.text);
        EXPECT_EQ(memo.Count(), c.count) << c.text.toStdString();
        EXPECT_EQ(memo.LineCount(), c.lines) << c.text.toStdString();
    }
}

TEST(TextArea, TextJoinsLinesWithCrLf) {
    EXPECT_EQ(TextArea("a\nb\rc\u2029d").Text(), "a\r\nb\r\nc\r\nd");
    EXPECT_EQ(TextArea("a\r\n").Text(), "a\r\n");
}

// Where a widget position lands among the model's lines: every line break the widget shows
// counts, CR LF as one.
TEST(TextArea, PositionInCountsLinesAsTheyAreShown) {
    const struct {
        const char16_t* text;
        qsizetype position;
        TextPos at;
    } cases[] = {
        {u"", 0, {0, 0}},          {u"abc", 2, {0, 2}},
        {u"a\u2028bc", 3, {1, 1}}, {u"a\u2029b\u2028c", 4, {2, 0}},
        {u"ab\r\ncd", 2, {0, 2}},  {u"ab\r\ncd", 3, {0, 2}},
        {u"ab\r\ncd", 5, {1, 1}},  {u"a\rb\nc", 5, {2, 1}},
        {u"ab", 9, {0, 2}},        {u"ab", -1, {0, 0}},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(TextArea::PositionIn(text, c.position), c.at)
            << text.toStdString() << " @" << c.position;
    }
}

TEST(TextArea, GetAndPutAtTheEdges) {
    TextArea memo("one\r\ntwo\r\n");
    EXPECT_EQ(memo.Count(), 2);
    EXPECT_EQ(memo.Get(2), "");
    EXPECT_EQ(memo.Get(3), "");
    memo.Put(3, "x");
    EXPECT_EQ(memo.Text(), "one\r\ntwo\r\n");
    memo.Put(2, "three");
    EXPECT_EQ(memo.Text(), "one\r\ntwo\r\nthree");
    EXPECT_EQ(memo.Count(), 3);
    EXPECT_EQ(memo.Caret(), (TextPos{2, 5}));

    memo.SetCaret({1, 1});
    EXPECT_EQ(memo.Get(-1), "two");
    memo.Put(-1, "TWO!");
    EXPECT_EQ(memo.Get(1), "TWO!");
    EXPECT_EQ(memo.Caret(), (TextPos{1, 4}));
}

TEST(TextArea, GetReturnsWholeLongLines) {
    const QString longLine(10000, u'x');
    TextArea memo(longLine + "\r\nshort");
    EXPECT_EQ(memo.Get(0), longLine);
}

TEST(TextArea, DeleteEdges) {
    struct Case {
        QString text;
        int index;
        QString expected;
        int count;
        TextPos caret;
    } cases[] = {
        {"a\r\nb\r\nc", 1, "a\r\nc", 2, {1, 0}},
        {"a\r\nb", 1, "a\r\n", 1, {1, 0}},          // the break before the last line stays
        {"a\r\nb\r\n", 2, "a\r\nb\r\n", 2, {0, 0}}, // the empty last line: nothing changes
        {"a\r\nb", 5, "a\r\nb", 2, {0, 0}},
        {"a\r\nb", -1, "a\r\nb", 2, {0, 0}},
        {"a", 0, "", 0, {0, 0}},
        {"a\r\nb\r\n", 0, "b\r\n", 1, {0, 0}},
    };
    for (const auto& c : cases) {
        TextArea memo(c.text);
        memo.Delete(c.index);
        EXPECT_EQ(memo.Text(), c.expected) << c.text.toStdString() << " @" << c.index;
        EXPECT_EQ(memo.Count(), c.count);
        EXPECT_EQ(memo.Caret(), c.caret);
    }
}

TEST(TextArea, AddKeepsTheTextsEnding) {
    struct Case {
        QString text, added, expected;
    } cases[] = {
        {"", "s", "s\r\n"},     {"a", "s", "a\r\ns"}, {"a\r\n", "s", "a\r\ns\r\n"},
        {"a", "", "a\r\n\r\n"}, {"", "", "\r\n"},
    };
    for (const auto& c : cases) {
        TextArea memo(c.text);
        const int before = memo.Count();
        memo.Add(c.added);
        EXPECT_EQ(memo.Text(), c.expected) << c.text.toStdString();
        EXPECT_EQ(memo.Count(), before + 1);
        const TextPos end{memo.LineCount() - 1,
                          static_cast<int>(memo.Get(memo.LineCount() - 1).size())};
        EXPECT_EQ(memo.Caret(), end);
    }
}

TEST(TextArea, SetTextMovesTheCaretOnlyWhenTheTextChanges) {
    TextArea memo("a\r\nbc");
    memo.SetSelection({0, 0}, {1, 2});
    memo.SetText("a\r\nbc");
    EXPECT_EQ(memo.Caret(), (TextPos{1, 2}));
    memo.SetText("r1\r\nr2\r\nr3\r\n");
    EXPECT_EQ(memo.Count(), 3);
    EXPECT_EQ(memo.Caret(), (TextPos{0, 0}));
    EXPECT_EQ(memo.Anchor(), (TextPos{0, 0}));
    memo.SetText("");
    EXPECT_EQ(memo.Count(), 0);
}

TEST(TextArea, SelTextReplacesTheSelectionOrInsertsAtTheCaret) {
    TextArea memo("hello\r\nworld");
    memo.SetSelection({1, 3}, {0, 2}); // backwards selection
    EXPECT_EQ(memo.SelText(), "llo\r\nwor");
    memo.SetSelText("X\r\nY");
    EXPECT_EQ(memo.Text(), "heX\r\nYld");
    EXPECT_EQ(memo.Caret(), (TextPos{1, 1}));
    EXPECT_EQ(memo.SelText(), "");

    memo.SetSelText("Z");
    EXPECT_EQ(memo.Text(), "heX\r\nYZld");
    EXPECT_EQ(memo.Caret(), (TextPos{1, 2}));

    TextArea tail("json");
    tail.Add("{}");
    tail.SetSelText("r1\r\nr2\r\n");
    EXPECT_EQ(tail.Text(), "json\r\n{}r1\r\nr2\r\n");
    EXPECT_EQ(tail.Count(), 3);
}

TEST(TextArea, SelectionIsClampedIntoTheText) {
    TextArea memo("ab\r\nc");
    memo.SetSelection({-4, 0}, {9, 9});
    EXPECT_EQ(memo.Anchor(), (TextPos{0, 0}));
    EXPECT_EQ(memo.Caret(), (TextPos{1, 1}));
}

TEST(TextArea, ABackwardPassOfDeletionsKeepsEveryOtherLine) {
    // Deleting every third line from the bottom up, the way the card converter walks.
    QStringList lines;
    for (int i = 0; i < 3000; ++i)
        lines << QString::number(i);
    TextArea memo(lines.join("\r\n"));
    for (int i = memo.Count() - 1; i >= 0; --i)
        if (i % 3 == 0)
            memo.Delete(i);
    QStringList expected;
    for (int i = 0; i < 3000; ++i)
        if (i % 3 != 0)
            expected << QString::number(i);
    EXPECT_EQ(memo.Text(), expected.join("\r\n"));
    memo.Add("end");
    EXPECT_EQ(memo.Get(memo.Count() - 1), "end");
    EXPECT_EQ(memo.Get(0), "1");
}
