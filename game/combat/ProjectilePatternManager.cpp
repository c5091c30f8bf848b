#include "game/combat/ProjectilePatternManager.h"

#include "engine/Logger.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "game/combat/BottomLeftSin.h"
#include "game/combat/BottomRightSin.h"
#include "game/combat/BottomSin.h"
#include "game/combat/CircleShot.h"
#include "game/combat/LeftSin.h"
#include "game/combat/Normal.h"
#include "game/combat/RightSin.h"
#include "game/combat/TopLeftSin.h"
#include "game/combat/TopRightSin.h"
#include "game/combat/TopSin.h"

ProjectilePatternManager::ProjectilePatternManager(const ProjectilePatternManager& other)
    : Component(other), patternToUse(other.patternToUse) {}

ProjectilePatternManager::~ProjectilePatternManager() {
    Shutdown();
}

void ProjectilePatternManager::Reflect(MemberList<ProjectilePatternManager>& members) {
    members.Add("patternToUse", &ProjectilePatternManager::patternToUse);
}

void ProjectilePatternManager::Init() {
    patterns_.clear();
    patterns_["CircleShot"] = std::make_unique<CircleShot>();
    patterns_["TopSin"] = std::make_unique<TopSin>();
    patterns_["BottomSin"] = std::make_unique<BottomSin>();
    patterns_["LeftSin"] = std::make_unique<LeftSin>();
    patterns_["RightSin"] = std::make_unique<RightSin>();
    patterns_["TopLeftSin"] = std::make_unique<TopLeftSin>();
    patterns_["BottomLeftSin"] = std::make_unique<BottomLeftSin>();
    patterns_["TopRightSin"] = std::make_unique<TopRightSin>();
    patterns_["BottomRightSin"] = std::make_unique<BottomRightSin>();
    patterns_["Normal"] = std::make_unique<Normal>();
    current_ = GetPattern(patternToUse);
    if (current_) current_->Init(GetOwner());
    active_ = false;
}

void ProjectilePatternManager::Shutdown() {
    current_ = nullptr;
    patterns_.clear();
    active_ = false;
}

ProjectilePattern* ProjectilePatternManager::GetPattern(const std::string& name) const {
    auto it = patterns_.find(name);
    return it == patterns_.end() ? nullptr : it->second.get();
}

void ProjectilePatternManager::Launch(u32 shooterId) {
    if (!current_) {
        Log("ProjectilePatternManager on object %u: patternToUse \"%.64s\" names no pattern; the bullet stays put",
            GetOwner(), patternToUse.c_str());
        return;
    }
    Transform* shooter = Overlord::FindComponent<Transform>(shooterId);
    if (!shooter) {
        Log("ProjectilePatternManager on object %u: the shooter %u has no Transform; the bullet stays put", GetOwner(),
            shooterId);
        return;
    }
    active_ = true;
    current_->Aim(shooterId, *shooter);
}

void ProjectilePatternManager::Update(float) {
    if (active_ && current_) current_->Update();
}
