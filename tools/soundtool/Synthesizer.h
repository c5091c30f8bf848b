// Renders sound recipes to samples at 44.1 kHz: a sound effect to mono, a
// music loop to interleaved stereo. Pure arithmetic on the recipe (noise from
// a seeded generator of its own), so the same recipe gives the same samples.
// Peaks are normalised to the recipe's level; a recipe that renders silence
// throws std::runtime_error.
#pragma once
#include <cstddef>
#include <vector>

#include "tools/soundtool/Recipe.h"

class Synthesizer {
public:
    static constexpr int kSampleRate = 44100;

    static std::vector<float> RenderSound(const SoundRecipe& sound);
    static std::vector<float> RenderTrack(const TrackRecipe& track);
    // Frames of the rendered track: its bars at its tempo, rounded to a frame.
    static std::size_t TrackFrames(const TrackRecipe& track);
};
