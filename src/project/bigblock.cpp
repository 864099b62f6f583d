#include "bigblock.h"

#include <cstdlib>
#include <new>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace orlex {

namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;
}

TBigBlock::TBigBlock(std::size_t size) : Size_(size) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (size >= kHugePage) {
        const std::size_t rounded = (size + kHugePage - 1) / kHugePage * kHugePage;
        void* p = std::aligned_alloc(kHugePage, rounded);
        if (!p) throw std::bad_alloc();
        madvise(p, rounded, MADV_HUGEPAGE);  // a hint; nothing depends on it
        Data_ = static_cast<uint8_t*>(p);
        return;
    }
#endif
    Data_ = static_cast<uint8_t*>(std::malloc(size > 0 ? size : 1));
    if (!Data_) throw std::bad_alloc();
}

TBigBlock::~TBigBlock() {
    std::free(Data_);
}

TBigBlock& TBigBlock::operator=(TBigBlock&& other) noexcept {
    if (this != &other) {
        std::free(Data_);
        Data_ = std::exchange(other.Data_, nullptr);
        Size_ = std::exchange(other.Size_, 0);
    }
    return *this;
}

}  // namespace orlex
