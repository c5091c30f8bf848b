#include "editor/menus/EditorUISystem.h"

#include <algorithm>
#include <sstream>

#include "editor/menus/EditorMenuSystem.h"
#include "editor/menus/WindowPointer.h"
#include "editor/mode/EditorControlState.h"
#include "editor/mode/EditorNotice.h"
#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/Message.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "port/window/WindowEvent.h"
#include "render/IGraphics.h"
#include "render/camera/Camera.h"
#include "render/text/FontAtlas.h"
#include "render/text/FontGlyph.h"
#include "render/text/ScreenText.h"
#include "scene/SceneManager.h"

namespace {
const D3DXCOLOR kLineColour{1, 0, 0, 1};
constexpr float kRowSpacing = 15.0f;  // pixels between rows
constexpr int kRowMargin = 8;         // pixels kept clear beside each column of bars
constexpr float kMinRowWidth = 100.0f;

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
    for (u32 id : rows_)
        if (overlord && id != 0 && overlord->GetGameObject(id)) overlord->UnregisterGameObject(id);
}

void EditorUISystem::Init() {
    if (rows_[0] != 0) return;
    Engine* engine = Engine::Instance();
    if (const IGraphics* graphics = IGraphics::Find(engine)) {
        clientWidth_ = graphics->GetClientRect().right;
        clientHeight_ = graphics->GetClientRect().bottom;
    }
    for (u32& row : rows_) row = DrawDebugText({0, 0, 0}, kLineColour);
    PlaceTexts();
}

float EditorUISystem::RowLeft() const {
    // Past the left column; without a known width, at the left edge.
    return clientWidth_ > 0 ? static_cast<float>(EditorMenuSystem::kLeftColumnWidth + kRowMargin) : 0.0f;
}

float EditorUISystem::RowWidth() const {
    if (clientWidth_ <= 0) return 0.0f;
    return std::max(0.0f,
                    static_cast<float>(clientWidth_ - EditorMenuSystem::kRightColumnWidth - kRowMargin) - RowLeft());
}

void EditorUISystem::PlaceTexts() {
    // Screen space: pixels from the window's centre, y up. The top row 20
    // pixels below the top edge, each next one 15 lower.
    const float top = static_cast<float>(clientHeight_) * 0.5f - 20.0f;
    const float left = RowLeft() - 0.5f * static_cast<float>(clientWidth_);
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (Transform* transform = Overlord::FindComponent<Transform>(rows_[i])) {
            transform->SetPosition(left, top - kRowSpacing * static_cast<float>(i), 0.0f);
            transform->Update(0.0f);
        }
    }
}

float EditorUISystem::TextWidth(const std::string& text) const {
    const ScreenText* screenText = Overlord::FindComponent<ScreenText>(rows_[0]);
    const FontAtlas* atlas = screenText ? screenText->GetAtlas() : nullptr;
    float width = 0.0f;
    for (char c : text)
        if (const FontGlyph* glyph = atlas ? atlas->Find(c) : nullptr) width += glyph->advance;
    return width;
}

std::vector<std::string> EditorUISystem::Wrap(const std::string& line) const {
    // A gap too narrow to hold a few words is not wrapped to (a tiny window).
    const float room = RowWidth() >= kMinRowWidth ? RowWidth() : 0.0f;
    auto fits = [&](const std::string& piece) {
        return piece.size() <= ScreenText::kMaxCharacters && (room <= 0.0f || TextWidth(piece) <= room);
    };
    std::vector<std::string> pieces;
    std::string rest = line;
    while (!fits(rest)) {
        // The longest head that fits, cut after its last ", " or "; ", else
        // after its last blank, else where it is full (a row may end in a
        // blank). Continuations are indented by two blanks, never cut at.
        size_t length = 1;
        while (length < rest.size() && fits(rest.substr(0, length + 1))) ++length;
        size_t cut = length;
        for (const std::string mark : {", ", "; ", " "}) {
            if (length < mark.size()) continue;
            const size_t at = rest.rfind(mark, length - mark.size());
            if (at != std::string::npos && at > 2) {
                cut = at + mark.size();
                break;
            }
        }
        pieces.push_back(rest.substr(0, cut));
        rest = "  " + rest.substr(cut);
    }
    pieces.push_back(rest);
    return pieces;
}

void EditorUISystem::Activate() {
    UnsubscribeAll();
    Subscribe(kMsgEditorCameraPosition);
    Subscribe(kMsgEditorCameraName);
    Subscribe(kMsgToggleRotateMode);
    Subscribe(kMsgToggleObjectMoveMode);
    Subscribe(kMsgCopyObject);
    Subscribe(kMsgPasteObject);
    Subscribe(kMsgPasteTransform);
    Subscribe(kMsgCameraSpeed);
    Subscribe(kMsgEditorSettings);
    Subscribe(kMsgClientRect);
    Subscribe(kMsgEditorNotice);
    Subscribe(kMsgPickedObject);
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
    } else if (message->Is(kMsgToggleObjectMoveMode)) {
        objectMode_ = !objectMode_;
    } else if (const EditorControlState* settings = message->Read(kMsgEditorSettings)) {
        // The panel's checkboxes change these too, without a toggle message.
        rotating_ = settings->rotateMode;
        objectMode_ = settings->objectMoveMode;
    } else if (message->Is(kMsgCopyObject)) {
        if (currentObject_ != 0) copiedObject_ = currentObject_;
    } else if (message->Is(kMsgPasteObject)) {
        PasteObject();
    } else if (message->Is(kMsgPasteTransform)) {
        PasteTransform();
    } else if (const float* factor = message->Read(kMsgCameraSpeed)) {
        // As the cameras themselves keep their speed.
        cameraSpeed_ = Camera::ScaledPanSpeed(cameraSpeed_, *factor);
    } else if (const std::string* notice = message->Read(kMsgEditorNotice)) {
        notice_ = *notice;
        noticeAge_ = 0.0f;
    } else if (const u32* pointed = message->Read(kMsgPickedObject)) {
        pointedObject_ = *pointed;
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
    // The keys step and turn along the world axes whenever they move the
    // object (M switches both); "Orthogonal Movement" (O) changes no step.
    return std::string(rotating_ ? "Rotating" : "Moving") + " object in absolute world coords";
}

std::string EditorUISystem::NoticeLine() const {
    return noticeAge_ < kNoticeSeconds ? notice_ : "";
}

std::string EditorUISystem::PointerLine() const {
    if (pointedObject_ == 0 || pointedObject_ == currentObject_ || !Overlord::FindObject(pointedObject_)) return "";
    // Over a panel a click is the panel's.
    if (PointerOnPanel()) return "";
    return "A click takes " + ObjectLabel(pointedObject_);
}

std::vector<std::string> EditorUISystem::Rows() const {
    std::vector<std::string> rows;
    for (const std::string& line : {FirstLine(), SecondLine(), NoticeLine(), PointerLine()}) {
        if (line.empty()) continue;
        for (std::string& piece : Wrap(line)) rows.push_back(std::move(piece));
    }
    return rows;
}

void EditorUISystem::Update(float dt) {
    // A frame held up by a modal box or a load counts as one: a notice posted
    // from it is read afterwards.
    noticeAge_ += std::min(dt, kLongestNoticeFrame);
    const std::vector<std::string> rows = Rows();
    // Rows past the last text object are left out (the pointer line first).
    for (size_t i = 0; i < rows_.size(); ++i) Show(rows_[i], i < rows.size() ? rows[i] : std::string());
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
