#pragma once

#include <QString>

#include <memory>

class SoundPlayer;

// The three short sounds that confirm the media remote's commands over the music.
class BeepSounds
{
public:
    BeepSounds();
    ~BeepSounds();

    // Loads the three sounds; one that cannot be loaded leaves only its own command silent.
    void loadSound();
    // "playPause", "next" or "prev"; anything else, or beeps switched off, plays nothing.
    void soundPlay(const QString &which);

    SoundPlayer *playSound() const { return m_playSound.get(); }
    SoundPlayer *nextSound() const { return m_nextSound.get(); }
    SoundPlayer *prevSound() const { return m_prevSound.get(); }

private:
    std::unique_ptr<SoundPlayer> m_playSound;
    std::unique_ptr<SoundPlayer> m_nextSound;
    std::unique_ptr<SoundPlayer> m_prevSound;
};
