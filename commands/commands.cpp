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
#include "convert/fields.h"
#include "convert/foreign.h"
#include "convert/primitives.h"
#include "convert/rakuten.h"
#include "convert/recognise.h"
#include "convert/unicode.h"
#include "convert/view.h"
#include "rates/query.h"
#include "settings/formats.h"
#include "settings/inifile.h"
#include "settings/keys.h"
#include "settings/location.h"
#include "settings/paths.h"
#include "state/categories.h"
#include "state/history.h"

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

const CategoryTable* Commands::Categories(StateProblem& problem) {
    problem = StateProblem::None;
    if (categoriesFile_.empty() ||
        !ReadIniBoolean(FIniFileName, ini::CategoriesSection, ini::FillKey, ini::FillDefault))
        return nullptr;
    std::optional<FileStamp> stamp = StampOf(categoriesFile_);
    if (!categories_.valid || categories_.path != categoriesFile_ || !stamp ||
        stamp != categories_.stamp) {
        LoadedCategories loaded = ReadCategoriesFile(categoriesFile_);
        categories_ = {categoriesFile_, std::move(stamp), std::move(loaded.table), loaded.problem,
                       true};
    }
    problem = categories_.problem;
    return &categories_.table;
}

status::Status Commands::Convert(std::u16string_view caption, std::string_view kind,
                                 const std::function<int(TextArea&, Clipboard&)>& convert,
                                 bool fills) {
    StateProblem problem = StateProblem::None;
    const CategoryTable* categories = nullptr;
    if (fills && !Guarded([&] { categories = Categories(problem); }))
        return status::Aborted(caption);
    RowsDelivery delivery(shell_.clipboard, kind, SkipSent(), historyFile_, history_, categories);
    int rows = 0;
    const bool done = RunOnText([&](TextArea& m) {
        rows = convert(m, delivery);
        ShowFilledRows(m, delivery.Filled());
        if (delivery.Refused())
            SelectRows(m, delivery.ShownRows());
    });
    if (!done)
        return status::Aborted(caption);
    if (delivery.Refused() && rows > 0)
        return status::CopyRefused(caption, rows);
    const SentFacts& sent = delivery.Facts();
    const std::u16string note = NoteOf(sent) + status::FilledNote(sent.filled, problem);
    return sent.untouched ? status::AllSent(caption, rows, note)
                          : status::Copied(caption, rows - sent.leftOut, note);
}

void Commands::RunConverter(std::u16string_view caption, StatementKind kind,
                            const std::function<int(TextArea&, Clipboard&)>& convert, bool fills) {
    EndCommand(Convert(caption, KindId(kind), convert, fills));
}

status::Status Commands::ConvertMadeKind(const Shape& shape, std::u16string_view name) {
    return Convert(name, MadeKindId(name), [&shape](TextArea& m, Clipboard& c) {
        return ConvertWithShape(shape, m, c, Today());
    });
}

std::optional<Shape> Commands::MadeShape(std::u16string_view name, status::Status& fault) {
    for (const MadeKind& kind : ReadMadeKinds(FIniFileName)) {
        if (!SameKindName(kind.name, name))
            continue;
        try {
            return ParseShapeRules(kind.rules);
        } catch (const EShapeRules& e) {
            fault = status::BrokenKind(name, e.message());
            return std::nullopt;
        }
    }
    fault = status::KindGone(name);
    return std::nullopt;
}

void Commands::ShowMadeKinds() {
    madeKinds_.clear();
    for (const MadeKind& kind : ReadMadeKinds(FIniFileName))
        madeKinds_.push_back(kind.name);
    shell_.window.ShowMadeKinds(madeKinds_);
}

void Commands::RunPrompt(std::u16string_view caption, const std::function<void()>& prompt) {
    const bool done = Guarded(prompt);
    EndCommand(done ? status::Saved(IniFilePath(FIniFileName)) : status::Aborted(caption));
}

void Commands::EndCommand(const status::Status& message) {
    if (!message.what.empty())
        shell_.window.ShowStatus(chosenKind_.empty()
                                     ? status::Line(message)
                                     : status::AutoDetected(chosenKind_, message) + autoNote_);
    shell_.window.FocusTextArea();
}

void Commands::FormCreate() {
    Guarded([this] {
        FIniFileName =
            ChooseIniFileStem(ExecutablePath(), UserConfigFolder(), SettingsPerUserOnly());
        historyFile_ = HistoryFilePath();
        categoriesFile_ = CategoriesFilePath();
        WindowSeam& window = shell_.window;
        window.MoveFrameTo(ReadIniPosition(FIniFileName, ini::ApSection, ini::MainFormPrefix,
                                           window.FrameGeometry(), window.PrimaryScreenSize(),
                                           window.ScreenRects()));
        ShowMadeKinds();
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
    RunConverter(
        caption::Domestic, StatementKind::Domestic,
        [](TextArea& m, Clipboard& c) { return ConvertDomesticDividends(m, c, TodayText); }, false);
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
    RowsDelivery delivery(shell_.clipboard, KindId(StatementKind::Foreign), SkipSent(),
                          historyFile_, history_);
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
        ShowMadeKinds();
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

// The kinds the person made, as 自動判別 uses them: those whose rules make a shape.
struct UsableKinds {
    std::vector<std::u16string> names;
    std::vector<Shape> shapes;
    std::vector<std::pair<std::u16string, std::u16string>> broken; // name, what is wrong
};

UsableKinds usableKinds(std::u16string_view stem) {
    UsableKinds usable;
    for (MadeKind& kind : ReadMadeKinds(stem)) {
        try {
            usable.shapes.push_back(ParseShapeRules(kind.rules));
            usable.names.push_back(std::move(kind.name));
        } catch (const EShapeRules& e) {
            usable.broken.emplace_back(std::move(kind.name), e.message());
        }
    }
    return usable;
}

// "楽天カード (2 行) と Viewカード (1 行) の明細が混ざっています。多い方の 楽天カード として変換
// しますか?"
std::u16string mixedQuestion(const std::vector<KindFit>& fits, const KindFit& most,
                             const std::function<std::u16string_view(const KindFit&)>& nameOf) {
    std::u16string question;
    for (const KindFit& fit : fits) {
        if (!question.empty())
            question += u" と ";
        question += std::u16string(nameOf(fit)) + u" (" + IntToStr(fit.entries) + u" 行)";
    }
    return question + u" の明細が混ざっています。多い方の " + std::u16string(nameOf(most)) +
           u" として変換しますか?";
}

} // namespace

void Commands::Button15Click() {
    UsableKinds made;
    std::vector<KindFit> fits;
    if (!Guarded([&] {
            made = usableKinds(FIniFileName);
            std::vector<const Shape*> shapes;
            for (const Shape& shape : made.shapes)
                shapes.push_back(&shape);
            fits = RecogniseStatement(shell_.textArea.Load(), UserDecimalSeparator(), shapes);
        }))
        return EndCommand(status::Aborted(caption::AutoDetect));
    // A kind whose rules are broken is told of once; the others work as ever.
    std::u16string faults;
    for (const auto& broken : made.broken) {
        const std::u16string& name = broken.first;
        if (std::none_of(faultsTold_.begin(), faultsTold_.end(),
                         [&](const std::u16string& told) { return SameKindName(told, name); })) {
            faultsTold_.push_back(name);
            faults += status::UnusedKindNote(name, broken.second);
        }
    }
    const auto nameOf = [&](const KindFit& fit) -> std::u16string_view {
        return fit.made >= 0 ? std::u16string_view(made.names[static_cast<std::size_t>(fit.made)])
                             : commandOf(fit.kind).caption;
    };
    if (fits.empty()) {
        std::vector<std::u16string_view> known(made.names.begin(), made.names.end());
        for (const KindCommand& command : kKindCommands)
            known.push_back(command.caption);
        status::Status none = status::NotRecognised(caption::AutoDetect, known);
        none.what += faults;
        return EndCommand(none);
    }
    // The most entries decide; between equal counts, the more specific kind, which comes first.
    const KindFit most =
        *std::max_element(fits.begin(), fits.end(),
                          [](const KindFit& a, const KindFit& b) { return a.entries < b.entries; });
    if (fits.size() > 1) {
        bool yes = false;
        if (!Guarded([&] { yes = shell_.desktop.Confirm(mixedQuestion(fits, most, nameOf)); }))
            return EndCommand(status::Aborted(caption::AutoDetect));
        if (!yes)
            return EndCommand(status::NotConverted(caption::AutoDetect));
    }
    chosenKind_ = nameOf(most);
    autoNote_ = faults;
    if (most.made >= 0)
        EndCommand(ConvertMadeKind(made.shapes[static_cast<std::size_t>(most.made)], chosenKind_));
    else
        (this->*commandOf(most.kind).run)();
    chosenKind_ = {};
    autoNote_.clear();
}

void Commands::Button16Click() {
    RunPrompt(caption::SkipSent, [this] {
        PromptForSwitch(shell_.desktop, FIniFileName, ini::HistorySection, ini::SkipSentKey,
                        u"送信済みの行をクリップボードに入れないようにしますか?",
                        u"送信済みの行は除いてクリップボードに入れます");
    });
}

void Commands::ForgetState(std::u16string_view caption, std::u16string_view question,
                           const std::u16string& path, std::string_view empty,
                           const status::Status& cleared) {
    bool forgotten = false;
    const bool done = Guarded([&] {
        if (!shell_.desktop.Confirm(question) || path.empty())
            return;
        // The person's own word: even a file this version would leave alone is forgotten.
        ReplaceWholeFile(path, empty);
        forgotten = true;
    });
    if (!done)
        EndCommand(status::Aborted(caption));
    else
        EndCommand(forgotten ? cleared : status::Status());
}

void Commands::Button17Click() {
    ForgetState(caption::ClearHistory,
                u"送信履歴を消去しますか? 消去すると、どの行も送信済みとは見なされなくなります。",
                historyFile_, SerialiseHistory(SentHistory(), Today()), status::HistoryCleared());
}

namespace {

constexpr std::size_t kKindNameLimit = 40;

// What keeps name from naming a kind; nothing when it may. A kind's name becomes a section of
// the settings file and a menu item.
std::optional<std::u16string> nameProblem(std::u16string_view name) {
    for (const std::u16string_view taken : caption::All) {
        if (SameKindName(name, taken))
            return u"「" + std::u16string(name) + u"」は使えません。別の名前を入力して下さい";
    }
    const bool unfit = name.empty() || name.size() > kKindNameLimit ||
                       std::any_of(name.begin(), name.end(),
                                   [](char16_t c) { return c < 0x20 || c == u'[' || c == u']'; });
    if (unfit)
        return u"名前は " + IntToStr(kKindNameLimit) +
               u" 文字までで、[ と ] のないものにして下さい";
    return std::nullopt;
}

bool isMade(const std::vector<MadeKind>& kinds, std::u16string_view name) {
    return std::any_of(kinds.begin(), kinds.end(),
                       [&](const MadeKind& kind) { return SameKindName(kind.name, name); });
}

} // namespace

void Commands::Button18Click() {
    // The example: the selected lines, whole, or the caret's line. A selection that ends at
    // the start of a line does not take that line.
    Learnt learnt;
    std::vector<MadeKind> kinds;
    const bool read = Guarded([&] {
        const TextArea memo = shell_.textArea.Load();
        const TextPos start = memo.SelectionStart();
        TextPos end = memo.Anchor() == start ? memo.Caret() : memo.Anchor();
        if (end.column == 0 && end.line > start.line)
            --end.line;
        StatementLines lines(memo);
        learnt = LearnShape(lines, start.line, end.line);
        kinds = ReadMadeKinds(FIniFileName);
    });
    if (!read)
        return EndCommand(status::Aborted(caption::MakeFormat));
    if (learnt.problem == LearnProblem::NoDateOrAmount)
        return EndCommand(status::NoExample(caption::MakeFormat));
    if (learnt.problem == LearnProblem::TooLarge)
        return EndCommand(
            status::ExampleTooLarge(caption::MakeFormat, kShapeLineLimit, kShapeItemLimit));
    if (kinds.size() >= kMadeKindLimit)
        return EndCommand(status::TooManyKinds(caption::MakeFormat, kMadeKindLimit));

    std::u16string name = learnt.name;
    if (name.empty() || nameProblem(name)) {
        name.clear();
        for (int n = 1; name.empty() || isMade(kinds, name); ++n)
            name = u"書式" + IntToStr(n);
    }
    const std::u16string count = u" (この明細で " + IntToStr(learnt.entries) + u" 件)";
    std::u16string prompt = u"書式の名前" + count;
    for (bool named = false; !named;) {
        std::optional<std::u16string> answer;
        if (!Guarded(
                [&] { answer = shell_.desktop.InputQuery(caption::MakeFormat, prompt, name); }))
            return EndCommand(status::Aborted(caption::MakeFormat));
        if (!answer)
            return EndCommand({});
        name = std::u16string(TrimBlanks(*answer));
        if (const std::optional<std::u16string> problem = nameProblem(name)) {
            prompt = *problem + count;
            continue;
        }
        named = !isMade(kinds, name);
        if (!named && !Guarded([&] {
                named = shell_.desktop.Confirm(u"書式「" + name +
                                               u"」はすでにあります。置き換えますか?");
            }))
            return EndCommand(status::Aborted(caption::MakeFormat));
    }
    if (!Guarded([&] { WriteMadeKind(FIniFileName, MadeKind{name, ShapeRules(learnt.shape)}); }))
        return EndCommand(status::Aborted(caption::MakeFormat));
    ShowMadeKinds();
    EndCommand(status::Made(caption::MakeFormat, name, ConvertMadeKind(learnt.shape, name)));
}

void Commands::Button19Click() {
    std::vector<MadeKind> kinds;
    std::optional<std::u16string> answer;
    const bool asked = Guarded([&] {
        kinds = ReadMadeKinds(FIniFileName);
        if (kinds.empty())
            return;
        std::u16string names;
        for (const MadeKind& kind : kinds)
            names += (names.empty() ? u"" : u"、") + kind.name;
        answer = shell_.desktop.InputQuery(caption::RemoveFormat,
                                           u"削除する書式の名前 (" + names + u")", u"");
    });
    if (!asked)
        return EndCommand(status::Aborted(caption::RemoveFormat));
    if (kinds.empty())
        return EndCommand(status::NoKinds(caption::RemoveFormat));
    if (!answer)
        return EndCommand({});
    const std::u16string name = std::u16string(TrimBlanks(*answer));
    bool removed = false;
    if (!Guarded([&] { removed = isMade(kinds, name) && EraseMadeKind(FIniFileName, name); }))
        return EndCommand(status::Aborted(caption::RemoveFormat));
    if (removed)
        ShowMadeKinds();
    EndCommand(removed ? status::KindRemoved(caption::RemoveFormat, name)
                       : status::NoSuchKind(caption::RemoveFormat, name));
}

void Commands::MadeKindClick(std::size_t index) {
    if (index >= madeKinds_.size())
        return EndCommand({});
    // The kind as the settings hold it now, which the person may have changed by hand.
    const std::u16string name = madeKinds_[index];
    std::optional<Shape> shape;
    status::Status fault;
    if (!Guarded([&] { shape = MadeShape(name, fault); }))
        return EndCommand(status::Aborted(name));
    if (!shape)
        return EndCommand(fault);
    EndCommand(ConvertMadeKind(*shape, name));
}

void Commands::Button20Click() {
    Learning learning;
    bool refused = false;
    const bool done = Guarded([&] {
        if (categoriesFile_.empty())
            return;
        // Afresh: the rows learnt go into the file as it is now.
        LoadedCategories loaded = ReadCategoriesFile(categoriesFile_);
        learning = loaded.table.Learn(shell_.textArea.Load().Text());
        if (learning.taught == 0)
            return;
        refused = !WriteCategoriesFile(categoriesFile_, loaded.table);
        categories_.valid = false;
    });
    if (!done)
        EndCommand(status::Aborted(caption::LearnCategories));
    else if (refused)
        EndCommand(status::NotLearnt(caption::LearnCategories));
    else
        EndCommand(status::Learnt(caption::LearnCategories, learning));
}

void Commands::Button21Click() {
    RunPrompt(caption::FillCategories, [this] {
        PromptForSwitch(shell_.desktop, FIniFileName, ini::CategoriesSection, ini::FillKey,
                        u"覚えた費目を行に入れますか?",
                        u"覚えた費目を、空いている 3 列目と 4 列目に入れます");
    });
}

void Commands::Button22Click() {
    ForgetState(caption::ClearCategories,
                u"覚えた費目を消去しますか? 消去すると、どの行にも費目を入れなくなります。",
                categoriesFile_, SerialiseCategories(CategoryTable()), status::CategoriesCleared());
    categories_.valid = false;
}

} // namespace kasorel
