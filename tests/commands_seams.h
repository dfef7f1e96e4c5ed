#pragma once

// The commands' seams, scripted: a window nobody sees. The text area is the model itself,
// the clipboard records what goes on it, the person at the window answers from scripts, and
// the window records what it was told to show. Suites drive a real Commands over them.

#include "commands/commands.h"
#include "commands/seams.h"

#include "text_printers.h"

#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

// A 楽天カード statement of two entries, and the rows it gives.
inline const std::u16string kRakutenStatement = u"明細\r\n"
                                                u"2024/05/01\tショップA\t1,200 円\r\n"
                                                u"支払方法\t一括\r\n"
                                                u"x1\r\n"
                                                u"y1\r\n"
                                                u"2024/05/03\tショップB\t800 円\r\n"
                                                u"支払方法\t一括\r\n"
                                                u"x2\r\n"
                                                u"y2";
inline const std::u16string kRakutenRows = u"2024/05/01\tショップA\t\t\t1,200\r\n"
                                           u"2024/05/03\tショップB\t\t\t800\r\n";

// The text area: the model is the widget. Store counts as one undoable edit when the text
// changed, as a shell's would.
class ScriptedTextArea : public kasorel::TextAreaSeam {
public:
    kasorel::TextArea Load() override { return memo; }
    void Store(const kasorel::TextArea& m) override {
        if (m.Text() != memo.Text())
            ++edits;
        memo = m;
    }
    kasorel::TextArea memo;
    int edits = 0;
};

// The clipboard: every text put on it, and what paste reads. A clipboard that fails cannot
// be driven for real: when fail is set, reading and writing call it first, and it throws.
class ScriptedClipboard : public kasorel::SystemClipboard {
public:
    void SetAsText(std::u16string_view t) override {
        if (fail)
            fail();
        texts.emplace_back(t);
    }
    std::u16string Text() override {
        if (fail)
            fail();
        return content;
    }
    // The content after the last write; the empty text when nothing was written.
    std::u16string last() const { return texts.empty() ? std::u16string() : texts.back(); }
    std::vector<std::u16string> texts;
    std::u16string content;
    std::function<void()> fail;
};

// The person at the window: input boxes and questions are answered from the scripts (an
// input box nobody scripted keeps its pre-filled text; a question nobody scripted is a test
// failure answered No), and every conversation is recorded instead of waiting for OK.
class ScriptedDesktop : public kasorel::Desktop {
public:
    struct Input {
        std::u16string title, prompt, defaultText;
    };
    struct Box {
        std::u16string caption, text;
    };
    std::deque<std::optional<std::u16string>> inputAnswers; // nullopt: Cancel
    std::deque<bool> confirmAnswers;
    std::vector<Input> inputs;
    std::vector<Box> errors;
    std::vector<std::u16string> questions, informations, opened;

    std::optional<std::u16string> InputQuery(std::u16string_view title, std::u16string_view prompt,
                                             std::u16string_view defaultText) override {
        inputs.push_back(
            {std::u16string(title), std::u16string(prompt), std::u16string(defaultText)});
        if (inputAnswers.empty())
            return std::u16string(defaultText);
        const std::optional<std::u16string> answer = inputAnswers.front();
        inputAnswers.pop_front();
        return answer;
    }
    bool Confirm(std::u16string_view question) override {
        questions.emplace_back(question);
        if (confirmAnswers.empty()) {
            ADD_FAILURE() << "unexpected question " << testing::PrintToString(questions.back());
            return false;
        }
        const bool answer = confirmAnswers.front();
        confirmAnswers.pop_front();
        return answer;
    }
    void Inform(std::u16string_view text) override { informations.emplace_back(text); }
    void ShowError(std::u16string_view caption, std::u16string_view text) override {
        errors.push_back({std::u16string(caption), std::u16string(text)});
    }
    void OpenUrl(std::u16string_view address) override { opened.emplace_back(address); }

    // The texts of the error boxes, in the order they were raised.
    std::vector<std::u16string> errorTexts() const {
        std::vector<std::u16string> texts;
        for (const Box& box : errors)
            texts.push_back(box.text);
        return texts;
    }
};

// The window: its frame on one 1920 × 1080 screen unless a test says otherwise, the status
// line, the focus and the waits it was asked for.
class ScriptedWindow : public kasorel::WindowSeam {
public:
    kasorel::Rect FrameGeometry() override { return frame; }
    void MoveFrameTo(kasorel::Point p) override {
        frame.x = p.x;
        frame.y = p.y;
        ++moves;
    }
    kasorel::Size PrimaryScreenSize() override { return primary; }
    std::vector<kasorel::Rect> ScreenRects() override { return screens; }
    void ShowStatus(std::u16string_view message) override { status = message; }
    void FocusTextArea() override { ++focused; }
    void ShowMadeKinds(const std::vector<std::u16string>& names) override { madeKinds = names; }
    void BeginWait() override {
        EXPECT_FALSE(waiting) << "waits do not nest";
        waiting = true;
        ++waits;
        if (onBeginWait)
            onBeginWait();
    }
    void EndWait() override {
        EXPECT_TRUE(waiting);
        waiting = false;
        if (onEndWait)
            onEndWait();
    }

    kasorel::Rect frame{100, 80, 709, 680};
    kasorel::Size primary{1920, 1080};
    std::vector<kasorel::Rect> screens{{0, 0, 1920, 1080}};
    std::u16string status;
    std::vector<std::u16string> madeKinds; // the items of the made kinds the menu shows
    int moves = 0;
    int focused = 0;
    int waits = 0;
    bool waiting = false;
    // Called as each wait begins and ends, to see what had happened by then.
    std::function<void()> onBeginWait, onEndWait;
};

// Names each case of a parameterised suite after its member name, so ctest lists it by what
// it checks.
struct ByCaseName {
    template <class Case> std::string operator()(const testing::TestParamInfo<Case>& c) const {
        return c.param.name;
    }
};

// A Commands over scripted seams, all owned together.
struct ScriptedCommands {
    ScriptedTextArea textArea;
    ScriptedClipboard clipboard;
    ScriptedDesktop desktop;
    ScriptedWindow window;
    kasorel::Commands commands{{textArea, clipboard, desktop, window}};

    // Puts text in the text area with the caret at its end, as after typing it.
    void setText(std::u16string_view text) {
        textArea.memo = kasorel::TextArea(std::u16string(text));
        const int last = textArea.memo.LineCount() - 1;
        textArea.memo.SetCaret({last, static_cast<int>(textArea.memo.Line(last).size())});
    }
    // Puts text in the text area with the selection running from anchor to caret.
    void setText(std::u16string_view text, kasorel::TextPos anchor, kasorel::TextPos caret) {
        textArea.memo = kasorel::TextArea(std::u16string(text));
        textArea.memo.SetSelection(anchor, caret);
    }
    std::u16string text() const { return textArea.memo.Text(); }
};
