#include "LevelMeter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

float decibels(double linear)
{
    if (!(linear > 0))
        return LevelMeter::SilenceDb;
    return float(std::clamp(20.0 * std::log10(linear), double(LevelMeter::SilenceDb), 0.0));
}

} // namespace

LevelMeter::LevelMeter(int sampleRate, int channels, double historySeconds, double windowSeconds)
    : m_channels(std::clamp(channels, 1, 2)),
      m_capacity(std::max<qint64>(1, qint64(sampleRate * historySeconds))),
      m_window(std::max<qint64>(1, qint64(sampleRate * windowSeconds))),
      m_ring(size_t(m_capacity * m_channels))
{
    for (int channel = 0; channel < 2; ++channel) {
        m_average[channel] = SilenceDb;
        m_peak[channel] = SilenceDb;
    }
}

void LevelMeter::append(const qint16 *samples, qint64 frames)
{
    std::lock_guard lock(m_lock);
    // Only the newest history fits; older frames would be overwritten anyway.
    if (frames > m_capacity) {
        samples += (frames - m_capacity) * m_channels;
        m_appended += frames - m_capacity;
        frames = m_capacity;
    }
    while (frames > 0) {
        const qint64 at = m_appended % m_capacity;
        const qint64 run = std::min(frames, m_capacity - at);
        std::memcpy(m_ring.data() + at * m_channels, samples, size_t(run * m_channels) * sizeof(qint16));
        samples += run * m_channels;
        frames -= run;
        m_appended += run;
    }
}

void LevelMeter::setPlayhead(qint64 frame, bool running)
{
    std::lock_guard lock(m_lock);
    m_playhead = frame;
    m_running = running;
}

void LevelMeter::restart()
{
    std::lock_guard lock(m_lock);
    m_appended = 0;
    m_playhead = 0;
    m_running = false;
}

qint64 LevelMeter::appendedFrames() const
{
    std::lock_guard lock(m_lock);
    return m_appended;
}

void LevelMeter::update()
{
    int peak[2] = {0, 0};
    double squares[2] = {0, 0};
    qint64 frames = 0;
    {
        std::lock_guard lock(m_lock);
        const qint64 end = std::min(m_playhead, m_appended);
        const qint64 begin = std::max({end - m_window, m_appended - m_capacity, qint64(0)});
        if (m_running && end > begin) {
            frames = end - begin;
            for (qint64 frame = begin; frame < end; ++frame) {
                const qint16 *sample = m_ring.data() + (frame % m_capacity) * m_channels;
                for (int channel = 0; channel < m_channels; ++channel) {
                    const int value = sample[channel];
                    peak[channel] = std::max(peak[channel], std::abs(value));
                    squares[channel] += double(value) * value;
                }
            }
        }
    }
    for (int channel = 0; channel < 2; ++channel) {
        const int source = std::min(channel, m_channels - 1);
        if (frames == 0) {
            m_peak[channel] = SilenceDb;
            m_average[channel] = SilenceDb;
            continue;
        }
        m_peak[channel] = decibels(peak[source] / 32768.0);
        // Root mean square times the square root of two: the peak of a sine of that power.
        m_average[channel] = decibels(std::sqrt(2.0 * squares[source] / double(frames)) / 32768.0);
    }
}

float LevelMeter::averagePower(int channel) const
{
    return channel == 0 || channel == 1 ? m_average[channel].load() : SilenceDb;
}

float LevelMeter::peakPower(int channel) const
{
    return channel == 0 || channel == 1 ? m_peak[channel].load() : SilenceDb;
}
