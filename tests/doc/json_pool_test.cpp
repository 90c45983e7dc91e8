// The document pool: what an edited document gives back is handed out again,
// and a document read again reuses the memory of the tree before.
#include "doc/json_pool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

namespace pt::json {
namespace {

struct PoolDeleter {
    void operator()(Pool* pool) const { Pool::Release(pool); }
};
using PoolPtr = std::unique_ptr<Pool, PoolDeleter>;

TEST(JsonPoolTest, FreedBlocksAreHandedOutAgain) {
    PoolPtr pool(Pool::Create(0));
    const struct {
        size_t freed;
        size_t asked;
        bool reused;
    } cases[] = {
        {48, 48, true},     // a node's size
        {12, 16, true},     // small sizes go by 8-byte steps
        {24, 16, false},    // ... exactly
        {1000, 500, true},  // a larger block serves any request of its power of two
        {1000, 600, false}, {4096, 4096, true},
    };
    for (const auto& c : cases) {
        void* block = pool->Allocate(c.freed);
        pool->Free(block, c.freed);
        void* again = pool->Allocate(c.asked);
        EXPECT_EQ(again == block, c.reused) << c.freed << " then " << c.asked;
        pool->Free(again, c.asked);
    }
    // An edit repeated many times does not grow the pool.
    void* first = pool->Allocate(40);
    pool->Free(first, 40);
    for (int i = 0; i < 100000; ++i) {
        void* block = pool->Allocate(40);
        ASSERT_EQ(block, first);
        pool->Free(block, 40);
    }
}

TEST(JsonPoolTest, BlocksAreAlignedForNodesAndPointers) {
    PoolPtr pool(Pool::Create(100));
    for (size_t bytes : {1, 2, 3, 7, 9, 30, 1000, 5000, 100000}) {
        EXPECT_EQ(reinterpret_cast<uintptr_t>(pool->Take(bytes)) % 8, 0u) << bytes;
        EXPECT_EQ(reinterpret_cast<uintptr_t>(pool->Allocate(bytes)) % 8, 0u) << bytes;
    }
}

TEST(JsonPoolTest, ResetKeepsTheMemoryForATreeOfTheSameSize) {
    PoolPtr pool(Pool::Create(1 << 20));
    char* first = static_cast<char*>(pool->Take(300000));
    char* second = static_cast<char*>(pool->Take(300000));
    pool->Reset(1 << 20);
    EXPECT_EQ(pool->Take(300000), first);
    EXPECT_EQ(pool->Take(300000), second);
    // A much smaller tree next lets the memory go (nothing to compare but
    // that it still works).
    pool->Reset(10);
    EXPECT_NE(pool->Take(64), nullptr);
}

}  // namespace
}  // namespace pt::json
