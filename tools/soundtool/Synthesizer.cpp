#include "tools/soundtool/Synthesizer.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace {

constexpr double kRate = Synthesizer::kSampleRate;
constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Stereo accumulation buffer. A circular one wraps what passes its end to its
// start (a music loop's last notes ring on into its first bar); a plain one
// drops it.
struct Buffer {
    Buffer(std::size_t frames, bool circular) : left(frames, 0.0), right(frames, 0.0), circular(circular) {}
    void Add(long long index, double l, double r) {
        const auto size = static_cast<long long>(left.size());
        if (circular) index = ((index % size) + size) % size;
        if (index < 0 || index >= size) return;
        left[static_cast<std::size_t>(index)] += l;
        right[static_cast<std::size_t>(index)] += r;
    }
    std::vector<double> left, right;
    bool circular;
};

// Topology-preserving state-variable filter: low-pass and high-pass outputs,
// stable for any cutoff below Nyquist.
class Filter {
public:
    void Tune(double cutoff, double q) {
        const double g = std::tan(std::numbers::pi * std::min(cutoff, 0.45 * kRate) / kRate);
        k_ = 1.0 / q;
        a1_ = 1.0 / (1.0 + g * (g + k_));
        a2_ = g * a1_;
        a3_ = g * a2_;
    }
    // Returns the low-pass output; high() the high-pass of the same step.
    double Step(double in) {
        const double v3 = in - ic2_;
        const double v1 = a1_ * ic1_ + a2_ * v3;
        const double v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
        ic1_ = 2.0 * v1 - ic1_;
        ic2_ = 2.0 * v2 - ic2_;
        high_ = in - k_ * v1 - v2;
        return v2;
    }
    double High() const { return high_; }

private:
    double k_ = 1.0, a1_ = 0.0, a2_ = 0.0, a3_ = 0.0;
    double ic1_ = 0.0, ic2_ = 0.0, high_ = 0.0;
};

// Band-limited step correction for the saw and square edges.
double PolyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

double Oscillator(Wave wave, double phase, double dt, double duty) {
    switch (wave) {
        case Wave::Sine:
            return std::sin(kTwoPi * phase);
        case Wave::Triangle:
            return 4.0 * std::abs(phase - 0.5) - 1.0;
        case Wave::Saw:
            return 2.0 * phase - 1.0 - PolyBlep(phase, dt);
        case Wave::Square: {
            double value = phase < duty ? 1.0 : -1.0;
            value += PolyBlep(phase, dt);
            value -= PolyBlep(std::fmod(phase + 1.0 - duty, 1.0), dt);
            return value;
        }
        case Wave::Noise:
            break;
    }
    return 0.0;
}

// Rounds a rate to whole cycles of a loop's length, so the loop repeats it
// without a jump. 0 stays 0; anything else keeps at least one cycle.
double WholeCycles(double rate, double loopSeconds) {
    if (rate <= 0.0 || loopSeconds <= 0.0) return rate;
    return std::max(1.0, std::round(rate * loopSeconds)) / loopSeconds;
}

struct Note {
    double freq = 440.0;  // for layers that follow the note
    double gate = 0.0;    // seconds
    double velocity = 1.0;
    long long start = 0;  // frame
};

// Adds one layer of one note to the buffer. loopSeconds > 0 rounds the
// layer's rates to whole cycles of that length.
void RenderLayer(const Layer& layer, const Note& note, double loopSeconds, Buffer& out) {
    const double gate = layer.dur > 0.0 ? layer.dur : note.gate - layer.start;
    if (gate <= 0.0) return;
    const auto frames = static_cast<long long>(std::ceil((gate + layer.release) * kRate));
    double f0 = layer.freq > 0.0 ? layer.freq : note.freq * layer.ratio;
    double vibrato = layer.vibrato, tremolo = layer.tremolo;
    if (loopSeconds > 0.0 && layer.bend == 0.0) {
        f0 = WholeCycles(f0, loopSeconds);
        vibrato = WholeCycles(vibrato, loopSeconds);
        tremolo = WholeCycles(tremolo, loopSeconds);
    }
    const double sweep = layer.sweep > 0.0 ? layer.sweep : gate;
    const int voices = layer.wave == Wave::Noise ? 1 : layer.voices;

    std::vector<double> phase(static_cast<std::size_t>(voices)), factor(phase.size()), panL(phase.size()),
        panR(phase.size());
    for (int v = 0; v < voices; ++v) {
        const double across = voices > 1 ? static_cast<double>(v) / (voices - 1) : 0.5;
        const auto i = static_cast<std::size_t>(v);
        phase[i] = voices > 1 ? static_cast<double>(v) / voices : 0.0;
        factor[i] = std::exp2(layer.detune * (across - 0.5) / 1200.0);
        const double pan = layer.spread * (2.0 * across - 1.0);
        panL[i] = std::min(1.0, 1.0 - pan);
        panR[i] = std::min(1.0, 1.0 + pan);
    }
    const double voiceGain = 1.0 / std::sqrt(static_cast<double>(voices));
    const double driveNorm = layer.drive > 0.0 ? 1.0 / std::tanh(layer.drive) : 1.0;

    Filter lowL, lowR, highL, highR;
    if (layer.highpass > 0.0) highL.Tune(layer.highpass, layer.q), highR.Tune(layer.highpass, layer.q);
    std::uint32_t noise = layer.seed * 2654435761u + 12345u;

    for (long long n = 0; n < frames; ++n) {
        const double t = static_cast<double>(n) / kRate;
        double env = t < layer.attack ? t / layer.attack : 1.0;
        if (t >= layer.attack && layer.decay > 0.0)
            env = layer.sustain + (1.0 - layer.sustain) * std::exp(-(t - layer.attack) / layer.decay);
        if (t > gate) env *= layer.release > 0.0 ? std::max(0.0, 1.0 - (t - gate) / layer.release) : 0.0;

        double l = 0.0, r = 0.0;
        if (layer.wave == Wave::Noise) {
            noise = noise * 1664525u + 1013904223u;
            l = r = static_cast<double>(noise >> 8) / 8388608.0 - 1.0;
        } else {
            double semis = layer.bend * std::min(t / sweep, 1.0);
            if (vibrato > 0.0) semis += layer.vibdepth * std::sin(kTwoPi * vibrato * t);
            const double f = f0 * std::exp2(semis / 12.0);
            for (std::size_t v = 0; v < phase.size(); ++v) {
                const double dt = std::min(f * factor[v] / kRate, 0.5);
                const double s = Oscillator(layer.wave, phase[v], dt, layer.duty);
                phase[v] += dt;
                if (phase[v] >= 1.0) phase[v] -= 1.0;
                l += s * panL[v];
                r += s * panR[v];
            }
            l *= voiceGain;
            r *= voiceGain;
        }
        if (layer.lowpass > 0.0) {
            if (n % 16 == 0) {
                double cutoff = layer.lowpass;
                if (layer.lowto > 0.0) cutoff *= std::pow(layer.lowto / layer.lowpass, std::min(t / gate, 1.0));
                lowL.Tune(cutoff, layer.q);
                lowR.Tune(cutoff, layer.q);
            }
            l = lowL.Step(l);
            r = lowR.Step(r);
        }
        if (layer.highpass > 0.0) {
            highL.Step(l);
            highR.Step(r);
            l = highL.High();
            r = highR.High();
        }
        if (layer.drive > 0.0) {
            l = std::tanh(layer.drive * l) * driveNorm;
            r = std::tanh(layer.drive * r) * driveNorm;
        }
        double level = env * layer.gain * note.velocity;
        if (tremolo > 0.0) level *= 1.0 - layer.tremdepth * (0.5 - 0.5 * std::cos(kTwoPi * tremolo * t));
        out.Add(note.start + static_cast<long long>(std::llround(layer.start * kRate)) + n, l * level, r * level);
    }
}

void RenderNote(const Patch& patch, const Note& note, double loopSeconds, Buffer& out) {
    for (const Layer& layer : patch.layers) RenderLayer(layer, note, loopSeconds, out);
}

double MidiFrequency(int midi) {
    return 440.0 * std::exp2((midi - 69) / 12.0);
}

// Scales samples so that the largest magnitude sits at peakDb dBFS.
void Normalise(std::vector<double>& a, std::vector<double>* b, double peakDb, const std::string& name) {
    double peak = 0.0;
    for (double x : a) peak = std::max(peak, std::abs(x));
    if (b)
        for (double x : *b) peak = std::max(peak, std::abs(x));
    if (!(peak > 1e-9)) throw std::runtime_error(name + ": the recipe renders silence");
    const double scale = std::pow(10.0, peakDb / 20.0) / peak;
    for (double& x : a) x *= scale;
    if (b)
        for (double& x : *b) x *= scale;
}

// The chord's tones as MIDI notes folded into the octave that starts at C of `octave`.
std::vector<int> ChordTones(const Chord& chord, int octave) {
    std::vector<int> tones;
    for (int interval : chord.intervals) tones.push_back(12 * (octave + 1) + (chord.root + interval) % 12);
    std::sort(tones.begin(), tones.end());
    tones.erase(std::unique(tones.begin(), tones.end()), tones.end());
    return tones;
}

std::vector<int> ArpSequence(const Chord& chord, const Part& part) {
    const std::vector<int> tones = ChordTones(chord, part.octave);
    std::vector<int> up;
    for (int o = 0; o < part.span; ++o)
        for (int tone : tones) up.push_back(tone + 12 * o);
    if (part.order == ArpOrder::Down) std::reverse(up.begin(), up.end());
    if (part.order == ArpOrder::UpDown && up.size() > 2)
        for (std::size_t i = up.size() - 2; i > 0; --i) up.push_back(up[i]);
    return up;
}

}  // namespace

std::vector<float> Synthesizer::RenderSound(const SoundRecipe& sound) {
    const auto frames = static_cast<std::size_t>(std::llround(sound.length * kRate));
    const auto fade = sound.loop ? static_cast<std::size_t>(std::llround(sound.crossfade * kRate)) : 0;
    Buffer buffer(frames + fade, false);
    RenderNote(sound.patch, Note{440.0, sound.length, 1.0, 0}, sound.loop ? sound.length : 0.0, buffer);

    std::vector<double> mono(frames);
    for (std::size_t i = 0; i < frames; ++i) mono[i] = 0.5 * (buffer.left[i] + buffer.right[i]);
    if (sound.loop) {
        // What rings on past the end fades into the start: the last frame
        // then leads straight into the first.
        for (std::size_t i = 0; i < fade; ++i) {
            const double w = (static_cast<double>(i) + 0.5) / static_cast<double>(fade);
            const double tail = 0.5 * (buffer.left[frames + i] + buffer.right[frames + i]);
            mono[i] = mono[i] * w + tail * (1.0 - w);
        }
    } else {
        // Whatever still sounds at the end is faded out over 20 ms (a quarter
        // of a very short sound).
        const std::size_t tail = std::min<std::size_t>(frames / 4, static_cast<std::size_t>(0.02 * kRate));
        for (std::size_t i = 0; i < tail; ++i)
            mono[frames - 1 - i] *= static_cast<double>(i) / static_cast<double>(tail);
    }
    Normalise(mono, nullptr, sound.peakDb, sound.name);
    return std::vector<float>(mono.begin(), mono.end());
}

std::size_t Synthesizer::TrackFrames(const TrackRecipe& track) {
    const double stepSeconds = 240.0 / track.tempo / track.steps;
    return static_cast<std::size_t>(std::llround(track.bars * track.steps * stepSeconds * kRate));
}

std::vector<float> Synthesizer::RenderTrack(const TrackRecipe& track) {
    const std::size_t frames = TrackFrames(track);
    const double stepSeconds = 240.0 / track.tempo / track.steps;
    const int totalSteps = track.bars * track.steps;
    auto stepFrame = [&](double step) { return static_cast<long long>(std::llround(step * stepSeconds * kRate)); };
    Buffer mix(frames, true);

    for (const Part& part : track.parts) {
        const Patch& patch = track.patches.at(part.patch);
        Buffer dry(frames, true);
        auto barOn = [&](int step) {
            const int bar = step / track.steps;
            return part.bars[static_cast<std::size_t>(bar) % part.bars.size()] == '1';
        };
        auto play = [&](int step, int midi, int length, double velocity) {
            RenderNote(patch, Note{MidiFrequency(midi), length * stepSeconds, velocity, stepFrame(step)}, 0.0, dry);
        };
        if (part.role == Role::Melody) {
            std::size_t index = 0;
            for (int step = 0; step < totalSteps; ++index) {
                const MelodyNote& note = part.notes[index % part.notes.size()];
                if (note.midi >= 0 && barOn(step)) play(step, note.midi, note.steps, 1.0);
                step += note.steps;
            }
        } else {
            const int patternSize = static_cast<int>(part.pattern.size());
            int arpIndex = 0;
            for (int step = 0; step < totalSteps; ++step) {
                if (step % track.steps == 0) arpIndex = 0;
                const char hit = part.pattern[static_cast<std::size_t>(step % patternSize)];
                if (hit == '-' || hit == '.' || !barOn(step)) continue;
                int length = 1;
                while (length < patternSize &&
                       part.pattern[static_cast<std::size_t>((step + length) % patternSize)] == '-')
                    ++length;
                const double velocity = hit == 'o' ? 0.6 : 1.0;
                const Chord& chord = track.chords[static_cast<std::size_t>(step / track.steps) % track.chords.size()];
                const int root = 12 * (part.octave + 1) + chord.root;
                switch (part.role) {
                    case Role::Drum:
                        play(step, 12 * (part.octave + 1), length, velocity);
                        break;
                    case Role::Bass:
                        play(step, root + (hit == '5' ? 7 : hit == '8' ? 12 : 0), length, velocity);
                        break;
                    case Role::Chord:
                        for (int tone : ChordTones(chord, part.octave)) play(step, tone, length, velocity);
                        break;
                    case Role::Arp: {
                        const std::vector<int> sequence = ArpSequence(chord, part);
                        play(step, sequence[static_cast<std::size_t>(arpIndex++) % sequence.size()], length, velocity);
                        break;
                    }
                    case Role::Melody:
                        break;
                }
            }
        }
        // Ping-pong echoes, wrapping round the loop like the notes.
        Buffer wet = dry;
        const auto size = static_cast<long long>(frames);
        for (int k = 1; k <= part.echoCount; ++k) {
            const long long delay = stepFrame(k * part.echoSteps) % size;
            const double g = std::pow(part.echoGain, k);
            const bool swap = k % 2 == 1;
            for (long long i = 0; i < size; ++i) {
                const auto from = static_cast<std::size_t>((i - delay + size) % size);
                const double l = swap ? dry.right[from] : dry.left[from];
                const double r = swap ? dry.left[from] : dry.right[from];
                wet.Add(i, g * l, g * r);
            }
        }
        const double gainL = part.gain * std::min(1.0, 1.0 - part.pan);
        const double gainR = part.gain * std::min(1.0, 1.0 + part.pan);
        for (std::size_t i = 0; i < frames; ++i)
            mix.Add(static_cast<long long>(i), wet.left[i] * gainL, wet.right[i] * gainR);
    }
    Normalise(mix.left, &mix.right, track.peakDb, track.name);
    std::vector<float> interleaved(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        interleaved[2 * i] = static_cast<float>(mix.left[i]);
        interleaved[2 * i + 1] = static_cast<float>(mix.right[i]);
    }
    return interleaved;
}
