// The memory of one document tree. Nodes, texts, keys, child lists and member
// tables all come from one pool, so reading a document allocates by moving a
// pointer, and a whole tree is freed by dropping its pool instead of node by
// node. Blocks given back while a tree is edited go to free lists by size and
// are handed out again, so a document that lives for the whole run does not
// grow with its edits.
//
// A pool is shared by a document and the views into it (each holder counts),
// and a tree's nodes never live in another pool: whatever is inserted from
// elsewhere is copied in.
#pragma once

#include <cstddef>
#include <cstdint>

namespace pt::json {

class Pool {
  public:
    // A pool with room for about `expectBytes` before it needs another block.
    // Throws std::bad_alloc.
    static Pool* Create(size_t expectBytes);
    Pool(const Pool&) = delete;
    Pool& operator=(const Pool&) = delete;

    void Retain() { ++holders_; }
    // Drops one holder; the last one frees every block.
    static void Release(Pool* pool);
    bool Shared() const { return holders_ > 1; }

    // Forgets everything allocated so far, keeping memory for a new tree of
    // about `expectBytes`. Only for a pool that nobody else holds.
    void Reset(size_t expectBytes);

    // The reader's road: the next bytes of the current block, never a free
    // block. 8-byte aligned, like every block of the pool.
    void* Take(size_t bytes) {
        bytes = Round(bytes);
        if (static_cast<size_t>(end_ - cur_) < bytes)
            return TakeSlow(bytes);
        void* p = cur_;
        cur_ += bytes;
        return p;
    }
    // Gives back the end of the block Take handed out last, when the reader
    // needed less than it asked for.
    void Shrink(void* block, size_t takenBytes, size_t usedBytes) {
        char* const p = static_cast<char*>(block);
        if (p + Round(takenBytes) == cur_)
            cur_ = p + Round(usedBytes);
    }
    // The editing road: a free block of at least `bytes` when there is one.
    void* Allocate(size_t bytes);
    // `bytes` is what was asked for when the block was handed out (or less).
    void Free(void* block, size_t bytes);

    // The size of the compact text of the tree read last, as its reader
    // counted it: UTF-16 units and UTF-8 bytes. The writer's first buffer.
    size_t writtenUnits = 0;
    size_t writtenBytes = 0;

  private:
    struct Block {
        Block* next;
        size_t bytes;
    };
    // Small blocks are kept by their exact size (in steps of 8 bytes), larger
    // ones by power of two: class c holds blocks of at least 2^c bytes.
    static constexpr size_t kSmallLimit = 256;
    static constexpr size_t kClasses = sizeof(size_t) * 8;

    explicit Pool(size_t inlineBytes);
    ~Pool();
    static size_t Round(size_t bytes) { return (bytes + 7) & ~size_t{7}; }
    void* TakeSlow(size_t bytes);
    static void FreeChain(Block* b);
    char* InlineBytes() { return reinterpret_cast<char*>(this) + Round(sizeof(Pool)); }
    void** FreeListFor(size_t roundedBytes, bool allocating);

    char* cur_ = nullptr;
    char* end_ = nullptr;
    Block* blocks_ = nullptr;  // heap blocks in use beyond the inline one
    Block* spare_ = nullptr;   // heap blocks kept by Reset for the next tree
    size_t nextBlockBytes_;
    size_t inlineBytes_;
    void* small_[kSmallLimit / 8 + 1] = {};
    void* large_[kClasses] = {};
    uint32_t holders_ = 1;
};

}  // namespace pt::json
