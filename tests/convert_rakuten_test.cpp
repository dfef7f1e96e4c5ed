#include "convert/rakuten.h"

#include "convert_test_util.h"
#include "recording_clipboard.h"

#include <gtest/gtest.h>

using namespace kasorel;

namespace {

// "→" stands for a tab to keep the tables readable.
std::u16string tabs(std::u16string s) {
    for (char16_t& c : s)
        if (c == u'→')
            c = u'\t';
    return s;
}
std::u16string text(const std::vector<std::u16string>& lines) {
    return tabs(Lines(lines));
}
std::u16string rows(const std::vector<std::u16string>& lines) {
    return tabs(Rows(lines));
}

struct Outcome {
    std::u16string text;
    std::u16string clipboard;
};

Outcome convert(const std::u16string& input) {
    TextArea memo(input);
    RecordingClipboard clipboard;
    ConvertRakuten(memo, clipboard);
    EXPECT_EQ(clipboard.texts.size(), 1);
    return {memo.Text(), clipboard.last()};
}

} // namespace

TEST(Rakuten, WorkedExample) {
    const Outcome run =
        convert(text({u"明細", u"2024/05/01→ショップA→1,200 円", u"支払方法→一括", u"x1", u"y1",
                      u"2024/05/03→ショップB→800 円", u"支払方法→一括", u"x2", u"y2"}));
    EXPECT_EQ(run.text,
              text({u"明細", u"2024/05/01→ショップA→→→1,200", u"2024/05/03→ショップB→→→800", u""}));
    EXPECT_EQ(run.clipboard,
              rows({u"2024/05/01→ショップA→→→1,200", u"2024/05/03→ショップB→→→800"}));
}

TEST(Rakuten, DataLineShapes) {
    struct Case {
        std::u16string data, rewritten;
    } cases[] = {
        {u"A→B→C→D", u"A→B→→→C→D"},
        {u"ABCD→E", u"→→AB→CDE"},
        {u"→rest", u"→→→rest"},
        {u"no tab 円", u"→→→no tab"},
        {u"1 円→2 円→3 円", u"1→2→→→3"},
        {u"420円→x", u"→→42→0円x"},         // no blank before 円: it stays
        {u"420　円→x→y", u"420　円→x→→→y"}, // a full-width blank neither
        {u"", u"→→→"},
    };
    for (const auto& c : cases) {
        const Outcome run = convert(text({c.data, u"支払方法"}));
        EXPECT_EQ(run.text, text({c.rewritten, u""})) << ToUtf8(c.data);
        EXPECT_EQ(run.clipboard, rows({c.rewritten}));
    }
}

TEST(Rakuten, MarkersAreRecognisedOnlyAtTheStart) {
    for (const std::u16string& input :
         {std::u16string(), std::u16string(u"明細\r\n 支払方法\r\nx支払方法"),
          std::u16string(u"支払")}) {
        const Outcome run = convert(input);
        EXPECT_EQ(run.text, TextArea(input).Text());
        EXPECT_EQ(run.clipboard, u"");
    }
}

TEST(Rakuten, MarkerNearTheEnd) {
    EXPECT_EQ(convert(text({u"a→b→c", u"支払方法"})).text, text({u"a→b→→→c", u""}));
    EXPECT_EQ(convert(text({u"a→b→c", u"支払方法", u"x"})).text, text({u"a→b→→→c", u""}));
    EXPECT_EQ(convert(text({u"a→b→c", u"支払方法", u"x", u"y", u"z"})).text,
              text({u"a→b→→→c", u"z"}));
}

TEST(Rakuten, ASecondRunChangesNothing) {
    const Outcome first = convert(text({u"明細", u"d→s→1 円", u"支払方法", u"x", u"y"}));
    const Outcome second = convert(first.text);
    EXPECT_EQ(second.text, first.text);
    EXPECT_EQ(second.clipboard, u"");
}

TEST(Rakuten, DuplicateRowsStayInOrder) {
    const Outcome run = convert(text({u"d→s→1", u"支払方法", u"x", u"y", u"d→s→1", u"支払方法"}));
    EXPECT_EQ(run.clipboard, rows({u"d→s→→→1", u"d→s→→→1"}));
}

TEST(Rakuten, AnExtraLineBetweenEntriesIsNotCollected) {
    const Outcome run = convert(
        text({u"a→b→1", u"支払方法", u"x", u"y", u"extra", u"c→d→2", u"支払方法", u"x", u"y"}));
    EXPECT_EQ(run.text, text({u"a→b→→→1", u"extra", u"c→d→→→2", u""}));
    EXPECT_EQ(run.clipboard, rows({u"a→b→→→1", u"c→d→→→2"}));
}

TEST(Rakuten, AShortMarkerGroupNeverDeletesTheNextRow) {
    // Only one line after the first marker: its third deletion would take the second
    // entry's row.
    const Outcome run =
        convert(text({u"a→b→1", u"支払方法", u"x", u"c→d→2", u"支払方法", u"x", u"y"}));
    EXPECT_EQ(run.text, text({u"a→b→→→1", u"c→d→→→2", u""}));
    EXPECT_EQ(run.clipboard, rows({u"a→b→→→1", u"c→d→→→2"}));

    // A marker right above the next entry's row deletes only itself.
    const Outcome tight = convert(text({u"a→b→1", u"支払方法", u"c→d→2", u"支払方法"}));
    EXPECT_EQ(tight.text, text({u"a→b→→→1", u"c→d→→→2", u""}));
    EXPECT_EQ(tight.clipboard, rows({u"a→b→→→1", u"c→d→→→2"}));
}

TEST(Rakuten, AMarkerOnTheFirstLineHasNoDataLine) {
    const Outcome run = convert(text({u"支払方法", u"x", u"y", u"keep"}));
    EXPECT_EQ(run.text, u"keep");
    EXPECT_EQ(run.clipboard, u"");

    const Outcome both =
        convert(text({u"支払方法", u"x", u"y", u"a→b→1", u"支払方法", u"x", u"y"}));
    EXPECT_EQ(both.text, text({u"a→b→→→1", u""}));
    EXPECT_EQ(both.clipboard, rows({u"a→b→→→1"}));
}

TEST(Rakuten, LinesAboveTheFirstEntryStayAndAreNotCollected) {
    const Outcome run = convert(text({u"head→1→2", u"more", u"a→b→1", u"支払方法", u"x", u"y"}));
    EXPECT_EQ(run.text, text({u"head→1→2", u"more", u"a→b→→→1", u""}));
    EXPECT_EQ(run.clipboard, rows({u"a→b→→→1"}));
}

TEST(Rakuten, LongDataLinesAreRewrittenWhole) {
    const std::u16string tail(5000, u'z');
    const Outcome run = convert(text({u"a→b→" + tail, u"支払方法"}));
    EXPECT_EQ(run.clipboard, rows({u"a→b→→→" + tail}));
}
