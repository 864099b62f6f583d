// A large block of memory for bulk data (tracks). Where the system offers it,
// the block is backed by huge pages, which saves most of the page faults of
// filling a hundred megabytes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace orlex {

class TBigBlock {
public:
    explicit TBigBlock(std::size_t size);
    ~TBigBlock();
    TBigBlock(TBigBlock&& other) noexcept : Data_(other.Data_), Size_(other.Size_) {
        other.Data_ = nullptr;
        other.Size_ = 0;
    }
    TBigBlock& operator=(TBigBlock&& other) noexcept;
    TBigBlock(const TBigBlock&) = delete;
    TBigBlock& operator=(const TBigBlock&) = delete;

    uint8_t* Data() const { return Data_; }
    std::size_t Size() const { return Size_; }

private:
    uint8_t* Data_ = nullptr;
    std::size_t Size_ = 0;
};

}  // namespace orlex
