// Synthesises the game's sound effects into 16-bit mono WAV files: sound_gen OUTPUT_FOLDER.
// Every effect is made from sine partials, filtered noise and envelopes, so the game ships no recording.
#include "SoundNames.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace {
const double PI = 3.14159265358979323846;
const double RATE = Sounds::SAMPLE_RATE;

using Signal = std::vector<double>;

Signal silence(double seconds)
{
    return Signal(static_cast<size_t>(seconds * RATE), 0.0);
}

// Deterministic white noise in [-1, 1]: the same files on every build.
class Noise
{
public:
    double next()
    {
        mState = mState * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(mState >> 11) / static_cast<double>(1ULL << 53) * 2 - 1;
    }

private:
    std::uint64_t mState = 0x2545F4914F6CDD1DULL;
};

// Adds wave(t), t in seconds from `start`, fading as exp(-t / decay).
template <class Wave>
void addDecaying(Signal& signal, double start, double amplitude, double decay, Wave wave)
{
    for (size_t i = static_cast<size_t>(start * RATE); i < signal.size(); ++i) {
        const double t = static_cast<double>(i) / RATE - start;
        signal[i] += amplitude * std::exp(-t / decay) * wave(t);
    }
}

// A sine whose frequency glides from `from` to `to` Hz between `start` and the end.
void addTone(Signal& signal, double start, double from, double to, double amplitude, double decay)
{
    const double length = static_cast<double>(signal.size()) / RATE - start;
    double phase = 0;
    addDecaying(signal, start, amplitude, decay, [&](double t) {
        phase += 2 * PI * (from + (to - from) * t / length) / RATE;
        return std::sin(phase);
    });
}

// Noise through a one-pole low-pass: `smoothing` near 1 is darker.
void addNoise(Signal& signal, double start, double amplitude, double decay, double smoothing)
{
    Noise noise;
    double filtered = 0;
    addDecaying(signal, start, amplitude, decay, [&](double) {
        filtered = smoothing * filtered + (1 - smoothing) * noise.next();
        return filtered / std::sqrt(1 - smoothing);
    });
}

// A few milliseconds' fade in and out, so no effect starts or stops with a click.
void softenEdges(Signal& signal)
{
    const size_t ramp = std::min(signal.size() / 2, static_cast<size_t>(0.003 * RATE));
    for (size_t i = 0; i < ramp; ++i) {
        const double gain = static_cast<double>(i) / static_cast<double>(ramp);
        signal[i] *= gain;
        signal[signal.size() - 1 - i] *= gain;
    }
}

struct Partial
{
    double from, to, amplitude, decay;
};

// A struck thing: a burst of filtered noise and a few decaying partials.
Signal struck(double length, double noise, double noiseDecay, double smoothing, std::initializer_list<Partial> partials)
{
    Signal s = silence(length);
    addNoise(s, 0, noise, noiseDecay, smoothing);
    for (const Partial& p : partials)
        addTone(s, 0, p.from, p.to, p.amplitude, p.decay);
    return s;
}

Signal shot()
{
    return struck(0.45, 0.55, 0.05, 0.3, {{180, 55, 0.7, 0.12}});
}

Signal ballHit()
{
    return struck(0.3, 0.35, 0.008, 0.2, {{420, 400, 0.5, 0.06}, {1130, 1100, 0.25, 0.03}});
}

Signal barrelThud()
{
    return struck(0.45, 0.5, 0.03, 0.9, {{110, 70, 0.7, 0.1}, {260, 240, 0.2, 0.05}});
}

// Whole periods of every partial in the buffer, so it loops without a seam.
Signal chargeTone()
{
    Signal s = silence(0.5);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / RATE;
        s[i] = 0.5 * std::sin(2 * PI * 220 * t) + 0.2 * std::sin(2 * PI * 440 * t) + 0.1 * std::sin(2 * PI * 662 * t);
    }
    return s;
}

Signal arpeggio(const std::vector<double>& notes, double step, double length, double decay)
{
    Signal s = silence(length);
    for (size_t n = 0; n < notes.size(); ++n) {
        addTone(s, static_cast<double>(n) * step, notes[n], notes[n], 0.45, decay);
        addTone(s, static_cast<double>(n) * step, 2 * notes[n], 2 * notes[n], 0.12, decay / 2);
    }
    return s;
}

// A metal barrel rings with inharmonic partials that outlast the knock.
Signal heavyHit()
{
    return struck(0.9, 0.3, 0.01, 0.1,
                  {{320, 320, 0.45, 0.35}, {872, 872, 0.3, 0.25}, {1598, 1598, 0.2, 0.18}, {2390, 2390, 0.12, 0.12}});
}

Signal timeUp()
{
    Signal s = silence(1.0);
    addTone(s, 0, 440, 430, 0.45, 0.4);
    addTone(s, 0.3, 330, 300, 0.5, 0.5);
    return s;
}

Signal tick()
{
    Signal s = silence(0.06);
    addTone(s, 0, 1500, 1500, 0.5, 0.012);
    return s;
}

Signal button()
{
    Signal s = silence(0.05);
    addTone(s, 0, 2400, 1800, 0.35, 0.01);
    return s;
}

bool write(const std::string& path, Signal signal)
{
    softenEdges(signal);
    const double peak = std::max(1e-9, std::abs(*std::max_element(signal.begin(), signal.end(), [](double a, double b) {
                                     return std::abs(a) < std::abs(b);
                                 })));
    // Every effect peaks at the same level; the game sets their loudness.
    std::vector<short> samples(signal.size());
    for (size_t i = 0; i < signal.size(); ++i)
        samples[i] = static_cast<short>(std::lround(signal[i] / peak * 0.9 * 32767));

    SF_INFO info{};
    info.samplerate = Sounds::SAMPLE_RATE;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        std::fprintf(stderr, "sound_gen: %s: %s\n", path.c_str(), sf_strerror(nullptr));
        return false;
    }
    const sf_count_t written = sf_write_short(file, samples.data(), static_cast<sf_count_t>(samples.size()));
    sf_close(file);
    return written == static_cast<sf_count_t>(samples.size());
}
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: sound_gen OUTPUT_FOLDER\n");
        return 2;
    }
    const std::function<Signal()> effects[Sounds::EFFECT_COUNT] = {
        shot,
        ballHit,
        barrelThud,
        chargeTone,
        [] {
            return arpeggio({1047, 1319, 1568}, 0.08, 0.5, 0.12);
        },
        heavyHit,
        [] {
            return arpeggio({523, 659, 784, 1047}, 0.12, 1.1, 0.3);
        },
        timeUp,
        tick,
        button};
    for (int effect = 0; effect < Sounds::EFFECT_COUNT; ++effect) {
        if (!write(std::string(argv[1]) + "/" + Sounds::FILES[effect], effects[effect]()))
            return 1;
    }
    return 0;
}
