// The string store.
//
// Records come from pool blocks of 65,536 zero-filled records; a freed record
// goes on the free stack and is zero-filled again when it is taken back. The
// characters of every string that is neither read-only (a literal) nor
// fixed-length live in the arena, one contiguous block used like a stack with
// holes: a new string is placed at the used offset with 32 bytes of growth
// room after it, and freeing the most recent strings moves the used offset
// back at once. The arena list holds the arena strings in the order their
// texts lie in the block; a freed slot becomes the hole marker. When a new
// string does not fit, the arena is compacted (texts slide down over the
// gaps) and, if it is still more than about half full, grown to the request
// plus twice its size (every text pointer then follows the block).
//
// Temporaries are on the temporary list. Slot 0 is never used, so a string's
// temporary index doubles as "is on the list". The game records the list's
// next index at its start and after each statement frees every temporary at
// or above it in one sweep.
//
// Fixed-length strings keep their characters in a bump-allocated block chain
// of their own: their length never changes, so they never need the arena.
// Their storage is given back only when the store starts afresh.
//
// Numeric variables are carved from a bump-allocated variable block; a block
// that runs out is followed by one of n + twice the previous size, and the
// new block links to the old one, which is never freed.
//
// Memory exhaustion is fatal (outOfMemory with the number of the structure
// that could not grow). Nothing here looks at the error-pending code: strings
// keep working while an error waits for the event check.
#include "runtime/strings.h"

#include <cstdlib>
#include <cstring>
#include <limits>

#include "runtime/errors.h"

namespace rt {
namespace {

constexpr std::uint32_t kPoolBlockRecords = 65536;
constexpr std::uint32_t kFreeStackInitial = 65536;
constexpr std::size_t kArenaInitial = 1048576;
constexpr std::uint32_t kListInitial = 65535;
constexpr std::size_t kGrowthRoom = 32;
constexpr std::size_t kVariableBlockInitial = 1048576;
constexpr std::size_t kMaxLength =
    static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());

// The few helpers every statement runs through are forced inline; their rare
// growth paths stay out of line.
#define STORE_HOT [[gnu::always_inline]] inline
#define STORE_COLD [[gnu::noinline]]

// Out-of-memory numbers.
constexpr int kVariableBlockFull = 4;
constexpr int kRecordsFull = 8;
constexpr int kLowMemoryListFull = 9;
constexpr int kArenaListFull = 10;
constexpr int kTemporaryListFull = 11;
constexpr int kArenaFull = 12;

// The hole marker of the arena and temporary lists: the address of a record
// that is never handed out.
RuntimeString holeRecord{};
RuntimeString* const kHole = &holeRecord;

struct PoolBlock {
    PoolBlock* previous;
    RuntimeString records[kPoolBlockRecords];
};

struct List {
    RuntimeString** slots = nullptr;
    std::uint32_t count = 0; // for the temporary list: the next index
    std::uint32_t capacity = 0;
};

struct Store {
    PoolBlock* block = nullptr; // the current block; earlier ones hang off it
    std::uint32_t blockUsed = kPoolBlockRecords;

    RuntimeString** freeStack = nullptr;
    std::uint32_t freeCount = 0;
    std::uint32_t freeCapacity = 0;

    char* arena = nullptr;
    std::size_t arenaSize = 0;
    std::size_t used = 0;

    List arenaList;
    List temporaries;
    List lowMemory;

    // While temporaries are released down to a base, freeing one never moves
    // the next index below that base.
    std::uint32_t temporaryFloor = 1;
};

Store st;

// The shared strings: read-only, permanent, never on any list.
char spaceText[] = " ";
char emptyText[] = "";
RuntimeString sharedEmpty{};
RuntimeString sharedSpace{};

// A bump-allocated chain of blocks. Each block begins with a link to the
// block before it, so a block the chain has moved past stays owned (and
// reachable) instead of being dropped with space still carved from it.
struct BlockChain {
    char* newest = nullptr; // the current block's start (its link field)
    char* free = nullptr;
    char* end = nullptr;
    std::size_t size = 0; // the current block's size, link field excluded
};
constexpr std::size_t kBlockLink = 16; // keeps what follows 16-byte aligned

// The numeric variables (and nothing else): blocks and variables are never
// freed.
BlockChain variables;
// The characters of the fixed-length strings. They belong to the store:
// starting it afresh throws their records away, so it gives their
// characters back as well (keeping the first block).
BlockChain fixedTexts;
constexpr std::size_t kFixedBlockInitial = 4096;

STORE_HOT bool isShared(const RuntimeString* s) {
    return s == &sharedEmpty || s == &sharedSpace;
}

// An arena string: text in the arena and a slot on the arena list.
STORE_HOT bool inArena(const RuntimeString* s) {
    return s->readOnly == 0 && s->fixedLength == 0 && s->inLowMemory == 0;
}

void* allocateOrDie(std::size_t bytes, int error) {
    void* p = std::malloc(bytes);
    if (p == nullptr) outOfMemory(error);
    return p;
}

STORE_COLD void doubleList(List& list, int error) {
    if (list.capacity > std::numeric_limits<std::uint32_t>::max() / 2) outOfMemory(error);
    std::uint32_t capacity = list.capacity * 2;
    void* p = std::realloc(list.slots, static_cast<std::size_t>(capacity) * sizeof(RuntimeString*));
    if (p == nullptr) outOfMemory(error);
    list.slots = static_cast<RuntimeString**>(p);
    list.capacity = capacity;
}

// Makes room for one more entry on the arena list or the low-memory list:
// first squeeze the holes out (in order, rewriting each record's slot
// number), then double the capacity if the list is still half full.
STORE_COLD void makeRoom(List& list, int error) {
    std::uint32_t w = 0;
    for (std::uint32_t i = 0; i < list.count; ++i) {
        RuntimeString* e = list.slots[i];
        if (e == kHole) continue;
        e->listIndex = w;
        list.slots[w++] = e;
    }
    list.count = w;
    if (list.count >= list.capacity / 2) doubleList(list, error);
}

STORE_HOT void appendArena(RuntimeString* s) {
    List& list = st.arenaList;
    if (list.count >= list.capacity) makeRoom(list, kArenaListFull);
    s->listIndex = list.count;
    list.slots[list.count++] = s;
}

STORE_HOT void appendTemporary(RuntimeString* s) {
    List& list = st.temporaries;
    if (list.count >= list.capacity) doubleList(list, kTemporaryListFull);
    s->temporary = 1;
    s->temporaryIndex = list.count;
    list.slots[list.count++] = s;
}

// Takes s off the temporary list; the next index then drops over every hole
// at the end of the list, but never below slot 1 or the base being released.
STORE_HOT void removeTemporary(RuntimeString* s) {
    List& list = st.temporaries;
    list.slots[s->temporaryIndex] = kHole;
    while (list.count > st.temporaryFloor && list.slots[list.count - 1] == kHole)
        --list.count;
    s->temporary = 0;
    s->temporaryIndex = 0;
}

// Puts the used offset just after the last arena string plus its growth room.
STORE_HOT void usedAfterLastEntry() {
    const List& list = st.arenaList;
    if (list.count == 0) {
        st.used = 0;
        return;
    }
    const RuntimeString* last = list.slots[list.count - 1];
    std::size_t end = static_cast<std::size_t>(last->text - st.arena) +
                      static_cast<std::size_t>(last->length) + kGrowthRoom;
    st.used = end < st.arenaSize ? end : st.arenaSize;
}

STORE_HOT void removeFromArena(RuntimeString* s) {
    List& list = st.arenaList;
    list.slots[s->listIndex] = kHole;
    while (list.count > 0 && list.slots[list.count - 1] == kHole)
        --list.count;
    usedAfterLastEntry();
}

STORE_COLD void newPoolBlock() {
    auto* block = static_cast<PoolBlock*>(std::calloc(1, sizeof(PoolBlock)));
    if (block == nullptr) outOfMemory(kRecordsFull);
    block->previous = st.block;
    st.block = block;
    st.blockUsed = 0;
}

STORE_HOT RuntimeString* takeRecord() {
    if (st.freeCount > 0) {
        RuntimeString* r = st.freeStack[--st.freeCount];
        std::memset(static_cast<void*>(r), 0, sizeof(RuntimeString));
        return r;
    }
    if (st.blockUsed == kPoolBlockRecords) newPoolBlock();
    return &st.block->records[st.blockUsed++];
}

STORE_COLD void growFreeStack() {
    if (st.freeCapacity > std::numeric_limits<std::uint32_t>::max() / 2) outOfMemory(kRecordsFull);
    std::uint32_t capacity = st.freeCapacity * 2;
    void* p =
        std::realloc(st.freeStack, static_cast<std::size_t>(capacity) * sizeof(RuntimeString*));
    if (p == nullptr) outOfMemory(kRecordsFull);
    st.freeStack = static_cast<RuntimeString**>(p);
    st.freeCapacity = capacity;
}

STORE_HOT void giveBackRecord(RuntimeString* r) {
    if (st.freeCount == st.freeCapacity) growFreeStack();
    st.freeStack[st.freeCount++] = r;
}

// Arena reorganisation, asked for r bytes at the used offset. Compacts the
// arena (a text more than 32 bytes above the write position slides down to
// it; a smaller gap is left as growth room), then grows the block to
// r + 2 x its size unless r + 2 x used + 32 is below the size.
STORE_COLD void reorganise(std::size_t r) {
    char* w = st.arena;
    List& list = st.arenaList;
    for (std::uint32_t i = 0; i < list.count; ++i) {
        RuntimeString* e = list.slots[i];
        if (e == kHole) continue;
        if (e->text - w > static_cast<std::ptrdiff_t>(kGrowthRoom)) {
            std::memmove(w, e->text, static_cast<std::size_t>(e->length));
            e->text = w;
        }
        w = e->text + e->length;
    }
    st.used = static_cast<std::size_t>(w - st.arena);
    std::size_t limit = std::numeric_limits<std::size_t>::max() / 4;
    if (r > limit || st.arenaSize > limit) outOfMemory(kArenaFull);
    if (r + 2 * st.used + kGrowthRoom < st.arenaSize) return;

    std::size_t size = r + 2 * st.arenaSize;
    auto oldStart = reinterpret_cast<std::uintptr_t>(st.arena);
    void* p = std::realloc(st.arena, size);
    if (p == nullptr) outOfMemory(kArenaFull);
    st.arena = static_cast<char*>(p);
    st.arenaSize = size;
    std::uintptr_t newStart = reinterpret_cast<std::uintptr_t>(st.arena);
    if (newStart == oldStart) return;
    // Every text keeps its offset in the block; recompute its address from the
    // old address as a number (the old pointer itself is dead).
    for (std::uint32_t i = 0; i < list.count; ++i) {
        RuntimeString* e = list.slots[i];
        if (e == kHole) continue;
        std::uintptr_t offset = reinterpret_cast<std::uintptr_t>(e->text) - oldStart;
        e->text = st.arena + offset;
    }
}

// Places s (already off the arena list) at the used offset with n bytes of
// text and no growth room; the caller copies the characters in.
void placeAtEnd(RuntimeString* s, std::size_t n) {
    if (st.arenaSize - st.used < n) reorganise(n);
    s->text = st.arena + st.used;
    appendArena(s);
    st.used += n;
}

STORE_HOT void copyBytes(char* to, const char* from, std::size_t n) {
    if (n != 0 && to != from) std::memmove(to, from, n);
}

// Starting afresh keeps whatever still has its start-up size (the first pool
// block, the free stack, the arena, the lists), so a restart makes no heap
// calls unless something had grown.
void resetPool() {
    PoolBlock* first = nullptr;
    std::uint32_t firstUsed = 0;
    bool current = true;
    while (st.block != nullptr) {
        PoolBlock* previous = st.block->previous;
        if (previous == nullptr) {
            first = st.block;
            firstUsed = current ? st.blockUsed : kPoolBlockRecords;
        } else {
            std::free(st.block);
        }
        st.block = previous;
        current = false;
    }
    if (first != nullptr) {
        std::memset(static_cast<void*>(first->records), 0, firstUsed * sizeof(RuntimeString));
        st.block = first;
        st.blockUsed = 0;
    } else {
        st.blockUsed = kPoolBlockRecords;
    }
}

template <typename T>
T* reuseOrAllocate(T* p, std::size_t capacity, std::size_t wanted, int error) {
    if (p != nullptr && capacity == wanted) return p;
    std::free(p);
    return static_cast<T*>(allocateOrDie(wanted * sizeof(T), error));
}

void resetList(List& list, std::uint32_t firstIndex, int error) {
    list.slots = reuseOrAllocate(list.slots, list.capacity, kListInitial, error);
    list.capacity = kListInitial;
    list.count = firstIndex;
    for (std::uint32_t i = 0; i < firstIndex; ++i)
        list.slots[i] = nullptr;
}

void initShared(RuntimeString& s, char* text, std::int32_t length) {
    s = RuntimeString{};
    s.text = text;
    s.length = length;
    s.readOnly = 1;
}

// Starts a block of size bytes (plus its link) on the chain.
void newBlock(BlockChain& chain, std::size_t size, int error) {
    if (size > std::numeric_limits<std::size_t>::max() - kBlockLink) outOfMemory(error);
    auto* block = static_cast<char*>(allocateOrDie(kBlockLink + size, error));
    std::memcpy(block, &chain.newest, sizeof chain.newest);
    chain.newest = block;
    chain.free = block + kBlockLink;
    chain.end = chain.free + size;
    chain.size = size;
}

// Carves n bytes, aligned for their size (up to 16), from the current block;
// when they do not fit, from the start of a new block of n + twice the
// previous size.
void* carve(BlockChain& chain, std::size_t n, std::size_t firstSize, int error) {
    if (chain.newest == nullptr) newBlock(chain, firstSize, error);
    std::size_t align = n >= 16 ? 16 : n >= 8 ? 8 : n >= 4 ? 4 : n >= 2 ? 2 : 1;
    auto at = reinterpret_cast<std::uintptr_t>(chain.free);
    std::size_t pad = (align - at % align) % align;
    std::size_t left = static_cast<std::size_t>(chain.end - chain.free);
    if (n < left && pad < left - n) {
        char* p = chain.free + pad;
        chain.free = p + n;
        return p;
    }
    if (chain.size > std::numeric_limits<std::size_t>::max() / 4 ||
        n > std::numeric_limits<std::size_t>::max() / 4)
        outOfMemory(error);
    newBlock(chain, n + 2 * chain.size, error);
    char* p = chain.free;
    chain.free = p + n;
    return p;
}

// Frees every block but the first (of firstSize bytes) and empties that one.
void resetChain(BlockChain& chain, std::size_t firstSize) {
    char* block = chain.newest;
    if (block == nullptr) return;
    for (char* previous;; block = previous) {
        std::memcpy(&previous, block, sizeof previous);
        if (previous == nullptr) break;
        std::free(block);
    }
    chain.newest = block;
    chain.free = block + kBlockLink;
    chain.end = chain.free + firstSize;
    chain.size = firstSize;
}

// Free: off the temporary list, off the arena list (the used offset
// follows), and the record back on the free stack.
STORE_HOT void dispose(RuntimeString* s) {
    if (s == nullptr) return;
    if (s->fieldLink != nullptr) s->fieldLink = nullptr; // no file fields to detach from
    if (s->temporary) removeTemporary(s);
    if ((s->fixedLength | s->readOnly | s->inLowMemory) == 0) {
        removeFromArena(s);
    } else if (isShared(s)) {
        return; // the shared strings are never freed
    } else if (!s->fixedLength && !s->readOnly) {
        List& list = st.lowMemory;
        list.slots[s->listIndex] = kHole;
        if (s->listIndex + 1 == list.count) --list.count;
    }
    giveBackRecord(s);
}

// Assign, step by step:
//  - a fixed-length destination keeps its length: the source is cut or
//    padded with spaces;
//  - a temporary source in the same store is taken over without a copy;
//  - a text that fits the destination's length is copied in place;
//  - the last arena string grows in place while the arena lasts;
//  - otherwise the destination grows in place when the next live string
//    leaves room, else it moves to the end of the arena (growOrMove).
// A temporary source is freed afterwards.

// d takes s's text and its arena slot; d's old slot becomes a hole.
STORE_HOT void takeOver(RuntimeString* d, RuntimeString* s, bool detached = false) {
    List& list = d->inLowMemory ? st.lowMemory : st.arenaList;
    if (!detached) list.slots[d->listIndex] = kHole;
    list.slots[s->listIndex] = d;
    d->listIndex = s->listIndex;
    List& temps = st.temporaries;
    temps.slots[s->temporaryIndex] = kHole;
    if (s->temporaryIndex + 1 == temps.count) --temps.count;
    d->text = s->text;
    d->length = s->length;
    giveBackRecord(s);
}

// d (an arena string, not the last one or at the arena's end) must hold the
// n bytes of s.
STORE_COLD void growOrMove(RuntimeString* d, RuntimeString* s, std::size_t n) {
    List& list = st.arenaList;
    std::size_t room = static_cast<std::size_t>(st.arena + st.arenaSize - d->text);
    bool sInArena = s->temporary && inArena(s);
    // The next live string after d, passing over a temporary source, which
    // is about to be freed.
    std::uint32_t j = d->listIndex + 1;
    bool sourceAfter = false;
    for (; j < list.count; ++j) {
        RuntimeString* e = list.slots[j];
        if (e == kHole) continue;
        if (sInArena && e == s) {
            sourceAfter = true;
            continue;
        }
        break;
    }
    bool inPlace = false;
    if (j < list.count) {
        inPlace = list.slots[j]->text - d->text >= static_cast<std::ptrdiff_t>(n);
    } else if (n <= room) {
        // Nothing live after d but perhaps the source. Drop the trailing
        // holes; a source after d stays on the list until it is freed, which
        // also resets the used offset.
        if (!sourceAfter) list.count = d->listIndex + 1;
        inPlace = true;
        st.used = static_cast<std::size_t>(d->text - st.arena) + n;
    }
    if (!inPlace) {
        // Relocate to the end of the arena, with no growth room.
        list.slots[d->listIndex] = kHole;
        placeAtEnd(d, n);
    }
    copyBytes(d->text, s->text, n); // s may have moved: read it only now
    d->length = s->length;
}

// Assign with a null, identical, fixed-length or read-only destination.
STORE_COLD RuntimeString* assignUnusual(RuntimeString* d, RuntimeString* s) {
    if (s == nullptr) s = &sharedEmpty;
    if (d == nullptr) {
        if (s->temporary) dispose(s);
        return d;
    }
    // A temporary assigned to itself is still wanted as the result.
    if (d == s) return d;
    if (d->fixedLength) {
        std::size_t dn = static_cast<std::size_t>(d->length);
        std::size_t sn = static_cast<std::size_t>(s->length);
        std::size_t k = sn < dn ? sn : dn;
        copyBytes(d->text, s->text, k);
        if (k < dn) std::memset(d->text + k, ' ', dn - k);
    } else if (d->readOnly) {
        // A read-only destination (a literal) must not be written: it gets
        // arena storage of its own, as if it were relocated.
        d->readOnly = 0;
        if (s->temporary && (s->fixedLength | s->readOnly | s->inLowMemory) == 0) {
            takeOver(d, s, true);
            return d;
        }
        std::size_t n = static_cast<std::size_t>(s->length);
        placeAtEnd(d, n);
        copyBytes(d->text, s->text, n);
        d->length = s->length;
    } else {
        return assign(d, s);
    }
    if (s->temporary) dispose(s);
    return d;
}

} // namespace

void initStringStore() {
    resetPool();
    st.freeStack = reuseOrAllocate(st.freeStack, st.freeCapacity, kFreeStackInitial, kRecordsFull);
    st.freeCapacity = kFreeStackInitial;
    st.freeCount = 0;
    st.arena = reuseOrAllocate(st.arena, st.arenaSize, kArenaInitial, kArenaFull);
    st.arenaSize = kArenaInitial;
    st.used = 0;
    resetList(st.arenaList, 0, kArenaListFull);
    resetList(st.temporaries, 1, kTemporaryListFull);
    resetList(st.lowMemory, 0, kLowMemoryListFull);
    st.temporaryFloor = 1;
    initShared(sharedEmpty, emptyText, 0);
    initShared(sharedSpace, spaceText, 1);
    resetChain(fixedTexts, kFixedBlockInitial);
    // The variables outlive a restart of the string store (the game's
    // numeric variables keep pointing into their block).
    if (variables.newest == nullptr) newBlock(variables, kVariableBlockInitial, kVariableBlockFull);
}

RuntimeString* newString(std::uint32_t n, bool temporary) {
    if (n > kMaxLength) outOfMemory(kArenaFull);
    std::size_t need = static_cast<std::size_t>(n) + kGrowthRoom;
    if (st.arenaSize - st.used < need) reorganise(need);
    RuntimeString* s = takeRecord();
    s->text = st.arena + st.used;
    s->length = static_cast<std::int32_t>(n);
    st.used += need;
    appendArena(s);
    if (temporary) appendTemporary(s);
    return s;
}

RuntimeString* literal(const char* text, std::int32_t n) {
    RuntimeString* s = takeRecord();
    if (text == nullptr || n < 0) {
        text = emptyText;
        n = 0;
    }
    s->text = const_cast<char*>(text); // read-only: never written through
    s->length = n;
    s->readOnly = 1;
    appendTemporary(s);
    return s;
}

RuntimeString* literal(const char* text) {
    if (text == nullptr) return literal(emptyText, 0);
    std::size_t n = std::strlen(text);
    return literal(text, static_cast<std::int32_t>(n < kMaxLength ? n : kMaxLength));
}

RuntimeString* assign(RuntimeString* d, RuntimeString* s) {
    if (d == nullptr || s == nullptr || d == s || (d->fixedLength | d->readOnly) != 0)
        return assignUnusual(d, s);
    if (s->temporary && (s->fixedLength | s->readOnly) == 0 && s->inLowMemory == d->inLowMemory) {
        takeOver(d, s);
        return d;
    }
    std::size_t n = static_cast<std::size_t>(s->length);
    if (n <= static_cast<std::size_t>(d->length)) {
        copyBytes(d->text, s->text, n); // storage never shrinks
        d->length = s->length;
    } else if (d->listIndex + 1 == st.arenaList.count &&
               n <= static_cast<std::size_t>(st.arena + st.arenaSize - d->text)) {
        // The last string grows in place over its growth room and beyond.
        copyBytes(d->text, s->text, n);
        d->length = s->length;
        st.used = static_cast<std::size_t>(d->text - st.arena) + n;
    } else {
        growOrMove(d, s, n);
    }
    if (s->temporary) dispose(s);
    return d;
}

RuntimeString* concatenate(RuntimeString* a, RuntimeString* b) {
    if (a == nullptr) a = &sharedEmpty;
    if (b == nullptr) b = &sharedEmpty;
    if (b->length == 0) return a;
    if (a->length == 0) return b;
    std::size_t an = static_cast<std::size_t>(a->length);
    std::size_t bn = static_cast<std::size_t>(b->length);
    if (an + bn > kMaxLength) outOfMemory(kArenaFull);
    RuntimeString* r = newString(static_cast<std::uint32_t>(an + bn), true);
    // The new string may have reorganised the arena: read a and b only now.
    std::memcpy(r->text, a->text, an);
    std::memcpy(r->text + an, b->text, bn);
    if (a->temporary) dispose(a);
    if (b != a && b->temporary) dispose(b);
    return r;
}

std::int32_t equality(const RuntimeString* a, const RuntimeString* b) {
    if (a == nullptr) a = &sharedEmpty;
    if (b == nullptr) b = &sharedEmpty;
    if (a->length != b->length) return 0;
    if (a->length <= 0 || a->text == b->text) return -1;
    // Most comparisons are of a short answer with a menu choice and differ
    // in the first byte: settle those without calling memcmp.
    if (a->text[0] != b->text[0]) return 0;
    if (a->length == 1) return -1;
    const std::size_t rest = static_cast<std::size_t>(a->length) - 1;
    return std::memcmp(a->text + 1, b->text + 1, rest) == 0 ? -1 : 0;
}

void freeString(RuntimeString* s) {
    dispose(s);
}

std::int32_t releaseTemporaries(std::uint32_t base, std::int32_t value) {
    if (base < 1) base = 1;
    List& list = st.temporaries;
    st.temporaryFloor = base;
    while (list.count > base) {
        --list.count;
        RuntimeString* e = list.slots[list.count];
        if (e != kHole) dispose(e);
    }
    st.temporaryFloor = 1;
    return value;
}

RuntimeString* makeTemporary(RuntimeString* s) {
    if (s == nullptr || s->temporary || isShared(s)) return s;
    appendTemporary(s);
    return s;
}

void* allocateVariable(std::size_t n) {
    return carve(variables, n, kVariableBlockInitial, kVariableBlockFull);
}

std::uint32_t temporaryNextIndex() {
    return st.temporaries.count;
}

RuntimeString* emptyString() {
    return &sharedEmpty;
}
RuntimeString* spaceString() {
    return &sharedSpace;
}

RuntimeString* newFixedString(std::uint32_t n) {
    if (n > kMaxLength) outOfMemory(kVariableBlockFull);
    RuntimeString* s = takeRecord();
    s->text = static_cast<char*>(carve(fixedTexts, n, kFixedBlockInitial, kVariableBlockFull));
    std::memset(s->text, ' ', n);
    s->length = static_cast<std::int32_t>(n);
    s->fixedLength = 1;
    return s;
}

namespace store {

Stats stats() {
    Stats s{};
    s.arenaStart = st.arena;
    s.arenaSize = st.arenaSize;
    s.used = st.used;
    s.arenaCount = st.arenaList.count;
    s.arenaCapacity = st.arenaList.capacity;
    s.temporaryNext = st.temporaries.count;
    s.temporaryCapacity = st.temporaries.capacity;
    s.lowMemoryCount = st.lowMemory.count;
    s.lowMemoryCapacity = st.lowMemory.capacity;
    s.freeRecords = st.freeCount;
    s.freeCapacity = st.freeCapacity;
    return s;
}

const RuntimeString* arenaEntry(std::uint32_t i) {
    if (i >= st.arenaList.count) return nullptr;
    const RuntimeString* e = st.arenaList.slots[i];
    return e == kHole ? nullptr : e;
}

const RuntimeString* temporaryEntry(std::uint32_t i) {
    if (i == 0 || i >= st.temporaries.count) return nullptr;
    const RuntimeString* e = st.temporaries.slots[i];
    return e == kHole ? nullptr : e;
}

} // namespace store

} // namespace rt
