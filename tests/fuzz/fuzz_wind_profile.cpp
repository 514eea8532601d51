// Fuzz target: the wind profile loader on arbitrary bytes, then lookups at altitudes that climb
// and fall through the loaded table.
#include <cstddef>
#include <cstdint>

#include "fuzzHarness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    return kestro::fuzz::reportFault(
        kestro::fuzz::checkWindProfileInput(bytes, kestro::fuzz::scratchFolder()));
}
