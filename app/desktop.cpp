// The real dialogs. Captions and buttons are Japanese whatever the system language is.
#include "app/desktop.h"

#include <QDesktopServices>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace kasorel {

namespace {

void showBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption, const QString& text) {
    QMessageBox box(icon, caption, text, QMessageBox::NoButton, parent);
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

} // namespace

QString QtDesktop::InputBox(const QString& title, const QString& prompt,
                            const QString& defaultText) {
    QInputDialog dialog(parent_);
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("キャンセル"));
    if (dialog.exec() != QDialog::Accepted)
        return defaultText;
    return dialog.textValue();
}

bool QtDesktop::Confirm(const QString& question) {
    QMessageBox box(QMessageBox::Question, QStringLiteral("確認"), question, QMessageBox::NoButton,
                    parent_);
    QPushButton* yes = box.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

void QtDesktop::Inform(const QString& text) {
    showBox(parent_, QMessageBox::Information, QStringLiteral("情報"), text);
}

void QtDesktop::ShowError(const QString& caption, const QString& text) {
    showBox(parent_, QMessageBox::Critical, caption, text);
}

void QtDesktop::OpenUrl(const QString& address) {
    // A bare "www.example.com" is taken as a web address, as the shell would.
    QUrl url = QUrl::fromUserInput(address);
    if (!url.isValid())
        url = QUrl(address);
    QDesktopServices::openUrl(url);
}

} // namespace kasorel
