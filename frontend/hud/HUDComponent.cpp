#include "frontend/hud/HUDComponent.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/Logger.h"
#include "engine/Message.h"
#include "engine/MessageHub.h"
#include "engine/MessageTypes.h"
#include "engine/Overlord.h"
#include "engine/SceneObjectBudget.h"
#include "engine/Transform.h"
#include "frontend/screens/MenuScreen.h"
#include "game/actors/EulerToQuaternion.h"
#include "game/actors/Player.h"
#include "game/combat/Health.h"
#include "game/track/SplineCrawler.h"
#include "platform/AudioSystem.h"
#include "platform/SoundEventData.h"
#include "render/IGraphics.h"
#include "render/mesh/MeshBuilder.h"
#include "render/mesh/Model.h"
#include "render/text/ScreenText.h"

namespace {

// Places of the shield bubble from the anchor, before scaling; the hidden
// ones lie beyond the screen projection's far depth (2000), which scaling
// leaves alone (it scales x and y only).
constexpr float kBubbleStartX = 20000.0f;
constexpr float kBubbleHiddenX = 2000.0f;
constexpr float kBubbleHiddenY = -23000.0f;
constexpr float kBubbleStartZ = 20000.0f;
constexpr float kBubbleHiddenZ = 200000.0f;
constexpr float kBubbleShownY = -230.0f;
constexpr float kBubbleShownZ = 200.0f;

const char* const kCountdownPictures[4] = {"Countdown_3", "Countdown_2", "Countdown_1", "Countdown_go"};
const char* const kActiveIcons[3] = {"status_shields_active", "status_weapons_active", "status_boost_active"};

// "prefix" + step for the steps 0 .. 16, made once.
std::array<std::string, HUDComponent::kBarSteps + 1> StepNames(const char* prefix) {
    std::array<std::string, HUDComponent::kBarSteps + 1> names;
    for (int step = 0; step <= HUDComponent::kBarSteps; ++step) names[step] = prefix + std::to_string(step);
    return names;
}
const std::array<std::string, HUDComponent::kBarSteps + 1>& HealthBarNames() {
    static const auto names = StepNames("NEW_HUD_Healthbar_");
    return names;
}
const std::array<std::string, HUDComponent::kBarSteps + 1>& EnergyBarNames() {
    static const auto names = StepNames("NEW_HUD_Energybar_");
    return names;
}

// A float as the HUD writes it: truncated toward zero; NaN as 0, values past
// the integer range held at its ends.
int Truncated(float value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483520.0f) return INT32_MAX;
    if (value <= -2147483648.0f) return INT32_MIN;
    return static_cast<int>(value);
}

// One picture of the element table.
struct ElementRecipe {
    const char* texture;
    float halfWidth;   // quads only
    float halfHeight;  // quads only
    float scale;
    float x;  // from the anchor
    float y;
    float z;
};

// In creation order (HUDComponent::Element); the shield bubble is a sphere.
constexpr ElementRecipe kRecipes[HUDComponent::kElementCount] = {
    {"NEW_player_shield", 0, 0, 1, kBubbleStartX, kBubbleHiddenY, kBubbleStartZ},
    {"status_shields_disabled", 13, 2, 12, -400, -150, 0},
    {"status_weapons_disabled", 13, 2, 12, -400, -200, 0},
    {"status_boost_disabled", 13, 2, 12, -400, -250, 0},
    {"Countdown_3", 75, 50, 1, 0, 25, 0},
    {"NEW_HUD_circle_lives", 1, 1, 20, 127, -306, 0},
    {"NEW_HUD_healthbar_back", 13, 6.8f, 22, -42, -230, 0},
    {"NEW_HUD_Healthbar_16", 13, 6.8f, 22, -42, -230, 0},
    {"NEW_HUD_energybar_back", 13, 6.8f, 22, 21, -230, 0},
    {"NEW_HUD_Energybar_16", 13, 6.8f, 22, 21, -230, 0},
};

struct TextRecipe {
    D3DXCOLOR colour;
    float x;  // from the anchor, scaled with the layout
    float y;
    float dx;  // then this many pixels on, unscaled as the letters are
    float dy;
    bool barText;  // made only with enableBarText
};

// The outer corner of the energy arc's top end. The read-outs beside it keep
// their distances from it in pixels, as their 16-pixel letters keep their
// size, so the arc, scaled down with the layout, never reaches them.
constexpr float kEnergyArcTopX = 238.0f;
constexpr float kEnergyArcTopY = -164.0f;

// In creation order (HUDComponent::Text). At full size distance and speed
// stand at (259, -194) and (249, -174), right of the arc's outer edge.
const TextRecipe kTextRecipes[HUDComponent::kTextCount] = {
    {{0, 1, 0, 1}, -172, -317, 0, 0, false},                               // points
    {{1, 1, 1, 1}, 150, -317, 0, 0, false},                                // lives
    {{1, 0.5f, 0.5f, 1}, kEnergyArcTopX, kEnergyArcTopY, 21, -30, true},   // distance
    {{1, 1, 0.6f, 1}, kEnergyArcTopX, kEnergyArcTopY, 11, -10, true},      // speed
    {{0.5f, 1, 0.5f, 1}, -244, -154, 0, 0, false},                         // health
    {{0.6f, 0.6f, 1, 1}, kEnergyArcTopX, kEnergyArcTopY, -25, 10, false},  // energy
};

}  // namespace

void HUDComponent::Reflect(MemberList<HUDComponent>& members) {
    members.Add("enableBarText", &HUDComponent::enableBarText);
    members.Add("countdownDuration", &HUDComponent::countdownDuration);
}

// ---- Life cycle -------------------------------------------------------------

void HUDComponent::Init() {
    shieldAngle_ = 0.0f;
    // n/5 of the duration as (duration * n) / 5: whole durations give exact times.
    for (int n = 0; n < 4; ++n) stageTimes_[n] = countdownDuration * static_cast<float>(n + 1) / 5.0f;
    countdownVisible_ = false;
    for (int n = 0; n < 4; ++n) countdownMaterials_[n].diffuseFileName = kCountdownPictures[n];
    countdownRunning_ = false;
    countdownClock_ = -kCountdownWait;
    playerKnown_ = false;
    stagePlayed_ = {};

    ReleaseElements();
    idle_ = !TakeDisplay();
    if (idle_) return;
    Subscribe(kMsgPlayerObject);
    Subscribe(kMsgCrawlerAnnounced);
    Subscribe(kMsgShieldOn);
    Subscribe(kMsgShieldOff);
    Subscribe(kMsgLevelStart);
    Subscribe(kMsgClientRect);

    // The window's size at the start; later sizes arrive as kMsgClientRect.
    if (const IGraphics* graphics = IGraphics::Find(Engine::Instance())) TakeScales(graphics->GetClientRect());
    anchor_.x = static_cast<float>((screenRect_.right - screenRect_.left) / 2);
    anchor_.y = static_cast<float>((screenRect_.bottom - screenRect_.top) / 2);
    MakeElements();
}

const HUDComponent* HUDComponent::DisplayHolder() {
    const Overlord* overlord = Overlord::Instance();
    if (!overlord || holderOverlord_ != overlord || holderId_ == 0) return nullptr;
    return overlord->GetComponentById<HUDComponent>(holderId_);
}

bool HUDComponent::HoldsDisplay() const {
    return DisplayHolder() == this;
}

bool HUDComponent::TakeDisplay() {
    const HUDComponent* holder = DisplayHolder();
    if (holder && holder != this) {
        if (idleReportedScene_ != SceneObjectBudget::Scene())
            Log("HUDComponent %u on object %u: the scene's heads-up display is HUDComponent %u's on object %u; this "
                "one, and any further one, shows nothing",
                GetId(), GetOwner(), holder->GetId(), holder->GetOwner());
        idleReportedScene_ = SceneObjectBudget::Scene();
        return false;
    }
    u64 objects = kElementCount;
    for (u32 t = 0; t < kTextCount; ++t) objects += (kTextRecipes[t].barText && !enableBarText) ? 0 : 1;
    if (!objectsShare_.Current() && !objectsShare_.Take(SceneObjectBudget::Budget(), objects)) {
        SceneObjectBudget::Admit(objects, "HUDComponent " + std::to_string(GetId()) + " on object " +
                                              std::to_string(GetOwner()) + ", its pictures and texts,");
        if (HoldsDisplay()) holderId_ = 0;
        return false;
    }
    holderOverlord_ = Overlord::Instance();
    holderId_ = GetId();
    return true;
}

void HUDComponent::Shutdown() {
    Unsubscribe(kMsgPlayerObject);
    Unsubscribe(kMsgCrawlerAnnounced);
    Unsubscribe(kMsgShieldOn);
    Unsubscribe(kMsgShieldOff);
    Unsubscribe(kMsgLevelStart);
    Unsubscribe(kMsgClientRect);
    ReleaseElements();
    // Its object is unregistered before the components shut down.
    if (holderId_ == GetId()) holderId_ = 0;
    objectsShare_.Release();
}

float HUDComponent::LayoutScale(int width, int height) {
    if (width <= 0 || height <= 0) return 1.0f;
    const float byWidth = static_cast<float>(width) / static_cast<float>(kLayoutWidth);
    const float byHeight = static_cast<float>(height) / static_cast<float>(kLayoutHeight);
    return std::min({1.0f, byWidth, byHeight});
}

float HUDComponent::ViewScale(int height) {
    if (height <= 0) return 1.0f;
    return std::min(1.0f, static_cast<float>(height) / static_cast<float>(kLayoutHeight));
}

float HUDComponent::ElementScale(Element element) const {
    return element == kShieldBubble ? bubbleScale_ : layoutScale_;
}

D3DXVECTOR3 HUDComponent::Place(float x, float y, float z, float scale) const {
    return {anchor_.x + x * scale, anchor_.y + y * scale, z};
}

D3DXVECTOR3 HUDComponent::TextPlace(Text text) const {
    const TextRecipe& recipe = kTextRecipes[text];
    return Place(recipe.x, recipe.y, 0.0f, layoutScale_) + D3DXVECTOR3(recipe.dx, recipe.dy, 0.0f);
}

D3DXVECTOR3 HUDComponent::ElementPlace(Element element) const {
    const ElementRecipe& recipe = kRecipes[element];
    const float scale = ElementScale(element);
    if (element == kShieldBubble) return Place(recipe.x, recipe.y, recipe.z, scale);
    // A quad lies at depth 1 before its Transform's scale: moved nearer by
    // what the scale takes off, it keeps its full-size depth (the countdown
    // picture, at scale 1, would otherwise fall before the near plane).
    return Place(recipe.x, recipe.y, recipe.z + recipe.scale * (1.0f - scale), scale);
}

void HUDComponent::MakeElements() {
    for (u32 e = 0; e < kElementCount; ++e) {
        const ElementRecipe& recipe = kRecipes[e];
        Model* mesh = e == kShieldBubble ? MeshBuilder::Sphere(20, 20, 158, 158, 158)
                                         : MeshBuilder::Quad(recipe.halfWidth, recipe.halfHeight, {0, 0, 0, 1});
        const D3DXVECTOR3 position = ElementPlace(static_cast<Element>(e));
        elements_[e] = MenuScreen::MakePicture(mesh, recipe.texture,
                                               recipe.scale * ElementScale(static_cast<Element>(e)), &position)
                           ->GetId();
    }
    for (u32 t = 0; t < kTextCount; ++t) {
        const TextRecipe& recipe = kTextRecipes[t];
        texts_[t] = 0;
        if (recipe.barText && !enableBarText) continue;
        const D3DXVECTOR3 position = TextPlace(static_cast<Text>(t));
        texts_[t] = CreateScreenTextObject(position, "", kFont, recipe.colour, screenRect_, kFontSize)->GetId();
    }
    healthStep_ = energyStep_ = -1;
    energyBarHidden_ = false;
    iconActive_ = {};
}

void HUDComponent::LayOut() {
    for (u32 e = 0; e < kElementCount; ++e) {
        Transform* transform = ElementTransform(static_cast<Element>(e));
        if (!transform) continue;
        transform->scale = kRecipes[e].scale * ElementScale(static_cast<Element>(e));
        // The bubble's place follows the shield (PlaceShieldBubble below).
        if (e != kShieldBubble) {
            const D3DXVECTOR3 position = ElementPlace(static_cast<Element>(e));
            transform->SetPosition(position.x, position.y, position.z);
        }
        transform->Update(0.0f);
    }
    PlaceShieldBubble(FindPlayer());
    for (u32 t = 0; t < kTextCount; ++t) {
        Transform* transform = Overlord::FindComponent<Transform>(texts_[t]);
        if (!transform) continue;
        const D3DXVECTOR3 position = TextPlace(static_cast<Text>(t));
        transform->SetPosition(position.x, position.y, transform->position.z);
        transform->Update(0.0f);
    }
}

bool HUDComponent::TakeScales(const ClientRect& rect) {
    // A minimised or not yet known window (0 x 0) keeps the layout it had.
    if (rect.right <= rect.left || rect.bottom <= rect.top) return false;
    const float scale = LayoutScale(rect.right - rect.left, rect.bottom - rect.top);
    const float bubbleScale = ViewScale(rect.bottom - rect.top);
    if (scale == layoutScale_ && bubbleScale == bubbleScale_) return false;
    layoutScale_ = scale;
    bubbleScale_ = bubbleScale;
    return true;
}

void HUDComponent::OnClientRect(const ClientRect& rect) {
    if (TakeScales(rect)) LayOut();
}

void HUDComponent::ReleaseElements() {
    Overlord* overlord = Overlord::Instance();
    for (u32& id : elements_.ids) {
        if (overlord && id != 0) overlord->UnregisterGameObject(id);
        id = 0;
    }
    for (u32& id : texts_.ids) {
        if (overlord && id != 0) overlord->UnregisterGameObject(id);
        id = 0;
    }
}

// ---- Messages ---------------------------------------------------------------

void HUDComponent::HandleMessage(Message* message) {
    if (const u32* player = message->Read(kMsgPlayerObject)) {
        OnPlayerAnnounced(*player);
    } else if (message->Is(kMsgShieldOn) || message->Is(kMsgShieldOff)) {
        // The Player decides whether the shield is up (it refuses it on an
        // empty tank, with abilities off and before the start); the bubble
        // follows it here and again in every Update.
        PlaceShieldBubble(FindPlayer());
    } else if (message->Is(kMsgLevelStart)) {
        countdownRunning_ = true;
    } else if (const ClientRect* rect = message->Read(kMsgClientRect)) {
        OnClientRect(*rect);
    } else if (message->Is(kMsgCrawlerAnnounced)) {
        // Enemy carriers are announced alike: the one read is the ship's
        // parent, looked up each frame (FindCrawler).
        crawlerKnown_ = true;
    }
}

void HUDComponent::OnPlayerAnnounced(u32 playerObjectId) {
    playerKnown_ = true;
    playerObjectId_ = playerObjectId;
    const Player* player = FindPlayer();
    const Health* health = FindHealth();
    if (health && healthThresholds_.empty()) healthThresholds_ = BarThresholds(static_cast<float>(health->maxHP));
    if (!player) return;
    if (energyThresholds_.empty()) energyThresholds_ = BarThresholds(player->energyTankCapacity);
    const bool disabled[3] = {player->disablePlayerShield, player->disablePlayerWeapon, player->disablePlayerBoost};
    for (u32 i = 0; i < 3; ++i) {
        if (disabled[i] || iconActive_[i]) continue;
        Retexture(static_cast<Element>(kShieldsIcon + i), kActiveIcons[i]);
        iconActive_[i] = true;
    }
}

Player* HUDComponent::FindPlayer() const {
    Overlord* overlord = Overlord::Instance();
    if (!overlord || playerObjectId_ == 0) return nullptr;
    // Tests stand other components in under the Player's type id.
    return dynamic_cast<Player*>(overlord->GetComponent(playerObjectId_, TypeId<Player>::Get()));
}

Health* HUDComponent::FindHealth() const {
    Overlord* overlord = Overlord::Instance();
    if (!overlord || playerObjectId_ == 0) return nullptr;
    return dynamic_cast<Health*>(overlord->GetComponent(playerObjectId_, TypeId<Health>::Get()));
}

SplineCrawler* HUDComponent::FindCrawler() const {
    Overlord* overlord = Overlord::Instance();
    const GameObject* ship = Overlord::FindObject(playerObjectId_);
    if (!ship || ship->GetParent() == 0) return nullptr;
    return dynamic_cast<SplineCrawler*>(overlord->GetComponent(ship->GetParent(), TypeId<SplineCrawler>::Get()));
}

// ---- The frame --------------------------------------------------------------

void HUDComponent::Update(float dt) {
    if (idle_) return;
    const Player* player = FindPlayer();
    const Health* health = FindHealth();
    SpinShield(dt);
    PlaceShieldBubble(player);
    if (playerObjectId_ != 0) {
        UpdateBars(player, health);
        UpdateTexts(player, health);
    }
    const bool countdownShown = playerKnown_ && UpdateCountdown(dt);
    DrawRequests(countdownShown);
}

void HUDComponent::SpinShield(float dt) {
    Transform* transform = ElementTransform(kShieldBubble);
    if (transform) {
        const float a = shieldAngle_;
        transform->SetWorldRotation(EulerToQuaternion(a, a - 20.0f * dt, a - 10.0f * dt));
    }
    // A whole turn of each of the three angles gives the same rotation: the
    // angle is kept below 360 so it keeps its precision in long levels.
    shieldAngle_ = std::fmod(shieldAngle_ + kShieldSpin * dt, 360.0f);
}

void HUDComponent::PlaceShieldBubble(const Player* player) {
    Transform* transform = ElementTransform(kShieldBubble);
    if (!transform) return;
    const D3DXVECTOR3 place = player && player->shielding
                                  ? Place(0.0f, kBubbleShownY, kBubbleShownZ, bubbleScale_)
                                  : Place(kBubbleHiddenX, kBubbleHiddenY, kBubbleHiddenZ, bubbleScale_);
    transform->SetPosition(place.x, place.y, place.z);
    // The renderer draws screen pictures with their stored matrices.
    transform->Update(0.0f);
}

void HUDComponent::UpdateBars(const Player* player, const Health* health) {
    if (health && !healthThresholds_.empty()) {
        // Below the last threshold the health bar keeps its last step.
        const int step = std::max(1, BarStep(static_cast<float>(health->currentHP), healthThresholds_));
        if (step != healthStep_) {
            Retexture(kHealthBar, HealthBarNames()[step]);
            healthStep_ = step;
        }
    }
    if (player && !energyThresholds_.empty()) {
        // Below the last threshold the energy bar is not drawn (its back is)
        // and keeps the texture it had.
        const int step = BarStep(player->energy, energyThresholds_);
        energyBarHidden_ = step == 0;
        if (step != 0 && step != energyStep_) {
            Retexture(kEnergyBar, EnergyBarNames()[step]);
            energyStep_ = step;
        }
    }
}

void HUDComponent::UpdateTexts(const Player* player, const Health* health) {
    if (player) {
        ShowText(kPointsText, TextOf(player->points));
        ShowText(kLivesText, "x" + TextOf(player->numOfLives));
    }
    if (!enableBarText) return;
    if (health) ShowText(kHealthText, TextOf(health->currentHP));
    if (const SplineCrawler* crawler = crawlerKnown_ ? FindCrawler() : nullptr) {
        ShowText(kDistanceText, TextOf(Truncated(crawler->distance)));
        ShowText(kSpeedText, TextOf(Truncated(crawler->currentSpeed)));
    }
    if (player) ShowText(kEnergyText, TextOf(Truncated(player->energy)));
}

bool HUDComponent::UpdateCountdown(float dt) {
    if (countdownRunning_) countdownClock_ += dt;
    if (!(countdownClock_ > 0.0f)) return false;
    for (int stage = 0; stage < 4; ++stage) {
        const float end = stage < 3 ? stageTimes_[stage + 1] : countdownDuration;
        if (!stagePlayed_[stage] && countdownClock_ >= stageTimes_[stage] && countdownClock_ < end) {
            PlayStage(stage);
            return countdownVisible_;
        }
    }
    if (countdownClock_ >= countdownDuration) {
        // A frame that jumped the "go" stage (a long first frame, a slow
        // machine, a zero duration) still starts the ship: one go per
        // countdown.
        if (!stagePlayed_[3]) {
            stagePlayed_[3] = true;
            PlaySound(kGoSound);
            SendGo();
        }
        countdownClock_ = 0.0f;
        countdownRunning_ = false;
        return false;
    }
    return countdownVisible_;
}

void HUDComponent::PlayStage(int stage) {
    if (Model* model = ElementModel(kCountdownPicture)) {
        Material::ResolveTextures(model->material, countdownMaterials_[stage]);
        ++retextures_;
    }
    stagePlayed_[stage] = true;
    if (stage == 0) countdownVisible_ = true;
    PlaySound(stage < 3 ? kCountSound : kGoSound);
    if (stage == 3) SendGo();
}

void HUDComponent::SendGo() {
    Broadcast(kMsgCountdownOver, GetId());
}

void HUDComponent::PlaySound(const std::string& name) const {
    SoundEventData sound;
    sound.name = name;
    sound.volume = kSoundVolume;
    PostToSystem(kMsgPlaySound, TypeId<AudioSystem>::Get(), GetId(), sound);
}

void HUDComponent::DrawRequests(bool countdownShown) const {
    const u32 graphics = TypeId<GraphicsSystem>::Get();
    const Kind<u32> draw = DrawThisFrame(TypeId<Model>::Get());
    auto request = [&](Element element) {
        if (elements_[element] != 0) SendToSystem(draw, graphics, GetTypeId(), elements_[element]);
    };
    if (countdownShown) request(kCountdownPicture);
    request(kLivesCircle);
    request(kHealthBarBack);
    request(kEnergyBarBack);
    request(kHealthBar);
    if (!energyBarHidden_) request(kEnergyBar);
    request(kShieldsIcon);
    request(kWeaponsIcon);
    request(kBoostIcon);
    request(kShieldBubble);
}

// ---- Pictures and texts -----------------------------------------------------

Model* HUDComponent::ElementModel(Element element) const {
    return Overlord::FindComponent<Model>(elements_[element]);
}

Transform* HUDComponent::ElementTransform(Element element) const {
    return Overlord::FindComponent<Transform>(elements_[element]);
}

void HUDComponent::Retexture(Element element, const std::string& diffuseName) {
    Model* model = ElementModel(element);
    if (!model) return;
    Material scratch = model->material;
    scratch.diffuseFileName = diffuseName;
    Material::ResolveTextures(model->material, scratch);
    ++retextures_;
}

void HUDComponent::ShowText(Text text, const std::string& value) const {
    GameObject* object = Overlord::FindObject(texts_[text]);
    if (!object) return;
    // The same text again would only make the renderer lay it out anew.
    const ScreenText* screenText = object->GetComponent<ScreenText>();
    if (screenText && screenText->GetText() == value)
        SubmitObjectTextForFrame(object);
    else
        SetObjectScreenTextAndSubmit(object, value);
}

// ---- Bars -------------------------------------------------------------------

int HUDComponent::BarStep(float value, const std::vector<float>& thresholds) {
    const int count = static_cast<int>(std::min<std::size_t>(thresholds.size(), kBarSteps));
    for (int k = 0; k < count; ++k)
        if (value >= thresholds[k]) return kBarSteps - k;
    return 0;
}

std::vector<float> HUDComponent::BarThresholds(float maximum) {
    const float step = maximum * 0.0625f;
    std::vector<float> thresholds(kBarSteps);
    for (int i = 0; i < kBarSteps; ++i) thresholds[i] = maximum - static_cast<float>(i) * step;
    return thresholds;
}
