// What a sound recipe says: the layers of a sound effect, or the patches,
// chords and instrument parts of a music loop. Read from the text recipes
// in tools/soundtool/recipes by RecipeReader and rendered by Synthesizer.
// Plain values; the tool owns them for one run.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

enum class Wave { Sine, Triangle, Square, Saw, Noise };

// One oscillator (or noise source) with its envelope, pitch sweep, filters and
// modulation. Times in seconds, frequencies in Hz, pitch offsets in semitones.
struct Layer {
    Wave wave = Wave::Sine;
    double freq = 0.0;      // fixed frequency; 0 = the played note's frequency times ratio
    double ratio = 1.0;     // multiple of the note's frequency (when freq is 0)
    double bend = 0.0;      // pitch change over the sweep, semitones
    double sweep = 0.0;     // sweep time; 0 = the whole gate
    double start = 0.0;     // delay after the note starts
    double dur = 0.0;       // gate; 0 = the note's gate (less start)
    double attack = 0.002;  // linear rise
    double decay = 0.0;     // time constant of the fall towards sustain; 0 = held
    double sustain = 0.0;   // level the decay falls to (0..1)
    double release = 0.01;  // linear fade after the gate
    double gain = 1.0;
    double lowpass = 0.0;    // cutoff of a 12 dB/octave low-pass; 0 = none
    double lowto = 0.0;      // cutoff at the end of the gate (exponential glide); 0 = fixed
    double highpass = 0.0;   // cutoff of a 12 dB/octave high-pass; 0 = none
    double q = 0.707;        // resonance of both filters
    double vibrato = 0.0;    // vibrato rate, Hz
    double vibdepth = 0.0;   // vibrato depth, semitones
    double tremolo = 0.0;    // tremolo rate, Hz
    double tremdepth = 0.0;  // tremolo depth (0..1)
    double duty = 0.5;       // pulse width of the square
    double drive = 0.0;      // tanh saturation; 0 = clean
    int voices = 1;          // detuned copies
    double detune = 0.0;     // total detune spread of the copies, cents
    double spread = 0.0;     // stereo spread of the copies (0..1)
    std::uint32_t seed = 0;  // noise seed; 0 = derived from the layer's index
};

struct Patch {
    std::string name;
    std::vector<Layer> layers;
};

// A sound effect: mono, `length` seconds, peak normalised to peakDb dBFS.
// A looped one joins its end to its start: its rates are rounded to whole
// cycles of the length and the last `crossfade` seconds fade into the first.
struct SoundRecipe {
    std::string name;
    double length = 0.5;
    double peakDb = -3.0;
    bool loop = false;
    double crossfade = 0.0;
    Patch patch;
};

// One bar's harmony: root pitch class (0 = C) and the chord's intervals.
struct Chord {
    int root = 0;
    std::vector<int> intervals;
};

// The part one patch plays in a track.
//   drum:   each hit plays the patch at its fixed frequency.
//   bass:   'x'/'o' the chord's root, '5' its fifth, '8' the octave above.
//   chord:  every chord tone at once, folded into one octave.
//   arp:    the chord's tones one per hit, in `order`, over `span` octaves.
//   melody: the `notes` in turn, ignoring the pattern.
// Pattern characters per step: 'x' hit, 'o' soft hit, '-' holds the last note,
// '.' rest; the pattern repeats over the track. `bars` (a string of '1' and
// '0', repeating) says which bars the part plays.
enum class Role { Drum, Bass, Chord, Arp, Melody };
enum class ArpOrder { Up, Down, UpDown };

struct MelodyNote {
    int midi = -1;  // -1 = rest
    int steps = 1;
};

struct Part {
    std::string patch;
    Role role = Role::Drum;
    int octave = 4;
    std::string pattern = "x";
    std::string bars = "1";
    std::vector<MelodyNote> notes;
    ArpOrder order = ArpOrder::Up;
    int span = 1;
    double gain = 1.0;
    double pan = 0.0;        // -1 left .. 1 right
    double echoSteps = 0.0;  // ping-pong echo delay in steps; 0 = none
    double echoGain = 0.0;   // each repeat's level relative to the one before
    int echoCount = 0;
};

// A seamless music loop: `bars` bars of 4/4 at `tempo` beats per minute,
// `steps` pattern steps per bar; stereo, peak normalised to peakDb dBFS.
struct TrackRecipe {
    std::string name;
    double tempo = 120.0;
    int bars = 8;
    int steps = 16;
    double peakDb = -3.0;
    std::vector<Chord> chords;  // one per bar, repeating
    std::map<std::string, Patch> patches;
    std::vector<Part> parts;
};
