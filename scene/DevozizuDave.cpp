#include "scene/DevozizuDave.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "reflection/MetaRegistry.h"
#include "scene/SceneLoader.h"

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
    const bool loaded = loader->LoadReflected(base + kStartupFile, *metaClass, this);

    for (FilePath* folder :
         {&shader, &model, &sfx, &bgm, &arch, &scene, &particle, &skybox, &log, &texture, &externals}) {
        std::replace(folder->path.begin(), folder->path.end(), '\\', '/');
        folder->baseFolder = base;
    }
    return loaded;
}
