// Block management of the document pool: one inline block that comes with the
// pool itself (enough for the small documents that are built in code), heap
// blocks that double up to a limit, dedicated blocks for large requests, and
// the free lists of edited trees.
#include "doc/json_pool.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <iterator>
#include <new>

namespace pt::json {
namespace {

constexpr size_t kMaxInlineBytes = 1024;
constexpr size_t kMinBlockBytes = 4096;
constexpr size_t kMaxBlockBytes = size_t{64} << 20;

}  // namespace

Pool* Pool::Create(size_t expectBytes) {
    const size_t inlineBytes = Round(std::min(std::max<size_t>(expectBytes, 64), kMaxInlineBytes));
    void* memory = std::malloc(Round(sizeof(Pool)) + inlineBytes);
    if (memory == nullptr)
        throw std::bad_alloc();
    Pool* pool = new (memory) Pool(inlineBytes);
    pool->nextBlockBytes_ = std::clamp(Round(expectBytes), kMinBlockBytes, kMaxBlockBytes);
    return pool;
}

Pool::Pool(size_t inlineBytes) : inlineBytes_(inlineBytes) {
    cur_ = InlineBytes();
    end_ = cur_ + inlineBytes;
}

void Pool::FreeChain(Block* b) {
    while (b != nullptr) {
        Block* next = b->next;
        std::free(b);
        b = next;
    }
}

Pool::~Pool() {
    FreeChain(blocks_);
    FreeChain(spare_);
}

void Pool::Release(Pool* pool) {
    if (pool == nullptr || --pool->holders_ > 0)
        return;
    pool->~Pool();
    std::free(pool);
}

void Pool::Reset(size_t expectBytes) {
    // The blocks stay for the next tree when it is likely to need a good part
    // of them (a document read again from a file of about the same size):
    // that saves the allocator's work and touching fresh pages.
    size_t total = 0;
    for (Block* b = blocks_; b != nullptr; b = b->next)
        total += b->bytes;
    for (Block* b = spare_; b != nullptr; b = b->next)
        total += b->bytes;
    if (total <= 8 * expectBytes + kMinBlockBytes) {
        while (blocks_ != nullptr) {
            Block* b = blocks_;
            blocks_ = b->next;
            b->next = spare_;
            spare_ = b;
        }
    } else {
        FreeChain(blocks_);
        FreeChain(spare_);
        blocks_ = spare_ = nullptr;
    }
    std::fill(std::begin(small_), std::end(small_), nullptr);
    std::fill(std::begin(large_), std::end(large_), nullptr);
    writtenUnits = writtenBytes = 0;
    nextBlockBytes_ = std::clamp(Round(expectBytes), kMinBlockBytes, kMaxBlockBytes);
    cur_ = InlineBytes();
    end_ = cur_ + inlineBytes_;
}

void* Pool::TakeSlow(size_t bytes) {
    const size_t header = Round(sizeof(Block));
    for (Block** link = &spare_; *link != nullptr; link = &(*link)->next) {
        Block* b = *link;
        if (b->bytes < bytes)
            continue;
        *link = b->next;
        b->next = blocks_;
        blocks_ = b;
        if (end_ - cur_ >= 8)
            Free(cur_, static_cast<size_t>(end_ - cur_));
        cur_ = reinterpret_cast<char*>(b) + header;
        end_ = cur_ + b->bytes;
        void* p = cur_;
        cur_ += bytes;
        return p;
    }
    if (bytes > nextBlockBytes_ / 2) {
        // A block of its own, so the rest of the current one is not wasted.
        if (bytes > SIZE_MAX - header)
            throw std::bad_alloc();
        auto* b = static_cast<Block*>(std::malloc(header + bytes));
        if (b == nullptr)
            throw std::bad_alloc();
        b->bytes = bytes;
        b->next = blocks_;
        blocks_ = b;
        return reinterpret_cast<char*>(b) + header;
    }
    auto* b = static_cast<Block*>(std::malloc(header + nextBlockBytes_));
    if (b == nullptr)
        throw std::bad_alloc();
    b->bytes = nextBlockBytes_;
    b->next = blocks_;
    blocks_ = b;
    if (end_ - cur_ >= 8)
        Free(cur_, static_cast<size_t>(end_ - cur_));
    cur_ = reinterpret_cast<char*>(b) + header;
    end_ = cur_ + b->bytes;
    nextBlockBytes_ = std::min(nextBlockBytes_ * 2, kMaxBlockBytes);
    void* p = cur_;
    cur_ += bytes;
    return p;
}

void** Pool::FreeListFor(size_t roundedBytes, bool allocating) {
    if (roundedBytes <= kSmallLimit)
        return &small_[roundedBytes / 8];
    // A free block goes to the class it fills; a request to the class whose
    // every block is big enough.
    const size_t c =
        allocating ? std::bit_width(roundedBytes - 1) : std::bit_width(roundedBytes) - 1;
    return c < kClasses ? &large_[c] : nullptr;
}

void* Pool::Allocate(size_t bytes) {
    bytes = Round(bytes);
    if (bytes == 0)
        bytes = 8;
    if (void** list = FreeListFor(bytes, true); list != nullptr && *list != nullptr) {
        void* block = *list;
        *list = *static_cast<void**>(block);
        return block;
    }
    return Take(bytes);
}

void Pool::Free(void* block, size_t bytes) {
    bytes = Round(bytes);
    if (block == nullptr || bytes < sizeof(void*))
        return;
    if (void** list = FreeListFor(bytes, false)) {
        *static_cast<void**>(block) = *list;
        *list = block;
    }
}

}  // namespace pt::json
