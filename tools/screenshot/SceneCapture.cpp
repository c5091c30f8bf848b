#include "tools/screenshot/SceneCapture.h"

#include <string>
#include <vector>

#include "app/Assembly.h"
#include "engine/Engine.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Resolvers.h"
#include "port/gpu/GpuPicture.h"
#include "port/gpu/GpuSwapChain.h"
#include "port/math/D3DXVector.h"
#include "render/IGraphics.h"
#include "scene/DevozizuDave.h"
#include "scene/SceneLoader.h"
#include "scene/SceneManager.h"

namespace {
// Heads the Engine's list, so it runs first in each frame: once the wanted
// frames have been drawn (the back buffer still holds the last one), it
// saves the picture and ends the loop.
struct CaptureResult {
    bool saved = false;
    std::string error = "the frame loop ended before the picture was taken";
};

class CaptureSystem : public ISystem {
public:
    CaptureSystem(const SceneCapture::Options& options, CaptureResult& result)
        : ISystem(NewId()), options_(options), result_(result) {}

    void Update(float) override {
        if (frame_++ == 0) PlaceCamera();
        if (frame_ <= options_.frames) return;
        Save();
        Engine::Get().SetActive(false);
    }

private:
    // The default camera takes the eye and look-at broadcasts (kMsgCameraPosition, kMsgCameraLookAt).
    void PlaceCamera() {
        ::Broadcast(kMsgCameraPosition, GetTypeId(), options_.eye);
        ::Broadcast(kMsgCameraLookAt, GetTypeId(), options_.lookAt);
    }

    void Save() {
        IGraphics* graphics = IGraphics::Find(&Engine::Get());
        GpuSwapChain* swapChain = graphics ? graphics->GetSwapChain() : nullptr;
        if (!swapChain || !swapChain->GetBuffer()) {
            result_.error = "no render device";
            return;
        }
        result_.error.clear();
        result_.saved = GpuPicture::SavePng(*swapChain->GetBuffer(), options_.outputPath, &result_.error);
    }

    SceneCapture::Options options_;
    CaptureResult& result_;
    int frame_ = 0;
};

// The effect files that did not load on a device that exists (without a
// device the picture fails on its own, naming that).
std::vector<std::string> MissingEffects(const IGraphics* graphics) {
    std::vector<std::string> missing;
    if (!graphics) return missing;
    for (const std::string& name : graphics->MissingEffects())
        missing.push_back("the effect file " + DevozizuDave::Get().shader.GetFullPath(name) + " failed to load");
    return missing;
}
}  // namespace

bool SceneCapture::Capture(const Options& options, std::string* error) {
    Assembly assembly;
    if (!assembly.Assemble()) {
        if (error) *error = assembly.FailureText();
        return false;
    }
    CaptureResult result;
    Engine* engine = assembly.GetEngine();
    engine->AddSystem(new CaptureSystem(options, result));
    engine->Init();
    // The picture is taken of a scene: every effect is wanted from the start.
    IGraphics* graphics = IGraphics::Find(engine);
    if (graphics) graphics->FinishStart();
    std::vector<std::string> failures = MissingEffects(graphics);

    // The swap chain starts in full screen, where the window keeps its size:
    // leave it, then ask for the client size.
    if (graphics) SendToSystem(kMsgClearFullScreen, TypeId<GraphicsSystem>::Get(), 0);
    ::Broadcast(kMsgSetWindowSize, 0,
                D3DXVECTOR2(static_cast<float>(options.width), static_cast<float>(options.height)));
    const std::string scenePath = DevozizuDave::Get().scene.GetFullPath(options.sceneName);
    SceneLoader& loader = SceneLoader::Get();
    const u32 failuresBefore = loader.FailureCount();
    if (!SceneManager::Get().LoadScene(scenePath))
        failures.push_back("cannot load " + scenePath + ": " + loader.GetLastError());
    else if (const u32 failed = loader.FailureCount() - failuresBefore)
        failures.push_back(scenePath + ": " + std::to_string(failed) +
                           " of its files failed to load, the last: " + loader.GetLastError());
    // A picture of a scene that did not load whole is not taken: the old one stays.
    if (!failures.empty()) {
        result.error.clear();
        for (const std::string& failure : failures) result.error += (result.error.empty() ? "" : "; ") + failure;
        engine->SetActive(false);
    }
    engine->Update(0.0f);  // the frame loop; it deletes the systems when it ends
    assembly.Disassemble();
    if (error) *error = result.error;
    return result.saved;
}
