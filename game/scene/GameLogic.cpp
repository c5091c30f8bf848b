#include "game/scene/GameLogic.h"

#include <cmath>
#include <cstdint>

#include "controls/Control.h"
#include "controls/GuiSystem.h"
#include "controls/InvertTriggerLogic.h"
#include "controls/KeyTrigger.h"
#include "controls/MessageAction.h"
#include "controls/MouseTrigger.h"
#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/Logger.h"
#include "engine/Message.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "game/actors/Player.h"
#include "game/combat/Health.h"
#include "game/level/SpawnBudget.h"
#include "game/physics/Physics.h"
#include "game/scene/LevelResultsReceiver.h"
#include "game/scene/MouseFireControl.h"
#include "game/scene/ShipFireAction.h"
#include "game/track/PlayerPath.h"
#include "game/track/SplineCrawler.h"
#include "port/window/Cursor.h"
#include "render/IGraphics.h"
#include "render/camera/Camera.h"
#include "scene/DevozizuDave.h"
#include "scene/SceneManager.h"

// Classes of combat, level scripting, the HUD and the results screen: only
// their type ids are needed here.
class FinMenu;
class GameCamera;
class HackComponent;
class HUDComponent;
class Lifetime;
class Projectile;
class ProjectilePatternManager;
class Weapon;
class WeaponSpline;

namespace {

constexpr u32 kKeyD = 0x44;
constexpr u32 kKeyA = 0x41;
constexpr u32 kKeyW = 0x57;
constexpr u32 kKeyShift = 0x10;
constexpr u32 kKeySpace = 0x20;
constexpr u32 kLeftButton = 0;
constexpr u32 kRightButton = 1;

// A key control: active while the key is held, inactive once it is up.
Control* KeyControl(u32 virtualKey) {
    auto* control = new Control("keyboardControl", Control::kCategoryNormal);
    control->AddActivateTrigger(new KeyTrigger(virtualKey, KeyTrigger::kModeHeld));
    control->AddDeactivateTrigger(new KeyTrigger(virtualKey, KeyTrigger::kModeUp));
    return control;
}

// An action telling the ship's subscribers one of the player's commands.
ControlAction* Say(const Kind<u32>& kind, u32 sender) {
    return new MessageAction<u32>(sender, kind, 0u);
}

// A statistic as the results screen shows it: truncated toward zero, NaN as
// 0, out-of-range values held at the ends of the integer range.
i32 Truncated(float value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483520.0f) return INT32_MAX;
    if (value <= -2147483648.0f) return INT32_MIN;
    return static_cast<i32>(value);
}

// The crawler that carries the ship: the one it was announced, else the one
// on its parent object.
SplineCrawler* ShipCrawler(const Player& player) {
    if (SplineCrawler* crawler = player.GetCrawler()) return crawler;
    Overlord* overlord = Overlord::Instance();
    const GameObject* ship = overlord ? overlord->GetGameObject(player.GetOwner()) : nullptr;
    return ship ? Overlord::FindComponent<SplineCrawler>(ship->GetParent()) : nullptr;
}

// Whether the crawler has reached the end of an open track: no point lies
// ahead of it any more.
bool AtEndOfOpenTrack(const SplineCrawler& crawler) {
    const PlayerPath* path = Overlord::FindComponent<PlayerPath>(crawler.splineGameObjectID);
    if (!path || path->spline.closed) return false;
    const float total = path->spline.GetTotalLength();
    return total > 0.0f && crawler.distance + crawler.lookAheadDistance >= total;
}

}  // namespace

GameLogic::GameLogic() : SceneSystem(TypeId<GameLogic>::Get()) {
    SetName("GameLogic");
    listTypeIds_[kHealthList] = TypeId<Health>::Get();
    listTypeIds_[kWeaponList] = TypeId<Weapon>::Get();
    listTypeIds_[kGameCameraList] = TypeId<GameCamera>::Get();
    listTypeIds_[kWeaponSplineList] = TypeId<WeaponSpline>::Get();
    listTypeIds_[kProjectileList] = TypeId<Projectile>::Get();
    listTypeIds_[kPatternManagerList] = TypeId<ProjectilePatternManager>::Get();
    listTypeIds_[kLifetimeList] = TypeId<Lifetime>::Get();
    listTypeIds_[kHackList] = TypeId<HackComponent>::Get();
    listTypeIds_[kHudList] = TypeId<HUDComponent>::Get();
    for (ListIndex index :
         {kHealthList, kWeaponList, kGameCameraList, kWeaponSplineList, kProjectileList, kPatternManagerList})
        Subscribe(ComponentAnnounced(listTypeIds_[index]));
    Subscribe(ComponentAnnounced(TypeId<Player>::Get()));
    Subscribe(ComponentAnnounced(TypeId<PlayerPath>::Get()));
    for (ListIndex index : {kLifetimeList, kHackList, kHudList}) Subscribe(ComponentAnnounced(listTypeIds_[index]));
    Subscribe(kMsgClientRect);
    Subscribe(kMsgDebugDraw);
    Subscribe(kMsgTriggerCode);
}

void GameLogic::Init() {
    Subscribe(kMsgShieldDisabled);
    Subscribe(kMsgWeaponDisabled);
    Subscribe(kMsgBoostDisabled);
    shieldDisabled_ = weaponDisabled_ = boostDisabled_ = false;
}

void GameLogic::HandleMessage(Message* message) {
    if (IsPaused()) return;
    if (message->type == kMsgTypeComponentAnnounced) {
        const u32 typeId = message->argument;
        const u32* id = message->Read(ComponentAnnounced(typeId));
        if (!id) return;
        if (typeId == TypeId<Player>::Get()) {
            playerId_ = *id;
        } else if (typeId == TypeId<PlayerPath>::Get()) {
            pathId_ = *id;
        } else {
            for (u32 i = 0; i < kListCount; ++i)
                if (listTypeIds_[i] == typeId) lists_[i].Add(*id);
        }
    } else if (const ClientRect* rect = message->Read(kMsgClientRect)) {
        clientRect_ = *rect;
    } else if (const bool* on = message->Read(kMsgDebugDraw)) {
        debugDraw_ = *on;
    } else if (const i32* code = message->Read(kMsgTriggerCode)) {
        if (*code == kLevelCompleteCode) EndLevel(false);
    } else if (message->Is(kMsgGameOver)) {
        EndLevel(true);
    } else if (const bool* shield = message->Read(kMsgShieldDisabled)) {
        shieldDisabled_ = *shield;
    } else if (const bool* weapon = message->Read(kMsgWeaponDisabled)) {
        weaponDisabled_ = *weapon;
    } else if (const bool* boost = message->Read(kMsgBoostDisabled)) {
        boostDisabled_ = *boost;
    }
}

IComponent* GameLogic::FindPlayer() const {
    Overlord* overlord = Overlord::Instance();
    IComponent* player = (playerId_ != 0 && overlord) ? overlord->GetComponentById(playerId_) : nullptr;
    return player && player->GetTypeId() == TypeId<Player>::Get() ? player : nullptr;
}

Player* GameLogic::FindShip() const {
    // Tests stand other components in under the Player's type id.
    return dynamic_cast<Player*>(FindPlayer());
}

MouseFireControl* GameLogic::FindFireControl(u32 controlId) const {
    Engine* engine = Engine::Instance();
    GuiSystem* gui = (controlId != 0 && engine) ? engine->GetSystem<GuiSystem>() : nullptr;
    // The ids were handed out to fire controls alone.
    return gui ? static_cast<MouseFireControl*>(gui->FindControl(controlId)) : nullptr;
}

void GameLogic::Update(float dt) {
    SceneManager* scenes = SceneManager::Instance();
    if (IsActive() && scenes && scenes->IsLoaded() && !weaponDisabled_)
        if (MouseFireControl* fire = FindFireControl(leftFireControlId_)) fire->SetSuppressed(IsPaused());
    if (Player* ship = FindShip()) ship->paused = IsPaused();
    // Taken while paused too: a pause's frames are no game time.
    const float stepped = TakeSteppedTime(dt);
    if (IsPaused()) return;

    // Gameplay runs on the world's clock: in a frame that stepped the world
    // it is handed the game time of that step, in a frame that did not it
    // stands still, as Physics and the behaviours do. A slow machine so plays
    // the whole game in slow motion, not shots that run out of time while
    // they crawl.
    const bool ticks = stepped > 0.0f;
    if (ticks)
        for (ListIndex index : {kGameCameraList, kWeaponList, kWeaponSplineList, kProjectileList, kPatternManagerList,
                                kHealthList, kLifetimeList})
            Walk(index, stepped);

    // Looked up again: the lists' updates may have removed the ship.
    if (IComponent* player = FindPlayer()) {
        if (ticks) player->Update(stepped);
        // The ship's matrices take this frame's steering at once.
        if (Transform* transform = Overlord::FindComponent<Transform>(player->GetOwner())) transform->Update(0.0f);
        Broadcast(kMsgPlayerObject, player->GetOwner());
        // An open track has no more road at its end: the level is complete.
        const Player* ship = FindShip();
        const SplineCrawler* crawler = ship ? ShipCrawler(*ship) : nullptr;
        if (!levelEnded_ && crawler && AtEndOfOpenTrack(*crawler)) EndLevel(false);
    }
    if (ticks) Walk(kHackList, stepped);
    // The heads-up display animates in real time.
    Walk(kHudList, dt);
}

float GameLogic::TakeSteppedTime(float frameDt) {
    Engine* engine = Engine::Instance();
    const Physics* physics = engine ? engine->GetSystem<Physics>() : nullptr;
    // Without a world there is no world clock: the frame's time.
    if (!physics) return frameDt;
    const u64 now = physics->GetStepsRun();
    const u64 fresh = now >= stepsSeen_ ? now - stepsSeen_ : 0;  // a new Physics starts its count anew
    stepsSeen_ = now;
    return static_cast<float>(static_cast<double>(fresh) * Physics::kStep);
}

void GameLogic::Walk(ListIndex index, float dt) {
    ComponentList& list = lists_[index];
    const bool drawn = debugDraw_ && (index == kGameCameraList || index == kWeaponList || index == kWeaponSplineList);
    const bool drawsOwner = debugDraw_ && index == kProjectileList;
    while (list.HasNext()) {
        IComponent* component = list.Next();
        component->Update(dt);
        if (drawn) component->DebugDraw();
        if (drawsOwner)
            if (Transform* transform = Overlord::FindComponent<Transform>(component->GetOwner()))
                transform->DebugDraw();
    }
    list.EndPass();
}

void GameLogic::EndLevel(bool gameOver) {
    // Without the ship there are no results to show.
    const Player* player = FindShip();
    if (!player) return;
    levelEnded_ = true;
    LevelResults results;
    results.points = player->points;
    results.lives = player->numOfLives;
    if (const SplineCrawler* crawler = ShipCrawler(*player)) {
        results.averageSpeed = Truncated(crawler->averageSpeed);
        results.distance = Truncated(crawler->distance);
    }
    if (const Health* health = Overlord::FindComponent<Health>(player->GetOwner())) results.health = health->currentHP;
    results.gameOver = gameOver;
    HandOverLevelResults(TypeId<FinMenu>::Get(), results);
}

void GameLogic::Clear() {
    for (ComponentList& list : lists_) list.Clear();
    SpawnBudget::Reset();
}

void GameLogic::Activate() {
    // The steps the world ran while this system was off are no game time of its own.
    TakeSteppedTime(0.0f);
    SubscribeAll();
    SceneManager* scenes = SceneManager::Instance();
    if (!scenes) return;
    scenes->SetOwner(this);
    scenes->ReloadScene();
    if (!scenes->IsLoaded()) playerId_ = pathId_ = 0;
}

void GameLogic::Deactivate() {
    RemovePlayerControls();
    DeleteBars();
    // The editor taking over pushes its own camera next: the level's goes first.
    PopLevelCamera();
    UnsubscribeAll();
}

void GameLogic::OnSceneLoaded() {
    levelEnded_ = false;
    CreatePlayerControls();
    DeleteBars();
    PushLevelCamera();
}

void GameLogic::OnSceneCleared() {
    playerId_ = 0;
    levelEnded_ = false;
    RemovePlayerControls();
    PopLevelCamera();
    CreateScenesBar();
}

void GameLogic::HandOver(Control* control) {
    SendToSystem(kMsgAddControl, TypeId<GuiSystem>::Get(), GetTypeId(), control);
    controlIds_.push_back(control->GetId());
}

void GameLogic::CreatePlayerControls() {
    Engine* engine = Engine::Instance();
    GuiSystem* gui = engine ? engine->GetSystem<GuiSystem>() : nullptr;
    if (!gui) return;  // nobody would own the controls
    const u32 player = playerId_;
    const u32 guiId = gui->GetTypeId();

    Control* right = KeyControl(kKeyD);
    right->AddActiveAction(Say(kMsgSteerRight, player));
    right->AddDeactivateAction(Say(kMsgSteerStop, player));
    HandOver(right);

    Control* left = KeyControl(kKeyA);
    left->AddActiveAction(Say(kMsgSteerLeft, player));
    left->AddDeactivateAction(Say(kMsgSteerStop, player));
    HandOver(left);

    if (!boostDisabled_) {
        Control* boost = KeyControl(kKeyW);
        boost->AddActivateAction(Say(kMsgBoostPressed, player));
        boost->AddActiveAction(Say(kMsgBoostHeld, player));
        boost->AddDeactivateAction(Say(kMsgBoostReleased, 0));
        HandOver(boost);
    }
    if (!shieldDisabled_) {
        Control* shield = KeyControl(kKeyShift);
        shield->AddActiveAction(Say(kMsgShieldOn, 0));
        shield->AddDeactivateAction(Say(kMsgShieldOff, 0));
        HandOver(shield);
    }
    const IComponent* ship = FindPlayer();
    const u32 shipObject = ship ? ship->GetOwner() : 0;
    if (!weaponDisabled_) {
        // Fires at the ship alone, along its nose.
        Control* fire = KeyControl(kKeySpace);
        fire->AddActiveAction(new ShipFireAction(guiId, shipObject));
        HandOver(fire);

        auto* mouse = new MouseFireControl(gui);
        mouse->AddActivateTrigger(new MouseTrigger(kLeftButton, MouseTrigger::kModeDownToo));
        mouse->AddDeactivateTrigger(new InvertTriggerLogic(new MouseTrigger(kLeftButton, MouseTrigger::kModeDownToo)));
        mouse->Subscribe(kMsgSelectedObject);
        leftFireControlId_ = mouse->GetId();
        HandOver(mouse);
    }
    if (!shieldDisabled_) {
        auto* mouse = new MouseFireControl(gui);
        mouse->AddActivateTrigger(new MouseTrigger(kRightButton, MouseTrigger::kModeDownToo));
        mouse->AddDeactivateTrigger(new MouseTrigger(kRightButton, MouseTrigger::kModeUp));
        mouse->AddActiveAction(Say(kMsgShieldOn, 0));
        mouse->AddDeactivateAction(Say(kMsgShieldOff, 0));
        mouse->Subscribe(kMsgSelectedObject);
        rightFireControlId_ = mouse->GetId();
        HandOver(mouse);
    }
    if (MouseFireControl* fire = FindFireControl(leftFireControlId_)) fire->SetTargetObject(shipObject);
    SetCursorHidden(true);
}

void GameLogic::RemovePlayerControls() {
    const u32 gui = TypeId<GuiSystem>::Get();
    for (u32 id : controlIds_) PostToSystem(kMsgRemoveControl, gui, GetTypeId(), id);
    controlIds_.clear();
    leftFireControlId_ = rightFireControlId_ = 0;
    SetCursorHidden(false);
}

// The display counter is shared with the rest of the program: change it
// only when the state changes, so repeated clears never stack up shows.
void GameLogic::SetCursorHidden(bool hidden) {
    if (hidden == cursorHidden_) return;
    cursorHidden_ = hidden;
    ShowCursor(!hidden);
}

void GameLogic::DeleteBars() {
    TwDeleteAllBars();
    scenesBar_ = nullptr;
    sceneNames_.clear();
}

void GameLogic::CreateScenesBar() {
    // One bar at a time: the old one (and its buttons) goes first.
    if (scenesBar_) TwDeleteBar(scenesBar_);
    scenesBar_ = nullptr;
    sceneNames_.clear();
    DevozizuDave* folders = DevozizuDave::Instance();
    if (!folders) return;
    FilePath scenes = folders->scene;
    scenes.ListDirectory();
    sceneNames_ = scenes.fileNames;
    scenesBar_ = TwNewBar(kScenesBarName);
    for (size_t i = 0; i < sceneNames_.size(); ++i)
        TwAddButton(scenesBar_, sceneNames_[i].c_str(), &GameLogic::OnLoadSceneFromList,
                    reinterpret_cast<void*>(static_cast<std::uintptr_t>(i)), nullptr);
}

void GameLogic::OnLoadSceneFromList(void* clientData) {
    Engine* engine = Engine::Instance();
    if (GameLogic* logic = engine ? engine->GetSystem<GameLogic>() : nullptr)
        logic->LoadSceneFromList(static_cast<size_t>(reinterpret_cast<std::uintptr_t>(clientData)));
}

bool GameLogic::LoadSceneFromList(size_t index) {
    DevozizuDave* folders = DevozizuDave::Instance();
    SceneManager* scenes = SceneManager::Instance();
    if (!folders || !scenes) return false;
    if (index >= sceneNames_.size()) {
        Log("GameLogic: scene button %zu is not in the list of %zu scenes; nothing loaded", index, sceneNames_.size());
        return false;
    }
    // Composed first: clearing the scene lists the folder again.
    const std::string path = folders->scene.GetFullPath(sceneNames_[index]);
    return scenes->LoadScene(path);
}

void GameLogic::PushLevelCamera() {
    levelCameraId_ = 0;
    Engine* engine = Engine::Instance();
    IGraphics* graphics = IGraphics::Find(engine);
    SceneManager* scenes = SceneManager::Instance();
    Overlord* overlord = Overlord::Instance();
    if (!graphics || !scenes || !overlord) return;
    // The first camera of the scene's objects, in scene order.
    for (u32 objectId : scenes->GetObjectIds()) {
        const GameObject* object = overlord->GetGameObject(objectId);
        if (!object) continue;
        for (IComponent* component : object->GetComponents()) {
            if (!dynamic_cast<Camera*>(component)) continue;
            levelCameraId_ = component->GetId();
            graphics->PushCamera(levelCameraId_);
            return;
        }
    }
}

void GameLogic::PopLevelCamera() {
    Engine* engine = Engine::Instance();
    IGraphics* graphics = IGraphics::Find(engine);
    // Only while it is the newest: a camera pushed after it (the editor's) stays.
    if (graphics && levelCameraId_ != 0 && graphics->GetActiveCameraId() == levelCameraId_) graphics->PopCamera();
    levelCameraId_ = 0;
}
