// The game's statement patterns make no heap calls once the store is warm.
//
// This program replaces every form of operator new and delete and, through
// the usual glibc symbol override, malloc, calloc, realloc, free and the
// aligned allocators, counting the calls made while counting is switched on.
// It then plays 100,000 rounds (10,000 in sanitizer and debug builds) of the three patterns on the
// text page (a printed literal piece with make fit; a comparison with a temporary literal and a
// release; a printed number: single to text, " ", make fit, print) and a bare line end, and expects
// no call at all.
//
// Under AddressSanitizer (or another sanitizer with its own allocator) the
// malloc family belongs to the sanitizer, so only operator new and delete
// are replaced there.
#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>

#include "runtime/errors.h"
#include "runtime/numfmt.h"
#include "runtime/pages.h"
#include "runtime/screen.h"
#include "runtime/strings.h"
#include "tests/support/statement_patterns.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) ||                         \
    __has_feature(memory_sanitizer) || __has_feature(hwaddress_sanitizer)
#define GLIMMER_SANITIZER_ALLOCATOR 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__) || defined(__SANITIZE_HWADDRESS__)
#ifndef GLIMMER_SANITIZER_ALLOCATOR
#define GLIMMER_SANITIZER_ALLOCATOR 1
#endif
#endif

namespace {

// Constant-initialised, so they work before any constructor has run.
std::atomic<bool> counting{false};
std::atomic<long> newCalls{0};
std::atomic<long> mallocCalls{0};

void countNew() {
    if (counting.load(std::memory_order_relaxed)) newCalls.fetch_add(1, std::memory_order_relaxed);
}

} // namespace

#ifndef GLIMMER_SANITIZER_ALLOCATOR
// glibc's own entry points, which its malloc, calloc, realloc and free
// forward to.
extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void __libc_free(void*);
void* __libc_memalign(std::size_t, std::size_t);
}

namespace {
void countMalloc() {
    if (counting.load(std::memory_order_relaxed))
        mallocCalls.fetch_add(1, std::memory_order_relaxed);
}
} // namespace

extern "C" {
void* malloc(std::size_t n) {
    countMalloc();
    return __libc_malloc(n);
}
void* calloc(std::size_t n, std::size_t size) {
    countMalloc();
    return __libc_calloc(n, size);
}
void* realloc(void* p, std::size_t n) {
    countMalloc();
    return __libc_realloc(p, n);
}
void free(void* p) {
    if (p != nullptr) countMalloc();
    __libc_free(p);
}
void* memalign(std::size_t alignment, std::size_t n) {
    countMalloc();
    return __libc_memalign(alignment, n);
}
void* aligned_alloc(std::size_t alignment, std::size_t n) {
    countMalloc();
    return __libc_memalign(alignment, n);
}
int posix_memalign(void** out, std::size_t alignment, std::size_t n) {
    countMalloc();
    if (alignment < sizeof(void*) || (alignment & (alignment - 1)) != 0) return 22; // EINVAL
    void* p = __libc_memalign(alignment, n);
    if (p == nullptr && n != 0) return 12; // ENOMEM
    *out = p;
    return 0;
}
}
#endif

namespace {

void* allocate(std::size_t n) {
    countNew();
    if (n == 0) n = 1;
    void* p = std::malloc(n);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

void* allocateAligned(std::size_t n, std::align_val_t alignment) {
    countNew();
    std::size_t a = static_cast<std::size_t>(alignment);
    if (a < sizeof(void*)) a = sizeof(void*);
    if (n == 0) n = 1;
    void* p = nullptr;
    if (posix_memalign(&p, a, n) != 0) throw std::bad_alloc();
    return p;
}

void release(void* p) {
    if (p != nullptr) countNew();
    std::free(p);
}

} // namespace

void* operator new(std::size_t n) {
    return allocate(n);
}
void* operator new[](std::size_t n) {
    return allocate(n);
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    try {
        return allocate(n);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
    try {
        return allocate(n);
    } catch (...) {
        return nullptr;
    }
}
void* operator new(std::size_t n, std::align_val_t a) {
    return allocateAligned(n, a);
}
void* operator new[](std::size_t n, std::align_val_t a) {
    return allocateAligned(n, a);
}
void* operator new(std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
    try {
        return allocateAligned(n, a);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
    try {
        return allocateAligned(n, a);
    } catch (...) {
        return nullptr;
    }
}
void operator delete(void* p) noexcept {
    release(p);
}
void operator delete[](void* p) noexcept {
    release(p);
}
void operator delete(void* p, std::size_t) noexcept {
    release(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    release(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    release(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    release(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    release(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    release(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    release(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
    release(p);
}
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept {
    release(p);
}
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept {
    release(p);
}

namespace {

// Sanitizer and unoptimised builds run the same check over fewer rounds:
// there the printing alone takes tens of microseconds a round.
#if defined(GLIMMER_SANITIZER_ALLOCATOR) || !defined(__OPTIMIZE__)
constexpr int kRounds = 10000;
#else
constexpr int kRounds = 100000;
#endif
constexpr int kWarmUp = 1000;

const char kPiece[] = "You stand at the rusted gate of the old mine. ";
const char kChoice[] = "3";

struct Counts {
    long news;
    long mallocs;
};

template <typename F> Counts countCalls(F&& f) {
    newCalls = 0;
    mallocCalls = 0;
    counting = true;
    f();
    counting = false;
    return {newCalls.load(), mallocCalls.load()};
}

class Patterns {
  public:
    Patterns() {
        rt::resetErrorsAndFlags();
        rt::initStringStore();
        rt::selectTextMode0();
        answer_ = rt::newString(1, false);
        answer_->text[0] = '3';
        base_ = rt::temporaryNextIndex();
    }

    void round() {
        patterns::printPiece(kPiece, sizeof kPiece - 1);
        hits_ += patterns::compare(answer_, kChoice, 1, base_);
        patterns::printNumber(x_, base_);
        // A bare line end now and then.
        if (++rounds_ % 3 == 0) rt::print(rt::emptyString(), 1);
        x_ = x_ >= 1000.0f ? -12.5f : x_ + 0.75f;
    }

    long hits() const { return hits_; }
    std::uint32_t base() const { return base_; }

  private:
    rt::RuntimeString* answer_ = nullptr;
    std::uint32_t base_ = 1;
    long hits_ = 0;
    long rounds_ = 0;
    float x_ = 0.0f;
};

TEST(NoAllocation, TheCountersSeeHeapCalls) {
    Counts c = countCalls([] {
        int* volatile p = new int(5);
        delete p;
    });
    EXPECT_EQ(c.news, 2);
#ifndef GLIMMER_SANITIZER_ALLOCATOR
    Counts m = countCalls([] {
        void* volatile p = std::malloc(24);
        std::free(p);
    });
    EXPECT_EQ(m.mallocs, 2);
#endif
}

TEST(NoAllocation, StatementPatternsMakeNoHeapCallsOnceWarm) {
    Patterns p;
    for (int i = 0; i < kWarmUp; ++i)
        p.round();
    Counts c = countCalls([&p] {
        for (int i = 0; i < kRounds; ++i)
            p.round();
    });
    EXPECT_EQ(c.news, 0) << "operator new/delete calls";
    EXPECT_EQ(c.mallocs, 0) << "malloc-family calls";
    EXPECT_EQ(p.hits(), -(kWarmUp + kRounds));
    EXPECT_EQ(rt::temporaryNextIndex(), p.base());
    EXPECT_EQ(rt::store::stats().arenaCount, 1u); // only the answer variable
    EXPECT_EQ(rt::errorPending(), 0u);
}

} // namespace
