#include "scene/SceneLoader.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <unordered_set>

#include <lua.hpp>

#include "core/ShownText.h"
#include "engine/GameObject.h"
#include "engine/Logger.h"
#include "engine/SceneObjectBudget.h"
#include "port/os/FileCase.h"
#include "port/os/WholeFile.h"
#include "reflection/DataError.h"
#include "reflection/LuaRead.h"
#include "reflection/MemberBudget.h"
#include "reflection/MetaRegistry.h"
#include "scene/DevozizuDave.h"
#include "scene/ObjectFactory.h"
#include "scene/StagedScene.h"

namespace {

constexpr int kDefaultStepLimit = 50'000'000;            // VM instructions per file
constexpr std::size_t kDefaultMemoryLimit = 256u << 20;  // bytes of Lua memory per file
constexpr std::size_t kCollectAbove = 32u << 20;         // full collection after a file above this
constexpr std::size_t kMaxArchetypes = 10000;            // archetype names one scene may list

void DefaultReport(const std::string& caption, const std::string& text) {
    if (Logger* logger = Logger::Instance()) logger->QueueLine(caption + ": " + text);
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

SceneLoader::FailureReporter g_reporter = &DefaultReport;

void* Allocate(void* context, void* block, std::size_t oldSize, std::size_t newSize) {
    auto* memory = static_cast<SceneLoader::Memory*>(context);
    if (!block) oldSize = 0;
    if (newSize == 0) {
        std::free(block);
        memory->used -= oldSize;
        return nullptr;
    }
    if (memory->limit != 0 && newSize > oldSize && memory->used - oldSize + newSize > memory->limit) return nullptr;
    void* grown = std::realloc(block, newSize);
    if (!grown) return nullptr;
    memory->used = memory->used - oldSize + newSize;
    return grown;
}

int Panic(lua_State* L) {
    std::fprintf(stderr, "Lua: unprotected error: %s\n", lua_tostring(L, -1) ? lua_tostring(L, -1) : "?");
    return 0;
}

void StepHook(lua_State* L, lua_Debug*) {
    luaL_error(L, "the file runs too long");
}

// Puts the stack back to its height at construction, whatever happened.
class StackGuard {
public:
    explicit StackGuard(lua_State* L) : L_(L), top_(lua_gettop(L)) {}
    ~StackGuard() { lua_settop(L_, top_); }
    StackGuard(const StackGuard&) = delete;
    StackGuard& operator=(const StackGuard&) = delete;

private:
    lua_State* L_;
    int top_;
};

// The text of the file path between its last separator and its last '.'.
std::string BaseName(const std::string& path) {
    const std::size_t separator = path.find_last_of("/\\");
    const std::size_t start = separator == std::string::npos ? 0 : separator + 1;
    const std::size_t dot = path.rfind('.');
    const std::size_t end = (dot == std::string::npos || dot < start) ? path.size() : dot;
    return path.substr(start, end - start);
}

// The key at -2 as a class or member name; anything else is a fault.
std::string NameKey(lua_State* L) {
    if (lua_type(L, -2) != LUA_TSTRING) throw DataError(": a key that is no name (" + lua_read::TypeName(L, -2) + ")");
    std::size_t length = 0;
    const char* text = lua_tolstring(L, -2, &length);
    return std::string(text, length);
}

// Reads field `key` of the table at `index` as a rounded number (0 when it
// is absent or no number).
int NumberField(lua_State* L, int index, const char* key) {
    lua_getfield(L, index, key);
    const int value = lua_read::RoundToInt(lua_read::ToNumber(L, -1));
    lua_pop(L, 1);
    return value;
}

void ExpectTable(lua_State* L, const std::string& where) {
    if (!lua_istable(L, -1)) throw DataError(where + ": table expected, got " + lua_read::TypeName(L, -1));
}

}  // namespace

void SceneLoader::SetFailureReporter(FailureReporter reporter) {
    g_reporter = reporter ? reporter : &DefaultReport;
}

void SceneLoader::Report(const std::string& caption, const std::string& text) {
    g_reporter(caption, text);
}

SceneLoader::SceneLoader() : stepLimit_(kDefaultStepLimit), memoryLimit_(kDefaultMemoryLimit) {
    L_ = lua_newstate(&Allocate, &memory_);
    if (L_) lua_atpanic(L_, &Panic);
}

SceneLoader::~SceneLoader() {
    if (L_) lua_close(L_);
}

void SceneLoader::SetRunLimits(int steps, std::size_t bytes) {
    stepLimit_ = steps;
    memoryLimit_ = bytes;
}

std::size_t SceneLoader::DataFileLimit() const {
    return memoryLimit_ != 0 ? std::min(dataFileLimit_, memoryLimit_) : dataFileLimit_;
}

std::size_t SceneLoader::FileLimit() const {
    if (fileLimit_ == 0) return DataFileLimit();
    return memoryLimit_ != 0 ? std::min(fileLimit_, memoryLimit_) : fileLimit_;
}

void SceneLoader::Fail(const std::string& text) {
    lastError_ = text;
    if (checkedText_) return;  // a check of a save: its caller reports
    ++failureCount_;
    g_reporter(kFailureCaption, text);
}

bool SceneLoader::CheckSceneText(const std::string& text, const std::string& path, std::string* error) {
    checkedText_ = &text;
    const bool loads = CheckScene(path);
    checkedText_ = nullptr;
    if (!loads && error) *error = lastError_;
    return loads;
}

bool SceneLoader::LoadFile(const std::string& path) {
    std::string text;
    const std::size_t limit = FileLimit();
    int errorNumber = 0;
    const FileRead read = checkedText_ ? (checkedText_->size() > limit ? FileRead::TooLarge : FileRead::Ok)
                                       : ReadWholeFile(ResolveFileFoldingCase(path), limit, &text, &errorNumber);
    if (read != FileRead::Ok) {
        Fail(FileReadErrorText(read, path, limit, errorNumber));
        return false;
    }
    if (checkedText_) text = *checkedText_;
    // As the stand-alone loader does: a first line starting with '#' is
    // skipped (its line end kept, so line numbers stay right).
    std::size_t start = 0;
    if (!text.empty() && text[0] == '#') start = std::min(text.find('\n'), text.size());
    const std::string chunkName = "@" + path;
    memory_.limit = memoryLimit_;
    const int status = lua_read::LoadSource(L_, text.data() + start, text.size() - start, chunkName);
    memory_.limit = 0;
    if (status != 0) {
        const std::string error = lua_read::FileError(L_, path);
        lua_pop(L_, 1);
        Fail(error);
        return false;
    }
    return true;
}

void SceneLoader::PushSandbox(const std::string& name) {
    lua_newtable(L_);
    lua_pushlstring(L_, name.data(), name.size());
    lua_pushvalue(L_, -2);
    lua_settable(L_, LUA_GLOBALSINDEX);
    lua_pushvalue(L_, -1);
    lua_setfenv(L_, -3);
}

void SceneLoader::DropSandbox(const std::string& name) {
    lua_pushlstring(L_, name.data(), name.size());
    lua_pushnil(L_);
    lua_settable(L_, LUA_GLOBALSINDEX);
}

bool SceneLoader::RunFile(const std::string& path, const std::string& sandbox) {
    if (!L_) {
        Fail("no Lua state");
        return false;
    }
    if (!LoadFile(path)) return false;
    PushSandbox(sandbox);   // chunk, table
    lua_pushvalue(L_, -2);  // chunk, table, chunk
    memory_.limit = memoryLimit_;
    lua_sethook(L_, &StepHook, LUA_MASKCOUNT, stepLimit_);
    const int status = lua_pcall(L_, 0, 0, 0);
    lua_sethook(L_, nullptr, 0, 0);
    memory_.limit = 0;
    if (status != 0) {
        const std::string error = lua_read::FileError(L_, path);
        lua_pop(L_, 3);
        DropSandbox(sandbox);
        if (memory_.used > kCollectAbove) lua_gc(L_, LUA_GCCOLLECT, 0);
        Fail(error);
        return false;
    }
    lua_remove(L_, -2);  // the chunk; the table stays
    return true;
}

bool SceneLoader::ReadThenDrop(const std::string& path, const std::string& sandbox, const std::function<void()>& read) {
    try {
        read();
    } catch (const DataError& e) {
        DropSandbox(sandbox);
        Fail(path + ": " + e.what());
        return false;
    }
    DropSandbox(sandbox);
    return true;
}

// Components are added in the order of their class names, whatever order the
// file lists them in (Lua's traversal order would depend on how the table
// was built): a scene read and written again gives the same text.
std::vector<std::string> SceneLoader::SortedComponentKeys(int table) {
    std::vector<std::string> keys;
    lua_pushnil(L_);
    while (lua_next(L_, table) != 0) {
        std::string key = NameKey(L_);
        if (key != "SceneGUID") keys.push_back(std::move(key));
        lua_settop(L_, table + 1);
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

void SceneLoader::PushField(int table, const std::string& key) {
    lua_pushlstring(L_, key.data(), key.size());
    lua_rawget(L_, table);
}

const IMetaClass* SceneLoader::ComponentClassOnTop(const std::string& className, IComponent** prototype) {
    ObjectFactory* factory = ObjectFactory::Instance();
    MetaRegistry* registry = MetaRegistry::Instance();
    const IMetaClass* metaClass = registry ? registry->GetByName(className) : nullptr;
    *prototype = metaClass && factory ? factory->GetPrototype(metaClass->GetTypeId()) : nullptr;
    if (!*prototype) throw DataError(ShownText(className) + ": no component class of this name");
    ExpectTable(L_, className);
    return metaClass;
}

// Each key's class gives the component: the one read for an earlier key of
// that class, else a copy of `base`'s first component of the class (or of
// the class prototype), charged with what it holds; then each member reads
// its value under a MemberBudget::Reading, and the component is charged with
// what it holds afterwards.
void SceneLoader::ReadComponentTables(const StagedScene::Components* base, StagedScene::Components& into) {
    ExpectTable(L_, "");
    lua_read::EnsureStack(L_, 4);
    const int table = lua_gettop(L_);
    for (const std::string& className : SortedComponentKeys(table)) {
        PushField(table, className);
        IComponent* prototype = nullptr;
        const IMetaClass* metaClass = ComponentClassOnTop(className, &prototype);
        IComponent* component = FirstOfType(into, metaClass->GetTypeId());
        if (!component) {
            IComponent* source = base ? FirstOfType(*base, metaClass->GetTypeId()) : nullptr;
            if (!source) source = prototype;
            const u64 bytes = MemberBudget::Measure(*metaClass, source);
            if (!MemberBudget::Fits(bytes)) throw MemberBudget::Exceeded();
            component = into.emplace_back(source->Clone()).get();
            MemberBudget::Hold(component->MemberBytes(), bytes);
        }
        try {
            MemberBudget::Reading reading;
            reading.Prepay(LuaBytes(*metaClass));
            for (IMetaMemVar* m = FirstWalkedMember(*metaClass); m; m = m->Next()) m->ReadFromLua(component, L_);
        } catch (const DataError& e) {
            throw e.Within(className);
        }
        MemberBudget::Hold(component->MemberBytes(), MemberBudget::Measure(*metaClass, component));
        lua_settop(L_, table);
    }
}

u64 SceneLoader::LuaBytes(const IMetaClass& metaClass) {
    u64 bytes = 0;
    for (IMetaMemVar* m = FirstWalkedMember(metaClass); m; m = m->Next()) {
        if (!m->GetType()->IsCounted()) continue;
        PushField(lua_gettop(L_), m->GetName());
        bytes += m->GetType()->LuaBytes(L_);
        lua_pop(L_, 1);
    }
    return bytes;
}

IComponent* SceneLoader::FirstOfType(const StagedScene::Components& components, u32 typeId) {
    for (const auto& component : components)
        if (component && component->GetTypeId() == typeId) return component.get();
    return nullptr;
}

bool SceneLoader::IsArchetypeName(const std::string& name) {
    // The file's name is the archetype's name and the arch folder's extension.
    const DevozizuDave* folders = DevozizuDave::Instance();
    const std::size_t extension = folders ? folders->arch.extension.size() : 0;
    return !name.empty() && name.size() + extension <= kMaxArchetypeNameBytes &&
           name.find_first_of("/\\") == std::string::npos && name.find('\0') == std::string::npos;
}

bool SceneLoader::LoadArchetype(const std::string& name) {
    GameObject* prototype = ReadArchetype(name);
    if (!prototype) return false;
    ObjectFactory::Get().AddArchetypeByName(prototype);
    return true;
}

GameObject* SceneLoader::ReadArchetype(const std::string& name) {
    StagedScene::Components components;
    return ReadArchetypeComponents(name, components) ? MakePrototype(name, components) : nullptr;
}

GameObject* SceneLoader::MakePrototype(const std::string& name, StagedScene::Components& components) {
    ObjectFactory* factory = ObjectFactory::Instance();
    GameObject* object = factory ? factory->NewGameObject() : new GameObject();
    object->SetArchetypeName(name);
    for (auto& component : components) object->AddComponent(component.release());
    components.clear();
    return object;
}

bool SceneLoader::ReadArchetypeComponents(const std::string& name, StagedScene::Components& components) {
    DevozizuDave* folders = DevozizuDave::Instance();
    ObjectFactory* factory = ObjectFactory::Instance();
    if (!IsArchetypeName(name)) {
        Fail("\"" + ShownText(name) + "\" is no archetype name");
        return false;
    }
    if (!folders || !factory || !L_) {
        Fail("archetype " + name + ": the asset folders or the object factory are missing");
        return false;
    }
    const std::string path = folders->arch.GetFullPath(name);
    StackGuard guard(L_);
    if (!RunFile(path, name)) return false;
    bool refused = false;
    const auto read = [&] {
        try {
            ReadComponentTables(nullptr, components);
        } catch (const MemberBudget::Exceeded&) {
            refused = true;
        }
    };
    const bool loads = ReadThenDrop(path, name, read);
    if (loads && refused) ReportRefusedArchetype(name);
    if (loads && !refused) return true;
    components.clear();
    return false;
}

void SceneLoader::ReportRefusedArchetype(const std::string& name) {
    const u32 scene = MemberBudget::Current().scene;
    if (refusedArchetypesScene_ != scene) refusedArchetypes_.clear();
    refusedArchetypesScene_ = scene;
    if (!refusedArchetypes_.insert(name).second) return;
    Log("SceneLoader: archetype %s: its lists and strings would take what the scene's reflected members hold past "
        "%s (%s in use); it is not loaded",
        ShownText(name).c_str(), ByteCountText(MemberBudget::kSceneBytes).c_str(),
        ByteCountText(MemberBudget::Current().used).c_str());
}

bool SceneLoader::LoadReflected(const std::string& path, const IMetaClass& metaClass, void* object,
                                std::size_t fileLimit) {
    if (!L_) return false;
    StackGuard guard(L_);
    fileLimit_ = fileLimit;
    const bool ran = RunFile(path, path);
    fileLimit_ = 0;
    if (!ran) return false;
    return ReadThenDrop(path, path, [&] {
        for (IMetaMemVar* m = FirstWalkedMember(metaClass); m; m = m->Next()) m->ReadFromLua(object, L_);
    });
}

bool SceneLoader::LoadScene(const std::string& path, StagedScene* staged) {
    saveNumbers_.clear();
    if (staged) staged->Drop();
    if (!L_) return false;
    StackGuard guard(L_);
    const std::string sandbox = BaseName(path);
    if (!RunFile(path, sandbox)) return false;
    // What the check reads is counted on a budget of its own, which a stage
    // keeps for the commit to make current once the old scene is cleared.
    const MemberBudget::Count previous = MemberBudget::Stage();
    StagedScene scratch;
    StagedScene& stage = staged ? *staged : scratch;
    // A save's check (no stage) reads no archetype file and keeps nothing: it
    // reads every component table into one component of its class.
    StagedScene::Components checked;
    const bool read = ReadThenDrop(path, sandbox, [&] {
        const int table = lua_gettop(L_);
        lua_read::EnsureStack(L_, 8);
        const std::vector<std::string> names = ReadArchetypeNames(table);
        for (const std::string& name : names) {
            StagedScene::Archetype& archetype = stage.Archetypes().emplace_back();
            archetype.name = name;
            archetype.loaded = staged && !name.empty() && ReadArchetypeComponents(name, archetype.components);
        }
        for (const StagedScene::Archetype& archetype : stage.Archetypes())
            ForEachInstance(table, archetype.name, [&](int index) {
                if (staged)
                    StageInstance(*staged, archetype, index);
                else
                    CheckInstance(checked);
            });
        CheckListOfTables(table, "ParentChild");
        CheckListOfTables(table, "SplineCrawlers");
        if (staged) {
            lua_pushvalue(L_, table);
            staged->KeepTables(L_, luaL_ref(L_, LUA_REGISTRYINDEX), path);
        }
    });
    stage.Count() = MemberBudget::Unstage(previous);
    if (!read) stage.Drop();
    return read;
}

std::vector<std::string> SceneLoader::UnlistedGroupsOf(const std::string& path) const {
    return IsLastSceneFile(path) ? unlistedGroups_ : std::vector<std::string>();
}

StagedScene::Excess SceneLoader::RefusedObjectsOf(const std::string& path) const {
    if (!IsLastSceneFile(path)) return {};
    if (refusedObjects_.empty()) return tooMany_;
    return {refusedObjects_.front(), refusedObjects_.size() + tooMany_.count};
}

bool SceneLoader::IsLastSceneFile(const std::string& path) const {
    if (unlistedGroups_.empty() && refusedObjects_.empty() && tooMany_.count == 0)
        return false;  // nothing to ask a file system for
    std::error_code error;
    return path == lastScenePath_ || std::filesystem::equivalent(path, lastScenePath_, error);
}

bool SceneLoader::MakeScene(StagedScene& staged, const std::function<void(GameObject&)>& place) {
    saveNumbers_.clear();
    if (!L_) return false;
    StackGuard guard(L_);
    if (!staged.PushTables()) return false;
    MemberBudget::Adopt(staged.Count());
    try {
        ReadSceneTables(staged, place);
    } catch (const DataError& e) {
        Fail(staged.Path() + ": " + e.what());
        return false;
    }
    return true;
}

void SceneLoader::StageInstance(StagedScene& staged, const StagedScene::Archetype& archetype, int index) {
    const int table = lua_gettop(L_);
    StagedScene::Instance instance{archetype.name, index, NumberField(L_, table, "SceneGUID"), {}};
    // Past the bound on a scene's objects nothing more is read.
    if (staged.Instances().size() >= SceneObjectBudget::kMaxObjects) {
        StagedScene::Excess& excess = staged.TooMany();
        if (excess.count++ == 0) excess.first = ObjectPlace(archetype.name, index, instance.saveNumber);
        return;
    }
    try {
        ReadComponentTables(&archetype.components, instance.components);
    } catch (const MemberBudget::Exceeded&) {
        lua_settop(L_, table);
        staged.Refused().push_back(ObjectPlace(archetype.name, index, instance.saveNumber));
        return;
    }
    staged.Instances().push_back(std::move(instance));
}

// The values are read as a load reads them, so that what a load refuses is
// refused here. Each component table is read under a Reading of the check's
// own count, which holds nothing else: one table cannot make more than the
// scene's budget here either.
void SceneLoader::CheckInstance(StagedScene::Components& checked) {
    lua_read::EnsureStack(L_, 4);
    const int table = lua_gettop(L_);
    try {
        for (const std::string& className : SortedComponentKeys(table)) {
            PushField(table, className);
            IComponent* prototype = nullptr;
            const IMetaClass* metaClass = ComponentClassOnTop(className, &prototype);
            IComponent* component = FirstOfType(checked, metaClass->GetTypeId());
            if (!component) component = checked.emplace_back(prototype->Clone()).get();
            try {
                MemberBudget::Reading reading;
                for (IMetaMemVar* m = FirstWalkedMember(*metaClass); m; m = m->Next()) m->ReadFromLua(component, L_);
            } catch (const DataError& e) {
                throw e.Within(className);
            }
            lua_settop(L_, table);
        }
    } catch (const MemberBudget::Exceeded&) {
        lua_settop(L_, table);
    }
}

std::string SceneLoader::ObjectPlace(const std::string& archetype, int index, int saveNumber) {
    std::string place = ShownText(archetype) + "Instances[" + std::to_string(index) + "]";
    return saveNumber == 0 ? place : place + " (SceneGUID " + std::to_string(saveNumber) + ")";
}

void SceneLoader::CheckListOfTables(int table, const char* key) {
    lua_getfield(L_, table, key);
    if (!lua_isnil(L_, -1)) {
        ExpectTable(L_, key);
        const int list = lua_gettop(L_);
        lua_pushnil(L_);
        while (lua_next(L_, list) != 0) {
            ExpectTable(L_, std::string(key) + " entry");
            lua_settop(L_, list + 1);
        }
    }
    lua_settop(L_, table);
}

void SceneLoader::ReadSceneTables(StagedScene& staged, const std::function<void(GameObject&)>& place) {
    const int table = lua_gettop(L_);
    lua_read::EnsureStack(L_, 8);
    const std::vector<std::string> names = ReadArchetypeNames(table);
    // An archetype whose file failed was reported; its objects are made bare.
    ObjectFactory* factory = ObjectFactory::Instance();
    for (StagedScene::Archetype& archetype : staged.Archetypes())
        if (archetype.loaded && factory)
            factory->AddArchetypeByName(MakePrototype(archetype.name, archetype.components));
    for (StagedScene::Instance& instance : staged.Instances()) MakeObject(instance, staged, place);
    // Said now, as the scene is made: a save over its file would lose them.
    lastScenePath_ = staged.Path();
    unlistedGroups_ = FindUnlistedGroups(table, names);
    for (const std::string& group : unlistedGroups_)
        Log("SceneLoader: %s not loaded: its archetype is not in the Archetypes list of %s", group.c_str(),
            lastScenePath_.c_str());
    refusedObjects_ = staged.Refused();
    if (!refusedObjects_.empty())
        Log("SceneLoader: %s: %s was not made: what the reflected lists and strings of the scene's objects hold "
            "would pass %s; %zu objects in all were refused, and a save over this file would lose them",
            ShownText(lastScenePath_).c_str(), refusedObjects_.front().c_str(),
            ByteCountText(MemberBudget::kSceneBytes).c_str(), refusedObjects_.size());
    tooMany_ = staged.TooMany();
    if (tooMany_.count != 0)
        Log("SceneLoader: %s: %s was not made: the scene would hold more than %llu objects; %zu objects in all "
            "were refused, and a save over this file would lose them",
            ShownText(lastScenePath_).c_str(), tooMany_.first.c_str(),
            static_cast<unsigned long long>(SceneObjectBudget::kMaxObjects), tooMany_.count);
    ReadLinks(table, "ParentChild", "Child", "Parent", staged.ParentLinks());
    ReadLinks(table, "SplineCrawlers", "SplineCrawler", "Spline", staged.CrawlerBindings());
}

// Phase 1: the archetype names, each once, in the order listed.
std::vector<std::string> SceneLoader::ReadArchetypeNames(int table) {
    std::vector<std::string> names;
    std::unordered_set<std::string> seen;
    lua_getfield(L_, table, "Archetypes");
    if (!lua_isnil(L_, -1)) {
        ExpectTable(L_, "Archetypes");
        const int list = lua_gettop(L_);
        lua_pushnil(L_);
        while (lua_next(L_, list) != 0) {
            const int type = lua_type(L_, -1);
            if (type != LUA_TSTRING && type != LUA_TNUMBER)
                throw DataError("Archetypes: an archetype name expected, got " + lua_read::TypeName(L_, -1));
            std::size_t length = 0;
            const char* text = lua_tolstring(L_, -1, &length);  // the value, not the key: safe to convert
            std::string name(text, length);
            if (seen.insert(name).second) names.push_back(std::move(name));
            if (names.size() > kMaxArchetypes)
                throw DataError("Archetypes: more than " + std::to_string(kMaxArchetypes) + " archetypes");
            lua_settop(L_, list + 1);
        }
    }
    lua_settop(L_, table);
    return names;
}

// Tables "<Name>Instances" (and entries of "InstancesByArchetype") whose
// archetype the list does not name: phase 2 never reads them.
std::vector<std::string> SceneLoader::FindUnlistedGroups(int table, const std::vector<std::string>& names) {
    static const std::string kSuffix = "Instances";
    const std::unordered_set<std::string> listed(names.begin(), names.end());
    std::vector<std::string> unlisted;
    // A group is named with the count of its entries, when it has any.
    const auto note = [&](const std::string& group) {
        if (!lua_istable(L_, -1)) return;
        std::size_t count = 0;
        for (lua_pushnil(L_); lua_next(L_, -2) != 0; lua_pop(L_, 1)) ++count;
        if (count != 0) unlisted.push_back(group + " (" + std::to_string(count) + " objects)");
    };
    lua_pushnil(L_);
    while (lua_next(L_, table) != 0) {
        if (lua_type(L_, -2) == LUA_TSTRING) {
            std::size_t length = 0;
            const char* text = lua_tolstring(L_, -2, &length);
            const std::string key(text, length);
            const bool group =
                key.size() >= kSuffix.size() && key.compare(key.size() - kSuffix.size(), kSuffix.size(), kSuffix) == 0;
            if (group && !listed.count(key.substr(0, key.size() - kSuffix.size()))) note(ShownText(key));
            if (key == "InstancesByArchetype" && lua_istable(L_, -1))
                for (lua_pushnil(L_); lua_next(L_, -2) != 0; lua_pop(L_, 1))
                    if (lua_type(L_, -2) == LUA_TSTRING && !listed.count(lua_tostring(L_, -2)))
                        note("InstancesByArchetype[\"" + ShownText(lua_tostring(L_, -2)) + "\"]");
        }
        lua_settop(L_, table + 1);
    }
    lua_settop(L_, table);
    std::sort(unlisted.begin(), unlisted.end());
    return unlisted;
}

// Phase 2: one object, its archetype's components cloned (each charged to
// the MemberBudget) with the components its table named in their place, or
// after them when the archetype has none of that class; handed to `place`
// before the next one is made. An object whose clones would pass the budget
// is refused.
void SceneLoader::MakeObject(StagedScene::Instance& instance, StagedScene& staged,
                             const std::function<void(GameObject&)>& place) {
    // What the objects made before took (a HUD's pictures) may leave no room.
    if (!SceneObjectBudget::Fits()) {
        StagedScene::Excess& excess = staged.TooMany();
        if (excess.count++ == 0) excess.first = ObjectPlace(instance.archetype, instance.index, instance.saveNumber);
        instance.components.clear();
        return;
    }
    ObjectFactory* factory = ObjectFactory::Instance();
    const GameObject* prototype =
        instance.archetype.empty() || !factory ? nullptr : factory->GetArchetype(instance.archetype);
    // Per archetype component: the one read in its place, or null for a
    // clone, which holds `bytes`.
    std::vector<std::unique_ptr<IComponent>*> parts;
    std::vector<u64> bytes;
    u64 cloned = 0;
    for (IComponent* component : prototype ? prototype->GetComponents() : std::vector<IComponent*>()) {
        std::unique_ptr<IComponent>* part = nullptr;
        if (prototype->GetComponentByTypeId(component->GetTypeId()) == component)
            for (auto& read : instance.components)
                if (!part && read && read->GetTypeId() == component->GetTypeId()) part = &read;
        parts.push_back(part);
        cloned += bytes.emplace_back(part ? 0 : MemberBudget::Measure(component->GetTypeId(), component));
    }
    if (!MemberBudget::Fits(cloned)) {
        staged.Refused().push_back(ObjectPlace(instance.archetype, instance.index, instance.saveNumber));
        instance.components.clear();
        return;
    }
    GameObject* object = factory ? factory->NewGameObject() : new GameObject();
    object->JoinScene();
    // An archetype whose file failed still names the object's group, so
    // that saving the scene keeps the link.
    object->SetArchetypeName(instance.archetype);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (parts[i]) {
            object->AddComponent(parts[i]->release());
            continue;
        }
        IComponent* clone = prototype->GetComponents()[i]->Clone();
        object->AddComponent(clone);
        MemberBudget::Hold(clone->MemberBytes(), bytes[i]);
    }
    for (auto& read : instance.components)
        if (read) object->AddComponent(read.release());
    instance.components.clear();
    if (instance.saveNumber != 0) saveNumbers_.emplace(instance.saveNumber, object->GetId());
    place(*object);
}

void SceneLoader::ForEachInstance(int table, const std::string& name, const std::function<void(int)>& each) {
    PushInstanceGroup(table, name);
    if (lua_isnil(L_, -1)) {
        lua_settop(L_, table);
        return;
    }
    ExpectTable(L_, ShownText(name) + "Instances");
    const int group = lua_gettop(L_);
    lua_pushnil(L_);
    for (int index = 1; lua_next(L_, group) != 0; ++index) {
        const std::string where = ShownText(name) + "Instances[" + std::to_string(index) + "]";
        ExpectTable(L_, where);
        try {
            each(index);
        } catch (const DataError& e) {
            throw e.Within(where);
        }
        lua_settop(L_, group + 1);
    }
    lua_settop(L_, table);
}

void SceneLoader::PushInstanceGroup(int table, const std::string& name) {
    const std::string groupKey = name + "Instances";
    lua_pushlstring(L_, groupKey.data(), groupKey.size());
    lua_gettable(L_, table);
    if (lua_isnil(L_, -1)) {
        // Groups whose name is no Lua name are written into one table.
        lua_pop(L_, 1);
        lua_getfield(L_, table, "InstancesByArchetype");
        if (lua_istable(L_, -1)) {
            lua_pushlstring(L_, name.data(), name.size());
            lua_gettable(L_, -2);
            lua_remove(L_, -2);
        }
    }
}

u32 SceneLoader::IdOfSaveNumber(int number) const {
    auto it = saveNumbers_.find(number);
    return it == saveNumbers_.end() ? 0 : it->second;
}

// Phases 3 and 4: the parent links ("ParentChild": Parent, Child) and the
// spline crawlers ("SplineCrawlers": SplineCrawler, Spline), each a list of
// tables of two save numbers, read by one walk into id pairs.
void SceneLoader::ReadLinks(int table, const char* key, const char* first, const char* second,
                            std::vector<StagedScene::Link>& links) {
    const std::string entry = std::string(key) + " entry";
    lua_getfield(L_, table, key);
    if (!lua_isnil(L_, -1)) {
        ExpectTable(L_, key);
        const int list = lua_gettop(L_);
        lua_pushnil(L_);
        while (lua_next(L_, list) != 0) {
            ExpectTable(L_, entry);
            const int pair = lua_gettop(L_);
            links.push_back(
                {IdOfSaveNumber(NumberField(L_, pair, first)), IdOfSaveNumber(NumberField(L_, pair, second))});
            lua_settop(L_, list + 1);
        }
    }
    lua_settop(L_, table);
}
