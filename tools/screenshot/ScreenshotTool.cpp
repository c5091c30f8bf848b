// screenshot [options] <asset root> <scene> <output.png>: renders a scene of
// the asset tree through the whole program, headless unless SDL_VIDEODRIVER
// says otherwise, and saves the last frame as a PNG:
//   screenshot assets Demo demo.png
// --size WxH (default 1024x768), --frames N (default 8), --eye x,y,z and
// --at x,y,z place the default camera.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "port/os/QuitSignals.h"
#include "tools/screenshot/SceneCapture.h"

namespace {
int Usage() {
    std::fprintf(stderr,
                 "usage: screenshot [--size WxH] [--frames N] [--eye x,y,z] [--at x,y,z] "
                 "<asset root> <scene> <output.png>\n");
    return 2;
}

bool ReadVector(const char* text, D3DXVECTOR3& out) {
    return std::sscanf(text, "%f,%f,%f", &out.x, &out.y, &out.z) == 3;
}
}  // namespace

int main(int argc, char** argv) {
    // As in the program: a quit signal ends the frame loop, or the process
    // when the loop has not started or its frame does not end in time.
    InstallQuitSignalHandlers();
    SceneCapture::Options options;
    std::string root;
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--size" && hasValue) {
            if (std::sscanf(argv[++i], "%dx%d", &options.width, &options.height) != 2) return Usage();
        } else if (arg == "--frames" && hasValue) {
            options.frames = std::atoi(argv[++i]);
        } else if (arg == "--eye" && hasValue) {
            if (!ReadVector(argv[++i], options.eye)) return Usage();
        } else if (arg == "--at" && hasValue) {
            if (!ReadVector(argv[++i], options.lookAt)) return Usage();
        } else if (!arg.empty() && arg[0] == '-') {
            return Usage();
        } else if (positional == 0) {
            root = arg;
            ++positional;
        } else if (positional == 1) {
            options.sceneName = arg;
            ++positional;
        } else if (positional == 2) {
            options.outputPath = std::filesystem::absolute(arg).string();
            ++positional;
        } else {
            return Usage();
        }
    }
    if (positional != 3 || options.width < 1 || options.height < 1 || options.frames < 1) return Usage();
    setenv("SDL_VIDEODRIVER", "offscreen", 0);

    std::error_code ec;
    std::filesystem::current_path(root, ec);
    if (ec) {
        std::fprintf(stderr, "screenshot: cannot enter %s: %s\n", root.c_str(), ec.message().c_str());
        return 1;
    }
    std::string error;
    if (!SceneCapture::Capture(options, &error)) {
        std::fprintf(stderr, "screenshot: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s\n", options.outputPath.c_str());
    return 0;
}
