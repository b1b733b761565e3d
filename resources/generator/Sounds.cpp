#include "Sounds.h"

#include "Noise.h"

#include <algorithm>
#include <cmath>

namespace resgen {

namespace {

constexpr double PI = 3.14159265358979323846;

// A struck body: a few decaying partials (frequency, amplitude, decay time in seconds)
// plus a very short noise burst for the contact itself.
struct Partial {
    double freq, amp, decay;
};

void addStrike(Clip& clip, double start, const std::vector<Partial>& partials, double noiseAmp,
    double noiseDecay, std::uint32_t seed) {
    const int rate = clip.sampleRate;
    const int first = int(start * rate);
    double lowpassed = 0;
    for (int i = first; i < int(clip.samples.size()); ++i) {
        const double t = double(i - first) / rate;
        double v = 0;
        for (const Partial& p : partials)
            v += p.amp * std::exp(-t / p.decay) * std::sin(2 * PI * p.freq * t);
        // One-pole low-pass on white noise: a dull knock rather than hiss.
        lowpassed += 0.35 * ((hashUnit(i, 7, seed) * 2 - 1) - lowpassed);
        v += noiseAmp * std::exp(-t / noiseDecay) * lowpassed;
        // A few samples of attack avoid a click at the onset.
        v *= std::min(1.0, t * rate / 6.0);
        clip.samples[i] += v;
    }
}

// Scales the clip to the given peak and fades its last samples to silence, so that
// playback never ends on a step.
void finishClip(Clip& clip, double peak, double fadeSeconds) {
    double maxAbs = 0;
    for (double v : clip.samples) maxAbs = std::max(maxAbs, std::abs(v));
    const double gain = maxAbs > 0 ? peak / maxAbs : 0;
    const int n = int(clip.samples.size());
    const int fade = std::max(1, int(fadeSeconds * clip.sampleRate));
    for (int i = 0; i < n; ++i) {
        double v = clip.samples[i] * gain;
        if (i >= n - fade) v *= double(n - 1 - i) / fade;
        clip.samples[i] = v;
    }
}

Clip silence(int rate, int count) {
    return Clip { rate, std::vector<double>(count, 0.0) };
}

void put32(QByteArray& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.append(char((v >> (8 * i)) & 0xFF));
}
void put16(QByteArray& out, std::uint16_t v) {
    out.append(char(v & 0xFF));
    out.append(char(v >> 8));
}

} // namespace

// A wooden tock: low body modes of a hardwood piece set down on a board.
Clip synthMove() {
    Clip clip = silence(11025, 2000);
    addStrike(clip, 0.004,
        { { 620, 1.0, 0.018 }, { 1180, 0.55, 0.011 }, { 2350, 0.25, 0.006 }, { 310, 0.35, 0.03 } },
        0.9, 0.004, 1);
    finishClip(clip, 0.85, 0.02);
    return clip;
}

// Two quick, brighter knocks: the mover hitting the captured piece and then the board.
Clip synthCapture() {
    Clip clip = silence(11025, 6000);
    const std::vector<Partial> hard
        = { { 980, 1.0, 0.016 }, { 1870, 0.6, 0.010 }, { 3300, 0.35, 0.005 }, { 480, 0.3, 0.03 } };
    addStrike(clip, 0.004, hard, 1.1, 0.003, 2);
    addStrike(clip, 0.105,
        { { 720, 1.0, 0.022 }, { 1400, 0.5, 0.012 }, { 2800, 0.25, 0.006 }, { 360, 0.4, 0.04 } },
        0.9, 0.004, 3);
    finishClip(clip, 0.9, 0.05);
    return clip;
}

// Two bell strokes a fifth apart (A5 then E6), with the slightly stretched upper partials of
// a small chime and a long, quiet ring-out.
Clip synthCheck() {
    Clip clip = silence(22255, 43000);
    const auto bell = [](double f) {
        return std::vector<Partial> { { f, 1.0, 0.55 }, { f * 2.01, 0.45, 0.28 },
            { f * 3.02, 0.22, 0.16 }, { f * 4.17, 0.12, 0.09 }, { f * 0.5, 0.10, 0.6 } };
    };
    addStrike(clip, 0.01, bell(880.0), 0.15, 0.002, 4);
    addStrike(clip, 0.30, bell(1318.5), 0.15, 0.002, 5);
    finishClip(clip, 0.8, 0.15);
    return clip;
}

// A low, soft buzz that sags in pitch: clearly "no", without being harsh.
Clip synthIllegal() {
    Clip clip = silence(11025, 6000);
    const int rate = clip.sampleRate;
    double phase = 0;
    for (int i = 0; i < int(clip.samples.size()); ++i) {
        const double t = double(i) / rate;
        const double freq = 165 - 45 * std::min(1.0, t / 0.45);
        phase += 2 * PI * freq / rate;
        // Odd harmonics with falling weights: a rounded square wave.
        double v = 0;
        for (int k = 1; k <= 9; k += 2) v += std::sin(k * phase) / (k * k * 0.6 + 0.4);
        // Two pulses ("bonk-bonk"), each with a fast rise and an exponential fall.
        const double pulse1 = std::min(1.0, t / 0.008) * std::exp(-t / 0.07);
        const double t2 = t - 0.2;
        const double pulse2 = t2 >= 0 ? std::min(1.0, t2 / 0.008) * std::exp(-t2 / 0.12) : 0;
        clip.samples[i] = v * (pulse1 + pulse2);
    }
    finishClip(clip, 0.75, 0.05);
    return clip;
}

QByteArray encodeWav(const Clip& clip) {
    const auto count = std::uint32_t(clip.samples.size());
    const std::uint32_t padded = count + (count & 1); // RIFF chunks are word-aligned
    QByteArray out;
    out.append("RIFF");
    put32(out, 36 + padded);
    out.append("WAVE");
    out.append("fmt ");
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, 1); // mono
    put32(out, std::uint32_t(clip.sampleRate));
    put32(out, std::uint32_t(clip.sampleRate)); // bytes per second
    put16(out, 1); // block align
    put16(out, 8); // bits per sample
    out.append("data");
    put32(out, count);
    for (double v : clip.samples) {
        const long s = std::lround(128 + 127 * std::clamp(v, -1.0, 1.0));
        out.append(char(std::uint8_t(std::clamp(s, 0L, 255L))));
    }
    if (count & 1) out.append(char(0x80));
    return out;
}

} // namespace resgen
