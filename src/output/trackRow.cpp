#include "output/trackRow.h"

#include <cmath>

#include "output/outputFormat.h"
#include "run/runContext.h"

namespace kestro {

namespace {

constexpr double pi = 3.141592653589793;
// Below this (m/s) in both horizontal components the motion counts as vertical: azimuth 0.
constexpr double verticalMotionThreshold = 0.0000001;

// Radians to degrees: multiply by 180, then by 1/pi. The order fixes the last decimals, which
// show at latitude +-90 where longitudes have fourteen integer digits.
double radiansToDegrees(double radians) {
    return radians * 180.0 * (1.0 / pi);
}

struct FieldWriter {
    char* out;
    bool tab;
    // The first field of a line has no separator; every later one a tab or two spaces.
    void field(double value, int precision, bool first = false) {
        if (!first) {
            if (tab) {
                *out++ = '\t';
            } else {
                *out++ = ' ';
                *out++ = ' ';
            }
        }
        out = appendFixed(out, value, precision, tab ? 0 : 10);
    }
};

}  // namespace

bool openTrackTable(TrackTable& trackTable, const char* path) {
    trackTable = TrackTable{};
    trackTable.file = std::fopen(path, "w");
    return trackTable.file != nullptr;
}

void writeTrackText(TrackTable& trackTable, const char* text, std::size_t length) {
    if (trackTable.file == nullptr) return;
    if (std::fwrite(text, 1, length, trackTable.file) != length) trackTable.writeFailed = true;
}

bool closeTrackTable(TrackTable& trackTable) {
    if (trackTable.file == nullptr) return !trackTable.writeFailed;
    bool complete = !trackTable.writeFailed;
    if (std::fflush(trackTable.file) != 0 || std::ferror(trackTable.file)) complete = false;
    if (std::fclose(trackTable.file) != 0) complete = false;
    trackTable.file = nullptr;
    trackTable.writeFailed = !complete;
    return complete;
}

int formatTrackRow(RunContext& run, char* buffer, const OutputFormat& format) {
    const FlightState& flight = run.flight;
    const ScenarioParameters& scenario = run.scenario;
    const EnvironmentSample& environment = run.environment;
    const double x = flight.position.x;
    const double z = flight.position.z;
    const Vector3& v = flight.velocity;

    FieldWriter writer{buffer, format.tabLayout};
    writer.field(flight.time, 2, true);
    writer.field(flight.position.y, 2);
    if (format.position) {
        const double radius = environment.earthRadius;
        writer.field(radiansToDegrees(x / radius + scenario.lat), 6);
        // A flat projection around the launch point: the launch latitude's cosine throughout.
        writer.field(radiansToDegrees(z / (radius * std::cos(scenario.lat)) + scenario.lon), 6);
    }
    if (format.offsets) {
        writer.field(x, 2);
        writer.field(z, 2);
        writer.field(std::sqrt(x * x + z * z), 2);
    }
    if (format.motion) {
        const double speed = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
        // Where the body comes from, the reverse of its horizontal motion, in [0, 360).
        double azimuth = 0.0;
        if (std::fabs(v.x) >= verticalMotionThreshold ||
            std::fabs(v.z) >= verticalMotionThreshold) {
            azimuth = radiansToDegrees(std::atan2(-v.z, -v.x));
        }
        if (azimuth < 0.0) azimuth += 360.0;
        // Positive while descending; at rest -asin(0) is negative zero and prints as -0.0000.
        const double q = speed == 0.0 ? 0.0 : v.y / speed;
        writer.field(radiansToDegrees(-std::asin(q)), 4);
        writer.field(azimuth, 4);
        writer.field(speed, 4);
    }
    if (format.air) {
        writer.field(environment.windAzimuth, 3);
        writer.field(environment.windSpeed, 3);
        writer.field(environment.airDensity, 3);
    }
    if (format.mass) {
        writer.field(flight.currentMass, 5);
        writer.field(run.body.dragCoefficient, 3);
    }
    *writer.out = '\0';
    return static_cast<int>(writer.out - buffer);
}

void writeTrackRow(RunContext& run, TrackTable& trackTable, const OutputFormat& format) {
    char* row = run.rowBuffer.text;
    int length = formatTrackRow(run, row, format);
    if (format.decimalComma) {
        for (int i = 0; i < length; ++i) {
            if (row[i] == '.') row[i] = ',';
        }
    }
    row[length++] = '\n';
    writeTrackText(trackTable, row, static_cast<std::size_t>(length));
}

}  // namespace kestro
