#pragma once
// One fixed-size chunk of a socket's send queue: bytes are written after
// the write count and read from the read count.

#include <vector>

class TBuffer {
public:
    explicit TBuffer(int size);

    // A size of 0 or less means 1514; what was written is kept, never
    // copied beyond the new block.
    void SetBufSize(int size);
    int BufSize() const { return FBufSize; }
    int Write(const void* data, int length);
    int Read(void* data, int length);
    // The first unread byte and how many follow it; null and 0 when none.
    char* Peek(int& length);
    int Remove(int length);

private:
    std::vector<char> FBuf;
    int FBufSize = 0;
    int FWrCount = 0;
    int FRdCount = 0;
};
