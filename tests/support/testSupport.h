// Shared helpers of the tests: fresh run contexts, inputs from memory, temporary folders and
// running the built program.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "run/runContext.h"
#include "settings/lineInput.h"

namespace kestro::test {

// A run context with every default in place, on the heap (it holds the 5000-row wind table).
std::unique_ptr<RunContext> freshRun();

// An input that reads `text` (any bytes, NUL included) from memory; close it with
// closeTextInput. The string must outlive the input.
TextInput inputFromText(const std::string& text);

// Reads a scenario or "Kestro.ini" given as text into `run`; returns what the reader returned.
bool readScenarioText(RunContext& run, const std::string& text);
void readPrecisionText(RunContext& run, const std::string& text);

// A temporary folder, removed with everything in it when the object goes.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

void writeFile(const std::string& path, const std::string& content);
std::string readFile(const std::string& path);
bool fileExists(const std::string& path);

// Everything written to a temporary stream, read back from its start.
std::string streamText(std::FILE* stream);

struct InProcessRun {
    int status = -1;         // what runProgram returned
    std::string summary;     // what it wrote where standard output would be
    std::string trackTable;  // the track table's bytes afterwards (empty if it does not exist)
};

// Calls runProgram on `run` in this process with "RUN <scenarioPath> <trackPath>", "Kestro.ini"
// looked for at `precisionPath` (it need not exist), and the summary captured.
InProcessRun runInProcess(RunContext& run, const std::string& scenarioPath,
                          const std::string& trackPath, const std::string& precisionPath);

struct ProgramResult {
    int status = -1;          // exit status, or -1 if the program did not exit normally
    std::string output;       // everything written to standard output
    std::string errorOutput;  // everything written to standard error
};

// Runs the built kestro with `arguments` (not the program name) in the working directory
// `workingDirectory`. `environment` entries ("NAME=value") are added to the inherited ones.
ProgramResult runKestroProgram(const std::string& workingDirectory,
                               const std::vector<std::string>& arguments,
                               const std::vector<std::string>& environment = {});

// Path of the built program, of the tests' source folder and of the project's source folder.
std::string kestroExecutable();
std::string testDataDir();
std::string projectSourceDir();

}  // namespace kestro::test
