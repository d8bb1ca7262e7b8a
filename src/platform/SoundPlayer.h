#pragma once

#include <QAudioFormat>
#include <QByteArray>
#include <QObject>

#include <memory>
#include <optional>

class AudioOutput;

// Plays one short sound file (16-bit PCM WAV) on its own audio output, so it sounds
// over whatever else is playing without interrupting it. play() while the sound is
// still playing lets it go on; it does not start it again.
class SoundPlayer : public QObject
{
    Q_OBJECT
public:
    // Null (with the reason in *error) when the file is missing or not a PCM WAV.
    static std::unique_ptr<SoundPlayer> fromFile(const QString &path, QString *error = nullptr);
    ~SoundPlayer() override;

    // The samples are decoded when the file is read, so the first play starts without
    // delay; the output stream itself is opened only while the sound plays, so an idle
    // program keeps no stream (and no sound card) busy.
    void prepareToPlay() {}
    void play();
    void stop();
    bool isPlaying() const;
    double duration() const;
    // Seconds into the sound; 0 when it is not playing.
    double currentTime() const;
    int playCount() const { return m_playCount; }
    // Whether the last play went to the null output (no device, or ORBO_AUDIO_OUTPUT=null).
    bool usesNullOutput() const { return m_usedNullOutput; }
    // True while an output stream is open.
    bool hasOpenStream() const { return m_output != nullptr; }

    struct Pcm
    {
        QAudioFormat format;
        QByteArray samples;
    };
    // Reads a RIFF/WAVE file of 16-bit PCM, mono or stereo; nullopt with a reason otherwise.
    static std::optional<Pcm> decodeWav(const QByteArray &file, QString *error = nullptr);

private:
    explicit SoundPlayer(Pcm pcm);

    void closeOutput();

    Pcm m_pcm;
    std::unique_ptr<AudioOutput> m_output;
    qint64 m_startUSecs = 0;
    bool m_usedNullOutput = false;
    bool m_playing = false;
    int m_playCount = 0;
};
