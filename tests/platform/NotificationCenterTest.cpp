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
    center.addObserver(&owner, "first", [&](const Notification &n) {
        calls << "first:" + n.object.toString() + ":" + n.userInfo.value("k").toString();
        seenThread = QThread::currentThread();
    });
    center.addObserver(&owner, "second", [&](const Notification &) { calls << "other name"; });
    center.addObserver(nullptr, "first", [&](const Notification &) { calls << "second"; });

    QThread *poster = QThread::create([&] { center.postNotificationName("first", "obj", {{"k", "v"}}); });
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

// Counts what is connected to its destroyed signal.
class Owner : public QObject
{
public:
    int destroyWatches() const { return receivers(SIGNAL(destroyed(QObject *))); }
};

TEST(NotificationCenter, RemovingUndoesEverythingAddingSetUp)
{
    NotificationCenter center;
    Owner owner;
    const int before = owner.destroyWatches();
    for (int i = 0; i < 10000; ++i) {
        const int token = center.addObserver(&owner, "n", [](const Notification &) {});
        center.addObserver(&owner, "m", [](const Notification &) {});
        center.removeObserver(token);
        center.removeObserver(&owner);
    }
    EXPECT_EQ(owner.destroyWatches(), before);
    int calls = 0;
    center.addObserver(&owner, "n", [&](const Notification &) { ++calls; });
    center.postNotificationName("n");
    EXPECT_EQ(calls, 1);
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
