#include "commands/commands.h"

#include "commands/captions.h"
#include "commands/delivery.h"
#include "commands/errorbox.h"
#include "commands/guide.h"
#include "commands/startup.h"
#include "commands/status.h"
#include "commands/typedrate.h"
#include "convert/coop.h"
#include "convert/domestic.h"
#include "convert/errors.h"
#include "convert/foreign.h"
#include "convert/primitives.h"
#include "convert/rakuten.h"
#include "convert/recognise.h"
#include "convert/unicode.h"
#include "convert/view.h"
#include "rates/query.h"
#include "settings/history.h"
#include "settings/inifile.h"
#include "settings/keys.h"
#include "settings/location.h"
#include "settings/paths.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace kasorel {

namespace {

// Asks for a text setting with the stored value pre-filled and stores the answer. Cancel
// gives the pre-filled value back, so it is written as it was (or the key is created).
void PromptForText(Desktop& desktop, std::u16string_view stem, std::u16string_view section,
                   std::u16string_view key, std::u16string_view title, std::u16string_view prompt) {
    const std::u16string current = ReadIniString(stem, section, key, std::u16string());
    WriteIniString(stem, section, key, desktop.InputBox(title, prompt, current));
}

// Asks a yes/no question for a remark switch; Yes is confirmed before it is stored, any other
// answer stores false.
void PromptForSwitch(Desktop& desktop, std::u16string_view stem, std::u16string_view section,
                     std::u16string_view key, std::u16string_view question,
                     std::u16string_view information) {
    if (desktop.Confirm(question)) {
        desktop.Inform(information);
        WriteIniBoolean(stem, section, key, true);
    } else {
        WriteIniBoolean(stem, section, key, false);
    }
}

// What the history adds to a conversion's status line; when every row had been sent the
// message says so itself.
std::u16string NoteOf(const SentFacts& sent) {
    return sent.untouched
               ? status::SentNote(0, 0, sent.problem, sent.unwritten)
               : status::SentNote(sent.sentBefore, sent.leftOut, sent.problem, sent.unwritten);
}

std::u16string TodayText() {
    return DateToStr(Now());
}

// While the rate service is asked the window takes no input, and what was given meanwhile is
// dropped on every way out: a click meant for a window that seemed stuck must not run another
// command afterwards.
class Wait {
public:
    explicit Wait(WindowSeam& window) : window_(window) { window_.BeginWait(); }
    ~Wait() { window_.EndWait(); }
    Wait(const Wait&) = delete;
    Wait& operator=(const Wait&) = delete;

private:
    WindowSeam& window_;
};

} // namespace

Commands::Commands(Shell shell) : shell_(shell) {}

bool Commands::Guarded(const std::function<void()>& fn) {
    std::u16string message;
    try {
        fn();
        return true;
    } catch (const Exception& e) {
        message = e.message();
    } catch (const std::exception& e) {
        message = FromUtf8(e.what());
    } catch (...) {
        // Nothing may unwind into the shell's event loop, whatever was thrown.
        message = u"不明なエラー";
    }
    shell_.desktop.ShowError(programTitle(ExecutablePath()), errorBoxText(message));
    return false;
}

bool Commands::RunOnText(const std::function<void(TextArea&)>& fn) {
    return Guarded([&] {
        TextArea memo = shell_.textArea.Load();
        try {
            fn(memo);
        } catch (...) {
            // What the command did before it failed stays done, and is on screen when the
            // error box comes up.
            shell_.textArea.Store(memo);
            throw;
        }
        shell_.textArea.Store(memo);
    });
}

bool Commands::SkipSent() const {
    return ReadIniBoolean(FIniFileName, ini::HistorySection, ini::SkipSentKey,
                          ini::SkipSentDefault);
}

void Commands::RunConverter(std::u16string_view caption, StatementKind kind,
                            const std::function<int(TextArea&, Clipboard&)>& convert) {
    RowsDelivery delivery(shell_.clipboard, kind, SkipSent(), historyFile_, history_);
    int rows = 0;
    const bool done = RunOnText([&](TextArea& m) {
        rows = convert(m, delivery);
        if (delivery.Refused())
            SelectRows(m, delivery.Rows());
    });
    if (!done)
        return EndCommand(status::Aborted(caption));
    if (delivery.Refused() && rows > 0)
        return EndCommand(status::CopyRefused(caption, rows));
    const SentFacts& sent = delivery.Facts();
    const std::u16string note = NoteOf(sent);
    EndCommand(sent.untouched ? status::AllSent(caption, rows, note)
                              : status::Copied(caption, rows - sent.leftOut, note));
}

void Commands::RunPrompt(std::u16string_view caption, const std::function<void()>& prompt) {
    const bool done = Guarded(prompt);
    EndCommand(done ? status::Saved(IniFilePath(FIniFileName)) : status::Aborted(caption));
}

void Commands::EndCommand(const status::Status& message) {
    if (!message.what.empty())
        shell_.window.ShowStatus(chosenKind_.empty() ? status::Line(message)
                                                     : status::AutoDetected(chosenKind_, message));
    shell_.window.FocusTextArea();
}

void Commands::FormCreate() {
    Guarded([this] {
        FIniFileName =
            ChooseIniFileStem(ExecutablePath(), UserConfigFolder(), SettingsPerUserOnly());
        historyFile_ = HistoryFilePath();
        WindowSeam& window = shell_.window;
        window.MoveFrameTo(ReadIniPosition(FIniFileName, ini::ApSection, ini::MainFormPrefix,
                                           window.FrameGeometry(), window.PrimaryScreenSize(),
                                           window.ScreenRects()));
    });
}

void Commands::FormClose() {
    // A failure shows once; the shell closes the window all the same, or a settings file
    // that stays unwritable would keep the user from ever closing it.
    Guarded([this] {
        WriteIniPosition(FIniFileName, ini::ApSection, ini::MainFormPrefix,
                         shell_.window.FrameGeometry().TopLeft());
    });
}

void Commands::Button1Click() {
    RunConverter(caption::Rakuten, StatementKind::Rakuten,
                 [](TextArea& m, Clipboard& c) { return ConvertRakuten(m, c); });
}

void Commands::Button2Click() {
    RunOnText([](TextArea& m) { ProbeRates(m); });
    EndCommand({});
}

void Commands::Button3Click() {
    std::u16string text;
    bool refused = false;
    const bool done = RunOnText([&](TextArea& m) {
        // An empty or non-text clipboard gives the empty text, which still removes a selection.
        try {
            text = shell_.clipboard.Text();
        } catch (const EClipboardRefused&) {
            // The person pastes by hand; the text area stays as it is.
            refused = true;
            return;
        }
        m.SetSelText(text);
    });
    if (!done)
        EndCommand(status::Aborted(caption::Paste));
    else if (refused)
        EndCommand(status::PasteRefused(caption::Paste));
    else if (text.empty())
        EndCommand(status::NothingToPaste(caption::Paste));
    else
        EndCommand(status::Pasted(caption::Paste, TextArea(text).Count()));
}

void Commands::Button4Click() {
    const bool done = Guarded([this] {
        std::u16string address =
            ReadIniString(FIniFileName, ini::SpsheetSection, ini::UrlKey, ini::UrlDefault);
        if (address.empty()) {
            Button8Click();
            address =
                ReadIniString(FIniFileName, ini::SpsheetSection, ini::UrlKey, ini::UrlDefault);
        }
        if (!address.empty())
            shell_.desktop.OpenUrl(address);
    });
    EndCommand(done ? status::Status() : status::Aborted(caption::Sheet));
}

void Commands::Button5Click() {
    RunConverter(caption::Coop, StatementKind::Coop, [this](TextArea& m, Clipboard& c) {
        const bool hoken =
            ReadIniBoolean(FIniFileName, ini::SeikyoSection, ini::HokenKey, ini::HokenDefault);
        return ConvertCoop(m, c, hoken);
    });
}

void Commands::Button6Click() {
    RunConverter(caption::Domestic, StatementKind::Domestic, [](TextArea& m, Clipboard& c) {
        return ConvertDomesticDividends(m, c, TodayText);
    });
}

std::optional<double> Commands::AskRate() {
    const std::u16string last = ReadIniString(FIniFileName, ini::ExchangeRatesApiSection,
                                              ini::LastRateKey, std::u16string_view());
    std::u16string_view prompt = u"1 USD あたりの円 (為替レートを取得できませんでした)";
    std::u16string typed = last;
    for (;;) {
        const std::optional<std::u16string> answer =
            shell_.desktop.InputQuery(u"為替レートを入力して下さい", prompt, typed);
        if (!answer)
            return std::nullopt;
        typed = *answer;
        try {
            const double rate = StoreDouble(StrToFloat(typed));
            if (rate > 0 && std::isfinite(rate))
                return rate;
        } catch (const Exception&) {
            // Asked again below: a slip of the keyboard should not end the command.
        }
        prompt = u"1 USD あたりの円を、0 より大きい数で入力して下さい";
    }
}

void Commands::Button7Click() {
    RowsDelivery delivery(shell_.clipboard, StatementKind::Foreign, SkipSent(), historyFile_,
                          history_);
    std::optional<double> rate;
    bool typed = false;
    int rows = 0;
    std::u16string shown;
    const bool done = RunOnText([&](TextArea& m) {
        const std::u16string key = ReadIniString(FIniFileName, ini::ExchangeRatesApiSection,
                                                 ini::ApiKeyKey, ini::ApiKeyDefault);
        RESTClient1.SetParameter(u"access_key", key);
        {
            const Wait wait(shell_.window);
            rate = QueryExchangeRate(RESTRequest1, m);
        }
        const bool typedRateStandsIn = TypedRateStandsIn();
        if (rate && typedRateStandsIn) {
            try {
                WriteIniString(FIniFileName, ini::ExchangeRatesApiSection, ini::LastRateKey,
                               FloatToStr(*rate));
            } catch (const EIniFileException&) {
                // Only the pre-filled text of a later prompt depends on it.
            }
        } else if (!rate && typedRateStandsIn) {
            rate = AskRate();
            typed = rate.has_value();
        }
        if (!rate)
            return;
        rows = ConvertForeignDividends(m, delivery, *rate, TodayText);
        if (delivery.Refused())
            SelectRows(m, delivery.Rows());
        shown = ShownRate(*rate);
    });
    if (!done)
        return EndCommand(status::Aborted(caption::Foreign));
    if (!rate)
        return EndCommand(status::NoRate(caption::Foreign));
    if (delivery.Refused() && rows > 0)
        return EndCommand(status::CopyRefused(caption::Foreign, rows));
    // Asked only now, so that the history's file is written while the rows are shown.
    const SentFacts& sent = delivery.Facts();
    const std::u16string note = NoteOf(sent);
    EndCommand(sent.untouched ? status::AllSent(caption::Foreign, rows, note)
                              : status::Copied(caption::Foreign, rows - sent.leftOut,
                                               note + status::RateNote(shown, typed)));
}

void Commands::Button8Click() {
    RunPrompt(caption::SheetUrl, [this] {
        PromptForText(shell_.desktop, FIniFileName, ini::SpsheetSection, ini::UrlKey,
                      u"スプシURLを入力して下さい", u"スプシURL");
    });
}

void Commands::Button9Click() {
    RunPrompt(caption::ApiKey, [this] {
        PromptForText(shell_.desktop, FIniFileName, ini::ExchangeRatesApiSection, ini::ApiKeyKey,
                      u"API Keyを入力して下さい", u"API Key");
    });
}

void Commands::Button10Click() {
    RunPrompt(caption::CoopSetting, [this] {
        PromptForSwitch(shell_.desktop, FIniFileName, ini::SeikyoSection, ini::HokenKey,
                        u"生協は保険限定ですか?", u"備考欄に保険と出力します");
    });
}

void Commands::Button11Click() {
    RunConverter(caption::View, StatementKind::View, [this](TextArea& m, Clipboard& c) {
        const bool suica =
            ReadIniBoolean(FIniFileName, ini::ViewSection, ini::SuicaKey, ini::SuicaDefault);
        return ConvertView(m, c, suica);
    });
}

void Commands::Button12Click() {
    RunPrompt(caption::ViewSetting, [this] {
        PromptForSwitch(shell_.desktop, FIniFileName, ini::ViewSection, ini::SuicaKey,
                        u"ViewはSuica限定ですか?", u"備考欄にSuicaと出力します");
    });
}

void Commands::N7Click() {
    // The guide ships with the program, so it opens with no network and always matches the
    // version at hand; a copy moved away from its install still finds the built-in one.
    const bool done = Guarded([this] { shell_.desktop.OpenUrl(GuideAddress()); });
    EndCommand(done ? status::Status() : status::Aborted(caption::Guide));
}

void Commands::Button13Click() {
    if (!shell_.files)
        return EndCommand({});
    const std::u16string path = IniFilePath(FIniFileName);
    const std::u16string name = FileNameOf(path);
    bool stored = false;
    const bool done = Guarded([&] {
        const std::optional<std::string> bytes = ReadWholeFile(path);
        stored = bytes.has_value();
        if (stored)
            shell_.files->Offer(name, *bytes);
    });
    if (!done)
        EndCommand(status::Aborted(caption::ExportSettings));
    else
        EndCommand(stored ? status::Exported(name)
                          : status::NothingToExport(caption::ExportSettings));
}

void Commands::Button14Click() {
    if (!shell_.files)
        return EndCommand({});
    std::optional<PickedFile> file;
    const bool done = Guarded([&] {
        file = shell_.files->Pick();
        if (!file)
            return;
        // A file that is not the settings never replaces them.
        CheckSettingsFile(file->name, file->bytes);
        ReplaceWholeFile(IniFilePath(FIniFileName), file->bytes);
    });
    if (!done)
        EndCommand(status::Aborted(caption::ImportSettings));
    else
        EndCommand(file ? status::Imported(file->name) : status::Status());
}

namespace {

// Each kind 自動判別 recognises, with the command its own button runs.
struct KindCommand {
    StatementKind kind;
    std::u16string_view caption;
    void (Commands::*run)();
};
constexpr KindCommand kKindCommands[] = {
    {StatementKind::Rakuten, caption::Rakuten, &Commands::Button1Click},
    {StatementKind::Foreign, caption::Foreign, &Commands::Button7Click},
    {StatementKind::Domestic, caption::Domestic, &Commands::Button6Click},
    {StatementKind::View, caption::View, &Commands::Button11Click},
    {StatementKind::Coop, caption::Coop, &Commands::Button5Click},
};

const KindCommand& commandOf(StatementKind kind) {
    for (const KindCommand& command : kKindCommands) {
        if (command.kind == kind)
            return command;
    }
    return kKindCommands[0];
}

// "楽天カード (2 行) と Viewカード (1 行) の明細が混ざっています。多い方の 楽天カード として変換
// しますか?"
std::u16string mixedQuestion(const std::vector<KindFit>& fits, const KindFit& most) {
    std::u16string question;
    for (const KindFit& fit : fits) {
        if (!question.empty())
            question += u" と ";
        question +=
            std::u16string(commandOf(fit.kind).caption) + u" (" + IntToStr(fit.entries) + u" 行)";
    }
    return question + u" の明細が混ざっています。多い方の " +
           std::u16string(commandOf(most.kind).caption) + u" として変換しますか?";
}

} // namespace

void Commands::Button15Click() {
    std::vector<KindFit> fits;
    if (!Guarded(
            [&] { fits = RecogniseStatement(shell_.textArea.Load(), UserDecimalSeparator()); }))
        return EndCommand(status::Aborted(caption::AutoDetect));
    if (fits.empty()) {
        std::vector<std::u16string_view> known;
        for (const KindCommand& command : kKindCommands)
            known.push_back(command.caption);
        return EndCommand(status::NotRecognised(caption::AutoDetect, known));
    }
    // The most entries decide; between equal counts, the more specific kind, which comes first.
    const KindFit most =
        *std::max_element(fits.begin(), fits.end(),
                          [](const KindFit& a, const KindFit& b) { return a.entries < b.entries; });
    if (fits.size() > 1) {
        bool yes = false;
        if (!Guarded([&] { yes = shell_.desktop.Confirm(mixedQuestion(fits, most)); }))
            return EndCommand(status::Aborted(caption::AutoDetect));
        if (!yes)
            return EndCommand(status::NotConverted(caption::AutoDetect));
    }
    const KindCommand& command = commandOf(most.kind);
    chosenKind_ = command.caption;
    (this->*command.run)();
    chosenKind_ = {};
}

void Commands::Button16Click() {
    RunPrompt(caption::SkipSent, [this] {
        PromptForSwitch(shell_.desktop, FIniFileName, ini::HistorySection, ini::SkipSentKey,
                        u"送信済みの行をクリップボードに入れないようにしますか?",
                        u"送信済みの行は除いてクリップボードに入れます");
    });
}

void Commands::Button17Click() {
    bool cleared = false;
    const bool done = Guarded([&] {
        if (!shell_.desktop.Confirm(
                u"送信履歴を消去しますか? 消去すると、どの行も送信済みとは見なされなくなります。"))
            return;
        if (historyFile_.empty())
            return;
        // The person's own word: even a history this version would leave alone is forgotten.
        WriteHistoryFile(historyFile_, SentHistory(), Today());
        cleared = true;
    });
    if (!done)
        EndCommand(status::Aborted(caption::ClearHistory));
    else
        EndCommand(cleared ? status::HistoryCleared() : status::Status());
}

} // namespace kasorel
