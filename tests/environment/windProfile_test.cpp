// The wind profile file: loading rows from small files, the 0- and 1-row rules, the 5000-row
// bound, and the wind by altitude through the cursor that persists between steps.
//
// Expected rows are read off the file texts by hand; interpolated winds are worked out by hand
// or with Python floats as row[c] + (row[c+1] - row[c]) * ((h - alt[c]) / (alt[c+1] - alt[c])).
#include "environment/windProfile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "support/doubleCheck.h"
#include "support/testSupport.h"

namespace kestro {
namespace {

using test::sameDouble;

constexpr double scenarioWazi = 45;  // the scenario's constant wind before the load
constexpr double scenarioWvel = 3;

// A run whose scenario asks for the profile `content` (no file at all when absent), loaded.
std::unique_ptr<RunContext> loadedProfile(const test::TempDir& dir,
                                          const std::optional<std::string>& content) {
    auto run = test::freshRun();
    const std::string path = dir.file("wind.txt");
    if (content) test::writeFile(path, *content);
    std::snprintf(run->scenario.atmfile, sizeof run->scenario.atmfile, "%s", path.c_str());
    run->scenario.wdata = true;
    run->scenario.wazi = scenarioWazi;
    run->scenario.wvel = scenarioWvel;
    loadWindProfile(*run);
    return run;
}

void expectRow(const WindProfileRow& got, const WindProfileRow& want, const std::string& why) {
    EXPECT_TRUE(sameDouble(got.altitude, want.altitude, 0)) << why << " (altitude)";
    EXPECT_TRUE(sameDouble(got.azimuth, want.azimuth, 0)) << why << " (azimuth)";
    EXPECT_TRUE(sameDouble(got.speed, want.speed, 0)) << why << " (speed)";
    EXPECT_TRUE(sameDouble(got.extra, want.extra, 0)) << why << " (extra)";
}

TEST(LoadWindProfile, RowsFromSmallFiles) {
    // A line of 1007 characters reaches the reader as a piece of 999 and the rest.
    const std::string longLine = "100 10 1" + std::string(991, ' ') + "200 20 2\n";
    struct Case {
        const char* why;
        std::string content;
        std::vector<WindProfileRow> wantRows;
        bool wantWdata;
        double wantWazi, wantWvel;
    };
    const std::vector<Case> cases = {
        {"a title line becomes a row of zeros",
         "alt az speed\n0 270 5\n1000 280 8.5\n",
         {{0, 0, 0, 0}, {0, 270, 5, 0}, {1000, 280, 8.5, 0}},
         true,
         45,
         3},
        {"semicolons",
         "1000;280;8.5\n2000;290;9\n",
         {{1000, 280, 8.5, 0}, {2000, 290, 9, 0}},
         true,
         45,
         3},
        {"commas and blanks",
         "1000, 280, 8.5\n2000, 290, 9\n",
         {{1000, 280, 8.5, 0}, {2000, 290, 9, 0}},
         true,
         45,
         3},
        {"blanks",
         "1000 280 8.5\n2000 290 9\n",
         {{1000, 280, 8.5, 0}, {2000, 290, 9, 0}},
         true,
         45,
         3},
        {"tabs",
         "1000\t280\t8.5\n2000\t290\t9\n",
         {{1000, 280, 8.5, 0}, {2000, 290, 9, 0}},
         true,
         45,
         3},
        {"runs of mixed separators, also at both ends",
         " ;\t1000,,280 ;8.5;\t\n2000\t ,290;9\n",
         {{1000, 280, 8.5, 0}, {2000, 290, 9, 0}},
         true,
         45,
         3},
        {"a decimal comma splits the speed: 8 and extra 5",
         "1000 280 8,5\n2000 290 9\n",
         {{1000, 280, 8, 5}, {2000, 290, 9, 0}},
         true,
         45,
         3},
        {"two numbers: speed 0",
         "1000 280\n2000 290 9\n",
         {{1000, 280, 0, 0}, {2000, 290, 9, 0}},
         true,
         45,
         3},
        {"six numbers: the first four",
         "1000 280 8.5 4 5 6\n2000 290 9\n",
         {{1000, 280, 8.5, 4}, {2000, 290, 9, 0}},
         true,
         45,
         3},
        {"the number at the start of a field, 0 for a field without one",
         "1000m 280deg x 7\n0 0 0\n",
         {{1000, 280, 0, 7}, {0, 0, 0, 0}},
         true,
         45,
         3},
        {"empty lines skipped, a line of blanks and tabs is a row of zeros",
         "\n1000 280 8.5\n\n \t \n2000 290 9\n",
         {{1000, 280, 8.5, 0}, {0, 0, 0, 0}, {2000, 290, 9, 0}},
         true,
         45,
         3},
        {"a last line without a newline is a row",
         "1000 280 8.5\n2000 290 9",
         {{1000, 280, 8.5, 0}, {2000, 290, 9, 0}},
         true,
         45,
         3},
        {"CR LF line ends",
         "1000 280 8.5\r\n2000 290 9\r\n",
         {{1000, 280, 8.5, 0}, {2000, 290, 9, 0}},
         true,
         45,
         3},
        {"each piece of an over-long line is a row",
         longLine,
         {{100, 10, 1, 0}, {200, 20, 2, 0}},
         true,
         45,
         3},
        {"one row: profile off, its wind replaces wazi and wvel",
         "1000 280 8.5\n",
         {{1000, 280, 8.5, 0}},
         false,
         280,
         8.5},
        {"one row among empty lines, no final newline",
         "\n\n1000 280 8.5",
         {{1000, 280, 8.5, 0}},
         false,
         280,
         8.5},
        {"empty file: profile off, the scenario's wind stays", "", {}, false, 45, 3},
        {"only empty lines: as an empty file", "\n\n\n", {}, false, 45, 3},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        auto run = loadedProfile(dir, c.content);
        ASSERT_EQ(run->windProfile.count, static_cast<int>(c.wantRows.size())) << c.why;
        for (std::size_t i = 0; i < c.wantRows.size(); ++i) {
            expectRow(run->windProfile.rows[i], c.wantRows[i],
                      std::string(c.why) + ", row " + std::to_string(i));
        }
        EXPECT_EQ(run->scenario.wdata, c.wantWdata) << c.why;
        EXPECT_TRUE(sameDouble(run->scenario.wazi, c.wantWazi, 0)) << c.why;
        EXPECT_TRUE(sameDouble(run->scenario.wvel, c.wantWvel, 0)) << c.why;
    }
}

TEST(LoadWindProfile, AFileThatCannotBeOpenedSwitchesTheProfileOff) {
    test::TempDir dir;
    auto missing = loadedProfile(dir, std::nullopt);
    EXPECT_EQ(missing->windProfile.count, 0);
    EXPECT_FALSE(missing->scenario.wdata);
    EXPECT_EQ(missing->scenario.wazi, scenarioWazi);
    EXPECT_EQ(missing->scenario.wvel, scenarioWvel);

    auto noName = test::freshRun();
    noName->scenario.wdata = true;  // atmfile stays empty
    loadWindProfile(*noName);
    EXPECT_EQ(noName->windProfile.count, 0);
    EXPECT_FALSE(noName->scenario.wdata);
}

TEST(LoadWindProfile, StopsReadingAtOnceAfterThe5000thRow) {
    std::string content;
    for (int i = 0; i < 5000; ++i) content += std::to_string(i * 10) + " 90 1\n";
    content += "\n99999 180 2\n";  // would be the 5001st row
    content += "123 4 5 6\n";
    test::TempDir dir;
    auto run = loadedProfile(dir, content);
    EXPECT_EQ(run->windProfile.count, 5000);
    EXPECT_TRUE(run->scenario.wdata);
    expectRow(run->windProfile.rows[4999], {49990, 90, 1, 0}, "the 5000th row");
    // The line buffer still holds the 5000th line: not even the empty line after it was read.
    EXPECT_STREQ(run->lineBuffer.text, "49990 90 1");
}

// Rows at 0, 1000 and 2000 m; each altitude is looked up from the cursor on the last row (as
// after the reset) and from the first row: the result must not depend on where it starts.
TEST(WindAtAltitude, InterpolatesOnlyBetweenRowsAndOnlyWithHpwnd) {
    struct Case {
        bool hpwnd;
        double h, wantAzimuth, wantSpeed;
        int wantCursor;
        const char* why;
    };
    const Case cases[] = {
        {true, 500, 275, 7.5, 0, "halfway between the first two rows"},
        {true, 1000, 280, 10, 1, "exactly the second row"},
        {true, 1234.5, 284.69, 12.344999999999999, 1, "Python"},
        {true, 999.999, 279.99999, 9.999995, 0, "Python: just below the second row"},
        {true, 0, 270, 5, 0, "on the first row"},
        {true, 2000, 300, 20, 2, "on the last row"},
        {true, 2500, 300, 20, 2, "above the last row: its values, no extrapolation"},
        {true, -100, 270, 5, 0, "below the first row: its values, no extrapolation"},
        {false, 500, 270, 5, 0, "hpwnd off: the row at or below"},
        {false, 999.999, 270, 5, 0, "hpwnd off: just below the second row is the first"},
        {false, 1000, 280, 10, 1, "hpwnd off: exactly the second row"},
        {false, 2500, 300, 20, 2, "hpwnd off: above the last row"},
        {false, -100, 270, 5, 0, "hpwnd off: below the first row"},
    };
    test::TempDir dir;
    for (const Case& c : cases) {
        for (const bool fromTop : {true, false}) {
            auto run = loadedProfile(dir, "0 270 5\n1000 280 10\n2000 300 20\n");
            run->precision.hpwnd = c.hpwnd;
            resetWindCursor(*run);
            if (!fromTop) run->windProfile.cursor = 0;
            const WindAtAltitude wind = windAtAltitude(*run, c.h);
            EXPECT_TRUE(sameDouble(wind.azimuth, c.wantAzimuth, 0)) << c.why << ", h " << c.h;
            EXPECT_TRUE(sameDouble(wind.speed, c.wantSpeed, 0)) << c.why << ", h " << c.h;
            EXPECT_EQ(run->windProfile.cursor, c.wantCursor) << c.why << ", h " << c.h;
        }
    }
}

TEST(WindAtAltitude, InterpolatesTheAzimuthAsAPlainNumber) {
    test::TempDir dir;
    auto run = loadedProfile(dir, "0 350 0\n1000 10 4\n");
    resetWindCursor(*run);
    const WindAtAltitude wind = windAtAltitude(*run, 500);
    EXPECT_EQ(wind.azimuth, 180) << "halfway from 350 to 10 without wrap-around";
    EXPECT_EQ(wind.speed, 2);
}

TEST(WindAtAltitude, TwoRowsOfEqualAltitude) {
    test::TempDir dir;
    auto run = loadedProfile(dir, "0 270 5\n1000 280 10\n1000 300 20\n2000 310 30\n");

    // Climbing to 1000 m stops the cursor on the first of the pair: its values, nothing divided.
    run->windProfile.cursor = 0;
    WindAtAltitude wind = windAtAltitude(*run, 1000);
    EXPECT_EQ(run->windProfile.cursor, 1);
    EXPECT_TRUE(sameDouble(wind.azimuth, 280, 0));
    EXPECT_TRUE(sameDouble(wind.speed, 10, 0));

    // Descending to 1000 m stops on the second: interpolation towards 2000 m with f = 0.
    resetWindCursor(*run);
    wind = windAtAltitude(*run, 1000);
    EXPECT_EQ(run->windProfile.cursor, 2);
    EXPECT_TRUE(sameDouble(wind.azimuth, 300, 0));
    EXPECT_TRUE(sameDouble(wind.speed, 20, 0));
}

// A body that climbs and then descends: after every step the cursor stands on the last row at
// or below the altitude (row 0 below the first), found here by a plain scan of the table.
TEST(WindAtAltitude, CursorFollowsTheBodyBothWays) {
    std::string content;
    for (int i = 0; i <= 5; ++i) {
        content += std::to_string(i * 1000) + " " + std::to_string(i * 10) + " " +
                   std::to_string(i + 1) + "\n";
    }
    test::TempDir dir;
    auto run = loadedProfile(dir, content);
    ASSERT_EQ(run->windProfile.count, 6);
    run->precision.hpwnd = false;
    resetWindCursor(*run);
    EXPECT_EQ(run->windProfile.cursor, 5);

    const double path[] = {2500, 3000,   3000.5, 4999, 6000, 6000, 5000,
                           2000, 1999.5, 500,    -50,  0,    120,  5000};
    for (const double h : path) {
        int want = 0;
        for (int i = 0; i <= 5; ++i) {
            if (i * 1000.0 <= h) want = i;
        }
        const WindAtAltitude wind = windAtAltitude(*run, h);
        EXPECT_EQ(run->windProfile.cursor, want) << "h " << h;
        EXPECT_EQ(wind.azimuth, want * 10) << "h " << h;
        EXPECT_EQ(wind.speed, want + 1) << "h " << h;
    }
}

// Rows from 2000 m down to 0 m with hpwnd on: the descending body sees the last row's wind while
// it is at or above that row's altitude, then the first row's; never a blend.
TEST(WindAtAltitude, DescendingTableIsNeverInterpolated) {
    test::TempDir dir;
    auto run = loadedProfile(dir, "2000 10 1\n1000 20 2\n0 30 3\n");
    resetWindCursor(*run);
    struct Step {
        double h, wantAzimuth, wantSpeed;
    };
    const Step steps[] = {{3000, 30, 3}, {1500, 30, 3}, {500, 30, 3}, {0, 30, 3}, {-10, 10, 1}};
    for (const Step& step : steps) {
        const WindAtAltitude wind = windAtAltitude(*run, step.h);
        EXPECT_EQ(wind.azimuth, step.wantAzimuth) << "h " << step.h;
        EXPECT_EQ(wind.speed, step.wantSpeed) << "h " << step.h;
    }
}

}  // namespace
}  // namespace kestro
