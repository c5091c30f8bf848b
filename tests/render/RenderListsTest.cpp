#include <gtest/gtest.h>

#include <functional>

#include "RenderTestSupport.h"
#include "render/camera/Camera.h"
#include "render/camera/GameCamera.h"
#include "render/frame/RenderLists.h"
#include "render/mesh/MeshGeometry.h"
#include "render/mesh/Model.h"
#include "tests/support/LogCapture.h"

class Skybox;
class ScreenText;

namespace {

class RenderListsTest : public RenderFixture {
protected:
    template <class P, class... V>
    bool Deliver(const Kind<P>& kind, const V&... payload) {
        Message m = MakeMessage(kind, nullptr, 0, 0, payload...);
        const bool handled = lists.HandleMessage(m);
        m.FreePayload();
        return handled;
    }
    RenderLists lists;
};

DebugLine Line(float x) {
    DebugLine line;
    line.start = D3DXVECTOR3(x, 0, 0);
    line.end = D3DXVECTOR3(x, 1, 0);
    line.colour = D3DXCOLOR(1, 0.5f, 0.25f, 1);
    return line;
}

}  // namespace

TEST_F(RenderListsTest, LineListHolds2500LinesAFrameAndDropsTheRest) {
    for (int i = 0; i < 2501; ++i) Deliver(kMsgDebugLineA, Line(static_cast<float>(i)));
    EXPECT_EQ(lists.linesA.Count(), 5000u);
    EXPECT_EQ(lists.linesB.Count(), 0u);
    const DebugLineVertex& last = lists.linesA.Vertices()[4999];
    ExpectVecNear(last.position, D3DXVECTOR3(2499, 1, 0));
    ExpectVecNear(last.colour, D3DXVECTOR3(1, 0.5f, 0.25f));
    Deliver(kMsgDebugLineB, Line(7));
    EXPECT_EQ(lists.linesB.Count(), 2u);
    EXPECT_TRUE(lists.HasDebugWork());
    lists.EndDebugFrame();
    EXPECT_EQ(lists.linesA.Count(), 0u);
    EXPECT_EQ(lists.linesB.Count(), 0u);
    EXPECT_FALSE(lists.HasDebugWork());
    Deliver(kMsgDebugLineA, Line(1));
    EXPECT_EQ(lists.linesA.Count(), 2u);
}

TEST_F(RenderListsTest, CameraStackPushesPopsAndSkipsRemovedCameras) {
    CameraStack& stack = lists.cameras;
    EXPECT_EQ(stack.GetActiveId(), 0u);
    stack.Pop();  // empty: nothing
    EXPECT_EQ(stack.ResolveActive(), nullptr);

    auto* base = new Camera;
    overlord->RegisterComponent(base);
    auto* editorCam = new Camera;
    overlord->RegisterComponent(editorCam);
    stack.Push(base->GetId());
    EXPECT_TRUE(Deliver(ComponentAnnounced(TypeId<Camera>::Get()), editorCam->GetId()));
    EXPECT_EQ(stack.GetActiveId(), editorCam->GetId());
    EXPECT_EQ(stack.ResolveActive(), editorCam);
    stack.Pop();
    EXPECT_EQ(stack.GetActiveId(), base->GetId());

    stack.Push(editorCam->GetId());
    stack.Push(987654);  // never registered
    overlord->UnregisterComponent(editorCam);
    EXPECT_EQ(stack.GetActiveId(), 987654u);  // not checked
    EXPECT_EQ(stack.ResolveActive(), base);   // stale ids popped on the way
    EXPECT_EQ(stack.Ids().size(), 1u);

    auto* notACamera = new RecordingComponent;
    overlord->RegisterComponent(notACamera);
    stack.Push(notACamera->GetId());
    EXPECT_EQ(stack.ResolveActive(), base);
}

TEST_F(RenderListsTest, AnnouncementsFillListsAndTheLaterSkyboxWins) {
    GameObject* first = new GameObject();
    GameObject* second = new GameObject();
    auto* skyA = new RecordingComponent;
    auto* skyB = new RecordingComponent;
    first->AddComponent(skyA);
    second->AddComponent(skyB);
    Deliver(ComponentAnnounced(TypeId<Skybox>::Get()), skyA->GetId());
    Deliver(ComponentAnnounced(TypeId<Skybox>::Get()), skyB->GetId());
    EXPECT_EQ(lists.skyboxObject, second->GetId());
    Deliver(ComponentAnnounced(TypeId<Skybox>::Get()), u32{424242});  // unregistered: ignored
    EXPECT_EQ(lists.skyboxObject, second->GetId());

    Deliver(ComponentAnnounced(TypeId<Model>::Get()), u32{11});
    Deliver(DrawThisFrame(TypeId<Model>::Get()), u32{12});
    Deliver(DrawThisFrame(TypeId<ScreenText>::Get()), u32{13});
    Deliver(DrawUnblendedThisFrame(0), u32{14});
    Deliver(kMsgHighlightObject, u32{15});
    Deliver(kMsgSelectedObject, u32{16});
    EXPECT_EQ(lists.models.Size(), 1u);
    EXPECT_EQ(lists.frameModels, std::vector<u32>{12});
    EXPECT_EQ(lists.frameTexts, std::vector<u32>{13});
    EXPECT_EQ(lists.unblendedFrameModels, std::vector<u32>{14});
    EXPECT_EQ(lists.highlights, std::vector<u32>{15});
    EXPECT_EQ(lists.selectedObject, 16u);
    Deliver(kMsgDebugDraw, true);
    EXPECT_TRUE(lists.debugDraw);
}

TEST_F(RenderListsTest, DeviceMessagesAreLeftToTheCaller) {
    EXPECT_FALSE(Deliver(kMsgWindowCreated));
    EXPECT_FALSE(Deliver(kMsgClientRect));
    EXPECT_FALSE(Deliver(kMsgToggleFullScreen));
    EXPECT_FALSE(Deliver(kMsgSetFullScreen));
    EXPECT_FALSE(Deliver(kMsgClearFullScreen));
    EXPECT_TRUE(Deliver(kMsgGraphicsIgnored));
    EXPECT_TRUE(Deliver(Kind<u32>{kMsgTypeRequest, 77}, u32{1}));  // unnamed argument: ignored
}

TEST_F(RenderListsTest, ClearEmptiesSceneListsAndForgetsChaseObjectsButNotTheOverlay) {
    GameObject* chaser = new GameObject();
    auto* marker = new GameCamera;
    marker->SetTargetOffset(6);
    chaser->AddComponent(marker);
    Deliver(kMsgChaseCamera, chaser->GetId());
    Deliver(kMsgChaseTarget, u32{21});
    Deliver(kMsgOverlayObject, u32{22});
    EXPECT_EQ(lists.chase.ChaseCameraObject(), chaser->GetId());
    EXPECT_EQ(lists.chase.TargetOffset(), 6);
    EXPECT_EQ(lists.chase.ChaseTarget(), 21u);
    EXPECT_EQ(lists.chase.OverlayObject(), 22u);

    Deliver(ComponentAnnounced(TypeId<Model>::Get()), u32{31});
    Deliver(ComponentAnnounced(TypeId<ScreenText>::Get()), u32{32});
    Deliver(DrawThisFrame(TypeId<Model>::Get()), u32{33});
    Deliver(kMsgDebugMarker, DebugMarkerRecord{});
    Deliver(kMsgDebugSphere, DebugSphereRecord{});
    Deliver(kMsgDebugLineA, Line(0));
    lists.cameras.Push(41);
    lists.globalLighting = 42;
    lists.Clear();
    EXPECT_EQ(lists.models.Size(), 0u);
    EXPECT_TRUE(lists.frameModels.empty());
    EXPECT_TRUE(lists.markers.empty());
    EXPECT_TRUE(lists.spheres.empty());
    EXPECT_EQ(lists.chase.ChaseCameraObject(), 0u);
    EXPECT_EQ(lists.chase.ChaseTarget(), 0u);
    // Kept: the pause menu's overlay (made once for the run), text list,
    // camera stack, lines, global lighting.
    EXPECT_EQ(lists.chase.OverlayObject(), 22u);
    EXPECT_EQ(lists.texts.Size(), 1u);
    EXPECT_EQ(lists.cameras.GetActiveId(), 41u);
    EXPECT_EQ(lists.linesA.Count(), 2u);
    EXPECT_EQ(lists.globalLighting, 42u);
}

// Every use of a mesh is drawn, so 1,000 objects of one sphere of 1,024 x
// 1,024 took 103 s a frame: the uses past the scene's budget are not listed,
// with one row naming the first refused object. A use that goes gives its
// share back; a cleared scene starts afresh. (Point lights are all listed:
// the light pass bounds what a frame of them costs.)
TEST_F(RenderListsTest, UsesPastTheDrawBudgetsAreNotListedWithOneRowNamingTheFirst) {
    const u64 sphere = MeshGeometry::SphereVertexCount(1024, 1024);
    struct Case {
        const char* what;
        std::function<IComponent*()> make;
        const ComponentList& list;
        std::size_t fits;
    } cases[] = {
        {"uses of one sphere",
         [&] {
             auto* model = new Model();
             model->vertexCount = static_cast<u32>(sphere);
             return model;
         },
         lists.models, static_cast<std::size_t>(RenderLists::kMaxDrawnVertices / sphere)},
    };
    for (const Case& c : cases) {
        LogCapture log;
        std::vector<IComponent*> uses;
        for (int i = 0; i < 1000; ++i) {
            IComponent* use = c.make();
            (new GameObject())->AddComponent(use);
            uses.push_back(use);
            Deliver(ComponentAnnounced(use->GetTypeId()), use->GetId());
        }
        EXPECT_EQ(c.list.Size(), c.fits) << c.what;
        uses.front()->Shutdown();
        Deliver(ComponentAnnounced(uses.back()->GetTypeId()), uses.back()->GetId());
        EXPECT_EQ(c.list.Size(), c.fits + 1) << c.what << ": the share given back";
        lists.Clear();
        for (std::size_t i = 0; i < c.fits; ++i) Deliver(ComponentAnnounced(uses[i]->GetTypeId()), uses[i]->GetId());
        EXPECT_EQ(c.list.Size(), c.fits) << c.what << ": after a clear";
        const std::vector<std::string> rows = log.Messages();
        EXPECT_EQ(LogCapture::CountContaining(rows, "would take the scene past"), 1u) << c.what;
        EXPECT_EQ(LogCapture::CountContaining(rows, "on object " + std::to_string(uses[c.fits]->GetOwner()) + " "), 1u)
            << c.what;
        lists.Clear();
    }
}
