// Fuzz target: a whole run, from scenario, "Kestro.ini" and wind profile bytes (the three parts
// of the input, in that order, separated by a line "#####"), with a time limit of at most 2 s.
#include <cstddef>
#include <cstdint>

#include "fuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    return kestro::fuzz::reportFault(
        kestro::fuzz::checkRunInput(bytes, kestro::fuzz::scratchFolder()));
}
