// The real dialogs. Captions and buttons are Japanese whatever the system language is.
#include "app/desktop.h"

#include <QDesktopServices>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace kasorel {

namespace {

QString qt(std::u16string_view s) {
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}

void showBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text) {
    QMessageBox box(icon, caption, text, QMessageBox::NoButton, parent);
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

} // namespace

std::optional<std::u16string> QtDesktop::InputQuery(std::u16string_view title,
                                                    std::u16string_view prompt,
                                                    std::u16string_view defaultText) {
    QInputDialog dialog(parent_);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(qt(title));
    dialog.setLabelText(qt(prompt));
    dialog.setTextValue(qt(defaultText));
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("キャンセル"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue().toStdU16String();
}

bool QtDesktop::Confirm(std::u16string_view question) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("確認"), qt(question),
                    QMessageBox::NoButton, parent_);
    QPushButton* yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

void QtDesktop::Inform(std::u16string_view text) {
    showBox(parent_, QMessageBox::Information, QStringLiteral("情報"), qt(text));
}

void QtDesktop::ShowError(std::u16string_view caption, std::u16string_view text) {
    showBox(parent_, QMessageBox::Critical, qt(caption), qt(text));
}

void QtDesktop::OpenUrl(std::u16string_view address) {
    // A bare "www.example.com" is taken as a web address, as the shell would.
    QUrl url = QUrl::fromUserInput(qt(address));
    if (!url.isValid())
        url = QUrl(qt(address));
    QDesktopServices::openUrl(url);
}

} // namespace kasorel
