// The integration loop allocates nothing: every allocation of the process is counted while the
// loop runs, after a set-up that has opened the track table and written its header.
//
// In an ordinary build the C library's allocator is wrapped (malloc, calloc, realloc and the
// aligned forms; operator new ends in malloc), so that allocations made inside the C library,
// for a stream buffer say, count as well. Under AddressSanitizer, which owns the allocator, its
// own allocation hook counts instead.
#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "environment/windProfile.h"
#include "output/outputFormat.h"
#include "output/runSummary.h"
#include "output/trackRow.h"
#include "run/runContext.h"
#include "run/runSequence.h"
#include "support/testSupport.h"

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

void noteAllocation() {
    if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1);
}

}  // namespace

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime's allocation hooks (its header is not installed with every compiler).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void*,
                                                                          std::size_t),
                                                         void (*onFree)(const volatile void*));

namespace {
void onMalloc(const volatile void*, std::size_t) {
    noteAllocation();
}
void onFree(const volatile void*) {}
const bool hooksInstalled = __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree) != 0;
}  // namespace
#else
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* pointer, std::size_t size);
void* __libc_memalign(std::size_t alignment, std::size_t size);
void __libc_free(void* pointer);

void* malloc(std::size_t size) noexcept {
    noteAllocation();
    return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) noexcept {
    noteAllocation();
    return __libc_calloc(count, size);
}
void* realloc(void* pointer, std::size_t size) noexcept {
    noteAllocation();
    return __libc_realloc(pointer, size);
}
void* memalign(std::size_t alignment, std::size_t size) noexcept {
    noteAllocation();
    return __libc_memalign(alignment, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) noexcept {
    noteAllocation();
    return __libc_memalign(alignment, size);
}
int posix_memalign(void** result, std::size_t alignment, std::size_t size) noexcept {
    noteAllocation();
    void* pointer = __libc_memalign(alignment, size);
    if (pointer == nullptr) return 12;  // ENOMEM
    *result = pointer;
    return 0;
}
void free(void* pointer) noexcept {
    __libc_free(pointer);
}
}
namespace {
const bool hooksInstalled = true;
}  // namespace
#endif

namespace kestro {
namespace {

using test::TempDir;

// Counts the allocations made while `work` runs.
template <typename Work>
long allocationsDuring(Work&& work) {
    allocations.store(0);
    counting.store(true);
    work();
    counting.store(false);
    return allocations.load();
}

TEST(LoopAllocations, TheCounterSeesAllocationsOfTheLibraryAndOfNew) {
    ASSERT_TRUE(hooksInstalled);
    TempDir dir;
    const std::string path = dir.file("probe.txt");
    // Opening a stream allocates its FILE inside the C library; new allocates through malloc.
    EXPECT_GE(allocationsDuring([&] {
                  std::FILE* file = std::fopen(path.c_str(), "w");
                  std::fclose(file);
              }),
              1);
    EXPECT_GE(allocationsDuring([] {
                  auto box = std::make_unique<std::string>(200, 'x');
                  ASSERT_NE(box->data(), nullptr);
              }),
              1);
}

struct LoopCase {
    const char* name;
    const char* precision;
    const char* scenario;
    bool profile;
};

void PrintTo(const LoopCase& c, std::ostream* os) {
    *os << c.name;
}

const LoopCase loopCases[] = {
    // Every kind of step: rows every second in both layouts with a decimal comma, the wind
    // profile with its cursor, ablation down to an empty body, the three endings.
    {"aloftToTheTimeLimit", "tmax=120\n",
     "mass=0.001\ndia=100\nlat=48\nlon=11\nvel=300\ninc=45\nazi=90\nalt=40000\nwazi=270\n"
     "wvel=10\noform=pdvam\n",
     false},
    {"profileAndLossToTheGround", "",
     "mass=0.05\ndia=30\nvel=900\ninc=-20\nazi=160\nalt=20000\nloss=50\nwdata=true\n"
     "oform=xpdvamc\n",
     true},
    {"massRunsOut", "", "mass=0.001\ndia=10\nvel=1\ninc=90\nalt=30000\nloss=100\noform=pdvam\n",
     false},
    {"stopAtTime", "lowprec=true\n",
     "mass=1\ndia=100\nvel=3000\ninc=45\nalt=30000\nstopflag=2\nstopval=20\noform=pdvamc\n", false},
};

class LoopAllocations : public ::testing::TestWithParam<LoopCase> {};

TEST_P(LoopAllocations, NoneAfterTheSetUp) {
    const LoopCase& c = GetParam();
    TempDir dir;
    std::string scenarioText = c.scenario;
    if (c.profile) {
        std::string profile;
        for (int i = 0; i <= 100; ++i) {
            profile += std::to_string(250 * i) + " " + std::to_string(200 + i) + " " +
                       std::to_string(3 + i % 7) + "\n";
        }
        test::writeFile(dir.file("wind.txt"), profile);
        scenarioText += "atmfile=" + dir.file("wind.txt") + "\n";
    }

    // The run sequence up to the loop, as the program performs it.
    const auto run = test::freshRun();
    test::readPrecisionText(*run, c.precision);
    ASSERT_TRUE(test::readScenarioText(*run, scenarioText));
    run->outputFormat = outputFormatFromLetters(run->scenario.oform);
    if (run->scenario.wdata) loadWindProfile(*run);
    ASSERT_EQ(run->scenario.wdata, c.profile);
    TrackTable trackTable;
    ASSERT_TRUE(openTrackTable(trackTable, dir.file("track.txt").c_str()));
    setUpRun(*run, trackTable);

    EXPECT_EQ(allocationsDuring([&] { runIntegrationLoop(*run, trackTable, run->outputFormat); }),
              0);

    std::FILE* summary = std::tmpfile();
    EXPECT_EQ(printRunSummary(*run, trackTable, summary), SummaryResult::printed);
    std::fclose(summary);
    // The loop went past its first step.
    EXPECT_GT(run->flight.time, 0.0);
}

INSTANTIATE_TEST_SUITE_P(Runs, LoopAllocations, ::testing::ValuesIn(loopCases),
                         [](const ::testing::TestParamInfo<LoopCase>& param) {
                             return std::string(param.param.name);
                         });

}  // namespace
}  // namespace kestro
