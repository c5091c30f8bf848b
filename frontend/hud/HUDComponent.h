// The heads-up display: a component that a level scene carries on an object
// of its own. Init makes its pictures (lives circle, health and energy bars
// of 16 steps with their backs, the countdown picture, three ability icons,
// the shield bubble) and its screen texts (points, lives, and the read-outs
// of health and energy, distance and speed) as game objects of its own, in
// screen space, placed in pixels from the window centre and laid out for a
// 1024 x 768 window; a smaller window gets the layout scaled about its centre
// (see LayoutScale), laid out again whenever the window's size changes. The
// texts keep their font size: the read-outs beside the energy arc keep their
// distances from its top end in pixels instead.
// GameLogic updates it once a frame, after the player's announcement
// (kMsgPlayerObject), and not while the game is paused: it then asks the
// renderer to draw its pictures and texts for that frame only, so a paused
// game shows no HUD.
//
// The start-of-level countdown starts on kMsgLevelStart: 2.5 s of waiting, a
// silent fifth of countdownDuration, then "3", "2", "1" and "go" a fifth
// each, with their sounds; "go" sends kMsgCountdownOver, on which the ship
// starts. Exactly one go message per countdown, also when a long frame jumps
// the "go" stage.
//
// Links to other objects are ids, looked up each frame: the ship's Player and
// Health on the announced object, and the SplineCrawler on the ship's parent
// (the carrier). The HUD's objects are unregistered when the component shuts
// down (its object unregistered: scene clear, restart, level load).
//
// A scene shows one HUD: the first HUDComponent made builds the display and
// holds it while it is registered; a further one builds nothing, does nothing
// in its Update and says so in one log row per scene. The display's objects
// count against the scene's bound on objects (SceneObjectBudget). Owned by
// its object; main thread only.
#pragma once
#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "engine/Component.h"
#include "engine/SceneBudget.h"
#include "port/math/D3DX.h"
#include "port/window/WindowEvent.h"
#include "render/mesh/Material.h"

class GameObject;
class Health;
class Model;
class Overlord;
class Player;
class SplineCrawler;
class Transform;

class HUDComponent : public Component<HUDComponent> {
public:
    // The pictures, in creation order.
    enum Element : u32 {
        kShieldBubble,
        kShieldsIcon,
        kWeaponsIcon,
        kBoostIcon,
        kCountdownPicture,
        kLivesCircle,
        kHealthBarBack,
        kHealthBar,
        kEnergyBarBack,
        kEnergyBar,
        kElementCount
    };
    // The texts, in creation order (distance and speed only with enableBarText).
    enum Text : u32 { kPointsText, kLivesText, kDistanceText, kSpeedText, kHealthText, kEnergyText, kTextCount };

    static constexpr int kBarSteps = 16;
    static constexpr float kCountdownWait = 2.5f;  // s from kMsgLevelStart to the silent fifth
    static constexpr float kShieldSpin = 36.0f;    // degrees a second
    static constexpr float kSoundVolume = 0.5f;
    static constexpr const char* kCountSound = "count_down";
    static constexpr const char* kGoSound = "go";
    static constexpr const char* kFont = "lucon.ttf";
    static constexpr int kFontSize = 16;

    HUDComponent() = default;
    static void Reflect(MemberList<HUDComponent>& members);

    // kMsgPlayerObject, kMsgShieldOn, kMsgShieldOff, kMsgLevelStart,
    // kMsgCrawlerAnnounced, kMsgClientRect; others ignored.
    void HandleMessage(Message* message) override;
    // Shield spin, bars and texts, the countdown, the draw requests.
    void Update(float dt) override;
    // Resets the countdown, subscribes, makes the pictures and texts (those
    // of an earlier Init are unregistered first); a HUD while another one
    // holds the scene's display makes none and stays idle.
    void Init() override;
    // Unregisters the pictures and texts.
    void Shutdown() override;

    // Reflected, in file order.
    bool enableBarText = false;
    float countdownDuration = 5.0f;  // s from the first picture to the end

    // The object of a picture or text; 0 before Init, after Shutdown, and
    // for the distance and speed texts without enableBarText.
    u32 GetElement(Element element) const { return elements_[element]; }
    u32 GetText(Text text) const { return texts_[text]; }
    u32 GetPlayerObjectId() const { return playerObjectId_; }
    // Whether this HUD holds the scene's display (false: it shows nothing).
    bool HoldsDisplay() const;
    bool IsCountdownRunning() const { return countdownRunning_; }
    float GetCountdownClock() const { return countdownClock_; }
    float GetShieldAngle() const { return shieldAngle_; }
    // How many times a picture has been given a new texture (bars, icons,
    // countdown); steady values add nothing.
    u64 GetRetextureCount() const { return retextures_; }

    // The step (16 = full .. 1) the value shows with descending thresholds
    // t0 > ... > t15: 16 - k for the first k with value >= tk; 0 below t15.
    static int BarStep(float value, const std::vector<float>& thresholds);
    // Sixteen descending thresholds from maximum down to maximum / 16.
    static std::vector<float> BarThresholds(float maximum);
    // The window the layout is made for; smaller ones scale it down.
    static constexpr int kLayoutWidth = 1024;
    static constexpr int kLayoutHeight = 768;
    // The factor the layout is scaled by about the window centre in a client
    // area of width x height: min(1, width / 1024, height / 768); 1 while the
    // size is unknown (0 x 0).
    static float LayoutScale(int width, int height);
    // The shield bubble's factor instead: the 3-D view draws the ship larger
    // or smaller with the window's height alone (its vertical field of view
    // is fixed), so the bubble around it follows min(1, height / 768).
    static float ViewScale(int height);

private:
    // The announced ship's components, looked up by id (null when gone).
    Player* FindPlayer() const;
    Health* FindHealth() const;
    // The crawler on the ship's parent object, or null.
    SplineCrawler* FindCrawler() const;
    // The player announcement: ids, thresholds (once each), ability icons.
    void OnPlayerAnnounced(u32 playerObjectId);
    // Shows the shield bubble while the ship shields, else hides it.
    void PlaceShieldBubble(const Player* player);
    void SpinShield(float dt);
    void UpdateBars(const Player* player, const Health* health);
    void UpdateTexts(const Player* player, const Health* health);
    // The countdown's clock and stages; whether its picture is to be drawn.
    bool UpdateCountdown(float dt);
    void PlayStage(int stage);
    void SendGo();
    void PlaySound(const std::string& name) const;
    void DrawRequests(bool countdownShown) const;

    // The pictures' parts (null when the object is gone).
    Model* ElementModel(Element element) const;
    Transform* ElementTransform(Element element) const;
    // The model gets a copy of its own material with another diffuse name.
    void Retexture(Element element, const std::string& diffuseName);
    // The text object's text, when it differs, and its draw request.
    void ShowText(Text text, const std::string& value) const;
    // A picture's or text's place: the anchor plus its offset (x, y) times
    // the scale; z as it is.
    D3DXVECTOR3 Place(float x, float y, float z, float scale) const;
    // A text's place: its point of the layout, scaled, then its offset in
    // pixels, unscaled (the read-outs beside the energy arc's top end).
    D3DXVECTOR3 TextPlace(Text text) const;
    // The layout scale, or the view scale for the shield bubble.
    float ElementScale(Element element) const;
    // Where a picture is made and laid out (the bubble: where it is made).
    D3DXVECTOR3 ElementPlace(Element element) const;
    void MakeElements();
    // Puts the pictures and texts made where the layout scale has them.
    void LayOut();
    // A new client rectangle: the layout follows a new scale at once.
    void OnClientRect(const ClientRect& rect);
    // The scales of a client rectangle; false, keeping them, when it is empty
    // or they are unchanged.
    bool TakeScales(const ClientRect& rect);
    void ReleaseElements();
    // Makes this HUD the scene's display when no other holds it and the
    // scene has room for its objects; false (logged, once per scene) when not.
    bool TakeDisplay();
    // The registered HUD that holds the display, or null.
    static const HUDComponent* DisplayHolder();

    // Run-time state; a clone copies it (not the objects).
    u32 playerObjectId_ = 0;
    bool playerKnown_ = false;
    bool crawlerKnown_ = false;  // a crawler has been announced: distance and speed can be shown
    bool countdownRunning_ = false;
    bool countdownVisible_ = false;
    float countdownClock_ = -kCountdownWait;
    std::array<float, 4> stageTimes_{};
    std::array<bool, 4> stagePlayed_{};
    float shieldAngle_ = 0.0f;
    D3DXVECTOR2 anchor_{0.0f, 0.0f};
    // Handed to the texts as their screen rectangle and giving the anchor:
    // kept zero, so every place is in pixels from the window centre.
    ClientRect screenRect_{};
    // LayoutScale and ViewScale of the window's client size as last known
    // (the renderer's at Init, then kMsgClientRect); 1 while unknown.
    float layoutScale_ = 1.0f;
    float bubbleScale_ = 1.0f;
    std::vector<float> healthThresholds_;
    std::vector<float> energyThresholds_;
    std::array<bool, 3> iconActive_{};  // shields, weapons, boost
    int healthStep_ = -1;               // step of the bar's texture; -1: as made
    int energyStep_ = -1;
    bool energyBarHidden_ = false;                  // below one sixteenth of the tank
    std::array<Material, 4> countdownMaterials_{};  // "Countdown_3" .. "Countdown_go"
    u64 retextures_ = 0;

    // Ids of the objects a component made: a copy starts with none, since
    // the objects stay the original's (two owners would unregister them
    // twice); the copy's Init makes its own. So Clone copies every other
    // field as it is.
    template <std::size_t N>
    struct OwnedIds {
        std::array<u32, N> ids{};
        OwnedIds() = default;
        OwnedIds(const OwnedIds&) {}
        OwnedIds& operator=(const OwnedIds&) { return *this; }
        u32& operator[](std::size_t i) { return ids[i]; }
        u32 operator[](std::size_t i) const { return ids[i]; }
    };
    // Registered in the Overlord; unregistered at Shutdown.
    OwnedIds<kElementCount> elements_;
    OwnedIds<kTextCount> texts_;
    // Their places in the scene's count of objects (a copy holds none).
    SceneBudget::Share objectsShare_;
    bool idle_ = false;  // another HUD holds the display: this one does nothing

    // The HUD holding the display: its component id in that registry.
    static inline const Overlord* holderOverlord_ = nullptr;
    static inline u32 holderId_ = 0;
    static inline u64 idleReportedScene_ = ~u64(0);  // the scene whose idle HUD was logged
};
