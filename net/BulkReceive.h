#pragma once
// Bytes taken from a socket in one large receive and handed on in the
// smaller pieces a client works in: the receive calls are few, and the
// client's events, streams and counts still see its own pieces.

#include <string_view>
#include <vector>

class TCustomWSocket;

// What one receive takes at most.
constexpr int kBulkReceiveSize = 64 * 1024;

class BulkReceive {
public:
    // Receives into the room behind what is held, as much as the socket
    // gives; the socket's result.
    int Fill(TCustomWSocket& socket);
    bool Empty() const { return FAt == FEnd; }
    // The next piece of at most `most` bytes, taken off the front. It stays
    // valid until the next Fill.
    std::string_view Take(int most);
    // Drops what is held, when its connection has ended.
    void Clear() { FAt = FEnd = 0; }

private:
    std::vector<char> FData = std::vector<char>(kBulkReceiveSize);
    int FAt = 0;
    int FEnd = 0;
};
