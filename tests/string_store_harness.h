// A differential driver for the string store.
//
// The harness plays a sequence of store operations (new string, literal,
// fixed-length string, assign, concatenate, equality, free, release
// temporaries, make temporary) chosen by a Source, and keeps a plain model of
// every live string's value beside the store. Every step compares the
// strings it touches with their models (operands before the operation,
// results after it), so a value is always checked before it is consumed or
// freed. After each step (or every checkEvery steps) and at the end it
// compares every live string with its model and checks the store's
// bookkeeping:
//  - the live entries of the arena list are exactly the live arena strings,
//    each entry knows its slot, and their texts lie in list order inside the
//    arena, below the used offset;
//  - a record is on the temporary list exactly when its temporary flag is
//    set, at the slot it names;
//  - read-only and fixed-length strings are never on the arena list, and
//    literal texts are never written;
//  - after freeing an arena string the used offset is the end of the last
//    live text plus 32 (capped at the arena size), or 0 when none is left.
//
// The same harness runs from the unit tests (seeded random sources) and from
// the fuzz target (a Source that decodes the fuzzer's bytes). It reports the
// first mismatch as text instead of asserting, so both drivers can use it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "runtime/strings.h"

namespace harness {

// Where the harness takes its choices from.
class Source {
  public:
    virtual ~Source() = default;
    // A number in [0, n) (0 when n is 0).
    virtual std::uint32_t below(std::uint32_t n) = 0;
    // No more choices (the fuzzer's input is used up).
    virtual bool done() const = 0;
    bool coin(std::uint32_t oneIn) { return below(oneIn) == 0; }
};

class RandomSource final : public Source {
  public:
    explicit RandomSource(std::uint32_t seed) : engine_(seed) {}
    std::uint32_t below(std::uint32_t n) override {
        if (n == 0) return 0;
        return static_cast<std::uint32_t>(engine_() % n);
    }
    bool done() const override { return false; }

  private:
    std::mt19937 engine_;
};

// Decodes a byte string: one byte per choice below 256, two below 65,536,
// four otherwise. Once the bytes run out every choice is 0 and done() is set.
class ByteSource final : public Source {
  public:
    ByteSource(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint32_t below(std::uint32_t n) override {
        if (n <= 1) return 0;
        int bytes = n <= 256 ? 1 : n <= 65536 ? 2 : 4;
        std::uint32_t v = 0;
        for (int i = 0; i < bytes; ++i) {
            if (at_ >= size_) {
                exhausted_ = true;
                break;
            }
            v = (v << 8) | data_[at_++];
        }
        return v % n;
    }
    bool done() const override { return exhausted_ || at_ >= size_; }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
    bool exhausted_ = false;
};

struct Options {
    std::uint32_t maxLength = 3000; // longest new string (a few are this long)
    std::uint32_t maxLive = 200;    // above this the harness mostly frees
    std::uint32_t checkEvery = 1;   // full check (all values, bookkeeping) every n steps
    std::uint32_t maxFixed = 16;    // fixed-length strings per run (never given back)
    std::uint32_t maxFixedLength = 40;
    bool bigStrings = false; // many strings near maxLength: the arena grows
    // Never free the last arena string or the last temporary, and release
    // rarely: the lists fill up with holes until they are compacted/doubled.
    bool listPressure = false;
};

// Live string -> its position in the model: open addressing with linear
// probing, so remembering and forgetting a string makes no heap call.
class LiveIndex {
  public:
    LiveIndex() : slots_(64) {}

    // The position of s, or -1.
    std::ptrdiff_t find(const rt::RuntimeString* s) const {
        for (std::size_t i = home(s);; i = (i + 1) & mask()) {
            if (slots_[i].key == s) return static_cast<std::ptrdiff_t>(slots_[i].value);
            if (slots_[i].key == nullptr) return -1;
        }
    }
    void set(const rt::RuntimeString* s, std::size_t value) {
        if (2 * (count_ + 1) > slots_.size()) grow();
        std::size_t i = home(s);
        while (slots_[i].key != nullptr && slots_[i].key != s)
            i = (i + 1) & mask();
        if (slots_[i].key == nullptr) ++count_;
        slots_[i] = {s, value};
    }
    void erase(const rt::RuntimeString* s) {
        std::size_t i = home(s);
        while (slots_[i].key != s) {
            if (slots_[i].key == nullptr) return;
            i = (i + 1) & mask();
        }
        // Backward-shift deletion: later entries of the run move up into
        // the hole unless their home lies after it.
        for (std::size_t j = (i + 1) & mask(); slots_[j].key != nullptr; j = (j + 1) & mask()) {
            std::size_t h = home(slots_[j].key);
            bool movable = i <= j ? (h <= i || h > j) : (h <= i && h > j);
            if (movable) {
                slots_[i] = slots_[j];
                i = j;
            }
        }
        slots_[i] = {};
        --count_;
    }

  private:
    struct Slot {
        const rt::RuntimeString* key = nullptr;
        std::size_t value = 0;
    };
    std::size_t mask() const { return slots_.size() - 1; }
    std::size_t home(const rt::RuntimeString* s) const {
        auto v = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(s));
        return static_cast<std::size_t>((v >> 3) * 0x9E3779B97F4A7C15ull >> 20) & mask();
    }
    void grow() {
        std::vector<Slot> old(slots_.size() * 2);
        old.swap(slots_);
        count_ = 0;
        for (const Slot& e : old) {
            if (e.key != nullptr) set(e.key, e.value);
        }
    }
    std::vector<Slot> slots_;
    std::size_t count_ = 0;
};

class StoreHarness {
  public:
    explicit StoreHarness(const Options& options)
        : options_(options), constants_(constants()), pristine_(pristine()) {
        rt::initStringStore();
        base_ = rt::temporaryNextIndex();
    }

    const std::string& failure() const { return failure_; }
    bool failed() const { return !failure_.empty(); }
    std::size_t liveCount() const { return live_.size(); }
    std::uint64_t steps() const { return steps_; }

    // Plays one operation; returns false once the source is used up or a
    // check failed.
    bool step(Source& src) {
        if (failed() || src.done()) return false;
        ++steps_;
        op_ = "";
        bool crowded = live_.size() >= options_.maxLive;
        std::uint32_t pick = src.below(100);
        if (crowded && pick < 60) pick = 60 + src.below(20); // free or release
        // Each operation takes the picks below its bound.
        using Op = void (StoreHarness::*)(Source&);
        static constexpr std::pair<std::uint32_t, Op> kOps[] = {
            {18, &StoreHarness::opNew},           {26, &StoreHarness::opLiteral},
            {28, &StoreHarness::opFixed},         {44, &StoreHarness::opAssign},
            {54, &StoreHarness::opConcatenate},   {60, &StoreHarness::opEquality},
            {76, &StoreHarness::opFree},          {80, &StoreHarness::opRelease},
            {84, &StoreHarness::opMakeTemporary}, {100, &StoreHarness::opNew},
        };
        for (const auto& [bound, op] : kOps) {
            if (pick < bound) {
                (this->*op)(src);
                break;
            }
        }
        if (!failed() && (steps_ % options_.checkEvery == 0)) checkAll();
        return !failed();
    }

    // Frees everything and checks the store is empty again.
    void finish() {
        if (failed()) return;
        op_ = "finish";
        finishing_ = true;
        rt::releaseTemporaries(base_, 0);
        dropDeadTemporaries(base_);
        while (!live_.empty()) {
            rt::RuntimeString* s = live_.back().s;
            forget(s);
            rt::freeString(s);
        }
        rt::store::Stats st = rt::store::stats();
        expect(st.arenaCount == 0, "arena list empty at the end");
        expect(st.used == 0, "used offset 0 at the end");
        expect(st.temporaryNext == base_, "temporary list back at its base");
        checkAll();
    }

    // The full bookkeeping check (also run by step()).
    void checkAll() {
        if (failed()) return;
        rt::store::Stats st = rt::store::stats();
        const char* start = st.arenaStart;
        const char* end = start + st.arenaSize;
        expect(st.used <= st.arenaSize, "used offset within the arena");

        // Values and flags of the live strings.
        std::size_t arenaStrings = 0;
        std::size_t temporaries = 0;
        for (const Live& l : live_) {
            const rt::RuntimeString* s = l.s;
            if (!expect(s->length >= 0, "length not negative")) return;
            if (!expect(s->view() == std::string_view(l.value), "value matches the model", s))
                return;
            if (l.fixed && !expect(s->fixedLength && s->length == l.fixedLength,
                                   "fixed-length string keeps its length", s))
                return;
            if (!s->readOnly && !s->fixedLength && !s->inLowMemory) {
                ++arenaStrings;
                if (!expect(rt::store::arenaEntry(s->listIndex) == s, "arena string in its slot",
                            s))
                    return;
            }
            bool onList =
                s->temporaryIndex != 0 && rt::store::temporaryEntry(s->temporaryIndex) == s;
            if (!expect((s->temporary != 0) == onList, "temporary flag matches the list", s))
                return;
            if (s->temporary) ++temporaries;
        }

        // The arena list: order, bounds, slots.
        const char* previousEnd = start;
        std::size_t entries = 0;
        for (std::uint32_t i = 0; i < st.arenaCount; ++i) {
            const rt::RuntimeString* e = rt::store::arenaEntry(i);
            if (e == nullptr) continue;
            ++entries;
            if (!expect(isLive(e), "arena entry is a live string", e)) return;
            if (!expect(!e->readOnly && !e->fixedLength,
                        "no read-only or fixed string on the arena list", e))
                return;
            if (!expect(e->listIndex == i, "arena entry knows its slot", e)) return;
            if (!expect(e->text >= previousEnd, "arena texts in list order", e)) return;
            if (!expect(e->text + e->length <= end, "arena text inside the arena", e)) return;
            previousEnd = e->text + e->length;
        }
        expect(entries == arenaStrings, "arena list holds exactly the arena strings");
        expect(static_cast<std::size_t>(previousEnd - start) <= st.used,
               "used offset at or after the last text");

        // The temporary list.
        std::size_t temporaryEntries = 0;
        for (std::uint32_t i = 1; i < st.temporaryNext; ++i) {
            const rt::RuntimeString* e = rt::store::temporaryEntry(i);
            if (e == nullptr) continue;
            ++temporaryEntries;
            if (!expect(isLive(e) || isShared(e), "temporary entry is a live string", e)) return;
            if (!expect(e->temporary && e->temporaryIndex == i, "temporary entry knows its slot",
                        e))
                return;
        }
        expect(temporaryEntries == temporaries, "temporary list holds exactly the temporaries");

        // Literal texts are never written.
        if (steps_ % 256 == 0 || finishing_)
            for (std::size_t i = 0; i < constants_.size(); ++i) {
                if (!expect(constants_[i] == pristine_[i], "literal text unchanged")) return;
            }
    }

  private:
    struct Live {
        rt::RuntimeString* s;
        std::string value;
        bool fixed = false;
        std::int32_t fixedLength = 0;
    };

    bool expect(bool ok, const char* what, const rt::RuntimeString* s = nullptr) {
        if (ok || failed()) return ok;
        std::ostringstream out;
        out << "step " << steps_ << " (" << op_ << "): " << what;
        if (s != nullptr) {
            out << " [length " << s->length << ", temporary " << int(s->temporary) << " #"
                << s->temporaryIndex << ", read-only " << int(s->readOnly) << ", fixed "
                << int(s->fixedLength) << ", slot " << s->listIndex << "]";
        }
        failure_ = out.str();
        return false;
    }

    // The literal texts, made once per process: literals point straight at
    // them, so they must outlive every store.
    static std::vector<std::string>& constants() {
        static std::vector<std::string> all = [] {
            std::vector<std::string> out;
            std::mt19937 g(12345);
            auto add = [&](std::string s) { out.push_back(std::move(s)); };
            add("");
            add("a");
            add("A");
            add(" ");
            add("ab");
            add("abcdefg");
            add("The lamp flickers. Water drips somewhere below.");
            add(std::string("nul\0inside", 10));
            std::string every;
            for (int c = 0; c < 256; ++c)
                every.push_back(static_cast<char>(c));
            add(every);
            for (std::uint32_t n : {31u, 32u, 33u, 100u, 1000u, 4000u}) {
                std::string s;
                for (std::uint32_t i = 0; i < n; ++i)
                    s.push_back(static_cast<char>(g() & 0xFF));
                add(s);
            }
            return out;
        }();
        return all;
    }
    // Their copies, to see that no literal text was ever written.
    static const std::vector<std::string>& pristine() {
        static const std::vector<std::string> copy = constants();
        return copy;
    }

    bool isShared(const rt::RuntimeString* s) const {
        return s == rt::emptyString() || s == rt::spaceString();
    }
    bool isLive(const rt::RuntimeString* s) const { return index_.find(s) >= 0; }
    Live* find(rt::RuntimeString* s) {
        std::ptrdiff_t i = index_.find(s);
        return i < 0 ? nullptr : &live_[static_cast<std::size_t>(i)];
    }
    void remember(rt::RuntimeString* s, std::string value, bool fixed = false) {
        Live l{s, std::move(value), fixed, fixed ? s->length : 0};
        index_.set(s, live_.size());
        live_.push_back(std::move(l));
    }
    void forget(rt::RuntimeString* s) {
        std::ptrdiff_t at = index_.find(s);
        if (at < 0) return;
        auto i = static_cast<std::size_t>(at);
        index_.erase(s);
        if (i + 1 != live_.size()) {
            live_[i] = std::move(live_.back());
            index_.set(live_[i].s, i);
        }
        live_.pop_back();
    }
    // After releasing down to base, the model drops every temporary whose
    // index was at or above it (recorded before the release).
    void dropDeadTemporaries(std::uint32_t) {
        for (rt::RuntimeString* s : dying_)
            forget(s);
        dying_.clear();
    }

    std::uint32_t length(Source& src) {
        std::uint32_t max = options_.maxLength;
        if (options_.bigStrings && src.coin(3)) return max / 2 + src.below(max / 2 + 1);
        switch (src.below(8)) {
        case 0:
            return 0;
        case 1:
        case 2:
        case 3:
            return src.below(40);
        case 4:
            return 30 + src.below(5); // around the growth room
        case 5:
        case 6:
            return src.below(std::min<std::uint32_t>(300, max + 1));
        default:
            return src.below(max + 1);
        }
    }

    // Contents: random bytes, a two-letter alphabet (so values often repeat
    // and compare equal), or zeros.
    std::string content(Source& src, std::uint32_t n) {
        std::uint32_t kind = src.below(3);
        std::uint64_t x = src.below(0xFFFFFFFFu) * 0x9E3779B97F4A7C15ull + 1;
        std::string s(n, '\0');
        if (kind == 2) return s;
        // Eight bytes of xorshift at a time; for the two-letter alphabet
        // each bit picks 'a' or 'A'.
        for (std::uint32_t i = 0; i < n; i += 8) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            std::uint64_t w = x;
            if (kind == 1) w = 0x4141414141414141ull | ((x & 0x0101010101010101ull) << 5);
            std::memcpy(&s[i], &w, std::min<std::uint32_t>(8, n - i));
        }
        return s;
    }

    // A live string, or sometimes one of the shared strings when allowed.
    rt::RuntimeString* pick(Source& src, bool allowShared) {
        if (allowShared && (live_.empty() || src.coin(16)))
            return src.coin(2) ? rt::emptyString() : rt::spaceString();
        if (live_.empty()) return nullptr;
        return live_[src.below(static_cast<std::uint32_t>(live_.size()))].s;
    }
    const std::string& valueOf(rt::RuntimeString* s) {
        static const std::string empty;
        static const std::string space(" ");
        if (s == rt::emptyString()) return empty;
        if (s == rt::spaceString()) return space;
        return find(s)->value;
    }

    // A string the step touches: its value must match the model.
    bool touched(const rt::RuntimeString* s) {
        if (s == nullptr || isShared(s)) {
            return s == nullptr || expect(s->view() == (s == rt::emptyString() ? "" : " "),
                                          "shared string unchanged", s);
        }
        std::ptrdiff_t i = index_.find(s);
        if (!expect(i >= 0, "touched string is live", s)) return false;
        return expect(s->view() == std::string_view(live_[static_cast<std::size_t>(i)].value),
                      "value matches the model", s);
    }

    bool isArenaString(const rt::RuntimeString* s) const {
        return !s->readOnly && !s->fixedLength && !s->inLowMemory;
    }

    // The used offset a free must leave behind.
    void checkUsedAfterFree() {
        rt::store::Stats st = rt::store::stats();
        if (st.arenaCount == 0) {
            expect(st.used == 0, "used offset 0 once the arena list is empty");
            return;
        }
        const rt::RuntimeString* last = rt::store::arenaEntry(st.arenaCount - 1);
        if (!expect(last != nullptr, "no hole at the end of the arena list after a free")) return;
        std::size_t want = static_cast<std::size_t>(last->text - st.arenaStart) +
                           static_cast<std::size_t>(last->length) + 32;
        if (want > st.arenaSize) want = st.arenaSize;
        expect(st.used == want, "used offset = end of the last text + 32 after a free");
    }

    void opNew(Source& src) {
        op_ = "new";
        std::uint32_t n = length(src);
        bool temporary = options_.listPressure ? !src.coin(4) : src.coin(2);
        std::string value = content(src, n);
        rt::RuntimeString* s = rt::newString(n, temporary);
        if (!expect(s != nullptr && s->length == static_cast<std::int32_t>(n), "new string length"))
            return;
        std::memcpy(s->text, value.data(), n);
        rt::store::Stats st = rt::store::stats();
        expect(static_cast<std::size_t>(s->text - st.arenaStart) + n + 32 == st.used,
               "new string reserves its length + 32 at the used offset", s);
        expect((s->temporary != 0) == temporary, "new string temporary flag", s);
        remember(s, std::move(value));
        touched(s);
    }

    void opLiteral(Source& src) {
        op_ = "literal";
        std::uint32_t form = src.below(8);
        const std::string& c = constants_[src.below(static_cast<std::uint32_t>(constants_.size()))];
        rt::RuntimeString* s;
        std::string value;
        const char* want;
        if (form == 0) {
            s = rt::literal(nullptr);
            want = nullptr;
        } else if (form < 3) {
            s = rt::literal(c.c_str());
            value = std::string(c.c_str());
            want = c.c_str();
        } else {
            s = rt::literal(c.data(), static_cast<std::int32_t>(c.size()));
            value = c;
            want = c.data();
        }
        if (!expect(s->readOnly && s->temporary, "literal is read-only and temporary", s)) return;
        if (want != nullptr) expect(s->text == want, "literal points at the constant text", s);
        remember(s, std::move(value));
        touched(s);
    }

    void opFixed(Source& src) {
        op_ = "fixed";
        if (fixedMade_ >= options_.maxFixed) return opNew(src);
        ++fixedMade_;
        std::uint32_t n = src.below(options_.maxFixedLength + 1);
        rt::RuntimeString* s = rt::newFixedString(n);
        remember(s, std::string(n, ' '), true);
        if (src.coin(3)) rt::makeTemporary(s);
        touched(s);
    }

    void opAssign(Source& src) {
        op_ = "assign";
        rt::RuntimeString* d = pick(src, false);
        if (d == nullptr) return opNew(src);
        const Live* dl = find(d);
        // Assigning to a literal is not something the game does; do it
        // rarely (it must not write the constant).
        if (d->readOnly && !src.coin(8)) return;
        rt::RuntimeString* s = pick(src, true);
        if (!touched(d) || !touched(s)) return;
        const std::string& sv = valueOf(s);
        const std::size_t sourceLength = sv.size();
        bool consumed = s != d && s->temporary && !isShared(s);
        bool takenOver = consumed && isArenaString(s) && isArenaString(d);
        bool wasArena = isArenaString(d);
        const char* oldText = d->text;
        const char* sourceText = s->text;
        std::int32_t oldLength = d->length;
        // The destination's new model value. A consumed source's model moves
        // over; otherwise it is copied into the destination's own buffer
        // (after the store's assign, while the source is still live).
        std::string nv;
        if (dl->fixed) {
            nv = sv.substr(0, static_cast<std::size_t>(dl->fixedLength));
            nv.resize(static_cast<std::size_t>(dl->fixedLength), ' ');
        } else if (consumed) {
            nv = std::move(find(s)->value);
        }
        op_ = d->fixedLength ? "assign to fixed" : d->readOnly ? "assign to read-only" : "assign";
        rt::RuntimeString* r = rt::assign(d, s);
        if (!expect(r == d, "assign returns the destination", d)) return;
        if (dl->fixed || consumed) {
            if (consumed) forget(s);
            find(d)->value = std::move(nv);
        } else if (s != d) {
            find(d)->value.assign(valueOf(s));
        }
        if (takenOver) {
            expect(d->text == sourceText, "assigning a temporary takes its text over", d);
        } else if (wasArena && sourceLength <= static_cast<std::size_t>(oldLength)) {
            expect(d->text == oldText, "a text that fits is copied in place", d);
        }
        if (d->fixedLength) expect(d->text == oldText, "a fixed-length string never moves", d);
        touched(d);
    }

    void opConcatenate(Source& src) {
        op_ = "concatenate";
        rt::RuntimeString* a = pick(src, true);
        rt::RuntimeString* b = src.coin(8) ? a : pick(src, true);
        if (a == nullptr || b == nullptr) return opNew(src);
        if (!touched(a) || !touched(b)) return;
        const std::size_t an = valueOf(a).size();
        const std::size_t bn = valueOf(b).size();
        // Joining results again and again would double the length each
        // time: keep joins to a few times the longest new string.
        if (an + bn > 4 * static_cast<std::size_t>(options_.maxLength) + 64) return opEquality(src);
        bool aDies = a->temporary && !isShared(a);
        bool bDies = b != a && b->temporary && !isShared(b);
        rt::RuntimeString* r = rt::concatenate(a, b);
        if (bn == 0) {
            if (expect(r == a, "concatenate with an empty second operand returns the first"))
                touched(a);
            return;
        }
        if (an == 0) {
            if (expect(r == b, "concatenate with an empty first operand returns the second"))
                touched(b);
            return;
        }
        if (!expect(r != a && r != b && r->temporary && isArenaString(r),
                    "concatenate makes a new temporary", r))
            return;
        // The joined model value, reusing a dying first operand's buffer.
        std::string joined = aDies ? std::move(find(a)->value) : valueOf(a);
        if (b == a) {
            joined.append(joined, 0, an);
        } else {
            joined += valueOf(b);
        }
        if (aDies) forget(a);
        if (bDies) forget(b);
        remember(r, std::move(joined));
        touched(r);
    }

    void opEquality(Source& src) {
        op_ = "equality";
        rt::RuntimeString* a = pick(src, true);
        rt::RuntimeString* b = src.coin(4) ? a : pick(src, true);
        if (a == nullptr || b == nullptr) return;
        if (!touched(a) || !touched(b)) return;
        std::int32_t want = valueOf(a) == valueOf(b) ? -1 : 0;
        expect(rt::equality(a, b) == want, "equality matches the model", a);
    }

    void opFree(Source& src) {
        op_ = "free";
        rt::RuntimeString* s = pick(src, false);
        if (s == nullptr) return;
        if (options_.listPressure) {
            rt::store::Stats st = rt::store::stats();
            if (st.arenaCount > 0 && rt::store::arenaEntry(st.arenaCount - 1) == s) return;
            if (s->temporary && s->temporaryIndex + 1 == st.temporaryNext) return;
        }
        if (!touched(s)) return;
        bool arena = isArenaString(s);
        forget(s);
        rt::freeString(s);
        if (arena) checkUsedAfterFree();
    }

    void opRelease(Source& src) {
        op_ = "release";
        std::uint32_t next = rt::temporaryNextIndex();
        std::uint32_t base;
        if (options_.listPressure) {
            if (!src.coin(8)) return;
            base = next > 3 ? next - 3 : base_;
        } else {
            switch (src.below(4)) {
            case 0:
                base = next;
                break; // nothing to do
            case 1:
                base = base_ + src.below(next - base_ + 1);
                break;
            default:
                base = base_;
                break;
            }
        }
        for (const Live& l : live_) {
            if (l.s->temporary && l.s->temporaryIndex >= base) dying_.push_back(l.s);
        }
        for (const rt::RuntimeString* d : dying_) {
            if (!touched(d)) return;
        }
        std::int32_t value = static_cast<std::int32_t>(src.below(1000)) - 500;
        std::int32_t got = rt::releaseTemporaries(base, value);
        expect(got == value, "release passes its value through");
        dropDeadTemporaries(base);
        if (base >= next)
            expect(rt::temporaryNextIndex() == next, "an empty release changes nothing");
    }

    void opMakeTemporary(Source& src) {
        op_ = "make temporary";
        rt::RuntimeString* s = pick(src, false);
        if (s == nullptr || !touched(s)) return;
        std::uint32_t index = s->temporaryIndex;
        bool was = s->temporary != 0;
        expect(rt::makeTemporary(s) == s, "make temporary returns its string", s);
        expect(s->temporary != 0, "made temporary", s);
        if (was) expect(s->temporaryIndex == index, "an existing temporary keeps its slot", s);
    }

    Options options_;
    std::vector<Live> live_;
    LiveIndex index_;
    std::vector<rt::RuntimeString*> dying_;
    const std::vector<std::string>& constants_;
    const std::vector<std::string>& pristine_;
    std::uint32_t base_ = 1;
    std::uint32_t fixedMade_ = 0;
    std::uint64_t steps_ = 0;
    bool finishing_ = false;
    std::string failure_;
    const char* op_ = "";
};

} // namespace harness
