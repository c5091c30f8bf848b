// The sound tool: recipe faults are reported with file and line, the
// synthesiser keeps loops seamless and levels exact, Ogg serial numbers are
// fixed, and the tool run into an empty folder makes the committed files
// again (WAV byte for byte, Ogg the same decoded samples).
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/content/SoundChecks.h"
#include "tests/port/ChildProcess.h"
#include "tests/support/TempFolder.h"
#include "tools/soundtool/RecipeReader.h"
#include "tools/soundtool/SoundWriter.h"
#include "tools/soundtool/Synthesizer.h"

namespace {

namespace fs = std::filesystem;

struct BadRecipe {
    const char* label;
    bool track;
    const char* text;
    const char* expected;  // part of the message after "file:line: "
};

void PrintTo(const BadRecipe& row, std::ostream* out) {
    *out << row.label;
}

const BadRecipe kBadRecipes[] = {
    {"UnknownStatement", false, "length 1\nvolume 3\n", "recipe.txt:2: unknown statement \"volume\""},
    {"UnknownLayerKey", false, "layer wave=sine freq=440 colour=red\n", "recipe.txt:1: unknown layer key \"colour\""},
    {"UnknownWave", false, "layer wave=pink\n", "recipe.txt:1: unknown wave \"pink\""},
    {"NotANumber", false, "layer freq=4x0\n", "recipe.txt:1: \"4x0\" is not a number"},
    {"OutOfRange", false, "# a comment line\nlayer freq=30000\n", "recipe.txt:2: freq 30000 is outside 0 .. 20000"},
    {"PeakAboveMinusOne", false, "peak 0\nlayer freq=440\n", "recipe.txt:1: peak 0 is outside -40 .. -1"},
    {"NoLayer", false, "length 1\n", "recipe.txt: no layer"},
    {"FractionalVoices", false, "layer voices=2.5\n", "recipe.txt:1: voices 2.5 is not a whole number"},
    {"LowToWithoutLowpass", false, "layer lowto=300\n", "recipe.txt:1: lowto needs a lowpass"},
    {"BadChord", true, "chords Am Hx\npatch p\nlayer\nplay p\n", "recipe.txt:1: bad chord \"Hx\""},
    {"PartBeforePatch", true, "play lead\npatch lead\nlayer\n", "recipe.txt:1: no patch \"lead\""},
    {"LayerBeforePatch", true, "layer freq=100\n", "recipe.txt:1: layer before any patch"},
    {"BadPattern", true, "patch p\nlayer\nplay p pattern=x.y.\n", "recipe.txt:3: pattern \"x.y.\" may hold only"},
    {"MelodyWithoutNotes", true, "patch p\nlayer\nplay p role=melody\n", "recipe.txt:3: a melody needs notes="},
    {"BadMelodyNote", true, "patch p\nlayer\nplay p role=melody notes=A4,Q4:2\n", "recipe.txt:3: bad note \"Q4\""},
    {"NothingPlays", true, "patch p\nlayer\n", "recipe.txt: nothing plays"},
};

class BadRecipeTest : public ::testing::TestWithParam<BadRecipe> {};

TEST_P(BadRecipeTest, IsRefusedNamingFileAndLine) {
    const BadRecipe& row = GetParam();
    try {
        if (row.track)
            RecipeReader::ReadTrack("t", row.text, "recipe.txt");
        else
            RecipeReader::ReadSound("s", row.text, "recipe.txt");
        FAIL() << "accepted";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(row.expected), std::string::npos) << e.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, BadRecipeTest, ::testing::ValuesIn(kBadRecipes),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(RecipeReaderTest, NotesAndChordsSpellSharpsAndFlatsWhileHashStartsComments) {
    EXPECT_EQ(RecipeReader::ParseNote("A4"), 69);
    EXPECT_EQ(RecipeReader::ParseNote("C#5"), 73);
    EXPECT_EQ(RecipeReader::ParseNote("Eb3"), 51);
    const Chord chord = RecipeReader::ParseChord("Bbmaj7");
    EXPECT_EQ(chord.root, 10);
    EXPECT_EQ(chord.intervals, (std::vector<int>{0, 4, 7, 11}));
    const TrackRecipe track = RecipeReader::ReadTrack(
        "t", "chords F#m*2 C  # two bars, then one\npatch p\nlayer\nplay p role=melody notes=G#4:3,r:1\n", "x");
    ASSERT_EQ(track.chords.size(), 3u);
    EXPECT_EQ(track.chords[0].root, 6);
    EXPECT_EQ(track.chords[2].root, 0);
    ASSERT_EQ(track.parts[0].notes.size(), 2u);
    EXPECT_EQ(track.parts[0].notes[0].midi, 68);
    EXPECT_EQ(track.parts[0].notes[0].steps, 3);
    EXPECT_EQ(track.parts[0].notes[1].midi, -1);
}

Decoded AsDecoded(const std::vector<float>& samples, int channels) {
    Decoded d;
    d.ok = true;
    d.channels = channels;
    for (float x : samples) d.samples.push_back(static_cast<std::int16_t>(std::lround(x * 32767.0f)));
    return d;
}

TEST(SynthesizerTest, LoopedSoundJoinsEvenWithRatesThatDoNotFitTheLength) {
    // 441.3 Hz and a 7.7 Hz tremolo do not fit 0.5 s; with noise on top.
    const SoundRecipe sound = RecipeReader::ReadSound("hum",
                                                      "length 0.5\nloop 0.1\nlayer wave=saw freq=441.3 tremolo=7.7 "
                                                      "tremdepth=0.6 attack=0\nlayer wave=noise gain=0.2 attack=0\n",
                                                      "hum.txt");
    const std::vector<float> samples = Synthesizer::RenderSound(sound);
    ASSERT_EQ(samples.size(), 22050u);
    EXPECT_LE(JoinStepRatio(AsDecoded(samples, 1), 0), 1.0);
}

TEST(SynthesizerTest, PeakLandsOnTheRecipesLevel) {
    const SoundRecipe sound =
        RecipeReader::ReadSound("blip", "length 0.2\npeak -7\nlayer freq=500 decay=0.05 gain=3\n", "blip.txt");
    const std::vector<float> samples = Synthesizer::RenderSound(sound);
    float peak = 0.0f;
    for (float x : samples) peak = std::max(peak, std::abs(x));
    EXPECT_NEAR(20.0 * std::log10(peak), -7.0, 1e-4);
    // The end fades out: the very last sample is silent.
    EXPECT_EQ(samples.back(), 0.0f);
}

TEST(SynthesizerTest, SilentRecipeIsRefused) {
    const SoundRecipe sound = RecipeReader::ReadSound("quiet", "layer freq=500 gain=0\n", "quiet.txt");
    EXPECT_THROW(Synthesizer::RenderSound(sound), std::runtime_error);
}

TEST(SynthesizerTest, NoteRingingPastTheTrackEndWrapsIntoItsStart) {
    // One bar at 120 BPM (2 s); a single hit on the last step with a long release.
    const TrackRecipe track = RecipeReader::ReadTrack(
        "t", "tempo 120\nbars 1\nsteps 4\npatch p\nlayer freq=200 release=0.8\nplay p pattern=...x\n", "t.txt");
    const std::vector<float> stereo = Synthesizer::RenderTrack(track);
    ASSERT_EQ(stereo.size(), 2u * 88200u);
    float head = 0.0f;
    for (std::size_t i = 0; i < 2 * 4410; ++i) head = std::max(head, std::abs(stereo[i]));
    EXPECT_GT(head, 0.1f);
    EXPECT_LE(JoinStepRatio(AsDecoded(stereo, 2), 0), 1.0);
}

TEST(SynthesizerTest, PanAndArpeggioFollowThePart) {
    // A hard-left arpeggio over C major: silent on the right, and its three
    // hits climb through C, E, G (rising zero-crossing rate).
    const TrackRecipe track = RecipeReader::ReadTrack(
        "t",
        "tempo 60\nbars 1\nsteps 4\nchords C\npatch p\nlayer wave=sine attack=0.001 release=0.001\n"
        "play p role=arp octave=4 pattern=xxx. pan=-1\n",
        "t.txt");
    const std::vector<float> stereo = Synthesizer::RenderTrack(track);
    auto crossings = [&](int beat) {
        int count = 0;
        for (std::size_t i = static_cast<std::size_t>(beat) * 44100 + 1;
             i < static_cast<std::size_t>(beat + 1) * 44100 - 100; ++i)
            if ((stereo[2 * i] >= 0.0f) != (stereo[2 * (i - 1)] >= 0.0f)) ++count;
        return count / 2;  // cycles per second
    };
    EXPECT_NEAR(crossings(0), 262, 2);
    EXPECT_NEAR(crossings(1), 330, 2);
    EXPECT_NEAR(crossings(2), 392, 2);
    for (std::size_t i = 0; i < stereo.size(); i += 2) ASSERT_EQ(stereo[i + 1], 0.0f);
}

TEST(SoundWriterTest, OggSerialIsSetOnEveryPageWithValidChecksums) {
    TempFolder folder("ddsound");
    const std::string path = folder.Path() + "/a.ogg";
    std::vector<float> stereo(2 * 44100);
    for (std::size_t i = 0; i < stereo.size(); ++i) stereo[i] = 0.3f * std::sin(0.01f * static_cast<float>(i));
    std::string why;
    ASSERT_TRUE(SoundWriter::WriteOgg(path, stereo, 0.4, &why)) << why;
    const std::vector<unsigned char> first = ReadBytes(path);
    ASSERT_TRUE(SoundWriter::WriteOgg(path, stereo, 0.4, &why)) << why;
    EXPECT_EQ(ReadBytes(path), first) << "two writes of the same samples differ";
    // The file still decodes (the checksums were recomputed) to the samples' length.
    const Decoded decoded = DecodeFile(path);
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.Frames(), 44100u);
    std::vector<unsigned char> garbage = {'O', 'g', 'g', 'S', 0, 0};
    EXPECT_FALSE(SoundWriter::SetOggSerial(garbage, 1));
    EXPECT_FALSE(fs::exists(path + ".tmp"));
}

TEST(SoundWriterTest, UnwritableTargetFailsNamingItAndKeepsTheOldFile) {
    TempFolder folder("ddsound");
    const std::string path = folder.Path() + "/sub/a.wav";  // "sub" is a file, not a folder
    { std::ofstream(folder.Path() + "/sub") << "old"; }
    std::string why;
    EXPECT_FALSE(SoundWriter::WriteWav(path, std::vector<float>(100, 0.1f), &why));
    EXPECT_NE(why.find(path), std::string::npos) << why;
    EXPECT_EQ(ReadBytes(folder.Path() + "/sub").size(), 3u);
}

ChildResult RunTool(const std::string& dir, const std::vector<std::string>& args) {
    std::vector<std::string> argv = {DD_SOUNDTOOL};
    argv.insert(argv.end(), args.begin(), args.end());
    ChildProcess tool = ChildProcess::Exec(dir, argv);
    return tool.Wait(600);
}

bool ExitedWith(const ChildResult& result, int status) {
    return !result.timedOut && WIFEXITED(result.status) && WEXITSTATUS(result.status) == status;
}

// One broken recipe among good ones: the run names its file and line and
// writes nothing at all, not even the good ones.
TEST(SoundToolRunTest, BrokenRecipeEndsTheRunBeforeAnythingIsWritten) {
    TempFolder recipes("ddsoundrecipes"), out("ddsoundout");
    fs::create_directories(recipes.Path() + "/sfx");
    fs::create_directories(recipes.Path() + "/bgm");
    { std::ofstream(recipes.Path() + "/sfx/a_good.txt") << "layer freq=440 decay=0.1\n"; }
    { std::ofstream(recipes.Path() + "/sfx/b_bad.txt") << "length 0.2\nlayer freq=440 decay=-1\n"; }
    const ChildResult result = RunTool(out.Path(), {recipes.Path(), out.Path()});
    EXPECT_TRUE(ExitedWith(result, 1)) << result.errorText;
    EXPECT_NE(result.errorText.find("b_bad.txt:2: decay -1 is outside"), std::string::npos) << result.errorText;
    EXPECT_TRUE(fs::is_empty(out.Path()));
}

TEST(SoundToolRunTest, UnwritableAssetRootEndsTheRunNamingIt) {
    TempFolder out("ddsoundout");
    { std::ofstream(out.Path() + "/sfx") << "a file where the folder should be"; }
    const std::string source = std::getenv("DD_SOURCE_DIR");
    const ChildResult result = RunTool(out.Path(), {source + "/tools/soundtool/recipes", out.Path()});
    EXPECT_TRUE(ExitedWith(result, 1)) << result.errorText;
    EXPECT_NE(result.errorText.find(out.Path() + "/sfx"), std::string::npos) << result.errorText;
}

// The folders the regeneration test remakes. The sanitizer build's tool
// takes minutes over the music, so there it remakes the effects alone; the
// plain build remakes everything.
std::vector<std::string> RegeneratedFolders() {
#if defined(__SANITIZE_ADDRESS__)
    return {"sfx"};
#else
    return {"sfx", "bgm"};
#endif
}

// The committed assets are what the recipes make: the tool run into an
// empty folder writes the same set of files, the effects byte for byte and
// the music with the same decoded samples.
TEST(SoundRegenerationTest, ToolMakesTheCommittedFilesAgain) {
    TempFolder recipes("ddsoundregenrecipes"), out("ddsoundregen");
    const std::string source = std::getenv("DD_SOURCE_DIR");
    const std::string assets = std::getenv("DD_ASSET_DIR");
    fs::create_directory(recipes.Path() + "/sfx");
    fs::create_directory(recipes.Path() + "/bgm");
    for (const std::string& folder : RegeneratedFolders())
        fs::copy(source + "/tools/soundtool/recipes/" + folder, recipes.Path() + "/" + folder);
    const ChildResult result = RunTool(out.Path(), {recipes.Path(), out.Path()});
    ASSERT_TRUE(ExitedWith(result, 0)) << result.errorText;

    for (const std::string& folder : RegeneratedFolders()) {
        std::set<std::string> made, committed;
        for (const auto& entry : fs::directory_iterator(out.Path() + "/" + folder))
            made.insert(entry.path().filename());
        for (const auto& entry : fs::directory_iterator(assets + "/" + folder))
            committed.insert(entry.path().filename());
        EXPECT_EQ(made, committed) << folder;
        for (const std::string& name : made) {
            const std::string fresh = out.Path() + "/" + folder + "/" + name;
            const std::string kept = assets + "/" + folder + "/" + name;
            if (folder == "sfx") {
                EXPECT_TRUE(ReadBytes(fresh) == ReadBytes(kept)) << name << " differs from its recipe's output";
                continue;
            }
            const Decoded a = DecodeFile(fresh), b = DecodeFile(kept);
            ASSERT_TRUE(a.ok && b.ok) << name;
            ASSERT_EQ(a.samples.size(), b.samples.size()) << name;
            int largest = 0;
            for (std::size_t i = 0; i < a.samples.size(); ++i)
                largest = std::max(largest, std::abs(a.samples[i] - b.samples[i]));
            // Vorbis of the same samples decodes the same; a few steps of slack
            // for float rounding between build types.
            EXPECT_LE(largest, 4) << name;
        }
    }
}

}  // namespace
