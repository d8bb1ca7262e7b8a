#include "TestHome.h"

#include "library/FolderSizeQueue.h"

#include <QCoreApplication>
#include <QSemaphore>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>

namespace {

struct Result
{
    QString folder;
    int count = 0;
    double bytes = 0;
};

struct Results
{
    explicit Results(FolderSizeQueue &queue)
    {
        QObject::connect(&queue, &FolderSizeQueue::summed, &context,
                         [this](const QString &folder, int count, double bytes) {
                             list.append({folder, count, bytes});
                         });
    }
    QObject context;
    QList<Result> list;
};

TEST(FolderSizeQueue, SumsTheSizesOfAFoldersFiles)
{
    TestHome home;
    home.writeFile("Rock/a.mp3", QByteArray(1000, 'a'));
    home.writeFile("Rock/b.mp3", QByteArray(2500, 'b'));
    home.writeFile("Rock/empty.mp3", QByteArray());
    home.makeFolder("Rock/inner");
    home.writeFile("root.mp3", QByteArray(7, 'r'));
    const QString rock = home.documents() + "/Rock";
    EXPECT_EQ(FolderSizeQueue::sumOfSizes(rock, {"a.mp3", "b.mp3", "empty.mp3"}), 3500.0);
    EXPECT_EQ(FolderSizeQueue::sumOfSizes(rock, {"a.mp3", "gone.mp3", "inner"}), 1000.0)
        << "a name that is gone or a folder adds nothing";
    EXPECT_EQ(FolderSizeQueue::sumOfSizes(rock, {}), 0.0);
    EXPECT_EQ(FolderSizeQueue::sumOfSizes(rock, {"../root.mp3", "inner/../a.mp3"}), 0.0)
        << "only entries of the folder itself count";
    EXPECT_EQ(FolderSizeQueue::sumOfSizes(rock + "/missing", {"a.mp3"}), 0.0);

    FolderSizeQueue queue;
    EXPECT_EQ(FolderSizeQueue::queueLabel, "FileManagerCellQueue");
    Results results(queue);
    queue.request("Rock", {"a.mp3", "b.mp3", "empty.mp3", "inner"});
    queue.request("Documents", {"root.mp3"});
    EXPECT_TRUE(results.list.isEmpty()) << "results are handed back later, never inside the request";
    ASSERT_TRUE(waitUntil([&] { return results.list.size() == 2; }));
    EXPECT_EQ(results.list[0].folder, "Rock");
    EXPECT_EQ(results.list[0].count, 4);
    EXPECT_EQ(results.list[0].bytes, 3500.0);
    EXPECT_EQ(results.list[1].folder, "Documents") << "in request order";
    EXPECT_EQ(results.list[1].bytes, 7.0) << "Documents is the root itself";
}

// A slow disk holds up neither the main thread nor itself: the requests return at once, the
// work runs on the queue's thread, and the main thread keeps running its events meanwhile.
TEST(FolderSizeQueue, TheMainThreadNeverWaitsForTheSums)
{
    TestHome home;
    FolderSizeQueue queue;
    Results results(queue);
    QSemaphore release;
    QList<QThread *> threads;
    queue.setSummer([&](const QString &, const QStringList &names) {
        threads.append(QThread::currentThread());
        release.tryAcquire(1, 5000); // bounded: a queue run on the main thread fails, not hangs
        return double(names.size());
    });
    for (int i = 0; i < 3; ++i)
        queue.request(QStringLiteral("F%1").arg(i), QStringList(i + 1, "x.mp3"));
    bool ticked = false;
    QMetaObject::invokeMethod(
        &results.context, [&] { ticked = true; }, Qt::QueuedConnection);
    ASSERT_TRUE(waitUntil([&] { return ticked; })) << "the event loop runs while the queue is held up";
    EXPECT_TRUE(results.list.isEmpty());
    release.release(3);
    ASSERT_TRUE(waitUntil([&] { return results.list.size() == 3; }));
    EXPECT_EQ(results.list[2].bytes, 3.0);
    ASSERT_EQ(threads.size(), 3);
    EXPECT_NE(threads[0], QCoreApplication::instance()->thread());
}

TEST(FolderSizeQueue, CancelledSumsNeverArrive)
{
    TestHome home;
    FolderSizeQueue queue;
    Results results(queue);
    QSemaphore entered, release;
    queue.setSummer([&](const QString &, const QStringList &) {
        entered.release();
        release.tryAcquire(1, 5000); // bounded: a queue run on the main thread fails, not hangs
        return 1.0;
    });
    queue.request("Old", {"a.mp3"});
    queue.request("Older", {"a.mp3"});
    // Old is being summed (its result still to come), Older waits in the queue.
    ASSERT_TRUE(entered.tryAcquire(1, 5000));
    queue.cancelAll(); // the screen went away
    queue.request("New", {"a.mp3"});
    release.release(3);
    // The queue is serial: by the time New's sum arrives, Old's would have.
    ASSERT_TRUE(waitUntil([&] { return !results.list.isEmpty(); }));
    ASSERT_TRUE(queue.waitForIdle(5000));
    QCoreApplication::processEvents();
    ASSERT_EQ(results.list.size(), 1);
    EXPECT_EQ(results.list[0].folder, "New");

    // Going away with work queued neither hangs nor delivers to a queue that is gone.
    auto doomed = std::make_unique<FolderSizeQueue>();
    Results late(*doomed);
    for (int i = 0; i < 50; ++i)
        doomed->request("Rock", {"a.mp3"});
    doomed.reset();
    QCoreApplication::processEvents();
    EXPECT_TRUE(late.list.isEmpty());
}

} // namespace
