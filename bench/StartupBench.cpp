// The start's first picture and a level's first frame of the real program,
// against a bare program that opens a window with its GL device and swaps
// once, measured in the same run (one of each per iteration, interleaved).
// The program runs headless (offscreen, no shader cache) on a copy of the
// asset tree with a script: Play on the start screen, then 40 frames of
// "Tutorial". Its first picture is the end of its first frame: the moment its
// log file appeared (the log opens early in the start-up) plus the time its
// first "FRAMETIME" row gives (ms since the log opened). Counters, in ms
// (medians over the iterations):
//   bare_first_picture_ms   fork to the bare program's first swap;
//   first_picture_ms        fork and exec to the program's first picture;
//   level_first_frame_ms    the first frame drawn after the level loaded;
//   level_second_frame_ms   the frame after it;
//   level_frame_ms          the median of the level's frames 8 to 40;
// and the ratios first_picture / bare, level_first_frame / level_frame and
// level_second_frame / level_frame.
// DD_STARTUP_GAME and DD_STARTUP_ASSETS run another build of the program and
// its asset tree instead. DD_STARTUP_COMPARE="name=program:assets;..." runs
// earlier builds too, one run of each per iteration after the bare program,
// in an order that turns each iteration; each adds the same counters under
// "<name>_" and first_picture_over_<name>, this build's first picture over
// that build's (a median of the iterations' ratios). DD_STARTUP_ITERATIONS
// sets the iterations (5).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "port/gpu/GpuDevice.h"
#include "port/gpu/GpuSwapChain.h"
#include "port/window/PortWindow.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Headless() {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
    setenv("ALSOFT_DRIVERS", "null", 1);
}

// Fork to the bare program's first swap at 1024 x 768; -1 when it failed.
double BareFirstPicture() {
    int fds[2];
    if (pipe(fds) != 0) return -1;
    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        Headless();
        std::string error;
        std::unique_ptr<PortWindow> window = PortWindow::Create("bare", 1024, 768, &error);
        std::shared_ptr<GpuDevice> device;
        std::unique_ptr<GpuSwapChain> swapChain;
        char done = 0;
        if (window && GpuCreateDeviceAndSwapChain(window->NativeWindow(), 1024, 768, &device, &swapChain, &error)) {
            swapChain->Present();
            done = 1;
        }
        if (write(fds[1], &done, 1) != 1) _exit(2);
        _exit(done ? 0 : 1);
    }
    close(fds[1]);
    char done = 0;
    const bool read = ::read(fds[0], &done, 1) == 1;
    const double ms = MsSince(start);
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return read && done ? ms : -1;
}

struct GameRun {
    double firstPicture = -1;
    double levelFirstFrame = -1;
    double levelSecondFrame = -1;
    double levelFrame = -1;
};

// The FRAMETIME of each frame, the log time (ms) of frame 0's row and the
// frame of the script's click, from the log.
bool ReadLog(const std::string& path, std::map<unsigned long, double>* frames, double* firstRowMs,
             unsigned long* click) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    std::string line;
    *click = 0;
    while (std::getline(text, line)) {
        std::vector<std::string> fields;
        std::stringstream row(line);
        for (std::string field; std::getline(row, field, '\t');) fields.push_back(field);
        if (fields.size() < 6 || fields[0].empty() || !std::isdigit(static_cast<unsigned char>(fields[0][0]))) continue;
        const unsigned long frame = std::stoul(fields[0]);
        if (fields[5].rfind("FRAMETIME: ", 0) == 0) {
            if (frames->empty()) *firstRowMs = std::atof(fields[1].c_str());
            (*frames)[frame] = std::atof(fields[5].c_str() + 11);
        }
        if (fields[5].rfind("SCRIPT: click", 0) == 0) *click = frame;
    }
    return *click != 0;
}

// One build of the program with its own copy of an asset tree.
struct Build {
    std::string name;  // "" for this build
    std::string program;
    std::string root;
    std::vector<double> picture, levelFirst, levelSecond, level;
};

GameRun RunGame(const std::string& root, const std::string& program) {
    GameRun run;
    const std::string script = root + "/startup.script", log = root + "/log/Application.log";
    fs::remove_all(root + "/log");
    // Play: the start screen's first button (see PlaythroughGLTest).
    std::ofstream(script) << "until active StartMenu 600\nwait 2\nclick 512 349\n"
                             "until inactive StartMenu 5\nwait 40\nquit\n";
    double logOpened = -1;
    const Clock::time_point start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        Headless();
        setenv("DD_INPUT_SCRIPT", script.c_str(), 1);
        setenv("DD_FIXED_FRAME_TIME", "0.0166667", 1);
        if (chdir(root.c_str()) != 0) _exit(3);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(4);
    }
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (logOpened < 0 && fs::exists(log)) logOpened = MsSince(start);
        std::this_thread::sleep_for(std::chrono::microseconds(logOpened < 0 ? 200 : 20000));
    }
    std::map<unsigned long, double> frames;
    unsigned long click = 0;
    double firstRowMs = 0;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || logOpened < 0 || !ReadLog(log, &frames, &firstRowMs, &click))
        return GameRun{};
    run.firstPicture = logOpened + firstRowMs;
    // The click's release loads the level in the next frame; the one after draws it first.
    const unsigned long first = click + 2;
    std::vector<double> level;
    for (unsigned long f = first + 8; f <= first + 38; ++f)
        if (frames.count(f)) level.push_back(frames[f]);
    if (!frames.count(first) || !frames.count(first + 1) || level.empty()) return GameRun{};
    run.levelFirstFrame = frames[first];
    run.levelSecondFrame = frames[first + 1];
    run.levelFrame = Median(level);
    return run;
}

// This build (or DD_STARTUP_GAME's), then each of DD_STARTUP_COMPARE's.
std::vector<Build> Builds(const std::string& rootPrefix) {
    const char* game = std::getenv("DD_STARTUP_GAME");
    const char* assets = std::getenv("DD_STARTUP_ASSETS");
    std::vector<Build> builds = {
        {"", game ? game : DD_GAME_EXECUTABLE, assets ? assets : DD_ASSET_ROOT, {}, {}, {}, {}}};
    const char* compare = std::getenv("DD_STARTUP_COMPARE");
    std::stringstream list(compare ? compare : "");
    for (std::string entry; std::getline(list, entry, ';');) {
        const size_t equals = entry.find('='), colon = entry.find(':', equals);
        if (equals == std::string::npos || colon == std::string::npos) continue;
        builds.push_back({entry.substr(0, equals),
                          entry.substr(equals + 1, colon - equals - 1),
                          entry.substr(colon + 1),
                          {},
                          {},
                          {},
                          {}});
    }
    for (size_t i = 0; i < builds.size(); ++i) {
        const std::string copy = rootPrefix + "_" + std::to_string(i);
        fs::remove_all(copy);
        fs::copy(builds[i].root, copy, fs::copy_options::recursive);
        builds[i].root = copy;
    }
    return builds;
}

std::vector<double> Ratios(const std::vector<double>& over, const std::vector<double>& under) {
    std::vector<double> ratios;
    for (size_t i = 0; i < over.size() && i < under.size(); ++i) ratios.push_back(over[i] / under[i]);
    return ratios;
}

void BM_FirstPictureAndLevelStart(benchmark::State& state) {
    const std::string prefix = (fs::temp_directory_path() / ("dd_startup_" + std::to_string(getpid()))).string();
    std::vector<Build> builds = Builds(prefix);
    std::vector<double> bare;
    size_t turn = 0;
    for (auto _ : state) {
        const double b = BareFirstPicture();
        bool failed = b < 0;
        double ours = 0;
        for (size_t k = 0; k < builds.size() && !failed; ++k) {
            Build& build = builds[(turn + k) % builds.size()];
            const GameRun game = RunGame(build.root, build.program);
            failed = game.firstPicture < 0 || game.levelFirstFrame < 0;
            build.picture.push_back(game.firstPicture);
            build.levelFirst.push_back(game.levelFirstFrame);
            build.levelSecond.push_back(game.levelSecondFrame);
            build.level.push_back(game.levelFrame);
            if (build.name.empty()) ours = game.firstPicture;
        }
        if (failed) {
            state.SkipWithError("a run failed");
            break;
        }
        ++turn;
        bare.push_back(b);
        state.SetIterationTime(ours / 1000.0);
    }
    for (const Build& build : builds) fs::remove_all(build.root);
    state.counters["bare_first_picture_ms"] = Median(bare);
    for (const Build& build : builds) {
        const std::string prefix = build.name.empty() ? "" : build.name + "_";
        state.counters[prefix + "first_picture_ms"] = Median(build.picture);
        state.counters[prefix + "level_first_frame_ms"] = Median(build.levelFirst);
        state.counters[prefix + "level_frame_ms"] = Median(build.level);
        state.counters[prefix + "first_picture_over_bare"] = Median(Ratios(build.picture, bare));
        state.counters[prefix + "level_first_over_normal"] = Median(Ratios(build.levelFirst, build.level));
        state.counters[prefix + "level_second_frame_ms"] = Median(build.levelSecond);
        state.counters[prefix + "level_second_over_normal"] = Median(Ratios(build.levelSecond, build.level));
        if (!build.name.empty())
            state.counters["first_picture_over_" + build.name] = Median(Ratios(builds[0].picture, build.picture));
    }
}

int Iterations() {
    const char* text = std::getenv("DD_STARTUP_ITERATIONS");
    const int iterations = text ? std::atoi(text) : 0;
    return iterations > 0 ? iterations : 5;
}

}  // namespace

BENCHMARK(BM_FirstPictureAndLevelStart)->Iterations(Iterations())->UseManualTime()->Unit(benchmark::kMillisecond);
