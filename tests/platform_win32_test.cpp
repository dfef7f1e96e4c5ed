// The Windows services under the core, against the real system: files in a temporary folder,
// the regional settings and code page of a Japanese system (run with LANG=ja_JP.UTF-8 under
// Wine), and WinHTTP against a small server on 127.0.0.1.

#include "convert/charset.h"
#include "convert/locale.h"
#include "convert/unicode.h"
#include "rates/http.h"
#include "settings/file.h"
#include "settings/inifile.h"
#include "settings/paths.h"
#include "text_printers.h"

#include <gtest/gtest.h>

#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <regex>
#include <thread>
#include <vector>

using namespace kasorel;

namespace {

std::wstring Wide(std::u16string_view s) {
    return std::wstring(reinterpret_cast<const wchar_t*>(s.data()), s.size());
}

std::u16string Text(std::wstring_view s) {
    return std::u16string(reinterpret_cast<const char16_t*>(s.data()), s.size());
}

std::u16string Environment(const wchar_t* name) {
    wchar_t value[32768];
    const DWORD n = GetEnvironmentVariableW(name, value, 32768);
    return n > 0 && n < 32768 ? Text(std::wstring_view(value, n)) : std::u16string();
}

// A fresh folder below the system's temporary folder, removed with its content afterwards.
class TemporaryFolder {
public:
    TemporaryFolder() {
        wchar_t base[MAX_PATH + 1];
        const DWORD n = GetTempPathW(MAX_PATH + 1, base);
        for (unsigned attempt = 0; n > 0 && attempt < 100; ++attempt) {
            const std::wstring candidate = std::wstring(base, n) + L"kasorel-" +
                                           std::to_wstring(GetCurrentProcessId()) + L"-" +
                                           std::to_wstring(GetTickCount64() + attempt);
            if (CreateDirectoryW(candidate.c_str(), nullptr)) {
                path_ = Text(candidate);
                break;
            }
        }
    }
    ~TemporaryFolder() {
        if (path_.empty())
            return;
        // Read-only files left by a test would stop the removal.
        std::error_code ignored;
        for (const auto& entry :
             std::filesystem::recursive_directory_iterator(Wide(path_), ignored))
            SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
        std::filesystem::remove_all(Wide(path_), ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::u16string& Path() const { return path_; }
    std::u16string File(std::u16string_view name) const {
        return path_ + u"\\" + std::u16string(name);
    }

    // The names in folder (this one by default), sorted.
    std::vector<std::u16string> Names(std::u16string_view below = {}) const {
        std::vector<std::u16string> names;
        std::error_code ignored;
        const std::wstring folder = Wide(below.empty() ? path_ : File(below));
        for (const auto& entry : std::filesystem::directory_iterator(folder, ignored))
            names.push_back(Text(entry.path().filename().wstring()));
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    std::u16string path_;
};

// Writes bytes with the system's own calls, so that the code under test is not its own check.
bool PutFile(std::u16string_view path, std::string_view bytes) {
    const HANDLE h = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok =
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size();
    return CloseHandle(h) && ok;
}

std::string Bytes(std::u16string_view path) {
    return ReadWholeFile(path).value_or("<missing>");
}

bool SetReadOnly(std::u16string_view path) {
    return SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_READONLY) != 0;
}

// ------------------------------------------------------------------------------------------
// The code page and the regional settings of a Japanese system

class JapaneseSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(GetACP(), 932u) << "run under Wine with LANG=ja_JP.UTF-8 (script/wine-run)";
    }
};

TEST_F(JapaneseSystemTest, LegacyBytesAreTheAnsiCodePage) {
    // "家計簿" and a half-width katakana "ｶ" in CP932; UTF-8 would make them U+FFFD.
    EXPECT_EQ(DecodeSystemLegacy("\x89\xc6\x8c\x76\x95\xeb\xb6"), u"家計簿ｶ");
}

TEST_F(JapaneseSystemTest, IniFileInTheAnsiCodePageReadsAsWritten) {
    TemporaryFolder dir;
    ASSERT_FALSE(dir.Path().empty());
    // What Windows' own WritePrivateProfileStringA leaves on a Japanese system.
    ASSERT_TRUE(PutFile(dir.File(u"kasorel.ini"),
                        "[Spsheet]\r\nURL=https://example.jp/\x89\xc6\x8c\x76\x95\xeb\r\n"
                        "[\x90\xdd\x92\xe8]\r\n\x83\x4c\x81\x5b=\x92\x6c\r\n"));
    const std::u16string stem = dir.File(u"kasorel");
    EXPECT_EQ(ReadIniString(stem, u"Spsheet", u"URL", u""), u"https://example.jp/家計簿");
    EXPECT_EQ(ReadIniString(stem, u"設定", u"キー", u""), u"値");
}

// A write keeps such a file in its code page while the value fits, and makes the whole file
// UTF-8 when it does not: either way every setting, old and new, reads back as it was.
TEST_F(JapaneseSystemTest, WritesIntoAnAnsiFileKeepEverySettingReadable) {
    TemporaryFolder dir;
    ASSERT_FALSE(dir.Path().empty());
    const std::string before = "[Spsheet]\r\nURL=https://example.jp/\x89\xc6\x8c\x76\x95\xeb\r\n";
    ASSERT_TRUE(PutFile(dir.File(u"kasorel.ini"), before));
    const std::u16string stem = dir.File(u"kasorel");

    WriteIniString(stem, u"exchangeratesapi", u"APIKey", u"鍵");
    EXPECT_EQ(ReadWholeFile(dir.File(u"kasorel.ini")),
              before + "[exchangeratesapi]\r\nAPIKey=\x8c\xae\r\n");

    WriteIniString(stem, u"exchangeratesapi", u"APIKey", u"café");
    const std::optional<std::string> after = ReadWholeFile(dir.File(u"kasorel.ini"));
    ASSERT_TRUE(after);
    EXPECT_TRUE(after->starts_with("\xEF\xBB\xBF[Spsheet]")) << *after;
    EXPECT_EQ(ReadIniString(stem, u"Spsheet", u"URL", u""), u"https://example.jp/家計簿");
    EXPECT_EQ(ReadIniString(stem, u"exchangeratesapi", u"APIKey", u""), u"café");
}

TEST_F(JapaneseSystemTest, DecimalSeparatorIsThePoint) {
    EXPECT_EQ(UserDecimalSeparator(), u".");
}

// Wine's ja-JP writes yyyy/M/d, Japanese Windows yyyy/MM/dd: only what both share is fixed.
TEST_F(JapaneseSystemTest, ShortDateIsYearFirstWithSlashes) {
    const std::string may = ToUtf8(UserShortDate({2024, 5, 1}));
    EXPECT_TRUE(std::regex_match(may, std::regex("2024/0?5/0?1"))) << may;
    EXPECT_EQ(UserShortDate({1999, 12, 31}), u"1999/12/31");
}

TEST(LocaleTest, TodayIsADayOfTheCalendar) {
    const LocalDate today = Today();
    SYSTEMTIME now{};
    GetLocalTime(&now);
    // Midnight may pass between the two readings; the year and month almost never both.
    EXPECT_GE(today.year, 2024);
    EXPECT_GE(today.month, 1);
    EXPECT_LE(today.month, 12);
    EXPECT_GE(today.day, 1);
    EXPECT_LE(today.day, 31);
    EXPECT_EQ(today.year * 12 + today.month, now.wYear * 12 + now.wMonth);
}

// ------------------------------------------------------------------------------------------
// Character sets by name

struct CharsetCase {
    const char* name;
    std::string_view charset;
    std::string_view bytes;
    std::u16string_view text;
};

// Failure messages name the case.
void PrintTo(const CharsetCase& c, std::ostream* os) {
    *os << c.name;
}

class DecodeCharsetTest : public ::testing::TestWithParam<CharsetCase> {};

TEST_P(DecodeCharsetTest, DecodesTheBytes) {
    const CharsetCase& c = GetParam();
    const auto text = DecodeCharset(c.bytes, c.charset);
    ASSERT_TRUE(text.has_value()) << c.charset;
    EXPECT_EQ(*text, c.text);
}

using namespace std::string_view_literals;

INSTANTIATE_TEST_SUITE_P(
    Names, DecodeCharsetTest,
    ::testing::Values(CharsetCase{"ShiftJis", "shift_jis", "\x93\xfa\x96\x7b\x8c\xea", u"日本語"},
                      CharsetCase{"ShiftJisAnyCase", "Shift_JIS", "\x93\xfa\x96\x7b", u"日本"},
                      CharsetCase{"Sjis", "sjis", "\x93\xfa", u"日"},
                      CharsetCase{"Windows31j", "Windows-31J", "\x87\x40", u"①"},
                      CharsetCase{"Cp932", "cp932", "\x81\x5f", u"＼"},
                      // A backslash stays one, so a JSON escape survives.
                      CharsetCase{"ShiftJisBackslash", "shift_jis", "a\\\"b~", u"a\\\"b~"},
                      CharsetCase{"EucJp", "EUC-JP", "\xc6\xfc\xcb\xdc", u"日本"},
                      CharsetCase{"Latin1", "ISO-8859-1", "caf\xe9", u"café"},
                      CharsetCase{"Latin1Alias", "latin1", "\xff", u"ÿ"},
                      CharsetCase{"Latin9", "iso-8859-15", "\xa4", u"€"},
                      CharsetCase{"Windows1252", "windows-1252", "\x80", u"€"},
                      CharsetCase{"CodePageNumber", "cp1251", "\xc0", u"А"},
                      CharsetCase{"Utf8", "UTF-8", "\xe6\x97\xa5", u"日"},
                      CharsetCase{"Utf8Invalid", "utf-8", "a\xffz", u"a\uFFFDz"},
                      CharsetCase{"AsciiHighByte", "us-ascii", "a\xe9", u"a\uFFFD"},
                      CharsetCase{"Utf16LittleByMark", "utf-16",
                                  "\xff\xfe"
                                  "a\0"sv,
                                  u"\uFEFFa"},
                      CharsetCase{"Utf16BigByMark", "UTF-16", "\xfe\xff\0a"sv, u"\uFEFFa"},
                      CharsetCase{"Utf16WithoutMark", "utf-16", "a\0"sv, u"a"},
                      CharsetCase{"Utf16Be", "utf-16be", "\0a\xd8\x3d\xde\x00"sv, u"a\U0001F600"},
                      CharsetCase{"Utf16LoneSurrogate", "utf-16le",
                                  "\x3d\xd8"
                                  "a\0"sv,
                                  u"\uFFFDa"},
                      CharsetCase{"Utf16OddByte", "utf-16le", "a\0b"sv, u"a\uFFFD"},
                      CharsetCase{"Utf32Be", "utf-32be", "\0\x01\xf6\x00"sv, u"\U0001F600"},
                      CharsetCase{"ShiftJisBadTrail", "shift_jis", "a\x81\x20z", u"a\uFFFD z"},
                      CharsetCase{"ShiftJisBadLead", "shift_jis", "\x93\xfa\xff\x96\x7b",
                                  u"日\uFFFD本"},
                      CharsetCase{"ShiftJisCutAtEnd", "shift_jis", "\x93\xfa\x96", u"日\uFFFD"},
                      CharsetCase{"Empty", "shift_jis", "", u""}),
    [](const auto& p) { return std::string(p.param.name); });

struct UnknownCase {
    const char* name;
    std::string_view charset;
};

// Failure messages name the case.
void PrintTo(const UnknownCase& c, std::ostream* os) {
    *os << c.name;
}

class UnknownCharsetTest : public ::testing::TestWithParam<UnknownCase> {};

TEST_P(UnknownCharsetTest, GivesNothing) {
    EXPECT_FALSE(DecodeCharset("abc", GetParam().charset).has_value());
}

INSTANTIATE_TEST_SUITE_P(Names, UnknownCharsetTest,
                         ::testing::Values(UnknownCase{"Empty", ""},
                                           UnknownCase{"Made", "no-such-set"},
                                           UnknownCase{"NoCodePage", "cp99999"},
                                           UnknownCase{"NumberAlone", "932"},
                                           UnknownCase{"Windows", "windows-"}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(DecodeCharsetLongTest, OneBadByteInALongBodyCostsOneCharacter) {
    std::string bytes(300000, 'a');
    bytes[150000] = '\xff';
    bytes.replace(0, 2, "\x93\xfa");
    const auto text = DecodeCharset(bytes, "shift_jis");
    ASSERT_TRUE(text.has_value());
    ASSERT_EQ(text->size(), bytes.size() - 1);
    EXPECT_EQ((*text)[0], u'日');
    EXPECT_EQ((*text)[149999], u'\uFFFD');
    EXPECT_EQ(std::count(text->begin(), text->end(), u'a'), static_cast<long>(bytes.size() - 3));
}

// ------------------------------------------------------------------------------------------
// Files

class FileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(dir.Path().empty()); }
    TemporaryFolder dir;
};

TEST_F(FileTest, ReplaceCreatesTheMissingFoldersAndTheFile) {
    const std::u16string path = dir.File(u"設定\\下\\kasorel.ini");
    EXPECT_EQ(ReplaceWholeFile(path, "[Ap]\r\n"), Replaced::Written);
    EXPECT_EQ(Bytes(path), "[Ap]\r\n");
    EXPECT_EQ(dir.Names(u"設定\\下"), std::vector<std::u16string>{u"kasorel.ini"});
}

TEST_F(FileTest, ReplaceTakesEveryByteAsItIs) {
    const std::u16string path = dir.File(u"kasorel.ini");
    ASSERT_TRUE(PutFile(path, "old content, longer than the new one"));
    std::string bytes("a\0b\r\nc\nd\x1a\xff", 10);
    bytes += std::string(3 << 20, 'x');
    EXPECT_EQ(ReplaceWholeFile(path, bytes), Replaced::Written);
    EXPECT_EQ(Bytes(path), bytes);
    EXPECT_EQ(dir.Names(), std::vector<std::u16string>{u"kasorel.ini"});
}

TEST_F(FileTest, ReadOnlyFileIsRefusedAndKeptByteForByte) {
    const std::u16string path = dir.File(u"kasorel.ini");
    ASSERT_TRUE(PutFile(path, "[Ap]\r\nMainForm_left=10\r\n"));
    ASSERT_TRUE(SetReadOnly(path));
    try {
        ReplaceWholeFile(path, "[Ap]\r\nMainForm_left=20\r\n");
        ADD_FAILURE() << "a read-only file was replaced";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.message(), path + u" に書き込めません");
    }
    EXPECT_EQ(Bytes(path), "[Ap]\r\nMainForm_left=10\r\n");
    EXPECT_EQ(dir.Names(), std::vector<std::u16string>{u"kasorel.ini"});
}

TEST_F(FileTest, ReadOnlyFileRefusesAnIniWrite) {
    const std::u16string stem = dir.File(u"kasorel");
    ASSERT_TRUE(PutFile(stem + u".ini", "[Spsheet]\r\nURL=a\r\n"));
    ASSERT_TRUE(SetReadOnly(stem + u".ini"));
    EXPECT_THROW(WriteIniString(stem, u"Spsheet", u"URL", u"b"), EIniFileException);
    EXPECT_EQ(Bytes(stem + u".ini"), "[Spsheet]\r\nURL=a\r\n");
    EXPECT_EQ(dir.Names(), std::vector<std::u16string>{u"kasorel.ini"});
}

TEST_F(FileTest, HiddenFileStaysHidden) {
    const std::u16string path = dir.File(u"kasorel.ini");
    ASSERT_TRUE(PutFile(path, "old"));
    ASSERT_TRUE(SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(ReplaceWholeFile(path, "new"), Replaced::Written);
    EXPECT_EQ(Bytes(path), "new");
    EXPECT_TRUE(GetFileAttributesW(Wide(path).c_str()) & FILE_ATTRIBUTE_HIDDEN);
}

struct RefusedCase {
    const char* name;
    const char16_t* target; // below the folder; "file" is a regular file, "folder" a folder
};

// Failure messages name the case.
void PrintTo(const RefusedCase& c, std::ostream* os) {
    *os << c.name;
}

class ReplaceRefusedTest : public FileTest, public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(ReplaceRefusedTest, RaisesAndWritesNothing) {
    ASSERT_TRUE(PutFile(dir.File(u"file"), "kept"));
    ASSERT_TRUE(CreateDirectoryW(Wide(dir.File(u"folder")).c_str(), nullptr));
    const std::u16string path = dir.File(GetParam().target);
    EXPECT_THROW(ReplaceWholeFile(path, "new"), EIniFileException);
    EXPECT_EQ(Bytes(dir.File(u"file")), "kept");
    EXPECT_EQ(dir.Names(), (std::vector<std::u16string>{u"file", u"folder"}));
    EXPECT_TRUE(dir.Names(u"folder").empty());
}

INSTANTIATE_TEST_SUITE_P(Paths, ReplaceRefusedTest,
                         ::testing::Values(RefusedCase{"BelowARegularFile", u"file\\kasorel.ini"},
                                           RefusedCase{"DeepBelowARegularFile", u"file\\a\\b.ini"},
                                           RefusedCase{"AFolder", u"folder"}),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_F(FileTest, ReadGivesNothingForAMissingFileOrAFolder) {
    EXPECT_FALSE(ReadWholeFile(dir.File(u"missing.ini")).has_value());
    EXPECT_FALSE(ReadWholeFile(dir.Path()).has_value());
}

TEST_F(FileTest, LockedFileIsRefusedAndKept) {
    // Another program holds the file open and lets nobody delete or rename it.
    const std::u16string path = dir.File(u"kasorel.ini");
    ASSERT_TRUE(PutFile(path, "old"));
    const HANDLE holder = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_THROW(ReplaceWholeFile(path, "new"), EIniFileException);
    CloseHandle(holder);
    EXPECT_EQ(Bytes(path), "old");
    EXPECT_EQ(dir.Names(), std::vector<std::u16string>{u"kasorel.ini"});
}

enum class Thing { RegularFile, ReadOnlyFile, Folder, Missing, BelowAFile };

struct WritableCase {
    const char* name;
    Thing thing;
    bool exists;
    bool writableFile;
    bool writableFolder;
};

// Failure messages name the case.
void PrintTo(const WritableCase& c, std::ostream* os) {
    *os << c.name;
}

class WritableTest : public FileTest, public ::testing::WithParamInterface<WritableCase> {};

TEST_P(WritableTest, Answers) {
    const WritableCase& c = GetParam();
    std::u16string path = dir.File(u"thing");
    switch (c.thing) {
    case Thing::RegularFile:
        ASSERT_TRUE(PutFile(path, "x"));
        break;
    case Thing::ReadOnlyFile:
        ASSERT_TRUE(PutFile(path, "x"));
        ASSERT_TRUE(SetReadOnly(path));
        break;
    case Thing::Folder:
        ASSERT_TRUE(CreateDirectoryW(Wide(path).c_str(), nullptr));
        break;
    case Thing::Missing:
        break;
    case Thing::BelowAFile:
        ASSERT_TRUE(PutFile(path, "x"));
        path += u"\\below";
        break;
    }
    const auto before = dir.Names();
    EXPECT_EQ(PathExists(path), c.exists);
    EXPECT_EQ(IsWritableFile(path), c.writableFile);
    EXPECT_EQ(IsWritableFolder(path), c.writableFolder);
    // The folder probe leaves nothing behind.
    EXPECT_EQ(dir.Names(), before);
    if (c.thing == Thing::Folder) {
        EXPECT_TRUE(dir.Names(u"thing").empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Things, WritableTest,
    ::testing::Values(WritableCase{"RegularFile", Thing::RegularFile, true, true, false},
                      WritableCase{"ReadOnlyFile", Thing::ReadOnlyFile, true, false, false},
                      WritableCase{"Folder", Thing::Folder, true, false, true},
                      WritableCase{"Missing", Thing::Missing, false, false, false},
                      WritableCase{"BelowAFile", Thing::BelowAFile, false, false, false}),
    [](const auto& p) { return std::string(p.param.name); });

// ------------------------------------------------------------------------------------------
// Paths

TEST(PathsTest, ExecutableAndGuide) {
    const std::u16string exe = ExecutablePath();
    EXPECT_TRUE(exe.ends_with(u"\\platform_win32_test.exe")) << ToUtf8(exe);
    EXPECT_TRUE(PathExists(exe));
    EXPECT_EQ(InstalledGuidePath(), FolderOf(exe) + u"\\guide.html");
}

TEST(PathsTest, UserFoldersAreTheProfileFolders) {
    EXPECT_EQ(UserConfigFolder(), Environment(L"APPDATA") + u"\\kasorel");
    EXPECT_EQ(UserCacheFolder(), Environment(L"LOCALAPPDATA") + u"\\kasorel");
    EXPECT_EQ(FolderSeparator(), u'\\');
}

TEST(PathsTest, FileUrlOfADrivePath) {
    EXPECT_EQ(FileUrl(u"C:\\a b\\x.html"), u"file:///C:/a%20b/x.html");
    EXPECT_EQ(FileUrl(u"D:\\家計\\guide.html"), u"file:///D:/%E5%AE%B6%E8%A8%88/guide.html");
}

// ------------------------------------------------------------------------------------------
// HTTP over WinHTTP

// A server on 127.0.0.1 that records each request's head and answers it with what the
// handler returns for it: the raw answer, or nothing to keep silent until the client gives up.
class LocalServer {
public:
    using Handler = std::function<std::optional<std::string>(const std::string& head)>;

    explicit LocalServer(Handler handler) : handler_(std::move(handler)) {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof address;
        if (bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(listener_, 8) != 0 ||
            getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        port_ = ntohs(address.sin_port);
        acceptor_ = std::thread([this] { acceptLoop(); });
    }

    ~LocalServer() {
        stopping_ = true;
        closesocket(listener_);
        if (acceptor_.joinable())
            acceptor_.join();
        for (std::thread& t : connections_)
            t.join();
        WSACleanup();
    }
    LocalServer(const LocalServer&) = delete;
    LocalServer& operator=(const LocalServer&) = delete;

    std::string Url(std::string_view pathAndQuery) const {
        return "http://127.0.0.1:" + std::to_string(port_) + std::string(pathAndQuery);
    }
    std::vector<std::string> Requests() const {
        const std::lock_guard lock(mutex_);
        return requests_;
    }

private:
    void acceptLoop() {
        while (readable(listener_)) {
            const SOCKET s = accept(listener_, nullptr, nullptr);
            if (s == INVALID_SOCKET)
                return;
            connections_.emplace_back([this, s] { serve(s); });
        }
    }

    // Whether s has bytes (or its end) to read; false once the server stops. Wine keeps an
    // idle connection for half a minute and does not wake a blocked recv on shutdown, so the
    // server looks up every so often instead of blocking.
    bool readable(SOCKET s) const {
        while (!stopping_) {
            fd_set set;
            FD_ZERO(&set);
            FD_SET(s, &set);
            timeval wait{0, 50000};
            const int n = select(0, &set, nullptr, nullptr, &wait);
            if (n != 0)
                return n > 0;
        }
        return false;
    }

    int receive(SOCKET s, char* buffer, int size) const {
        return readable(s) ? recv(s, buffer, size, 0) : -1;
    }

    void serve(SOCKET s) {
        std::string pending;
        char buffer[4096];
        for (;;) {
            size_t end;
            while ((end = pending.find("\r\n\r\n")) == std::string::npos) {
                const int n = receive(s, buffer, sizeof buffer);
                if (n <= 0)
                    return close(s);
                pending.append(buffer, static_cast<size_t>(n));
            }
            const std::string head = pending.substr(0, end + 4);
            pending.erase(0, end + 4);
            {
                const std::lock_guard lock(mutex_);
                requests_.push_back(head);
            }
            const std::optional<std::string> answer = handler_(head);
            if (!answer) {
                while (receive(s, buffer, sizeof buffer) > 0) {
                }
                return close(s);
            }
            for (size_t sent = 0; sent < answer->size();) {
                const int n =
                    send(s, answer->data() + sent,
                         static_cast<int>(std::min<size_t>(answer->size() - sent, 65536)), 0);
                if (n <= 0)
                    return close(s);
                sent += static_cast<size_t>(n);
            }
        }
    }

    static void close(SOCKET s) { closesocket(s); }

    Handler handler_;
    SOCKET listener_ = INVALID_SOCKET;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread acceptor_;
    mutable std::mutex mutex_;
    std::vector<std::thread> connections_;
    std::vector<std::string> requests_;
};

std::string Answer(std::string_view status, std::string_view headers, std::string_view body) {
    return "HTTP/1.1 " + std::string(status) + "\r\n" + std::string(headers) +
           "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + std::string(body);
}

std::string PathOf(const std::string& head) {
    const size_t start = head.find(' ') + 1;
    return head.substr(start, head.find(' ', start) - start);
}

HttpGet Query(std::string url) {
    HttpGet get;
    get.url = std::move(url);
    get.headers = {"Accept: application/json, text/plain; q=0.9, text/html;q=0.8,",
                   "Accept-Charset: utf-8, *;q=0.8"};
    get.userAgent = "kasorel-test/1.0";
    get.connectTimeoutMs = 5000;
    get.readTimeoutMs = 5000;
    return get;
}

// The reason carried by an ERESTException from get, or "<answered>".
std::string FailureOf(const HttpGet& get) {
    try {
        HttpTransport transport;
        transport.Get(get);
        return "<answered>";
    } catch (const ERESTException& e) {
        return e.what();
    }
}

TEST(HttpTest, SendsTheRequestAsComposedAndNothingMore) {
    LocalServer server([](const std::string&) {
        return Answer("200 OK", "Content-Type: application/json; charset=utf-8\r\n", "{}");
    });
    HttpTransport transport;
    const HttpAnswer answer =
        transport.Get(Query(server.Url("/v1/latest?Endpoint=latest&access_key=a+b%7E%25*")));
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.contentType, "application/json; charset=utf-8");
    EXPECT_EQ(answer.body, "{}");
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const std::string& head = requests[0];
    EXPECT_TRUE(
        head.starts_with("GET /v1/latest?Endpoint=latest&access_key=a+b%7E%25* HTTP/1.1\r\n"))
        << head;
    EXPECT_NE(head.find("\r\nAccept: application/json, text/plain; q=0.9, text/html;q=0.8,\r\n"),
              std::string::npos)
        << head;
    EXPECT_NE(head.find("\r\nAccept-Charset: utf-8, *;q=0.8\r\n"), std::string::npos) << head;
    EXPECT_NE(head.find("\r\nUser-Agent: kasorel-test/1.0\r\n"), std::string::npos) << head;
    EXPECT_EQ(head.find("Accept-Encoding"), std::string::npos) << head;
    EXPECT_EQ(head.find("Content-Type"), std::string::npos) << head;
}

TEST(HttpTest, FollowsARedirectWithTheCookieItSet) {
    LocalServer server([](const std::string& head) -> std::optional<std::string> {
        if (PathOf(head) == "/first")
            return Answer("302 Found", "Location: /second?x=%41\r\nSet-Cookie: k=v; Path=/\r\n",
                          "");
        return Answer("200 OK", "Content-Type: text/plain; charset=Shift_JIS\r\n", "done");
    });
    HttpTransport transport;
    const HttpAnswer answer = transport.Get(Query(server.Url("/first")));
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.contentType, "text/plain; charset=Shift_JIS");
    EXPECT_EQ(answer.body, "done");
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(PathOf(requests[1]), "/second?x=%41");
    EXPECT_NE(requests[1].find("\r\nCookie: k=v\r\n"), std::string::npos) << requests[1];
}

TEST(HttpTest, CookiesLastForTheTransport) {
    LocalServer server([](const std::string& head) -> std::optional<std::string> {
        if (PathOf(head) == "/set")
            return Answer("200 OK", "Set-Cookie: session=1; Path=/\r\n", "");
        return Answer("200 OK", "", "");
    });
    HttpTransport transport;
    transport.Get(Query(server.Url("/set")));
    transport.Get(Query(server.Url("/next")));
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_NE(requests[1].find("\r\nCookie: session=1\r\n"), std::string::npos) << requests[1];
}

struct StatusCase {
    const char* name;
    const char* status;
    long code;
};

// Failure messages name the case.
void PrintTo(const StatusCase& c, std::ostream* os) {
    *os << c.name;
}

class HttpStatusTest : public ::testing::TestWithParam<StatusCase> {};

TEST_P(HttpStatusTest, EveryStatusIsAnAnswer) {
    const StatusCase& c = GetParam();
    LocalServer server([&](const std::string&) {
        return Answer(c.status, "Content-Type: application/json\r\n", "{\"error\":1}");
    });
    HttpTransport transport;
    const HttpAnswer answer = transport.Get(Query(server.Url("/v1/latest")));
    EXPECT_EQ(answer.status, c.code);
    EXPECT_EQ(answer.body, "{\"error\":1}");
}

INSTANTIATE_TEST_SUITE_P(
    Codes, HttpStatusTest,
    ::testing::Values(StatusCase{"NotFound", "404 Not Found", 404},
                      StatusCase{"Unauthorized", "401 Unauthorized", 401},
                      StatusCase{"ServerError", "500 Internal Server Error", 500},
                      StatusCase{"Unavailable", "503 Service Unavailable", 503}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(HttpTest, BodyOfTheLimitIsAccepted) {
    const std::string body(kMaxBodyBytes, 'x');
    LocalServer server([&](const std::string&) { return Answer("200 OK", "", body); });
    HttpTransport transport;
    EXPECT_EQ(transport.Get(Query(server.Url("/big"))).body.size(), kMaxBodyBytes);
}

TEST(HttpTest, AnnouncedBodyOverTheLimitIsRefused) {
    const std::string body(kMaxBodyBytes + 1, 'x');
    LocalServer server([&](const std::string&) { return Answer("200 OK", "", body); });
    EXPECT_TRUE(FailureOf(Query(server.Url("/big"))).starts_with("REST request failed: "));
}

TEST(HttpTest, ChunkedBodyOverTheLimitIsRefused) {
    LocalServer server([](const std::string&) {
        std::string answer = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
        const std::string chunk(65536, 'x');
        for (size_t sent = 0; sent <= kMaxBodyBytes; sent += chunk.size())
            answer += "10000\r\n" + chunk + "\r\n";
        return answer + "0\r\n\r\n";
    });
    EXPECT_TRUE(FailureOf(Query(server.Url("/chunked"))).starts_with("REST request failed: "));
}

TEST(HttpTest, NoServerIsAFailureWithTheSystemsReason) {
    std::string url;
    {
        LocalServer gone([](const std::string&) { return std::nullopt; });
        url = gone.Url("/v1/latest");
    }
    const std::string reason = FailureOf(Query(url));
    EXPECT_TRUE(reason.starts_with("REST request failed: ")) << reason;
    EXPECT_GT(reason.size(), std::string_view("REST request failed: ").size() + 4) << reason;
}

TEST(HttpTest, SilentServerTimesOut) {
    LocalServer server([](const std::string&) { return std::nullopt; });
    HttpGet get = Query(server.Url("/v1/latest"));
    get.readTimeoutMs = 1000;
    EXPECT_TRUE(FailureOf(get).starts_with("REST request failed: "));
}

TEST(HttpTest, OnlyHttpAndHttpsAreSpoken) {
    EXPECT_TRUE(FailureOf(Query("ftp://127.0.0.1/latest")).starts_with("REST request failed: "));
    EXPECT_TRUE(
        FailureOf(Query("file:///C:/windows/win.ini")).starts_with("REST request failed: "));
}

} // namespace
