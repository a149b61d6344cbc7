// Fuzzes the string store: the first byte picks the shape of the run (short
// or long strings, few or many live ones, arena growth, fixed-length strings
// that outgrow their first block), the rest is decoded into store operations
// by the differential harness. It checks the strings each operation touches
// at every step, and every value and the store's bookkeeping every 128 steps
// and at the end. Each input starts the store afresh, which gives back the
// fixed-length strings of the input before.
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
    // Fixed-length strings are short; one run in sixteen has longer ones,
    // which outgrow their first block before the next run's restart gives
    // them back.
    options.maxFixed = 16;
    options.maxFixedLength = (shape & 0x78) == 0x78 ? 2000 : 40;
    options.checkEvery = 128;
    harness::StoreHarness h(options);
    harness::ByteSource source(data + 1, size - 1);
    while (h.step(source)) {
    }
    h.checkAll();
    h.finish();
    // Give back what the run made the store grow (arena, lists, blocks), so
    // that an input's allocations and frees balance and libFuzzer does not
    // rerun it to look for a leak.
    rt::initStringStore();
    if (h.failed()) {
        std::fprintf(stderr, "string store: %s\n", h.failure().c_str());
        std::abort();
    }
    return 0;
}
