// Makes the five demo songs at build time: short pieces of our own, synthesized here
// sample by sample (drums, plucked strings, basses, a hummed voice), encoded to MP3 by
// ffmpeg's LAME encoder and tagged with TagLib (title, artist, album, a cover drawn here,
// and lyrics for the first song).
//
//   demo_song_generator <ffmpeg> <output folder>
//
// writes <output folder>/sampleMp3/Orbo_folderN/<song>.mp3 for N = 1 ... 5.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QProcess>
#include <QRadialGradient>
#include <QTemporaryDir>
#include <QtEndian>

#include <taglib/attachedpictureframe.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/unsynchronizedlyricsframe.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

namespace {

constexpr double rate = 44100;
constexpr double pi = 3.14159265358979323846;
using Mono = std::vector<float>;

double midi(double note)
{
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

// The same noise on every build.
struct Noise
{
    std::minstd_rand engine{20240601};
    std::uniform_real_distribution<float> range{-1.0f, 1.0f};
    float operator()() { return range(engine); }
};

// RBJ biquad filters.
struct Biquad
{
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0, x1 = 0, x2 = 0, y1 = 0, y2 = 0;

    enum Kind { LowPass, HighPass, BandPass };
    Biquad(Kind kind, double frequency, double q)
    {
        const double w = 2 * pi * frequency / rate, alpha = std::sin(w) / (2 * q), c = std::cos(w);
        const double a0 = 1 + alpha;
        switch (kind) {
        case LowPass:
            b0 = (1 - c) / 2, b1 = 1 - c, b2 = (1 - c) / 2;
            break;
        case HighPass:
            b0 = (1 + c) / 2, b1 = -(1 + c), b2 = (1 + c) / 2;
            break;
        case BandPass:
            b0 = alpha, b1 = 0, b2 = -alpha;
            break;
        }
        b0 /= a0, b1 /= a0, b2 /= a0;
        a1 = -2 * c / a0, a2 = (1 - alpha) / a0;
    }
    float operator()(double x)
    {
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1, x1 = x, y2 = y1, y1 = y;
        return float(y);
    }
};

Mono make(double seconds, const std::function<double(double t, int i)> &sample)
{
    Mono out(size_t(seconds * rate));
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = float(sample(double(i) / rate, int(i)));
    return out;
}

// ---- instruments: each makes one note as a mono buffer ----

Mono kick(double decay = 9, double from = 150, double to = 46)
{
    double phase = 0;
    return make(0.6, [&](double t, int) {
        const double f = to + (from - to) * std::exp(-t * 32);
        phase += 2 * pi * f / rate;
        return std::sin(phase) * std::exp(-t * decay) * std::min(1.0, t / 0.002);
    });
}

Mono snare(Noise &noise)
{
    Biquad bright(Biquad::HighPass, 1200, 0.7);
    return make(0.3, [&](double t, int) {
        const double tone = std::sin(2 * pi * 185 * t) * std::exp(-t * 24) * 0.5;
        return tone + bright(noise()) * std::exp(-t * 16) * 0.8;
    });
}

Mono hat(Noise &noise, bool open)
{
    Biquad thin(Biquad::HighPass, 7000, 0.8);
    return make(open ? 0.35 : 0.08, [&](double t, int) { return thin(noise()) * std::exp(-t * (open ? 10 : 55)); });
}

Mono clap(Noise &noise)
{
    Biquad band(Biquad::BandPass, 1300, 1.2);
    return make(0.3, [&](double t, int) {
        // Three quick hands, then the room.
        double env = std::exp(-t * 18) * 0.6;
        for (double at : {0.0, 0.011, 0.022})
            if (t >= at)
                env += std::exp(-(t - at) * 260);
        return band(noise()) * env * 1.6;
    });
}

Mono cowbell()
{
    Biquad band(Biquad::BandPass, 820, 2.5);
    return make(0.45, [&](double t, int) {
        const double square = (std::sin(2 * pi * 587 * t) > 0 ? 1 : -1) + (std::sin(2 * pi * 845 * t) > 0 ? 1 : -1);
        return band(square) * std::min(1.0, t / 0.001) * std::exp(-t * 8) * 1.8;
    });
}

Mono tom(double frequency)
{
    double phase = 0;
    return make(0.5, [&](double t, int) {
        phase += 2 * pi * frequency * (1 + 0.5 * std::exp(-t * 20)) / rate;
        return std::sin(phase) * std::exp(-t * 7);
    });
}

// A plucked string (Karplus-Strong): a burst of noise circulating in a delay line.
Mono pluck(Noise &noise, double frequency, double seconds, double brightness = 0.5)
{
    const int period = std::max(2, int(rate / frequency));
    std::vector<double> line(static_cast<size_t>(period));
    double previous = 0;
    for (double &value : line) {
        const double raw = noise();
        value = brightness * raw + (1 - brightness) * previous;
        previous = value;
    }
    size_t at = 0;
    return make(seconds, [&](double t, int) {
        const size_t next = (at + 1) % line.size();
        const double out = line[at];
        line[at] = 0.5 * (line[at] + line[next]) * 0.996;
        at = next;
        return out * std::min(1.0, (seconds - t) / 0.02);
    });
}

// Attack, decay to a sustain level, release over the last part of the note.
double adsr(double t, double length, double attack, double decay, double sustain, double release)
{
    double level = t < attack ? t / attack : sustain + (1 - sustain) * std::exp(-(t - attack) / decay);
    if (t > length - release)
        level *= std::max(0.0, (length - t) / release);
    return level;
}

double saw(double phase)
{
    return 2 * (phase - std::floor(phase + 0.5));
}

// A bowed lead: a saw with vibrato through a low-pass filter.
Mono fiddle(double frequency, double seconds)
{
    Biquad soft(Biquad::LowPass, 2400, 0.8);
    double phase = 0;
    return make(seconds, [&](double t, int) {
        const double vibrato = 1 + 0.006 * std::sin(2 * pi * 5.5 * t) * std::min(1.0, t / 0.25);
        phase += frequency * vibrato / rate;
        return soft(saw(phase)) * adsr(t, seconds, 0.06, 0.3, 0.7, 0.08);
    });
}

// A round bass: sine with a little of its octave, short decay.
Mono roundBass(double frequency, double seconds)
{
    return make(seconds, [&](double t, int) {
        const double s = std::sin(2 * pi * frequency * t) + 0.3 * std::sin(4 * pi * frequency * t);
        return s * adsr(t, seconds, 0.005, 0.25, 0.5, 0.03);
    });
}

// A slapped synth bass: a saw whose filter snaps open and closes.
Mono slapBass(double frequency, double seconds)
{
    double phase = 0, low = 0, band = 0;
    return make(seconds, [&](double t, int) {
        phase += frequency / rate;
        const double cutoff = 250 + 2600 * std::exp(-t * 22);
        const double f = 2 * std::sin(pi * cutoff / rate), damping = 0.35;
        const double high = saw(phase) - low - damping * band;
        band += f * high;
        low += f * band;
        return low * adsr(t, seconds, 0.003, 0.2, 0.6, 0.03);
    });
}

// An electric piano: two-operator FM with a bright attack.
Mono epiano(double frequency, double seconds)
{
    return make(seconds, [&](double t, int) {
        const double index = 1.8 * std::exp(-t * 6);
        return std::sin(2 * pi * frequency * t + index * std::sin(2 * pi * frequency * t)) * std::exp(-t * 3.2)
            * std::min(1.0, (seconds - t) / 0.03);
    });
}

// A house stab: three detuned saws, filtered, short.
Mono stab(double frequency, double seconds)
{
    Biquad soft(Biquad::LowPass, 1800, 1.4);
    double p1 = 0, p2 = 0.33, p3 = 0.66;
    return make(seconds, [&](double t, int) {
        p1 += frequency * 0.996 / rate, p2 += frequency / rate, p3 += frequency * 1.004 / rate;
        return soft((saw(p1) + saw(p2) + saw(p3)) / 3) * adsr(t, seconds, 0.004, 0.12, 0.25, 0.05);
    });
}

// A square lead of a drum machine's era.
Mono squareLead(double frequency, double seconds)
{
    Biquad soft(Biquad::LowPass, 3000, 0.7);
    return make(seconds, [&](double t, int) {
        const double square = std::sin(2 * pi * frequency * t) > 0 ? 0.6 : -0.6;
        return soft(square) * adsr(t, seconds, 0.005, 0.15, 0.55, 0.04);
    });
}

// A hummed vowel: a buzzing source through two formant filters.
Mono hum(double frequency, double seconds, double formant1, double formant2)
{
    Biquad f1(Biquad::BandPass, formant1, 6), f2(Biquad::BandPass, formant2, 8);
    double phase = 0;
    return make(seconds, [&](double t, int) {
        const double vibrato = 1 + 0.008 * std::sin(2 * pi * 5 * t) * std::min(1.0, t / 0.3);
        phase += frequency * vibrato / rate;
        const double source = saw(phase);
        return (f1(source) * 2.2 + f2(source) * 1.2) * adsr(t, seconds, 0.05, 0.2, 0.8, 0.1);
    });
}

// The beatboxer's kick ("b"), snare ("pf") and hat ("ts").
Mono mouthKick(Noise &noise)
{
    Biquad lips(Biquad::LowPass, 400, 0.7);
    double phase = 0;
    return make(0.3, [&](double t, int) {
        phase += 2 * pi * (55 + 60 * std::exp(-t * 40)) / rate;
        return std::sin(phase) * std::exp(-t * 14) + lips(noise()) * std::exp(-t * 60) * 1.5;
    });
}

Mono mouthSnare(Noise &noise)
{
    Biquad hiss(Biquad::BandPass, 3200, 1.1);
    return make(0.28, [&](double t, int) {
        const double env = std::min(1.0, t / 0.004) * std::exp(-t * 13);
        return hiss(noise()) * env * 2.2 + std::sin(2 * pi * 160 * t) * std::exp(-t * 40) * 0.3;
    });
}

Mono mouthHat(Noise &noise)
{
    Biquad hiss(Biquad::BandPass, 8500, 1.5);
    return make(0.07, [&](double t, int) { return hiss(noise()) * std::exp(-t * 50) * 2.5; });
}

// ---- arranging ----

struct Song
{
    explicit Song(double seconds) : left(size_t(seconds * rate)), right(size_t(seconds * rate)) {}

    // Adds a note at a time (seconds), with a gain and a pan from -1 (left) to 1 (right).
    void add(double at, const Mono &note, double gain, double pan = 0)
    {
        const size_t start = size_t(at * rate);
        const double l = gain * std::cos((pan + 1) * pi / 4), r = gain * std::sin((pan + 1) * pi / 4);
        for (size_t i = 0; i < note.size() && start + i < left.size(); ++i) {
            left[start + i] += float(note[i] * l);
            right[start + i] += float(note[i] * r);
        }
    }

    // A gentle limiter, then the loudest sample at -1 dBFS, with short fades at both ends.
    QByteArray pcm() const
    {
        std::vector<double> l(left.begin(), left.end()), r(right.begin(), right.end());
        double peak = 1e-9;
        for (size_t i = 0; i < l.size(); ++i) {
            l[i] = std::tanh(l[i] * 1.2);
            r[i] = std::tanh(r[i] * 1.2);
            peak = std::max({peak, std::abs(l[i]), std::abs(r[i])});
        }
        const double gain = 0.89 / peak;
        QByteArray out(qsizetype(l.size() * 4), Qt::Uninitialized);
        for (size_t i = 0; i < l.size(); ++i) {
            const double t = double(i) / rate, end = double(l.size() - i) / rate;
            const double fade = std::min({1.0, t / 0.01, end / 0.6});
            qToLittleEndian(qint16(std::lround(l[i] * gain * fade * 32767)), out.data() + i * 4);
            qToLittleEndian(qint16(std::lround(r[i] * gain * fade * 32767)), out.data() + i * 4 + 2);
        }
        return out;
    }

    std::vector<float> left, right;
};

// Country Man: a boom-chick bass, strummed chords on the off-beats and a fiddle tune (G major, 112 bpm).
Song countryMan()
{
    Noise noise;
    const double beat = 60.0 / 112;
    Song song(beat * 4 * 9);
    // G, C, D, G; twice.
    const int roots[8] = {43, 48, 50, 43, 43, 48, 50, 43};
    const int chords[8][3] = {{55, 59, 62}, {55, 60, 64}, {54, 57, 62}, {55, 59, 62},
                              {55, 59, 62}, {55, 60, 64}, {54, 57, 62}, {55, 59, 62}};
    for (int bar = 0; bar < 8; ++bar) {
        const double t0 = bar * 4 * beat;
        for (int b = 0; b < 4; ++b) {
            const int bass = roots[bar] + (b % 2 ? 7 : 0);
            song.add(t0 + b * beat, roundBass(midi(bass), beat * 0.9), 0.55, -0.1);
            // The strum: the chord's strings a few milliseconds apart, on the off-beat.
            for (int s = 0; s < 3; ++s)
                song.add(t0 + (b + 0.5) * beat + s * 0.012, pluck(noise, midi(chords[bar][s]), beat * 0.9, 0.6), 0.32,
                         0.35);
            song.add(t0 + b * beat, b % 2 ? snare(noise) : kick(12), b % 2 ? 0.22 : 0.45);
        }
    }
    // The tune, in beats: (note, start, length).
    const double tune[][3] = {{67, 0, 1},  {71, 1, 1},  {74, 2, 1.5}, {72, 3.5, 0.5}, {71, 4, 1},  {72, 5, 1},
                              {76, 6, 2},  {74, 8, 1},  {72, 9, 1},   {71, 10, 1},    {69, 11, 1}, {67, 12, 3},
                              {71, 16, 1}, {74, 17, 1}, {79, 18, 2},  {78, 20, 1},    {76, 21, 1}, {74, 22, 2},
                              {72, 24, 1}, {71, 25, 1}, {69, 26, 1},  {66, 27, 1},    {67, 28, 4}};
    for (const auto &n : tune)
        song.add(n[1] * beat, fiddle(midi(n[0]), n[2] * beat), 0.3, -0.35);
    song.add(32 * beat, pluck(noise, midi(43), beat * 3, 0.7), 0.5);
    song.add(32 * beat, kick(6), 0.4);
    return song;
}

// Butter Bass: a slapped bass riff in E minor over a funky beat, with piano stabs (96 bpm).
Song butterBass()
{
    Noise noise;
    const double beat = 60.0 / 96, step = beat / 4;
    Song song(beat * 4 * 8 + 1.2);
    // Sixteen steps per bar: bass note (0 = rest).
    const int riff[16] = {40, 0, 52, 40, 0, 40, 43, 0, 45, 0, 52, 45, 47, 0, 50, 52};
    for (int bar = 0; bar < 8; ++bar) {
        const double t0 = bar * 16 * step;
        const int lift = bar % 4 == 3 ? 5 : 0;
        for (int s = 0; s < 16; ++s) {
            if (riff[s])
                song.add(t0 + s * step, slapBass(midi(riff[s] + lift), step * 1.7), 0.5);
            if (s % 2 == 0)
                song.add(t0 + s * step, hat(noise, s == 14), 0.16, 0.4);
            if (s == 0 || s == 7 || s == 10)
                song.add(t0 + s * step, kick(10), 0.55);
            if (s == 4 || s == 12)
                song.add(t0 + s * step, snare(noise), 0.35, -0.05);
        }
        // Em9 stabs on the "and" of two and four.
        for (double at : {5.0, 13.0})
            for (int n : {64, 67, 71, 74})
                song.add(t0 + at * step, epiano(midi(n + lift), step * 3), 0.13, -0.3);
    }
    song.add(8 * 16 * step, slapBass(midi(40), 1.0), 0.5);
    song.add(8 * 16 * step, kick(6), 0.5);
    return song;
}

// Cowbell House: four on the floor, off-beat hats, claps, a cowbell pattern, stabs and a bassline (124 bpm).
Song cowbellHouse()
{
    Noise noise;
    const double beat = 60.0 / 124, step = beat / 4;
    Song song(beat * 4 * 9);
    const bool bell[16] = {1, 0, 0, 1, 0, 0, 1, 0, 0, 0, 1, 0, 1, 0, 0, 0};
    const int chords[4][3] = {{57, 60, 64}, {53, 57, 60}, {55, 59, 62}, {52, 55, 59}};
    const int bass[4] = {45, 41, 43, 40};
    for (int bar = 0; bar < 9; ++bar) {
        const double t0 = bar * 16 * step;
        const bool last = bar == 8;
        for (int s = 0; s < 16; ++s) {
            if (s % 4 == 0)
                song.add(t0 + s * step, kick(8, 120, 48), 0.7);
            if (last)
                continue;
            if (s % 4 == 2)
                song.add(t0 + s * step, hat(noise, true), 0.18, 0.3);
            if (s == 4 || s == 12)
                song.add(t0 + s * step, clap(noise), 0.3, -0.1);
            if (bell[s] && bar >= 2)
                song.add(t0 + s * step, cowbell(), 0.2, 0.45);
            if (s % 4 == 2 && bar >= 1)
                song.add(t0 + s * step, roundBass(midi(bass[bar % 4]), step * 1.6), 0.45);
        }
        if (!last)
            for (double at : {3.0, 6.0, 11.0})
                for (int n : chords[bar % 4])
                    song.add(t0 + at * step, stab(midi(n), step * 1.5), 0.12, -0.25);
    }
    return song;
}

// The Classic Beatbox: a drum machine's boom and snap, toms, cowbell and a square riff (100 bpm).
Song classicBeatbox()
{
    Noise noise;
    const double beat = 0.6, step = beat / 4;
    Song song(beat * 4 * 8 + 1.0);
    const int riff[16] = {57, 0, 0, 60, 0, 62, 0, 0, 64, 0, 62, 0, 60, 0, 57, 0};
    for (int bar = 0; bar < 8; ++bar) {
        const double t0 = bar * 16 * step;
        for (int s = 0; s < 16; ++s) {
            if (s == 0 || s == 6 || s == 10)
                song.add(t0 + s * step, kick(3.5, 110, 42), 0.7);
            if (s == 4 || s == 12)
                song.add(t0 + s * step, snare(noise), 0.38);
            song.add(t0 + s * step, hat(noise, false), s % 2 ? 0.08 : 0.14, 0.3);
            if (bar % 2 == 1 && s == 14)
                song.add(t0 + s * step, cowbell(), 0.16, -0.4);
            if (bar >= 2 && riff[s])
                song.add(t0 + s * step, squareLead(midi(riff[s] + (bar % 4 == 3 ? 2 : 0)), step * 1.8), 0.14, -0.2);
        }
        if (bar % 4 == 3)
            for (int k = 0; k < 3; ++k)
                song.add(t0 + (13 + k) * step, tom(200 - k * 40), 0.3, -0.4 + k * 0.4);
    }
    song.add(8 * 16 * step, kick(2.5, 110, 42), 0.7);
    return song;
}

// Human Beatbox: mouth drums under a hummed tune, "oo" and "ah" (90 bpm).
Song humanBeatbox()
{
    Noise noise;
    const double beat = 60.0 / 90, step = beat / 4;
    Song song(beat * 4 * 7 + 1.0);
    const char *pattern = "k.h.s.hkk.h.s.h."; // k kick, s snare, h hat
    for (int bar = 0; bar < 7; ++bar) {
        const double t0 = bar * 16 * step;
        for (int s = 0; s < 16; ++s) {
            const char what = pattern[s];
            if (what == 'k')
                song.add(t0 + s * step, mouthKick(noise), 0.7);
            else if (what == 's')
                song.add(t0 + s * step, mouthSnare(noise), 0.35, 0.05);
            else if (what == 'h')
                song.add(t0 + s * step, mouthHat(noise), 0.15, 0.2);
        }
    }
    // The hummed tune from the third bar: (note, start, length) in beats.
    const double tune[][3] = {{62, 8, 1.5}, {65, 9.5, 0.5}, {67, 10, 1},     {69, 11, 1}, {67, 12, 2},
                              {65, 14, 2},  {62, 16, 1.5},  {65, 17.5, 0.5}, {69, 18, 1}, {72, 19, 1},
                              {69, 20, 3},  {67, 24, 1},    {65, 25, 1},     {64, 26, 1}, {62, 27, 1}};
    bool open = false;
    for (const auto &n : tune) {
        song.add(n[1] * beat, open ? hum(midi(n[0]), n[2] * beat, 730, 1090) : hum(midi(n[0]), n[2] * beat, 300, 870),
                 0.22, -0.15);
        open = !open;
    }
    // A low hum under the last bars.
    for (int bar = 2; bar < 7; ++bar)
        song.add(bar * 4 * beat, hum(midi(bar % 2 ? 41 : 38), beat * 3.8, 300, 600), 0.2, 0.1);
    song.add(7 * 16 * step, mouthKick(noise), 0.7);
    return song;
}

// ---- covers ----

QImage drawCover(int which, const QString &title)
{
    static const QColor tops[5] = {{222, 146, 66}, {238, 196, 78}, {46, 204, 196}, {236, 84, 110}, {120, 104, 230}};
    static const QColor bottoms[5] = {{92, 42, 24}, {112, 62, 22}, {16, 52, 86}, {52, 18, 60}, {20, 24, 58}};
    const int side = 600;
    QImage image(side, side, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient ground(0, 0, side, side);
    ground.setColorAt(0, tops[which]);
    ground.setColorAt(1, bottoms[which]);
    p.fillRect(image.rect(), ground);
    // Concentric rings, like grooves, off-centre.
    const QPointF centre(side * 0.62, side * 0.42);
    for (int ring = 0; ring < 14; ++ring) {
        p.setPen(QPen(QColor(255, 255, 255, 18 + ring * 3), 3));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(centre, 40.0 + ring * 24, 40.0 + ring * 24);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 230));
    const qreal u = side / 24.0;
    switch (which) {
    case 0: { // a guitar's body and neck
        p.drawEllipse(centre + QPointF(-1.8 * u, 2.4 * u), 3.4 * u, 3.0 * u);
        p.drawEllipse(centre + QPointF(-0.6 * u, -0.4 * u), 2.6 * u, 2.3 * u);
        p.save();
        p.translate(centre);
        p.rotate(-40);
        p.drawRoundedRect(QRectF(0.5 * u, -0.45 * u, 7 * u, 0.9 * u), 0.3 * u, 0.3 * u);
        p.restore();
        p.setBrush(bottoms[which]);
        p.drawEllipse(centre + QPointF(-1.0 * u, 0.8 * u), 0.9 * u, 0.9 * u);
        break;
    }
    case 1: // a bass wave
        for (int k = 0; k < 3; ++k) {
            QPainterPath wave;
            for (int x = 0; x <= 40; ++x) {
                const QPointF pt(centre.x() - 6 * u + x * 0.3 * u,
                                 centre.y() + (k - 1) * 1.8 * u + std::sin(x * 0.45 + k) * (1.4 - k * 0.3) * u);
                x ? wave.lineTo(pt) : wave.moveTo(pt);
            }
            p.setPen(QPen(QColor(255, 255, 255, 230 - k * 50), 0.6 * u, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            p.drawPath(wave);
        }
        break;
    case 2: { // a cowbell
        QPainterPath bell;
        bell.moveTo(centre + QPointF(-2.0 * u, -3.0 * u));
        bell.lineTo(centre + QPointF(2.0 * u, -3.0 * u));
        bell.lineTo(centre + QPointF(3.6 * u, 3.2 * u));
        bell.lineTo(centre + QPointF(-3.6 * u, 3.2 * u));
        bell.closeSubpath();
        p.drawPath(bell);
        p.drawRoundedRect(QRectF(centre.x() - 0.9 * u, centre.y() - 4.6 * u, 1.8 * u, 1.8 * u), 0.4 * u, 0.4 * u);
        break;
    }
    case 3: // a drum machine's pads
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 4; ++col) {
                p.setBrush(QColor(255, 255, 255, (row + col) % 3 ? 120 : 235));
                p.drawRoundedRect(QRectF(centre.x() - 4.6 * u + col * 2.4 * u, centre.y() - 3.4 * u + row * 2.4 * u,
                                         2 * u, 2 * u),
                                  0.4 * u, 0.4 * u);
            }
        break;
    default: { // a microphone
        p.drawRoundedRect(QRectF(centre.x() - 1.6 * u, centre.y() - 4.2 * u, 3.2 * u, 5 * u), 1.6 * u, 1.6 * u);
        p.setPen(QPen(QColor(255, 255, 255, 230), 0.5 * u, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(centre.x() - 2.6 * u, centre.y() - 2.4 * u, 5.2 * u, 5.2 * u), 200 * 16, 140 * 16);
        p.drawLine(centre + QPointF(0, 2.8 * u), centre + QPointF(0, 4.4 * u));
        p.drawLine(centre + QPointF(-1.4 * u, 4.4 * u), centre + QPointF(1.4 * u, 4.4 * u));
        break;
    }
    }
    // The name, and the label's mark.
    p.setPen(QColor(255, 255, 255, 240));
    QFont font;
    font.setPixelSize(46);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRectF(40, side - 150, side - 80, 60), Qt::AlignLeft | Qt::AlignVCenter, title);
    font.setPixelSize(24);
    font.setBold(false);
    p.setFont(font);
    p.setPen(QColor(255, 255, 255, 170));
    p.drawText(QRectF(40, side - 92, side - 80, 40), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("ORBO DEMO SONGS"));
    p.end();
    return image;
}

// ---- writing ----

struct Demo
{
    const char *folder;
    const char *file;
    const char *title;
    std::function<Song()> compose;
    const char *lyrics;
};

const char *const countryLyrics = "Up before the rooster, boots beside the door,\n"
                                  "the kettle hums the morning tune it hummed the day before.\n"
                                  "Down the gravel road I go, the fence posts count the miles,\n"
                                  "a country man, a six-string heart, a pocket full of smiles.\n"
                                  "\n"
                                  "Oh, the river knows my name,\n"
                                  "and the wind sings it just the same;\n"
                                  "when the sun goes down on the old red barn\n"
                                  "I'll be playing my way back home.";

bool writeMp3(const QString &ffmpeg, const QString &path, const Song &song, const QString &scratch)
{
    const QString raw = scratch + QStringLiteral("/song.pcm");
    QFile pcm(raw);
    const QByteArray samples = song.pcm();
    if (!pcm.open(QIODevice::WriteOnly) || pcm.write(samples) != samples.size())
        return false;
    pcm.close();
    QProcess encoder;
    encoder.setProcessChannelMode(QProcess::ForwardedChannels);
    // No tags of the encoder's own (TagLib writes ours), and the same bytes on every build.
    encoder.start(ffmpeg,
                  {QStringLiteral("-v"),
                   QStringLiteral("error"),
                   QStringLiteral("-y"),
                   QStringLiteral("-f"),
                   QStringLiteral("s16le"),
                   QStringLiteral("-ar"),
                   QStringLiteral("44100"),
                   QStringLiteral("-ac"),
                   QStringLiteral("2"),
                   QStringLiteral("-i"),
                   raw,
                   QStringLiteral("-c:a"),
                   QStringLiteral("libmp3lame"),
                   QStringLiteral("-b:a"),
                   QStringLiteral("160k"),
                   QStringLiteral("-map_metadata"),
                   QStringLiteral("-1"),
                   QStringLiteral("-id3v2_version"),
                   QStringLiteral("0"),
                   QStringLiteral("-fflags"),
                   QStringLiteral("+bitexact"),
                   QStringLiteral("-flags:a"),
                   QStringLiteral("+bitexact"),
                   path});
    return encoder.waitForFinished(120000) && encoder.exitStatus() == QProcess::NormalExit && encoder.exitCode() == 0;
}

bool tag(const QString &path, const Demo &demo, const QImage &cover)
{
    QByteArray jpeg;
    {
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        if (!cover.save(&buffer, "JPEG", 88))
            return false;
    }
    const QByteArray name = QFile::encodeName(path);
    TagLib::MPEG::File file(name.constData(), false);
    if (!file.isValid())
        return false;
    TagLib::ID3v2::Tag *tag = file.ID3v2Tag(true);
    tag->setTitle(TagLib::String(demo.title, TagLib::String::UTF8));
    tag->setArtist(TagLib::String("The Orbo Players", TagLib::String::UTF8));
    tag->setAlbum(TagLib::String("Orbo Demo Songs", TagLib::String::UTF8));
    auto *picture = new TagLib::ID3v2::AttachedPictureFrame();
    picture->setMimeType("image/jpeg");
    picture->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
    picture->setPicture(TagLib::ByteVector(jpeg.constData(), unsigned(jpeg.size())));
    tag->addFrame(picture);
    if (demo.lyrics) {
        auto *lyrics = new TagLib::ID3v2::UnsynchronizedLyricsFrame(TagLib::String::UTF8);
        lyrics->setLanguage("eng");
        lyrics->setText(TagLib::String(demo.lyrics, TagLib::String::UTF8));
        tag->addFrame(lyrics);
    }
    return file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers, TagLib::ID3v2::v4);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: demo_song_generator <ffmpeg> <output folder>\n");
        return 2;
    }
    const QString ffmpeg = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]) + QStringLiteral("/sampleMp3");
    const Demo demos[] = {
        {"Orbo_folder1", "Orbo_01-CountryMan.mp3", "Country Man", countryMan, countryLyrics},
        {"Orbo_folder2", "Orbo_02-ButterBass.mp3", "Butter Bass", butterBass, nullptr},
        {"Orbo_folder3", "Orbo_03-CowbellHouse.mp3", "Cowbell House", cowbellHouse, nullptr},
        {"Orbo_folder4", "Orbo_04-theClassicBeatbox.mp3", "The Classic Beatbox", classicBeatbox, nullptr},
        {"Orbo_folder5", "Orbo_05-HumanBeatbox.mp3", "Human Beatbox", humanBeatbox, nullptr},
    };
    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        std::fprintf(stderr, "demo_song_generator: no scratch folder\n");
        return 1;
    }
    int which = 0;
    for (const Demo &demo : demos) {
        const QString folder = out + QLatin1Char('/') + QLatin1String(demo.folder);
        const QString path = folder + QLatin1Char('/') + QLatin1String(demo.file);
        // Written beside its place and renamed, so a stopped build never leaves half a song.
        const QString part = folder + QStringLiteral("/.part.mp3");
        if (!QDir().mkpath(folder) || !writeMp3(ffmpeg, part, demo.compose(), scratch.path())
            || !tag(part, demo, drawCover(which, QString::fromUtf8(demo.title)))
            || (QFile::exists(path) && !QFile::remove(path)) || !QFile::rename(part, path)) {
            std::fprintf(stderr, "demo_song_generator: cannot make %s\n", qPrintable(path));
            QFile::remove(part);
            return 1;
        }
        ++which;
    }
    return 0;
}
