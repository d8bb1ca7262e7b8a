#pragma once

#include <QtGlobal>

// Request bytes that connections hold in memory (header lines, form fields), counted for
// all of them together: many clients, each within its own bounds, still cannot exhaust
// the machine. One holder per connection; used on the event loop's thread only.
class RequestMemoryBudget
{
public:
    static constexpr qsizetype kDefaultLimit = 32 * 1024 * 1024;
    static qsizetype limit();
    static void setLimit(qsizetype bytes);
    // What all holders together hold now.
    static qsizetype inUse();

    RequestMemoryBudget() = default;
    ~RequestMemoryBudget() { release(); }
    RequestMemoryBudget(const RequestMemoryBudget &) = delete;
    RequestMemoryBudget &operator=(const RequestMemoryBudget &) = delete;

    // Takes `bytes` more for this holder; false, taking nothing, when all holders together
    // would pass the limit.
    bool take(qsizetype bytes);
    // Gives back everything this holder took.
    void release();
    qsizetype held() const { return m_held; }

private:
    qsizetype m_held = 0;
};
