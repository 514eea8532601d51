// The track table file and its rows: the current state, derived values, formatted by group.
#pragma once

#include <cstddef>
#include <cstdio>

#include "output/numberFormat.h"

namespace kestro {

struct RunContext;
struct OutputFormat;

// Room for the widest possible row, so that no row is ever cut: up to 15 fields of the longest
// number with their separators, plus the summary line's prefix, two more numbers and its line end.
constexpr int rowBufferCapacity = 6144;
static_assert(rowBufferCapacity > 17 * (maxFixedNumberLength + 2) + 16);

struct RowBuffer {
    char text[rowBufferCapacity];
};

// The open track table. A write, flush or close that fails marks it, so that a run never
// reports success over a table that was not fully written.
struct TrackTable {
    std::FILE* file = nullptr;
    bool writeFailed = false;
};

// Creates or empties the file. False when it cannot be opened.
bool openTrackTable(TrackTable& trackTable, const char* path);
void writeTrackText(TrackTable& trackTable, const char* text, std::size_t length);
// Flushes and closes; true when every write, the flush and the close succeeded.
bool closeTrackTable(TrackTable& trackTable);

// Builds the row of the current state into `buffer` (rowBufferCapacity characters) in the layout
// and groups that `format` selects, without decimal comma or line end; returns its length.
int formatTrackRow(RunContext& run, char* buffer, const OutputFormat& format);

// Writes one row of the current state, with the decimal comma when "c" is set, and a line end.
void writeTrackRow(RunContext& run, TrackTable& trackTable, const OutputFormat& format);

}  // namespace kestro
