#include "editor/menus/EditorMenuSystem.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>

#include "core/ClassNameLookup.h"
#include "editor/menus/WindowPointer.h"
#include "editor/mode/EditorNotice.h"
#include "engine/Engine.h"
#include "engine/FilePath.h"
#include "engine/GameObject.h"
#include "engine/Logger.h"
#include "engine/Overlord.h"
#include "engine/Transform.h"
#include "port/dialogs/QuestionBox.h"
#include "reflection/TweakBinding.h"
#include "reflection/TweakVarParams.h"
#include "render/IGraphics.h"
#include "scene/DevozizuDave.h"
#include "scene/ObjectFactory.h"
#include "scene/SceneLoader.h"
#include "scene/SceneManager.h"
#include "scene/SceneWriter.h"

namespace {
EditorMenuSystem* gCurrent = nullptr;

// Display text and pattern pairs, each ending in a zero byte, the list in a second one.
constexpr char kSceneFilter[] = "All\0*.*\0Scene\0*.scn\0";
constexpr char kArchetypeFilter[] = "All\0*.*\0Archetype\0*.arch\0";
constexpr const char* kSceneExtension = ".scn";

// Where the bars stand: the main menu top left, the component classes below
// it, the selection, archetypes and scene components down the right edge of
// the window (the panels keep them there when it changes size); none covers
// another in a 1024x768 window.
constexpr int kRightColumnWidth = EditorMenuSystem::kRightColumnWidth;
constexpr int kDefaultWindowWidth = 1024;
constexpr const char* kComponentsPlacement = "ComponentsList position='0 410' size='200 358'";

// A right-hand bar's placement for the window's present width.
std::string RightPlacement(const char* bar, int top, const char* size) {
    int width = kDefaultWindowWidth;
    Engine* engine = Engine::Instance();
    if (const IGraphics* graphics = IGraphics::Find(engine))
        if (graphics->GetClientRect().right > 0) width = graphics->GetClientRect().right;
    const int left = std::max(0, width - kRightColumnWidth);
    return std::string(bar) + " position='" + std::to_string(left) + " " + std::to_string(top) + "'" +
           (size ? std::string(" size='") + size + "'" : std::string());
}

void* IndexData(size_t index) {
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(index));
}

size_t DataIndex(void* clientData) {
    return static_cast<size_t>(reinterpret_cast<std::uintptr_t>(clientData));
}

std::string Definition(const char* label, const char* group, const char* help) {
    TweakVarParams params;
    params.group = {"group", group, true};
    if (help) params.help = {"help", help, true};
    return MakeTweakDefinition(params, label);
}

// "a, b, c"; empty for none.
std::string Listed(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

// The asset folder's path without the trailing separator.
std::string FolderPath(const FilePath& folder) {
    std::string path = folder.baseFolder + folder.path;
    while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
    return path;
}

// The panel buttons: each finds the live menu system and does its part.
template <auto Act>
void Press(void*) {
    if (EditorMenuSystem* menu = EditorMenuSystem::Current()) (menu->*Act)();
}

void PressResetRotation(void* clientData) {
    if (EditorMenuSystem* menu = EditorMenuSystem::Current()) menu->ResetRotation(*static_cast<const u32*>(clientData));
}

void PressSelect(void* clientData) {
    if (EditorMenuSystem* menu = EditorMenuSystem::Current())
        menu->SelectSceneComponent(static_cast<u32>(DataIndex(clientData)));
}

void PressDelete(void* clientData) {
    if (EditorMenuSystem* menu = EditorMenuSystem::Current())
        menu->DeleteSceneComponent(static_cast<u32>(DataIndex(clientData)));
}

void PressAddComponent(void* clientData) {
    if (EditorMenuSystem* menu = EditorMenuSystem::Current()) menu->AddComponentClass(DataIndex(clientData));
}

void PressSpawnArchetype(void* clientData) {
    if (EditorMenuSystem* menu = EditorMenuSystem::Current()) menu->SpawnArchetype(DataIndex(clientData));
}
}  // namespace

EditorMenuSystem* EditorMenuSystem::Current() {
    return gCurrent;
}

EditorMenuSystem::EditorMenuSystem(u32 editorId) : ISystem(TypeId<EditorMenuSystem>::Get()), editorId_(editorId) {
    SetName("EditorMenuSystem");
    gCurrent = this;
}

EditorMenuSystem::~EditorMenuSystem() {
    TwDeleteAllBars();
    if (gCurrent == this) gCurrent = nullptr;
}

void EditorMenuSystem::Init() {
    sceneFileName_[0] = '\0';
    archetypeFileName_[0] = '\0';
    if (DevozizuDave* folders = DevozizuDave::Instance()) {
        sceneFolder_ = FolderPath(folders->scene);
        archFolder_ = FolderPath(folders->arch);
    }
    sceneOpen_ = FileDialogRecord();
    sceneOpen_.lStructSize = 88;
    sceneOpen_.lpstrFilter = kSceneFilter;
    sceneOpen_.nFilterIndex = 2;
    sceneOpen_.lpstrFile = sceneFileName_;
    sceneOpen_.nMaxFile = sizeof sceneFileName_;
    sceneOpen_.lpstrInitialDir = sceneFolder_.c_str();
    sceneSave_ = sceneOpen_;
    sceneSave_.lpstrTitle = "Save Scene";
    sceneSave_.Flags = 0;
    sceneOpen_.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    sceneOpen_.lpstrTitle = "Load Scene";
    archetypeSave_ = FileDialogRecord();
    archetypeSave_.lStructSize = 88;
    archetypeSave_.lpstrFilter = kArchetypeFilter;
    archetypeSave_.nFilterIndex = 2;
    archetypeSave_.lpstrFile = archetypeFileName_;
    archetypeSave_.nMaxFile = sizeof archetypeFileName_;
    archetypeSave_.lpstrInitialDir = archFolder_.c_str();
    archetypeSave_.lpstrTitle = "Save Archetype";
    archetypeSave_.Flags = 0;
    RememberSavedScene();
}

void EditorMenuSystem::Clear() {
    ClearSelectedBar();
    archetypeObject_ = 0;
    sceneComponentIds_.clear();
    RebuildSceneComponents();
}

void EditorMenuSystem::Update(float) {
    Broadcast(kMsgEditorSettings, controlState_);
    int x = 0, y = 0;
    if (deleteSpotKept_ && (!WindowPointer(&x, &y) || x != deleteSpotX_ || y != deleteSpotY_)) deleteSpotKept_ = false;
}

void EditorMenuSystem::HandleMessage(Message* message) {
    if (const u32* selected = message->Read(kMsgSelectObject)) {
        controlState_.selectedObject = *selected;
    } else if (const u32* picked = message->Read(kMsgPickObject)) {
        controlState_.pickedObject = *picked;
    } else if (const E3BasisVecs* axis = message->Read(kMsgAxisLock)) {
        if (*axis > 2) return;  // no such axis
        float& lock = (&controlState_.axisLocks.x)[*axis];
        lock = lock == 0.0f ? 1.0f : 0.0f;
    } else if (message->Is(kMsgToggleRotateMode)) {
        controlState_.rotateMode = !controlState_.rotateMode;
    } else if (message->Is(kMsgToggleOrthoMove)) {
        controlState_.orthoMode = !controlState_.orthoMode;
    } else if (message->Is(kMsgToggleObjectMoveMode)) {
        controlState_.objectMoveMode = !controlState_.objectMoveMode;
    } else if (const u32* copied = message->Read(kMsgCopyObject)) {
        controlState_.copiedObject = *copied;
    } else if (message->Is(kMsgRebuildSceneComponents)) {
        RebuildSceneComponents();
    }
}

void EditorMenuSystem::Activate() {
    if (GetSubscriptions().empty()) {
        Subscribe(kMsgSelectObject);
        Subscribe(kMsgPickObject);
        Subscribe(kMsgCopyObject);
        Subscribe(kMsgAxisLock);
        Subscribe(kMsgEditorUnused);
        Subscribe(kMsgToggleObjectMoveMode);
        Subscribe(kMsgToggleRotateMode);
        Subscribe(kMsgToggleOrthoMove);
    } else {
        SubscribeAll();
    }
    BuildArchetypesBar();
    selectedBar_ = TwNewBar("Selected");
    TwDefine("Selected valueswidth=200 size='300 300'");
    TwDefine(RightPlacement("Selected", 0, nullptr).c_str());
    BuildMainMenuBar();
    BuildComponentsBar();
    NewSceneComponentsBar();
}

void EditorMenuSystem::Deactivate() {
    TwDeleteAllBars();
    selectedBar_ = archetypesBar_ = mainMenuBar_ = componentsBar_ = sceneComponentsBar_ = nullptr;
}

void EditorMenuSystem::BuildArchetypesBar() {
    archetypesBar_ = TwNewBar("Archetypes");
    TwDefine(RightPlacement("Archetypes", 310, "300 150").c_str());
    ListArchetypeButtons();
}

void EditorMenuSystem::ListArchetypeButtons() {
    archetypeNames_.clear();
    if (DevozizuDave* folders = DevozizuDave::Instance()) {
        FilePath listing = folders->arch;
        listing.ListDirectory();
        archetypeNames_ = listing.fileNames;
    }
    if (archetypeNames_.empty()) Log("%s", kNoArchetypeFilesRow);
    for (size_t i = 0; i < archetypeNames_.size(); ++i)
        TwAddButton(archetypesBar_, archetypeNames_[i].c_str(), &PressSpawnArchetype, IndexData(i), nullptr);
}

void EditorMenuSystem::BuildMainMenuBar() {
    mainMenuBar_ = TwNewBar("MainMenu");
    TwDefine(" GLOBAL buttonalign=left");
    TwSetParam(mainMenuBar_, nullptr, "label", TW_PARAM_CSTRING, 1, "Main Menu");
    TwDefine(" MainMenu position='0 0'");
    // Wide enough for every label.
    TwDefine((" MainMenu size='" + std::to_string(kLeftColumnWidth) + " 400'").c_str());
    TwDefine(" MainMenu valueswidth=fit");
    TwAddButton(mainMenuBar_, "NewScene", &Press<&EditorMenuSystem::NewScene>, nullptr,
                Definition("New Scene", "Scene", nullptr).c_str());
    TwAddButton(mainMenuBar_, "LoadScene", &Press<&EditorMenuSystem::LoadScene>, nullptr,
                Definition("Load Scene", "Scene", nullptr).c_str());
    TwAddButton(mainMenuBar_, "SaveScene", &Press<&EditorMenuSystem::SaveScene>, nullptr,
                Definition("Save Scene", "Scene", nullptr).c_str());
    TwAddButton(mainMenuBar_, "SaveSceneAs", &Press<&EditorMenuSystem::SaveSceneAs>, nullptr,
                Definition("Save Scene As...", "Scene", nullptr).c_str());
    TwAddSeparator(mainMenuBar_, "MoveSeparator", nullptr);
    TwAddVarRW(mainMenuBar_, "ToggleRotate", TW_TYPE_BOOLCPP, &controlState_.rotateMode,
               Definition("Toggle Rotate/Move", "ObjectManipulation", "Toggle between movement and rotation").c_str());
    TwAddVarRW(mainMenuBar_, "ToggleOrtho", TW_TYPE_BOOLCPP, &controlState_.orthoMode,
               Definition("Orthogonal Movement", "ObjectManipulation",
                          "Toggle object movement between model local coordinate system and world coordinates")
                   .c_str());
    TwAddVarRW(mainMenuBar_, "MoveSpeed", TW_TYPE_FLOAT, &controlState_.objectMoveSpeed,
               Definition("Object Movement Speed", "ObjectManipulation", "Speed objects move with keyboard").c_str());
    TwAddVarRW(mainMenuBar_, "RotateStepDegrees", TW_TYPE_FLOAT, &controlState_.rotateStepAngleDegrees,
               Definition("Rotation Step (Degrees)", "ObjectManipulation",
                          "Rotation will move by this amount (in degrees) every time you press any rotation key")
                   .c_str());
    TwAddButton(mainMenuBar_, "ResetRotation", &PressResetRotation, &controlState_.selectedObject,
                "label='Reset Rotation' group=ObjectManipulation help='Reset current selected object to 0 rotation "
                "on every axis'");
    TwAddVarRW(mainMenuBar_, "AxisLockX", TW_TYPE_BOOL32, &controlState_.axisLocks.x,
               Definition("X-Axis locked", "AxisLocks", nullptr).c_str());
    TwAddVarRW(mainMenuBar_, "AxisLockY", TW_TYPE_BOOL32, &controlState_.axisLocks.y,
               Definition("Y-Axis locked", "AxisLocks", nullptr).c_str());
    TwAddVarRW(mainMenuBar_, "AxisLockZ", TW_TYPE_BOOL32, &controlState_.axisLocks.z,
               Definition("Z-Axis locked", "AxisLocks", nullptr).c_str());
}

void EditorMenuSystem::BuildComponentsBar() {
    componentsBar_ = TwNewBar("ComponentsList");
    TwDefine(kComponentsPlacement);
    ObjectFactory* factory = ObjectFactory::Instance();
    classNames_ = factory ? factory->GetComponentClassNames() : std::vector<std::string>();
    for (size_t i = 0; i < classNames_.size(); ++i)
        TwAddButton(componentsBar_, classNames_[i].c_str(), &PressAddComponent, IndexData(i), nullptr);
}

void EditorMenuSystem::NewSceneComponentsBar() {
    sceneComponentsBar_ = TwNewBar("SceneComponents");
    TwDefine(RightPlacement("SceneComponents", 470, "300 298").c_str());
    AddHudSelectButton();
}

void EditorMenuSystem::AddHudSelectButton() {
    TwAddButton(sceneComponentsBar_, "HUD Select Mode", &Press<&EditorMenuSystem::ToggleHudSelect>, nullptr, nullptr);
}

void EditorMenuSystem::ShowSelected(u32 objectId) {
    GameObject* object = Overlord::FindObject(objectId);
    // A deleted object gets no entries, not even the button that would save it.
    archetypeObject_ = object ? objectId : 0;
    if (!selectedBar_) return;
    TwRemoveAllVars(selectedBar_);
    if (!object) return;
    TwAddButton(selectedBar_, "Save Archetype As...", &Press<&EditorMenuSystem::SaveArchetypeAs>, nullptr,
                "Group='Options'");
    object->ShowInTweakBar(selectedBar_, "");
}

void EditorMenuSystem::ClearSelectedBar() {
    archetypeObject_ = 0;
    if (selectedBar_) TwRemoveAllVars(selectedBar_);
}

void EditorMenuSystem::AddSceneComponent(GameObject& object) {
    sceneComponentIds_.push_back(object.GetId());
    if (sceneComponentsBar_) AddSceneComponentEntries(object);
}

void EditorMenuSystem::AddSceneComponentEntries(GameObject& object) {
    const u32 id = object.GetId();
    const std::string suffix = "_" + std::to_string(id);
    TwAddSeparator(sceneComponentsBar_, ("Seperator" + suffix).c_str(), nullptr);
    object.ShowInTweakBar(sceneComponentsBar_, suffix);
    TwAddButton(sceneComponentsBar_, ("Select this" + suffix).c_str(), &PressSelect, IndexData(id),
                "label='Select Object'");
    TwAddButton(sceneComponentsBar_, ("Delete" + suffix).c_str(), &PressDelete, IndexData(id), "label='Delete Object'");
}

void EditorMenuSystem::RebuildSceneComponents() {
    std::vector<u32> live;
    for (u32 id : sceneComponentIds_)
        if (Overlord::FindObject(id)) live.push_back(id);
    sceneComponentIds_.swap(live);
    if (!sceneComponentsBar_) return;
    // The same bar emptied, not a new one: it keeps where the designer put
    // it and the size they gave it.
    TwRemoveAllVars(sceneComponentsBar_);
    AddHudSelectButton();
    for (u32 id : sceneComponentIds_) AddSceneComponentEntries(*Overlord::FindObject(id));
}

void EditorMenuSystem::ForgetSceneComponent(u32 objectId) {
    for (u32 id : sceneComponentIds_)
        if (id == objectId) {
            RebuildSceneComponents();
            return;
        }
}

void EditorMenuSystem::RememberSavedScene() {
    const SceneManager* scene = SceneManager::Instance();
    const std::string text = scene ? scene->WriteScene() : std::string();
    savedSceneHash_ = std::hash<std::string>{}(text);
    savedSceneSize_ = text.size();
}

bool EditorMenuSystem::SceneChangedSinceSaved() const {
    const SceneManager* scene = SceneManager::Instance();
    if (!scene) return false;
    const std::string text = scene->WriteScene();
    return text.size() != savedSceneSize_ || std::hash<std::string>{}(text) != savedSceneHash_;
}

bool EditorMenuSystem::MayDropScene(const std::string& action) {
    if (!SceneChangedSinceSaved()) return true;
    const std::string name = sceneFileName_[0] != '\0' ? SceneFileLabel(sceneFileName_) : "";
    const std::string text =
        "The scene" + (name.empty() ? std::string() : " " + name) + " has changes that are not saved. Save them first?";
    enum : size_t { kSave, kDiscard, kCancel };
    const size_t answer = AskQuestion(action, text, {"Save", "Discard", "Cancel"}, kCancel);
    if (answer == kDiscard) return true;
    if (answer == kSave && SaveScene()) return true;
    PostEditorNotice(GetTypeId(), action + ": " + (answer == kSave ? "the scene was not saved" : "cancelled") +
                                      "; the scene is kept as it is");
    return false;
}

bool EditorMenuSystem::MayQuit() {
    return MayDropScene("Quit");
}

void EditorMenuSystem::NewScene() {
    if (!MayDropScene("New Scene")) return;
    if (SceneManager* scene = SceneManager::Instance()) scene->ClearScene();
    // A later "Save Scene" asks for a file instead of overwriting the old one.
    sceneFileName_[0] = '\0';
}

void EditorMenuSystem::LoadScene() {
    if (!MayDropScene("Load Scene")) return;
    // The dialog writes its answer into the name "Save Scene" writes to;
    // taken after the question, whose Save may have named the scene anew.
    const std::string current = sceneFileName_;
    if (!GetOpenFileNameA(&sceneOpen_)) return;
    SceneManager* scene = SceneManager::Instance();
    // A file that does not load leaves the scene being edited (and its file)
    // as they were: it is read whole before anything is cleared.
    StagedScene staged;
    if (!scene || !scene->ReadScene(sceneFileName_, staged)) {
        std::snprintf(sceneFileName_, sizeof sceneFileName_, "%s", current.c_str());
        return;
    }
    scene->CommitScene(sceneFileName_, staged);
    const SceneLoader* loader = SceneLoader::Instance();
    if (const std::string groups = loader ? Listed(loader->UnlistedGroupsOf(sceneFileName_)) : ""; !groups.empty())
        PostEditorNotice(GetTypeId(), "Load Scene: " + groups +
                                          " not loaded (archetypes not in the Archetypes list); the scene cannot be "
                                          "saved until they are");
}

bool EditorMenuSystem::SaveScene() {
    return sceneFileName_[0] == '\0' ? SaveUnderNewName("Save Scene") : SaveUnderName("Save Scene");
}

bool EditorMenuSystem::SaveSceneAs() {
    return SaveUnderNewName("Save Scene As");
}

bool EditorMenuSystem::SaveUnderName(const std::string& command) {
    if (!SaveSceneTo(sceneFileName_, command)) return false;
    RememberSavedScene();
    return true;
}

bool EditorMenuSystem::SaveUnderNewName(const std::string& command) {
    // The dialog writes its answer over the scene's name: a save that does
    // not happen gives the old name back, so the close question and the next
    // Save Scene go on naming the file the scene came from.
    const std::string before = sceneFileName_;
    if (GetSaveFileNameA(&sceneSave_) && EnsureSceneExtension() && SaveUnderName(command)) return true;
    std::snprintf(sceneFileName_, sizeof sceneFileName_, "%s", before.c_str());
    return false;
}

bool EditorMenuSystem::EnsureSceneExtension() {
    // Scenes are listed and found by their ".scn": a bare name gets it.
    FilePath file;
    file.Split(sceneFileName_);
    if (!file.extension.empty()) return true;
    const size_t length = std::strlen(sceneFileName_);
    if (length + std::strlen(kSceneExtension) >= sizeof sceneFileName_) {
        SceneLoader::Report(SceneManager::kSaveFailureCaption,
                            std::string(sceneFileName_) + kSceneExtension + ": the path is too long");
        return false;
    }
    std::strcat(sceneFileName_, kSceneExtension);
    return true;
}

bool EditorMenuSystem::SaveSceneTo(const std::string& path, const std::string& command) {
    SceneManager* scene = SceneManager::Instance();
    SceneLoader* loader = SceneLoader::Instance();
    if (!scene) return false;
    // Objects of the file that were never loaded are not in the scene: a
    // save over it, or of the scene loaded from it under another name,
    // would lose them without a word.
    const auto leftOut = [loader](const std::string& file) {
        return loader && (!loader->UnlistedGroupsOf(file).empty() || loader->RefusedObjectsOf(file).count != 0);
    };
    std::string source = path;
    if (!leftOut(source) && !scene->GetName().empty()) source = scene->GetName();
    if (!leftOut(source)) return scene->SaveScene(path);
    PostEditorNotice(GetTypeId(),
                     command + ": refused, " + SceneFileLabel(source) + " holds objects that were not loaded");
    const std::string groups = Listed(loader->UnlistedGroupsOf(source));
    // The scene manager refuses (and explains) the objects its budget refused.
    if (groups.empty()) return scene->SaveScene(path);
    SceneLoader::Report(SceneManager::kSaveFailureCaption,
                        "cannot write " + path + ": " +
                            (source == path ? "it" : "the scene was loaded from " + source + ", which") + " holds " +
                            groups +
                            ", whose archetypes its Archetypes list does not name; they were not loaded, and "
                            "the save would lose them. Name their archetypes in that list (or remove those "
                            "tables) and load the file again; nothing was written");
    return false;
}

std::string EditorMenuSystem::SceneFileLabel(const std::string& path) const {
    const std::filesystem::path file = std::filesystem::path(path).lexically_normal();
    const std::filesystem::path inFolder =
        file.lexically_relative(std::filesystem::path(sceneFolder_).lexically_normal());
    const std::string relative = inFolder.generic_string();
    if (sceneFolder_.empty() || relative.empty() || relative == "." || relative.rfind("..", 0) == 0)
        return file.filename().string();
    return relative;
}

void EditorMenuSystem::SaveArchetypeAs() {
    if (!Overlord::FindObject(archetypeObject_)) {
        // Said in a box, not only a log row: the designer is about to type a
        // name for a dialog that does not open, and the box takes those keys
        // instead of the editor's key bindings.
        const std::string why = archetypeObject_ == 0 ? "nothing is selected" : "the selected object was deleted";
        Log("EditorMenuSystem: Save Archetype As...: %s; nothing written", why.c_str());
        PostEditorNotice(GetTypeId(), "Save Archetype As...: " + why + "; nothing written");
        SceneLoader::Report(kSaveArchetypeFailureCaption,
                            "There is no object to save: " + why + ". Select an object first.");
        return;
    }
    if (!GetSaveFileNameA(&archetypeSave_)) return;
    GameObject* object = Overlord::FindObject(archetypeObject_);
    if (!object) return;
    FilePath file;
    const std::string baseName = file.Split(archetypeFileName_);
    if (baseName.empty()) {
        Log("EditorMenuSystem: \"%s\" names no archetype; nothing written", archetypeFileName_);
        SceneLoader::Report(kSaveArchetypeFailureCaption,
                            std::string("\"") + archetypeFileName_ + "\" names no archetype (the name is empty)");
        return;
    }
    // Archetypes are only looked for in the "arch" folder: the file goes
    // there whatever folder the answer named.
    DevozizuDave* folders = DevozizuDave::Instance();
    const std::string path = folders ? folders->arch.GetFullPath(baseName) : archFolder_ + "/" + baseName + ".arch";
    if (!file.path.empty() && FolderPath(file) != archFolder_)
        Log("EditorMenuSystem: archetype %s is written to %s (archetypes live in the arch folder)", baseName.c_str(),
            path.c_str());
    const std::string text = SceneWriter::WriteArchetype(*object);
    std::string error, why;
    // The loader's check of a scene save: a file it would refuse is not
    // written (one over the size limit is refused below, saying so).
    SceneLoader* loader = SceneLoader::Instance();
    if (loader && text.size() <= loader->DataFileLimit() && !loader->CheckSceneText(text, path, &why))
        error = "cannot write " + path + ": it would not load again (" + why + "); nothing was written";
    if (!error.empty() || !WriteTextFile(path, text, &error)) {
        SceneLoader::Report(kSaveArchetypeFailureCaption, error);
        return;
    }
    object->SetArchetypeName(baseName);
    // The prototype of that name is now what the file says: instances saved
    // with the scene are written against it, as they are read back.
    if (ObjectFactory* factory = ObjectFactory::Instance()) {
        GameObject* prototype = object->Clone();
        factory->AddArchetypeByName(prototype);
        UnlinkUnwritableInstances(*prototype, object->GetId());
    }
    if (archetypesBar_) {
        TwRemoveAllVars(archetypesBar_);
        ListArchetypeButtons();
    }
}

void EditorMenuSystem::UnlinkUnwritableInstances(const GameObject& prototype, u32 savedObjectId) {
    SceneManager* scene = SceneManager::Instance();
    if (!scene) return;
    const std::string& name = prototype.GetArchetypeName();
    for (u32 id : scene->GetObjectIds()) {
        GameObject* instance = id == savedObjectId ? nullptr : Overlord::FindObject(id);
        if (!instance || instance->GetArchetypeName() != name) continue;
        // An instance is written as its differences from the archetype: one
        // that lacks a component of it would gain that component when read.
        for (IComponent* component : prototype.GetComponents()) {
            if (instance->GetComponentByTypeId(component->GetTypeId())) continue;
            instance->SetArchetypeName("");
            Log("EditorMenuSystem: object %u lacks %s of the new archetype %s; it is kept as a plain object", id,
                GetClassName(component->GetTypeId()).c_str(), name.c_str());
            break;
        }
    }
}

void EditorMenuSystem::ResetRotation(u32 objectId) {
    Transform* transform = Overlord::FindComponent<Transform>(objectId);
    if (!transform) return;
    const D3DXQUATERNION identity(0, 0, 0, 1);
    if (transform->GetParentId() != 0) {
        transform->SetWorldRotation(identity);
    } else {
        transform->rotation = identity;
        transform->worldRotation = identity;
    }
}

void EditorMenuSystem::SelectSceneComponent(u32 objectId) {
    Broadcast(kMsgSelectObject, objectId);
    Broadcast(kMsgPickObject, 0u);
}

void EditorMenuSystem::DeleteSceneComponent(u32 objectId) {
    // The blocks below a deleted one move up: a second click on the same
    // spot, the pointer not moved since (a double click), meets the next
    // block's button. It deletes nothing and says so; one more click does.
    int x = 0, y = 0;
    const bool pointer = WindowPointer(&x, &y);
    if (pointer && deleteSpotKept_ && x == deleteSpotX_ && y == deleteSpotY_) {
        deleteSpotKept_ = false;
        PostEditorNotice(GetTypeId(), "Delete Object: the list moved under the pointer; click again to delete " +
                                          ObjectLabel(objectId));
        return;
    }
    deleteSpotKept_ = pointer;
    deleteSpotX_ = x;
    deleteSpotY_ = y;
    // Deleted as Delete deletes: its children kept where they are drawn,
    // the "Selected" bar emptied when it shows it, this bar rebuilt.
    if (Overlord::FindObject(objectId)) SendToSystem(kMsgDeleteObject, editorId_, GetTypeId(), objectId);
    SendToSystem(kMsgRebuildSceneComponents, GetTypeId(), editorId_);
}

void EditorMenuSystem::ToggleHudSelect() {
    ::Broadcast(kMsgToggleHudSelect, editorId_);
}

void EditorMenuSystem::AddComponentClass(size_t index) {
    ObjectFactory* factory = ObjectFactory::Instance();
    if (!factory) return;
    const std::vector<std::string> names = factory->GetComponentClassNames();
    if (index >= names.size()) return;
    Broadcast(kMsgAddComponent, names[index]);
}

void EditorMenuSystem::SpawnArchetype(size_t index) {
    ObjectFactory* factory = ObjectFactory::Instance();
    if (!factory || index >= archetypeNames_.size()) return;
    const std::string& name = archetypeNames_[index];
    GameObject* prototype = factory->GetArchetype(name);
    if (!prototype) {
        if (SceneLoader* loader = SceneLoader::Instance()) loader->LoadArchetype(name);
        prototype = factory->GetArchetype(name);
    }
    if (!prototype) return;
    GameObject* object = prototype->Clone();
    object->Init();
    object->AnnounceComponents();
    if (SceneManager* scene = SceneManager::Instance()) scene->AddObject(object->GetId(), false);
}
