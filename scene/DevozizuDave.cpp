#include "scene/DevozizuDave.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <system_error>
#include <utility>

#include "core/ShownText.h"
#include "port/os/FileCase.h"
#include "reflection/MetaRegistry.h"
#include "scene/SceneLoader.h"

namespace {
// Lua names the place of an error as "<chunk>:<line>: " in front of its text,
// the chunk being the file's path (shortened from the left when long); the
// reader's own faults start "<path>: ". Fills the line (0 when there is none)
// and the text after the place.
void SplitPlace(const std::string& error, int* line, std::string* text) {
    *line = 0;
    *text = error;
    const std::string file = std::string(DevozizuDave::kStartupFile) + ":";
    const std::size_t at = error.find(file);
    if (at == std::string::npos) return;
    std::size_t next = at + file.size();
    std::size_t digits = next;
    while (digits < error.size() && error[digits] >= '0' && error[digits] <= '9') ++digits;
    if (digits > next && error.compare(digits, 2, ": ") == 0) {
        *line = std::stoi(error.substr(next, std::min<std::size_t>(digits - next, 9)));
        next = digits + 1;
    }
    while (next < error.size() && error[next] == ' ') ++next;
    *text = error.substr(next);
}
// Why a folder of the start-up file is refused, or null when it lies below
// the working folder `base`: absolute, climbing above it with "..", or with
// it longer than the system's path limit (a script can build a name of
// megabytes; nothing could be made or opened under it).
const char* FolderFault(const std::string& base, const std::string& path) {
    if (base.size() + path.size() >= PATH_MAX) return "a folder longer than the system's path limit";
    if (!path.empty() && path[0] == '/') return "an absolute folder";
    int depth = 0;
    std::size_t start = 0;
    while (start <= path.size()) {
        const std::size_t end = std::min(path.find('/', start), path.size());
        const std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (--depth < 0) return "a folder that climbs out of the working folder";
        } else if (!part.empty() && part != ".") {
            ++depth;
        }
        start = end + 1;
    }
    return nullptr;
}

}  // namespace

DevozizuDave::DevozizuDave() {
    ReflectOnce<DevozizuDave>();
}

void DevozizuDave::Reflect(MemberList<DevozizuDave>& members) {
    members.Add("shader", &DevozizuDave::shader);
    members.Add("model", &DevozizuDave::model);
    members.Add("sfx", &DevozizuDave::sfx);
    members.Add("bgm", &DevozizuDave::bgm);
    members.Add("arch", &DevozizuDave::arch);
    members.Add("scene", &DevozizuDave::scene);
    members.Add("particle", &DevozizuDave::particle);
    members.Add("skybox", &DevozizuDave::skybox);
    members.Add("log", &DevozizuDave::log);
    members.Add("texture", &DevozizuDave::texture);
    members.Add("externals", &DevozizuDave::externals);
}

bool DevozizuDave::Load() {
    std::error_code error;
    const std::string cwd = std::filesystem::current_path(error).string();
    return Load(cwd);
}

bool DevozizuDave::Load(const std::string& workingDirectory) {
    MetaRegistry* registry = MetaRegistry::Instance();
    SceneLoader* loader = SceneLoader::Instance();
    if (!registry || !loader) return false;
    registry->Register<FilePath>("FilePath");
    registry->Register<DevozizuDave>("DevozizuDave");

    std::string base = workingDirectory;
    if (base.empty() || (base.back() != '/' && base.back() != '\\')) base += '/';
    const IMetaClass* metaClass = registry->GetByTypeId(TypeId<DevozizuDave>::Get());
    const std::string file = base + kStartupFile;
    bool loaded = loader->LoadReflected(file, *metaClass, this, kMaxStartupFileBytes);
    failure_ = LoadFailure();
    if (!loaded) {
        failure_.file = file;
        failure_.missing = FindFileFoldingCase(file).empty();
        SplitPlace(loader->GetLastError(), &failure_.line, &failure_.text);
    }

    const std::pair<const char*, FilePath*> folders[] = {
        {"shader", &shader},       {"model", &model},       {"sfx", &sfx},       {"bgm", &bgm}, {"arch", &arch},
        {"scene", &scene},         {"particle", &particle}, {"skybox", &skybox}, {"log", &log}, {"texture", &texture},
        {"externals", &externals},
    };
    bool anySet = false;
    refusals_.clear();
    // Refusals, like the report below, come before the folders have their
    // base: they name the file whole.
    for (const auto& [name, folder] : folders) {
        std::replace(folder->path.begin(), folder->path.end(), '\\', '/');
        if (const char* fault = FolderFault(base, folder->path)) {
            Refuse(file + ": " + name + " = { path = \"" + ShownText(folder->path) + "\" } is refused (" + fault +
                   "); the working folder is used");
            folder->path.clear();
        }
        if (folder->extension.find_first_of("/\\") != std::string::npos) {
            Refuse(file + ": " + name + " = { extension = \"" + ShownText(folder->extension) +
                   "\" } is refused (an extension names no folder); no extension is used");
            folder->extension.clear();
        }
        anySet = anySet || !folder->path.empty() || !folder->extension.empty();
    }
    // Every folder would be the working directory, and every file there (the
    // live log included) would be tried as an asset of every kind. Reported
    // before the folders have their base: the report names the file whole.
    if (loaded && !anySet) {
        SceneLoader::Report(SceneLoader::kFailureCaption, file + ": " + kNoFolderSet);
        failure_.file = file;
        failure_.text = kNoFolderSet;
        loaded = false;
    }
    for (const auto& entry : folders) entry.second->baseFolder = base;
    return loaded;
}

void DevozizuDave::Refuse(const std::string& text) {
    refusals_.push_back(text);
    SceneLoader::Report(SceneLoader::kFailureCaption, text);
}
