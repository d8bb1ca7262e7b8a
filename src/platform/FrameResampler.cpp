#include "FrameResampler.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/frame.h>
#include <libswresample/swresample.h>
}

FrameResampler::~FrameResampler()
{
    close();
}

void FrameResampler::setOutput(int channels, int sampleFormat, int rate)
{
    close();
    m_outChannels = channels;
    m_outFormat = sampleFormat;
    m_outRate = rate;
}

void FrameResampler::close()
{
    swr_free(&m_context);
    m_inRate = 0;
    m_inFormat = -1;
    m_inChannels = 0;
    m_inMask = 0;
}

SwrContext *FrameResampler::forFrame(const AVFrame *frame)
{
    const AVChannelLayout &layout = frame->ch_layout;
    const uint64_t mask = layout.order == AV_CHANNEL_ORDER_NATIVE ? layout.u.mask : 0;
    if (m_context && frame->sample_rate == m_inRate && frame->format == m_inFormat && layout.nb_channels == m_inChannels
        && mask == m_inMask)
        return m_context;
    close();
    AVChannelLayout in{};
    if (layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&in, layout.nb_channels);
    else if (av_channel_layout_copy(&in, &layout) < 0)
        return nullptr;
    AVChannelLayout out{};
    av_channel_layout_default(&out, m_outChannels);
    const int rate = frame->sample_rate > 0 ? frame->sample_rate : m_outRate;
    int result = swr_alloc_set_opts2(&m_context, &out, AVSampleFormat(m_outFormat), m_outRate, &in,
                                     AVSampleFormat(frame->format), rate, 0, nullptr);
    av_channel_layout_uninit(&in);
    av_channel_layout_uninit(&out);
    if (result >= 0)
        result = swr_init(m_context);
    if (result < 0) {
        close();
        return nullptr;
    }
    m_inRate = frame->sample_rate;
    m_inFormat = frame->format;
    m_inChannels = layout.nb_channels;
    m_inMask = mask;
    return m_context;
}

void FrameResampler::discardBuffered()
{
    if (m_context)
        swr_init(m_context);
}
