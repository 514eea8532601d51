// The program's loop, with its caches and shortcuts, against a plain loop that recomputes every
// formula in every step in the order the model writes them: same track rows and summary line,
// byte for byte, over scenarios that reach every branch of a step.
//
// The reference below is the model restated from its formulas and nothing else: no value is
// kept from one step to the next except the flight state, the wind cursor and the gravity, the
// exponential of the Mach model is always evaluated, the cross-section is always recomputed
// from the mass, and rows are formatted with the C library's printf. Only the reading of the
// settings files is shared with the program, since that is not what this test is about.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "environment/windProfile.h"
#include "run/runContext.h"
#include "run/runSequence.h"
#include "support/doubleCheck.h"
#include "support/testSupport.h"

namespace kestro {
namespace {

using test::InProcessRun;
using test::runInProcess;
using test::TempDir;

constexpr double pi = 3.141592653589793;

struct Vec {
    double x = 0.0, y = 0.0, z = 0.0;
};

struct ProfileRow {
    double altitude, azimuth, speed;
};

// What the reference needs to know of the settings, taken from the program's readers.
struct ReferenceInputs {
    PrecisionSettings precision;
    ScenarioParameters scenario;
    std::vector<ProfileRow> profile;  // empty unless the profile is in use
};

// The state a run leaves behind, as exact doubles: the printed rows round it, this does not.
struct FinalState {
    double values[12];
};

constexpr const char* finalStateNames[12] = {
    "x",    "altitude",         "z",           "vx",           "vy",        "vz", "time",
    "mass", "drag coefficient", "air density", "wind azimuth", "wind speed"};

// What a run shows: the track rows (without the header line) and the summary line.
struct RunOutput {
    std::string rows;
    std::string summary;
    FinalState state;
};

// Facts about the reference run that prove a scenario reaches what it was chosen for.
struct ReferenceFacts {
    int machUpCrossings = 0;    // steps whose air speed reached 343 m/s from below
    int machDownCrossings = 0;  // steps whose air speed fell below 343 m/s from at or above it
    bool massReachedZero = false;
    bool airlessStep = false;  // a step with an air density of exactly 0
    long long steps = 0;
};

class ReferenceRun {
  public:
    explicit ReferenceRun(const ReferenceInputs& in) : p_(in.precision), s_(in.scenario) {
        rows_ = in.profile;
    }

    RunOutput run(ReferenceFacts& facts) {
        setUp();
        loop(facts);
        RunOutput out;
        out.rows = track_;
        const std::string summaryRow = formatRow("pdvxm");
        char line[4096];
        std::snprintf(line, sizeof line, "SUCCESS\t%s\t%.3lf\t%.5lf\n", summaryRow.c_str(),
                      bodyDensity_, s_.mass);
        out.summary = line;
        out.state = FinalState{{position_.x, position_.y, position_.z, velocity_.x, velocity_.y,
                                velocity_.z, time_, mass_, dragCoefficient_, airDensity_,
                                windAzimuth_, windSpeed_}};
        return out;
    }

  private:
    static double degreesToRadians(double degrees) { return degrees * (1.0 / 180.0) * pi; }
    static double radiansToDegrees(double radians) { return radians * 180.0 * (1.0 / pi); }

    void setUp() {
        // Earth radius and sea-level gravity for the launch latitude.
        if (p_.hperad) {
            const double a = 6378137.0, b = 6356752.0;
            const double as = a * std::sin(s_.lat), bc = b * std::cos(s_.lat);
            earthRadius_ = a * b / std::sqrt(as * as + bc * bc);
        }
        if (p_.hpg) {
            const double c = std::cos(s_.lat);
            seaLevelGravity_ = 9.832 - 0.052 * (c * c);
        }
        gravity_ = 9.808;
        timeStep_ = p_.hpdt ? 0.001 : 0.01;
        timeLimit_ = p_.tmax > 0.0 ? p_.tmax : 1800.0;
        // The body.
        const double r = 0.5 * s_.dia;
        bodyDensity_ = s_.mass / (r * r * r * 4.1887902047863905);
        mass_ = s_.mass;
        double loss = s_.loss;
        if (loss > 0.9999) loss = 0.9999;
        if (loss < 0.0) loss = 0.0;
        ablation_ = loss == 0.0 ? 0.0 : -2.0 * std::log(1.0 - loss) / (s_.vel * s_.vel);
        // The start state.
        position_ = Vec{0.0, s_.alt, 0.0};
        const double i = degreesToRadians(s_.inc), a = degreesToRadians(s_.azi);
        velocity_.y = -s_.vel * std::sin(i);
        const double horizontal = s_.vel * std::cos(i);
        velocity_.x = -horizontal * std::cos(a);
        velocity_.z = -horizontal * std::sin(a);
        cursor_ = static_cast<int>(rows_.size()) - 1;
        stopMode_ = (s_.stopflag >= 1 && s_.stopflag <= 3) ? s_.stopflag : 1;
        time_ = 0.0;
        sinceLastRow_ = 0.0;
    }

    void windAt(double h) {
        const int last = static_cast<int>(rows_.size()) - 1;
        int c = cursor_;
        while (c < last && h > rows_[c].altitude) ++c;
        while (c > 0 && h < rows_[c].altitude) --c;
        cursor_ = c;
        windAzimuth_ = rows_[c].azimuth;
        windSpeed_ = rows_[c].speed;
        if (p_.hpwnd && c < last && !(c == 0 && h < rows_[0].altitude)) {
            const double f = (h - rows_[c].altitude) / (rows_[c + 1].altitude - rows_[c].altitude);
            windAzimuth_ = rows_[c].azimuth + (rows_[c + 1].azimuth - rows_[c].azimuth) * f;
            windSpeed_ = rows_[c].speed + (rows_[c + 1].speed - rows_[c].speed) * f;
        }
    }

    void loop(ReferenceFacts& facts) {
        double previousAirSpeed = -1.0;
        while (time_ < timeLimit_) {
            ++facts.steps;
            const double h = position_.y;
            // Environment: wind, air density, wind vector.
            if (!rows_.empty()) {
                windAt(h);
            } else {
                windAzimuth_ = s_.wazi;
                windSpeed_ = s_.wvel;
            }
            const double temperature = s_.tnn + 273.14;
            const double base = 1.0 - (0.0065 * h) / temperature;
            airDensity_ = base > 0.0 ? 1.204 * std::pow(base, 4.255) : 0.0;
            const double theta = degreesToRadians(windAzimuth_);
            const Vec wind{-windSpeed_ * std::cos(theta), 0.0, -windSpeed_ * std::sin(theta)};
            // Drag.
            const Vec rel{velocity_.x - wind.x, velocity_.y - wind.y, velocity_.z - wind.z};
            airSpeed_ = std::sqrt(rel.x * rel.x + rel.y * rel.y + rel.z * rel.z);
            const double mach = airSpeed_ / 343.0;
            if (s_.cwx) {
                const double c1 = (mach * mach + 1.0) * 0.46;
                const double c2 = (std::exp(-2.0 * mach) + 1.0) * (2.0 * 0.46);
                dragCoefficient_ = c1 < c2 ? c1 : c2;
            } else {
                dragCoefficient_ = s_.cw;
            }
            const double volume = mass_ / bodyDensity_;
            const double radius = std::pow(volume * 0.238732414637843, 1.0 / 3.0);
            const double crossSection = pi * radius * radius;
            dragForce_ =
                0.5 * airDensity_ * crossSection * dragCoefficient_ * airSpeed_ * airSpeed_;
            Vec force;
            if (airSpeed_ == 0.0) {
                force = Vec{-dragForce_ * 0.0, -dragForce_ * 0.0, -dragForce_ * 0.0};
            } else {
                force = Vec{-dragForce_ * (rel.x / airSpeed_), -dragForce_ * (rel.y / airSpeed_),
                            -dragForce_ * (rel.z / airSpeed_)};
            }
            // Gravity at the altitude, the weight, the acceleration.
            if (p_.hpg) gravity_ = seaLevelGravity_ * earthRadius_ / (earthRadius_ + h);
            force.y = force.y - mass_ * gravity_;
            if (mass_ != 0.0) {
                acceleration_ = Vec{force.x / mass_, force.y / mass_, force.z / mass_};
            }
            // Ground clamp, stop test, row, end.
            if (position_.y < 0.0) position_.y = 0.0;
            bool stop = false;
            if (stopMode_ == 1) stop = position_.y <= s_.stopval;
            if (stopMode_ == 2) stop = time_ >= s_.stopval;
            if (stopMode_ == 3) stop = airSpeed_ <= s_.stopval;
            if (mass_ <= 0.0) stop = true;

            if (previousAirSpeed >= 0.0 && previousAirSpeed < 343.0 && airSpeed_ >= 343.0) {
                ++facts.machUpCrossings;
            }
            if (previousAirSpeed >= 343.0 && airSpeed_ < 343.0) ++facts.machDownCrossings;
            previousAirSpeed = airSpeed_;
            if (airDensity_ == 0.0) facts.airlessStep = true;
            if (mass_ == 0.0) facts.massReachedZero = true;

            if (sinceLastRow_ >= 1.0 || stop || position_.y == 0.0 || time_ == 0.0) {
                std::string row = formatRow(s_.oform);
                if (std::string(s_.oform).find('c') != std::string::npos) {
                    for (char& ch : row) {
                        if (ch == '.') ch = ',';
                    }
                }
                track_ += row + "\n";
                sinceLastRow_ = 0.0;
            }
            if (position_.y == 0.0 || stop) break;
            // Explicit Euler update.
            position_.x = position_.x + velocity_.x * timeStep_;
            position_.y = position_.y + velocity_.y * timeStep_;
            position_.z = position_.z + velocity_.z * timeStep_;
            velocity_.x = velocity_.x + acceleration_.x * timeStep_;
            velocity_.y = velocity_.y + acceleration_.y * timeStep_;
            velocity_.z = velocity_.z + acceleration_.z * timeStep_;
            mass_ = mass_ - timeStep_ * ablation_ * dragForce_ * airSpeed_;
            if (mass_ < 0.0) mass_ = 0.0;
            time_ = time_ + timeStep_;
            sinceLastRow_ = sinceLastRow_ + timeStep_;
        }
    }

    // One row with printf's own conversions, for the letters given.
    std::string formatRow(const std::string& letters) const {
        const auto has = [&](char c) { return letters.find(c) != std::string::npos; };
        const bool tab = has('x');
        std::string row;
        char field[512];
        const auto add = [&](double value, int decimals) {
            if (!row.empty()) row += tab ? "\t" : "  ";
            std::snprintf(field, sizeof field, tab ? "%.*f" : "%10.*f", decimals, value);
            row += field;
        };
        const double x = position_.x, z = position_.z;
        const Vec& v = velocity_;
        add(time_, 2);
        add(position_.y, 2);
        if (has('p')) {
            add(radiansToDegrees(x / earthRadius_ + s_.lat), 6);
            add(radiansToDegrees(z / (earthRadius_ * std::cos(s_.lat)) + s_.lon), 6);
        }
        if (has('d')) {
            add(x, 2);
            add(z, 2);
            add(std::sqrt(x * x + z * z), 2);
        }
        if (has('v')) {
            const double speed = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
            double azimuth = 0.0;
            if (std::fabs(v.x) >= 0.0000001 || std::fabs(v.z) >= 0.0000001) {
                azimuth = radiansToDegrees(std::atan2(-v.z, -v.x));
            }
            if (azimuth < 0.0) azimuth = azimuth + 360.0;
            const double q = speed == 0.0 ? 0.0 : v.y / speed;
            add(radiansToDegrees(-std::asin(q)), 4);
            add(azimuth, 4);
            add(speed, 4);
        }
        if (has('a')) {
            add(windAzimuth_, 3);
            add(windSpeed_, 3);
            add(airDensity_, 3);
        }
        if (has('m')) {
            add(mass_, 5);
            add(dragCoefficient_, 3);
        }
        return row;
    }

    PrecisionSettings p_;
    ScenarioParameters s_;
    std::vector<ProfileRow> rows_;
    int cursor_ = 0;
    double earthRadius_ = 6371000.0, seaLevelGravity_ = 9.808, gravity_ = 9.808;
    double timeStep_ = 0.0, timeLimit_ = 0.0, sinceLastRow_ = 0.0, time_ = 0.0;
    double bodyDensity_ = 0.0, ablation_ = 0.0, mass_ = 0.0;
    int stopMode_ = 1;
    Vec position_, velocity_, acceleration_;
    double windAzimuth_ = 0.0, windSpeed_ = 0.0, airDensity_ = 0.0;
    double airSpeed_ = 0.0, dragForce_ = 0.0, dragCoefficient_ = 0.0;
    std::string track_;
};

// 61 rows from 100 m to 30 100 m every 500 m; azimuth and speed change from row to row, and the
// azimuth runs past 360 to show that it is interpolated as a plain number.
std::string windProfileText() {
    std::string text = "\n";  // an empty line is skipped
    char line[128];
    for (int i = 0; i <= 60; ++i) {
        std::snprintf(line, sizeof line, "%d;%.1f, %.2f\t%.1f\n", 100 + 500 * i, 250.0 + 2.5 * i,
                      2.0 + 0.9 * i - 0.012 * i * i, 288.0 - 3.25 * i);
        text += line;
    }
    return text;
}

// What a scenario is chosen to reach, checked on the reference run.
enum Reaches : int {
    plainRun = 0,
    machUp = 1,    // the air speed rises through 343 m/s
    machDown = 2,  // and falls through it
    massZero = 4,  // an update removes all the mass
    oneStep = 8,   // the first step ends the run
    airless = 16,  // steps with an air density of 0
};

struct Scenario {
    const char* name;
    const char* precision;  // the text of "Kestro.ini"
    const char* scenario;   // without the atmfile line, added when `profile` is set
    bool profile;           // use the wind profile above
    int reaches;            // Reaches flags
};

// Common to most cases: a stone of 50 g and 30 mm; every column group.
#define STONE "mass=0.05\ndia=30\nlat=48\nlon=11\n"

const Scenario scenarios[] = {
    // Starts slow in thin air, passes Mach 1 on the way down, and is braked below it again.
    {"mach1CrossedBothWays", "",
     "mass=20\ndia=150\nlat=48\nlon=11\nvel=150\ninc=80\nazi=30\nalt=40000\nwazi=270\n"
     "wvel=10\noform=pdvam\n",
     false, machUp | machDown},
    {"fastHeavyBodyToGround", "",
     "mass=1\ndia=100\nlat=48\nlon=11\nvel=3000\ninc=45\nazi=90\nalt=30000\nwazi=270\n"
     "wvel=10\noform=pdvam\n",
     false, machDown},
    {"fixedDragCoefficient", "",
     STONE "cwx=false\ncw=1.3\nvel=900\ninc=30\nazi=120\nalt=20000\nwazi=200\nwvel=15\n"
           "oform=pdvam\n",
     false, plainRun},
    // A loss of 100 % is held at 99.99 %; with a start speed of 1 m/s the ablation coefficient
    // is so large that an update removes all the mass, and the next step ends with mass 0.
    {"fullLossEmptiesTheBody", "",
     "mass=0.001\ndia=10\nvel=1\ninc=90\nalt=30000\nloss=100\noform=pdvam\n", false, massZero},
    {"lossJustBelowFull", "",
     "mass=1\ndia=100\nlat=48\nlon=11\nvel=3000\ninc=45\nazi=90\nalt=30000\nloss=99.999\n"
     "wazi=270\nwvel=10\noform=pdvam\n",
     false, plainRun},
    {"startOnTheGround", "", STONE "vel=100\ninc=45\nazi=10\nalt=0\noform=pdvam\n", false, oneStep},
    {"startBelowTheGround", "", STONE "vel=100\ninc=45\nazi=10\nalt=-10\noform=pdvam\n", false,
     oneStep},
    {"verticalFall", "", STONE "vel=50\ninc=90\nazi=0\nalt=5000\noform=pdvam\n", false, plainRun},
    {"latitude90", "",
     "mass=0.05\ndia=30\nlat=90\nlon=20\nvel=400\ninc=40\nazi=70\nalt=8000\nwazi=90\n"
     "wvel=12\noform=pdvam\n",
     false, plainRun},
    {"southernWesternSite", "",
     "mass=0.2\ndia=45\nlat=-33.9\nlon=-70.6\nvel=1500\ninc=55\nazi=200\nalt=25000\n"
     "wazi=30\nwvel=8\noform=pdvam\n",
     false, plainRun},
    {"negativeWindSpeedAndAzimuth", "",
     STONE "vel=700\ninc=35\nazi=300\nalt=15000\nwazi=-45\nwvel=-7.5\noform=pdvam\n", false,
     plainRun},
    // Air density 0 above about 44.3 km: no drag until the body falls below that.
    {"startAboveTheAtmosphere", "",
     STONE "vel=200\ninc=20\nazi=250\nalt=60000\nwazi=270\nwvel=10\noform=pdvam\n", false, airless},
    // Climbs first, then falls through the whole profile and below its first row.
    {"windProfileInterpolated", "",
     STONE "vel=900\ninc=-20\nazi=160\nalt=29000\nloss=50\nwdata=true\noform=pdvam\n", true,
     plainRun},
    {"windProfileRowByRow", "hpwnd=false\n",
     STONE "vel=900\ninc=-20\nazi=160\nalt=29000\nloss=50\nwdata=true\noform=pdvam\n", true,
     plainRun},
    // All switches off: time step 0.01 s, mean earth radius, fixed gravity, no interpolation.
    {"coarseTimeStep", "lowprec=true\n",
     STONE "vel=900\ninc=25\nazi=45\nalt=20000\nloss=30\nwdata=true\noform=pdvam\n", true,
     plainRun},
    {"tabLayoutDecimalComma", "",
     STONE "vel=600\ninc=50\nazi=90\nalt=10000\nwazi=270\nwvel=10\noform=xpdvamc\n", false,
     plainRun},
    {"stopAtTime", "",
     STONE "vel=600\ninc=50\nazi=90\nalt=10000\nstopflag=2\nstopval=10\noform=pdvam\n", false,
     plainRun},
    {"stopAtAirSpeed", "",
     STONE "vel=600\ninc=50\nazi=90\nalt=10000\nstopflag=3\nstopval=120\noform=dm\n", false,
     plainRun},
    // Light enough to stay aloft: the time limit ends the run, and the summary shows the state
    // after the last update.
    {"aloftUntilTheTimeLimit", "tmax=300\n",
     "mass=0.001\ndia=100\nlat=48\nlon=11\nvel=300\ninc=45\nazi=90\nalt=40000\nwazi=270\n"
     "wvel=10\nloss=20\noform=pdvam\n",
     false, plainRun},
};
#undef STONE

// Runs the program's own sequence (defaults, settings, set-up, loop, summary) on files in `dir`.
RunOutput runProgramOn(const TempDir& dir, RunContext& run) {
    const std::string scenario = dir.file("scenario.txt");
    const std::string track = dir.file("track.txt");
    const std::string precision = dir.file("Kestro.ini");
    const InProcessRun result = runInProcess(run, scenario, track, precision);
    EXPECT_EQ(result.status, exitCompleted);
    RunOutput out;
    out.summary = result.summary;
    const FlightState& f = run.flight;
    const EnvironmentSample& e = run.environment;
    out.state = FinalState{{f.position.x, f.position.y, f.position.z, f.velocity.x, f.velocity.y,
                            f.velocity.z, f.time, f.currentMass, run.body.dragCoefficient,
                            e.airDensity, e.windAzimuth, e.windSpeed}};
    const std::string table = test::readFile(track);
    const size_t headerEnd = table.find('\n');
    if (headerEnd != std::string::npos) out.rows = table.substr(headerEnd + 1);
    return out;
}

ReferenceInputs referenceInputsOf(const std::string& scenarioText,
                                  const std::string& precisionText) {
    const auto run = test::freshRun();
    test::readPrecisionText(*run, precisionText);
    EXPECT_TRUE(test::readScenarioText(*run, scenarioText));
    if (run->scenario.wdata) loadWindProfile(*run);
    ReferenceInputs in;
    in.precision = run->precision;
    in.scenario = run->scenario;
    if (run->scenario.wdata) {
        for (int i = 0; i < run->windProfile.count; ++i) {
            const WindProfileRow& row = run->windProfile.rows[i];
            in.profile.push_back(ProfileRow{row.altitude, row.azimuth, row.speed});
        }
    }
    return in;
}

// Index of the first line in which the two texts differ, and both lines.
std::string firstDifference(const std::string& got, const std::string& want) {
    size_t start = 0;
    int line = 1;
    while (true) {
        const size_t gotEnd = got.find('\n', start), wantEnd = want.find('\n', start);
        const std::string g =
            got.substr(start, gotEnd == std::string::npos ? got.npos : gotEnd - start);
        const std::string w =
            want.substr(start, wantEnd == std::string::npos ? want.npos : wantEnd - start);
        if (g != w || gotEnd != wantEnd) {
            return "row " + std::to_string(line) + "\n  loop:      [" + g + "]\n  reference: [" +
                   w + "]";
        }
        if (gotEnd == std::string::npos) return "no difference";
        start = gotEnd + 1;
        ++line;
    }
}

void PrintTo(const Scenario& scenario, std::ostream* os) {
    *os << scenario.name;
}

class ReferenceStep : public ::testing::TestWithParam<Scenario> {};

TEST_P(ReferenceStep, LoopWritesTheRowsAndSummaryOfThePlainFormulas) {
    const Scenario& c = GetParam();
    TempDir dir;
    std::string scenarioText = c.scenario;
    if (c.profile) {
        test::writeFile(dir.file("wind.txt"), windProfileText());
        scenarioText += "atmfile=" + dir.file("wind.txt") + "\n";
    }
    test::writeFile(dir.file("scenario.txt"), scenarioText);
    test::writeFile(dir.file("Kestro.ini"), c.precision);

    const auto run = test::freshRun();
    const RunOutput loop = runProgramOn(dir, *run);
    ReferenceFacts facts;
    const RunOutput reference =
        ReferenceRun(referenceInputsOf(scenarioText, c.precision)).run(facts);

    ASSERT_FALSE(reference.rows.empty());
    EXPECT_TRUE(loop.rows == reference.rows) << firstDifference(loop.rows, reference.rows);
    EXPECT_EQ(loop.summary, reference.summary);
    for (int i = 0; i < 12; ++i) {
        // Same bits, so that a difference the printed decimals round away still shows.
        EXPECT_TRUE(test::sameDouble(loop.state.values[i], reference.state.values[i]))
            << finalStateNames[i] << " (got: loop, want: reference)";
    }

    // The scenario must reach what it was chosen for.
    if (c.reaches & machUp) {
        EXPECT_GE(facts.machUpCrossings, 1);
    }
    if (c.reaches & machDown) {
        EXPECT_GE(facts.machDownCrossings, 1);
    }
    if (c.reaches & massZero) {
        EXPECT_TRUE(facts.massReachedZero);
    }
    if (c.reaches & oneStep) {
        EXPECT_EQ(facts.steps, 1);
    }
    if (c.reaches & airless) {
        EXPECT_TRUE(facts.airlessStep);
    }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, ReferenceStep, ::testing::ValuesIn(scenarios),
                         [](const ::testing::TestParamInfo<Scenario>& param) {
                             return std::string(param.param.name);
                         });

}  // namespace
}  // namespace kestro
