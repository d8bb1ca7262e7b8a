#include "BeepSounds.h"

#include "library/SettingsKeys.h"
#include "platform/Bundle.h"
#include "platform/SoundPlayer.h"
#include "platform/UserDefaults.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcBeep, "orbo.app")

BeepSounds::BeepSounds() = default;
BeepSounds::~BeepSounds() = default;

void BeepSounds::loadSound()
{
    const auto load = [](const char *name) -> std::unique_ptr<SoundPlayer> {
        QString error;
        const QString path = Bundle::pathForResource(QString::fromLatin1(name), QStringLiteral("wav"));
        std::unique_ptr<SoundPlayer> player = SoundPlayer::fromFile(path, &error);
        if (!player) {
            qCWarning(lcBeep).noquote() << "beep" << name << "not loaded:" << error;
            return nullptr;
        }
        player->prepareToPlay();
        return player;
    };
    m_playSound = load("Orbo_Melody_Play-01");
    m_nextSound = load("Orbo_Melody_FF-02");
    m_prevSound = load("Orbo_Melody_REW-02");
}

void BeepSounds::soundPlay(const QString &which)
{
    if (UserDefaults::standard().stringForKey(SettingsKeys::beepSoundModeKey) == QLatin1String("1"))
        return;
    SoundPlayer *player = which == QLatin1String("playPause") ? m_playSound.get()
        : which == QLatin1String("next")                      ? m_nextSound.get()
        : which == QLatin1String("prev")                      ? m_prevSound.get()
                                                              : nullptr;
    if (player)
        player->play();
}
