#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

// Ends the test program with a failure when one test runs far longer than any should, so
// that a wait without a bound (in a destructor, say) names its test and fails instead of
// hanging until the test runner gives up.
class TestWatchdog : public ::testing::EmptyTestEventListener
{
public:
    explicit TestWatchdog(std::chrono::seconds limit);
    ~TestWatchdog() override;

    void OnTestStart(const ::testing::TestInfo &test) override;
    void OnTestEnd(const ::testing::TestInfo &test) override;

    // The limit from ORBO_TEST_WATCHDOG_SECONDS (0 turns the watchdog off), else the default.
    static std::chrono::seconds configuredLimit(std::chrono::seconds fallback);

private:
    void watch();

    const std::chrono::seconds m_limit;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::string m_test; // empty between tests
    unsigned m_generation = 0; // counts the tests started
    std::chrono::steady_clock::time_point m_deadline;
    bool m_quit = false;
    std::thread m_thread;
};
