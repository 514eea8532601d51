// Fuzz target: "Kestro.ini" and scenario readers on arbitrary bytes, against the reading rules.
#include <cstddef>
#include <cstdint>

#include "fuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    return kestro::fuzz::reportFault(kestro::fuzz::checkSettingsInput(bytes));
}
