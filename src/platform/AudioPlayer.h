#pragma once

#include <QAudioFormat>
#include <QObject>
#include <QUrl>
#include <QVariantMap>

#include <atomic>
#include <deque>
#include <memory>

class AudioDecodeThread;
class AudioOutput;
class LevelMeter;
struct PcmChunk;

// Plays one song file: FFmpeg decodes it on a thread of its own (AudioDecodeThread, a
// bounded stretch ahead) and the main thread hands the samples to an AudioOutput (the
// default device, or the null output). Made for one URL; a new song gets a new player.
//
// Everything is called on the main thread and every signal arrives there, from the
// event loop (never from inside a call to the player), except the calls marked "any
// thread": isPlaying(), the metering calls, which a meter thread may use while the main
// thread plays and seeks. Such a thread must be done with the player before it is deleted.
class AudioPlayer : public QObject
{
    Q_OBJECT
public:
    // The settings() key of the encoder bit rate, in bits per second.
    static constexpr const char *EncoderBitRateKey = "AVEncoderBitRateKey";
    static constexpr const char *SampleRateKey = "AVSampleRateKey";
    static constexpr const char *NumberOfChannelsKey = "AVNumberOfChannelsKey";
    // routeChanged() reason: the output in use went away (playback moves to the default one).
    static constexpr int OldDeviceUnavailable = 2;

    // A file that cannot be opened or decoded gives a player whose duration() is 0 and
    // that does not play.
    explicit AudioPlayer(const QUrl &url, QObject *parent = nullptr);
    ~AudioPlayer() override;

    QUrl url() const { return m_url; }
    // Seconds; 0 when the file cannot be played.
    double duration() const { return m_duration; }
    // EncoderBitRateKey (when the file tells it), SampleRateKey, NumberOfChannelsKey.
    QVariantMap settings() const;
    int numberOfChannels() const { return m_format.channelCount(); }

    // Plays from the current time; false when the file cannot be played or decoding
    // was given up.
    bool play();
    // Holds where it is; play() goes on from there.
    void pause();
    // Pauses and drops what was decoded ahead; the current time stays.
    void stop();
    bool isPlaying() const { return m_playing; } // any thread

    // Seconds into the song, of the sample being played now. After the natural end the
    // player is back at 0.
    double currentTime() const;
    // Seeks, to the sample (clamped to 0 ... duration), playing or not.
    void setCurrentTime(double seconds);

    // 0 ... 1, applied to the samples handed to the output from now on.
    float volume() const { return m_volume; }
    void setVolume(float volume);

    // Metering: levels in dB (0 = full scale, -160 = silence) of channels 0 and 1 (a mono
    // song reports the same for both) over the last 50 ms played, taken by updateMeters().
    // Disabled (the default) or paused, the readings are -160.
    bool isMeteringEnabled() const { return m_metering; } // any thread
    void setMeteringEnabled(bool enabled) { m_metering = enabled; }
    void updateMeters(); // any thread
    float averagePowerForChannel(int channel) const; // any thread
    float peakPowerForChannel(int channel) const; // any thread

    // Another program took or gave back the sound (the desktop has no such events; these
    // are the entry points). Beginning pauses; ending plays again if it was playing.
    void beginInterruption();
    void endInterruption();

    // The output it plays through; null when the file cannot be played.
    AudioOutput *output() const { return m_output; }

signals:
    // At the natural end (true), or after decoding was given up (false, after decodeError).
    void finished(bool successfully);
    // The file kept failing to decode and the player gave up; finished(false) follows.
    void decodeError(const QString &message);
    void routeChanged(int reason);
    void interruptionBegan();
    void interruptionEnded();

private:
    struct Mark
    {
        qint64 written; // frame of the segment where ...
        qint64 song; // ... this frame of the song begins
    };

    void feed();
    void write(PcmChunk &chunk);
    void restartAt(qint64 songFrame);
    void finish();
    void publishPlayhead();
    qint64 playedFrames() const;
    qint64 currentFrame() const;

    QUrl m_url;
    double m_duration = 0;
    qint64 m_bitRate = 0;
    QAudioFormat m_format;
    AudioOutput *m_output = nullptr;
    std::unique_ptr<LevelMeter> m_meter;
    std::unique_ptr<AudioDecodeThread> m_decode;

    std::atomic<bool> m_playing{false};
    std::atomic<bool> m_metering{false};
    float m_volume = 1.0f;
    bool m_endReached = false;
    bool m_failed = false;
    bool m_interrupted = false;
    bool m_rewind = false; // ended: the next play() starts from the beginning
    QString m_failure;

    // The segment: what has been written to the output since the last seek.
    qint64 m_segmentBaseUSecs = 0; // output clock at its start
    qint64 m_segmentFrames = 0; // frames written
    qint64 m_seekFrame = 0; // where it starts in the song
    std::deque<Mark> m_marks; // where the written frames lie in the song (gaps start a new mark)
};
