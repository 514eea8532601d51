// The built program end to end, in a temporary working directory: the command line, which
// files exist afterwards and with what content, what is printed, and the exit status of every
// way a run can end.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/testSupport.h"

namespace kestro {
namespace {

using test::fileExists;
using test::ProgramResult;
using test::readFile;
using test::runKestroProgram;
using test::TempDir;
using test::writeFile;

// Exit statuses of the program (sysexits.h values).
constexpr int completed = 0;
constexpr int badCommandLine = 64;
constexpr int scenarioInvalid = 65;
constexpr int scenarioNotOpenable = 66;
constexpr int trackTableNotOpenable = 73;
constexpr int trackTableNotWritten = 74;

// A stone of 1 kg and 100 mm dropped from 100 m: about 4.7 s of flight, a few thousand steps.
const char* const shortScenario = "mass=1\ndia=100\nalt=100\n";
const char* const precious = "precious input, must survive\n";

std::vector<std::string> splitAt(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator)) parts.push_back(part);
    if (!text.empty() && text.back() == separator) parts.emplace_back();
    return parts;
}

off_t fileLength(const std::string& path) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) return -1;
    return status.st_size;
}

::testing::AssertionResult printedNothing(const ProgramResult& result) {
    if (result.output.empty() && result.errorOutput.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "stdout \"" << result.output << "\" stderr \"" << result.errorOutput << '"';
}

// The track table's header is its first line; its first column is the time.
bool startsWithTrackHeader(const std::string& text) {
    const std::size_t firstColumn = text.find_first_not_of(' ');
    return firstColumn != std::string::npos && text.compare(firstColumn, 7, "time(s)") == 0;
}

// The summary field with the time, "%.2f".
std::string summaryTime(const ProgramResult& result) {
    const auto fields = splitAt(result.output, '\t');
    return fields.size() > 1 ? fields[1] : "";
}

class RunSequence : public ::testing::Test {
  protected:
    void SetUp() override { writeFile(work.file("scenario.txt"), shortScenario); }

    ProgramResult run(const std::vector<std::string>& arguments) {
        return runKestroProgram(work.path(), arguments);
    }
    ProgramResult runScenario(const std::string& scenarioText, const std::string& track) {
        writeFile(work.file("scenario.txt"), scenarioText);
        return run({"RUN", "scenario.txt", track});
    }

    TempDir work;
};

TEST_F(RunSequence, CompletedRunPrintsOneSummaryLine) {
    const ProgramResult result = run({"RUN", "scenario.txt", "track.txt"});
    EXPECT_EQ(result.status, completed);
    EXPECT_TRUE(result.errorOutput.empty()) << result.errorOutput;
    ASSERT_FALSE(result.output.empty());
    EXPECT_EQ(result.output.back(), '\n');
    EXPECT_EQ(result.output.find('\n'), result.output.size() - 1) << "exactly one line";
    EXPECT_EQ(result.output.rfind("SUCCESS\t", 0), 0u) << result.output;
    const auto fields = splitAt(result.output.substr(0, result.output.size() - 1), '\t');
    ASSERT_EQ(fields.size(), 15u) << result.output;
    // Density: 1 kg / (4/3 pi 0.05^3 m^3) = 1909.859 kg/m^3 (Python); initial mass as read.
    EXPECT_EQ(fields[13], "1909.859");
    EXPECT_EQ(fields[14], "1.00000");
    EXPECT_EQ(fields[2], "0.00") << "the run ends on the ground";
    const std::string track = readFile(work.file("track.txt"));
    EXPECT_TRUE(startsWithTrackHeader(track)) << track;
    EXPECT_EQ(readFile(work.file("scenario.txt")), shortScenario) << "the input is untouched";
}

TEST_F(RunSequence, CommandWordIsRunInAnyLetterCase) {
    struct Case {
        const char* word;
        int status;
    };
    const Case cases[] = {
        {"RUN", completed},        {"run", completed},         {"rUn", completed},
        {"Run", completed},        {"RUN ", badCommandLine},   {" RUN", badCommandLine},
        {"RU", badCommandLine},    {"RUNS", badCommandLine},   {"", badCommandLine},
        {"START", badCommandLine}, {"R\xDCN", badCommandLine},
    };
    for (const Case& c : cases) {
        const std::string track = work.file("track.txt");
        std::filesystem::remove(track);
        const ProgramResult result = run({c.word, "scenario.txt", "track.txt"});
        EXPECT_EQ(result.status, c.status) << '"' << c.word << '"';
        if (c.status == completed) {
            EXPECT_EQ(result.output.rfind("SUCCESS\t", 0), 0u) << '"' << c.word << '"';
        } else {
            EXPECT_TRUE(printedNothing(result)) << '"' << c.word << '"';
            EXPECT_FALSE(fileExists(track)) << '"' << c.word << "\": no file is opened";
        }
    }
}

TEST_F(RunSequence, TooFewArgumentsEndTheRunAtOnce) {
    writeFile(work.file("track.txt"), precious);
    const std::vector<std::vector<std::string>> commandLines = {
        {},
        {"RUN"},
        {"RUN", "scenario.txt"},
        {"scenario.txt", "track.txt"},
        {"RUN ", "scenario.txt", "track.txt"},  // an existing track table is not emptied
    };
    for (const auto& arguments : commandLines) {
        const ProgramResult result = run(arguments);
        EXPECT_EQ(result.status, badCommandLine) << arguments.size() << " arguments";
        EXPECT_TRUE(printedNothing(result));
        EXPECT_EQ(readFile(work.file("track.txt")), precious);
    }
    EXPECT_EQ(readFile(work.file("scenario.txt")), shortScenario);
}

TEST_F(RunSequence, FurtherArgumentsAreIgnored) {
    const ProgramResult three = run({"RUN", "scenario.txt", "three.txt"});
    const ProgramResult five = run({"RUN", "scenario.txt", "five.txt", "RUN", "scenario.txt"});
    EXPECT_EQ(three.status, completed);
    EXPECT_EQ(five.status, completed);
    EXPECT_EQ(five.output, three.output);
    EXPECT_EQ(readFile(work.file("five.txt")), readFile(work.file("three.txt")));
    EXPECT_FALSE(fileExists(work.file("RUN")));
}

TEST_F(RunSequence, ScenarioThatCannotBeOpenedLeavesTheTrackTableUntouched) {
    for (const std::string scenario : {"missing.txt", "", "nofolder/scenario.txt"}) {
        ProgramResult result = run({"RUN", scenario, "track.txt"});
        EXPECT_EQ(result.status, scenarioNotOpenable) << '"' << scenario << '"';
        EXPECT_TRUE(printedNothing(result));
        EXPECT_FALSE(fileExists(work.file("track.txt"))) << "not created";

        writeFile(work.file("existing.txt"), precious);
        result = run({"RUN", scenario, "existing.txt"});
        EXPECT_EQ(result.status, scenarioNotOpenable);
        EXPECT_EQ(readFile(work.file("existing.txt")), precious) << "not emptied";
    }
}

TEST_F(RunSequence, TrackTableThatCannotBeOpened) {
    std::filesystem::create_directory(work.file("folder"));
    struct Case {
        const char* scenario;
        const char* track;
        const char* why;
    };
    const Case cases[] = {
        {shortScenario, "nofolder/track.txt", "a folder that does not exist"},
        {shortScenario, "folder", "a folder"},
        {shortScenario, "", "an empty path"},
        {"dia=1\n", "nofolder/track.txt", "checked before the scenario is judged"},
    };
    for (const Case& c : cases) {
        const ProgramResult result = runScenario(c.scenario, c.track);
        EXPECT_EQ(result.status, trackTableNotOpenable) << c.why;
        EXPECT_TRUE(printedNothing(result)) << c.why;
    }
    EXPECT_FALSE(fileExists(work.file("nofolder")));
    EXPECT_TRUE(std::filesystem::is_empty(work.file("folder")));
}

TEST_F(RunSequence, InvalidScenarioLeavesAnEmptyTrackTable) {
    const char* const invalidScenarios[] = {
        "dia=100\nalt=100\n",                  // no mass
        "mass=1\nalt=100\n",                   // no diameter
        "mass=-1\ndia=100\nalt=100\n",         // negative mass
        "",                                    // empty file
        "mass=1e999\ndia=100\nalt=100\n",      // mass not finite
        "mass=1\ndia=100\nalt=-1e999\n",       // altitude not finite
        "mass=1\ndia=100\nalt=100\nloss=5\n",  // a loss without speed
    };
    for (const char* scenario : invalidScenarios) {
        std::filesystem::remove(work.file("new.txt"));
        ProgramResult result = runScenario(scenario, "new.txt");
        EXPECT_EQ(result.status, scenarioInvalid) << scenario;
        EXPECT_TRUE(printedNothing(result)) << scenario;
        EXPECT_EQ(fileLength(work.file("new.txt")), 0) << scenario << ": created, empty";

        writeFile(work.file("old.txt"), precious);
        result = runScenario(scenario, "old.txt");
        EXPECT_EQ(result.status, scenarioInvalid) << scenario;
        EXPECT_EQ(fileLength(work.file("old.txt")), 0) << scenario << ": emptied";
    }
}

TEST_F(RunSequence, ScenarioThatIsAFolderIsInvalid) {
    // A folder opens for reading on Linux; its first read fails, so nothing is applied.
    std::filesystem::create_directory(work.file("folder"));
    const ProgramResult result = run({"RUN", "folder", "track.txt"});
    EXPECT_EQ(result.status, scenarioInvalid);
    EXPECT_TRUE(printedNothing(result));
    EXPECT_EQ(fileLength(work.file("track.txt")), 0);
}

TEST_F(RunSequence, TrackTableNamingAnInputFileIsRefusedBeforeAnythingIsEmptied) {
    const std::string windProfile = "0 270 5\n1000 280 10\n";
    struct Case {
        const char* extraScenario;  // appended to the short scenario
        const char* track;
        const char* input;  // the file that must keep its content
        const char* why;
    };
    const Case cases[] = {
        {"", "scenario.txt", "scenario.txt", "the scenario's own path"},
        {"", "./scenario.txt", "scenario.txt", "another spelling of the scenario"},
        {"", "folder/../scenario.txt", "scenario.txt", "through a folder and back"},
        {"", "symlink.txt", "scenario.txt", "a symbolic link to the scenario"},
        {"", "hardlink.txt", "scenario.txt", "a hard link to the scenario"},
        {"", "Kestro.ini", "Kestro.ini", "the precision settings file"},
        {"", "ini-link.txt", "Kestro.ini", "a link to the precision settings file"},
        {"wdata=true\natmfile=wind.txt\n", "wind.txt", "wind.txt", "the wind profile"},
        {"wdata=true\natmfile=wind.txt\n", "wind-link.txt", "wind.txt", "a hard link to it"},
        {"wdata=true\natmfile=./wind.txt\n", "wind.txt", "wind.txt", "another spelling"},
        // An invalid scenario would leave an empty track table: still no input is emptied.
        {"mass=0\n", "scenario.txt", "scenario.txt", "the scenario, also when it is invalid"},
        {"mass=0\n", "Kestro.ini", "Kestro.ini", "Kestro.ini, also when the scenario is invalid"},
        {"mass=0\nwdata=true\natmfile=wind.txt\n", "wind.txt", "wind.txt",
         "the wind profile, also when the scenario is invalid"},
    };
    std::filesystem::create_directory(work.file("folder"));
    for (const Case& c : cases) {
        const std::string scenario = std::string(shortScenario) + c.extraScenario;
        writeFile(work.file("scenario.txt"), scenario);
        writeFile(work.file("Kestro.ini"), "hpg=true\n");
        writeFile(work.file("wind.txt"), windProfile);
        for (const char* name : {"symlink.txt", "hardlink.txt", "ini-link.txt", "wind-link.txt"}) {
            std::filesystem::remove(work.file(name));
        }
        std::filesystem::create_symlink("scenario.txt", work.file("symlink.txt"));
        std::filesystem::create_hard_link(work.file("scenario.txt"), work.file("hardlink.txt"));
        std::filesystem::create_symlink(work.file("Kestro.ini"), work.file("ini-link.txt"));
        std::filesystem::create_hard_link(work.file("wind.txt"), work.file("wind-link.txt"));
        const std::string before = readFile(work.file(c.input));

        const ProgramResult result = run({"RUN", "scenario.txt", c.track});
        EXPECT_EQ(result.status, trackTableNotOpenable) << c.why;
        EXPECT_TRUE(printedNothing(result)) << c.why;
        EXPECT_EQ(readFile(work.file(c.input)), before) << c.why;
    }
}

TEST_F(RunSequence, SameFileRefusalAlsoForAnAbsoluteScenarioPath) {
    const ProgramResult result = run({"RUN", work.file("scenario.txt"), "scenario.txt"});
    EXPECT_EQ(result.status, trackTableNotOpenable);
    EXPECT_TRUE(printedNothing(result));
    EXPECT_EQ(readFile(work.file("scenario.txt")), shortScenario);
}

TEST_F(RunSequence, PrecisionSettingsThatLinkToTheTrackTableAreRefused) {
    // "Kestro.ini" is a link to the file the user names as track table: that file is an input.
    writeFile(work.file("track.txt"), "tmax=0.5\n");
    std::filesystem::create_symlink("track.txt", work.file("Kestro.ini"));
    const ProgramResult result = run({"RUN", "scenario.txt", "track.txt"});
    EXPECT_EQ(result.status, trackTableNotOpenable);
    EXPECT_TRUE(printedNothing(result));
    EXPECT_EQ(readFile(work.file("track.txt")), "tmax=0.5\n");
}

TEST_F(RunSequence, WindProfilePathIsNoInputWhenTheProfileIsOff) {
    // With wdata false the wind profile is never read, so the track table may overwrite it.
    writeFile(work.file("wind.txt"), "0 270 5\n1000 280 10\n");
    const ProgramResult result =
        runScenario(std::string(shortScenario) + "wdata=false\natmfile=wind.txt\n", "wind.txt");
    EXPECT_EQ(result.status, completed);
    EXPECT_TRUE(startsWithTrackHeader(readFile(work.file("wind.txt")))) << "now the track table";
}

TEST_F(RunSequence, FullDeviceAsTrackTablePrintsNothing) {
    ProgramResult result = run({"RUN", "scenario.txt", "/dev/full"});
    EXPECT_EQ(result.status, trackTableNotWritten);
    EXPECT_TRUE(printedNothing(result)) << "no SUCCESS over a table that was not written";

    // An invalid scenario writes nothing to the track table, so nothing can fail to be written.
    result = runScenario("dia=100\n", "/dev/full");
    EXPECT_EQ(result.status, scenarioInvalid);
    EXPECT_TRUE(printedNothing(result));
}

TEST_F(RunSequence, PrecisionSettingsComeOnlyFromTheWorkingDirectory) {
    // tmax=0.5 cuts the 4.7 s fall short: the summary then shows a time of 0.50 s.
    const ProgramResult withoutSettings = run({"RUN", "scenario.txt", "track.txt"});
    ASSERT_EQ(withoutSettings.status, completed);
    ASSERT_NE(summaryTime(withoutSettings), "0.50");

    // In a folder beside the working directory, holding the scenario and the track table.
    TempDir other;
    writeFile(other.file("scenario.txt"), shortScenario);
    writeFile(other.file("Kestro.ini"), "tmax=0.5\n");
    ProgramResult result = run({"RUN", other.file("scenario.txt"), other.file("track.txt")});
    EXPECT_EQ(result.output, withoutSettings.output) << "the scenario's folder is not searched";

    // A name that differs only in letter case is another file.
    writeFile(work.file("kestro.ini"), "tmax=0.5\n");
    writeFile(work.file("KESTRO.INI"), "tmax=0.5\n");
    result = run({"RUN", "scenario.txt", "track.txt"});
    EXPECT_EQ(result.output, withoutSettings.output) << "kestro.ini is not Kestro.ini";

    // A folder named Kestro.ini cannot be read: the defaults stand.
    std::filesystem::create_directory(work.file("Kestro.ini"));
    result = run({"RUN", "scenario.txt", "track.txt"});
    EXPECT_EQ(result.status, completed);
    EXPECT_EQ(result.output, withoutSettings.output);
    std::filesystem::remove(work.file("Kestro.ini"));

    // The working directory's file is read.
    writeFile(work.file("Kestro.ini"), "tmax=0.5\n");
    result = run({"RUN", "scenario.txt", "track.txt"});
    EXPECT_EQ(result.status, completed);
    EXPECT_EQ(summaryTime(result), "0.50") << result.output;
}

// Runs `program` in `workingDirectory`; what it prints is collected as runKestroProgram does.
ProgramResult runProgramAt(const std::string& program, const std::string& workingDirectory,
                           const std::vector<std::string>& arguments) {
    TempDir capture;
    std::vector<std::string> argvStrings{program};
    argvStrings.insert(argvStrings.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& a : argvStrings) argv.push_back(a.data());
    argv.push_back(nullptr);
    ProgramResult result;
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(workingDirectory.c_str()) != 0) _exit(127);
        if (std::freopen(capture.file("stdout").c_str(), "w", stdout) == nullptr) _exit(127);
        if (std::freopen(capture.file("stderr").c_str(), "w", stderr) == nullptr) _exit(127);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int waitStatus = 0;
    if (child > 0 && waitpid(child, &waitStatus, 0) == child && WIFEXITED(waitStatus)) {
        result.status = WEXITSTATUS(waitStatus);
    }
    result.output = readFile(capture.file("stdout"));
    result.errorOutput = readFile(capture.file("stderr"));
    return result;
}

TEST_F(RunSequence, PrecisionSettingsBesideTheProgramAreNotRead) {
    TempDir programFolder;
    const std::string program = programFolder.file("kestro");
    std::filesystem::copy_file(test::kestroExecutable(), program);
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    writeFile(programFolder.file("Kestro.ini"), "tmax=0.5\n");

    const ProgramResult reference = run({"RUN", "scenario.txt", "track.txt"});
    ASSERT_EQ(reference.status, completed);
    const ProgramResult result =
        runProgramAt(program, work.path(), {"RUN", "scenario.txt", "copy.txt"});
    EXPECT_EQ(result.status, completed);
    EXPECT_EQ(result.output, reference.output);
    EXPECT_NE(summaryTime(result), "0.50");

    // The same copy does read the file of its working directory.
    const ProgramResult inItsFolder =
        runProgramAt(program, programFolder.path(), {"RUN", work.file("scenario.txt"), "t.txt"});
    EXPECT_EQ(summaryTime(inItsFolder), "0.50") << inItsFolder.output;
}

}  // namespace
}  // namespace kestro
