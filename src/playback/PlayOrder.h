#pragma once

#include <QString>

#include <functional>
#include <optional>

// The rules that choose the next song of a list: after the user's next or previous, at
// the end of a song, with shuffle on or off and the three repeat modes. Pure: the caller
// passes the list position and the modes, and acts on the choice.
class PlayOrder
{
public:
    PlayOrder() = delete;

    enum class Direction { Next, Previous };
    enum class Trigger { User, Automatic };

    // The two modes as stored: shuffle is on only for "0"; the loop mode is read as an
    // integer (0 Repeat On, 1 Repeat Off, 2 One Time Play).
    struct Modes
    {
        bool shuffle = false;
        int loop = 0;
    };
    static Modes currentModes();

    struct Choice
    {
        enum class Kind {
            Play, // play the song at index
            NoNext, // at the end without wrap-around: "There is no next song."
            NoPrevious, // at the start without wrap-around: "No previous music."
            Nothing, // no song to move to (an empty list, or the current one was deleted): stop
        };
        Kind kind = Kind::Nothing;
        int index = -1;
        friend bool operator==(const Choice &a, const Choice &b) { return a.kind == b.kind && a.index == b.index; }
    };

    // index: the current song (may be -1 after the first song was deleted); count: songs
    // in the list; randomPrev/randomNext: the shuffle picks drawn when the song started,
    // drawn afresh with `draw` (a function of the count) when they lie outside the list.
    static Choice choose(Direction direction, Trigger trigger, const Modes &modes, int index, int count, int randomPrev,
                         int randomNext, const std::function<int(int)> &draw);

    // What a toggle stores next, with the button picture and the message that confirm it.
    struct Toggle
    {
        QString value;
        QString image;
        const char *messageKey = nullptr; // the message, as a string-table key
    };
    static Toggle shuffleToggle(const QString &stored);
    // The repeat cycle "0" -> "1" -> "2" -> "0"; any other stored value is left alone.
    static std::optional<Toggle> repeatToggle(const QString &stored);
    // The button pictures for the stored values (unknown repeat values: none).
    static QString shuffleImage(const QString &stored);
    static QString repeatImage(const QString &stored);
};
