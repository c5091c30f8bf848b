// The program's one Lua state and the readers of its data files: scene,
// archetype and reflected files (the start-up file). Each file runs in a
// private environment table with no library open, under a step and memory
// budget, so it can only build tables. Every fault (missing file, syntax,
// an error while it runs, values that do not fit the reflected types) is
// reported with the caption "Load scene failed" and loads nothing: what the
// file had made so far is dropped. The Lua stack is back where it was after
// every file. One instance for the run (global instance pointer), made after
// the MetaRegistry. Main thread only.
#pragma once
#include <cstddef>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/Singleton.h"
#include "core/Types.h"
#include "scene/StagedScene.h"

struct lua_State;
class GameObject;
class IMetaClass;

class SceneLoader : public Singleton<SceneLoader> {
public:
    static constexpr const char* kFailureCaption = "Load scene failed";
    // The most bytes of a scene or archetype file read, unless SetFileLimit
    // says otherwise.
    static constexpr std::size_t kMaxFileBytes = std::size_t(64) << 20;

    // Shows a failure (caption, text). The default logs it and writes it to
    // stderr; the program entry installs the port layer's message box.
    using FailureReporter = void (*)(const std::string& caption, const std::string& text);
    static void SetFailureReporter(FailureReporter reporter);
    // Shows a failure through the installed reporter.
    static void Report(const std::string& caption, const std::string& text);

    SceneLoader();
    ~SceneLoader();

    // Compiles the file (its name folded in letter case when not found as
    // written) and leaves the chunk on the stack; precompiled chunks are
    // refused. Reports and returns false on failure, leaving nothing.
    bool LoadFile(const std::string& path);
    // A new empty table, stored under the global `name`, becomes the
    // environment of the chunk on the stack top; the table is pushed above
    // the chunk.
    void PushSandbox(const std::string& name);
    void DropSandbox(const std::string& name);

    // A file name holds at most 255 bytes: a longer name is none.
    static constexpr std::size_t kMaxArchetypeNameBytes = 255;
    // Whether `name` can name an archetype file: not empty, no folder, no
    // NUL byte, its file name (with the arch folder's extension) no longer
    // than kMaxArchetypeNameBytes.
    static bool IsArchetypeName(const std::string& name);
    // Loads the archetype file of that name ("arch" folder) into the
    // ObjectFactory, replacing a stored prototype of that name. A name that
    // is none is refused (the message shows it cut: see ShownText).
    bool LoadArchetype(const std::string& name);
    // The prototype the archetype file describes, stored nowhere (the caller
    // owns it); null, reported, when the file does not load, and null with
    // one log row (per name and scene budget count) when what its components
    // hold would pass the scene's MemberBudget.
    GameObject* ReadArchetype(const std::string& name);
    // Reads the file's top-level assignments into the members of object. A
    // file larger than fileLimit bytes (0: the limit of scene files) is
    // refused unread.
    bool LoadReflected(const std::string& path, const IMetaClass& metaClass, void* object, std::size_t fileLimit = 0);
    // The scene file's read before the scene is touched: runs it and checks
    // that every table would load (the archetype list, every instance key a
    // component class with a table whose values fit, the link tables),
    // making no object and storing no archetype. With a stage (emptied
    // first), the archetype files listed are read into it and each object's
    // components are read once, over copies of its archetype's, on the
    // stage's own MemberBudget count (an object that would pass it is
    // refused: listed in the stage, not made), and the file's tables are
    // kept for MakeScene. Reports and returns false, naming the file and the
    // reason, when it does not fit; the stage then holds nothing.
    bool LoadScene(const std::string& path, StagedScene* staged = nullptr);
    // LoadScene without a stage: the check alone.
    bool CheckScene(const std::string& path) { return LoadScene(path); }
    // The scene made from the stage, once the old scene is cleared: its
    // MemberBudget count becomes current, the archetypes read go into the
    // ObjectFactory, then each object in file order is made (clones of its
    // archetype's components, charged to the budget, with the components
    // read in their place) and handed to `place`, then the parent links and
    // crawler bindings go into the stage as ids. The objects the budget
    // refused get one log row naming the first. False, reported, when the
    // stage holds no tables or they no longer fit (objects handed on stay
    // the caller's).
    bool MakeScene(StagedScene& staged, const std::function<void(GameObject&)>& place);
    // CheckScene of `text` as the file `path` would hold it (a scene about to
    // be saved there), reporting nothing: false with the reason in *error.
    bool CheckSceneText(const std::string& text, const std::string& path, std::string* error);

    // The instance tables of the scene MakeScene last made that its
    // "Archetypes" list does not name, each as "ZedInstances (2 objects)":
    // their objects were not made (a log row named each), so a save of that
    // scene over the same file would lose them. Empty unless `path` names
    // that file (however it is spelled).
    std::vector<std::string> UnlistedGroupsOf(const std::string& path) const;
    // The objects of that scene its load refused (past the MemberBudget or
    // the bound on objects): how many, and the first, as
    // "<group>Instances[n] (SceneGUID m)"; the same rule.
    StagedScene::Excess RefusedObjectsOf(const std::string& path) const;

    lua_State* GetState() const { return L_; }
    // Save number ("SceneGUID") -> id of the object made for it, last scene.
    const std::map<int, u32>& GetSaveNumbers() const { return saveNumbers_; }
    // The text of the last failure reported.
    const std::string& GetLastError() const { return lastError_; }
    // Failures reported since the loader was made: a caller compares counts
    // around a load to see whether anything in it (an archetype of a scene
    // that itself loaded) failed.
    u32 FailureCount() const { return failureCount_; }

    // The budget of one file run: VM steps and bytes of Lua memory.
    void SetRunLimits(int steps, std::size_t bytes);
    // The most bytes of a scene or archetype file (kMaxFileBytes at start).
    void SetFileLimit(std::size_t bytes) { dataFileLimit_ = bytes; }
    // The most bytes of a scene or archetype file read now: the file limit,
    // never more than the run's memory budget. The writers refuse to write
    // a file that would be larger, so that what is saved loads again.
    std::size_t DataFileLimit() const;

    struct Memory {
        std::size_t used = 0;
        std::size_t limit = 0;  // 0: no limit (outside file runs)
    };

private:
    // Loads and runs the file in the sandbox `sandbox`; on success its table
    // is on the stack top.
    bool RunFile(const std::string& path, const std::string& sandbox);
    // Reads the table RunFile left with `read`, then drops the sandbox. A
    // DataError from `read` fails the load, naming the file.
    bool ReadThenDrop(const std::string& path, const std::string& sandbox, const std::function<void()>& read);
    void Fail(const std::string& text);
    // The most bytes of a file read now: the caller's limit or the data file
    // limit, never more than the run's memory budget.
    std::size_t FileLimit() const;
    // The component class keys of the table at `table`, sorted ("SceneGUID" left out).
    std::vector<std::string> SortedComponentKeys(int table);
    // Pushes table[key] (raw).
    void PushField(int table, const std::string& key);
    // The scene file's table is at stack index `table` for each of these.
    void ReadSceneTables(StagedScene& staged, const std::function<void(GameObject&)>& place);
    std::vector<std::string> ReadArchetypeNames(int table);
    // The instance tables holding objects that `names` leaves unread, sorted.
    std::vector<std::string> FindUnlistedGroups(int table, const std::vector<std::string>& names);
    void MakeObject(StagedScene::Instance& instance, StagedScene& staged,
                    const std::function<void(GameObject&)>& place);
    // Pushes the instance group of the archetype (nil when the file has none).
    void PushInstanceGroup(int table, const std::string& archetype);
    // Calls `each` with every instance table of the archetype's group on the
    // stack top and its place n (1 up); a DataError it throws names the
    // instance ("<group>[n]").
    void ForEachInstance(int table, const std::string& archetype, const std::function<void(int)>& each);
    // ReadArchetype's read: the components of the file, in the order of
    // their class names.
    bool ReadArchetypeComponents(const std::string& name, StagedScene::Components& components);
    // A new prototype object of the archetype, taking the components.
    static GameObject* MakePrototype(const std::string& name, StagedScene::Components& components);
    // Reads the table on the stack top (class name -> member table) into
    // components: throws DataError when it does not fit, and
    // MemberBudget::Exceeded when the scene's budget would be passed.
    void ReadComponentTables(const StagedScene::Components* base, StagedScene::Components& into);
    // What the member table on the stack top will take at least once read
    // (MemberBudget::Reading::Prepay).
    u64 LuaBytes(const IMetaClass& metaClass);
    static IComponent* FirstOfType(const StagedScene::Components& components, u32 typeId);
    // The class of the component table `className` on the stack top and its
    // prototype; throws DataError when no component class has that name or
    // the value is not a table.
    const IMetaClass* ComponentClassOnTop(const std::string& className, IComponent** prototype);
    // The instance table on the stack top read over copies of the
    // archetype's components; kept in the stage, or listed there as refused
    // when the budget refuses it. Past the bound on a scene's objects it is
    // not read (counted in the stage's TooMany).
    void StageInstance(StagedScene& staged, const StagedScene::Archetype& archetype, int index);
    // A save's check of the instance table on the stack top: throws DataError
    // where a load would refuse it, but reads each component table into the
    // one component of its class in `checked` (made at its first use), so
    // that nothing is built, measured or kept for each object.
    void CheckInstance(StagedScene::Components& checked);
    // "<group>Instances[n]", with " (SceneGUID m)" when it has one.
    // Whether `path` names the file of the last scene made, when its load left
    // anything out (unlisted groups, refused objects); however it is spelled.
    bool IsLastSceneFile(const std::string& path) const;
    static std::string ObjectPlace(const std::string& archetype, int index, int saveNumber);
    // One log row per archetype name and scene budget count.
    void ReportRefusedArchetype(const std::string& name);
    // The table of tables under `key`, when present.
    void CheckListOfTables(int table, const char* key);
    // The list of tables under `key`, each entry's fields `first` and
    // `second` (save numbers) as ids of this scene's objects.
    void ReadLinks(int table, const char* key, const char* first, const char* second,
                   std::vector<StagedScene::Link>& links);
    // The id of the object made for a save number of this scene; 0 when none.
    u32 IdOfSaveNumber(int number) const;

    std::map<int, u32> saveNumbers_;
    Memory memory_;
    lua_State* L_ = nullptr;
    std::string lastError_;
    u32 failureCount_ = 0;
    int stepLimit_;
    std::size_t memoryLimit_;
    std::size_t fileLimit_ = 0;  // set for one LoadReflected call
    std::size_t dataFileLimit_ = kMaxFileBytes;
    const std::string* checkedText_ = nullptr;  // CheckSceneText's text, in place of the file
    std::string lastScenePath_;                 // the last scene made, and
    std::vector<std::string> unlistedGroups_;   // its unread instance tables
    std::vector<std::string> refusedObjects_;   // and the objects the budget refused,
    StagedScene::Excess tooMany_;               // and those past the bound on objects
    std::set<std::string> refusedArchetypes_;   // archetypes refused on the count of
    u32 refusedArchetypesScene_ = 0;            // this scene budget
};
