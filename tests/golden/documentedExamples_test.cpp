// The bundled examples as the README and the man page show them: the summary line printed in the
// man page's EXAMPLES section must be what the program prints on examples/stone-1kg.txt, and the
// fragment example's line is pinned too. Both lines were produced independently by
// reference_model.py on copies of the example files (it also gives the whole track tables, byte
// for byte identical to the program's).

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "support/testSupport.h"

namespace kestro::test {
namespace {

const std::string sourceDir = projectSourceDir();

// Copies the examples folder and runs one example in the copy, as the README says: from there.
ProgramResult runExample(const TempDir& dir, const std::string& scenario) {
    std::filesystem::copy(sourceDir + "/examples", dir.file("examples"));
    return runKestroProgram(dir.file("examples"), {"RUN", scenario, dir.file("track.txt")});
}

TEST(DocumentedExamples, StoneSummaryIsTheManPageExample) {
    TempDir dir;
    const ProgramResult result = runExample(dir, "stone-1kg.txt");
    ASSERT_EQ(result.status, 0);
    const std::string want =
        "SUCCESS\t150.17\t0.00\t48.100000\t11.762865\t0.00\t12085.32\t12085.32\t81.4950\t"
        "270.0000\t81.1412\t0.94766\t0.485\t3463.856\t1.00000\n";
    EXPECT_EQ(result.output, want);
    EXPECT_NE(readFile(sourceDir + "/man/kestro.1").find(want), std::string::npos)
        << "the man page's example is not the program's output";
    EXPECT_NE(readFile(sourceDir + "/README.md").find(want.substr(0, want.size() - 1)),
              std::string::npos)
        << "the README's example is not the program's output";
}

TEST(DocumentedExamples, FragmentWithWindProfile) {
    TempDir dir;
    const ProgramResult result = runExample(dir, "fragment.txt");
    ASSERT_EQ(result.status, 0);
    EXPECT_EQ(result.output,
              "SUCCESS\t257.23\t0.00\t-29.256855\t137.539857\t950.42\t6011.86\t6086.52\t84.6187\t"
              "230.6545\t43.9300\t0.02395\t0.467\t3453.883\t0.02500\n");
    // The header, rows at 0 to 257 s and the landing row at 257.23 s.
    const std::string track = readFile(dir.file("track.txt"));
    EXPECT_EQ(std::count(track.begin(), track.end(), '\n'), 260);
}

}  // namespace
}  // namespace kestro::test
