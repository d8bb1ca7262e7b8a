// Host and Origin header values: the check must never read past them or crash, and an
// origin it accepts must name a host it accepts.
#include "transfer/RequestOrigin.h"

#include <QByteArray>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const bool host = RequestOrigin::isOwnHost(input);
    if (RequestOrigin::isOwnOrigin("http://" + input, 80) && !host)
        std::abort();
    (void)RequestOrigin::isOwnOrigin(input, 5551);
    return 0;
}
