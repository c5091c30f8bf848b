// The eleven asset folders of the run, read at start-up from the start-up
// file "DevozizuDave.init" in the working directory (a reflected file: one
// table with "path" and "extension" per folder). One instance for the run
// (global instance pointer), made after the SceneLoader and before the
// Logger; the folders do not change afterwards. Main thread only.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "core/Singleton.h"
#include "engine/FilePath.h"

class DevozizuDave : public Singleton<DevozizuDave> {
public:
    static constexpr const char* kStartupFile = "DevozizuDave.init";
    // A start-up file names eleven folders: anything near this size is not one.
    static constexpr std::size_t kMaxStartupFileBytes = 1u << 20;
    static constexpr const char* kNoFolderSet =
        "it sets none of the eleven asset folders (shader, model, sfx, bgm, arch, scene, particle, skybox, log, "
        "texture, externals)";

    // Eleven empty folders; the first construction registers the members.
    DevozizuDave();

    static void Reflect(MemberList<DevozizuDave>& members);

    // Registers "FilePath" and "DevozizuDave" in the MetaRegistry, reads the
    // start-up file of the working directory and sets every base folder to
    // the working directory + '/'. A missing or broken file, or one that sets
    // none of the folders (no path, no extension), is reported with the
    // SceneLoader's caption ("Load scene failed") and gives false
    // (GetLoadFailure says why): the program cannot run without its folders.
    bool Load();
    // The same with the start-up file of another folder (tests, tools).
    bool Load(const std::string& workingDirectory);

    // The folders and extensions the last Load refused, one text each: a
    // folder must lie below the working folder (no absolute folder, none
    // that climbs out with "..", none that makes a path past the system's
    // limit), and an extension names no folder. A refused
    // one is reported at once and left empty (the working folder, no
    // extension); the texts stay for the log, which does not exist yet.
    const std::vector<std::string>& GetRefusals() const { return refusals_; }

    // Why the last Load failed (cleared by a Load that succeeds).
    struct LoadFailure {
        bool missing = false;  // no file of that name (in any letter case)
        std::string file;      // the start-up file's path
        int line = 0;          // the file's line Lua names; 0 when none is known
        std::string text;      // Lua's (or the reader's) text without the file and line
    };
    const LoadFailure& GetLoadFailure() const { return failure_; }

    FilePath shader;
    FilePath model;
    FilePath sfx;
    FilePath bgm;
    FilePath arch;
    FilePath scene;
    FilePath particle;
    FilePath skybox;
    FilePath log;
    FilePath texture;
    FilePath externals;

private:
    void Refuse(const std::string& text);

    LoadFailure failure_;
    std::vector<std::string> refusals_;
};
