// Request bytes, cut into lines the way the connection hands them over.
#include "transfer/HTTPMessage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    HTTPMessage request = HTTPMessage::emptyRequest();
    qsizetype start = 0;
    while (start < input.size()) {
        qsizetype end = input.indexOf("\r\n", start);
        end = end < 0 ? input.size() : end + 2;
        if (!request.appendBytes(input.mid(start, end - start)))
            break;
        start = end;
    }
    if (request.isHeaderComplete()) {
        (void)request.headerField("Content-Length");
        (void)request.headerFieldValues("Transfer-Encoding");
        (void)request.serialized();
    }
    return 0;
}
