#include "scene/StagedScene.h"

#include <lua.hpp>

void StagedScene::KeepTables(lua_State* L, int reference, const std::string& path) {
    if (L_) luaL_unref(L_, LUA_REGISTRYINDEX, reference_);
    L_ = L;
    reference_ = reference;
    path_ = path;
}

bool StagedScene::PushTables() const {
    if (!L_) return false;
    lua_rawgeti(L_, LUA_REGISTRYINDEX, reference_);
    return true;
}

void StagedScene::Drop() {
    if (L_) luaL_unref(L_, LUA_REGISTRYINDEX, reference_);
    L_ = nullptr;
    path_.clear();
    parentLinks_.clear();
    crawlerBindings_.clear();
    archetypes_.clear();
    instances_.clear();
    refused_.clear();
    tooMany_ = {};
    count_ = {};
}
