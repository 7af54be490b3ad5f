#include "net/BulkReceive.h"

#include "net/CustomWSocket.h"

#include <algorithm>

int BulkReceive::Fill(TCustomWSocket& socket) {
    if (Empty()) Clear();
    const int got = socket.Receive(FData.data() + FEnd, kBulkReceiveSize - FEnd);
    if (got > 0) FEnd += got;
    return got;
}

std::string_view BulkReceive::Take(int most) {
    const int length = std::clamp(FEnd - FAt, 0, std::max(most, 0));
    const std::string_view piece(FData.data() + FAt, std::size_t(length));
    FAt += length;
    return piece;
}
