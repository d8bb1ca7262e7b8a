#pragma once

#include <cstdint>

struct AVFrame;
struct SwrContext;

// Converts decoded frames into one output format (channel count, sample format, rate) with
// libswresample. A song whose frames change format midway gets a resampler made again for
// the new format. Not thread-safe: one thread at a time uses it.
class FrameResampler
{
public:
    FrameResampler() = default;
    ~FrameResampler();
    FrameResampler(const FrameResampler &) = delete;
    FrameResampler &operator=(const FrameResampler &) = delete;

    // The format to convert to (an AVSampleFormat); drops the resampler there was.
    void setOutput(int channels, int sampleFormat, int rate);
    // The resampler for this frame's format, or null when none can be made.
    SwrContext *forFrame(const AVFrame *frame);
    // The resampler in use, or null.
    SwrContext *context() const { return m_context; }
    // Drops the samples it holds back (after a seek).
    void discardBuffered();
    void close();

private:
    SwrContext *m_context = nullptr;
    int m_outChannels = 2;
    int m_outFormat = 0;
    int m_outRate = 44100;
    int m_inRate = 0;
    int m_inFormat = -1;
    int m_inChannels = 0;
    uint64_t m_inMask = 0;
};
