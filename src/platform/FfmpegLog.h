#pragma once

#include <QString>

// FFmpeg's own messages go through Qt's logging (category orbo.audio.ffmpeg, shown with
// QT_LOGGING_RULES="orbo.audio.ffmpeg.debug=true"), not straight to standard error: the
// decoder and the exporter report what matters in their own words.
class FfmpegLog
{
public:
    FfmpegLog() = delete;
    // Installs the forwarding once per process; any thread.
    static void install();
    // FFmpeg's text for one of its error codes.
    static QString errorText(int code);
};
