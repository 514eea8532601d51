// The checks behind the fuzz targets, shared with the test suite that replays their corpus and
// every input that once broke one of them. Each check runs the library on one input of arbitrary
// bytes and returns a description of the first broken expectation, or an empty text.
//
// Expectations come from a small model of the reading rules written here from scratch (lines
// and their 999-character pieces, CR dropped, Ctrl-Z, NUL, "key=value", numbers through the C
// library's strtod) and from the C library's printf for every number the summary line shows;
// the rest are invariants that hold whatever the input.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "environment/windProfile.h"
#include "flight/integrationLoop.h"
#include "output/outputFormat.h"
#include "output/runSummary.h"
#include "output/trackRow.h"
#include "run/runContext.h"
#include "run/runSequence.h"
#include "settings/lineInput.h"
#include "settings/precisionSettings.h"
#include "settings/scenarioParameters.h"

namespace kestro::fuzz {

// ---------------------------------------------------------------------------------------------
// Small helpers

inline std::string textf(const char* pattern, ...) __attribute__((format(printf, 1, 2)));
inline std::string textf(const char* pattern, ...) {
    char text[4096];
    va_list arguments;
    va_start(arguments, pattern);
    std::vsnprintf(text, sizeof text, pattern, arguments);
    va_end(arguments);
    return text;
}

inline bool sameBits(double a, double b) {
    std::uint64_t x = 0;
    std::uint64_t y = 0;
    std::memcpy(&x, &a, sizeof x);
    std::memcpy(&y, &b, sizeof y);
    return x == y;
}

inline std::string describe(double value) {
    return textf("%.17g (%a)", value, value);
}

// A run context with every default in place. One context serves every input of a process, as a
// context may serve several runs: the defaults reset it whole (and allocating its 5000-row wind
// table afresh for every input would cost more than the input's run).
inline RunContext& freshRun() {
    static const std::unique_ptr<RunContext> run = std::make_unique<RunContext>();
    applyRunDefaults(*run);
    return *run;
}

// An input that reads `bytes` from memory, NUL bytes included; close it with closeTextInput.
// The bytes must outlive the input.
inline TextInput inputFromBytes(std::string_view bytes) {
    TextInput input;
    if (bytes.empty()) {
        input.file = std::fopen("/dev/null", "r");  // fmemopen refuses a size of 0
    } else {
        input.file = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "r");
    }
    return input;
}

inline bool writeBytes(const std::string& path, std::string_view bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

inline std::string readBytes(const std::string& path) {
    std::string content;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return content;
    char chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) content.append(chunk, got);
    std::fclose(file);
    return content;
}

// A deterministic stream of numbers derived from the input, so that a crash replays exactly.
struct InputRandom {
    std::uint64_t state;
    explicit InputRandom(std::string_view bytes) : state(1469598103934665603ULL) {
        for (const char c : bytes)
            state = (state ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    }
    std::uint64_t next() {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return state >> 17;
    }
    double unit() { return static_cast<double>(next() % 1000001) / 1000000.0; }  // 0 to 1
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
};

// ---------------------------------------------------------------------------------------------
// The reading rules, modelled independently of the library

constexpr std::size_t pieceLength = 999;  // characters of one line piece (the buffer less its NUL)

// The text a reader sees: everything before the first Ctrl-Z, without any CR.
inline std::string textAsRead(std::string_view bytes) {
    std::string text;
    for (const char c : bytes) {
        if (c == '\x1a') break;
        if (c != '\r') text.push_back(c);
    }
    return text;
}

// The lines a reader acts on, in order: the text cut at each LF and into pieces of at most 999
// characters (an LF counts toward its piece), each piece's text ending at its first NUL, the LF
// removed, empty ones left out. At most `limit` lines.
inline std::vector<std::string> nonEmptyLines(std::string_view bytes,
                                              std::size_t limit = SIZE_MAX) {
    const std::string text = textAsRead(bytes);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size() && lines.size() < limit) {
        std::size_t end = start;
        while (end < text.size() && end - start < pieceLength) {
            if (text[end++] == '\n') break;
        }
        std::string line = text.substr(start, end - start);
        line = line.substr(0, std::strlen(line.c_str()));  // up to the first NUL
        if (!line.empty() && line.back() == '\n') line.pop_back();
        if (!line.empty()) lines.push_back(line);
        start = end;
    }
    return lines;
}

inline bool isCSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
inline bool isDigitChar(char c) {
    return c >= '0' && c <= '9';
}

// The number rule: the decimal number (never hexadecimal, infinity or NaN) that starts the text
// after white space, converted by the C library's strtod; 0 when there is none.
inline double decimalNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isCSpace(text[i])) ++i;
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < text.size() && isDigitChar(text[i])) ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && isDigitChar(text[i])) ++i, ++digits;
    }
    if (digits == 0) return 0.0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t e = i + 1;
        if (e < text.size() && (text[e] == '+' || text[e] == '-')) ++e;
        if (e < text.size() && isDigitChar(text[e])) {
            while (e < text.size() && isDigitChar(text[e])) ++e;
            i = e;
        }
    }
    const std::string number(text.substr(start, i - start));
    return std::strtod(number.c_str(), nullptr);
}

// The whole-number rule: atol, then clamped to the 32-bit range.
inline std::int32_t wholeNumber(const std::string& text) {
    const long value = std::strtol(text.c_str(), nullptr, 10);
    return static_cast<std::int32_t>(std::clamp<long>(value, INT32_MIN, INT32_MAX));
}

inline std::string lowerLetters(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

inline bool trueValue(const std::string& value) {
    return lowerLetters(value) == "true";
}

// The keywords of both files in their documented order.
constexpr const char* keywordNames[] = {
    "lat",      "lon",     "cw",   "cwx",    "atmfile", "wdata", "wazi",     "wvel",    "tnn",
    "tgrad",    "oform",   "mass", "loss",   "inc",     "azi",   "vel",      "alt",     "dia",
    "stopflag", "stopval", "hpdt", "hperad", "hpwnd",   "hpg",   "highprec", "lowprec", "tmax"};
constexpr int keywordNameCount = sizeof keywordNames / sizeof keywordNames[0];

// For each keyword, the value of the last line that names it, if any.
struct LastValues {
    std::optional<std::string> value[keywordNameCount];
    const std::optional<std::string>& operator[](const char* keyword) const {
        for (int i = 0; i < keywordNameCount; ++i) {
            if (std::strcmp(keywordNames[i], keyword) == 0) return value[i];
        }
        std::abort();
    }
};

inline LastValues lastValues(std::string_view bytes) {
    LastValues last;
    for (const std::string& line : nonEmptyLines(bytes)) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = lowerLetters(line.substr(0, equals));
        for (int i = 0; i < keywordNameCount; ++i) {
            if (key == keywordNames[i]) last.value[i] = line.substr(equals + 1);
        }
    }
    return last;
}

inline ScenarioParameters expectedScenario(const LastValues& last) {
    constexpr double pi = 3.141592653589793;
    ScenarioParameters s;  // the defaults
    auto number = [&](const char* keyword, double& field, double scale = 1.0) {
        if (last[keyword]) field = decimalNumber(*last[keyword]) * scale;
    };
    auto angle = [&](const char* keyword, double& field) {
        if (last[keyword]) field = decimalNumber(*last[keyword]) * (1.0 / 180.0) * pi;
    };
    auto text = [&](const char* keyword, char* field, bool lower) {
        if (!last[keyword]) return;
        const std::string value = lower ? lowerLetters(*last[keyword]) : *last[keyword];
        std::snprintf(field, scenarioTextCapacity, "%s", value.c_str());
    };
    angle("lat", s.lat);
    angle("lon", s.lon);
    number("cw", s.cw);
    if (last["cwx"]) s.cwx = trueValue(*last["cwx"]);
    text("atmfile", s.atmfile, false);
    if (last["wdata"]) s.wdata = trueValue(*last["wdata"]);
    number("wazi", s.wazi);
    number("wvel", s.wvel);
    number("tnn", s.tnn);
    text("oform", s.oform, true);
    number("mass", s.mass);
    number("loss", s.loss, 0.01);
    number("inc", s.inc);
    number("azi", s.azi);
    number("vel", s.vel);
    number("alt", s.alt);
    number("dia", s.dia, 0.001);
    if (last["stopflag"]) s.stopflag = wholeNumber(*last["stopflag"]);
    number("stopval", s.stopval);
    return s;
}

// Flyable: a positive mass and diameter, every number finite, and a loss (limited to 0..0.9999)
// that is 0 or has a speed whose square is not 0 to spread over.
inline bool expectedValid(const ScenarioParameters& s) {
    const double numbers[] = {s.lat,  s.lon, s.cw,  s.wazi, s.wvel, s.tnn, s.mass,
                              s.loss, s.inc, s.azi, s.vel,  s.alt,  s.dia, s.stopval};
    for (const double n : numbers) {
        if (!std::isfinite(n)) return false;
    }
    const double loss = std::min(std::max(s.loss, 0.0), 0.9999);
    return s.dia > 0.0 && s.mass > 0.0 && (loss == 0.0 || s.vel * s.vel != 0.0);
}

inline PrecisionSettings expectedPrecision(const LastValues& last) {
    PrecisionSettings p;  // the defaults
    if (last["hpdt"]) p.hpdt = trueValue(*last["hpdt"]);
    if (last["hperad"]) p.hperad = trueValue(*last["hperad"]);
    if (last["hpwnd"]) p.hpwnd = trueValue(*last["hpwnd"]);
    if (last["hpg"]) p.hpg = trueValue(*last["hpg"]);
    if (last["tmax"]) p.tmax = decimalNumber(*last["tmax"]);
    const bool all[] = {false, true};  // lowprec acts first, highprec last
    const char* switches[] = {"lowprec", "highprec"};
    for (int i = 0; i < 2; ++i) {
        if (last[switches[i]] && trueValue(*last[switches[i]])) {
            p.hpdt = p.hperad = p.hpwnd = p.hpg = all[i];
        }
    }
    return p;
}

inline std::string compareScenario(const ScenarioParameters& got, const ScenarioParameters& want) {
    struct Number {
        const char* name;
        double got, want;
    };
    const Number numbers[] = {
        {"lat", got.lat, want.lat},    {"lon", got.lon, want.lon},
        {"cw", got.cw, want.cw},       {"wazi", got.wazi, want.wazi},
        {"wvel", got.wvel, want.wvel}, {"tnn", got.tnn, want.tnn},
        {"mass", got.mass, want.mass}, {"loss", got.loss, want.loss},
        {"inc", got.inc, want.inc},    {"azi", got.azi, want.azi},
        {"vel", got.vel, want.vel},    {"alt", got.alt, want.alt},
        {"dia", got.dia, want.dia},    {"stopval", got.stopval, want.stopval},
    };
    for (const Number& n : numbers) {
        if (!sameBits(n.got, n.want)) {
            return textf("scenario %s: got %s, want %s", n.name, describe(n.got).c_str(),
                         describe(n.want).c_str());
        }
    }
    if (got.cwx != want.cwx) return textf("scenario cwx: got %d", got.cwx);
    if (got.wdata != want.wdata) return textf("scenario wdata: got %d", got.wdata);
    if (got.stopflag != want.stopflag) {
        return textf("scenario stopflag: got %d, want %d", got.stopflag, want.stopflag);
    }
    if (std::memchr(got.atmfile, '\0', scenarioTextCapacity) == nullptr) {
        return "scenario atmfile has no end";
    }
    if (std::memchr(got.oform, '\0', scenarioTextCapacity) == nullptr) {
        return "scenario oform has no end";
    }
    if (std::strcmp(got.atmfile, want.atmfile) != 0) return "scenario atmfile differs";
    if (std::strcmp(got.oform, want.oform) != 0) return "scenario oform differs";
    return {};
}

inline std::string comparePrecision(const PrecisionSettings& got, const PrecisionSettings& want) {
    if (got.hpdt != want.hpdt || got.hperad != want.hperad || got.hpwnd != want.hpwnd ||
        got.hpg != want.hpg) {
        return textf("precision switches: got %d%d%d%d, want %d%d%d%d", got.hpdt, got.hperad,
                     got.hpwnd, got.hpg, want.hpdt, want.hperad, want.hpwnd, want.hpg);
    }
    if (!sameBits(got.tmax, want.tmax)) {
        return textf("precision tmax: got %s, want %s", describe(got.tmax).c_str(),
                     describe(want.tmax).c_str());
    }
    return {};
}

// ---------------------------------------------------------------------------------------------
// Target 1: both settings readers on arbitrary bytes

inline std::string checkSettingsInput(std::string_view bytes) {
    const LastValues last = lastValues(bytes);
    const ScenarioParameters wantScenario = expectedScenario(last);
    const PrecisionSettings wantPrecision = expectedPrecision(last);
    const ScenarioParameters defaultScenario;

    // The precision reader first, as a run does; each reader keeps to its own keywords.
    RunContext& run = freshRun();
    TextInput input = inputFromBytes(bytes);
    readPrecisionSettings(run, input);
    const bool precisionFinished = textInputFinished(input);
    closeTextInput(input);
    if (!precisionFinished) return "precision reader returned before the end of its input";
    std::string fault = comparePrecision(run.precision, wantPrecision);
    if (!fault.empty()) return fault;
    fault = compareScenario(run.scenario, defaultScenario);
    if (!fault.empty()) return "precision reader changed the " + fault;

    input = inputFromBytes(bytes);
    const bool valid = readScenarioParameters(run, input);
    const bool scenarioFinished = textInputFinished(input);
    closeTextInput(input);
    if (!scenarioFinished) return "scenario reader returned before the end of its input";
    fault = compareScenario(run.scenario, wantScenario);
    if (!fault.empty()) return fault;
    fault = comparePrecision(run.precision, wantPrecision);
    if (!fault.empty()) return "scenario reader changed the " + fault;
    if (valid != expectedValid(wantScenario)) {
        return textf("scenario judged %s", valid ? "valid" : "invalid");
    }
    return {};
}

// ---------------------------------------------------------------------------------------------
// Target 2: the wind profile loader on arbitrary bytes, then lookups that climb and fall

inline bool isWindSeparator(char c) {
    return c == ',' || c == ';' || c == ' ' || c == '\t';
}

inline WindProfileRow expectedWindRow(const std::string& line) {
    double fields[4] = {0.0, 0.0, 0.0, 0.0};
    std::size_t i = 0;
    for (int field = 0; field < 4; ++field) {
        while (i < line.size() && isWindSeparator(line[i])) ++i;
        if (i == line.size()) break;
        const std::size_t start = i;
        while (i < line.size() && !isWindSeparator(line[i])) ++i;
        fields[field] = decimalNumber(std::string_view(line).substr(start, i - start));
    }
    return WindProfileRow{fields[0], fields[1], fields[2], fields[3]};
}

// Interpolated values may overflow when rows hold values near the largest double (a difference
// of two of them is infinite); below this magnitude nothing overflows.
constexpr double safeMagnitude = 1e300;

inline std::string checkWindLookup(RunContext& run, double h) {
    const WindProfile& profile = run.windProfile;
    const WindProfileRow* rows = profile.rows;
    const int last = profile.count - 1;
    const WindAtAltitude wind = windAtAltitude(run, h);
    const int c = profile.cursor;
    if (c < 0 || c > last)
        return textf("cursor %d outside 0..%d at h=%s", c, last, describe(h).c_str());
    if (std::isnan(h)) return {};
    if (c > 0 && h < rows[c].altitude) {
        return textf("cursor %d on a row above h=%s", c, describe(h).c_str());
    }

    bool ascending = true;
    for (int i = 0; i < last; ++i) ascending = ascending && rows[i].altitude < rows[i + 1].altitude;
    if (ascending && std::isfinite(rows[0].altitude) && std::isfinite(rows[last].altitude)) {
        // The last row at or below h, or the first row below them all.
        const auto above =
            std::upper_bound(rows, rows + last + 1, h,
                             [](double a, const WindProfileRow& r) { return a < r.altitude; });
        const int want = std::max(0, static_cast<int>(above - rows) - 1);
        if (c != want) return textf("cursor %d, want %d at h=%s", c, want, describe(h).c_str());
    }

    const bool between = run.precision.hpwnd && c < last && !(c == 0 && h < rows[0].altitude);
    if (!between) {
        if (!sameBits(wind.azimuth, rows[c].azimuth) || !sameBits(wind.speed, rows[c].speed)) {
            return textf("wind at h=%s is not row %d's", describe(h).c_str(), c);
        }
        return {};
    }
    const double values[] = {h,
                             rows[c].altitude,
                             rows[c + 1].altitude,
                             rows[c].azimuth,
                             rows[c + 1].azimuth,
                             rows[c].speed,
                             rows[c + 1].speed};
    for (const double v : values) {
        if (!(std::fabs(v) <= safeMagnitude)) return {};
    }
    if (h == rows[c].altitude && (wind.azimuth != rows[c].azimuth || wind.speed != rows[c].speed)) {
        return textf("wind on row %d's altitude is not that row's", c);
    }
    const double got[2] = {wind.azimuth, wind.speed};
    const double a[2] = {rows[c].azimuth, rows[c].speed};
    const double b[2] = {rows[c + 1].azimuth, rows[c + 1].speed};
    for (int k = 0; k < 2; ++k) {
        // Between the two rows' values, up to the rounding of one multiply-add.
        const double slack = 1e-12 * (std::fabs(a[k]) + std::fabs(b[k]));
        if (!(got[k] >= std::min(a[k], b[k]) - slack && got[k] <= std::max(a[k], b[k]) + slack)) {
            return textf("wind %s at h=%s between rows %d and %d is outside their values",
                         describe(got[k]).c_str(), describe(h).c_str(), c, c + 1);
        }
    }
    return {};
}

// Altitudes that walk down through the table and up again, then jump about, then leave it.
inline std::vector<double> lookupAltitudes(const WindProfile& profile, InputRandom& random) {
    double low = 0.0;
    double high = 0.0;
    for (int i = 0; i < profile.count; ++i) {
        const double a = profile.rows[i].altitude;
        if (!std::isfinite(a)) continue;
        low = std::min(low, a);
        high = std::max(high, a);
    }
    const double margin = std::min(1e300, std::max(1.0, (high - low) * 0.1));
    std::vector<double> heights;
    const int walk = 24;
    for (int i = 0; i <= walk; ++i) {
        heights.push_back(high + margin - (high - low + 2 * margin) * i / walk);
    }
    for (int i = 0; i <= walk; ++i) {
        heights.push_back(low - margin + (high - low + 2 * margin) * i / walk);
    }
    for (int i = 0; i < 48; ++i) {
        const int row = random.below(profile.count);
        const double a = profile.rows[row].altitude;
        const int next = std::min(row + 1, profile.count - 1);
        switch (random.below(4)) {
            case 0: heights.push_back(a); break;
            case 1: heights.push_back(a + (profile.rows[next].altitude - a) * random.unit()); break;
            case 2: heights.push_back(std::nextafter(a, -INFINITY)); break;
            default: heights.push_back(low + (high - low) * random.unit()); break;
        }
    }
    const double extremes[] = {-1e308, 1e308, INFINITY, -INFINITY, NAN, high, low};
    heights.insert(heights.end(), std::begin(extremes), std::end(extremes));
    return heights;
}

inline std::string checkWindProfileInput(std::string_view bytes, const std::string& folder) {
    const std::string path = folder + "/wind.txt";
    if (!writeBytes(path, bytes)) return "cannot write the wind profile file";
    RunContext& run = freshRun();
    std::snprintf(run.scenario.atmfile, scenarioTextCapacity, "%s", path.c_str());
    run.scenario.wdata = true;
    run.scenario.wazi = 12.5;
    run.scenario.wvel = 3.25;
    loadWindProfile(run);
    const WindProfile& profile = run.windProfile;

    const std::vector<std::string> lines = nonEmptyLines(bytes, windProfileCapacity);
    const int want = static_cast<int>(lines.size());
    if (profile.count != want) return textf("rows loaded %d, want %d", profile.count, want);
    for (int i = 0; i < want; ++i) {
        const WindProfileRow row = expectedWindRow(lines[static_cast<std::size_t>(i)]);
        const WindProfileRow& got = profile.rows[i];
        if (!sameBits(got.altitude, row.altitude) || !sameBits(got.azimuth, row.azimuth) ||
            !sameBits(got.speed, row.speed) || !sameBits(got.extra, row.extra)) {
            return textf("row %d: got %s %s %s %s", i, describe(got.altitude).c_str(),
                         describe(got.azimuth).c_str(), describe(got.speed).c_str(),
                         describe(got.extra).c_str());
        }
    }
    if (run.scenario.wdata != (want >= 2))
        return textf("wdata %d with %d rows", run.scenario.wdata, want);
    const double wantAzimuth = want == 1 ? profile.rows[0].azimuth : 12.5;
    const double wantSpeed = want == 1 ? profile.rows[0].speed : 3.25;
    if (!sameBits(run.scenario.wazi, wantAzimuth) || !sameBits(run.scenario.wvel, wantSpeed)) {
        return "constant wind after the load is wrong";
    }
    if (!run.scenario.wdata) return {};

    InputRandom random(bytes);
    const std::vector<double> heights = lookupAltitudes(profile, random);
    for (const bool interpolate : {true, false}) {
        run.precision.hpwnd = interpolate;
        resetWindCursor(run);
        if (profile.cursor != profile.count - 1) return "cursor not on the last row after reset";
        for (const double h : heights) {
            const std::string fault = checkWindLookup(run, h);
            if (!fault.empty()) return fault + (interpolate ? " (hpwnd on)" : " (hpwnd off)");
        }
    }
    return {};
}

// ---------------------------------------------------------------------------------------------
// Target 3: a whole run from scenario, "Kestro.ini" and wind profile bytes

// Separates the three parts of a run input: scenario, then "Kestro.ini", then wind profile. A
// part that is missing leaves its file absent (for the scenario: empty).
constexpr std::string_view partSeparator = "\n#####\n";

// The longest time limit the harness lets a run have, so that each input runs quickly.
constexpr double harnessTimeLimit = 2.0;  // s

// printf's fixed-point text, with the library's spelling of infinities and NaN.
inline std::string printfFixed(double value, int precision) {
    if (std::isnan(value)) return std::signbit(value) ? "-NAN" : "+NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "+INF";
    return textf("%.*f", precision, value);
}

inline std::vector<std::string> splitFields(const std::string& line, bool tabsOnly) {
    std::vector<std::string> fields;
    std::string field;
    bool inField = false;
    for (const char c : line) {
        const bool separator = c == '\t' || (!tabsOnly && c == ' ');
        if (separator) {
            if (tabsOnly || inField) fields.push_back(field);
            field.clear();
            inField = false;
        } else {
            field.push_back(c);
            inField = true;
        }
    }
    if (tabsOnly || inField) fields.push_back(field);
    return fields;
}

inline std::string checkTrackTable(const RunContext& run, const std::string& table) {
    if (table.empty() || table.back() != '\n') return "track table does not end with a line end";
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < table.size()) {
        const std::size_t end = table.find('\n', start);
        lines.push_back(table.substr(start, end - start));
        start = end + 1;
    }
    const std::size_t rows = lines.size() - 1;
    const std::size_t most =
        static_cast<std::size_t>(run.loop.timeLimit / run.loop.rowInterval) + 3;
    if (rows < 1 || rows > most) return textf("track table has %zu rows", rows);
    const bool tab = run.outputFormat.tabLayout;
    const std::size_t columns = splitFields(lines[0], tab).size();
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].size() >= static_cast<std::size_t>(rowBufferCapacity)) {
            return textf("track row %zu is %zu characters long", i, lines[i].size());
        }
        if (splitFields(lines[i], tab).size() != columns) {
            return textf("track row %zu has not the header's %zu columns: %s", i, columns,
                         lines[i].c_str());
        }
    }
    return {};
}

inline std::string checkSummary(const RunContext& run, const std::string& summary) {
    if (summary.empty() || summary.back() != '\n' || summary.find('\n') != summary.size() - 1) {
        return "summary is not one line";
    }
    const std::vector<std::string> fields =
        splitFields(summary.substr(0, summary.size() - 1), true);
    if (fields.size() != 15 || fields[0] != "SUCCESS") {
        return "summary has not SUCCESS and 14 numbers: " + summary;
    }
    const FlightState& flight = run.flight;
    struct Field {
        std::size_t index;
        double value;
        int precision;
        const char* name;
    };
    const Field checked[] = {
        {1, flight.time, 2, "time"},
        {2, flight.position.y, 2, "altitude"},
        {5, flight.position.x, 2, "north offset"},
        {6, flight.position.z, 2, "east offset"},
        {11, flight.currentMass, 5, "mass"},
        {12, run.body.dragCoefficient, 3, "drag coefficient"},
        {13, run.body.bodyDensity, 3, "body density"},
        {14, run.scenario.mass, 5, "initial mass"},
    };
    for (const Field& f : checked) {
        const std::string want = printfFixed(f.value, f.precision);
        if (fields[f.index] != want) {
            return textf("summary %s: got %s, want %s (%s)", f.name, fields[f.index].c_str(),
                         want.c_str(), describe(f.value).c_str());
        }
    }
    return {};
}

inline std::string checkRunInput(std::string_view bytes, const std::string& folder) {
    std::string_view parts[3];
    std::size_t partCount = 0;
    std::string_view rest = bytes;
    while (partCount < 2) {
        const std::size_t at = rest.find(partSeparator);
        if (at == std::string_view::npos) break;
        parts[partCount++] = rest.substr(0, at);
        rest = rest.substr(at + partSeparator.size());
    }
    parts[partCount++] = rest;

    const std::string scenarioPath = folder + "/scenario.txt";
    const std::string settingsPath = folder + "/Kestro.ini";
    const std::string windPath = folder + "/wind.txt";
    const std::string trackPath = folder + "/track.txt";
    const std::string summaryPath = folder + "/summary.txt";
    unlink(settingsPath.c_str());
    unlink(windPath.c_str());
    if (!writeBytes(scenarioPath, parts[0])) return "cannot write the scenario";
    if (partCount > 1 && !writeBytes(settingsPath, parts[1])) return "cannot write Kestro.ini";
    if (partCount > 2 && !writeBytes(windPath, parts[2])) return "cannot write the wind profile";

    RunContext& run = freshRun();
    TextInput input;
    if (openTextInput(input, settingsPath.c_str())) {
        readPrecisionSettings(run, input);
        closeTextInput(input);
    }
    if (!(run.precision.tmax > 0.0 && run.precision.tmax <= harnessTimeLimit)) {
        run.precision.tmax = harnessTimeLimit;
    }
    if (!openTextInput(input, scenarioPath.c_str())) return "cannot open the scenario";
    const bool valid = readScenarioParameters(run, input);
    closeTextInput(input);
    // The wind profile is the input's third part, whatever path the scenario names; an empty
    // path stays empty (a profile that cannot be opened).
    if (run.scenario.atmfile[0] != '\0') {
        std::snprintf(run.scenario.atmfile, scenarioTextCapacity, "%s", windPath.c_str());
    }

    TrackTable trackTable;
    if (!openTrackTable(trackTable, trackPath.c_str())) return "cannot open the track table";
    bool flown = valid;
    if (flown) {
        run.outputFormat = outputFormatFromLetters(run.scenario.oform);
        if (run.scenario.wdata) {
            loadWindProfile(run);
            flown = windProfileIsFinite(run);
        }
    }
    if (!flown) {
        if (!closeTrackTable(trackTable)) return "closing an empty track table failed";
        if (!readBytes(trackPath).empty()) return "a refused run left rows in the track table";
        return {};
    }

    setUpRun(run, trackTable);
    runIntegrationLoop(run, trackTable, run.outputFormat);
    const bool ended = run.flight.position.y == 0.0 || run.loop.stopReached ||
                       run.flight.time >= run.loop.timeLimit;
    if (!ended) return textf("loop ended early at time %s", describe(run.flight.time).c_str());

    std::FILE* summaryFile = std::fopen(summaryPath.c_str(), "w");
    if (summaryFile == nullptr) return "cannot open the summary file";
    const SummaryResult result = printRunSummary(run, trackTable, summaryFile);
    std::fclose(summaryFile);
    const std::string summary = readBytes(summaryPath);
    std::string fault = checkTrackTable(run, readBytes(trackPath));
    if (!fault.empty()) return fault;
    if (result == SummaryResult::resultNotFinite) {
        // A flight that overflowed: no summary at all, only the rows written.
        return summary.empty() ? std::string() : "a summary over a result that is not finite";
    }
    if (result != SummaryResult::printed) return "summary not printed after a complete run";
    if (summary.find("INF") != std::string::npos || summary.find("NAN") != std::string::npos) {
        return "SUCCESS over a value that is not finite: " + summary;
    }
    return checkSummary(run, summary);
}

// A scratch folder for one fuzzing process, removed with its files when the process ends. Its
// name lives in a plain array, which no destructor can take away before the removal runs.
inline std::string scratchFolder() {
    static char folder[] = "/tmp/kestro-fuzz-XXXXXX";
    static const bool made = [] {
        if (mkdtemp(folder) == nullptr) std::abort();
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        });
        return true;
    }();
    (void)made;
    return folder;
}

// The libFuzzer side of a check: a broken expectation is a crash, with its description.
inline int reportFault(const std::string& fault) {
    if (!fault.empty()) {
        std::fprintf(stderr, "kestro fuzz: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}

}  // namespace kestro::fuzz
