#include "commands/startup.h"

#include <cstring>

namespace kasorel {

namespace {

bool perUserOnly = false;

constexpr const char* kBesideExecutable =
    "  実行ファイルと同じフォルダーの kasorel.ini。それがなく、フォルダーに書き込めないときは\n";
#ifdef _WIN32
constexpr const char* kPerUser = "  %APPDATA%\\kasorel\\kasorel.ini\n";
#else
constexpr const char* kPerUser =
    "  ~/.config/kasorel/kasorel.ini ($XDG_CONFIG_HOME があればその下)\n";
#endif

} // namespace

const char* Version() {
    return KASOREL_VERSION;
}

bool SettingsPerUserOnly() {
    return perUserOnly;
}

void KeepSettingsPerUserOnly() {
    perUserOnly = true;
}

std::optional<int> AnswerCommandLine(int argc, const char* const* argv, std::ostream& out) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            out << "kasorel " << Version() << '\n';
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            out << "使い方: kasorel [--help | --version]\n"
                   "Web ページからコピーした明細 (楽天カード、Viewカード、生協、国内・米国配当) "
                   "を\n"
                   "表計算シートに貼り付けられるタブ区切りの行に変換します。ウィンドウで\n"
                   "「貼り付け」を押し、明細の種類のボタンを押すと、行がクリップボードに入ります。"
                   "\n"
                   "\n"
                   "  --help     この説明を表示して終了します\n"
                   "  --version  バージョンを表示して終了します\n"
                   "\n"
                   "設定ファイル:\n"
                << (SettingsPerUserOnly() ? "" : kBesideExecutable) << kPerUser;
            return 0;
        }
    }
    return std::nullopt;
}

} // namespace kasorel
