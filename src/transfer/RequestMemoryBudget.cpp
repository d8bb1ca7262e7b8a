#include "transfer/RequestMemoryBudget.h"

namespace {
qsizetype g_limit = RequestMemoryBudget::kDefaultLimit;
qsizetype g_inUse = 0;
} // namespace

qsizetype RequestMemoryBudget::limit()
{
    return g_limit;
}

void RequestMemoryBudget::setLimit(qsizetype bytes)
{
    g_limit = bytes;
}

qsizetype RequestMemoryBudget::inUse()
{
    return g_inUse;
}

bool RequestMemoryBudget::take(qsizetype bytes)
{
    if (bytes < 0 || g_inUse + bytes > g_limit)
        return false;
    g_inUse += bytes;
    m_held += bytes;
    return true;
}

void RequestMemoryBudget::release()
{
    g_inUse -= m_held;
    m_held = 0;
}
