// The fuzz targets' checks on their seed corpus and on every input that once broke a target
// (tests/fuzz/regressions/<target>/), so that a fixed finding stays fixed in every build.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "fuzz/fuzzHarness.h"
#include "support/testSupport.h"

namespace kestro {
namespace {

using Check = std::function<std::string(std::string_view)>;

void replay(const std::string& target, const Check& check) {
    std::vector<std::filesystem::path> inputs;
    for (const char* kind : {"corpus", "regressions"}) {
        const std::filesystem::path folder =
            std::filesystem::path(test::testDataDir()) / "fuzz" / kind / target;
        if (!std::filesystem::is_directory(folder)) continue;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            if (entry.is_regular_file()) inputs.push_back(entry.path());
        }
    }
    std::sort(inputs.begin(), inputs.end());
    ASSERT_FALSE(inputs.empty()) << "no seed corpus for " << target;
    for (const auto& input : inputs) {
        SCOPED_TRACE(input.string());
        EXPECT_EQ(check(test::readFile(input.string())), "");
    }
}

TEST(FuzzReplay, SettingsReaders) {
    replay("fuzz_settings", [](std::string_view bytes) { return fuzz::checkSettingsInput(bytes); });
}

TEST(FuzzReplay, WindProfileLoadAndLookup) {
    test::TempDir folder;
    replay("fuzz_wind_profile", [&](std::string_view bytes) {
        return fuzz::checkWindProfileInput(bytes, folder.path());
    });
}

TEST(FuzzReplay, WholeRun) {
    test::TempDir folder;
    replay("fuzz_run",
           [&](std::string_view bytes) { return fuzz::checkRunInput(bytes, folder.path()); });
}

}  // namespace
}  // namespace kestro
