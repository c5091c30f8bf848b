#include "tests/support/WorldServices.h"

#include <filesystem>
#include <fstream>

namespace {
template <class T>
std::unique_ptr<T> MakeIf(bool wanted) {
    return wanted ? std::make_unique<T>() : nullptr;
}
}  // namespace

WorldServices::WorldServices(Parts parts, const std::string& startup)
    : registry(MakeIf<MetaRegistry>(parts == Parts::Levels)),
      loader(MakeIf<SceneLoader>(parts == Parts::Levels)),
      folders(MakeIf<DevozizuDave>(parts != Parts::Objects)),
      scene(MakeIf<SceneManager>(parts != Parts::Objects)),
      engine(std::make_unique<Engine>()) {
    if (parts != Parts::Levels) return;
    WriteFile(DevozizuDave::kStartupFile, startup);
    folders->Load(Root());
}

WorldServices::~WorldServices() {
    engine.reset();
}

void WorldServices::WriteFile(const std::string& relative, const std::string& text) const {
    const std::filesystem::path path = std::filesystem::path(Root()) / relative;
    std::error_code ignored;
    std::filesystem::create_directories(path.parent_path(), ignored);
    std::ofstream(path, std::ios::binary) << text;
}

std::size_t WorldServices::ObjectCount() const {
    std::size_t count = 0;
    overlord.GameObjects().ForEach([&](u32, GameObject*) { ++count; });
    return count;
}
