// The summary line: its fixed letters, the end state it reports, and that nothing is printed
// over a track table that was not fully written.

#include "output/runSummary.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "output/outputFormat.h"
#include "outputTestSupport.h"
#include "run/runSequence.h"

namespace kestro::test {
namespace {

std::vector<std::string> splitAt(const std::string& text, char separator) {
    std::vector<std::string> parts(1);
    for (char ch : text) {
        if (ch == separator) {
            parts.emplace_back();
        } else {
            parts.back().push_back(ch);
        }
    }
    return parts;
}

std::string lastLine(const std::string& text) {
    std::istringstream lines(text);
    std::string line, last;
    while (std::getline(lines, line)) last = line;
    return last;
}

TEST(RunSummary, ReportsTheStateWithFixedLettersWhateverTheOform) {
    auto run = freshRun();
    std::snprintf(run->scenario.oform, sizeof run->scenario.oform, "%s", "pdvamc");
    run->outputFormat = outputFormatFromLetters(run->scenario.oform);
    run->flight.time = 7.5;
    run->flight.position = Vector3{10.0, 0.0, -20.0};
    run->flight.velocity = Vector3{3.0, -4.0, 0.0};
    run->flight.currentMass = 0.25;
    run->body.dragCoefficient = 0.47;
    run->body.bodyDensity = 3500.123456;
    run->scenario.mass = 0.123456789;
    run->environment.windAzimuth = 123.0;  // the wind group is never part of the summary

    TempDir dir;
    TrackTable table;
    ASSERT_TRUE(openTrackTable(table, dir.file("track.txt").c_str()));
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(printRunSummary(*run, table, out), SummaryResult::printed);
    EXPECT_EQ(table.file, nullptr) << "the track table is closed before the line is printed";
    // Python, launch point (0, 0) with R = 6371000: latitude (10/R) * 180 * (1/pi), longitude
    // (-20/(R cos 0)) * 180 * (1/pi); -asin(-4/5) = 53.1301 degrees; atan2(-0, -3) = 180.
    // Points, not commas, although the scenario's letters hold "c".
    EXPECT_EQ(streamText(out),
              "SUCCESS\t7.50\t0.00\t0.000090\t-0.000180\t10.00\t-20.00\t22.36\t53.1301\t180.0000\t"
              "5.0000\t0.25000\t0.470\t3500.123\t0.12346\n");
    std::fclose(out);
}

TEST(RunSummary, PrintsNothingWhenTheTrackTableWritesFailed) {
    auto run = freshRun();
    run->scenario.mass = 1.0;
    TrackTable table;
    // Every write to /dev/full fails with "no space left"; buffered writes fail at the flush.
    ASSERT_TRUE(openTrackTable(table, "/dev/full"));
    const OutputFormat format = outputFormatFromLetters("pdvam");
    writeTrackHeader(*run, table, format);
    writeTrackRow(*run, table, format);
    std::FILE* out = std::tmpfile();
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(printRunSummary(*run, table, out), SummaryResult::trackTableIncomplete);
    EXPECT_EQ(streamText(out), "");
    std::fclose(out);
}

// A short fall with ablation and wind, run in-process from the scenario file to the summary.
TEST(RunSummary, GroundEndingRepeatsTheLastRowAndTheScenarioMass) {
    TempDir dir;
    writeFile(dir.file("scenario.txt"),
              "alt=30\nvel=10\ninc=30\nazi=100\nmass=0.123456789\ndia=40\nloss=20\n"
              "wazi=45\nwvel=4\nlat=10\nlon=20\noform=xpdvmc\n");
    const std::string scenarioPath = dir.file("scenario.txt");
    const std::string trackPath = dir.file("track.txt");
    const std::string iniPath = dir.file("Kestro.ini");  // absent: the defaults stand
    auto run = freshRun();
    const InProcessRun result = runInProcess(*run, scenarioPath, trackPath, iniPath);
    ASSERT_EQ(result.status, exitCompleted);
    const std::string& summary = result.summary;

    ASSERT_FALSE(summary.empty());
    EXPECT_EQ(summary.back(), '\n');
    EXPECT_EQ(summary.find('\n'), summary.size() - 1) << "exactly one line";
    EXPECT_EQ(summary.find(','), std::string::npos) << "the summary keeps its points";
    const std::vector<std::string> fields = splitAt(summary.substr(0, summary.size() - 1), '\t');
    ASSERT_EQ(fields.size(), 15u) << summary;
    EXPECT_EQ(fields[0], "SUCCESS");
    EXPECT_EQ(fields[2], "0.00") << "the ground ending's altitude";

    // Fields 2 to 13 are the last track row (letters xpdvm), with its commas back to points.
    const std::string track = readFile(trackPath);
    std::string last = lastLine(track);
    EXPECT_EQ(last.find('.'), std::string::npos) << "the rows take the decimal comma: " << last;
    for (char& ch : last) {
        if (ch == ',') ch = '.';
    }
    std::string middle = fields[1];
    for (size_t i = 2; i <= 12; ++i) middle += "\t" + fields[i];
    EXPECT_EQ(middle, last);

    // Field 15 repeats the scenario mass; field 12 shows what ablation left of it.
    EXPECT_EQ(fields[14], "0.12346");
    EXPECT_NE(fields[11], "0.12346");
    EXPECT_LT(std::stod(fields[11]), 0.123456789);
}

}  // namespace
}  // namespace kestro::test
