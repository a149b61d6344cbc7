// The emulated low-memory block and the keyboard ring in it.
//
// The block is one static array of relaxed byte atomics, so the main thread
// (keyboard model, clock bytes) and the game thread may both touch it without
// a data race. The ring's protocol orders the two sides: the main thread
// writes a slot's two bytes and then publishes the new tail with release;
// the game thread reads the tail with acquire, takes the slot, and publishes
// the new head with release, which the main thread reads with acquire before
// it reuses that slot. Each side is the only writer of its offset.
//
// Offsets run 30, 32, ..., 60 and wrap to 30. An offset outside that range
// (the block is writable through setLowByte) is brought back to 30 before use,
// so a damaged offset can never walk the ring out of its slots.
#include "runtime/keyboard_buffer.h"

#include "runtime/errors.h"
#include "runtime/port.h"

namespace rt {
namespace {

std::atomic<std::uint8_t> block[kLowMemorySize];

constexpr std::size_t kSlotBase = 0x400;

std::uint8_t sane(std::uint8_t offset) {
    if (offset < kRingFirst || offset > kRingLast || (offset & 1) != 0) return kRingFirst;
    return offset;
}

std::uint8_t advance(std::uint8_t offset) {
    unsigned next = static_cast<unsigned>(offset) + 2;
    return next > kRingLast ? kRingFirst : static_cast<std::uint8_t>(next);
}

std::uint8_t loadHead(std::memory_order order) {
    return sane(block[kKeyHead].load(order));
}
std::uint8_t loadTail(std::memory_order order) {
    return sane(block[kKeyTail].load(order));
}

} // namespace

std::atomic<std::uint8_t>* lowMemory() {
    return block;
}

std::uint8_t lowByte(std::size_t offset) {
    if (offset >= kLowMemorySize) return 0;
    return block[offset].load(std::memory_order_relaxed);
}

void setLowByte(std::size_t offset, std::uint8_t value) {
    if (offset >= kLowMemorySize) return;
    block[offset].store(value, std::memory_order_relaxed);
}

void resetLowMemory() {
    for (auto& b : block)
        b.store(0, std::memory_order_relaxed);
    block[kKeyHead].store(kRingFirst, std::memory_order_release);
    block[kKeyTail].store(kRingFirst, std::memory_order_release);
}

bool storeKeyPair(std::uint8_t character, std::uint8_t scan) {
    std::uint8_t tail = loadTail(std::memory_order_relaxed);
    std::uint8_t next = advance(tail);
    if (next == loadHead(std::memory_order_acquire)) return false; // full: dropped
    block[kSlotBase + tail].store(character, std::memory_order_relaxed);
    block[kSlotBase + tail + 1].store(scan, std::memory_order_relaxed);
    block[kKeyTail].store(next, std::memory_order_release);
    return true;
}

bool keyBufferEmpty() {
    return loadHead(std::memory_order_acquire) == loadTail(std::memory_order_acquire);
}

int keyBufferCount() {
    int head = loadHead(std::memory_order_acquire);
    int tail = loadTail(std::memory_order_acquire);
    int slots = (kRingLast - kRingFirst) / 2 + 1; // 16
    return ((tail - head) / 2 + slots) % slots;
}

RuntimeString* readKey() {
    if (errorPending() != 0) return newString(0, true);
    port().sleep(0, Wait::Plain);
    std::uint8_t head = loadHead(std::memory_order_relaxed);
    if (head == loadTail(std::memory_order_acquire)) return newString(0, true);
    std::uint8_t k = block[kSlotBase + head].load(std::memory_order_relaxed);
    std::uint8_t s = block[kSlotBase + head + 1].load(std::memory_order_relaxed);
    block[kKeyHead].store(advance(head), std::memory_order_release);
    noteChange(); // a slot is free again, and the host may be waiting for the game to take it
    if (k != 0 || s == 0) {
        RuntimeString* r = newString(1, true);
        r->text[0] = static_cast<char>(k);
        return r;
    }
    RuntimeString* r = newString(2, true);
    r->text[0] = 0;
    r->text[1] = static_cast<char>(s);
    return r;
}

} // namespace rt
