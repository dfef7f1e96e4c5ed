// Where the program's own folders are on Linux, and the pure path helpers.
#include "settings/paths.h"

#include "convert/unicode.h"
#include "text_printers.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

using namespace kasorel;

namespace {

// Sets or unsets one environment variable for the life of the object.
class Environment {
public:
    Environment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~Environment() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

struct XdgCase {
    const char* name;
    const char* home;
    const char* xdg; // nullptr: unset
    const char* folder;
};

// Lists the case by its name.
void PrintTo(const XdgCase& c, std::ostream* os) {
    *os << c.name;
}

class UserFolders : public testing::TestWithParam<XdgCase> {};

TEST_P(UserFolders, FollowTheXdgVariablesWhenAbsolute) {
    const XdgCase& c = GetParam();
    const Environment home("HOME", c.home);
    {
        const Environment config("XDG_CONFIG_HOME", c.xdg);
        EXPECT_EQ(UserConfigFolder(), FromUtf8(c.folder) + u"/kasorel");
    }
    const Environment cache("XDG_CACHE_HOME", c.xdg);
    std::string expected = c.folder;
    // The fallback folders differ only in their last part.
    if (!c.xdg || c.xdg[0] != '/')
        expected = expected.substr(0, expected.rfind('/')) + "/.cache";
    EXPECT_EQ(UserCacheFolder(), FromUtf8(expected) + u"/kasorel");
}

INSTANTIATE_TEST_SUITE_P(
    Variables, UserFolders,
    testing::Values(XdgCase{"Unset", "/home/u", nullptr, "/home/u/.config"},
                    XdgCase{"Empty", "/home/u", "", "/home/u/.config"},
                    XdgCase{"Relative", "/home/u", "conf", "/home/u/.config"},
                    XdgCase{"Absolute", "/home/u", "/srv/conf", "/srv/conf"},
                    XdgCase{"AbsoluteWithSlash", "/home/u", "/srv/conf/", "/srv/conf"},
                    XdgCase{"HomeWithSlash", "/home/u/", nullptr, "/home/u/.config"},
                    XdgCase{"NoHome", "", nullptr, "/.config"},
                    XdgCase{"NonAsciiHome", "/home/山田", nullptr, "/home/山田/.config"}),
    [](const testing::TestParamInfo<XdgCase>& param) { return std::string(param.param.name); });

TEST(Executable, IsTheRunningProgramAndTheGuideLiesBesideItsBinFolder) {
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(ExecutablePath(), FromUtf8(exe.string()));
    const std::string expected =
        exe.parent_path().parent_path().string() + "/share/doc/kasorel/guide.html";
    EXPECT_EQ(InstalledGuidePath(), FromUtf8(expected));
}

TEST(PathParts, JoinFolderAndName) {
    EXPECT_EQ(FolderSeparator(), u'/');
    const struct {
        const char16_t* path;
        const char16_t* folder;
        const char16_t* name;
    } cases[] = {
        {u"/home/u/kasorel.ini", u"/home/u", u"kasorel.ini"},
        {u"/kasorel", u"/", u"kasorel"},
        {u"kasorel", u"", u"kasorel"},
        {u"/opt/v1.2/", u"/opt/v1.2", u""},
        {u"", u"", u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FolderOf(c.path), c.folder) << ToUtf8(c.path);
        EXPECT_EQ(FileNameOf(c.path), c.name) << ToUtf8(c.path);
    }
    EXPECT_EQ(JoinPath(u"/home/u", u"kasorel"), u"/home/u/kasorel");
    EXPECT_EQ(JoinPath(u"/home/u/", u"kasorel"), u"/home/u/kasorel");
    EXPECT_EQ(JoinPath(u"/", u"kasorel"), u"/kasorel");
    EXPECT_EQ(JoinPath(u"", u"kasorel"), u"kasorel");
}

struct UrlCase {
    const char* name;
    const char16_t* path;
    const char16_t* url;
};

// Lists the case by its name.
void PrintTo(const UrlCase& c, std::ostream* os) {
    *os << c.name;
}

class FileUrls : public testing::TestWithParam<UrlCase> {};

TEST_P(FileUrls, EncodeTheUtf8BytesOutsideTheUnreservedSet) {
    EXPECT_EQ(FileUrl(GetParam().path), GetParam().url);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, FileUrls,
    testing::Values(
        UrlCase{"Plain", u"/usr/share/doc/kasorel/guide.html",
                u"file:///usr/share/doc/kasorel/guide.html"},
        UrlCase{"Space", u"/home/u/my docs/guide.html", u"file:///home/u/my%20docs/guide.html"},
        UrlCase{"Japanese", u"/home/山田/g.html", u"file:///home/%E5%B1%B1%E7%94%B0/g.html"},
        UrlCase{"Reserved", u"/a/#?%&+;=@[].html",
                u"file:///a/%23%3F%25%26%2B%3B%3D%40%5B%5D.html"},
        UrlCase{"UnreservedKept", u"/a/A-z_0.9~:b", u"file:///a/A-z_0.9~:b"},
        UrlCase{"PairAsFourBytes", u"/𠮷", u"file:///%F0%A0%AE%B7"}),
    [](const testing::TestParamInfo<UrlCase>& param) { return std::string(param.param.name); });

} // namespace
