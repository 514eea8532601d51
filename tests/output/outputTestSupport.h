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

}  // namespace kestro::test
