#include "platform/NotificationCenter.h"

#include <QObject>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(NotificationCenter, PostCallsObserversOfThatNameInOrderOnThePostingThread)
{
    NotificationCenter center;
    QObject owner;
    QStringList calls;
    QThread *seenThread = nullptr;
    center.addObserver(&owner, "Notify_a", [&](const Notification &n) {
        calls << "first:" + n.object.toString() + ":" + n.userInfo.value("k").toString();
        seenThread = QThread::currentThread();
    });
    center.addObserver(&owner, "Notify_b", [&](const Notification &) { calls << "other name"; });
    center.addObserver(nullptr, "Notify_a", [&](const Notification &) { calls << "second"; });

    QThread *poster = QThread::create([&] { center.postNotificationName("Notify_a", "obj", {{"k", "v"}}); });
    poster->start();
    poster->wait();
    EXPECT_EQ(calls, (QStringList{"first:obj:v", "second"}));
    EXPECT_EQ(seenThread, poster);
    delete poster;
}

TEST(NotificationCenter, RemovedAndDestroyedObserversAreNotCalled)
{
    NotificationCenter center;
    int calls = 0;
    auto owner = std::make_unique<QObject>();
    QObject keeper;
    center.addObserver(owner.get(), "n", [&](const Notification &) { ++calls; });
    const int token = center.addObserver(nullptr, "n", [&](const Notification &) { ++calls; });
    center.addObserver(&keeper, "n", [&](const Notification &) { calls += 100; });
    center.addObserver(&keeper, "m", [&](const Notification &) { calls += 1000; });

    owner.reset();
    center.removeObserver(token);
    center.removeObserver(&keeper, "m");
    center.postNotificationName("n");
    center.postNotificationName("m");
    EXPECT_EQ(calls, 100);
}

TEST(NotificationCenter, ObserversMayChangeRegistrationsWhilePosting)
{
    NotificationCenter center;
    QObject a, b;
    QStringList calls;
    center.addObserver(&a, "n", [&](const Notification &) {
        calls << "a";
        center.removeObserver(&b); // b registered later and must not run any more
        center.addObserver(&a, "n", [&](const Notification &) { calls << "added"; });
    });
    center.addObserver(&b, "n", [&](const Notification &) { calls << "b"; });
    center.postNotificationName("n");
    EXPECT_EQ(calls, QStringList{"a"});
    calls.clear();
    center.removeObserver(&a, "n");
    center.postNotificationName("n");
    EXPECT_TRUE(calls.isEmpty());
}

} // namespace
