#include "tools/screenshot/SceneCapture.h"

#include "app/Assembly.h"
#include "engine/Engine.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Resolvers.h"
#include "port/gpu/GpuPicture.h"
#include "port/gpu/GpuSwapChain.h"
#include "port/math/D3DXVector.h"
#include "render/GraphicsSystem.h"
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
        GraphicsSystem* graphics = Engine::Get().GetSystem<GraphicsSystem>();
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

    // The swap chain starts in full screen, where the window keeps its size:
    // leave it, then ask for the client size.
    if (GraphicsSystem* graphics = engine->GetSystem<GraphicsSystem>())
        SendToSystem(kMsgClearFullScreen, graphics->GetTypeId(), 0);
    ::Broadcast(kMsgSetWindowSize, 0,
                D3DXVECTOR2(static_cast<float>(options.width), static_cast<float>(options.height)));
    const std::string scenePath = DevozizuDave::Get().scene.GetFullPath(options.sceneName);
    if (!SceneManager::Get().LoadScene(scenePath)) {
        result.error = "cannot load " + scenePath + ": " + SceneLoader::Get().GetLastError();
        engine->SetActive(false);
    }
    engine->Update(0.0f);  // the frame loop; it deletes the systems when it ends
    assembly.Disassemble();
    if (error) *error = result.error;
    return result.saved;
}
