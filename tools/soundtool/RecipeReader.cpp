#include "tools/soundtool/RecipeReader.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <stdexcept>
#include <utility>
#include <vector>

namespace {

struct Line {
    int number = 0;
    std::vector<std::string> words;
};

std::vector<Line> SplitLines(const std::string& text) {
    std::vector<Line> lines;
    std::istringstream in(text);
    std::string raw;
    int number = 0;
    while (std::getline(in, raw)) {
        ++number;
        // A comment starts at a '#' that begins a word ("F#" is a note).
        for (std::size_t i = 0; i < raw.size(); ++i)
            if (raw[i] == '#' && (i == 0 || raw[i - 1] == ' ' || raw[i - 1] == '\t')) {
                raw.erase(i);
                break;
            }
        std::istringstream words(raw);
        Line line{number, {}};
        std::string word;
        while (words >> word) line.words.push_back(word);
        if (!line.words.empty()) lines.push_back(std::move(line));
    }
    return lines;
}

class Fault {
public:
    Fault(const std::string& file, int line) : where_(file + ":" + std::to_string(line) + ": ") {}
    [[noreturn]] void operator()(const std::string& what) const { throw std::runtime_error(where_ + what); }

private:
    std::string where_;
};

std::string Short(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

double Number(const std::string& text, double low, double high, const std::string& key, const Fault& fault) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(value)) fault("\"" + text + "\" is not a number (" + key + ")");
    if (value < low || value > high) fault(key + " " + text + " is outside " + Short(low) + " .. " + Short(high));
    return value;
}

int Whole(const std::string& text, int low, int high, const std::string& key, const Fault& fault) {
    const double value = Number(text, low, high, key, fault);
    if (value != std::floor(value)) fault(key + " " + text + " is not a whole number");
    return static_cast<int>(value);
}

std::pair<std::string, std::string> KeyValue(const std::string& word, const Fault& fault) {
    const auto eq = word.find('=');
    if (eq == std::string::npos || eq == 0 || eq + 1 == word.size()) fault("expected key=value, got \"" + word + "\"");
    return {word.substr(0, eq), word.substr(eq + 1)};
}

struct LayerKey {
    const char* name;
    double Layer::*field;
    double low, high;
};

const LayerKey kLayerKeys[] = {
    {"freq", &Layer::freq, 0.0, 20000.0},
    {"ratio", &Layer::ratio, 0.01, 64.0},
    {"bend", &Layer::bend, -96.0, 96.0},
    {"sweep", &Layer::sweep, 0.0, 60.0},
    {"start", &Layer::start, 0.0, 60.0},
    {"dur", &Layer::dur, 0.0, 60.0},
    {"attack", &Layer::attack, 0.0, 60.0},
    {"decay", &Layer::decay, 0.0, 60.0},
    {"sustain", &Layer::sustain, 0.0, 1.0},
    {"release", &Layer::release, 0.0, 60.0},
    {"gain", &Layer::gain, 0.0, 10.0},
    {"lowpass", &Layer::lowpass, 0.0, 20000.0},
    {"lowto", &Layer::lowto, 0.0, 20000.0},
    {"highpass", &Layer::highpass, 0.0, 20000.0},
    {"q", &Layer::q, 0.3, 20.0},
    {"vibrato", &Layer::vibrato, 0.0, 50.0},
    {"vibdepth", &Layer::vibdepth, 0.0, 12.0},
    {"tremolo", &Layer::tremolo, 0.0, 100.0},
    {"tremdepth", &Layer::tremdepth, 0.0, 1.0},
    {"duty", &Layer::duty, 0.05, 0.95},
    {"drive", &Layer::drive, 0.0, 20.0},
    {"detune", &Layer::detune, 0.0, 200.0},
    {"spread", &Layer::spread, 0.0, 1.0},
};

Layer ReadLayer(const Line& line, std::size_t index, const Fault& fault) {
    Layer layer;
    layer.seed = static_cast<std::uint32_t>(index + 1);
    for (std::size_t i = 1; i < line.words.size(); ++i) {
        const auto [key, value] = KeyValue(line.words[i], fault);
        if (key == "wave") {
            static const std::pair<const char*, Wave> kWaves[] = {{"sine", Wave::Sine},
                                                                  {"triangle", Wave::Triangle},
                                                                  {"square", Wave::Square},
                                                                  {"saw", Wave::Saw},
                                                                  {"noise", Wave::Noise}};
            bool known = false;
            for (const auto& [text, wave] : kWaves)
                if (value == text) layer.wave = wave, known = true;
            if (!known) fault("unknown wave \"" + value + "\" (sine, triangle, square, saw, noise)");
            continue;
        }
        if (key == "voices") {
            layer.voices = Whole(value, 1, 16, key, fault);
            continue;
        }
        if (key == "seed") {
            layer.seed = static_cast<std::uint32_t>(Whole(value, 1, 1000000, key, fault));
            continue;
        }
        bool known = false;
        for (const LayerKey& k : kLayerKeys) {
            if (key != k.name) continue;
            layer.*k.field = Number(value, k.low, k.high, key, fault);
            known = true;
        }
        if (!known) fault("unknown layer key \"" + key + "\"");
    }
    if (layer.lowto > 0.0 && layer.lowpass == 0.0) fault("lowto needs a lowpass to start from");
    return layer;
}

void Expect(const Line& line, std::size_t count, const Fault& fault) {
    if (line.words.size() != count)
        fault(line.words[0] + " takes " + std::to_string(count - 1) + " value" + (count == 2 ? "" : "s"));
}

std::vector<MelodyNote> ReadNotes(const std::string& text, const Fault& fault) {
    std::vector<MelodyNote> notes;
    std::size_t begin = 0;
    while (begin <= text.size()) {
        auto end = text.find(',', begin);
        if (end == std::string::npos) end = text.size();
        const std::string token = text.substr(begin, end - begin);
        begin = end + 1;
        const auto colon = token.find(':');
        const std::string pitch = token.substr(0, colon);
        MelodyNote note;
        if (colon != std::string::npos) note.steps = Whole(token.substr(colon + 1), 1, 256, "note length", fault);
        if (pitch != "r") {
            try {
                note.midi = RecipeReader::ParseNote(pitch);
            } catch (const std::invalid_argument& e) {
                fault(e.what());
            }
        }
        notes.push_back(note);
        if (end == text.size()) break;
    }
    return notes;
}

Part ReadPart(const Line& line, const TrackRecipe& track, const Fault& fault) {
    if (line.words.size() < 2) fault("play needs a patch name");
    Part part;
    part.patch = line.words[1];
    if (!track.patches.count(part.patch)) fault("no patch \"" + part.patch + "\" above this line");
    for (std::size_t i = 2; i < line.words.size(); ++i) {
        const auto [key, value] = KeyValue(line.words[i], fault);
        if (key == "role") {
            static const std::pair<const char*, Role> kRoles[] = {{"drum", Role::Drum},
                                                                  {"bass", Role::Bass},
                                                                  {"chord", Role::Chord},
                                                                  {"arp", Role::Arp},
                                                                  {"melody", Role::Melody}};
            bool known = false;
            for (const auto& [text, role] : kRoles)
                if (value == text) part.role = role, known = true;
            if (!known) fault("unknown role \"" + value + "\" (drum, bass, chord, arp, melody)");
        } else if (key == "order") {
            if (value == "up")
                part.order = ArpOrder::Up;
            else if (value == "down")
                part.order = ArpOrder::Down;
            else if (value == "updown")
                part.order = ArpOrder::UpDown;
            else
                fault("unknown order \"" + value + "\" (up, down, updown)");
        } else if (key == "pattern") {
            if (value.find_first_not_of("xo58-.") != std::string::npos)
                fault("pattern \"" + value + "\" may hold only x o 5 8 - .");
            part.pattern = value;
        } else if (key == "bars") {
            if (value.find_first_not_of("01") != std::string::npos)
                fault("bars \"" + value + "\" may hold only 0 and 1");
            part.bars = value;
        } else if (key == "notes") {
            part.notes = ReadNotes(value, fault);
        } else if (key == "octave") {
            part.octave = Whole(value, 0, 8, key, fault);
        } else if (key == "span") {
            part.span = Whole(value, 1, 4, key, fault);
        } else if (key == "gain") {
            part.gain = Number(value, 0.0, 10.0, key, fault);
        } else if (key == "pan") {
            part.pan = Number(value, -1.0, 1.0, key, fault);
        } else if (key == "echo") {
            // steps,gain,count
            std::vector<std::string> fields;
            std::istringstream in(value);
            std::string field;
            while (std::getline(in, field, ',')) fields.push_back(field);
            if (fields.size() != 3) fault("echo takes steps,gain,count");
            part.echoSteps = Number(fields[0], 0.25, 64.0, "echo steps", fault);
            part.echoGain = Number(fields[1], 0.0, 0.95, "echo gain", fault);
            part.echoCount = Whole(fields[2], 1, 16, "echo count", fault);
        } else {
            fault("unknown part key \"" + key + "\"");
        }
    }
    if (part.role == Role::Melody && part.notes.empty()) fault("a melody needs notes=");
    return part;
}

}  // namespace

int RecipeReader::ParseNote(const std::string& text) {
    static const int kNatural[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (text.size() < 2 || text[0] < 'A' || text[0] > 'G') throw std::invalid_argument("bad note \"" + text + "\"");
    int pitch = kNatural[text[0] - 'A'];
    std::size_t i = 1;
    if (text[i] == '#')
        ++pitch, ++i;
    else if (text[i] == 'b')
        --pitch, ++i;
    if (i + 1 != text.size() || text[i] < '0' || text[i] > '8')
        throw std::invalid_argument("bad note \"" + text + "\"");
    return pitch + 12 * (text[i] - '0' + 1);
}

Chord RecipeReader::ParseChord(const std::string& symbol) {
    static const int kNatural[] = {9, 11, 0, 2, 4, 5, 7};
    static const std::pair<const char*, std::vector<int>> kQualities[] = {
        {"", {0, 4, 7}},         {"m", {0, 3, 7}},          {"7", {0, 4, 7, 10}},    {"m7", {0, 3, 7, 10}},
        {"maj7", {0, 4, 7, 11}}, {"sus2", {0, 2, 7}},       {"sus4", {0, 5, 7}},     {"dim", {0, 3, 6}},
        {"add9", {0, 4, 7, 14}}, {"m9", {0, 3, 7, 10, 14}}, {"madd9", {0, 3, 7, 14}}};
    if (symbol.empty() || symbol[0] < 'A' || symbol[0] > 'G')
        throw std::invalid_argument("bad chord \"" + symbol + "\"");
    Chord chord;
    chord.root = kNatural[symbol[0] - 'A'];
    std::size_t i = 1;
    if (i < symbol.size() && symbol[i] == '#')
        chord.root += 1, ++i;
    else if (i < symbol.size() && symbol[i] == 'b')
        chord.root += 11, ++i;
    chord.root %= 12;
    const std::string quality = symbol.substr(i);
    for (const auto& [name, intervals] : kQualities)
        if (quality == name) chord.intervals = intervals;
    if (chord.intervals.empty()) throw std::invalid_argument("bad chord \"" + symbol + "\"");
    return chord;
}

SoundRecipe RecipeReader::ReadSound(const std::string& name, const std::string& text, const std::string& file) {
    SoundRecipe sound;
    sound.name = name;
    sound.patch.name = name;
    for (const Line& line : SplitLines(text)) {
        const Fault fault(file, line.number);
        const std::string& word = line.words[0];
        if (word == "length") {
            Expect(line, 2, fault);
            sound.length = Number(line.words[1], 0.01, 60.0, word, fault);
        } else if (word == "peak") {
            Expect(line, 2, fault);
            sound.peakDb = Number(line.words[1], -40.0, -1.0, word, fault);
        } else if (word == "loop") {
            Expect(line, 2, fault);
            sound.loop = true;
            sound.crossfade = Number(line.words[1], 0.0, 10.0, "loop crossfade", fault);
        } else if (word == "layer") {
            sound.patch.layers.push_back(ReadLayer(line, sound.patch.layers.size(), fault));
        } else {
            fault("unknown statement \"" + word + "\" (length, peak, loop, layer)");
        }
    }
    if (sound.patch.layers.empty()) throw std::runtime_error(file + ": no layer");
    if (sound.loop && sound.crossfade > sound.length / 2)
        throw std::runtime_error(file + ": the loop's crossfade is longer than half the sound");
    return sound;
}

TrackRecipe RecipeReader::ReadTrack(const std::string& name, const std::string& text, const std::string& file) {
    TrackRecipe track;
    track.name = name;
    Patch* patch = nullptr;
    for (const Line& line : SplitLines(text)) {
        const Fault fault(file, line.number);
        const std::string& word = line.words[0];
        if (word == "tempo") {
            Expect(line, 2, fault);
            track.tempo = Number(line.words[1], 30.0, 300.0, word, fault);
        } else if (word == "bars") {
            Expect(line, 2, fault);
            track.bars = Whole(line.words[1], 1, 256, word, fault);
        } else if (word == "steps") {
            Expect(line, 2, fault);
            track.steps = Whole(line.words[1], 1, 64, word, fault);
        } else if (word == "peak") {
            Expect(line, 2, fault);
            track.peakDb = Number(line.words[1], -40.0, -1.0, word, fault);
        } else if (word == "chords") {
            if (line.words.size() < 2) fault("chords needs at least one chord");
            for (std::size_t i = 1; i < line.words.size(); ++i) {
                // "Am*2": two bars of A minor.
                std::string symbol = line.words[i];
                int repeat = 1;
                if (const auto star = symbol.find('*'); star != std::string::npos) {
                    repeat = Whole(symbol.substr(star + 1), 1, 64, "chord repeat", fault);
                    symbol.erase(star);
                }
                try {
                    const Chord chord = ParseChord(symbol);
                    for (int r = 0; r < repeat; ++r) track.chords.push_back(chord);
                } catch (const std::invalid_argument& e) {
                    fault(e.what());
                }
            }
        } else if (word == "patch") {
            Expect(line, 2, fault);
            if (track.patches.count(line.words[1])) fault("patch \"" + line.words[1] + "\" is defined twice");
            patch = &track.patches[line.words[1]];
            patch->name = line.words[1];
        } else if (word == "layer") {
            if (!patch) fault("layer before any patch");
            patch->layers.push_back(ReadLayer(line, patch->layers.size(), fault));
        } else if (word == "play") {
            patch = nullptr;
            track.parts.push_back(ReadPart(line, track, fault));
        } else {
            fault("unknown statement \"" + word + "\" (tempo, bars, steps, peak, chords, patch, layer, play)");
        }
    }
    for (const auto& [patchName, p] : track.patches)
        if (p.layers.empty()) throw std::runtime_error(file + ": patch \"" + patchName + "\" has no layer");
    if (track.parts.empty()) throw std::runtime_error(file + ": nothing plays");
    if (track.chords.empty()) track.chords.push_back(ParseChord("C"));
    return track;
}
