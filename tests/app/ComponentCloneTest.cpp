// Every component class of the start-up tables, with each reflected member
// moved away from its prototype's value, clones to a component that writes
// the same member text: a member the class's copy leaves behind shows up as a
// difference. The same text read into a fresh copy of the prototype writes
// the same again, and the members keep their file keys in file order.
// Values are moved through their own Lua text, so nested structures, fixed
// arrays and sequences are covered without knowing them.
#include <gtest/gtest.h>

#include <lua.hpp>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "app/ClassRegistrations.h"
#include "engine/IComponent.h"
#include "reflection/DataError.h"
#include "reflection/IMeta.h"
#include "reflection/IMetaClass.h"
#include "reflection/MemberText.h"
#include "reflection/MetaRegistry.h"
#include "scene/ObjectFactory.h"

namespace {

// away: every leaf changes (numbers by one, or halved where one is lost in
// rounding, as for a largest-float default; booleans flip, strings grow).
// grow: every empty table gets one empty element, so sequences have leaves.
constexpr const char* kLuaHelpers = R"(
function away(v)
    if type(v) == "number" then
        if v + 1 == v then return v / 2 end
        return v + 1
    end
    if type(v) == "boolean" then return not v end
    if type(v) == "string" then return v .. "x" end
    if type(v) == "table" then
        for k, x in pairs(v) do v[k] = away(x) end
    end
    return v
end
function grow(v)
    if type(v) ~= "table" then return v end
    if next(v) == nil then return { {} } end
    for k, x in pairs(v) do v[k] = grow(x) end
    return v
end
)";

class ComponentCloneTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClassRegistrations::RegisterAll(registry_, factory_);
        luaL_openlibs(L_);
        ASSERT_EQ(luaL_dostring(L_, kLuaHelpers), 0);
    }
    void TearDown() override { lua_close(L_); }

    static const char* MemberOf(const IMetaMemVar& m, const void* object) {
        return static_cast<const char*>(object) + m.GetOffset();
    }
    static std::string ValueText(const IMetaMemVar& m, const void* object) {
        return m.GetType()->ToString(MemberOf(m, object));
    }

    // Runs `{ name = fn(value text) }` and reads the member from it; false
    // when the member cannot take the result.
    bool Apply(const IMetaMemVar& m, void* object, const char* fn) {
        const std::string chunk = "return { " + m.GetName() + " = " + fn + "(" + ValueText(m, object) + ") }";
        if (luaL_loadbuffer(L_, chunk.data(), chunk.size(), "member") != 0 || lua_pcall(L_, 0, 1, 0) != 0) {
            ADD_FAILURE() << chunk << ": " << lua_tostring(L_, -1);
            lua_pop(L_, 1);
            return false;
        }
        bool read = true;
        try {
            m.ReadFromLua(object, L_);
        } catch (const DataError&) {
            read = false;
        }
        lua_settop(L_, 0);
        return read;
    }

    // Moves every member of `object` away from its value; an empty sequence
    // first gets one element, whose members then move too. Returns the
    // members that stay as they are: sequences of elements no file can hold
    // (pointers), which files can only give empty.
    std::set<std::string> MoveEveryMember(const IMetaClass& metaClass, void* object) {
        std::set<std::string> fixed;
        for (IMetaMemVar* m = FirstWalkedMember(metaClass); m; m = m->Next()) {
            if (!Apply(*m, object, "grow") && ValueText(*m, object) == "{ }") fixed.insert(m->GetName());
            EXPECT_TRUE(Apply(*m, object, "away")) << metaClass.GetName() << "." << m->GetName();
        }
        return fixed;
    }

    // Runs `return <text>` and reads every member of `object` from it.
    bool ReadAll(const IMetaClass& metaClass, const std::string& text, void* object) {
        const std::string chunk = "return " + text;
        if (luaL_loadbuffer(L_, chunk.data(), chunk.size(), "text") != 0 || lua_pcall(L_, 0, 1, 0) != 0) return false;
        bool read = true;
        try {
            for (IMetaMemVar* m = FirstWalkedMember(metaClass); m; m = m->Next()) m->ReadFromLua(object, L_);
        } catch (const DataError&) {
            read = false;
        }
        lua_settop(L_, 0);
        return read;
    }

    MetaRegistry registry_;
    ObjectFactory factory_;
    lua_State* L_ = luaL_newstate();
};

TEST_F(ComponentCloneTest, CloneWritesTheSameTextWithEveryMemberChanged) {
    ASSERT_FALSE(ClassRegistrations::ComponentClasses().empty());
    for (const ComponentClassEntry& entry : ClassRegistrations::ComponentClasses()) {
        SCOPED_TRACE(entry.name);
        const IMetaClass* metaClass = registry_.GetByName(entry.name);
        IComponent* prototype = factory_.GetPrototype(entry.name);
        ASSERT_TRUE(metaClass && prototype);
        std::unique_ptr<IComponent> original(prototype->Clone());
        original->SetOwner(4242);
        const std::set<std::string> fixed = MoveEveryMember(*metaClass, original.get());
        for (IMetaMemVar* m = FirstWalkedMember(*metaClass); m; m = m->Next()) {
            if (fixed.count(m->GetName())) continue;
            EXPECT_NE(ValueText(*m, original.get()), ValueText(*m, prototype)) << m->GetName() << " kept its value";
        }

        std::unique_ptr<IComponent> copy(original->Clone());
        EXPECT_EQ(MemberText::WriteFull(*metaClass, copy.get()), MemberText::WriteFull(*metaClass, original.get()));
        EXPECT_EQ(copy->GetTypeId(), original->GetTypeId());
        EXPECT_NE(copy->GetId(), original->GetId());
        EXPECT_EQ(copy->GetOwner(), 0u);
    }
}

// Scene and archetype files hold the members under these keys, newest first:
// a renamed or reordered member no longer reads the files already written.
// Every component class is listed, those without members too.
const std::map<std::string, std::string> kFileKeys = {
    {"AABBCollider", ""},
    {"Body", "instantTorque persistTorque persistForce angVel vel mass "},
    {"BoundingSphere", ""},
    {"Brain", "halfCircle moveLeft angleIncrement circleRadius firingRangeAngle "},
    {"Camera", "FUZZY_CAMZ FUZZY_CAMY FUZZY_CAMX elevation distance camPos "},
    {"Collision", ""},
    {"CylinderCollision", "axis collisionGroup visionRadius restitution radius "},
    {"Damage", "damageAmount "},
    {"DistanceLord", "codes distances "},
    {"EditorProxyObject", ""},
    {"Event", "deactivateActions activateActions deactivateTriggers activateTriggers "},
    {"FreeRoamCamera", "velocity "},
    {"GameCamera", "targetOffset "},
    {"GlobalLighting",
     "AmbientIntensity DirectionalLightIntensity DirectionalLightColor DirectionalLightingDirection "},
    {"HUDComponent", "countdownDuration enableBarText "},
    {"HackComponent", ""},
    {"Health",
     "shieldCancelEffect disableWaitTime disableTime hasDisablingBehavior flashResetTime impactSound deathSound "
     "invulnerableTime currentHP rechargeWaitTime hpRechargeValue maxHP "},
    {"IsoCamera", ""},
    {"Lifetime", "lifetime "},
    {"LoopedSound", "autoPlay positioned volume filename "},
    {"Model", "material filename "},
    {"Movement", "targetSize thrusterPower movementForces movementFuzz validRotationAxes patrolling waypointList "},
    {"MysteryBox",
     "enabledSpecialSpeedBonus energyToGivePlayer specialSpeedToGivePlayer speedToGivePlayer pointsGivenOnCollision "
     "pointsGivenOnDeath "},
    {"ParticleEffect", "killEmitter ParticleArchetypes "},
    {"ParticleEmmiter", "particles active dieOnStop continuous fallOff emitterDuration "},
    {"PathFollowCamera", "lookAheadDistance acceleration velocity "},
    {"Player",
     "dieAtPersistVel disablePlayerBoost disablePlayerWeapon disablePlayerShield startingBoost "
     "abilitiesDisabledWaitTime emptySound shieldSound shieldEnergyDrainWaitTime shieldingCost boostingCost "
     "energyTankRechargeAmt boostSound boostEnergyDrainWaitTime energyRechargeWaitTime boostAmount boostInitCost "
     "energyTankCapacity blinkStep blinkTime invisTime deathAcceleration numOfLives minAngleInc initAngleInc "
     "circleRadius pointsLostOnCollision pointsLostOnDeath "},
    {"PlayerPath",
     "frameDelta material tunnelSideCount tunnelRadius extrudeTunnelOverPath circularPath splineLookAtDistance wps "},
    {"PlayerPositionTrigger", "triggerCode "},
    {"PointLight", "mDiffuse mRange "},
    {"PowerUp", ""},
    {"Primitive",
     "material solidColor endColor color noiseGlowmap gaussian persist octaves height width objectDepth objectHeight "
     "objectWidth rz ry r slices stacks gradient noisy primType "},
    {"Projectile", "playerVelocityDivideAmount bulletVelocity "},
    {"ProjectilePatternManager", "patternToUse "},
    {"Sataleye", "radius3 radius2 radius1 speed3 speed2 speed1 orbitPoint close mid distant "},
    {"ScreenText", "fontColor text fontSize fontName "},
    {"Skybox", "material filename "},
    {"Spawner", "triggerCode archetype "},
    {"SphereCollision", "collisionGroup visionRadius restitution radius "},
    {"SplineCrawler",
     "negativeBonusWaitTime positiveBonusWaitTime returnToInitVelAccelAmount splineGameObjectID distance "
     "lookAheadDistance maxVelocity minVelocity persistVelocity persistAcceleration "},
    {"SplineMultiSpawner",
     "halfCircleAltVal halfCircle moveLeftAltVal moveLeft angleIncStep angleInc circleRadius lastTrigger autoTrigger "
     "numSpawns angleStep distanceStep angleOnSpline offsetFromPlayerRadius distanceAlongSpline triggerCode "
     "archetype "},
    {"SplineObjectSpawner",
     "initialAccelleration initialVelocity offsetFromSpline spawnDistanceFromPlayer triggerCode archetype "},
    {"TimeLord", "codes times "},
    {"Transform", "isInScreenSpace scale rotation position "},
    {"WaypointProxyVisualization", ""},
    {"Weapon", "fireSound projectileArchetypes maxRechargeTime "},
    {"WeaponSpline",
     "bulletEnergyCost spawnDistanceFromPlayer initialAcceleration initialVelocity fireSound archetype "
     "maxRechargeTime "},
};

TEST_F(ComponentCloneTest, FullTextReadsBackUnderTheFileKeys) {
    for (const ComponentClassEntry& entry : ClassRegistrations::ComponentClasses()) {
        SCOPED_TRACE(entry.name);
        const IMetaClass* metaClass = registry_.GetByName(entry.name);
        IComponent* prototype = factory_.GetPrototype(entry.name);
        ASSERT_TRUE(metaClass && prototype);
        std::string keys;
        for (IMetaMemVar* m = FirstWalkedMember(*metaClass); m; m = m->Next()) keys += m->GetName() + " ";
        const auto pinned = kFileKeys.find(entry.name);
        ASSERT_NE(pinned, kFileKeys.end()) << "a new class: list its file keys";
        EXPECT_EQ(keys, pinned->second);

        std::unique_ptr<IComponent> original(prototype->Clone());
        MoveEveryMember(*metaClass, original.get());
        const std::string text = MemberText::WriteFull(*metaClass, original.get());
        std::unique_ptr<IComponent> read(prototype->Clone());
        ASSERT_TRUE(ReadAll(*metaClass, text, read.get())) << text;
        EXPECT_EQ(MemberText::WriteFull(*metaClass, read.get()), text);
    }
}

}  // namespace
