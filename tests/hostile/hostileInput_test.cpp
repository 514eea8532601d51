// The program end to end on hostile inputs and faults: folders and devices where files belong,
// track tables that would destroy an input, inputs of hundreds of megabytes, stray bytes,
// numbers beyond the range of a double. Each case states the exit status, what is printed and
// what the files hold afterwards. Where a hostile input must act like a clean one, the clean one
// is written out by hand from the reading rules and both runs must agree byte for byte.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "support/testSupport.h"

namespace kestro {
namespace {

using test::ProgramResult;
using test::readFile;
using test::runKestroProgram;
using test::TempDir;
using test::writeFile;
using namespace std::string_literals;

// Exit statuses of the program.
constexpr int completed = 0;
constexpr int scenarioInvalid = 65;
constexpr int resultNotFinite = 70;
constexpr int trackTableRefused = 73;
constexpr int writeFailed = 74;

// A fall of a few seconds from 300 m with a constant wind: quick, and every column moves.
const std::string shortFlight =
    "lat=47.5\nlon=8.25\nalt=300\nvel=100\ninc=30\nazi=90\nmass=0.5\ndia=60\n"
    "tnn=15\nwazi=200\nwvel=5\noform=pdvam\n";
const std::string withProfile = shortFlight + "wdata=true\natmfile=wind.txt\n";
const std::string windRows = "0 200 2\n100 220 4\n200 250 6\n300 260 8\n400 270 9\n";

using Files = std::vector<std::pair<std::string, std::string>>;

struct Outcome {
    ProgramResult program;
    bool trackExists = false;
    std::string track;
};

// Writes `files` into `dir`, runs "kestro RUN scenario.txt track.txt" there (or `arguments`),
// and collects the status, the output and the track table.
Outcome fly(const TempDir& dir, const Files& files,
            const std::vector<std::string>& arguments = {"RUN", "scenario.txt", "track.txt"}) {
    for (const auto& [name, content] : files) writeFile(dir.file(name), content);
    Outcome outcome;
    outcome.program = runKestroProgram(dir.path(), arguments);
    outcome.trackExists = std::filesystem::is_regular_file(dir.file("track.txt"));
    if (outcome.trackExists) outcome.track = readFile(dir.file("track.txt"));
    return outcome;
}

Outcome flyFresh(const Files& files) {
    TempDir dir;
    return fly(dir, files);
}

// A completed run prints exactly one SUCCESS line and nothing on standard error.
void expectCompleted(const Outcome& run) {
    EXPECT_EQ(run.program.status, completed);
    EXPECT_EQ(run.program.output.rfind("SUCCESS\t", 0), 0u) << run.program.output;
    EXPECT_EQ(run.program.output.find('\n'), run.program.output.size() - 1);
    EXPECT_EQ(run.program.errorOutput, "");
    EXPECT_FALSE(run.track.empty());
}

// A refused or failed run prints nothing anywhere.
void expectSilentFailure(const Outcome& run, int status) {
    EXPECT_EQ(run.program.status, status);
    EXPECT_EQ(run.program.output, "");
    EXPECT_EQ(run.program.errorOutput, "");
}

// The hostile run behaves exactly as the clean one: status, summary line and track table.
void expectSameRun(const Outcome& hostile, const Outcome& clean) {
    expectCompleted(clean);
    EXPECT_EQ(hostile.program.status, clean.program.status);
    EXPECT_EQ(hostile.program.output, clean.program.output);
    EXPECT_EQ(hostile.program.errorOutput, "");
    EXPECT_TRUE(hostile.track == clean.track) << "track tables differ";
}

// ---------------------------------------------------------------------------------------------
// Folders and devices where files belong

struct PathCase {
    const char* why;
    std::function<void(const TempDir&)> prepare;  // folders, devices, after the files are written
    Files files;
    std::vector<std::string> arguments;
    int status;
    Files sameAs;         // when not empty: a clean run that must give the same output and track
    bool trackEmpty;      // the track table exists afterwards and is empty
    bool scenarioIntact;  // scenario.txt still holds what was written
};

void makeFolder(const TempDir& dir, const char* name) {
    ASSERT_TRUE(std::filesystem::create_directory(dir.file(name)));
}

const std::vector<std::string> runArguments = {"RUN", "scenario.txt", "track.txt"};

TEST(HostilePaths, FoldersAndDevicesInPlaceOfFiles) {
    const PathCase cases[] = {
        {"scenario path is a folder: reading stops at the read error, nothing was read: invalid",
         [](const TempDir& d) { makeFolder(d, "scenario"); },
         {},
         {"RUN", "scenario", "track.txt"},
         scenarioInvalid,
         {},
         true,
         false},
        {"track table path is a folder: cannot be created",
         {},
         {{"scenario.txt", shortFlight}},
         {"RUN", "scenario.txt", "."},
         trackTableRefused,
         {},
         false,
         true},
        {"Kestro.ini is a folder: read as empty, the defaults stand",
         [](const TempDir& d) { makeFolder(d, "Kestro.ini"); },
         {{"scenario.txt", shortFlight}},
         runArguments,
         completed,
         {{"scenario.txt", shortFlight}},
         false,
         true},
        {"wind profile path is a folder: no rows, the constant wind applies",
         [](const TempDir& d) { makeFolder(d, "wind.txt"); },
         {{"scenario.txt", withProfile}},
         runArguments,
         completed,
         {{"scenario.txt", shortFlight}},
         false,
         true},
        {"track table on a full device: not fully written, no SUCCESS",
         {},
         {{"scenario.txt", shortFlight}},
         {"RUN", "scenario.txt", "/dev/full"},
         writeFailed,
         {},
         false,
         true},
        {"track table on a full device, scenario invalid: nothing to write, the scenario decides",
         {},
         {{"scenario.txt", "alt=300\n"}},
         {"RUN", "scenario.txt", "/dev/full"},
         scenarioInvalid,
         {},
         false,
         true},
    };
    ASSERT_TRUE(std::filesystem::exists("/dev/full"));
    for (const PathCase& c : cases) {
        SCOPED_TRACE(c.why);
        TempDir dir;
        for (const auto& [name, content] : c.files) writeFile(dir.file(name), content);
        if (c.prepare) c.prepare(dir);
        const Outcome run = fly(dir, {}, c.arguments);
        if (c.status == completed) {
            expectCompleted(run);
        } else {
            expectSilentFailure(run, c.status);
        }
        if (!c.sameAs.empty()) expectSameRun(run, flyFresh(c.sameAs));
        if (c.trackEmpty) {
            EXPECT_TRUE(run.trackExists);
            EXPECT_EQ(run.track, "");
        }
        if (c.scenarioIntact) {
            EXPECT_EQ(readFile(dir.file("scenario.txt")), c.files[0].second);
        }
    }
}

// Runs "kestro RUN scenario.txt track.txt" in `folder` with standard output on `outputPath`,
// killed after `seconds` (an alarm survives the exec). Returns the exit status, or -1 when the
// program did not exit by itself.
int runWithAlarm(const std::string& folder, const char* outputPath, unsigned seconds) {
    std::fflush(nullptr);  // nothing buffered is written twice by the child
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(folder.c_str()) != 0) _exit(127);
        const int out = open(outputPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || dup2(out, 1) < 0) _exit(127);
        alarm(seconds);
        const std::string program = test::kestroExecutable();
        execl(program.c_str(), program.c_str(), "RUN", "scenario.txt", "track.txt",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    int waitStatus = 0;
    if (child < 0 || waitpid(child, &waitStatus, 0) != child || !WIFEXITED(waitStatus)) return -1;
    return WEXITSTATUS(waitStatus);
}

TEST(HostilePaths, SummaryLineOnAFullDevice) {
    TempDir dir;
    writeFile(dir.file("scenario.txt"), shortFlight);
    EXPECT_EQ(runWithAlarm(dir.path(), "/dev/full", 60), writeFailed);
    // The track table was complete before the summary failed.
    EXPECT_EQ(readFile(dir.file("track.txt")), flyFresh({{"scenario.txt", shortFlight}}).track);
}

TEST(HostilePaths, WindProfileThatIsNoRegularFileIsNotRead) {
    // A scenario from someone else may name a device that never reaches its end (its lines all
    // empty, so no row counts toward the 5000 that stop the reading) or a named pipe that no one
    // writes to (opening it blocks). Neither is read: the constant wind applies, as for a
    // profile that cannot be opened. The alarm turns a hang into a failure.
    const Outcome constantWind = flyFresh({{"scenario.txt", shortFlight}});
    for (const char* path : {"/dev/zero", "fifo", "/dev/null"}) {
        SCOPED_TRACE(path);
        TempDir dir;
        ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0644), 0);
        writeFile(dir.file("scenario.txt"), shortFlight + "wdata=true\natmfile=" + path + "\n");
        EXPECT_EQ(runWithAlarm(dir.path(), dir.file("output.txt").c_str(), 20), completed)
            << "-1: still running after 20 s";
        EXPECT_EQ(readFile(dir.file("output.txt")), constantWind.program.output);
        EXPECT_EQ(readFile(dir.file("track.txt")), constantWind.track);
    }
}

TEST(HostilePaths, KestroIniThatIsNoRegularFileLeavesTheDefaults) {
    // A folder someone hands over may hold a "Kestro.ini" that links to a device or is a named
    // pipe: it is not read, the defaults stand, as without the file.
    const Outcome defaults = flyFresh({{"scenario.txt", shortFlight}});
    for (const char* target : {"/dev/zero", "fifo", "/dev/null"}) {
        SCOPED_TRACE(target);
        TempDir dir;
        ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0644), 0);
        ASSERT_EQ(symlink(target, dir.file("Kestro.ini").c_str()), 0);
        writeFile(dir.file("scenario.txt"), shortFlight);
        EXPECT_EQ(runWithAlarm(dir.path(), dir.file("output.txt").c_str(), 20), completed)
            << "-1: still running after 20 s";
        EXPECT_EQ(readFile(dir.file("output.txt")), defaults.program.output);
        EXPECT_EQ(readFile(dir.file("track.txt")), defaults.track);
    }
}

// ---------------------------------------------------------------------------------------------
// A track table path that names one of the run's inputs is refused before anything is emptied

struct InputCase {
    const char* why;
    std::function<void(const TempDir&)> prepare;
    std::vector<std::string> arguments;
    const char* protectedFile;  // must hold what it held before
};

TEST(HostilePaths, TrackTableNamingAnInputIsRefused) {
    const InputCase cases[] = {
        {"the wind profile path is the track table",
         {},
         {"RUN", "scenario.txt", "wind.txt"},
         "wind.txt"},
        {"the same scenario spelled differently",
         {},
         {"RUN", "scenario.txt", "./scenario.txt"},
         "scenario.txt"},
        {"a symbolic link to the scenario",
         [](const TempDir& d) {
             std::filesystem::create_symlink("scenario.txt", d.file("track-link"));
         },
         {"RUN", "scenario.txt", "track-link"},
         "scenario.txt"},
        {"a chain of symbolic links to Kestro.ini",
         [](const TempDir& d) {
             std::filesystem::create_symlink("Kestro.ini", d.file("first"));
             std::filesystem::create_symlink(d.file("first"), d.file("second"));
         },
         {"RUN", "scenario.txt", "second"},
         "Kestro.ini"},
        {"a hard link to the wind profile",
         [](const TempDir& d) {
             std::filesystem::create_hard_link(d.file("wind.txt"), d.file("other-name"));
         },
         {"RUN", "scenario.txt", "other-name"},
         "wind.txt"},
    };
    for (const InputCase& c : cases) {
        SCOPED_TRACE(c.why);
        TempDir dir;
        const Files files = {
            {"scenario.txt", withProfile}, {"Kestro.ini", "tmax=100\n"}, {"wind.txt", windRows}};
        for (const auto& [name, content] : files) writeFile(dir.file(name), content);
        if (c.prepare) c.prepare(dir);
        const Outcome run = fly(dir, {}, c.arguments);
        expectSilentFailure(run, trackTableRefused);
        for (const auto& [name, content] : files) {
            EXPECT_EQ(readFile(dir.file(name)), content) << name;
        }
        EXPECT_FALSE(run.trackExists);
        EXPECT_TRUE(std::filesystem::is_regular_file(dir.file(c.protectedFile)));
    }
}

TEST(HostilePaths, TrackTableNamedAsWindProfileWhenNoProfileIsRead) {
    // With wdata off the file is no input of the run: it becomes the track table.
    TempDir dir;
    const std::string scenario = shortFlight + "wdata=false\natmfile=track.txt\n";
    writeFile(dir.file("track.txt"), windRows);
    const Outcome run = fly(dir, {{"scenario.txt", scenario}});
    expectSameRun(run, flyFresh({{"scenario.txt", shortFlight}}));

    // A profile path that does not exist yet names no input; the track table is created empty
    // before the profile is read, so the profile has no rows and the constant wind applies.
    TempDir fresh;
    const std::string profileIsTrack = shortFlight + "wdata=true\natmfile=track.txt\n";
    expectSameRun(fly(fresh, {{"scenario.txt", profileIsTrack}}),
                  flyFresh({{"scenario.txt", shortFlight}}));
}

// ---------------------------------------------------------------------------------------------
// Inputs far larger than any real one: memory stays that of the fixed buffers, the run acts on
// the valid lines alone

// Lines that name no keyword of either file. Several carry "mass=9" or "alt=1" where it must not
// count: after a blank, a stray byte or a NUL, or in a key with trailing text.
const std::string junkLines =
    "# sounding of 12:00, mass=9 kg\n"
    "mass =9\n"
    " alt=1\n"
    "massx=9\n"
    "\x80mass=9\n"
    "m\0ass=9\n"
    "=9\n"
    "lat;45\n"
    "\xff\xfe\xfd junk without an equals sign\r\n"
    "hpdt=false\n"
    "atmfile\n"
    "\n\n"s;

void writeRepeated(const std::string& path, const std::string& head, const std::string& block,
                   std::size_t bytes, const std::string& tail) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << head;
    std::string chunk;
    while (chunk.size() < (1u << 20)) chunk += block;
    std::size_t written = 0;
    while (written < bytes) {
        const std::size_t n = std::min(chunk.size(), bytes - written);
        out.write(chunk.data(), static_cast<std::streamsize>(n));
        written += n;
    }
    out << tail;
}

TEST(HostileSizes, TwoHundredMegabytesOfJunkLines) {
    TempDir dir;
    ASSERT_EQ(junkLines.find('\x1a'), std::string::npos);
    // The valid lines first, 200 MB of junk (its last line cut short), then one more valid line
    // that must still count.
    writeRepeated(dir.file("scenario.txt"), shortFlight, junkLines, 200u << 20, "\nalt=250\n");
    const Outcome run = fly(dir, {});
    expectSameRun(run, flyFresh({{"scenario.txt", shortFlight + "alt=250\n"}}));
}

TEST(HostileSizes, OneLineOfFiftyMegabytes) {
    TempDir dir;
    // 50 MB of "xx=yy;" with no line end arrive in pieces of 999 characters; no piece's key can
    // be a keyword. The line's length up to "vel=" is a multiple of 999, so "vel=120" is a piece
    // of its own and counts.
    const std::size_t pieces = 50u * 1000u * 1000u / 999u;
    writeRepeated(dir.file("scenario.txt"), shortFlight, "xx=yy;", pieces * 999, "vel=120\n");
    const Outcome run = fly(dir, {});
    expectSameRun(run, flyFresh({{"scenario.txt", shortFlight + "vel=120\n"}}));
}

TEST(HostileSizes, AMillionLineWindProfileIsReadToItsFiveThousandthRow) {
    TempDir dir;
    std::string rows;
    for (int i = 0; i < 5000; ++i) {
        rows += std::to_string(i * 0.1) + " " + std::to_string(200 + i % 90) + " " +
                std::to_string(2 + i % 7) + "\n";
    }
    // Rows past the 5000th would make the profile not finite and the scenario refused.
    writeRepeated(dir.file("wind.txt"), rows, "1e999 1e999 1e999 0\n", 995000u * 20u, "");
    const Outcome run = fly(dir, {{"scenario.txt", withProfile}});
    expectSameRun(run, flyFresh({{"scenario.txt", withProfile}, {"wind.txt", rows}}));
}

// ---------------------------------------------------------------------------------------------
// Bytes 0 and 0x80 to 0xFF: a NUL ends a line's text, other bytes are characters like any other

TEST(HostileBytes, NulAndHighBytesInScenarioAndWindProfile) {
    const std::string scenario =
        "lat=47.5\n"
        "lon=8.25\0lon=99\n"  // lon 8.25: the text ends at the NUL
        "m\0ass=77\n"         // text "m": no equals sign
        "\0alt=9999\n"        // empty text: skipped
        "alt=300\n"
        "vel=100\xff\xfe\n"  // the number ends before the stray bytes
        "inc=30\nazi=90\nmass=0.5\n"
        "mass\x80=9\n"      // key "mass\x80" is no keyword
        "\xc3\xa9mass=9\n"  // nor is a key with a letter outside A to Z
        "dia=60\nwazi=200\nwvel=5\n"
        "oform=p\xe9"
        "dv\0xc\n"  // letters p, d and v; x and c lie beyond the NUL
        "tnn=\x80"
        "15\n"               // no number at the start: 0
        "cwx=tru\xc3\xa9\n"  // not "true": false
        "wdata=true\natmfile=wind.txt\n"s;
    const std::string profile =
        "0 200 2\n"
        "\0 9999 9999 9999\n"  // empty text: no row
        "100\0 999 999\n"      // the row (100, 0, 0)
        "\x80\xff\n"           // a row of zeros
        "200 250\xa0 6\n"      // 0xA0 is no separator: fields 200, "250\xa0", 6
        "300 260 8\n"s;
    const std::string cleanScenario =
        "lat=47.5\nlon=8.25\nalt=300\nvel=100\ninc=30\nazi=90\nmass=0.5\ndia=60\n"
        "wazi=200\nwvel=5\noform=pdv\ntnn=0\ncwx=false\nwdata=true\natmfile=wind.txt\n";
    const std::string cleanProfile = "0 200 2\n100\n0\n200 250 6\n300 260 8\n";
    ASSERT_EQ(scenario.back(), '\n');
    ASSERT_EQ(profile.back(), '\n');
    expectSameRun(flyFresh({{"scenario.txt", scenario}, {"wind.txt", profile}}),
                  flyFresh({{"scenario.txt", cleanScenario}, {"wind.txt", cleanProfile}}));
}

// ---------------------------------------------------------------------------------------------
// Numbers beyond the range of a double, and very long ones

TEST(HostileNumbers, NotFiniteOrUnflyableScenariosAreRefused) {
    struct Case {
        std::string scenarioLines;  // after the short flight, so they decide
        std::string profile;        // wind.txt, for the profile cases
        const char* why;
    };
    const Case cases[] = {
        {"mass=1e999\n", "", "overflow to +INF"},
        {"lat=-1e999\n", "", "overflow to -INF"},
        {"wvel=1e999\n", "", "a constant wind that is not finite"},
        {"stopval=-1e999\n", "", "a stop value that is not finite"},
        {"dia=1e-400\n", "", "underflow to 0: no diameter"},
        {"mass=" + std::string(994, '9') + "\n", "", "994 digits: beyond the largest double"},
        {"alt=" + std::string(3000, '1') + "\n", "",
         "3000 digits: the first 995-digit piece alone overflows"},
        {"loss=5\nvel=0\n", "", "a loss with no speed to spread it over"},
        {"loss=5\nvel=1e-200\n", "", "a loss with a speed whose square is 0"},
        {"wdata=true\natmfile=wind.txt\n", "0 200 2\n1e999 210 3\n", "profile altitude +INF"},
        {"wdata=true\natmfile=wind.txt\n", "0 200 2\n500 -1e999 3\n", "profile azimuth -INF"},
        {"wdata=true\natmfile=wind.txt\n", "0 200 2\n500 210 1e400\n", "profile speed +INF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Files files = {{"scenario.txt", shortFlight + c.scenarioLines}};
        if (!c.profile.empty()) files.emplace_back("wind.txt", c.profile);
        const Outcome run = flyFresh(files);
        expectSilentFailure(run, scenarioInvalid);
        EXPECT_TRUE(run.trackExists);
        EXPECT_EQ(run.track, "");
    }
}

TEST(HostileNumbers, ExtremeSpellingsOfOrdinaryNumbers) {
    struct Case {
        std::string hostileLines;  // after the short flight
        std::string cleanLines;    // the same values written plainly
        const char* why;
    };
    const Case cases[] = {
        {"inc=0." + std::string(980, '0') + "3e982\n", "inc=30\n",
         "3e-981 times 1e982 is exactly 30"},
        {"mass=0.5" + std::string(900, '0') + "\n", "mass=0.5\n", "900 trailing zeros"},
        {"alt=" + std::string(3000, '0') + "250\n", "alt=0\n",
         "3000 zeros: the first piece is alt=0, the others have no equals sign"},
        {"stopval=1e-400\n", "stopval=0\n", "underflow to 0"},
        {"lat=47.50000000000000000000000000000000000000000000000000000000000000001\n", "lat=47.5\n",
         "more digits than a double holds"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        expectSameRun(flyFresh({{"scenario.txt", shortFlight + c.hostileLines}}),
                      flyFresh({{"scenario.txt", shortFlight + c.cleanLines}}));
    }
}

TEST(HostileNumbers, TimeLimitBeyondRangeMeansTheDefault) {
    // A run to the default limit of 1800 s (coarse step: 180 000 steps): the body stays aloft.
    const std::string aloft = "alt=40000\nvel=0\nmass=0.001\ndia=100\n";
    const Outcome plain = flyFresh({{"scenario.txt", aloft}, {"Kestro.ini", "hpdt=false\n"}});
    expectCompleted(plain);
    EXPECT_EQ(plain.program.output.rfind("SUCCESS\t1800.", 0), 0u) << plain.program.output;
    for (const char* tmax : {"tmax=1e999\n", "tmax=-1e999\n", "tmax=1e-400\n"}) {
        SCOPED_TRACE(tmax);
        const std::string settings = std::string("hpdt=false\n") + tmax;
        expectSameRun(flyFresh({{"scenario.txt", aloft}, {"Kestro.ini", settings}}), plain);
    }
}

TEST(HostileNumbers, FiniteExtremesThatOverflowInFlightEndWithoutSummary) {
    // Every number here is finite, so the readers accept it, but the model's arithmetic
    // overflows on it and the flight state turns into INF or NaN. No SUCCESS line may carry such
    // a landing point: nothing is printed, and the track table keeps the rows written.
    struct Case {
        Files files;
        const char* why;
    };
    const Case cases[] = {
        {{{"scenario.txt", withProfile}, {"wind.txt", "0 -1e308 5\n1000 1e308 5\n"}},
         "neighbouring profile azimuths 2e308 apart: their difference is +INF"},
        {{{"scenario.txt", shortFlight + "wvel=1e300\n"}}, "a constant wind of 1e300 m/s"},
        {{{"scenario.txt", shortFlight + "cwx=false\ncw=1e308\n"}}, "a drag coefficient of 1e308"},
        {{{"scenario.txt", shortFlight + "vel=1e300\n"}}, "a speed whose square overflows"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const Outcome run = flyFresh(c.files);
        expectSilentFailure(run, resultNotFinite);
        // The header and the row of time 0 at least, each line complete.
        EXPECT_GE(std::count(run.track.begin(), run.track.end(), '\n'), 2);
        EXPECT_EQ(run.track.back(), '\n');
    }
}

TEST(HostileNumbers, HugeMassInATinyBodyHasAnInfiniteDensity) {
    // mass and dia are finite, so the scenario is valid and the run proceeds; the volume
    // (0.5e-300 m)^3 * 4.19 underflows to 0, and 1e308 / 0 is +INF. From the ground the run
    // ends after the row of time 0; the summary would carry the density +INF, so there is none.
    // The track table holds the header and that row: at rest on the ground, the full mass, and
    // the Mach drag coefficient at speed 0, 0.46 * (0 + 1).
    const Outcome run = flyFresh({{"scenario.txt", "alt=0\nmass=1e308\ndia=1e-300\noform=xm\n"}});
    expectSilentFailure(run, resultNotFinite);
    char mass[400];
    std::snprintf(mass, sizeof mass, "%.5f", 1e308);  // the C library's exact expansion
    EXPECT_EQ(run.track,
              std::string("time(s)\talt(m)\tmass(kg)\tCw\n0.00\t0.00\t") + mass + "\t0.460\n");
}

}  // namespace
}  // namespace kestro
