#pragma once

#include <QtGlobal>

#include <atomic>
#include <mutex>
#include <vector>

// Sound levels of the samples leaving the output now, in decibels relative to full
// scale: the samples are recorded as they are handed to the output, and the levels
// are taken over the `window` that ends at the play head, the frame the output is
// playing, not at the last sample decoded.
//
// Peak power is the largest sample; average power is the root mean square, scaled so
// that a sine wave reads the same as its peak (a sine at half of full scale reads about
// -6 dB on both), and capped at 0 dB. Silence, a paused output and no samples read
// SilenceDb. A mono stream reports the same levels for channels 0 and 1.
//
// append(), setPlayhead() and restart() come from one thread (the player's); update()
// and the readings may be called from any thread, a meter thread among them.
class LevelMeter
{
public:
    static constexpr float SilenceDb = -160.0f;

    LevelMeter(int sampleRate, int channels, double historySeconds = 2.0, double windowSeconds = 0.05);

    // Interleaved 16-bit samples, in the order they go to the output.
    void append(const qint16 *samples, qint64 frames);
    // `frame` counts from the last restart(); running is false while nothing plays.
    void setPlayhead(qint64 frame, bool running);
    // Forgets the samples (after a seek or a stop); counting starts again at 0.
    void restart();
    qint64 appendedFrames() const;

    // Takes the levels at the play head.
    void update();
    float averagePower(int channel) const;
    float peakPower(int channel) const;

private:
    const int m_channels;
    const qint64 m_capacity; // frames of history
    const qint64 m_window; // frames measured
    mutable std::mutex m_lock;
    std::vector<qint16> m_ring;
    qint64 m_appended = 0;
    qint64 m_playhead = 0;
    bool m_running = false;
    std::atomic<float> m_average[2];
    std::atomic<float> m_peak[2];
};
