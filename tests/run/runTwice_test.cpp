// The library run twice in one process: a context that served one run serves the next exactly
// like a fresh one, and fresh contexts give the same bytes every time. Catches state that
// survives a run (a cursor, a cache, a switch, a count) in the context or anywhere else.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "run/runContext.h"
#include "run/runSequence.h"
#include "support/testSupport.h"

namespace kestro {
namespace {

using test::InProcessRun;
using test::readFile;
using test::runInProcess;
using test::TempDir;
using test::writeFile;

struct RunOutput {
    int status = -1;
    std::string summary;
    std::string trackTable;
};

class RunTwice : public ::testing::Test {
  protected:
    void SetUp() override {
        // A: much of the model switched on and off: wind profile without interpolation, coarse
        // step, time limit, ablation, fixed drag coefficient, decimal comma, stop on time.
        writeFile(dir.file("windA.txt"),
                  "0 250 4\n500 260 8\n1000 270 12\n2000 290 20\n4000 300 30\n8000 310 40\n");
        writeFile(dir.file("iniA"), "lowprec=true\nhpwnd=false\ntmax=20\n");
        writeFile(dir.file("scenarioA.txt"),
                  "mass=2\ndia=80\nalt=3000\nvel=400\ninc=30\nazi=45\nloss=50\nwdata=true\n"
                  "atmfile=" +
                      dir.file("windA.txt") +
                      "\noform=pdvamxc\nlat=48\nlon=11\n"
                      "tnn=-10\ncwx=false\ncw=1.2\nstopflag=2\nstopval=30\n");
        // B: defaults wherever A set something, a shorter wind profile with interpolation.
        writeFile(dir.file("windB.txt"), "0 90 3\n200 120 6\n400 150 9\n");
        writeFile(dir.file("scenarioB.txt"),
                  "mass=1\ndia=100\nalt=300\nvel=50\ninc=10\nazi=200\nlat=-30\nwdata=true\n"
                  "atmfile=" +
                      dir.file("windB.txt") + "\noform=pdvam\n");
        // Invalid, but only after it has set many fields.
        writeFile(dir.file("invalid.txt"),
                  "mass=5\nalt=9000\nwdata=true\natmfile=" + dir.file("windA.txt") +
                      "\noform=xc\nstopflag=3\nstopval=100\ncw=2\ncwx=false\n");
    }

    // Runs the program on `run` with "Kestro.ini" at `iniPath` (which need not exist).
    RunOutput runOn(RunContext& run, const std::string& scenario, const std::string& ini) {
        const std::string track = dir.file("track" + std::to_string(count++) + ".txt");
        const std::string scenarioPath = dir.file(scenario);
        const InProcessRun result = runInProcess(run, scenarioPath, track, dir.file(ini));
        RunOutput output;
        output.status = result.status;
        output.summary = result.summary;
        output.trackTable = result.trackTable;
        return output;
    }

    RunOutput runFresh(const std::string& scenario, const std::string& ini) {
        auto run = std::make_unique<RunContext>();
        return runOn(*run, scenario, ini);
    }

    static void expectSame(const RunOutput& got, const RunOutput& want, const char* why) {
        EXPECT_EQ(got.status, want.status) << why;
        EXPECT_EQ(got.summary, want.summary) << why;
        EXPECT_TRUE(got.trackTable == want.trackTable) << why << ": track tables differ";
    }

    TempDir dir;
    int count = 0;
};

TEST_F(RunTwice, FreshContextsGiveTheSameBytes) {
    const RunOutput first = runFresh("scenarioB.txt", "none");
    ASSERT_EQ(first.status, exitCompleted);
    ASSERT_EQ(first.summary.rfind("SUCCESS\t", 0), 0u);
    expectSame(runFresh("scenarioB.txt", "none"), first, "second fresh context");

    const RunOutput a = runFresh("scenarioA.txt", "iniA");
    ASSERT_EQ(a.status, exitCompleted);
    ASSERT_NE(a.trackTable, first.trackTable);
    expectSame(runFresh("scenarioA.txt", "iniA"), a, "second fresh context, scenario A");
}

TEST_F(RunTwice, OneContextServesRunAfterRun) {
    const RunOutput a = runFresh("scenarioA.txt", "iniA");
    const RunOutput b = runFresh("scenarioB.txt", "none");
    ASSERT_EQ(a.status, exitCompleted);
    ASSERT_EQ(b.status, exitCompleted);

    auto run = std::make_unique<RunContext>();
    expectSame(runOn(*run, "scenarioB.txt", "none"), b, "B first");
    expectSame(runOn(*run, "scenarioB.txt", "none"), b, "B after B");
    expectSame(runOn(*run, "scenarioA.txt", "iniA"), a, "A after B");
    expectSame(runOn(*run, "scenarioA.txt", "iniA"), a, "A after A");
    expectSame(runOn(*run, "scenarioB.txt", "none"), b, "B after A");

    const RunOutput invalid = runOn(*run, "invalid.txt", "iniA");
    EXPECT_EQ(invalid.status, exitScenarioInvalid);
    EXPECT_TRUE(invalid.summary.empty());
    EXPECT_TRUE(invalid.trackTable.empty());
    expectSame(runOn(*run, "scenarioB.txt", "none"), b, "B after an invalid scenario");

    const char* badArgv[] = {"kestro", "RUN "};
    EXPECT_EQ(runProgram(*run, 2, badArgv, stdout, dir.file("iniA").c_str()), exitUsage);
    expectSame(runOn(*run, "scenarioB.txt", "none"), b, "B after a bad command line");
}

}  // namespace
}  // namespace kestro
