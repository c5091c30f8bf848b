// The editor's tweak panels and file dialogs: the bars "Archetypes",
// "Selected", "MainMenu", "ComponentsList" and "SceneComponents", the scene
// open / save and archetype save dialogs, and the EditorControlState it
// edits and sends to the manipulation controls every frame. A child system
// of the Editor, made and initialised by the Editor's Init and deleted with
// it; the bars live from Activate to Deactivate. It selects through the
// selection messages the Editor serves, never by calling it. The panel
// buttons' callbacks run inside the panels' event handling and reach this
// system through the one live instance. New Scene, Load Scene and closing
// the window ask before they drop a scene changed since it was last saved or
// loaded. Main thread only.
#pragma once
#include <string>
#include <vector>

#include "core/Types.h"
#include "editor/mode/EditorControlState.h"
#include "engine/ISystem.h"
#include "port/dialogs/FileDialog.h"
#include "port/panels/TweakPanels.h"

class GameObject;

class EditorMenuSystem : public ISystem {
public:
    static constexpr const char* kSaveArchetypeFailureCaption = "Save archetype failed";
    // The default bars stand in two columns along the window's sides, each
    // this many pixels wide: the main menu and the component classes on the
    // left, the selection, archetypes and scene components on the right.
    static constexpr int kLeftColumnWidth = 280;
    static constexpr int kRightColumnWidth = 300;
    static constexpr const char* kNoArchetypeFilesRow =
        "EditorMenuSystem::InitArchetypesBar- no archetype files loaded";

    // editorId: the sender its selection and panel messages go out with.
    explicit EditorMenuSystem(u32 editorId);
    // Deletes every bar.
    ~EditorMenuSystem() override;

    void HandleMessage(Message* message) override;
    // Sends the settings record (kMsgEditorSettings).
    void Update(float dt) override;
    // Prepares the three dialog records.
    void Init() override;
    // Empties "Selected", forgets the archetype object and the scene
    // components (their bar is rebuilt empty).
    void Clear() override;
    // Subscribes and builds the bars.
    void Activate() override;
    // Deletes every bar; the bar handles become null.
    void Deactivate() override;

    // The "Selected" bar for the object: "Save Archetype As..." and the
    // object's entries; the object becomes the one an archetype is saved from.
    // The Editor calls it for each new selection, ClearSelectedBar for none.
    void ShowSelected(u32 objectId);
    void ClearSelectedBar();
    // Lists the object in "SceneComponents" (a light, sky box or HUD).
    void AddSceneComponent(GameObject& object);
    // "SceneComponents" anew from the listed objects that still exist.
    void RebuildSceneComponents();
    // Rebuilds "SceneComponents" when the object is listed there.
    void ForgetSceneComponent(u32 objectId);

    // What the panel buttons do. The saves return whether the file was written.
    void NewScene();
    void LoadScene();
    bool SaveScene();
    bool SaveSceneAs();
    void SaveArchetypeAs();
    void ResetRotation(u32 objectId);
    void SelectSceneComponent(u32 objectId);
    void DeleteSceneComponent(u32 objectId);
    void ToggleHudSelect();
    void AddComponentClass(size_t index);
    void SpawnArchetype(size_t index);

    // Closing the window: true when the scene may go (unchanged, saved or
    // discarded), asked as New Scene asks; false keeps the editor open.
    bool MayQuit();

    // The scene as it is now counts as saved: after a load, a clear, a save.
    void RememberSavedScene();
    // Whether the scene's text differs from the one last remembered (objects
    // made, deleted, moved, parented, members edited).
    bool SceneChangedSinceSaved() const;

    TwBar* GetSelectedBar() const { return selectedBar_; }
    TwBar* GetArchetypesBar() const { return archetypesBar_; }
    TwBar* GetMainMenuBar() const { return mainMenuBar_; }
    TwBar* GetComponentsBar() const { return componentsBar_; }
    TwBar* GetSceneComponentsBar() const { return sceneComponentsBar_; }
    const std::vector<u32>& GetSceneComponentIds() const { return sceneComponentIds_; }
    const char* GetSceneFileName() const { return sceneFileName_; }
    const EditorControlState& GetControlState() const { return controlState_; }
    EditorControlState& GetControlState() { return controlState_; }
    u32 GetArchetypeObject() const { return archetypeObject_; }
    const FileDialogRecord& GetSceneOpenRecord() const { return sceneOpen_; }
    const FileDialogRecord& GetSceneSaveRecord() const { return sceneSave_; }
    const FileDialogRecord& GetArchetypeSaveRecord() const { return archetypeSave_; }

    // The live instance the button callbacks act on; null when none.
    static EditorMenuSystem* Current();

private:
    void BuildArchetypesBar();
    void ListArchetypeButtons();
    void BuildMainMenuBar();
    void BuildComponentsBar();
    void NewSceneComponentsBar();
    void AddHudSelectButton();
    // The other scene objects of the prototype's archetype that its
    // differences cannot describe (they lack one of its components) become
    // plain objects, so that saving and loading keeps what they have.
    void UnlinkUnwritableInstances(const GameObject& prototype, u32 savedObjectId);
    void AddSceneComponentEntries(GameObject& object);
    // True when the scene may be dropped for the action ("New Scene", "Load
    // Scene"): unchanged, or the designer had it saved or chose to discard it.
    bool MayDropScene(const std::string& action);
    // Save Scene to the scene's file; Save Scene As (also Save Scene of a
    // scene without one) to the file the dialog names, the scene keeping its
    // old name unless that save is written. command: what the designer used,
    // as the status line names it. Whether the file was written.
    bool SaveUnderName(const std::string& command);
    bool SaveUnderNewName(const std::string& command);
    // The dialog's answer given ".scn" when it has no extension; false (said
    // in a box) when the name would not fit.
    bool EnsureSceneExtension();
    // The scene to the file, unless that file or the one the scene was
    // loaded from holds objects its last load left out (archetypes unlisted,
    // objects past the budget): then refused, said on the status line
    // ("<command>: refused, ...") and in a box; whether it was written.
    bool SaveSceneTo(const std::string& path, const std::string& command);
    // The scene file as the status lines and the questions name it: its path
    // from the scene folder, or its name when it lies elsewhere.
    std::string SceneFileLabel(const std::string& path) const;

    u32 editorId_;
    TwBar* selectedBar_ = nullptr;
    TwBar* archetypesBar_ = nullptr;
    TwBar* mainMenuBar_ = nullptr;
    TwBar* componentsBar_ = nullptr;
    TwBar* sceneComponentsBar_ = nullptr;
    std::vector<u32> sceneComponentIds_;
    char sceneFileName_[256] = {};      // shared by the scene open and save dialogs
    char archetypeFileName_[256] = {};  // the archetype save dialog's
    EditorControlState controlState_;
    FileDialogRecord sceneOpen_;
    FileDialogRecord sceneSave_;
    FileDialogRecord archetypeSave_;
    std::string sceneFolder_;  // the dialogs' starting folders, without trailing separator
    std::string archFolder_;
    u32 archetypeObject_ = 0;                  // "Save Archetype As..." writes this object
    std::vector<std::string> archetypeNames_;  // the "Archetypes" buttons, in order
    std::vector<std::string> classNames_;      // the "ComponentsList" buttons, in order
    size_t savedSceneHash_ = 0;                // the scene text last saved or loaded: its hash
    size_t savedSceneSize_ = 0;                //   and length
    // Where the pointer was at the last "Delete Object" click, kept until it moves.
    bool deleteSpotKept_ = false;
    int deleteSpotX_ = 0;
    int deleteSpotY_ = 0;
};
