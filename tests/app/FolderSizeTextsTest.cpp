#include "app/FolderSizeTexts.h"
#include "app/Util.h"
#include "library/FolderSizeQueue.h"
#include "platform/Translations.h"

#include <QAtomicInt>
#include <QSignalSpy>

#include <gtest/gtest.h>

TEST(FolderSizeTexts, EmptyAtOnceLoadingWhileSummedOnceThenTheSumsText)
{
    FolderSizeTexts texts;
    QAtomicInt sums = 0;
    texts.queue().setSummer([&sums](const QString &, const QStringList &names) {
        ++sums;
        return double(names.size()) * 1536;
    });
    QSignalSpy ready(&texts, &FolderSizeTexts::textReady);
    // Sums come back through the event loop: waits for that many texts, for 5 s at most.
    const auto waitForTexts = [&ready](qsizetype count) {
        for (int i = 0; i < 50 && ready.size() < count; ++i)
            ready.wait(100);
        return ready.size() == count;
    };

    EXPECT_EQ(texts.textFor("Live", {}), "0" + Translations::text("Files"));
    const QString loading = Translations::text("Loading information ...");
    EXPECT_EQ(texts.textFor("Rock", {"a.mp3", "b.mp3"}), loading);
    EXPECT_EQ(texts.textFor("Rock", {"a.mp3", "b.mp3"}), loading) << "a row shown again while the sum runs";
    ASSERT_TRUE(texts.queue().waitForIdle(5000));
    ASSERT_TRUE(waitForTexts(1));
    EXPECT_EQ(sums.loadRelaxed(), 1) << "one sum per folder, however often its row is built";
    const QString rock = "2" + Translations::text("Files") + " " + Util::getByteStr(3072);
    EXPECT_EQ(ready.takeFirst(), (QVariantList{"Rock", rock}));
    EXPECT_EQ(texts.textFor("Rock", {"a.mp3", "b.mp3"}), rock);

    // A new listing sums afresh; a sum that was not asked for since is not shown.
    texts.forget();
    EXPECT_EQ(texts.textFor("Rock", {"a.mp3"}), loading);
    emit texts.queue().summed("Jazz", 4, 4096);
    EXPECT_TRUE(ready.isEmpty());
    EXPECT_EQ(texts.textFor("Jazz", {"x.mp3"}), loading);
    ASSERT_TRUE(texts.queue().waitForIdle(5000));
    EXPECT_TRUE(waitForTexts(2)) << "Rock's and Jazz's own sums";
}
