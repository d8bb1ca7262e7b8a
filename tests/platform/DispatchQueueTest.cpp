#include "TestHome.h"

#include "platform/DispatchQueue.h"

#include <QMutex>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace {

TEST(DispatchQueue, RunsItemsOneAtATimeInOrderOffTheMainThread)
{
    DispatchQueue queue(QStringLiteral("testQueue"));
    EXPECT_EQ(queue.label(), QStringLiteral("testQueue"));
    std::vector<int> order;
    std::atomic<int> running{0};
    std::atomic<bool> overlapped{false};
    std::atomic<bool> onMain{false};
    for (int i = 0; i < 50; ++i) {
        queue.async([&, i] {
            if (running.fetch_add(1) != 0)
                overlapped = true;
            if (DispatchQueue::isMainThread())
                onMain = true;
            QThread::usleep(100);
            order.push_back(i);
            running.fetch_sub(1);
        });
    }
    ASSERT_TRUE(queue.waitForIdle(10000));
    ASSERT_EQ(order.size(), 50u);
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(order[i], i);
    EXPECT_FALSE(overlapped);
    EXPECT_FALSE(onMain);
}

TEST(DispatchQueue, HandsWorkToTheMainThreadSyncAndAsync)
{
    EXPECT_TRUE(DispatchQueue::isMainThread());
    DispatchQueue queue(QStringLiteral("handoff"));
    std::atomic<bool> syncOnMain{false};
    std::atomic<bool> asyncOnMain{false};
    std::atomic<bool> asyncRan{false};
    queue.async([&] {
        DispatchQueue::mainSync([&] { syncOnMain = DispatchQueue::isMainThread(); });
        // Sync means done by the time it returns.
        EXPECT_TRUE(syncOnMain.load());
        DispatchQueue::mainAsync([&] {
            asyncOnMain = DispatchQueue::isMainThread();
            asyncRan = true;
        });
    });
    // mainSync blocks the queue until the main loop runs it.
    EXPECT_TRUE(waitUntil([&] { return asyncRan.load(); }));
    EXPECT_TRUE(asyncOnMain);

    bool ranInline = false;
    DispatchQueue::mainSync([&] { ranInline = true; });
    EXPECT_TRUE(ranInline) << "on the main thread the work runs at once";
}

} // namespace
