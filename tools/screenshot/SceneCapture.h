// Renders a scene of an asset tree through the whole program in-process: the
// start-up assembly, the Engine's Init (window, device, effects), the scene
// loaded, the default camera placed, then the real frame loop for a number
// of frames; the back buffer of the last frame is saved as a PNG and the run
// shuts down as the program does. Used by the screenshot tool and its GL
// test; main thread only, one capture at a time.
#pragma once
#include <string>

#include "port/math/D3DX.h"

class SceneCapture {
public:
    struct Options {
        std::string sceneName;   // a file of the "scene" folder, without extension
        std::string outputPath;  // the PNG, absolute or relative to the asset root
        int width = 1024;        // client size; the window starts at 1024 x 768
        int height = 768;
        int frames = 8;                   // frames rendered before the picture is taken
        D3DXVECTOR3 eye{1, 1.2f, -9.5f};  // the default camera's eye and look-at point
        D3DXVECTOR3 lookAt{0.5f, 1.2f, 0};
    };

    // Runs in the current working directory, which must be the asset root.
    // False with the reason in `error` (start-up file, an effect, the scene
    // or any of its archetypes, device or picture); the picture is taken
    // only when everything loaded. The run is shut down cleanly either way.
    static bool Capture(const Options& options, std::string* error);
};
