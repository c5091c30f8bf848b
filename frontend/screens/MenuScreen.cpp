#include "frontend/screens/MenuScreen.h"

#include <set>

#include "controls/Control.h"
#include "controls/DoAlwaysTrigger.h"
#include "controls/GuiSystem.h"
#include "controls/InvertTriggerLogic.h"
#include "controls/LogicalAnd.h"
#include "controls/MessageAction.h"
#include "controls/MousePositionTrigger.h"
#include "controls/MouseTrigger.h"
#include "controls/RenderAction.h"
#include "controls/SetPositionFromMouseAction.h"
#include "engine/GameObject.h"
#include "engine/Logger.h"
#include "engine/Message.h"
#include "engine/MessageHub.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "frontend/controls/ButtonHighlightControl.h"
#include "frontend/controls/ControlGroups.h"
#include "frontend/controls/GameFlow.h"
#include "frontend/controls/MenuToggleControl.h"
#include "platform/AudioSystem.h"
#include "platform/SoundEventData.h"
#include "render/IGraphics.h"
#include "render/frame/RenderResources.h"
#include "render/mesh/MeshBuilder.h"
#include "render/mesh/Model.h"
#include "render/text/FontManager.h"
#include "render/text/ScreenText.h"
#include "scene/ObjectFactory.h"

class PauseMenu;
class StartMenu;

namespace {
constexpr u32 kLeftButton = 0;

// One log row per picture name the texture folder does not have (the
// renderer then draws the quad plain white); screens rebuilt again and again
// name it once.
void ReportMissingPicture(const Material& material) {
    const RenderResources* resources = RenderResources::Instance();
    if (material.diffuse || material.diffuseFileName.empty() || !resources || !resources->GetDevice()) return;
    static std::set<std::string> reported;
    if (reported.insert(material.diffuseFileName).second)
        Log("Screen picture \"%s\" is not in the texture folder; its quad is drawn plain",
            material.diffuseFileName.c_str());
}

Transform* NewTransform() {
    ObjectFactory* factory = ObjectFactory::Instance();
    Transform* transform = factory ? factory->Create<Transform>() : nullptr;
    return transform ? transform : new Transform;
}
}  // namespace

MenuScreen::MenuScreen(u32 typeId, const char* name) : ISystem(typeId) {
    SetName(name);
    SetActive(false);
}

void MenuScreen::HandleMessage(Message* message) {
    if (const ClientRect* rect = message ? message->Read(kMsgClientRect) : nullptr) screenRect_ = *rect;
}

void MenuScreen::Update(float) {
    for (u32 id : objectList_) DrawObjectOnce(id);
}

void MenuScreen::Init() {
    Subscribe(kMsgClientRect);
}

void MenuScreen::Activate() {
    // Init recorded the pair; filing it again keeps the record from growing.
    SubscribeAll();
    Build();
}

void MenuScreen::Deactivate() {
    UnsubscribeAll();
    DestroyMenuObjects();
}

void MenuScreen::DestroyMenuObjects() {
    for (u32 id : controlList_) PostToSystem(kMsgRemoveControl, TypeId<GuiSystem>::Get(), GetTypeId(), id);
    controlList_.clear();
    if (Overlord* overlord = Overlord::Instance())
        for (u32 id : objectList_) overlord->UnregisterGameObject(id);
    objectList_.clear();
}

GameObject* MenuScreen::MakePicture(const std::string& texture, float halfWidth, float halfHeight,
                                    const D3DXCOLOR& colour, float scale, const D3DXVECTOR3* position) {
    return MakePicture(MeshBuilder::Quad(halfWidth, halfHeight, colour), texture, scale, position);
}

GameObject* MenuScreen::MakePicture(Model* model, const std::string& texture, float scale,
                                    const D3DXVECTOR3* position) {
    auto* object = new GameObject;
    model->material.diffuseFileName = texture;
    Material::LoadTextures(model->material);
    ReportMissingPicture(model->material);
    Transform* transform = NewTransform();
    transform->scale = scale;
    transform->isInScreenSpace = true;
    if (position) {
        if (transform->parentId == 0)
            transform->position = transform->worldPosition = *position;
        else
            transform->SetWorldPosition(*position);
    }
    object->AddComponent(model);
    object->AddComponent(transform);
    // The renderer draws screen pictures with their stored matrices.
    transform->Update(0.0f);
    return object;
}

GameObject* MenuScreen::MakePicture(const std::string& texture, float halfWidth, float halfHeight, float x, float y) {
    const D3DXVECTOR3 position(x, y, 0.0f);
    return MakePicture(texture, halfWidth, halfHeight, D3DXCOLOR(0, 0, 0, 1), 1.0f, &position);
}

GameObject* MenuScreen::MakeCursorPicture() {
    return MakePicture(kCursorTexture, 1.0f, 1.0f, D3DXCOLOR(0, 0, 0, 0), kCursorScale, nullptr);
}

Control* MenuScreen::MakeCursorControl(u32 cursorObjectId) {
    auto* control = new Control;
    control->AddActivateTrigger(new DoAlwaysTrigger);
    control->AddActiveAction(new SetPositionFromMouseAction(cursorObjectId));
    control->AddActiveAction(new RenderAction(cursorObjectId, TypeId<Model>::Get(), 0));
    control->AddDeactivateTrigger(new InvertTriggerLogic(new DoAlwaysTrigger));
    return control;
}

ControlAction* MenuScreen::MakeSoundAction(const std::string& sound) {
    SoundEventData event;
    event.name = sound;
    return new MessageAction<SoundEventData>(TypeId<AudioSystem>::Get(), event);
}

ControlAction* MenuScreen::MakeGroupToggle(u32 sender, u32 group) {
    return new MessageAction<u32>(sender, kMsgToggleGroup, group);
}

std::array<u32, 2> MenuScreen::MakeButtonControls(ISystem& owner, GameObject* button, const ButtonRect& rect,
                                                  const std::string& normal, const std::string& hover, u32 group,
                                                  Control* click, std::initializer_list<ControlAction*> actions) {
    ButtonHighlightControl* highlight =
        MakeButtonHighlightControl(rect.left, rect.top, rect.right, rect.bottom, button, normal, hover);
    highlight->SetGroup(group);
    highlight->AddActivateAction(MakeSoundAction(kSelectSound));
    const u32 highlightId = highlight->GetId();
    owner.AddControl(highlight);

    click->SetGroup(group);
    click->AddActivateTrigger(new LogicalAnd(new MousePositionTrigger(rect.left, rect.top, rect.right, rect.bottom),
                                             new MouseTrigger(kLeftButton, MouseTrigger::kModeReleased)));
    for (ControlAction* action : actions) click->AddActivateAction(action);
    const u32 clickId = click->GetId();
    owner.AddControl(click);
    return {highlightId, clickId};
}

GameObject* MenuScreen::AddPicture(const std::string& texture, float halfWidth, float halfHeight, float x, float y) {
    GameObject* object = MakePicture(texture, halfWidth, halfHeight, x, y);
    objectList_.push_back(object->GetId());
    return object;
}

GameObject* MenuScreen::AddButton(const std::string& normal, const std::string& hover, float x, float y,
                                  const ButtonRect& rect, u32 group, Control* click,
                                  std::initializer_list<ControlAction*> actions) {
    GameObject* button = AddPicture(normal, kButtonHalfWidth, kButtonHalfHeight, x, y);
    AddButtonControls(button, rect, normal, hover, group, click, actions);
    return button;
}

std::array<u32, 2> MenuScreen::AddButtonControls(GameObject* button, const ButtonRect& rect, const std::string& normal,
                                                 const std::string& hover, u32 group, Control* click,
                                                 std::initializer_list<ControlAction*> actions) {
    const std::array<u32, 2> ids = MakeButtonControls(*this, button, rect, normal, hover, group, click, actions);
    for (u32 id : ids) controlList_.push_back(id);
    return ids;
}

void MenuScreen::AddBackButtons() {
    const ButtonRect back{-100, 265, 100, 305};
    GameObject* button = AddButton("BackButton", "BackButton2", 0.0f, -270.0f, back, ControlGroup::kBackToStart,
                                   new MenuToggleControl(GameFlow::Find<StartMenu>(), this, ControlGroup::kStartButtons,
                                                         ControlGroup::kBackToStart),
                                   {ConfirmSound()});
    AddButtonControls(button, back, "BackButton", "BackButton2", ControlGroup::kBackToPause,
                      new MenuToggleControl(GameFlow::Find<PauseMenu>(), this, ControlGroup::kPauseButtons,
                                            ControlGroup::kBackToPause),
                      {ConfirmSound(), ToggleGroup(ControlGroup::kPauseKey)});
}

void MenuScreen::AddCursor() {
    GameObject* cursor = MakeCursorPicture();
    objectList_.push_back(cursor->GetId());
    Control* control = MakeCursorControl(cursor->GetId());
    controlList_.push_back(control->GetId());
    SendToSystem(kMsgAddControl, TypeId<GuiSystem>::Get(), GetTypeId(), static_cast<void*>(control));
}

void DrawObjectOnce(u32 objectId) {
    SendToSystem(DrawThisFrame(TypeId<Model>::Get()), TypeId<GraphicsSystem>::Get(), 0, objectId);
}

GameObject* CreateScreenTextObject(const D3DXVECTOR3& position, const std::string& text, const std::string& font,
                                   const D3DXCOLOR& colour, const ClientRect& screen, int pixelSize) {
    const float x = position.x + static_cast<float>((screen.right - screen.left) / 2);
    const float y = position.y + static_cast<float>((screen.bottom - screen.top) / 2);
    FontManager* fonts = FontManager::Instance();
    ScreenText* screenText = fonts ? fonts->CreateText(text, 80, font, pixelSize, false) : nullptr;
    if (!screenText) {
        // Without the font service (tools, tests) the text keeps its words
        // and gets its atlas when it is first drawn.
        screenText = new ScreenText;
        screenText->SetFontName(font);
        screenText->SetFontSize(pixelSize);
        screenText->SetText(text);
    }
    screenText->SetFontColor(colour);
    Transform* transform = NewTransform();
    transform->scale = 1.0f;
    transform->isInScreenSpace = true;
    transform->position.x = transform->worldPosition.x = x;
    transform->position.y = transform->worldPosition.y = y;
    auto* object = new GameObject;
    object->AddComponent(screenText);
    object->AddComponent(transform);
    transform->Update(0.0f);
    return object;
}

std::string MakeSceneFileName(const std::string& name) {
    return name + ".scn";
}
