#pragma once

// Memo1: a plain multi-line EDIT, and the text-area seam over it. The EDIT's one undo level
// is enough for one Ctrl+Z to take a whole command back, because a command's changes go in as
// one replacement; a rich-edit control would bring a DLL and a document model for nothing
// the program needs.

#include "commands/seams.h"
#include "win/dpi.h"
#include "win/fonts.h"

#include <string>

#include <windows.h>

namespace kasorel::win {

class Memo : public TextAreaSeam {
public:
    // Creates the accessible-name label and the edit as children of parent, in that order, so
    // that the label comes right before the edit.
    Memo(HWND parent, int id);
    ~Memo() override;
    Memo(const Memo&) = delete;
    Memo& operator=(const Memo&) = delete;

    HWND Handle() const { return edit_; }
    HWND Label() const { return label_; }

    // Gives the edit its place, and its font for dpi.
    void Relayout(const Dpi& dpi, const RECT& place);

    // The colours of the text area, for the parent's WM_CTLCOLOREDIT.
    LRESULT Colour(HDC dc) const;

    // The whole text of the edit, as it holds it (lines broken by CR LF).
    std::u16string WidgetText() const;

    TextArea Load() override;
    void Store(const TextArea& memo) override;

private:
    static LRESULT CALLBACK EditProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR id, DWORD_PTR self) noexcept;
    LRESULT OnEditMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Whether the caret is drawn at the character position.
    bool CaretShownAt(DWORD position) const;
    // Whether the caret sits at the start of the selection [start, end) rather than its end.
    bool CaretAtStart(DWORD start, DWORD end) const;

    HWND label_ = nullptr;
    HWND edit_ = nullptr;
    HBRUSH background_ = nullptr;
    Dpi dpi_;
    Font font_;
    // The selection the edit had when it last lost the focus, and where its caret was then:
    // the EDIT tells a selection's ends but not which of them the caret is at.
    DWORD blurStart_ = 0;
    DWORD blurEnd_ = 0;
    bool blurCaretAtStart_ = false;
};

} // namespace kasorel::win
