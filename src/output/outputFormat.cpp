#include "output/outputFormat.h"

#include <cstring>

#include "output/trackRow.h"

namespace kestro {

OutputFormat outputFormatFromLetters(const char* letters) {
    OutputFormat format;
    format.tabLayout = std::strchr(letters, 'x') != nullptr;
    format.position = std::strchr(letters, 'p') != nullptr;
    format.offsets = std::strchr(letters, 'd') != nullptr;
    format.motion = std::strchr(letters, 'v') != nullptr;
    format.air = std::strchr(letters, 'a') != nullptr;
    format.mass = std::strchr(letters, 'm') != nullptr;
    format.decimalComma = std::strchr(letters, 'c') != nullptr;
    return format;
}

void writeTrackHeader(RunContext&, TrackTable& trackTable, const OutputFormat& format) {
    struct GroupHeader {
        bool on;
        const char* tab;
        const char* fixed;  // labels right-aligned in 10 characters, two spaces before each field
    };
    const GroupHeader groups[] = {
        {true, "time(s)\talt(m)", "   time(s)      alt(m)"},
        {format.position, "\tlat(dg)\tlon(dg)", "     lat(dg)     lon(dg)"},
        {format.offsets, "\tdlat(m)\tdlon(m)\tdis(m)", "     dlat(m)     dlon(m)      dis(m)"},
        {format.motion, "\tinc(dg)\taz(dg)\tvel(m/s)", "     inc(dg)      az(dg)    vel(m/s)"},
        {format.air, "\tw-az(dg)\tw-vel(m/s)\tdens", "    w-az(dg)  w-vel(m/s)        dens"},
        {format.mass, "\tmass(kg)\tCw", "    mass(kg)          Cw"},
    };
    for (const GroupHeader& group : groups) {
        if (!group.on) continue;
        const char* text = format.tabLayout ? group.tab : group.fixed;
        writeTrackText(trackTable, text, std::strlen(text));
    }
    writeTrackText(trackTable, "\n", 1);
}

}  // namespace kestro
