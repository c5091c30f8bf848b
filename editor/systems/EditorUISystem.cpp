#include "editor/systems/EditorUISystem.h"

#include <sstream>

#include "editor/systems/EditorControlState.h"
#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/Message.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "port/window/WindowEvent.h"
#include "render/IGraphics.h"
#include "render/ScreenText.h"
#include "scene/SceneManager.h"

namespace {
const D3DXCOLOR kLineColour{1, 0, 0, 1};

void Show(u32 textObject, const std::string& line) {
    GameObject* object = Overlord::FindObject(textObject);
    if (!object) return;
    const ScreenText* text = object->GetComponent<ScreenText>();
    if (text && text->GetText() != line) SetObjectScreenText(object, line);
    SubmitObjectTextForFrame(object);
}
}  // namespace

EditorUISystem::EditorUISystem() : SceneSystem(TypeId<EditorUISystem>::Get()) {
    SetName("EditorUISystem");
    SetActive(false);
}

EditorUISystem::~EditorUISystem() {
    Overlord* overlord = Overlord::Instance();
    for (u32 id : {firstText_, secondText_})
        if (overlord && id != 0 && overlord->GetGameObject(id)) overlord->UnregisterGameObject(id);
}

void EditorUISystem::Init() {
    if (firstText_ != 0) return;
    Engine* engine = Engine::Instance();
    if (const IGraphics* graphics = IGraphics::Find(engine)) {
        clientWidth_ = graphics->GetClientRect().right;
        clientHeight_ = graphics->GetClientRect().bottom;
    }
    firstText_ = DrawDebugText({0, 0, 0}, kLineColour);
    secondText_ = DrawDebugText({0, 0, 0}, kLineColour);
    PlaceTexts();
}

void EditorUISystem::PlaceTexts() {
    const float middle = static_cast<float>(clientHeight_) * 0.5f;
    const std::pair<u32, float> lines[] = {{firstText_, middle - 20.0f}, {secondText_, middle - 35.0f}};
    for (const auto& [id, y] : lines) {
        if (Transform* transform = Overlord::FindComponent<Transform>(id)) {
            transform->SetPosition(0.0f, y, 0.0f);
            transform->Update(0.0f);
        }
    }
}

void EditorUISystem::Activate() {
    UnsubscribeAll();
    Subscribe(kMsgEditorCameraPosition);
    Subscribe(kMsgEditorCameraName);
    Subscribe(kMsgToggleRotateMode);
    Subscribe(kMsgToggleOrthoMove);
    Subscribe(kMsgToggleObjectMoveMode);
    Subscribe(kMsgCopyObject);
    Subscribe(kMsgPasteObject);
    Subscribe(kMsgPasteTransform);
    Subscribe(kMsgCameraSpeed);
    Subscribe(kMsgEditorSettings);
    Subscribe(kMsgClientRect);
}

void EditorUISystem::Deactivate() {
    UnsubscribeAll();
}

void EditorUISystem::HandleMessage(Message* message) {
    if (const D3DXVECTOR3* position = message->Read(kMsgEditorCameraPosition)) {
        cameraPosition_ = *position;
    } else if (const std::string* name = message->Read(kMsgEditorCameraName)) {
        cameraName_ = *name;
    } else if (message->Is(kMsgToggleRotateMode)) {
        rotating_ = !rotating_;
    } else if (message->Is(kMsgToggleOrthoMove)) {
        localBasis_ = !localBasis_;
    } else if (message->Is(kMsgToggleObjectMoveMode)) {
        objectMode_ = !objectMode_;
    } else if (const EditorControlState* settings = message->Read(kMsgEditorSettings)) {
        // The panel's checkboxes change these too, without a toggle message.
        rotating_ = settings->rotateMode;
        localBasis_ = settings->orthoMode;
        objectMode_ = settings->objectMoveMode;
    } else if (message->Is(kMsgCopyObject)) {
        if (currentObject_ != 0) copiedObject_ = currentObject_;
    } else if (message->Is(kMsgPasteObject)) {
        PasteObject();
    } else if (message->Is(kMsgPasteTransform)) {
        PasteTransform();
    } else if (const float* factor = message->Read(kMsgCameraSpeed)) {
        cameraSpeed_ *= *factor;
    } else if (const ClientRect* rect = message->Read(kMsgClientRect)) {
        if (rect->bottom != clientHeight_ || rect->right != clientWidth_) {
            clientWidth_ = rect->right;
            clientHeight_ = rect->bottom;
            PlaceTexts();
        }
    }
}

std::string EditorUISystem::FirstLine() const {
    std::ostringstream line;
    line << cameraName_ << ", Position: [" << cameraPosition_.x << ", " << cameraPosition_.y << ", "
         << cameraPosition_.z << "]";
    if (!objectMode_) line << ", MoveSpeed: " << cameraSpeed_;
    return line.str();
}

std::string EditorUISystem::SecondLine() const {
    if (!objectMode_) return "";
    return std::string(rotating_ ? "Rotating" : "Moving") + " object " +
           (localBasis_ ? "on local basis " : "in absolute world coords");
}

void EditorUISystem::Update(float) {
    Show(firstText_, FirstLine());
    Show(secondText_, SecondLine());
}

u32 EditorUISystem::PasteObject() {
    GameObject* source = Overlord::FindObject(copiedObject_);
    if (!source) return 0;
    GameObject* copy = source->Clone();
    // A copy of a child is a child of the same parent, linked both ways.
    if (source->GetParent() != 0 && Overlord::FindObject(source->GetParent())) copy->SetParent(source->GetParent());
    copy->Init();
    copy->AnnounceComponents();
    if (SceneManager* scene = SceneManager::Instance()) scene->AddObject(copy->GetId(), true);
    return copy->GetId();
}

void EditorUISystem::PasteTransform() {
    if (copiedObject_ == currentObject_) return;
    Transform* from = Overlord::FindComponent<Transform>(copiedObject_);
    Transform* to = Overlord::FindComponent<Transform>(currentObject_);
    if (!from || !to) return;
    to->SetRotation(from->rotation);
    to->scale = from->scale;
    to->Update(0.0f);
}
