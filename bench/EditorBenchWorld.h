// The start-up assembly over a temporary asset root (with a scene/ folder),
// its Editor initialised and, when asked, in edit mode: what the editor
// benchmarks run on. One per benchmark run; object ids start past every id
// drawn by earlier runs, whose type ids stay. Main thread only.
#pragma once

#include <string>

#include "app/Assembly.h"
#include "core/Types.h"
#include "tests/app/TempAssetRoot.h"

class Editor;

class EditorBenchWorld {
public:
    // Where object i of n stands: rows of `rowLength` along x from `x0`, the
    // rows one unit apart along z from `z0`.
    struct Grid {
        int rowLength;
        float x0;
        float z0;
    };

    explicit EditorBenchWorld(bool editMode);
    ~EditorBenchWorld();

    // Delivers queued messages and deletes what was unregistered.
    void Tidy();
    // n scene objects on the grid, each with a Transform, a model of half-size
    // 0.5 and its proxy; the first one's id.
    u32 AddModelObjects(int n, Grid grid);
    // n scene objects on the grid, each with only a Transform: each proxy is
    // a marker sphere riding on its object; the first one's id.
    u32 AddMarkerObjects(int n, Grid grid);
    // A scene file scene/<name>.scn of n objects on the grid, each with a
    // Transform and a PointLight of range 4; its path.
    std::string SceneFile(const std::string& name, int n, Grid grid);

    TempAssetRoot root{TempAssetRoot::Contents::StartupFileOnly};
    Assembly assembly;
    Editor* editor = nullptr;

private:
    u32 AddObjects(int n, Grid grid, bool withModel);

    static u32 highWater_;
};
