// Track rows: derived values (latitude and longitude, distance, speed, azimuth, inclination),
// the group formats in both layouts, the decimal comma, non-finite values and rows far wider
// than any input line.

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "flight/flightState.h"
#include "output/outputFormat.h"
#include "outputTestSupport.h"

namespace kestro::test {
namespace {

constexpr double pi = 3.141592653589793;
constexpr double inf = std::numeric_limits<double>::infinity();
const double nan = std::numeric_limits<double>::quiet_NaN();

// Degrees to radians as the scenario reader stores lat and lon: by 1/180 first, then by pi.
double radians(double degrees) {
    return degrees * (1.0 / 180.0) * pi;
}

// Every value a row reads, set directly into a fresh run context.
struct RowState {
    double time = 0, x = 0, y = 0, z = 0;
    double vx = 0, vy = 0, vz = 0;
    double latDegrees = 0, lonDegrees = 0, earthRadius = 6371000.0;
    double windAzimuth = 0, windSpeed = 0, airDensity = 0;
    double mass = 0, dragCoefficient = 0;
};

void applyState(RunContext& run, const RowState& s) {
    run.flight.time = s.time;
    run.flight.position = Vector3{s.x, s.y, s.z};
    run.flight.velocity = Vector3{s.vx, s.vy, s.vz};
    run.scenario.lat = radians(s.latDegrees);
    run.scenario.lon = radians(s.lonDegrees);
    run.environment.earthRadius = s.earthRadius;
    run.environment.windAzimuth = s.windAzimuth;
    run.environment.windSpeed = s.windSpeed;
    run.environment.airDensity = s.airDensity;
    run.flight.currentMass = s.mass;
    run.body.dragCoefficient = s.dragCoefficient;
}

std::string formattedRow(RunContext& run, const char* letters) {
    std::vector<char> buffer(rowBufferCapacity, '#');
    const int length = formatTrackRow(run, buffer.data(), outputFormatFromLetters(letters));
    return std::string(buffer.data(), static_cast<size_t>(length));
}

std::string writtenRow(RunContext& run, const char* letters) {
    const OutputFormat format = outputFormatFromLetters(letters);
    return trackTableText([&](TrackTable& table) { writeTrackRow(run, table, format); });
}

struct RowCase {
    const char* why;
    RowState state;
    const char* letters;
    std::string want;
};

// A typical mid-flight state: every group, checked in both layouts. Expected text from Python,
// computing each derived value by its formula in the same order (degrees = rad * 180 * (1/pi)):
// latitude (x/R + lat), longitude (z/(R cos lat) + lon), sqrt(x^2 + z^2),
// atan2(-vz, -vx) = 116.56505 degrees, -asin(vy/speed) = 81.52129 degrees, speed 151.65751.
RowState midFlight() {
    RowState s;
    s.time = 12.345;  // the double lies just above 12.345: 12.35
    s.x = -120.5;
    s.y = 3456.789;
    s.z = 987.25;
    s.vx = 10.0;
    s.vy = -150.0;
    s.vz = -20.0;
    s.latDegrees = 47.3;
    s.lonDegrees = 8.5;
    s.earthRadius = 6366560.0;
    s.windAzimuth = 292.5;
    s.windSpeed = 10.5;
    s.airDensity = 0.789;
    s.mass = 0.7654321;
    s.dragCoefficient = 0.4715;  // the double lies just below 0.4715: 0.471
    return s;
}

TEST(TrackRow, StatesFormatToTheirExpectedText) {
    RowState rest;
    rest.y = 100.0;

    RowState vertical;  // horizontal parts below 1e-7 m/s in both components
    vertical.time = 2.0;
    vertical.y = 50.0;
    vertical.vx = 5e-8;
    vertical.vy = -30.0;
    vertical.vz = -5e-8;

    RowState atThreshold = vertical;  // exactly 1e-7 eastward counts as horizontal motion
    atThreshold.vx = 0.0;
    atThreshold.vz = 0.0000001;

    RowState fromWest;  // moving east and down at 45 degrees
    fromWest.time = 4.0;
    fromWest.y = 20.0;
    fromWest.vy = -10.0;
    fromWest.vz = 10.0;

    RowState highAltitude;
    highAltitude.time = 1.0;
    highAltitude.y = 12345678.9;
    highAltitude.x = 1.0;
    highAltitude.z = 2.0;

    RowState tinyWest;
    tinyWest.y = 10.0;
    tinyWest.z = -0.001;

    // Launch latitude +-90: R cos(lat) is 6356752 * 6.123e-17, so 100 m east is about 1.5e13
    // degrees. Python: (z / (R * cos(lat)) + lon) * 180 * (1/pi) with lat = 90 * (1/180) * pi.
    // At +90 the last printed digits depend on that order ((...) * (180/pi) gives ...896484).
    RowState northPole;
    northPole.time = 3.0;
    northPole.x = 50.0;
    northPole.z = 100.0;
    northPole.latDegrees = 90.0;
    northPole.lonDegrees = 10.0;
    northPole.earthRadius = 6356752.0;

    RowState southPole = northPole;
    southPole.x = -50.0;
    southPole.z = -100.0;
    southPole.latDegrees = -90.0;
    southPole.lonDegrees = -170.0;

    RowState nonFinite;
    nonFinite.time = inf;
    nonFinite.y = -inf;
    nonFinite.mass = nan;
    nonFinite.dragCoefficient = std::copysign(nan, -1.0);

    const RowCase cases[] = {
        {"at rest the inclination is negative zero", rest, "v",
         "      0.00      100.00     -0.0000      0.0000      0.0000"},
        {"at rest, tab layout", rest, "xv", "0.00\t100.00\t-0.0000\t0.0000\t0.0000"},
        {"vertical motion: azimuth 0, inclination 90", vertical, "v",
         "      2.00       50.00     90.0000      0.0000     30.0000"},
        {"1e-7 m/s east is enough for an azimuth: the body comes from the west", atThreshold, "v",
         "      2.00       50.00     90.0000    270.0000     30.0000"},
        {"vx = 0, vz > 0: atan2 gives -90, the column 270", fromWest, "v",
         "      4.00       20.00     45.0000    270.0000     14.1421"},
        {"an eight-digit altitude widens its field and pushes the rest right", highAltitude, "d",
         "      1.00  12345678.90        1.00        2.00        2.24"},
        {"an east offset of -0.001 keeps its sign", tinyWest, "d",
         "      0.00       10.00        0.00       -0.00        0.00"},
        {"latitude +90: latitude past 90, a fourteen-digit longitude", northPole, "p",
         "      3.00        0.00   90.000451  14719955869863.898438"},
        {"latitude -90, tab layout", southPole, "xp",
         "3.00\t0.00\t-90.000451\t-14719955870023.898438"},
        {"non-finite values right-aligned in width 10", nonFinite, "m",
         "      +INF        -INF        +NAN        -NAN"},
        {"non-finite values unpadded in the tab layout", nonFinite, "xm", "+INF\t-INF\t+NAN\t-NAN"},
        {"every group, tab layout", midFlight(), "xpdvam",
         "12.35\t3456.79\t47.298916\t8.513101\t-120.50\t987.25\t994.58\t81.5213\t116.5651\t"
         "151.6575\t292.500\t10.500\t0.789\t0.76543\t0.471"},
        {"every group, fixed-width layout", midFlight(), "pdvam",
         "     12.35     3456.79   47.298916    8.513101     -120.50      987.25      994.58"
         "     81.5213    116.5651    151.6575     292.500      10.500       0.789     0.76543"
         "       0.471"},
        {"letters outside the table: time and altitude only", midFlight(), "cqz",
         "     12.35     3456.79"},
    };
    for (const RowCase& c : cases) {
        auto run = freshRun();
        applyState(*run, c.state);
        EXPECT_EQ(formattedRow(*run, c.letters), c.want) << c.why;
    }
}

TEST(TrackRow, TimeZeroRowShowsTheLaunchPointAndTheScenarioDirection) {
    struct Launch {
        const char* inc;
        const char* azi;
        const char* wantInclination;  // right-aligned in 10
        const char* wantAzimuth;
    };
    const Launch launches[] = {
        {"45", "200", "   45.0000", "  200.0000"},
        {"-30", "350", "  -30.0000", "  350.0000"},  // a rising start
        {"10", "-90", "   10.0000", "  270.0000"},   // azi reduced to [0, 360)
        {"90", "120", "   90.0000", "    0.0000"},   // vertical: horizontal parts ~1e-15
    };
    for (const Launch& launch : launches) {
        auto run = freshRun();
        readScenarioText(*run, std::string("mass=1\ndia=10\nlat=-12.5\nlon=130.25\nalt=1234.5\n"
                                           "vel=100\ninc=") +
                                   launch.inc + "\nazi=" + launch.azi + "\n");
        setUpFlightState(*run);
        run->flight.time = 0.0;
        const std::string want = std::string("      0.00     1234.50  -12.500000  130.250000") +
                                 "        0.00        0.00        0.00  " + launch.wantInclination +
                                 "  " + launch.wantAzimuth + "    100.0000";
        EXPECT_EQ(formattedRow(*run, "pdv"), want) << "inc " << launch.inc << " azi " << launch.azi;
    }
}

TEST(TrackRow, WrittenRowEndsWithALineEndAndTakesTheDecimalCommaOnlyWithC) {
    RowState s;
    s.time = 1.5;
    s.y = 1234.5;
    s.mass = 0.25;
    s.dragCoefficient = 0.47;
    auto run = freshRun();
    applyState(*run, s);

    EXPECT_EQ(writtenRow(*run, "m"), "      1.50     1234.50     0.25000       0.470\n");
    EXPECT_EQ(writtenRow(*run, "mc"), "      1,50     1234,50     0,25000       0,470\n");
    EXPECT_EQ(writtenRow(*run, "xm"), "1.50\t1234.50\t0.25000\t0.470\n");
    EXPECT_EQ(writtenRow(*run, "xmc"), "1,50\t1234,50\t0,25000\t0,470\n");

    // Every point of the row, in every group, becomes a comma; nothing else changes.
    applyState(*run, midFlight());
    std::string want = formattedRow(*run, "xpdvam");
    for (char& ch : want) {
        if (ch == '.') ch = ',';
    }
    EXPECT_EQ(writtenRow(*run, "xpdvamc"), want + "\n");
}

// printf's own output for the same values, in the C locale the tests run in.
std::string printfText(const char* format, double a, double b, double c, double d, double e,
                       double f, double g) {
    std::vector<char> text(8192);
    const int length = std::snprintf(text.data(), text.size(), format, a, b, c, d, e, f, g);
    return std::string(text.data(), static_cast<size_t>(length));
}

TEST(TrackRow, RowsFarWiderThanAnInputLineAreWrittenWhole) {
    // Seven raw fields of 300 to 317 characters each: more than 2000 characters in one row.
    RowState s;
    s.time = 1e300;
    s.y = -1e300;
    s.windAzimuth = DBL_MAX;
    s.windSpeed = -DBL_MAX;
    s.airDensity = 1e300;
    s.mass = -DBL_MAX;
    s.dragCoefficient = 1.7e308;
    auto run = freshRun();
    applyState(*run, s);

    const std::string wantFixed =
        printfText("%10.2f  %10.2f  %10.3f  %10.3f  %10.3f  %10.5f  %10.3f\n", s.time, s.y,
                   s.windAzimuth, s.windSpeed, s.airDensity, s.mass, s.dragCoefficient);
    ASSERT_GT(wantFixed.size(), 2000u);
    EXPECT_EQ(writtenRow(*run, "am"), wantFixed);

    std::string wantTab =
        printfText("%.2f\t%.2f\t%.3f\t%.3f\t%.3f\t%.5f\t%.3f\n", s.time, s.y, s.windAzimuth,
                   s.windSpeed, s.airDensity, s.mass, s.dragCoefficient);
    for (char& ch : wantTab) {
        if (ch == '.') ch = ',';
    }
    EXPECT_EQ(writtenRow(*run, "xamc"), wantTab);

    // Every field near 1e300, all groups: one line of 15 fields, nothing cut.
    RowState huge;
    huge.time = huge.x = huge.y = huge.z = 1e300;
    huge.vx = huge.vy = huge.vz = -1e300;
    huge.windAzimuth = huge.windSpeed = huge.airDensity = huge.mass = 1e300;
    huge.dragCoefficient = -1e300;
    applyState(*run, huge);
    const std::string line = writtenRow(*run, "xpdvam");
    ASSERT_GT(line.size(), 3000u);
    EXPECT_EQ(line, formattedRow(*run, "xpdvam") + "\n");
    std::vector<std::string> fields(1);
    for (char ch : line.substr(0, line.size() - 1)) {
        if (ch == '\t') {
            fields.emplace_back();
        } else {
            fields.back().push_back(ch);
        }
    }
    ASSERT_EQ(fields.size(), 15u);
    const std::string e300 = printfText("%.2f", 1e300, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(fields[0], e300);    // time
    EXPECT_EQ(fields[4], e300);    // north offset
    EXPECT_EQ(fields[6], "+INF");  // sqrt(x*x + z*z) overflows: distance infinite
    EXPECT_EQ(fields[9], "+INF");  // speed, likewise
    EXPECT_EQ(fields[13], printfText("%.5f", 1e300, 0, 0, 0, 0, 0, 0));   // mass
    EXPECT_EQ(fields[14], printfText("%.3f", -1e300, 0, 0, 0, 0, 0, 0));  // drag coefficient
}

}  // namespace
}  // namespace kestro::test
