// soundtool: synthesises the game's sound effects and music from the text
// recipes in tools/soundtool/recipes, with no recorded samples.
//   soundtool <recipe folder> <asset root>
//       every recipes/sfx/<name>.txt to <asset root>/sfx/<name>.wav (mono,
//       16-bit, 44.1 kHz) and every recipes/bgm/<name>.txt to
//       <asset root>/bgm/<name>.ogg (stereo Vorbis, quality 0.4)
//   soundtool --one <recipe> <file.wav|file.ogg>
//       one recipe: an effect to .wav, a music loop to .ogg
// Every recipe is read before anything is written; a fault names the file and
// line and ends the run with status 1.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/soundtool/RecipeReader.h"
#include "tools/soundtool/SoundWriter.h"
#include "tools/soundtool/Synthesizer.h"

namespace {

namespace fs = std::filesystem;

constexpr double kVorbisQuality = 0.4;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(path.string() + ": cannot be read");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<fs::path> Recipes(const fs::path& folder) {
    std::vector<fs::path> paths;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (entry.is_regular_file() && entry.path().extension() == ".txt") paths.push_back(entry.path());
    if (error) throw std::runtime_error(folder.string() + ": cannot be listed (" + error.message() + ")");
    std::sort(paths.begin(), paths.end());
    return paths;
}

void Check(bool ok, const std::string& why) {
    if (!ok) throw std::runtime_error(why);
}

void MakeFolder(const fs::path& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error) throw std::runtime_error(folder.string() + ": cannot be made (" + error.message() + ")");
}

int RenderAll(const fs::path& recipes, const fs::path& root) {
    std::vector<SoundRecipe> sounds;
    std::vector<TrackRecipe> tracks;
    for (const fs::path& path : Recipes(recipes / "sfx"))
        sounds.push_back(RecipeReader::ReadSound(path.stem().string(), ReadText(path), path.string()));
    for (const fs::path& path : Recipes(recipes / "bgm"))
        tracks.push_back(RecipeReader::ReadTrack(path.stem().string(), ReadText(path), path.string()));
    if (sounds.empty() && tracks.empty()) throw std::runtime_error(recipes.string() + ": no recipes in sfx/ or bgm/");

    MakeFolder(root / "sfx");
    MakeFolder(root / "bgm");
    std::string why;
    for (const SoundRecipe& sound : sounds) {
        const fs::path out = root / "sfx" / (sound.name + ".wav");
        Check(SoundWriter::WriteWav(out.string(), Synthesizer::RenderSound(sound), &why), why);
        std::printf("%s\n", out.string().c_str());
    }
    for (const TrackRecipe& track : tracks) {
        const fs::path out = root / "bgm" / (track.name + ".ogg");
        Check(SoundWriter::WriteOgg(out.string(), Synthesizer::RenderTrack(track), kVorbisQuality, &why), why);
        std::printf("%s\n", out.string().c_str());
    }
    return 0;
}

int RenderOne(const fs::path& recipe, const fs::path& out) {
    const std::string text = ReadText(recipe);
    std::string why;
    if (out.extension() == ".wav") {
        const SoundRecipe sound = RecipeReader::ReadSound(recipe.stem().string(), text, recipe.string());
        Check(SoundWriter::WriteWav(out.string(), Synthesizer::RenderSound(sound), &why), why);
    } else if (out.extension() == ".ogg") {
        const TrackRecipe track = RecipeReader::ReadTrack(recipe.stem().string(), text, recipe.string());
        Check(SoundWriter::WriteOgg(out.string(), Synthesizer::RenderTrack(track), kVorbisQuality, &why), why);
    } else {
        throw std::runtime_error(out.string() + ": the output must end in .wav (effect) or .ogg (music)");
    }
    std::printf("%s\n", out.string().c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() == 3 && args[0] == "--one") return RenderOne(args[1], args[2]);
        if (args.size() == 2 && args[0].rfind("--", 0) != 0) return RenderAll(args[0], args[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "soundtool: %s\n", e.what());
        return 1;
    }
    std::fprintf(stderr,
                 "usage: soundtool <recipe folder> <asset root>\n"
                 "       soundtool --one <recipe> <file.wav|file.ogg>\n");
    return 2;
}
