// The keyboard ring between two threads, as in the running program: the main
// thread stores pairs, the game thread takes them with readKey, no lock.
// Registered with the label `threads` so that it also runs under
// ThreadSanitizer.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "host/wake_signal.h"
#include "runtime/errors.h"
#include "runtime/keyboard_buffer.h"
#include "runtime/strings.h"

namespace {

// Character i of the stream: 1..255, never 0, so readKey returns it alone.
std::uint8_t character(int i) {
    return static_cast<std::uint8_t>(1 + i % 255);
}

class KeyboardRingThreads : public ::testing::Test {
  protected:
    void SetUp() override {
        rt::resetErrorsAndFlags();
        rt::initStringStore();
        rt::resetLowMemory();
    }
};

// The producer retries whenever the ring is full: every key arrives, in
// order.
TEST_F(KeyboardRingThreads, EveryKeyArrivesInOrderWhenTheProducerWaits) {
    constexpr int kKeys = 20000;
    std::atomic<int> fullRefusals{0};
    std::thread producer([&] {
        for (int i = 0; i < kKeys; ++i) {
            while (!rt::storeKeyPair(character(i), static_cast<std::uint8_t>(i % 7))) {
                fullRefusals.fetch_add(1, std::memory_order_relaxed);
                std::this_thread::yield();
            }
        }
    });
    const std::uint32_t base = rt::temporaryNextIndex();
    int received = 0;
    bool inOrder = true;
    while (received < kKeys) {
        rt::RuntimeString* k = rt::readKey();
        if (k->length == 1) {
            inOrder = inOrder && static_cast<std::uint8_t>(k->text[0]) == character(received);
            ++received;
        } else if (k->length != 0) {
            inOrder = false;
            ++received;
        }
        rt::releaseTemporaries(base, 0);
    }
    producer.join();
    EXPECT_TRUE(inOrder);
    EXPECT_EQ(received, kKeys);
    EXPECT_TRUE(rt::keyBufferEmpty());
}

// The producer never waits: keys are dropped only when the ring is full, and
// what arrives is the stored keys in the order they were stored.
TEST_F(KeyboardRingThreads, KeysAreLostOnlyToAFullRing) {
    constexpr int kKeys = 20000;
    std::vector<std::uint8_t> stored; // written by the producer, read after join
    stored.reserve(kKeys);
    std::atomic<bool> done{false};
    std::atomic<int> taken{0};
    std::thread producer([&] {
        // At least kKeys keys, and on until the consumer has taken more than
        // a ringful, so that a busy machine that runs the producer first
        // still tests both threads at once.
        for (int i = 0; i < kKeys || (taken.load() <= 15 && i < 100 * kKeys); ++i) {
            const bool full = rt::keyBufferCount() == 15;
            const bool ok = rt::storeKeyPair(character(i), 0);
            // The consumer only ever frees slots: a ring seen with room
            // before the store must take the key.
            if (!full && !ok) ADD_FAILURE() << "key " << i << " dropped with room in the ring";
            if (ok) stored.push_back(character(i));
            if (i % 64 == 0) std::this_thread::yield();
        }
        done.store(true, std::memory_order_release);
    });
    const std::uint32_t base = rt::temporaryNextIndex();
    std::vector<std::uint8_t> received;
    for (;;) {
        const bool finished = done.load(std::memory_order_acquire);
        rt::RuntimeString* k = rt::readKey();
        if (k->length == 1) {
            received.push_back(static_cast<std::uint8_t>(k->text[0]));
            ++taken;
        }
        rt::releaseTemporaries(base, 0);
        if (finished && k->length == 0) break;
    }
    producer.join();
    EXPECT_EQ(received, stored);
    EXPECT_GT(received.size(), 15u);
}

// A key wait sleeps on the wake signal until the main thread has stored a
// key and notified it, or the stop request is set. The cap is far beyond
// the test's timeout: a lost notification hangs the test instead of being
// covered up by a short cap.
TEST_F(KeyboardRingThreads, AKeyWaitWakesForEveryStoredKeyAndForTheStopRequest) {
    constexpr int kKeys = 200;
    constexpr auto kCap = std::chrono::hours(1);
    host::WakeSignal signal;
    std::atomic<bool> stop{false};
    std::atomic<int> taken{0};
    auto keyOrStop = [&] { return !rt::keyBufferEmpty() || stop.load(std::memory_order_acquire); };
    std::thread producer([&] {
        for (int i = 0; i < kKeys; ++i) {
            // One key at a time, stored while the consumer may be asleep.
            while (taken.load(std::memory_order_acquire) < i)
                std::this_thread::yield();
            ASSERT_TRUE(rt::storeKeyPair(character(i), 0));
            signal.notify();
        }
        while (taken.load(std::memory_order_acquire) < kKeys)
            std::this_thread::yield();
        stop.store(true, std::memory_order_release);
        signal.notify();
    });
    const std::uint32_t base = rt::temporaryNextIndex();
    std::vector<std::uint8_t> received;
    while (signal.waitUntil(keyOrStop, kCap)) {
        if (stop.load(std::memory_order_acquire) && rt::keyBufferEmpty()) break;
        rt::RuntimeString* k = rt::readKey();
        if (k->length == 1) {
            received.push_back(static_cast<std::uint8_t>(k->text[0]));
            ++taken;
        }
        rt::releaseTemporaries(base, 0);
        taken.store(static_cast<int>(received.size()), std::memory_order_release);
    }
    producer.join();
    ASSERT_EQ(received.size(), static_cast<std::size_t>(kKeys));
    for (int i = 0; i < kKeys; ++i)
        EXPECT_EQ(received[static_cast<std::size_t>(i)], character(i));
}

} // namespace
