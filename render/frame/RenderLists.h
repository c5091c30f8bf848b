// What the GraphicsSystem's messages fill: the persistent render lists of
// announced components, the per-frame lists, the debug records and line
// lists, the selection, sky box and global lighting, the camera stack and the
// chase view. The GraphicsSystem owns one, passes its messages here first,
// and its passes read and empty the lists. Main thread only.
#pragma once
#include <vector>

#include "core/Types.h"
#include "engine/ComponentList.h"
#include "engine/Message.h"
#include "engine/SceneBudget.h"
#include "render/camera/CameraStack.h"
#include "render/camera/ChaseView.h"
#include "render/debug/DebugLineList.h"
#include "render/debug/DebugRecords.h"

class IComponent;

class RenderLists {
public:
    // What one scene may ask to draw each frame: the vertices of every Model
    // listed (a mesh shared by many objects counts for each; one sphere of
    // 1,024 x 1,024 fits). An announcement past it is not listed, so its
    // object shows nothing; the first one refused until the scene is cleared
    // gets a row naming it. (Point lights are bounded by what a frame of
    // them costs, in the LightPass.)
    static constexpr u64 kMaxDrawnVertices = 4'000'000;
    static inline SceneBudget drawnVertices{kMaxDrawnVertices};

    // Starts the budget afresh.
    RenderLists();

    // Handles the messages of the list, debug, selection and camera kinds and
    // returns true; false for every other message (the device's own: window,
    // resize, full screen), which the caller handles. Payloads are copied.
    bool HandleMessage(const Message& message);

    // The scene was cleared: empties the model, point-light, emitter and
    // per-frame lists and the debug records, starts the budget afresh, and
    // forgets the chase camera and target. Keeps the text list, the camera stack, the sky box, the global
    // lighting, the line lists and the pause menu's overlay object.
    void Clear();
    // Whether the debug pass has anything to draw this frame.
    bool HasDebugWork() const;
    // End of the debug pass: empties the spheres, the unblended frame models
    // and the highlights, and resets both line lists.
    void EndDebugFrame();

    ComponentList models;                    // Model component ids (ComponentAnnounced)
    ComponentList pointLights;               // PointLight component ids
    ComponentList texts;                     // ScreenText component ids
    std::vector<u32> emitters;               // ParticleEmmiter component ids
    std::vector<u32> frameModels;            // object ids drawn this frame (DrawThisFrame(Model))
    std::vector<u32> frameTexts;             // object or ScreenText ids (DrawThisFrame(ScreenText))
    std::vector<u32> unblendedFrameModels;   // object ids (DrawUnblendedThisFrame)
    std::vector<u32> highlights;             // object ids (kMsgHighlightObject)
    std::vector<DebugSphereRecord> spheres;  // kMsgDebugSphere
    std::vector<DebugMarkerRecord> markers;  // kMsgDebugMarker
    DebugLineList linesA;                    // kMsgDebugLineA: depth-tested
    DebugLineList linesB;                    // kMsgDebugLineB: drawn over everything
    u32 skyboxObject = 0;                    // owner of the last announced Skybox
    u32 globalLighting = 0;                  // last announced GlobalLighting component
    u32 selectedObject = 0;                  // kMsgSelectedObject
    bool debugDraw = false;                  // kMsgDebugDraw
    bool lightBoundLogged = false;           // a frame of this scene had lights past the LightPass's bounds
    CameraStack cameras;
    ChaseView chase;

private:
    void HandleRequest(const Message& message);
    void Announce(u32 type, u32 componentId);
    // Whether `component` (of class `name`) may be listed: its `share` of
    // `amount` taken from `budget` (counted in `unit`s), else false and the
    // scene's first refusal logged.
    static bool Admit(const IComponent& component, const char* name, SceneBudget::Share& share, SceneBudget& budget,
                      u64 amount, const char* unit);
};
