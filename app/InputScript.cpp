#include "app/InputScript.h"

#include <cstring>
#include <filesystem>
#include <sstream>

#include "port/os/WholeFile.h"

namespace {

// The line's words up to a comment; `kept` is the text they span.
std::vector<std::string> SplitWords(const std::string& line, std::string* kept) {
    std::vector<std::string> words;
    size_t end = 0;
    size_t at = line.find_first_not_of(" \t\r");
    while (at != std::string::npos && line[at] != '#') {
        const size_t stop = line.find_first_of(" \t\r", at);
        words.push_back(line.substr(at, stop == std::string::npos ? std::string::npos : stop - at));
        end = stop == std::string::npos ? line.size() : stop;
        at = line.find_first_not_of(" \t\r", end);
    }
    const size_t begin = line.find_first_not_of(" \t\r");
    *kept = words.empty() ? std::string() : line.substr(begin, end - begin);
    return words;
}

// What a path of that type is, when it is not a regular file (or missing,
// which the read reports); null otherwise.
const char* NotAFileKind(std::filesystem::file_type type) {
    switch (type) {
        case std::filesystem::file_type::directory:
            return "a folder";
        case std::filesystem::file_type::fifo:
            return "a FIFO";
        case std::filesystem::file_type::character:
        case std::filesystem::file_type::block:
            return "a device";
        case std::filesystem::file_type::socket:
            return "a socket";
        default:
            return nullptr;
    }
}

}  // namespace

InputScript InputScript::Parse(const std::string& text) {
    InputScript script;
    std::istringstream lines(text);
    std::string raw;
    for (int number = 1; std::getline(lines, raw); ++number) {
        Step step;
        step.lineNumber = number;
        std::vector<std::string> words = SplitWords(raw, &step.line);
        if (words.empty()) continue;
        step.command = ScriptCommand::Find(words[0]);
        if (!step.command) {
            script.bad_ = {number, step.line, "no command is named " + words[0]};
            break;
        }
        step.args.assign(words.begin() + 1, words.end());
        if (!step.command->accepts(step.args)) {
            script.bad_ = {number, step.line, std::string("expected ") + step.command->usage};
            break;
        }
        script.steps_.push_back(std::move(step));
    }
    return script;
}

bool InputScript::Load(const std::string& path, InputScript* script, std::string* error) {
    constexpr std::size_t kMostBytes = 1u << 20;  // a script is a few hundred lines
    // What is not a regular file is named, not read (a FIFO would block).
    std::error_code failed;
    const std::filesystem::file_type type = std::filesystem::status(path, failed).type();
    if (const char* what = NotAFileKind(type)) {
        *error = std::string("it is ") + what + ", not a script file";
        return false;
    }
    std::string text;
    int number = 0;
    const FileRead read = ReadWholeFile(path, kMostBytes, &text, &number);
    if (read != FileRead::Ok) {
        *error = read == FileRead::TooLarge ? "larger than 1 MiB" : number ? std::strerror(number) : "cannot be read";
        return false;
    }
    *script = Parse(text);
    return true;
}
