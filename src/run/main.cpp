// kestro: dark flight of a meteoroid. Usage: kestro RUN <scenario file> <track table file>
#include <cstdio>
#include <memory>

#include "run/runContext.h"
#include "run/runSequence.h"

int main(int argc, char** argv) {
    const auto run = std::make_unique<kestro::RunContext>();
    return kestro::runProgram(*run, argc, argv, stdout);
}
