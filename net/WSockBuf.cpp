#include "net/WSockBuf.h"

#include <algorithm>
#include <cstring>

namespace {
// An Ethernet frame.
constexpr int kDefaultBufSize = 1514;
} // namespace

TBuffer::TBuffer(int size) {
    SetBufSize(size);
}

void TBuffer::SetBufSize(int size) {
    if (size <= 0) size = kDefaultBufSize;
    if (size == FBufSize) return;
    std::vector<char> block(std::size_t(size), '\0');
    if (FWrCount > FRdCount) {
        // Shrinking below what is held keeps what fits.
        FWrCount = std::min(FWrCount, size);
        FRdCount = std::min(FRdCount, FWrCount);
        std::memcpy(block.data(), FBuf.data(), std::size_t(FWrCount));
    } else {
        FWrCount = FRdCount = 0;
    }
    FBuf.swap(block);
    FBufSize = size;
}

int TBuffer::Write(const void* data, int length) {
    int count = std::max(0, std::min(length, FBufSize - FWrCount));
    if (count > 0) std::memcpy(FBuf.data() + FWrCount, data, std::size_t(count));
    FWrCount += count;
    return count;
}

int TBuffer::Read(void* data, int length) {
    int count = std::max(0, std::min(length, FWrCount - FRdCount));
    if (count > 0) std::memcpy(data, FBuf.data() + FRdCount, std::size_t(count));
    return Remove(count);
}

char* TBuffer::Peek(int& length) {
    length = FWrCount - FRdCount;
    if (length <= 0) {
        length = 0;
        return nullptr;
    }
    return FBuf.data() + FRdCount;
}

int TBuffer::Remove(int length) {
    int count = std::max(0, std::min(length, FWrCount - FRdCount));
    FRdCount += count;
    if (FRdCount >= FWrCount) FRdCount = FWrCount = 0;
    return count;
}
