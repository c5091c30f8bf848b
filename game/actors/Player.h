// The player's ship: it sits on a circle of circleRadius around the track,
// on an object that a SplineCrawler carries (its parent), and turns around
// that circle when the player steers. It keeps the energy tank that boost and
// shield drain, the lives and the points, runs the death, invisibility and
// blinking sequence when its Health reports a death and tells GameLogic when
// the game is over. GameLogic updates it once a world step with the step's
// game time, so its timers count game seconds.
// Owned by its object; main thread only.
#pragma once
#include <string>

#include "engine/Component.h"
#include "port/math/D3DX.h"
#include "port/window/WindowEvent.h"

class SplineCrawler;

class Player : public Component<Player> {
public:
    Player();
    static void Reflect(MemberList<Player>& members);

    // The player's controls, pick-ups, the countdown, the announcements of
    // crawler, weapon and camera, and the ship's death; all ignored while
    // paused.
    void HandleMessage(Message* message) override;
    // Steering, the stall test, the start, energy, the matrices and, while
    // dead, the death sequence.
    void Update(float dt) override;
    // Resets the run-time state, finds the siblings, puts the ship on its
    // circle, tells the camera, physics and GameLogic about it, subscribes.
    void Init() override;
    // Takes the subscriptions back.
    void Shutdown() override;
    // The ship is back: Model, SphereCollision and weapon on.
    void OnEnable() override;
    // The ship died: timers reset; Model, SphereCollision, weapon and boost
    // trail off, the shield hum stopped.
    void OnDisable() override;

    // Reflected, in file order.
    int pointsLostOnDeath = 10000;
    int pointsLostOnCollision = 200;  // kept in files only
    float circleRadius = 50.0f;
    float initAngleInc = 200.0f;  // degrees/s; the turn reaches twice this at the crawler's maxVelocity
    int minAngleInc = 0;          // degrees/s; the lowest turning speed
    int numOfLives = 3;           // spare lives, counted down at each death
    float deathAcceleration = 5.0f;
    float invisTime = 1.5f;  // s the dead ship stays invisible and still
    float blinkTime = 2.5f;  // s of blinking after invisTime
    float blinkStep = 0.4f;  // s between two blink toggles
    float energyTankCapacity = 100.0f;
    float boostInitCost = 8.0f;
    float boostAmount = 100.0f;              // velocity a boost adds
    float energyRechargeWaitTime = 1000.0f;  // s between two recharge steps
    float boostEnergyDrainWaitTime = 5.0f;   // s between two boost drain steps
    std::string boostSound;
    float energyTankRechargeAmt = 10.0f;
    float boostingCost = 10.0f;
    float shieldingCost = 1.0f;
    float shieldEnergyDrainWaitTime = 3.0f;  // s
    std::string shieldSound;
    std::string emptySound;
    float abilitiesDisabledWaitTime = 3.0f;  // s
    float startingBoost = 0.0f;              // speed bonus at the start; 0: a plain start
    bool disablePlayerShield = false;
    bool disablePlayerWeapon = false;
    bool disablePlayerBoost = false;
    bool dieAtPersistVel = false;  // the ship dies once its crawler is back at its initial speed

    // Written by GameLogic every frame: while set, messages are ignored and
    // the ship does not move.
    bool paused = false;

    // Steering, in degrees and degrees per second.
    bool steering = false;
    bool steerLeft = false;
    bool releasePending = false;
    bool settling = false;
    float maxAngularSpeed = 0.0f;
    float angularSpeed = 0.0f;
    float circleAngle = 270.0f;
    float rollAngle = 0.0f;
    float lastDt = 0.0f;

    // Energy; timers in seconds.
    float energy = 0.0f;
    float energyRechargeTimer = 0.0f;
    float boostDrainTimer = 0.0f;
    float shieldDrainTimer = 0.0f;
    bool energyEmpty = false;
    bool shielding = false;
    bool abilitiesDisabled = false;
    bool rechargeBlocked = false;
    float abilitiesDisabledTimer = 0.0f;

    int points = 0;  // kept across Init

    bool goReceived = false;
    bool started = false;
    float stallTimer = 0.0f;  // simulated s the ship has been alive and free since it started or came back

    float deathTimer = 0.0f;
    float blinkTimer = 0.0f;
    bool blinkStartDone = false;

    ClientRect clientRect;

    // The crawler carrying the ship, or null before its announcement.
    SplineCrawler* GetCrawler() const;
    u32 GetCrawlerObjectId() const { return crawlerObjectId_; }
    u32 GetCameraObjectId() const { return cameraObjectId_; }
    u32 GetWeaponId() const { return weaponId_; }

private:
    void Steer(bool left);
    void MoveOnCircle();
    void UpdateSteering(float dt);
    void UpdateStart();
    void UpdateEnergy(float dt);
    void Recharge();
    void TankEmpty();
    void StartBoost();
    void Death();
    void UpdateDeathSequence(float dt);
    // The ship is dead (disabled) and not yet visible again.
    bool Invisible() const { return !IsEnabled() && deathTimer < invisTime; }
    // A sibling (or the weapon) on or off; nothing when it is gone.
    static void SetComponentEnabled(u32 componentId, bool enabled);
    // Queues the sound event at the ship's place and facing; an empty name plays nothing.
    void PlaySound(const std::string& name, float volume) const;
    void StopShieldHum() const;
    void SetTrailEnabled(bool enabled) const;
    D3DXVECTOR3 WorldPosition() const;
    // The object carrying the ship (its parent), 0 for none.
    u32 ParentObjectId() const;

    // Siblings as found at Init (component ids; 0: none).
    u32 transformId_ = 0;
    u32 healthId_ = 0;
    u32 modelId_ = 0;
    u32 sphereId_ = 0;
    u32 trailId_ = 0;
    u32 humId_ = 0;
    // From messages.
    u32 crawlerObjectId_ = 0;
    u32 crawlerId_ = 0;
    u32 cameraObjectId_ = 0;
    u32 cameraTransformId_ = 0;
    u32 weaponId_ = 0;
    // The crawler's elapsed (simulated s) at the last Update.
    float stallClock_ = 0.0f;
};
