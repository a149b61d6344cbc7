// The emulated low-memory block and the keyboard ring in it.
//
// Like a PC BIOS, the runtime keeps typed keys as (character, scan code)
// pairs in a ring of 16 two-byte slots at offsets 0x41E..0x43D of a block
// emulating conventional memory. The head offset (oldest key) is the byte at
// 0x41A, the tail (next free slot) the byte at 0x41C; they run 30, 32, ... 60
// and wrap to 30. Empty when head == tail; full when advancing the tail would
// meet the head, so at most 15 keys wait. The main thread is the only writer
// of the slots and the tail, the game thread (read key) of the head: a
// single-producer, single-consumer ring. Each side publishes its offset with
// release after the slot is complete and reads the other's with acquire.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "runtime/strings.h"

namespace rt {

// Bytes in the emulated low-memory block (0x10FFF3: real-mode memory up to FFFF:FFFF and 3 more).
constexpr std::size_t kLowMemorySize = 1114099;
constexpr std::size_t kKeyHead = 0x41A;
constexpr std::size_t kKeyTail = 0x41C;
constexpr std::uint8_t kRingFirst = 30;
constexpr std::uint8_t kRingLast = 60;

std::atomic<std::uint8_t>* lowMemory();
std::uint8_t lowByte(std::size_t offset);
void setLowByte(std::size_t offset, std::uint8_t value);

// Clears the block and sets head and tail to 30.
void resetLowMemory();

// Main thread: stores a pair at the tail; false when the ring is full and the
// key was dropped.
bool storeKeyPair(std::uint8_t character, std::uint8_t scan);
bool keyBufferEmpty();
int keyBufferCount();

// Game thread: a new temporary string with the oldest key: empty when none
// waits (or an error is pending), one character for an ordinary key, the two
// characters 0 and the scan code for an extended key. Yields once.
RuntimeString* readKey();

} // namespace rt
