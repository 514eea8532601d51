// The summary line printed after a completed run: the end state, body density, initial mass.
#pragma once

#include <cstdio>

namespace kestro {

struct RunContext;
struct TrackTable;

enum class SummaryResult {
    printed,               // track table complete, summary line written
    trackTableIncomplete,  // a write, flush or close of the track table failed: nothing printed
    summaryNotWritten,     // the summary line itself could not be written
    resultNotFinite,       // a value of the line is infinite or not a number: nothing printed
};

// Closes the track table, then prints "SUCCESS\t<row pdvxm>\t<density %.3f>\t<mass %.5f>\n" on
// `out`, but only when the track table was written completely and every value of the line is a
// finite number: a landing point of NAN is no result, and no SUCCESS line may carry one.
SummaryResult printRunSummary(RunContext& run, TrackTable& trackTable, std::FILE* out);

}  // namespace kestro
