// The error box: its text and caption, and an error that ends a command over scripted seams.
#include "commands/commands.h"
#include "commands/errorbox.h"
#include "convert/errors.h"

#include "commands_seams.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace kasorel;

namespace {

struct TextCase {
    const char* name;
    std::u16string message, shown;
};

void PrintTo(const TextCase& c, std::ostream* os) {
    *os << c.name;
}

class ErrorBoxText : public testing::TestWithParam<TextCase> {};

TEST_P(ErrorBoxText, GetsAFullStopAfterACodeUnitAboveIt) {
    EXPECT_EQ(errorBoxText(GetParam().message), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, ErrorBoxText,
    testing::Values(TextCase{"RangeError", ERangeError().message(), u"範囲チェックエラー."},
                    TextCase{"EndsWithAFullStop", u"ends with.", u"ends with."},
                    TextCase{"EndsBelowTheFullStop", u"ends with -", u"ends with -"},
                    TextCase{"EndsWithASlash", u"ends with /", u"ends with /."},
                    TextCase{"EndsWithABlank", u"ends with ", u"ends with "},
                    TextCase{"EndsWithADigit", u"code 7", u"code 7."},
                    TextCase{"EndsWithAnIdeographicStop", u"失敗しました。", u"失敗しました。."},
                    TextCase{"EndsWithAPairedSurrogate", u"𠮷", u"𠮷."},
                    TextCase{"Empty", u"", u""}),
    ByCaseName());

struct TitleCase {
    const char* name;
    std::u16string path, title;
};

void PrintTo(const TitleCase& c, std::ostream* os) {
    *os << c.name;
}

class ProgramTitle : public testing::TestWithParam<TitleCase> {};

TEST_P(ProgramTitle, IsTheFileNameUpToItsFirstDotWithLaterLettersInLowerCase) {
    EXPECT_EQ(programTitle(GetParam().path), GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(Paths, ProgramTitle,
                         testing::Values(
                             // The first letter stays as it is.
                             TitleCase{"Linux", u"/usr/bin/kasorel", u"kasorel"},
                             TitleCase{"CapitalsAndTwoDots", u"/opt/KASOREL.bin.x", u"Kasorel"},
                             TitleCase{"DotInAFolder", u"/a.b/tOOL", u"tool"},
                             TitleCase{"Windows", u"C:\\apps\\KASOREL.EXE", u"Kasorel"},
                             TitleCase{"WindowsLowerCase", u"C:\\apps\\kasorel.exe", u"kasorel"},
                             TitleCase{"MixedSeparators", u"D:/apps\\Tool.exe", u"Tool"},
                             TitleCase{"NoFolder", u"KASOREL.EXE", u"Kasorel"},
                             TitleCase{"Latin1Capitals", u"/opt/ÉCOLE-ÄPFEL", u"École-äpfel"},
                             TitleCase{"MultiplicationSignStays", u"/opt/A×B", u"A×b"},
                             TitleCase{"Greek", u"/opt/ΑΛΦΑ", u"Αλφα"},
                             TitleCase{"Cyrillic", u"/opt/ПРОГРАММА.exe", u"Программа"},
                             TitleCase{"CyrillicIo", u"/opt/ЖЁЛТЫЙ", u"Жёлтый"},
                             TitleCase{"FullWidth", u"/opt/ＫＡＳＯＲＥＬ", u"Ｋａｓｏｒｅｌ"},
                             TitleCase{"Japanese", u"C:\\家計簿\\家計簿ツール.exe",
                                       u"家計簿ツール"},
                             TitleCase{"Empty", u"", u""}),
                         ByCaseName());

const std::u16string& kBoxStatement = kRakutenStatement;
const std::u16string kConverted = u"明細\r\n" + kRakutenRows;

struct RaiseCase {
    const char* name;
    void (*raise)();
    std::u16string text;
};

void PrintTo(const RaiseCase& c, std::ostream* os) {
    *os << c.name;
}

class ACommandsError : public testing::TestWithParam<RaiseCase> {};

// An error ends the command, shows one box and keeps what was done; the window goes on.
TEST_P(ACommandsError, ReachesOneBoxAndTheEditsStayDone) {
    ScriptedCommands sc;
    sc.setText(kBoxStatement);
    sc.clipboard.fail = GetParam().raise;
    sc.commands.Button1Click();
    ASSERT_EQ(sc.desktop.errors.size(), 1u);
    EXPECT_EQ(sc.desktop.errors.front().caption, u"commands_suites");
    EXPECT_EQ(sc.desktop.errors.front().text, GetParam().text);
    // The lines rewritten before the clipboard failed stay rewritten, as one edit.
    EXPECT_EQ(sc.text(), kConverted);
    EXPECT_EQ(sc.textArea.edits, 1);
    EXPECT_TRUE(sc.clipboard.texts.empty());
    EXPECT_EQ(sc.window.status, u"楽天カード: エラーのため中止しました");

    // The next command runs as ever.
    sc.clipboard.fail = nullptr;
    sc.setText(kBoxStatement);
    sc.commands.Button1Click();
    EXPECT_EQ(sc.desktop.errors.size(), 1u);
    EXPECT_EQ(sc.text(), kConverted);
    EXPECT_EQ(sc.window.status, u"楽天カード: 2 行をクリップボードにコピーしました");
}

INSTANTIATE_TEST_SUITE_P(
    Errors, ACommandsError,
    testing::Values(
        RaiseCase{"ClipboardBusy", [] { throw EClipboardException(u"使用中"); },
                  u"クリップボード 使用中 を開けません."},
        RaiseCase{"OutOfResources", [] { throw EOutOfResources(); }, u"システム リソース不足です."},
        RaiseCase{"Range", [] { throw ERangeError(); }, u"範囲チェックエラー."},
        RaiseCase{"MessageEndingInAFullStop", [] { throw std::runtime_error("stopped."); },
                  u"stopped."},
        RaiseCase{"OtherStdException", [] { throw std::runtime_error("boom"); }, u"boom."},
        RaiseCase{"StdExceptionInUtf8", [] { throw std::runtime_error("書けません"); },
                  u"書けません."},
        RaiseCase{"NotAnExceptionClass", [] { throw 42; }, u"不明なエラー."}),
    ByCaseName());

} // namespace
