#include "convert/rakuten.h"

#include "convert_test_util.h"
#include "recording_clipboard.h"

#include <gtest/gtest.h>

using namespace kasorel;

namespace {

// "→" stands for a tab to keep the tables readable.
QString text(const QStringList& lines) {
    return Lines(lines).replace(u"→"_qs, "\t");
}
QString rows(const QStringList& lines) {
    return Rows(lines).replace(u"→"_qs, "\t");
}

struct Outcome {
    QString text;
    QString clipboard;
};

Outcome convert(const QString& input) {
    TextArea memo(input);
    RecordingClipboard clipboard;
    ConvertRakuten(memo, clipboard);
    EXPECT_EQ(clipboard.texts.size(), 1);
    return {memo.Text(), clipboard.last()};
}

} // namespace

TEST(Rakuten, WorkedExample) {
    const Outcome run =
        convert(text({u"明細"_qs, u"2024/05/01→ショップA→1,200 円"_qs, u"支払方法→一括"_qs, "x1",
                      "y1", u"2024/05/03→ショップB→800 円"_qs, u"支払方法→一括"_qs, "x2", "y2"}));
    EXPECT_EQ(run.text, text({u"明細"_qs, u"2024/05/01→ショップA→→→1,200"_qs,
                              u"2024/05/03→ショップB→→→800"_qs, ""}));
    EXPECT_EQ(run.clipboard,
              rows({u"2024/05/01→ショップA→→→1,200"_qs, u"2024/05/03→ショップB→→→800"_qs}));
}

TEST(Rakuten, DataLineShapes) {
    struct Case {
        QString data, rewritten;
    } cases[] = {
        {u"A→B→C→D"_qs, u"A→B→→→C→D"_qs},
        {u"ABCD→E"_qs, u"→→AB→CDE"_qs},
        {u"→rest"_qs, u"→→→rest"_qs},
        {u"no tab 円"_qs, u"→→→no tab"_qs},
        {u"1 円→2 円→3 円"_qs, u"1→2→→→3"_qs},
        {u"420円→x"_qs, u"→→42→0円x"_qs},         // no blank before 円: it stays
        {u"420　円→x→y"_qs, u"420　円→x→→→y"_qs}, // a full-width blank neither
        {"", u"→→→"_qs},
    };
    for (const auto& c : cases) {
        const Outcome run = convert(text({c.data, u"支払方法"_qs}));
        EXPECT_EQ(run.text, text({c.rewritten, ""})) << c.data.toStdString();
        EXPECT_EQ(run.clipboard, rows({c.rewritten}));
    }
}

TEST(Rakuten, MarkersAreRecognisedOnlyAtTheStart) {
    for (const QString& input : {QString(), u"明細\r\n 支払方法\r\nx支払方法"_qs, u"支払"_qs}) {
        const Outcome run = convert(input);
        EXPECT_EQ(run.text, TextArea(input).Text());
        EXPECT_EQ(run.clipboard, "");
    }
}

TEST(Rakuten, MarkerNearTheEnd) {
    EXPECT_EQ(convert(text({"a→b→c", u"支払方法"_qs})).text, text({u"a→b→→→c"_qs, ""}));
    EXPECT_EQ(convert(text({"a→b→c", u"支払方法"_qs, "x"})).text, text({u"a→b→→→c"_qs, ""}));
    EXPECT_EQ(convert(text({"a→b→c", u"支払方法"_qs, "x", "y", "z"})).text,
              text({u"a→b→→→c"_qs, "z"}));
}

TEST(Rakuten, ASecondRunChangesNothing) {
    const Outcome first = convert(text({u"明細"_qs, u"d→s→1 円"_qs, u"支払方法"_qs, "x", "y"}));
    const Outcome second = convert(first.text);
    EXPECT_EQ(second.text, first.text);
    EXPECT_EQ(second.clipboard, "");
}

TEST(Rakuten, DuplicateRowsStayInOrder) {
    const Outcome run = convert(text({"d→s→1", u"支払方法"_qs, "x", "y", "d→s→1", u"支払方法"_qs}));
    EXPECT_EQ(run.clipboard, rows({u"d→s→→→1"_qs, u"d→s→→→1"_qs}));
}

TEST(Rakuten, AnExtraLineBetweenEntriesIsNotCollected) {
    const Outcome run = convert(
        text({"a→b→1", u"支払方法"_qs, "x", "y", "extra", "c→d→2", u"支払方法"_qs, "x", "y"}));
    EXPECT_EQ(run.text, text({u"a→b→→→1"_qs, "extra", u"c→d→→→2"_qs, ""}));
    EXPECT_EQ(run.clipboard, rows({u"a→b→→→1"_qs, u"c→d→→→2"_qs}));
}

TEST(Rakuten, AShortMarkerGroupNeverDeletesTheNextRow) {
    // Only one line after the first marker: its third deletion would take the second
    // entry's row.
    const Outcome run =
        convert(text({"a→b→1", u"支払方法"_qs, "x", "c→d→2", u"支払方法"_qs, "x", "y"}));
    EXPECT_EQ(run.text, text({u"a→b→→→1"_qs, u"c→d→→→2"_qs, ""}));
    EXPECT_EQ(run.clipboard, rows({u"a→b→→→1"_qs, u"c→d→→→2"_qs}));

    // A marker right above the next entry's row deletes only itself.
    const Outcome tight = convert(text({"a→b→1", u"支払方法"_qs, "c→d→2", u"支払方法"_qs}));
    EXPECT_EQ(tight.text, text({u"a→b→→→1"_qs, u"c→d→→→2"_qs, ""}));
    EXPECT_EQ(tight.clipboard, rows({u"a→b→→→1"_qs, u"c→d→→→2"_qs}));
}

TEST(Rakuten, AMarkerOnTheFirstLineHasNoDataLine) {
    const Outcome run = convert(text({u"支払方法"_qs, "x", "y", "keep"}));
    EXPECT_EQ(run.text, "keep");
    EXPECT_EQ(run.clipboard, "");

    const Outcome both =
        convert(text({u"支払方法"_qs, "x", "y", "a→b→1", u"支払方法"_qs, "x", "y"}));
    EXPECT_EQ(both.text, text({u"a→b→→→1"_qs, ""}));
    EXPECT_EQ(both.clipboard, rows({u"a→b→→→1"_qs}));
}

TEST(Rakuten, LinesAboveTheFirstEntryStayAndAreNotCollected) {
    const Outcome run = convert(text({"head→1→2", "more", "a→b→1", u"支払方法"_qs, "x", "y"}));
    EXPECT_EQ(run.text, text({"head→1→2", "more", u"a→b→→→1"_qs, ""}));
    EXPECT_EQ(run.clipboard, rows({u"a→b→→→1"_qs}));
}

TEST(Rakuten, LongDataLinesAreRewrittenWhole) {
    const QString tail(5000, u'z');
    const Outcome run = convert(text({"a→b→" + tail, u"支払方法"_qs}));
    EXPECT_EQ(run.clipboard, rows({u"a→b→→→"_qs + tail}));
}
