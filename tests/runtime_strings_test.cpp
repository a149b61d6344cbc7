// The string store: differential runs against a plain model, the store's
// edge cases, list and arena growth, and the guarded corner cases (self
// assignment, self concatenation, releases near slot 0, literals as
// destinations, lengths beyond 32 bits).
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "runtime/strings.h"
#include "tests/string_store_harness.h"

namespace {

using rt::RuntimeString;
namespace store = rt::store;

RuntimeString* make(const std::string& value, bool temporary = false) {
    RuntimeString* s = rt::newString(static_cast<std::uint32_t>(value.size()), temporary);
    std::memcpy(s->text, value.data(), value.size());
    return s;
}

std::string str(const RuntimeString* s) {
    return std::string(s->view());
}

std::size_t offsetOf(const RuntimeString* s) {
    return static_cast<std::size_t>(s->text - store::stats().arenaStart);
}

std::size_t endOf(const RuntimeString* s) {
    return offsetOf(s) + static_cast<std::size_t>(s->length);
}

class StringStore : public ::testing::Test {
  protected:
    void SetUp() override { rt::initStringStore(); }
};

// ---- Differential runs ----------------------------------------------------

void run(const harness::Options& options, std::uint32_t seed, std::uint32_t steps) {
    harness::StoreHarness h(options);
    harness::RandomSource src(seed);
    for (std::uint32_t i = 0; i < steps && h.step(src); ++i) {
    }
    h.checkAll();
    h.finish();
    ASSERT_EQ(h.failure(), "") << "seed " << seed;
}

TEST(StringStoreModel, RandomSequencesMatchTheModel) {
    harness::Options o;
    for (std::uint32_t seed : {1u, 2u, 3u, 4u, 5u})
        run(o, seed, 4000);
}

TEST(StringStoreModel, ShortStringsAroundTheGrowthRoomMatchTheModel) {
    harness::Options o;
    o.maxLength = 70;
    o.maxLive = 40;
    for (std::uint32_t seed : {11u, 12u, 13u})
        run(o, seed, 4000);
}

TEST(StringStoreModel, GrowingArenaMatchesTheModel) {
    harness::Options o;
    o.maxLength = 16000;
    o.maxLive = 500;
    o.bigStrings = true;
    harness::StoreHarness h(o);
    harness::RandomSource src(21);
    std::size_t initial = store::stats().arenaSize;
    std::size_t largest = initial;
    for (int i = 0; i < 3000 && h.step(src); ++i)
        largest = std::max(largest, store::stats().arenaSize);
    h.finish();
    ASSERT_EQ(h.failure(), "");
    EXPECT_GT(largest, initial) << "the run was meant to grow the arena";
}

TEST(StringStoreModel, ListsFullOfHolesAreCompactedAndDoubled) {
    harness::Options o;
    o.maxLength = 40;
    o.maxLive = 60;
    o.listPressure = true;
    o.checkEvery = 4096;
    harness::StoreHarness h(o);
    harness::RandomSource src(31);
    bool arenaCompacted = false;
    std::uint32_t previousCount = 0;
    for (int i = 0; i < 200000 && h.step(src); ++i) {
        store::Stats st = store::stats();
        // The arena list only shrinks this far by compaction: frees in this
        // run never pop the last entry.
        if (previousCount >= st.arenaCapacity - 1 && st.arenaCount < previousCount / 2)
            arenaCompacted = true;
        previousCount = st.arenaCount;
        if (arenaCompacted && st.temporaryCapacity > 65535) break;
    }
    h.checkAll();
    h.finish();
    ASSERT_EQ(h.failure(), "");
    EXPECT_TRUE(arenaCompacted);
    EXPECT_EQ(store::stats().temporaryCapacity, 2u * 65535u);
}

// ---- Edge cases -------------------------------------------------------------

TEST_F(StringStore, ConcatenatingWithAnEmptyOperandReturnsTheOtherOperandItself) {
    std::uint32_t base = rt::temporaryNextIndex();
    RuntimeString* variable = make("lantern");
    RuntimeString* empty = rt::literal("");
    EXPECT_EQ(rt::concatenate(variable, empty), variable);
    EXPECT_EQ(rt::concatenate(rt::literal(""), variable), variable);
    RuntimeString* temp = make("rope", true);
    EXPECT_EQ(rt::concatenate(rt::emptyString(), temp), temp);
    EXPECT_EQ(rt::releaseTemporaries(base, 7), 7);
    // The permanent variable survives the release; the literals and the
    // temporary are gone.
    EXPECT_EQ(str(variable), "lantern");
    EXPECT_FALSE(variable->temporary);
    EXPECT_EQ(store::arenaEntry(variable->listIndex), variable);
    EXPECT_EQ(rt::temporaryNextIndex(), base);
    EXPECT_EQ(store::stats().arenaCount, 1u);
}

TEST_F(StringStore, AssigningALongerTextToTheLastStringGrowsItInPlace) {
    RuntimeString* first = make("x");
    RuntimeString* last = make("ab");
    const char* text = last->text;
    rt::assign(last, rt::literal("a much longer text than the growth room allows"));
    EXPECT_EQ(last->text, text);
    EXPECT_EQ(str(last), "a much longer text than the growth room allows");
    EXPECT_EQ(store::stats().used, endOf(last)); // the growth room is used up
    EXPECT_EQ(str(first), "x");
}

TEST_F(StringStore, AssigningToAnEarlierStringWithACloseNeighbourRelocatesIt) {
    RuntimeString* early = make("ab");
    RuntimeString* neighbour = make("cd");
    const char* text = early->text;
    std::string longer(40, 'L'); // more than 2 + 32 bytes of room
    rt::assign(early, rt::literal(longer.c_str()));
    EXPECT_NE(early->text, text);
    EXPECT_EQ(str(early), longer);
    EXPECT_EQ(str(neighbour), "cd");
    // Moved to the end of the arena list, with no growth room behind it.
    store::Stats st = store::stats();
    EXPECT_EQ(store::arenaEntry(0), nullptr);
    EXPECT_EQ(store::arenaEntry(st.arenaCount - 1), early);
    EXPECT_EQ(offsetOf(early), endOf(neighbour) + 32);
    EXPECT_EQ(st.used, endOf(early));
}

TEST_F(StringStore, AssigningWithinTheGrowthRoomOfAnEarlierStringStaysInPlace) {
    RuntimeString* early = make("ab");
    RuntimeString* neighbour = make("cd");
    const char* text = early->text;
    std::string longer(34, 'L'); // exactly up to the neighbour
    rt::assign(early, rt::literal(longer.c_str()));
    EXPECT_EQ(early->text, text);
    EXPECT_EQ(str(early), longer);
    EXPECT_EQ(str(neighbour), "cd");
}

TEST_F(StringStore, AssigningToTheLastLiveStringBeforeTrailingHolesGrowsItInPlace) {
    RuntimeString* t = make("taken", true);
    RuntimeString* e = make("e");
    RuntimeString* d = make("d");
    rt::assign(d, t); // d moves into t's slot; its old last slot is a hole
    ASSERT_EQ(store::stats().arenaCount, 3u);
    ASSERT_EQ(store::arenaEntry(2), nullptr);
    const char* text = e->text;
    std::string longer(100, 'g');
    rt::assign(e, rt::literal(longer.c_str()));
    EXPECT_EQ(e->text, text); // nothing live behind it: grown where it is
    EXPECT_EQ(str(e), longer);
    EXPECT_EQ(store::stats().arenaCount, 2u); // the trailing hole is dropped
    EXPECT_EQ(store::stats().used, endOf(e));
    EXPECT_EQ(str(d), "taken");
}

TEST_F(StringStore, AssigningAShorterTextKeepsTheStorage) {
    RuntimeString* s = make("a fairly long line of text");
    RuntimeString* after = make("after");
    const char* text = s->text;
    std::size_t used = store::stats().used;
    rt::assign(s, rt::literal("short"));
    EXPECT_EQ(s->text, text);
    EXPECT_EQ(str(s), "short");
    EXPECT_EQ(store::stats().used, used);
    // The old length still fits where it was.
    rt::assign(s, rt::literal("a fairly long line of text"));
    EXPECT_EQ(s->text, text);
    EXPECT_EQ(str(after), "after");
}

TEST_F(StringStore, FreeingTheMostRecentStringsGivesTheirSpaceBack) {
    RuntimeString* a = make("first");
    RuntimeString* b = make("second string");
    RuntimeString* c = make("third");
    rt::freeString(b); // a hole in the middle: c is still last
    EXPECT_EQ(store::stats().used, endOf(c) + 32);
    rt::freeString(c); // pops c and the hole
    EXPECT_EQ(store::stats().arenaCount, 1u);
    EXPECT_EQ(store::stats().used, endOf(a) + 32);
    rt::freeString(a);
    EXPECT_EQ(store::stats().arenaCount, 0u);
    EXPECT_EQ(store::stats().used, 0u);
}

TEST_F(StringStore, UsedOffsetAfterAFreeNeverPassesTheArenaEnd) {
    std::size_t size = store::stats().arenaSize;
    RuntimeString* a = make("a");
    // Grow a over the rest of the arena in place: no room behind it.
    std::string fill(size - offsetOf(a), 'f');
    rt::assign(a, rt::literal(fill.data(), static_cast<std::int32_t>(fill.size())));
    ASSERT_EQ(offsetOf(a), 0u);
    EXPECT_EQ(store::stats().used, size);
    RuntimeString* t = rt::literal("x");
    rt::freeString(t);
    RuntimeString* b = make("b"); // does not fit: the arena grows
    rt::freeString(b);
    EXPECT_EQ(store::stats().used, std::min(endOf(a) + 32, store::stats().arenaSize));
    EXPECT_EQ(str(a), fill);
}

TEST_F(StringStore, EqualityIsByteExactAndCaseSensitive) {
    EXPECT_EQ(rt::equality(rt::literal(""), rt::literal("")), -1);
    EXPECT_EQ(rt::equality(rt::emptyString(), make("")), -1);
    EXPECT_EQ(rt::equality(rt::literal("a"), rt::literal("A")), 0);
    EXPECT_EQ(rt::equality(rt::literal("ab"), rt::literal("abc")), 0);
    EXPECT_EQ(rt::equality(rt::literal("a\0b", 3), rt::literal("a\0c", 3)), 0);
    EXPECT_EQ(rt::equality(make(std::string("\xff\x00", 2)), rt::literal("\xff\x00", 2)), -1);
    // Equality consumes nothing.
    RuntimeString* t = make("kept", true);
    EXPECT_EQ(rt::equality(t, rt::literal("kept")), -1);
    EXPECT_TRUE(t->temporary);
    EXPECT_EQ(str(t), "kept");
}

TEST_F(StringStore, ReleasingWithABaseEqualToTheNextIndexDoesNothing) {
    RuntimeString* t = make("temporary", true);
    std::uint32_t next = rt::temporaryNextIndex();
    EXPECT_EQ(rt::releaseTemporaries(next, -1), -1);
    EXPECT_EQ(rt::releaseTemporaries(next + 5, 42), 42);
    EXPECT_EQ(rt::temporaryNextIndex(), next);
    EXPECT_TRUE(t->temporary);
    EXPECT_EQ(str(t), "temporary");
}

TEST_F(StringStore, FixedLengthDestinationIsPaddedWithSpacesOrCut) {
    RuntimeString* f = rt::newFixedString(5);
    EXPECT_EQ(str(f), "     ");
    const char* text = f->text;
    rt::assign(f, rt::literal("ab"));
    EXPECT_EQ(str(f), "ab   ");
    rt::assign(f, rt::literal("abcdefg"));
    EXPECT_EQ(str(f), "abcde");
    rt::assign(f, make("xyz", true)); // a temporary source is still consumed
    EXPECT_EQ(str(f), "xyz  ");
    EXPECT_EQ(f->text, text);
    EXPECT_EQ(rt::temporaryNextIndex(), 1u);
    EXPECT_EQ(store::stats().arenaCount, 0u); // fixed strings stay off the arena list
}

// ---- The statement patterns -------------------------------------------------

TEST_F(StringStore, PrintPatternLeavesTheStoreAsItWas) {
    RuntimeString* keep = make("variable");
    store::Stats before = store::stats();
    for (int i = 0; i < 1000; ++i) {
        RuntimeString* piece = rt::newString(0, false);
        rt::assign(piece, rt::literal("You stand at the gate of the old mine."));
        EXPECT_EQ(str(piece), "You stand at the gate of the old mine.");
        rt::freeString(piece);
    }
    store::Stats after = store::stats();
    EXPECT_EQ(after.used, before.used);
    EXPECT_EQ(after.arenaCount, before.arenaCount);
    EXPECT_EQ(after.temporaryNext, before.temporaryNext);
    EXPECT_EQ(str(keep), "variable");
}

TEST_F(StringStore, NumberPatternTakesTheJoinedTextOver) {
    std::uint32_t base = rt::temporaryNextIndex();
    RuntimeString* number = make(" 100", true);
    RuntimeString* joined = rt::concatenate(number, rt::literal(" "));
    EXPECT_TRUE(joined->temporary);
    const char* text = joined->text;
    RuntimeString* piece = rt::newString(0, false);
    rt::assign(piece, joined);
    EXPECT_EQ(piece->text, text); // taken over, not copied
    EXPECT_EQ(str(piece), " 100 ");
    EXPECT_FALSE(piece->temporary);
    rt::freeString(piece);
    rt::releaseTemporaries(base, 0);
    EXPECT_EQ(store::stats().arenaCount, 0u);
    EXPECT_EQ(store::stats().used, 0u);
    EXPECT_EQ(rt::temporaryNextIndex(), base);
}

TEST_F(StringStore, ComparePatternReleasesTheLiteral) {
    std::uint32_t base = rt::temporaryNextIndex();
    RuntimeString* answer = make("3");
    EXPECT_EQ(rt::releaseTemporaries(base, rt::equality(answer, rt::literal("3"))), -1);
    std::uint32_t freeBefore = store::stats().freeRecords;
    EXPECT_EQ(rt::releaseTemporaries(base, rt::equality(answer, rt::literal("4"))), 0);
    EXPECT_EQ(rt::temporaryNextIndex(), base);
    EXPECT_EQ(store::stats().freeRecords, freeBefore); // the literal's record went back
    EXPECT_EQ(str(answer), "3");
}

// ---- Guarded corner cases ---------------------------------------------------

TEST_F(StringStore, AssigningATemporaryToItselfKeepsIt) {
    RuntimeString* t = make("self", true);
    EXPECT_EQ(rt::assign(t, t), t);
    EXPECT_EQ(str(t), "self");
    EXPECT_TRUE(t->temporary);
    EXPECT_EQ(store::arenaEntry(t->listIndex), t);
    RuntimeString* other = make("other");
    EXPECT_NE(other, t); // t's record was not given back
}

TEST_F(StringStore, ConcatenatingATemporaryWithItselfFreesItOnce) {
    RuntimeString* t = make("echo", true);
    std::uint32_t freeBefore = store::stats().freeRecords;
    RuntimeString* r = rt::concatenate(t, t);
    EXPECT_EQ(str(r), "echoecho");
    EXPECT_EQ(store::stats().freeRecords, freeBefore + 1);
    RuntimeString* a = rt::newString(1, false);
    RuntimeString* b = rt::newString(1, false);
    EXPECT_NE(a, b);
    EXPECT_NE(a, r);
    EXPECT_NE(b, r);
}

TEST_F(StringStore, FreeingTheOnlyTemporaryStopsAtSlotOne) {
    RuntimeString* t = make("t", true);
    EXPECT_EQ(t->temporaryIndex, 1u);
    rt::freeString(t);
    EXPECT_EQ(rt::temporaryNextIndex(), 1u);
    RuntimeString* u = rt::literal("u");
    EXPECT_EQ(u->temporaryIndex, 1u);
}

TEST_F(StringStore, ReleasingFromBaseZeroNeverTouchesSlotZero) {
    rt::literal("a");
    rt::literal("b");
    EXPECT_EQ(rt::releaseTemporaries(0, 9), 9);
    EXPECT_EQ(rt::temporaryNextIndex(), 1u);
    EXPECT_EQ(rt::literal("c")->temporaryIndex, 1u);
}

TEST_F(StringStore, ReleaseNeverLowersTheNextIndexBelowItsBase) {
    RuntimeString* a = make("a", true); // slot 1
    RuntimeString* b = make("b", true); // slot 2
    rt::literal("c");                   // slot 3
    rt::freeString(b);                  // a hole below slot 3
    EXPECT_EQ(rt::releaseTemporaries(3, 0), 0);
    EXPECT_EQ(rt::temporaryNextIndex(), 3u);
    EXPECT_EQ(rt::literal("d")->temporaryIndex, 3u); // still released by a base of 3
    EXPECT_EQ(str(a), "a");
}

TEST_F(StringStore, AssigningToALiteralGivesItStorageOfItsOwn) {
    static const char constant[] = "constant";
    RuntimeString* l = rt::literal(constant);
    rt::assign(l, rt::literal("other"));
    EXPECT_STREQ(constant, "constant");
    EXPECT_EQ(str(l), "other");
    EXPECT_FALSE(l->readOnly);
    EXPECT_EQ(store::arenaEntry(l->listIndex), l);
    // Shorter still must not write the constant.
    RuntimeString* m = rt::literal(constant);
    rt::assign(m, rt::literal("c"));
    EXPECT_STREQ(constant, "constant");
    EXPECT_EQ(str(m), "c");
}

TEST_F(StringStore, LiteralsPointAtTheConstantText) {
    static const char text[] = "no copy";
    RuntimeString* a = rt::literal(text);
    RuntimeString* b = rt::literal(text, 2);
    RuntimeString* c = rt::literal(nullptr);
    EXPECT_EQ(a->text, text);
    EXPECT_EQ(a->length, 7);
    EXPECT_EQ(b->text, text);
    EXPECT_EQ(str(b), "no");
    EXPECT_EQ(c->length, 0);
    EXPECT_TRUE(a->readOnly && a->temporary);
    EXPECT_EQ(store::stats().arenaCount, 0u);
    EXPECT_EQ(rt::literal(text, -4)->length, 0); // a negative length is empty
}

TEST_F(StringStore, SharedStringsSurviveFreeAndRelease) {
    RuntimeString* e = rt::emptyString();
    RuntimeString* s = rt::spaceString();
    rt::freeString(e);
    rt::makeTemporary(s);
    rt::releaseTemporaries(1, 0);
    EXPECT_EQ(str(e), "");
    EXPECT_EQ(str(s), " ");
    EXPECT_FALSE(s->temporary);
    EXPECT_NE(rt::newString(0, false), e);
}

TEST_F(StringStore, MakeTemporaryPutsAStringOnTheListOnce) {
    std::uint32_t base = rt::temporaryNextIndex();
    RuntimeString* s = make("soon gone");
    EXPECT_EQ(rt::makeTemporary(s), s);
    std::uint32_t index = s->temporaryIndex;
    EXPECT_EQ(rt::makeTemporary(s), s);
    EXPECT_EQ(s->temporaryIndex, index);
    EXPECT_EQ(rt::temporaryNextIndex(), base + 1);
    rt::releaseTemporaries(base, 0);
    EXPECT_EQ(store::stats().arenaCount, 0u);
}

TEST_F(StringStore, AssigningAnEarlierTemporaryMovesTheDestinationIntoItsSlot) {
    RuntimeString* t = make("taken over", true);
    RuntimeString* d = make("old");
    std::uint32_t slot = t->listIndex;
    const char* text = t->text;
    rt::assign(d, t);
    EXPECT_EQ(d->text, text);
    EXPECT_EQ(d->listIndex, slot);
    EXPECT_EQ(store::arenaEntry(slot), d);
    EXPECT_EQ(store::arenaEntry(slot + 1), nullptr); // d's old slot is a hole
    EXPECT_EQ(rt::temporaryNextIndex(), 1u);
}

// ---- Growth of the lists, the pool and the arena ----------------------------

TEST_F(StringStore, FullArenaListIsDoubledWhenItHasNoHoles) {
    std::vector<RuntimeString*> all;
    for (int i = 0; i < 65535; ++i)
        all.push_back(rt::newString(0, false));
    EXPECT_EQ(store::stats().arenaCount, 65535u);
    EXPECT_EQ(store::stats().arenaCapacity, 65535u);
    all.push_back(rt::newString(1, false));
    store::Stats st = store::stats();
    EXPECT_EQ(st.arenaCapacity, 131070u);
    EXPECT_EQ(st.arenaCount, 65536u);
    for (std::uint32_t i = 0; i < all.size(); ++i) {
        ASSERT_EQ(store::arenaEntry(i), all[i]);
        ASSERT_EQ(all[i]->listIndex, i);
    }
}

TEST_F(StringStore, FullArenaListWithHolesIsCompactedInOrder) {
    std::vector<RuntimeString*> all;
    for (int i = 0; i < 65535; ++i) {
        RuntimeString* s = rt::newString(1, false);
        s->text[0] = static_cast<char>(i);
        all.push_back(s);
    }
    // Keep every 1000th string and the last one; free the rest.
    std::vector<RuntimeString*> kept;
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (i % 1000 == 0 || i + 1 == all.size()) {
            kept.push_back(all[i]);
        } else {
            rt::freeString(all[i]);
        }
    }
    EXPECT_EQ(store::stats().arenaCount, 65535u);
    RuntimeString* extra = rt::newString(1, false);
    kept.push_back(extra);
    store::Stats st = store::stats();
    EXPECT_EQ(st.arenaCapacity, 65535u); // few survivors: no doubling
    EXPECT_EQ(st.arenaCount, kept.size());
    for (std::uint32_t i = 0; i < kept.size(); ++i) {
        ASSERT_EQ(store::arenaEntry(i), kept[i]);
        ASSERT_EQ(kept[i]->listIndex, i);
    }
    // Freeing one still finds its slot.
    rt::freeString(kept[1]);
    EXPECT_EQ(store::arenaEntry(1), nullptr);
}

TEST_F(StringStore, TemporaryListIsDoubledWhenItsNextIndexReachesTheCapacity) {
    std::vector<RuntimeString*> temps;
    for (int i = 0; i < 65534; ++i)
        temps.push_back(rt::literal("t"));
    EXPECT_EQ(rt::temporaryNextIndex(), 65535u);
    EXPECT_EQ(store::stats().temporaryCapacity, 65535u);
    RuntimeString* one = rt::literal("one more");
    EXPECT_EQ(one->temporaryIndex, 65535u);
    EXPECT_EQ(store::stats().temporaryCapacity, 131070u);
    EXPECT_EQ(store::temporaryEntry(65535), one);
    EXPECT_EQ(store::temporaryEntry(1), temps[0]);
    rt::releaseTemporaries(1, 0);
    EXPECT_EQ(rt::temporaryNextIndex(), 1u);
}

TEST_F(StringStore, RecordsComeFromNewBlocksAndAreReusedZeroed) {
    std::vector<RuntimeString*> all;
    for (int i = 0; i < 70000; ++i)
        all.push_back(rt::literal("r"));
    rt::releaseTemporaries(1, 0);
    store::Stats st = store::stats();
    EXPECT_EQ(st.freeRecords, 70000u);
    EXPECT_EQ(st.freeCapacity, 131072u);
    RuntimeString* s = rt::newString(3, false);
    EXPECT_EQ(s, all.front()); // the free stack hands back the latest freed first
    EXPECT_EQ(s->readOnly, 0);
    EXPECT_EQ(s->temporary, 0);
    EXPECT_EQ(s->temporaryIndex, 0u);
}

TEST_F(StringStore, CompactionClosesGapsWithoutGrowingWhenThereIsRoom) {
    std::size_t size = store::stats().arenaSize;
    RuntimeString* a = make(std::string(200000, 'a'));
    RuntimeString* b = make(std::string(400000, 'b'));
    RuntimeString* c = make(std::string(100000, 'c'));
    rt::freeString(b);
    const char* before = c->text;
    // 400,000 bytes do not fit behind c; after compaction 300,000 bytes are
    // used and 400,032 + 2 x 300,000 + 32 is below the arena size.
    RuntimeString* d = make(std::string(400000, 'd'));
    EXPECT_EQ(store::stats().arenaSize, size);
    EXPECT_NE(c->text, before);
    EXPECT_EQ(offsetOf(c), endOf(a));
    EXPECT_EQ(str(c), std::string(100000, 'c'));
    EXPECT_EQ(offsetOf(d), endOf(c));
    EXPECT_EQ(str(a), std::string(200000, 'a'));
}

TEST_F(StringStore, ArenaGrowsToTheRequestPlusTwiceItsSizeAndKeepsEveryText) {
    std::size_t size = store::stats().arenaSize;
    std::vector<RuntimeString*> all;
    std::vector<std::string> values;
    for (int i = 0; i < 300; ++i) {
        values.push_back(std::string(3000, static_cast<char>('A' + i % 26)));
        all.push_back(make(values.back()));
        if (i % 3 == 1) {
            rt::freeString(all[all.size() - 2]);
            all.erase(all.end() - 2);
            values.erase(values.end() - 2);
        }
    }
    ASSERT_LT(store::stats().used, size);
    RuntimeString* big = make(std::string(size, 'Z'));
    store::Stats st = store::stats();
    EXPECT_EQ(st.arenaSize, size + 32 + 2 * size);
    for (std::size_t i = 0; i < all.size(); ++i)
        ASSERT_EQ(str(all[i]), values[i]);
    EXPECT_EQ(str(big), std::string(size, 'Z'));
    const char* previousEnd = st.arenaStart;
    for (std::uint32_t i = 0; i < st.arenaCount; ++i) {
        const RuntimeString* e = store::arenaEntry(i);
        if (e == nullptr) continue;
        ASSERT_GE(e->text, previousEnd);
        previousEnd = e->text + e->length;
    }
}

TEST_F(StringStore, RelocationThatNeedsAGrownArenaReadsTheSourceAfterItMoved) {
    std::size_t size = store::stats().arenaSize;
    RuntimeString* d = make("d");
    RuntimeString* wall = make(std::string(size / 2, 'w'));
    std::string want(size / 3, 'v');
    want[0] = '<';
    want.back() = '>';
    RuntimeString* source = make(want); // permanent: copied, and moved by compaction
    rt::assign(d, source);
    store::Stats st = store::stats();
    EXPECT_EQ(st.arenaSize, want.size() + 2 * size);
    EXPECT_EQ(str(d), want);
    EXPECT_EQ(str(source), want);
    EXPECT_EQ(str(wall), std::string(size / 2, 'w'));
    EXPECT_EQ(offsetOf(wall), 0u); // d's old place was squeezed out
    EXPECT_EQ(store::arenaEntry(st.arenaCount - 1), d);
    EXPECT_EQ(st.used, endOf(d));
}

// ---- Variable block ---------------------------------------------------------

TEST(VariableBlock, VariablesAreCarvedOneAfterAnother) {
    auto* a = static_cast<char*>(rt::allocateVariable(4));
    auto* b = static_cast<char*>(rt::allocateVariable(4));
    EXPECT_EQ(b, a + 4);
    *reinterpret_cast<float*>(a) = 1.5f;
    *reinterpret_cast<float*>(b) = 0.0f;
    EXPECT_EQ(*reinterpret_cast<float*>(a), 1.5f);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(b) % alignof(float), 0u);
}

TEST(VariableBlock, ALargeRequestStartsANewBlockOfItsSizePlusTwiceThePrevious) {
    // Larger than any block so far: it must start a new block, which then
    // holds n + 2 x the previous size, so what follows is carved behind it.
    const std::size_t n = 16u << 20;
    auto* big = static_cast<char*>(rt::allocateVariable(n));
    big[0] = 1;
    big[n - 1] = 1;
    auto* next = static_cast<char*>(rt::allocateVariable(16));
    EXPECT_EQ(next, big + n);
    auto* more = static_cast<char*>(rt::allocateVariable(1 << 20));
    EXPECT_EQ(more, next + 16);
}

TEST(VariableBlock, ARestartGivesBackFixedLengthStringsButNoVariable) {
    auto* v = static_cast<float*>(rt::allocateVariable(sizeof(float)));
    rt::initStringStore();
    char* first = rt::newFixedString(400)->text;
    // Together more than the first variable block: if fixed-length strings
    // still took their characters from it, it would run out and be left
    // behind.
    for (int i = 0; i < 3000; ++i) {
        rt::initStringStore();
        RuntimeString* f = rt::newFixedString(400);
        ASSERT_EQ(f->text, first) << "restart " << i;
        for (int k = 0; k < (i % 100 == 0 ? 40 : 1); ++k) // now and then past the first block
            rt::newFixedString(1000);
    }
    auto* w = static_cast<float*>(rt::allocateVariable(sizeof(float)));
    EXPECT_EQ(w, v + 1);
}

TEST(VariableBlock, VariablesSurviveARestartOfTheStringStore) {
    auto* v = static_cast<float*>(rt::allocateVariable(sizeof(float)));
    *v = 25.0f;
    rt::initStringStore();
    EXPECT_EQ(*v, 25.0f);
    auto* w = static_cast<float*>(rt::allocateVariable(sizeof(float)));
    EXPECT_EQ(w, v + 1);
}

// ---- Out of memory ----------------------------------------------------------

using StringStoreDeathTest = StringStore;

TEST_F(StringStoreDeathTest, AStringBeyondTheLargestLengthIsOutOfMemory) {
    // n + 32 must not wrap around to a small reservation.
    EXPECT_EXIT(rt::newString(0xFFFFFFF0u, false), ::testing::ExitedWithCode(0),
                "Critical Error #12: Out of memory");
    EXPECT_EXIT(rt::newString(0x80000000u, true), ::testing::ExitedWithCode(0),
                "Critical Error #12");
}

TEST_F(StringStoreDeathTest, AJoinBeyondTheLargestLengthIsOutOfMemory) {
    static const char byte[] = "x";
    // Never read: the length is refused before any byte is copied.
    RuntimeString* huge = rt::literal(byte, INT_MAX);
    EXPECT_EXIT(rt::concatenate(huge, rt::literal("y")), ::testing::ExitedWithCode(0),
                "Critical Error #12: Out of memory");
}

} // namespace
