// Multipart bodies fed in chunks whose size comes from the first byte; the content
// handed out must never exceed what went in.
#include "transfer/MultipartParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const qsizetype chunk = 1 + data[0];
    const QByteArray body(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    MultipartParser parser;
    qsizetype delivered = 0;
    int open = 0;
    parser.onPartBegin = [&](const MultipartParser::PartHeader &) { ++open; };
    parser.onPartData = [&](QByteArrayView bytes) {
        if (open != 1)
            __builtin_trap(); // data outside a part
        delivered += bytes.size();
    };
    parser.onPartEnd = [&] { --open; };
    for (qsizetype at = 0; at < body.size(); at += chunk)
        if (!parser.feed(QByteArrayView(body).sliced(at, std::min(chunk, body.size() - at))))
            break;
    if (delivered > body.size())
        __builtin_trap();
    return 0;
}
