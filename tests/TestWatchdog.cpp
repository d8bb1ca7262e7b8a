#include "TestWatchdog.h"

#include <cstdio>
#include <cstdlib>

TestWatchdog::TestWatchdog(std::chrono::seconds limit) : m_limit(limit), m_thread([this] { watch(); })
{}

TestWatchdog::~TestWatchdog()
{
    {
        std::lock_guard lock(m_mutex);
        m_quit = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

std::chrono::seconds TestWatchdog::configuredLimit(std::chrono::seconds fallback)
{
    const char *text = std::getenv("ORBO_TEST_WATCHDOG_SECONDS");
    if (!text || !*text)
        return fallback;
    return std::chrono::seconds(std::strtol(text, nullptr, 10));
}

void TestWatchdog::OnTestStart(const ::testing::TestInfo &test)
{
    {
        std::lock_guard lock(m_mutex);
        m_test = std::string(test.test_suite_name()) + '.' + test.name();
        ++m_generation;
        m_deadline = std::chrono::steady_clock::now() + m_limit;
    }
    m_changed.notify_all();
}

void TestWatchdog::OnTestEnd(const ::testing::TestInfo &)
{
    {
        std::lock_guard lock(m_mutex);
        m_test.clear();
    }
    m_changed.notify_all();
}

void TestWatchdog::watch()
{
    std::unique_lock lock(m_mutex);
    while (!m_quit) {
        if (m_test.empty()) {
            m_changed.wait(lock);
            continue;
        }
        const unsigned generation = m_generation;
        if (m_changed.wait_until(lock, m_deadline) == std::cv_status::timeout && generation == m_generation
            && !m_test.empty()) {
            std::fprintf(stderr, "\n%s is still running after %lld s: something waits without a bound. Failing.\n",
                         m_test.c_str(), static_cast<long long>(m_limit.count()));
            std::fflush(stderr);
            std::_Exit(1);
        }
    }
}
