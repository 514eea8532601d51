// Helpers of the output tests: run a writer against a real track table file and read back
// exactly what reached the disk.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "output/trackRow.h"
#include "support/testSupport.h"

namespace kestro::test {

// Opens a track table in a temporary folder, lets `write` fill it, closes it and returns the
// file's bytes.
inline std::string trackTableText(const std::function<void(TrackTable&)>& write) {
    TempDir dir;
    TrackTable table;
    if (!openTrackTable(table, dir.file("track.txt").c_str())) return "<track table not opened>";
    write(table);
    closeTrackTable(table);
    return readFile(dir.file("track.txt"));
}

// Everything written to a temporary stream, read back from its start.
inline std::string streamText(std::FILE* stream) {
    std::string text;
    std::fflush(stream);
    std::rewind(stream);
    for (int c = std::fgetc(stream); c != EOF; c = std::fgetc(stream)) {
        text.push_back(static_cast<char>(c));
    }
    return text;
}

}  // namespace kestro::test
