// Settings file, window position, settings prompts and links.
#include "app/captions.h"
#include "app/form1.h"
#include "app/startup.h"
#include "app/status.h"

#include "settings/inifile.h"
#include "settings/keys.h"
#include "settings/location.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QStandardPaths>
#include <QUrl>

namespace kasorel {

namespace {

// Asks for a text setting with the stored value pre-filled and stores the answer. Cancel
// gives the pre-filled value back, so it is written as it was (or the key is created).
void PromptForText(Desktop& desktop, const QString& stem, const QString& section,
                   const QString& key, const QString& title, const QString& prompt) {
    const QString current = ReadIniString(stem, section, key, QString());
    WriteIniString(stem, section, key, desktop.InputBox(title, prompt, current));
}

// Asks a yes/no question for a remark switch; Yes is confirmed before it is stored, any other
// answer stores false.
void PromptForSwitch(Desktop& desktop, const QString& stem, const QString& section,
                     const QString& key, const QString& question, const QString& information) {
    if (desktop.Confirm(question)) {
        desktop.Inform(information);
        WriteIniBoolean(stem, section, key, true);
    } else {
        WriteIniBoolean(stem, section, key, false);
    }
}

} // namespace

void TForm1::FormCreate() {
    Guarded([this] {
        FIniFileName =
            ChooseIniFileStem(QCoreApplication::applicationFilePath(),
                              QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation),
                              SettingsPerUserOnly());
        QList<QRect> screens;
        for (const QScreen* screen : QGuiApplication::screens())
            screens.append(screen->geometry());
        const QScreen* primary = QGuiApplication::primaryScreen();
        const QSize primarySize = primary ? primary->size() : QSize();
        // For a top-level window pos() and move() are the frame's outer corner.
        move(ReadIniPosition(FIniFileName, ini::ApSection, ini::MainFormPrefix, frameGeometry(),
                             primarySize, screens));
    });
}

// Runs within closeEvent's Guarded, which shows a failure once and lets the window close.
void TForm1::FormClose() {
    WriteIniPosition(FIniFileName, ini::ApSection, ini::MainFormPrefix, pos());
}

void TForm1::RunPrompt(const QString& caption, const std::function<void()>& prompt) {
    const bool done = Guarded(prompt);
    EndCommand(done ? status::Saved(IniFilePath(FIniFileName)) : status::Aborted(caption));
}

void TForm1::Button8Click() {
    RunPrompt(caption::SheetUrl, [this] {
        PromptForText(*desktop_, FIniFileName, ini::SpsheetSection, ini::UrlKey,
                      QStringLiteral("スプシURLを入力して下さい"), QStringLiteral("スプシURL"));
    });
}

void TForm1::Button9Click() {
    RunPrompt(caption::ApiKey, [this] {
        PromptForText(*desktop_, FIniFileName, ini::ExchangeRatesApiSection, ini::ApiKeyKey,
                      QStringLiteral("API Keyを入力して下さい"), QStringLiteral("API Key"));
    });
}

void TForm1::Button12Click() {
    RunPrompt(caption::ViewSetting, [this] {
        PromptForSwitch(*desktop_, FIniFileName, ini::ViewSection, ini::SuicaKey,
                        QStringLiteral("ViewはSuica限定ですか?"),
                        QStringLiteral("備考欄にSuicaと出力します"));
    });
}

void TForm1::Button10Click() {
    RunPrompt(caption::CoopSetting, [this] {
        PromptForSwitch(*desktop_, FIniFileName, ini::SeikyoSection, ini::HokenKey,
                        QStringLiteral("生協は保険限定ですか?"),
                        QStringLiteral("備考欄に保険と出力します"));
    });
}

void TForm1::Button4Click() {
    const bool done = Guarded([this] {
        QString address =
            ReadIniString(FIniFileName, ini::SpsheetSection, ini::UrlKey, ini::UrlDefault);
        if (address.isEmpty()) {
            Button8Click();
            address =
                ReadIniString(FIniFileName, ini::SpsheetSection, ini::UrlKey, ini::UrlDefault);
        }
        if (!address.isEmpty())
            desktop_->OpenUrl(address);
    });
    EndCommand(done ? QString() : status::Aborted(caption::Sheet));
}

void TForm1::N7Click() {
    // The guide ships with the program, so it opens with no network and always matches the
    // version at hand.
    Guarded([this] { desktop_->OpenUrl(QUrl::fromLocalFile(GuidePath()).toString()); });
    EndCommand(QString());
}

} // namespace kasorel
