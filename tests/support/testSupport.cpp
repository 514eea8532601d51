#include "support/testSupport.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "run/runSequence.h"
#include "settings/precisionSettings.h"
#include "settings/scenarioParameters.h"

extern char** environ;

namespace kestro::test {

std::unique_ptr<RunContext> freshRun() {
    auto run = std::make_unique<RunContext>();
    applyRunDefaults(*run);
    return run;
}

TextInput inputFromText(const std::string& text) {
    TextInput input;
    if (text.empty()) {
        input.file = std::tmpfile();  // fmemopen refuses a size of 0
    } else {
        // Reads every byte, NUL included, and then reports the end of file.
        input.file = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    }
    return input;
}

bool readScenarioText(RunContext& run, const std::string& text) {
    TextInput input = inputFromText(text);
    const bool valid = readScenarioParameters(run, input);
    closeTextInput(input);
    return valid;
}

void readPrecisionText(RunContext& run, const std::string& text) {
    TextInput input = inputFromText(text);
    readPrecisionSettings(run, input);
    closeTextInput(input);
}

std::string streamText(std::FILE* stream) {
    std::string text;
    std::fflush(stream);
    std::rewind(stream);
    char chunk[4096];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, stream)) > 0) text.append(chunk, got);
    return text;
}

InProcessRun runInProcess(RunContext& run, const std::string& scenarioPath,
                          const std::string& trackPath, const std::string& precisionPath) {
    const char* argv[] = {"kestro", "RUN", scenarioPath.c_str(), trackPath.c_str()};
    InProcessRun result;
    std::FILE* summary = std::tmpfile();
    if (summary == nullptr) return result;
    result.status = runProgram(run, 4, argv, summary, precisionPath.c_str());
    result.summary = streamText(summary);
    std::fclose(summary);
    if (fileExists(trackPath)) result.trackTable = readFile(trackPath);
    return result;
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kestro-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

bool fileExists(const std::string& path) {
    return std::filesystem::exists(path);
}

ProgramResult runKestroProgram(const std::string& workingDirectory,
                               const std::vector<std::string>& arguments,
                               const std::vector<std::string>& environment) {
    TempDir capture;
    const std::string outPath = capture.file("stdout");
    const std::string errPath = capture.file("stderr");

    std::vector<std::string> argvStrings{kestroExecutable()};
    argvStrings.insert(argvStrings.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& a : argvStrings) argv.push_back(a.data());
    argv.push_back(nullptr);

    std::vector<std::string> envStrings;
    for (char** e = environ; *e != nullptr; ++e) envStrings.emplace_back(*e);
    envStrings.insert(envStrings.end(), environment.begin(), environment.end());
    std::vector<char*> envp;
    for (auto& e : envStrings) envp.push_back(e.data());
    envp.push_back(nullptr);

    // Run through a child that changes directory first, so the test process keeps its own.
    ProgramResult result;
    // Nothing buffered in this process may be written a second time by the child.
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(workingDirectory.c_str()) != 0) _exit(127);
        std::FILE* out = std::freopen(outPath.c_str(), "w", stdout);
        std::FILE* err = std::freopen(errPath.c_str(), "w", stderr);
        if (out == nullptr || err == nullptr) _exit(127);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    int waitStatus = 0;
    if (child > 0 && waitpid(child, &waitStatus, 0) == child && WIFEXITED(waitStatus)) {
        result.status = WEXITSTATUS(waitStatus);
    }
    result.output = readFile(outPath);
    result.errorOutput = readFile(errPath);
    return result;
}

std::string kestroExecutable() {
    return KESTRO_EXECUTABLE;
}
std::string testDataDir() {
    return KESTRO_TEST_DATA;
}
std::string projectSourceDir() {
    return KESTRO_SOURCE_DIR;
}

}  // namespace kestro::test
