#pragma once

// The window's conversations with the person and the desktop, through Qt: the dialogs, the
// error box and opening an address.

#include "commands/seams.h"

class QWidget;

namespace kasorel {

// The real dialogs, owned by parent, always in Japanese.
class QtDesktop : public Desktop {
public:
    explicit QtDesktop(QWidget* parent) : parent_(parent) {}
    std::optional<std::u16string> InputQuery(std::u16string_view title, std::u16string_view prompt,
                                             std::u16string_view defaultText) override;
    bool Confirm(std::u16string_view question) override;
    void Inform(std::u16string_view text) override;
    void ShowError(std::u16string_view caption, std::u16string_view text) override;
    void OpenUrl(std::u16string_view address) override;

private:
    QWidget* parent_;
};

} // namespace kasorel
