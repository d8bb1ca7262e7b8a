#include "TestHome.h"

#include "app/Util.h"
#include "library/SettingsKeys.h"
#include "platform/PropertyList.h"
#include "platform/Sandbox.h"
#include "platform/UserDefaults.h"
#include "playback/PlayOrder.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

using Direction = PlayOrder::Direction;
using Trigger = PlayOrder::Trigger;
using Kind = PlayOrder::Choice::Kind;

// "3": play index 3; "A": "There is no next song."; "B": "No previous music."; "-": nothing to play.
std::string outcome(const PlayOrder::Choice &choice)
{
    switch (choice.kind) {
    case Kind::Play:
        return std::to_string(choice.index);
    case Kind::NoNext:
        return "A";
    case Kind::NoPrevious:
        return "B";
    case Kind::Nothing:
        return "-";
    }
    return "?";
}

// A draw that must not be needed: picks in the list are used as they are.
int noDraw(int)
{
    ADD_FAILURE() << "drew afresh although the pick was in the list";
    return 0;
}

TEST(PlayOrder, TheWholeTableOnAListOfFive)
{
    // Five songs; the shuffle picks made when the current song started: previous 3, next 1.
    // Outcomes when the current song is the first, the middle and the last.
    struct Row
    {
        bool shuffle;
        int loop;
        Trigger trigger;
        Direction direction;
        const char *fromFirst, *fromMiddle, *fromLast;
    };
    const Trigger U = Trigger::User, Au = Trigger::Automatic;
    const Direction N = Direction::Next, P = Direction::Previous;
    const Row table[] = {
        // Shuffle on, Repeat On or Off: the picks, whatever the position.
        {true, 0, U, N, "1", "1", "1"},
        {true, 0, U, P, "3", "3", "3"},
        {true, 0, Au, N, "1", "1", "1"},
        {true, 0, Au, P, "3", "3", "3"},
        {true, 1, U, N, "1", "1", "1"},
        {true, 1, U, P, "3", "3", "3"},
        {true, 1, Au, N, "1", "1", "1"},
        {true, 1, Au, P, "3", "3", "3"},
        // Shuffle on, One Time Play: the user still jumps; the end of a song replays it.
        {true, 2, U, N, "1", "1", "1"},
        {true, 2, U, P, "3", "3", "3"},
        {true, 2, Au, N, "0", "2", "4"},
        {true, 2, Au, P, "0", "2", "4"},
        // Shuffle off, Repeat On: wraps at both ends.
        {false, 0, U, N, "1", "3", "0"},
        {false, 0, U, P, "4", "1", "3"},
        {false, 0, Au, N, "1", "3", "0"},
        {false, 0, Au, P, "4", "1", "3"},
        // Repeat Off: stops at both ends with its message.
        {false, 1, U, N, "1", "3", "A"},
        {false, 1, U, P, "B", "1", "3"},
        {false, 1, Au, N, "1", "3", "A"},
        {false, 1, Au, P, "B", "1", "3"},
        // One Time Play: the user moves as under Repeat Off; the end of a song replays it.
        {false, 2, U, N, "1", "3", "A"},
        {false, 2, U, P, "B", "1", "3"},
        {false, 2, Au, N, "0", "2", "4"},
        {false, 2, Au, P, "0", "2", "4"},
    };
    for (const Row &row : table) {
        const int from[] = {0, 2, 4};
        const char *expected[] = {row.fromFirst, row.fromMiddle, row.fromLast};
        for (int k = 0; k < 3; ++k) {
            const auto choice =
                PlayOrder::choose(row.direction, row.trigger, {row.shuffle, row.loop}, from[k], 5, 3, 1, noDraw);
            EXPECT_EQ(outcome(choice), expected[k])
                << "shuffle " << row.shuffle << " loop " << row.loop << (row.trigger == U ? " user " : " automatic ")
                << (row.direction == N ? "next" : "previous") << " from " << from[k];
        }
    }
}

TEST(PlayOrder, ShortListsLostIndexesAndStalePicks)
{
    // One song under Repeat On: next and previous both restart it.
    for (Direction d : {Direction::Next, Direction::Previous})
        for (Trigger t : {Trigger::User, Trigger::Automatic})
            EXPECT_EQ(outcome(PlayOrder::choose(d, t, {false, 0}, 0, 1, 0, 0, noDraw)), "0");

    // An empty list (its only song deleted) has nothing to play, in every mode.
    for (bool shuffle : {false, true})
        for (int loop : {0, 1, 2})
            for (Trigger t : {Trigger::User, Trigger::Automatic})
                EXPECT_EQ(outcome(PlayOrder::choose(Direction::Next, t, {shuffle, loop}, -1, 0, 0, 0, noDraw)), "-");

    // The first song deleted (index -1): the next is the new first; One Time Play, which
    // would replay the deleted song, stops.
    EXPECT_EQ(outcome(PlayOrder::choose(Direction::Next, Trigger::Automatic, {false, 0}, -1, 4, 0, 0, noDraw)), "0");
    EXPECT_EQ(outcome(PlayOrder::choose(Direction::Next, Trigger::Automatic, {false, 1}, -1, 4, 0, 0, noDraw)), "0");
    EXPECT_EQ(outcome(PlayOrder::choose(Direction::Next, Trigger::Automatic, {false, 2}, -1, 4, 0, 0, noDraw)), "-");
    EXPECT_EQ(outcome(PlayOrder::choose(Direction::Next, Trigger::Automatic, {true, 2}, -1, 4, 0, 0, noDraw)), "-");
    // Previous from nowhere is the last song (or the end, without wrap-around).
    EXPECT_EQ(outcome(PlayOrder::choose(Direction::Previous, Trigger::User, {false, 0}, -1, 4, 0, 0, noDraw)), "3");
    EXPECT_EQ(outcome(PlayOrder::choose(Direction::Next, Trigger::User, {false, 1}, 9, 4, 0, 0, noDraw)), "0");

    // Picks drawn for a longer list (or before shuffle was on) are drawn afresh, for this list.
    QList<int> drawnFor;
    const auto draw = [&](int n) {
        drawnFor << n;
        return n - 1;
    };
    EXPECT_EQ(outcome(PlayOrder::choose(Direction::Next, Trigger::User, {true, 0}, 0, 3, 0, 7, draw)), "2");
    EXPECT_EQ(outcome(PlayOrder::choose(Direction::Previous, Trigger::Automatic, {true, 1}, 0, 3, -1, 1, draw)), "2");
    EXPECT_EQ(drawnFor, QList<int>({3, 3}));
}

TEST(PlayOrder, TogglesCycleWithTheirPicturesAndMessages)
{
    const PlayOrder::Toggle off = PlayOrder::shuffleToggle("0");
    EXPECT_EQ(off.value, "1");
    EXPECT_EQ(off.image, "player_shuffleOff.png");
    EXPECT_STREQ(off.messageKey, "Shuffle Off");
    for (const char *other : {"1", "", "x"}) {
        const PlayOrder::Toggle on = PlayOrder::shuffleToggle(other);
        EXPECT_EQ(on.value, "0");
        EXPECT_EQ(on.image, "player_shuffleOn.png");
        EXPECT_STREQ(on.messageKey, "Shuffle On");
    }
    // Three presses from "0" come back to it: Repeat Off, One Time Play, Repeat On.
    QString stored = "0";
    QStringList messages, images;
    for (int i = 0; i < 3; ++i) {
        const auto next = PlayOrder::repeatToggle(stored);
        ASSERT_TRUE(next);
        stored = next->value;
        messages << next->messageKey;
        images << next->image;
        EXPECT_EQ(PlayOrder::repeatImage(stored), next->image);
    }
    EXPECT_EQ(stored, "0");
    EXPECT_EQ(messages, QStringList({"Repeat Off", "One Time Play", "Repeat On"}));
    EXPECT_EQ(images, QStringList({"player_repeatOff.png", "player_repeatOne.png", "player_repeatOn.png"}));
    EXPECT_FALSE(PlayOrder::repeatToggle("3"));
    EXPECT_FALSE(PlayOrder::repeatToggle(""));
    EXPECT_EQ(PlayOrder::shuffleImage("0"), "player_shuffleOn.png");
    EXPECT_EQ(PlayOrder::shuffleImage("1"), "player_shuffleOff.png");
}

TEST(PlayOrder, ModesAreReadFromTheSettings)
{
    TestHome home;
    UserDefaults &defaults = UserDefaults::standard();
    defaults.setObject(QStringLiteral("0"), SettingsKeys::appsettingplaymodekey);
    defaults.setObject(QStringLiteral("2"), SettingsKeys::appsettingloopmodekey);
    EXPECT_TRUE(PlayOrder::currentModes().shuffle);
    EXPECT_EQ(PlayOrder::currentModes().loop, 2);
    defaults.setObject(QStringLiteral("00"), SettingsKeys::appsettingplaymodekey);
    EXPECT_FALSE(PlayOrder::currentModes().shuffle) << "shuffle is on only for the string \"0\"";
}

// --- The shuffle index generator ---

// A random source that returns the given values in turn (and counts the draws).
struct Script
{
    QList<quint32> values;
    int drawn = 0;
    quint32 operator()() { return values.value(drawn++ % values.size()); }
};

QVariantList history()
{
    return UserDefaults::standard().arrayForKey(SettingsKeys::shuffleHistoryKey);
}

QList<int> ints(const QVariantList &list)
{
    QList<int> out;
    for (const QVariant &v : list)
        out << v.toInt();
    return out;
}

TEST(RandomIntNoOverlap, NoListOrOneSongGiveZeroWithoutDrawing)
{
    TestHome home;
    UserDefaults::standard().removeObjectForKey(SettingsKeys::shuffleHistoryKey);
    Script script{{7}};
    for (int n : {-3, 0, 1}) {
        const int pick = Util::randomIntNoOverlap(n, std::ref(script));
        EXPECT_EQ(pick, 0) << n;
    }
    EXPECT_EQ(script.drawn, 0);
    EXPECT_FALSE(UserDefaults::standard().objectForKey(SettingsKeys::shuffleHistoryKey).isValid());
}

TEST(RandomIntNoOverlap, ShortListsTakeOneSignedDrawAndLeaveTheHistoryAlone)
{
    TestHome home;
    UserDefaults::standard().removeObjectForKey(SettingsKeys::shuffleHistoryKey);
    // The value read as signed 32 bits, the remainder's size (worked out by hand).
    struct Case
    {
        quint32 value;
        int n;
        int expected;
    };
    for (const Case &c : {Case{0xFFFFFFFFu, 29, 1}, Case{0x80000000u, 29, 8}, Case{123456789u, 29, 19},
                          Case{0xDEADBEEFu, 29, 24}, Case{5u, 2, 1}}) {
        Script script{{c.value}};
        EXPECT_EQ(Util::randomIntNoOverlap(c.n, std::ref(script)), c.expected) << std::hex << c.value;
        EXPECT_EQ(script.drawn, 1);
    }
    EXPECT_FALSE(UserDefaults::standard().objectForKey(SettingsKeys::shuffleHistoryKey).isValid())
        << "a list of 29 never touches the history";
    // And the real source stays in range.
    for (int i = 0; i < 200; ++i) {
        const int pick = Util::randomIntNoOverlap(7);
        ASSERT_GE(pick, 0);
        ASSERT_LT(pick, 7);
    }
}

TEST(RandomIntNoOverlap, LongListsAvoidTheLastTwentyPicksSharedAcrossLists)
{
    TestHome home;
    UserDefaults::standard().removeObjectForKey(SettingsKeys::shuffleHistoryKey);
    // A list of 30: each pick not yet in the history is appended, and written at once.
    Script first{{0xDEADBEEFu}};
    EXPECT_EQ(Util::randomIntNoOverlap(30, std::ref(first)), 17);
    EXPECT_EQ(ints(history()), QList<int>({17}));
    QFile file(Sandbox::settingsFilePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "synchronised to disk at once";
    const auto stored = PropertyList::fromXml(file.readAll());
    ASSERT_TRUE(stored);
    EXPECT_EQ(ints(stored->toMap().value(SettingsKeys::shuffleHistoryKey).toList()), QList<int>({17}));

    // A pick in the history is drawn again: 17 twice, then 3.
    Script repeats{{17, 47, 3}};
    EXPECT_EQ(Util::randomIntNoOverlap(30, std::ref(repeats)), 3);
    EXPECT_EQ(repeats.drawn, 3);
    EXPECT_EQ(ints(history()), QList<int>({17, 3}));

    // Twenty entries: a new pick drops the oldest and leaves twenty.
    QVariantList full;
    for (int i = 0; i < 20; ++i)
        full << i;
    UserDefaults::standard().setObject(full, SettingsKeys::shuffleHistoryKey);
    Script fresh{{25}};
    EXPECT_EQ(Util::randomIntNoOverlap(40, std::ref(fresh)), 25);
    QList<int> expected;
    for (int i = 1; i < 20; ++i)
        expected << i;
    expected << 25;
    EXPECT_EQ(ints(history()), expected);

    // Shared between lists: the picks of a list of 40 are avoided in the next list of 30.
    Script again{{25, 5, 21}};
    EXPECT_EQ(Util::randomIntNoOverlap(30, std::ref(again)), 21);
    EXPECT_EQ(again.drawn, 3);

    // When all 100 draws are in the history, the 100th is returned and nothing is added.
    const QVariantList before = history();
    Script stuck{{7, 8}};
    EXPECT_EQ(Util::randomIntNoOverlap(30, std::ref(stuck)), 8);
    EXPECT_EQ(stuck.drawn, 100);
    EXPECT_EQ(history(), before);
}

} // namespace
