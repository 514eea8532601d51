// Output never depends on the locale: under a locale whose decimal separator is a comma, the
// program and the library write the same bytes as under the C locale.

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "outputTestSupport.h"
#include "run/runSequence.h"

namespace kestro::test {
namespace {

constexpr const char* commaLocale = "de_DE.UTF-8";
constexpr const char* missingLocaleHelp =
    "the locale de_DE.UTF-8 is not available; scripts/install-deps.sh generates it";

// Decimal points in every kind of input, and every group of the track table.
const std::string scenarioText =
    "lat=48.137\nlon=11.575\nalt=40.5\nvel=12.25\ninc=35.5\nazi=212.75\nmass=0.0875\ndia=31.5\n"
    "loss=12.5\ntnn=7.5\nwdata=true\natmfile=winds.txt\noform=pdvam\n";
const std::string windText = "0 250.5 3.25\n20 262.5 4.75\n50 275.25 6.5\n";

struct RunOutput {
    std::string track;
    std::string summary;
};

// Sets the process locale for the life of the object and puts "C" back afterwards.
class ProcessLocale {
  public:
    explicit ProcessLocale(const char* name) : ok_(std::setlocale(LC_ALL, name) != nullptr) {}
    ~ProcessLocale() { std::setlocale(LC_ALL, "C"); }
    ProcessLocale(const ProcessLocale&) = delete;
    ProcessLocale& operator=(const ProcessLocale&) = delete;
    bool ok() const { return ok_; }

  private:
    bool ok_;
};

// Removes the locale variables of the test's own environment for the life of the object, so
// that the ones given to the child are the only ones it sees.
class WithoutLocaleVariables {
  public:
    WithoutLocaleVariables() {
        for (const char* name : names) {
            const char* value = std::getenv(name);
            saved_.push_back(value ? std::optional<std::string>(value) : std::nullopt);
            unsetenv(name);
        }
    }
    ~WithoutLocaleVariables() {
        for (size_t i = 0; i < std::size(names); ++i) {
            if (saved_[i]) setenv(names[i], saved_[i]->c_str(), 1);
        }
    }
    WithoutLocaleVariables(const WithoutLocaleVariables&) = delete;
    WithoutLocaleVariables& operator=(const WithoutLocaleVariables&) = delete;

  private:
    static constexpr const char* names[] = {"LC_ALL", "LC_NUMERIC", "LANG", "LANGUAGE"};
    std::vector<std::optional<std::string>> saved_;
};

RunOutput runBuiltProgram(const std::vector<std::string>& environment) {
    TempDir dir;
    writeFile(dir.file("scenario.txt"), scenarioText);
    writeFile(dir.file("winds.txt"), windText);
    const ProgramResult result =
        runKestroProgram(dir.path(), {"RUN", "scenario.txt", "track.txt"}, environment);
    return {readFile(dir.file("track.txt")), result.output};
}

RunOutput runLibrary() {
    TempDir dir;
    writeFile(dir.file("winds.txt"), windText);
    const std::string scenarioPath = dir.file("scenario.txt");
    const std::string trackPath = dir.file("track.txt");
    const std::string iniPath = dir.file("Kestro.ini");
    // The wind profile path is relative to the working directory: here a later line gives it
    // in full.
    writeFile(scenarioPath, scenarioText + "atmfile=" + dir.file("winds.txt") + "\n");
    auto run = freshRun();
    const InProcessRun result = test::runInProcess(*run, scenarioPath, trackPath, iniPath);
    return RunOutput{result.trackTable, result.summary};
}

void expectPlausibleRun(const RunOutput& output) {
    ASSERT_EQ(output.summary.rfind("SUCCESS\t", 0), 0u) << output.summary;
    EXPECT_EQ(output.summary.find(','), std::string::npos);
    EXPECT_NE(output.track.find('.'), std::string::npos);
    EXPECT_EQ(output.track.find(','), std::string::npos);
}

TEST(Locale, BuiltProgramWritesTheSameBytesUnderADecimalCommaLocale) {
    {
        ProcessLocale available(commaLocale);
        ASSERT_TRUE(available.ok()) << missingLocaleHelp;
    }
    WithoutLocaleVariables clean;
    const RunOutput c = runBuiltProgram({"LC_ALL=C", "LANG=C"});
    const RunOutput german =
        runBuiltProgram({std::string("LC_ALL=") + commaLocale, std::string("LANG=") + commaLocale});
    expectPlausibleRun(c);
    EXPECT_EQ(german.track, c.track);
    EXPECT_EQ(german.summary, c.summary);
}

TEST(Locale, LibraryIgnoresTheProcessLocale) {
    const RunOutput c = runLibrary();
    expectPlausibleRun(c);
    RunOutput german;
    {
        ProcessLocale locale(commaLocale);
        ASSERT_TRUE(locale.ok()) << missingLocaleHelp;
        // The locale is in force: the C library itself now writes a comma.
        char text[16];
        std::snprintf(text, sizeof text, "%.1f", 1.5);
        ASSERT_STREQ(text, "1,5");
        german = runLibrary();
    }
    EXPECT_EQ(german.track, c.track);
    EXPECT_EQ(german.summary, c.summary);
}

}  // namespace
}  // namespace kestro::test
