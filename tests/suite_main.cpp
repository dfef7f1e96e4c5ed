// The suites' main: every case, or with --source=<name> only the cases written in
// tests/<name>.cpp, so that one executable of many suite files runs one of them a process.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace {

std::string_view stemOf(std::string_view path) {
    const std::size_t slash = path.find_last_of("/\\");
    if (slash != std::string_view::npos)
        path.remove_prefix(slash + 1);
    return path.substr(0, path.rfind('.'));
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    std::string_view source;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.starts_with("--source="))
            source = arg.substr(9);
    }
    if (!source.empty()) {
        std::string filter;
        const testing::UnitTest& unit = *testing::UnitTest::GetInstance();
        for (int s = 0; s < unit.total_test_suite_count(); ++s) {
            const testing::TestSuite& suite = *unit.GetTestSuite(s);
            for (int t = 0; t < suite.total_test_count(); ++t) {
                const testing::TestInfo& info = *suite.GetTestInfo(t);
                if (stemOf(info.file()) != source)
                    continue;
                if (!filter.empty())
                    filter += ':';
                filter += std::string(suite.name()) + '.' + info.name();
            }
        }
        // A name that holds no case runs none, rather than all.
        GTEST_FLAG_SET(filter, filter.empty() ? "-*" : filter);
    }
    return RUN_ALL_TESTS();
}
