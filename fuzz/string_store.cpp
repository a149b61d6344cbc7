// Fuzzes the string store: the first byte picks the shape of the run (short
// or long strings, few or many live ones, arena growth), the rest is decoded
// into store operations by the differential harness, which checks every
// value against its model and the store's bookkeeping after each one.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "tests/string_store_harness.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    std::uint8_t shape = data[0];
    harness::Options options;
    options.maxLength = (shape & 1) ? 4000 : 70;
    options.bigStrings = (shape & 2) != 0;
    options.maxLive = (shape & 4) ? 300 : 24;
    // Fixed-length strings take variable-block space that is never given
    // back, across runs too: keep them few and short.
    options.maxFixed = 4;
    options.maxFixedLength = 12;
    harness::StoreHarness h(options);
    harness::ByteSource source(data + 1, size - 1);
    while (h.step(source)) {
    }
    h.checkAll();
    h.finish();
    if (h.failed()) {
        std::fprintf(stderr, "string store: %s\n", h.failure().c_str());
        std::abort();
    }
    return 0;
}
