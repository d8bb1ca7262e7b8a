#include "SoundPlayer.h"

#include "AudioOutput.h"

#include <QFile>
#include <QtEndian>

#include <optional>

std::optional<SoundPlayer::Pcm> SoundPlayer::decodeWav(const QByteArray &file, QString *error)
{
    auto fail = [error](const char *why) -> std::optional<Pcm> {
        if (error)
            *error = QString::fromLatin1(why);
        return std::nullopt;
    };
    if (file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WAVE")
        return fail("not a RIFF/WAVE file");
    const auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(file.constData() + at); };
    const auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(file.constData() + at); };

    QAudioFormat format;
    bool haveFormat = false;
    qsizetype at = 12;
    while (at + 8 <= file.size()) {
        const QByteArray id = file.mid(at, 4);
        const qint64 size = u32(at + 4);
        const qsizetype body = at + 8;
        if (size > file.size() - body)
            return fail("truncated chunk");
        if (id == "fmt ") {
            if (size < 16)
                return fail("short format chunk");
            const int encoding = u16(body), channels = u16(body + 2), bits = u16(body + 14);
            const int rate = int(u32(body + 4));
            if (encoding != 1 || bits != 16 || channels < 1 || channels > 2 || rate < 8000 || rate > 192000)
                return fail("only 16-bit PCM, mono or stereo, is supported");
            format.setSampleRate(rate);
            format.setChannelCount(channels);
            format.setSampleFormat(QAudioFormat::Int16);
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat)
                return fail("data before format");
            QByteArray samples = file.mid(body, size - size % format.bytesPerFrame());
            if (samples.isEmpty())
                return fail("no samples");
            return Pcm{format, samples};
        }
        at = body + size + (size & 1);
    }
    return fail("no data chunk");
}

std::unique_ptr<SoundPlayer> SoundPlayer::fromFile(const QString &path, QString *error)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot open %1").arg(path);
        return nullptr;
    }
    // Short clips only: refuse anything over 16 MB rather than hold it in memory.
    if (file.size() > 16 * 1024 * 1024) {
        if (error)
            *error = QStringLiteral("too large for a sound clip");
        return nullptr;
    }
    std::optional<Pcm> pcm = decodeWav(file.readAll(), error);
    if (!pcm)
        return nullptr;
    return std::unique_ptr<SoundPlayer>(new SoundPlayer(std::move(*pcm)));
}

SoundPlayer::SoundPlayer(Pcm pcm) : m_pcm(std::move(pcm))
{}

SoundPlayer::~SoundPlayer() = default;

void SoundPlayer::play()
{
    if (isPlaying())
        return;
    m_output = std::make_unique<AudioOutput>(m_pcm.format);
    connect(m_output.get(), &AudioOutput::drained, this, &SoundPlayer::closeOutput, Qt::QueuedConnection);
    m_output->start();
    m_usedNullOutput = m_output->isNull();
    m_startUSecs = m_output->playedUSecs();
    m_playing = true;
    ++m_playCount;
    m_output->write(m_pcm.samples);
}

void SoundPlayer::closeOutput()
{
    m_playing = false;
    m_output.reset();
}

void SoundPlayer::stop()
{
    closeOutput();
}

bool SoundPlayer::isPlaying() const
{
    return m_playing;
}

double SoundPlayer::duration() const
{
    return m_pcm.format.durationForBytes(m_pcm.samples.size()) / 1e6;
}

double SoundPlayer::currentTime() const
{
    return m_playing && m_output ? (m_output->playedUSecs() - m_startUSecs) / 1e6 : 0.0;
}
