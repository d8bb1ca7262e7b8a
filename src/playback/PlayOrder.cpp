#include "PlayOrder.h"

#include "library/SettingsKeys.h"
#include "platform/UserDefaults.h"

PlayOrder::Modes PlayOrder::currentModes()
{
    const UserDefaults &defaults = UserDefaults::standard();
    Modes modes;
    modes.shuffle = defaults.stringForKey(SettingsKeys::appsettingplaymodekey) == QLatin1String("0");
    modes.loop = defaults.stringForKey(SettingsKeys::appsettingloopmodekey).toInt();
    return modes;
}

PlayOrder::Choice PlayOrder::choose(Direction direction, Trigger trigger, const Modes &modes, int index, int count,
                                    int randomPrev, int randomNext, const std::function<int(int)> &draw)
{
    using Kind = Choice::Kind;
    if (count <= 0)
        return {Kind::Nothing, -1};
    const auto inList = [count](int i) { return i >= 0 && i < count; };

    // One Time Play: the end of a song plays the same song again, if it is still there.
    if (trigger == Trigger::Automatic && modes.loop == 2)
        return inList(index) ? Choice{Kind::Play, index} : Choice{Kind::Nothing, -1};

    if (modes.shuffle) {
        int pick = direction == Direction::Next ? randomNext : randomPrev;
        // Picks made for another list (or before shuffle was on) may lie outside this one.
        if (!inList(pick))
            pick = draw(count);
        return inList(pick) ? Choice{Kind::Play, pick} : Choice{Kind::Play, 0};
    }

    const bool wraps = modes.loop == 0;
    if (direction == Direction::Next) {
        // A lost index (the first song was deleted) counts as just before the first song.
        const int from = inList(index) ? index : -1;
        if (from + 1 < count)
            return {Kind::Play, from + 1};
        return wraps ? Choice{Kind::Play, 0} : Choice{Kind::NoNext, -1};
    }
    const int from = inList(index) ? index : count;
    if (from - 1 >= 0)
        return {Kind::Play, from - 1};
    return wraps ? Choice{Kind::Play, count - 1} : Choice{Kind::NoPrevious, -1};
}

PlayOrder::Toggle PlayOrder::shuffleToggle(const QString &stored)
{
    if (stored == QLatin1String("0"))
        return {QStringLiteral("1"), QStringLiteral("player_shuffleOff.png"), "Shuffle Off"};
    return {QStringLiteral("0"), QStringLiteral("player_shuffleOn.png"), "Shuffle On"};
}

std::optional<PlayOrder::Toggle> PlayOrder::repeatToggle(const QString &stored)
{
    if (stored == QLatin1String("0"))
        return Toggle{QStringLiteral("1"), QStringLiteral("player_repeatOff.png"), "Repeat Off"};
    if (stored == QLatin1String("1"))
        return Toggle{QStringLiteral("2"), QStringLiteral("player_repeatOne.png"), "One Time Play"};
    if (stored == QLatin1String("2"))
        return Toggle{QStringLiteral("0"), QStringLiteral("player_repeatOn.png"), "Repeat On"};
    return std::nullopt;
}

QString PlayOrder::shuffleImage(const QString &stored)
{
    return stored == QLatin1String("0") ? QStringLiteral("player_shuffleOn.png")
                                        : QStringLiteral("player_shuffleOff.png");
}

QString PlayOrder::repeatImage(const QString &stored)
{
    if (stored == QLatin1String("0"))
        return QStringLiteral("player_repeatOn.png");
    if (stored == QLatin1String("1"))
        return QStringLiteral("player_repeatOff.png");
    if (stored == QLatin1String("2"))
        return QStringLiteral("player_repeatOne.png");
    return {};
}
