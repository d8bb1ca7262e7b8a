#include "FfmpegLog.h"

#include <QLoggingCategory>
#include <QString>

extern "C" {
#include <libavutil/error.h>
#include <libavutil/log.h>
}

#include <cstdarg>
#include <mutex>

Q_LOGGING_CATEGORY(lcFfmpeg, "orbo.audio.ffmpeg", QtWarningMsg)

namespace {
void forwardLog(void *context, int level, const char *format, va_list args)
{
    if (level > AV_LOG_WARNING || !lcFfmpeg().isDebugEnabled())
        return;
    char line[1024];
    int prefix = 1;
    av_log_format_line2(context, level, format, args, line, sizeof line, &prefix);
    qCDebug(lcFfmpeg).noquote() << QString::fromUtf8(line).trimmed();
}
} // namespace

void FfmpegLog::install()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_callback(forwardLog); });
}

QString FfmpegLog::errorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromUtf8(text);
}
