// The track table's letter-selected layout and column groups, and its header line.
#pragma once

namespace kestro {

struct RunContext;
struct TrackTable;

// The letters of `oform`, each on when it occurs anywhere in the text.
struct OutputFormat {
    bool tabLayout = false;     // "x": tab-separated instead of 10-wide columns
    bool position = false;      // "p": latitude, longitude
    bool offsets = false;       // "d": north offset, east offset, horizontal distance
    bool motion = false;        // "v": inclination, azimuth, speed
    bool air = false;           // "a": wind azimuth, wind speed, air density
    bool mass = false;          // "m": mass, drag coefficient
    bool decimalComma = false;  // "c": decimal comma in the track rows only
};

// The switches of a letter text (already lower case); every other character is ignored.
OutputFormat outputFormatFromLetters(const char* letters);

// Writes the header line: time and altitude, then the groups p, d, v, a, m in that order.
void writeTrackHeader(RunContext& run, TrackTable& trackTable, const OutputFormat& format);

}  // namespace kestro
