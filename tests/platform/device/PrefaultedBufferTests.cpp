#include <device/PrefaultedBuffer.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <thread>
#include <vector>

namespace {

bool isAllZero(device::PrefaultedBuffer<std::uint8_t>& buffer)
{
    return std::all_of(buffer.begin(), buffer.end(), [](std::uint8_t byte) { return byte == 0; });
}

}

TEST(PrefaultedBuffer, EveryBufferStartsZeroedThoughItReusesWhatEarlierOnesHeld)
{
    // Sizes on both sides of the heap's limit, and each reused by a smaller
    // and by a larger one after it was filled.
    for (std::size_t size : { std::size_t(1000), std::size_t(300000), std::size_t(1) << 20, std::size_t(3) << 20 }) {
        SCOPED_TRACE(size);
        {
            device::PrefaultedBuffer<std::uint8_t> dirty(size);
            ASSERT_EQ(dirty.size(), size);
            EXPECT_TRUE(isAllZero(dirty));
            std::fill(dirty.begin(), dirty.end(), 0xA5);
        }
        for (std::size_t next : { size / 2, size, size * 2 }) {
            device::PrefaultedBuffer<std::uint8_t> reused(next);
            EXPECT_TRUE(isAllZero(reused)) << next;
            std::fill(reused.begin(), reused.end(), 0x5A);
        }
    }
    // Many alive at once, more than are ever kept.
    std::vector<device::PrefaultedBuffer<std::uint64_t>> many;
    for (int i = 0; i < 8; ++i) {
        many.emplace_back(std::size_t(50000) * (i + 1));
        std::fill(many.back().begin(), many.back().end(), ~std::uint64_t(0));
    }
    many.clear();
    device::PrefaultedBuffer<std::uint64_t> after(400000);
    EXPECT_TRUE(std::all_of(after.begin(), after.end(), [](std::uint64_t value) { return value == 0; }));
}

TEST(PrefaultedBuffer, ABufferMovesWithItsContentsAndMayBeFreedOnAnotherThread)
{
    device::PrefaultedBuffer<std::uint32_t> first(1 << 18);
    first[12345] = 7;
    device::PrefaultedBuffer<std::uint32_t> moved(std::move(first));
    EXPECT_EQ(moved[12345], 7u);
    EXPECT_EQ(first.size(), 0u);
    first = std::move(moved);
    EXPECT_EQ(first[12345], 7u);
    // Freed by a thread that then ends: its kept pages go with it.
    std::thread([buffer = std::move(first)]() mutable { buffer[0] = 1; }).join();
    device::PrefaultedBuffer<std::uint32_t> fresh(1 << 18);
    EXPECT_EQ(fresh[12345], 0u);
}
