// The motion of a projectile: owns one pattern of each of the ten kinds (made
// at Init, deleted at Shutdown or with the manager) and, once a weapon has
// launched it, steps the one named by patternToUse once a world step
// (GameLogic calls Update after the weapons). Owned by the projectile's object; main
// thread only.
#pragma once
#include <map>
#include <memory>
#include <string>

#include "engine/Component.h"
#include "game/combat/ProjectilePattern.h"

class ProjectilePatternManager : public Component<ProjectilePatternManager> {
public:
    ProjectilePatternManager() = default;
    // A copy starts with no patterns and unlaunched: its own Init makes its
    // patterns for its own object (patterns point into their object).
    ProjectilePatternManager(const ProjectilePatternManager& other);
    ~ProjectilePatternManager() override;

    static void Reflect(MemberList<ProjectilePatternManager>& members);

    // When launched, one step of the current pattern (dt is not used).
    void Update(float dt) override;
    // Makes the ten patterns, binds the one named by patternToUse to this
    // object and waits for the launch.
    void Init() override;
    // Deletes the patterns.
    void Shutdown() override;

    // Called by the weapon that made this projectile: aims the current
    // pattern from shooterId (its facing, motion and position) and starts the
    // steps. Without a current pattern, or a shooter without a Transform, a
    // log row, and the bullet stays where it is.
    void Launch(u32 shooterId);

    bool IsActive() const { return active_; }
    // The pattern filed under that name, or null.
    ProjectilePattern* GetPattern(const std::string& name) const;
    ProjectilePattern* GetCurrent() const { return current_; }
    size_t PatternCount() const { return patterns_.size(); }

    std::string patternToUse;  // one of the ten pattern names

private:
    std::map<std::string, std::unique_ptr<ProjectilePattern>> patterns_;
    ProjectilePattern* current_ = nullptr;  // one of patterns_, or null
    bool active_ = false;
};
