// Reads the sound tool's text recipes into SoundRecipe and TrackRecipe values.
// One statement per line ('#' at the start of a word begins a comment): a keyword, then words or
// key=value pairs. Any fault (unknown word, value out of range, a part naming
// a missing patch) throws std::runtime_error naming the file and line.
#pragma once
#include <string>

#include "tools/soundtool/Recipe.h"

class RecipeReader {
public:
    // `file` labels the error messages; `name` becomes the recipe's name.
    static SoundRecipe ReadSound(const std::string& name, const std::string& text, const std::string& file);
    static TrackRecipe ReadTrack(const std::string& name, const std::string& text, const std::string& file);

    // "Am", "F#7", "Bbmaj7", "Dsus4"... Throws std::invalid_argument.
    static Chord ParseChord(const std::string& symbol);
    // "A4" = 69 (MIDI numbering, C4 = 60), "C#5", "Eb3". Throws std::invalid_argument.
    static int ParseNote(const std::string& text);
};
