#include "scene/DevozizuDave.h"

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <system_error>

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

    const std::initializer_list<FilePath*> folders = {&shader,   &model,  &sfx, &bgm,     &arch,     &scene,
                                                      &particle, &skybox, &log, &texture, &externals};
    bool anySet = false;
    for (FilePath* folder : folders) {
        std::replace(folder->path.begin(), folder->path.end(), '\\', '/');
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
    for (FilePath* folder : folders) folder->baseFolder = base;
    return loaded;
}
