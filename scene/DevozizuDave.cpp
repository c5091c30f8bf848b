#include "scene/DevozizuDave.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "reflection/MetaRegistry.h"
#include "scene/SceneLoader.h"

DevozizuDave::DevozizuDave() {
    static bool first = true;
    if (!first) return;
    first = false;
    using M = MetaMemVar<DevozizuDave>;
    M::Add("shader", this, shader);
    M::Add("model", this, model);
    M::Add("sfx", this, sfx);
    M::Add("bgm", this, bgm);
    M::Add("arch", this, arch);
    M::Add("scene", this, scene);
    M::Add("particle", this, particle);
    M::Add("skybox", this, skybox);
    M::Add("log", this, log);
    M::Add("texture", this, texture);
    M::Add("externals", this, externals);
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
