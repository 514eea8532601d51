// Cost of one integration step, measured over whole runs: each iteration makes a fresh run
// context and runs the program's own sequence on scenario files in a temporary folder, with the
// track rows going to a real file there. The counter "step" is the time per integration step.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "run/runContext.h"
#include "run/runSequence.h"

namespace {

// A folder under the system's temporary directory, removed with its files at the end.
class ScratchFolder {
  public:
    ScratchFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "kestro-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

void writeText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// Case A: a 1 g body of 100 mm is so light that at 1800 s it is still aloft, so every one of the
// 1 800 001 steps of the default limit runs. All precision switches on, Mach model, constant
// wind from 270 degrees at 10 m/s, no mass loss, every column group in the fixed-width layout.
constexpr const char* caseAScenario =
    "lat=48\nlon=11\nazi=90\ninc=45\nmass=0.001\ndia=100\nvel=300\nalt=40000\n"
    "cwx=true\nwazi=270\nwvel=10\nloss=0\noform=pdvam\n";
// Case B: as A with half of the mass to be lost and a wind profile of 200 rows.
constexpr const char* caseBExtra = "loss=50\nwdata=true\natmfile=";
// Case C: a 1 kg body of 100 mm at 3000 m/s from 30 000 m, down to the ground.
constexpr const char* caseCScenario =
    "lat=48\nlon=11\nazi=90\ninc=45\nmass=1\ndia=100\nvel=3000\nalt=30000\n"
    "cwx=true\nwazi=270\nwvel=10\nloss=0\noform=pdvam\n";

// 200 rows, every 250 m from 0 m, azimuth and speed changing from row to row so that the
// interpolated wind (and so the wind vector) differs in every step.
std::string windProfileText() {
    std::string text;
    char line[96];
    for (int i = 0; i < 200; ++i) {
        std::snprintf(line, sizeof line, "%d %.1f %.2f %.1f\n", i * 250, 200.0 + 0.5 * i,
                      3.0 + 0.17 * i, 288.1 - 0.0065 * 250.0 * i);
        text += line;
    }
    return text;
}

struct BenchRun {
    ScratchFolder folder;
    std::string precisionPath = folder.file("Kestro.ini");
    std::string scenarioPath = folder.file("scenario.txt");
    std::string trackPath = folder.file("track.txt");
    std::string summaryPath = folder.file("summary.txt");
    std::FILE* summary = nullptr;
    std::unique_ptr<kestro::RunContext> context;

    explicit BenchRun(const std::string& scenarioText) {
        writeText(precisionPath, "highprec=true\n");
        writeText(scenarioPath, scenarioText);
        summary = std::fopen(summaryPath.c_str(), "w");
        if (summary == nullptr) std::abort();
    }
    ~BenchRun() { std::fclose(summary); }

    // One whole run on a fresh context; aborts unless the run completed.
    void run() {
        context = std::make_unique<kestro::RunContext>();
        const char* argv[] = {"kestro", "RUN", scenarioPath.c_str(), trackPath.c_str()};
        if (kestro::runProgram(*context, 4, argv, summary, precisionPath.c_str()) !=
            kestro::exitCompleted) {
            std::abort();
        }
    }

    // Steps of the last run, counted from its final time: the time is the running sum of the
    // time steps, so the number of updates is how often the step must be added to reach it.
    // A run that ended at the time limit made one update per step; one that ended on the
    // ground or at a stop made one step more, which wrote its row and did not update.
    long long countSteps() const {
        const double timeStep = context->loop.timeStep;
        const double finalTime = context->flight.time;
        long long updates = 0;
        for (double t = 0.0; t < finalTime; t = t + timeStep) ++updates;
        double check = 0.0;
        for (long long i = 0; i < updates; ++i) check = check + timeStep;
        if (check != finalTime) std::abort();
        return finalTime >= context->loop.timeLimit ? updates : updates + 1;
    }
};

void runCase(benchmark::State& state, const std::string& scenarioText, bool aloftToTheLimit) {
    BenchRun bench(scenarioText);
    bench.run();
    const long long steps = bench.countSteps();
    // The cases are chosen for their endings: A and B must stay aloft for the whole limit.
    const bool endedAtLimit = bench.context->flight.time >= bench.context->loop.timeLimit;
    if (endedAtLimit != aloftToTheLimit) {
        state.SkipWithError("the case did not end as it was chosen to");
        return;
    }
    for (auto _ : state) {
        bench.run();
        benchmark::DoNotOptimize(bench.context->flight.position.y);
    }
    state.SetLabel("steps=" + std::to_string(steps));
    state.counters["step"] = benchmark::Counter(
        static_cast<double>(steps),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void caseA(benchmark::State& state) {
    runCase(state, caseAScenario, true);
}

void caseB(benchmark::State& state) {
    ScratchFolder profileFolder;
    const std::string profilePath = profileFolder.file("wind.txt");
    writeText(profilePath, windProfileText());
    runCase(state, std::string(caseAScenario) + caseBExtra + profilePath + "\n", true);
}

void caseC(benchmark::State& state) {
    runCase(state, caseCScenario, false);
}

// The least of the repetitions: on a machine shared with other work, the run that was least
// disturbed is the best estimate of the step's own cost.
double leastOf(const std::vector<double>& values) {
    return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end());
}

}  // namespace

BENCHMARK(caseA)
    ->Name("A_aloft_constant_wind")
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", leastOf);
BENCHMARK(caseB)
    ->Name("B_aloft_loss_wind_profile")
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", leastOf);
BENCHMARK(caseC)
    ->Name("C_heavy_to_ground")
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", leastOf);

BENCHMARK_MAIN();
