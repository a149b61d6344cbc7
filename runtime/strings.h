// The string store.
//
// Every text value the game handles is a RuntimeString: a counted byte string
// (not zero-terminated) whose characters live in one growable block, the
// arena, which behaves like a stack with holes. Records come from a pool of
// blocks and are recycled through a stack of free records, so creating,
// assigning and freeing a string never calls the heap in the steady state.
//
// Three lists index the records:
//  - the arena list, in the order the texts lie in the arena (a freed slot
//    becomes the hole marker);
//  - the temporary list, of strings that may be freed as soon as an
//    operation has consumed them; slot 0 is never used, and temporaries are
//    released in bulk down to a base index after each statement;
//  - the low-memory list, for strings kept in the emulated low-memory block
//    (none of the game's strings live there).
//
// Literals point straight at their constant text and are read-only: never
// written, moved or put on the arena list. The shared empty and one-space
// strings are read-only and permanent; freeing them does nothing. Only the game thread touches the
// store once the game has started, so nothing here is locked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace rt {

struct RuntimeString {
    char* text;                     // first character, not zero-terminated
    std::int32_t length;            // number of bytes, compared as signed
    std::uint8_t inLowMemory;       // text lives in the low-memory block
    std::uint8_t* lowMemDescriptor; // 16-bit length, 16-bit offset, kept in step
    std::uint32_t lowMemDescriptorOffset;
    std::uint32_t listIndex; // slot in the arena (or low-memory) list
    std::uint8_t temporary;
    std::uint32_t temporaryIndex; // slot in the temporary list, 0 = not on it
    std::uint8_t fixedLength;
    std::uint8_t readOnly;
    void* fieldLink; // file-record field binding (unused by the game)

    std::string_view view() const { return {text, static_cast<std::size_t>(length)}; }
};

// Creates the pool, the lists and the 1 MB arena, the shared empty string and
// the one-space string. Called once at start-up, before the game thread runs.
// Calling it again throws the whole store away and starts afresh (tests).
void initStringStore();

RuntimeString* newString(std::uint32_t n, bool temporary);
RuntimeString* literal(const char* text, std::int32_t n);
RuntimeString* literal(const char* text); // zero-terminated, or null for ""
RuntimeString* assign(RuntimeString* destination, RuntimeString* source);
RuntimeString* concatenate(RuntimeString* a, RuntimeString* b);
std::int32_t equality(const RuntimeString* a, const RuntimeString* b); // -1 equal, 0 different
void freeString(RuntimeString* s);
std::int32_t releaseTemporaries(std::uint32_t base, std::int32_t value);
RuntimeString* makeTemporary(RuntimeString* s);
void* allocateVariable(std::size_t n);

// The temporary list's next index: the base the game records at its start
// and releases down to after each statement.
std::uint32_t temporaryNextIndex();

// Strings created at start-up and shared by the runtime.
RuntimeString* emptyString(); // printed with a line end for a bare line end
RuntimeString* spaceString();

// A fixed-length string of n characters (filled with spaces). Its
// characters live in a block of their own, not the arena; freeing it
// returns only the record, and starting the store afresh gives back all.
RuntimeString* newFixedString(std::uint32_t n);

// Read-only views of the store's bookkeeping, for tests and benchmarks.
namespace store {
struct Stats {
    const char* arenaStart;
    std::size_t arenaSize;
    std::size_t used;
    std::uint32_t arenaCount; // entries in the arena list, holes included
    std::uint32_t arenaCapacity;
    std::uint32_t temporaryNext;
    std::uint32_t temporaryCapacity;
    std::uint32_t lowMemoryCount;
    std::uint32_t lowMemoryCapacity;
    std::uint32_t freeRecords; // records waiting on the free stack
    std::uint32_t freeCapacity;
};
Stats stats();
// Entry i of the arena list, or null for a hole.
const RuntimeString* arenaEntry(std::uint32_t i);
// Entry i of the temporary list, or null for a hole.
const RuntimeString* temporaryEntry(std::uint32_t i);
} // namespace store

} // namespace rt
