// "Range" header values against a content length taken from the input's first bytes.
#include "transfer/AsyncSocket.h"
#include "transfer/HTTPConnection.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static AsyncSocket socket;
    static HTTPConnection connection(&socket, nullptr);
    quint64 length = 1000;
    if (size >= 8) {
        std::memcpy(&length, data, 8);
        data += 8;
        size -= 8;
    }
    const QByteArray header(reinterpret_cast<const char *>(data), qsizetype(size));
    if (connection.parseRangeRequest(header, length)) {
        quint64 total = 0;
        for (const DDRange &range : connection.ranges()) {
            if (range.length == 0 || range.location >= length || range.end() > length)
                __builtin_trap(); // a range outside the content
            total += range.length;
        }
        if (connection.ranges().size() > 1)
            (void)connection.prepareMultiRangeResponse(length);
        else
            (void)connection.prepareUniRangeResponse(length);
        (void)total;
    }
    return 0;
}
