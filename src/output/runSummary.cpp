#include "output/runSummary.h"

#include <cstring>

#include "output/numberFormat.h"
#include "output/outputFormat.h"
#include "output/trackRow.h"
#include "run/runContext.h"

namespace kestro {

SummaryResult printRunSummary(RunContext& run, TrackTable& trackTable, std::FILE* out) {
    if (!closeTrackTable(trackTable)) return SummaryResult::trackTableIncomplete;

    char* line = run.rowBuffer.text;
    constexpr char prefix[] = "SUCCESS\t";
    std::memcpy(line, prefix, sizeof prefix - 1);
    char* end = line + (sizeof prefix - 1);
    // The fixed letters "pdvxm": tab layout, every group but the wind, never a decimal comma.
    end += formatTrackRow(run, end, outputFormatFromLetters("pdvxm"));
    *end++ = '\t';
    end = appendFixed(end, run.body.bodyDensity, 3, 0);
    *end++ = '\t';
    end = appendFixed(end, run.scenario.mass, 5, 0);
    *end++ = '\n';

    const auto length = static_cast<std::size_t>(end - line);
    // A value that is not finite is written +INF, -INF, +NAN or -NAN; no number has an I or N.
    if (std::memchr(line, 'I', length) != nullptr || std::memchr(line, 'N', length) != nullptr) {
        return SummaryResult::resultNotFinite;
    }
    if (std::fwrite(line, 1, length, out) != length || std::fflush(out) != 0) {
        return SummaryResult::summaryNotWritten;
    }
    return SummaryResult::printed;
}

}  // namespace kestro
