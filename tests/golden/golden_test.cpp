// End-to-end runs of the built program on small cases, compared byte for byte with the expected
// track table and summary line.
//
// Each case is a folder beside this file: scenario.txt, an optional Kestro.ini and wind profile,
// expected-track.txt and expected-summary.txt. The expected files were produced by
// reference_model.py, an independent Python implementation of the model written from its
// formulas, not from kestro's code (`python3 reference_model.py <case folder>` rewrites them).
//
// Values checked by hand with `bc -l` (pi = 3.141592653589793) against the expected files:
//
// ground-wind (ground ending, constant wind): time-0 air density
//   1.204 * (1 - 0.0065*300/288.14)^4.255 = 1.16971 -> 1.170; start velocity
//   (17.678, -43.301, -17.678) m/s and wind vector (0, 0, 8) give an air speed of 53.356 m/s,
//   M = 0.15556, Mach model (M^2 + 1) * 0.46 = 0.47113 (below (e^-2M + 1) * 0.92) -> Cw 0.471;
//   body density 0.5 / (0.025^3 * 4.18879) = 7639.437. Row at 1 s: latitude
//   (17.16/R + 47.3 deg) = 47.300154 and longitude (-16.93/(R cos 47.3) + 8.5 deg) = 8.499775
//   with the ellipsoid radius R(47.3) = 6366560.2 m. Ground row: from the 5.00 s row (6.87 m,
//   falling at 72.7508 * sin 77.4141 = 71.0 m/s) the ground is 0.097 s away: 5.10 s.
// stop-airspeed (stop mode 3, ablation): density at 2000 m 1.204 * (1 - 13/288.14)^4.255 =
//   0.98927 -> 0.989; ablation coefficient -2 ln(0.7) / 300^2 = 7.926e-6; body density
//   0.05 / (0.01^3 * 4.18879) = 11936.621. The last row's velocity (124.2857 m/s, 18.0819 deg,
//   az 44.3754) minus the wind (5 m/s from 20 deg) has length 119.98 <= 120: the stop holds
//   there, while the speed over ground shown is 124.29.
// time-limit (tmax 2.005, hpdt, hpg and hperad off): coarse step, rows at 0, 1 and 2 s; the
//   update of the step at 2.00 s reaches 2.01 >= 2.005 and the loop ends, so the summary shows
//   2.01 s, one step past the last row, and its altitude 1555.05 + 0.01 * 15.17 (the climb rate
//   90.4385 * sin 9.6561) = 1555.20. With R = 6371000: latitude (-98.42/R - 33.9 deg) =
//   -33.900885, longitude (175.00/(R cos -33.9) + 151.2 deg) = 151.201896; body density
//   2.5 / (0.055^3 * 4.18879) = 3587.264.
// decimal-comma (oform PDVAMC, cwx false, cw 1.1, tnn -5): every point of a row is a comma, the
//   header and the summary keep points; Cw is 1,100 in every row; density at 250 m
//   1.204 * (1 - 1.625/268.14)^4.255 = 1.17326 -> 1,173; body density 8488.264.
// wind-profile (hpwnd on): the file has a title line, which becomes a row of zeros at altitude 0,
//   rows at 0, 100, 200, 400 and 1000 m in three separator styles, and an empty line that is
//   skipped. At 450 m: 290 + 30 * 50/600 = 292.500 degrees and 10 + 6 * 50/600 = 10.500 m/s;
//   density 1.204 * (1 - 2.925/288.14)^4.255 = 1.15285 -> 1.153. In the ground step the altitude
//   is below 0, below the title row: its zero wind (0.000, 0.000) is shown.
// pole-longitude (latitude 90, vertical start, wind from the west): cos of the converted
//   latitude is 6.1232e-17, so the final longitude 119897848419.852814 degrees belongs to an east
//   offset of 119897848419.852814/180 * pi * 6356752 * 6.1232e-17 = 0.8145 m (printed 0.81);
//   the north offset -vel cos(90 deg) t is a tiny negative number, printed -0.00.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>

#include "support/testSupport.h"

namespace kestro::test {
namespace {

// The line number and both texts of the first line where two texts differ, for a readable failure.
std::string firstDifference(const std::string& want, const std::string& got) {
    std::istringstream wantLines(want), gotLines(got);
    std::string a, b;
    for (int line = 1;; ++line) {
        const bool moreWant = static_cast<bool>(std::getline(wantLines, a));
        const bool moreGot = static_cast<bool>(std::getline(gotLines, b));
        if (!moreWant && !moreGot) return "texts differ only in their line ends";
        if (a != b || moreWant != moreGot) {
            return "line " + std::to_string(line) + "\n  want: " + (moreWant ? a : "<none>") +
                   "\n  got:  " + (moreGot ? b : "<none>");
        }
    }
}

class GoldenCase : public testing::TestWithParam<const char*> {};

TEST_P(GoldenCase, TrackTableAndSummaryMatchByteForByte) {
    namespace fs = std::filesystem;
    const fs::path caseDir = fs::path(testDataDir()) / "golden" / GetParam();
    ASSERT_TRUE(fs::is_directory(caseDir)) << caseDir;

    // The run sees only the case's inputs, copied into a fresh working directory.
    TempDir work;
    for (const auto& entry : fs::directory_iterator(caseDir)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("expected-", 0) == 0) continue;
        fs::copy_file(entry.path(), fs::path(work.path()) / name);
    }

    const ProgramResult result =
        runKestroProgram(work.path(), {"RUN", "scenario.txt", "track.txt"});
    const std::string wantTrack = readFile((caseDir / "expected-track.txt").string());
    const std::string wantSummary = readFile((caseDir / "expected-summary.txt").string());
    ASSERT_FALSE(wantTrack.empty());
    ASSERT_FALSE(wantSummary.empty());

    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.errorOutput, "");
    const std::string track = readFile(work.file("track.txt"));
    EXPECT_TRUE(track == wantTrack) << "track table: " << firstDifference(wantTrack, track);
    EXPECT_TRUE(result.output == wantSummary)
        << "summary: " << firstDifference(wantSummary, result.output);
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenCase,
                         testing::Values("ground-wind", "stop-airspeed", "time-limit",
                                         "decimal-comma", "wind-profile", "pole-longitude"),
                         [](const testing::TestParamInfo<const char*>& param) {
                             std::string name = param.param;
                             for (char& c : name) {
                                 if (c == '-') c = '_';
                             }
                             return name;
                         });

}  // namespace
}  // namespace kestro::test
