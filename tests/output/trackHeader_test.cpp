// The track table header: which groups the oform letters select, their fixed order, and the
// exact texts of both layouts.

#include <gtest/gtest.h>

#include <string>

#include "output/outputFormat.h"
#include "outputTestSupport.h"

namespace kestro::test {
namespace {

// The group texts, written out by hand: each label right-aligned in 10 characters, two spaces
// before every field but the first of the line.
const std::string fixedTimeAltitude = "   time(s)      alt(m)";
const std::string fixedPosition = "     lat(dg)     lon(dg)";
const std::string fixedOffsets = "     dlat(m)     dlon(m)      dis(m)";
const std::string fixedMotion = "     inc(dg)      az(dg)    vel(m/s)";
const std::string fixedAir = "    w-az(dg)  w-vel(m/s)        dens";
const std::string fixedMass = "    mass(kg)          Cw";
const std::string tabTimeAltitude = "time(s)\talt(m)";
const std::string tabPosition = "\tlat(dg)\tlon(dg)";
const std::string tabOffsets = "\tdlat(m)\tdlon(m)\tdis(m)";
const std::string tabMotion = "\tinc(dg)\taz(dg)\tvel(m/s)";
const std::string tabAir = "\tw-az(dg)\tw-vel(m/s)\tdens";
const std::string tabMass = "\tmass(kg)\tCw";

std::string headerFor(const char* letters) {
    auto run = freshRun();
    const OutputFormat format = outputFormatFromLetters(letters);
    return trackTableText([&](TrackTable& table) { writeTrackHeader(*run, table, format); });
}

struct HeaderCase {
    const char* letters;
    std::string want;
    const char* why;
};

TEST(TrackHeader, LettersSelectGroupsInTheirFixedOrder) {
    const HeaderCase cases[] = {
        {"", fixedTimeAltitude + "\n", "no letters: time and altitude only"},
        {"x", tabTimeAltitude + "\n", "x alone: tab layout"},
        {"mpx", tabTimeAltitude + tabPosition + tabMass + "\n",
         "letter order does not matter: p before m"},
        {"ppq", fixedTimeAltitude + fixedPosition + "\n",
         "a repeated letter counts once, q is not a letter of the table"},
        {"c", fixedTimeAltitude + "\n", "the decimal comma never reaches the header"},
        {"m-a-v-d-p",
         fixedTimeAltitude + fixedPosition + fixedOffsets + fixedMotion + fixedAir + fixedMass +
             "\n",
         "other characters are ignored; groups come p, d, v, a, m"},
        {"xpdvam", tabTimeAltitude + tabPosition + tabOffsets + tabMotion + tabAir + tabMass + "\n",
         "all groups, tab layout: 15 columns"},
        {"cxamvdp",
         tabTimeAltitude + tabPosition + tabOffsets + tabMotion + tabAir + tabMass + "\n",
         "all groups with c, reversed order"},
    };
    for (const HeaderCase& c : cases) {
        EXPECT_EQ(headerFor(c.letters), c.want) << "oform \"" << c.letters << "\": " << c.why;
    }
}

TEST(TrackHeader, FixedWidthGroupsHaveTheirExactLengths) {
    // 22 for time and altitude; 24, 36, 36, 36, 24 for the groups p, d, v, a, m.
    EXPECT_EQ(headerFor(""), fixedTimeAltitude + "\n");
    EXPECT_EQ(fixedTimeAltitude.size(), 22u);
    const struct {
        const char* letter;
        const std::string& text;
        size_t length;
    } groups[] = {
        {"p", fixedPosition, 24}, {"d", fixedOffsets, 36}, {"v", fixedMotion, 36},
        {"a", fixedAir, 36},      {"m", fixedMass, 24},
    };
    for (const auto& group : groups) {
        const std::string header = headerFor(group.letter);
        EXPECT_EQ(header, fixedTimeAltitude + group.text + "\n") << group.letter;
        EXPECT_EQ(header.size(), 22 + group.length + 1) << group.letter;
    }
    // All groups: 22 + 24 + 36 + 36 + 36 + 24 = 178 characters and the line end; no tab.
    const std::string full = headerFor("pdvam");
    EXPECT_EQ(full.size(), 179u);
    EXPECT_EQ(full.find('\t'), std::string::npos);
}

TEST(TrackHeader, LettersWrittenInCapitalsInTheScenarioSelectTheSameHeader) {
    auto run = freshRun();
    readScenarioText(*run, "mass=1\ndia=10\noform=MPX\n");
    const OutputFormat format = outputFormatFromLetters(run->scenario.oform);
    const std::string header =
        trackTableText([&](TrackTable& table) { writeTrackHeader(*run, table, format); });
    EXPECT_EQ(header, tabTimeAltitude + tabPosition + tabMass + "\n");
    EXPECT_EQ(header, headerFor("mpx"));
}

TEST(OutputFormat, EachLetterSwitchesExactlyItsOwnFlag) {
    const OutputFormat none = outputFormatFromLetters("");
    EXPECT_FALSE(none.tabLayout || none.position || none.offsets || none.motion || none.air ||
                 none.mass || none.decimalComma);
    const OutputFormat all = outputFormatFromLetters("cmavdpx");
    EXPECT_TRUE(all.tabLayout && all.position && all.offsets && all.motion && all.air && all.mass &&
                all.decimalComma);
    const OutputFormat some = outputFormatFromLetters("qdzc!");
    EXPECT_TRUE(some.offsets);
    EXPECT_TRUE(some.decimalComma);
    EXPECT_FALSE(some.tabLayout || some.position || some.motion || some.air || some.mass);
}

}  // namespace
}  // namespace kestro::test
