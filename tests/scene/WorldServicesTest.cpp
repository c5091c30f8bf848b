// The shared world fixture of the game and HUD tests: each choice of parts
// makes exactly its services (a scene manager a world did not ask for would
// take every object the factory makes into its scene), all of them go with
// the world, and a level world reads its asset folders from its root.
#include "tests/support/WorldServices.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

// The services live now, in start-up order.
std::vector<std::string> LiveServices() {
    const std::pair<const char*, bool> services[] = {
        {"hub", MessageHub::Instance()},        {"counter", IdCounter::Instance()},
        {"registry", MetaRegistry::Instance()}, {"loader", SceneLoader::Instance()},
        {"folders", DevozizuDave::Instance()},  {"graveyard", Graveyard::Instance()},
        {"overlord", Overlord::Instance()},     {"factory", ObjectFactory::Instance()},
        {"scene", SceneManager::Instance()},    {"engine", Engine::Instance()},
    };
    std::vector<std::string> live;
    for (const auto& [name, present] : services)
        if (present) live.push_back(name);
    return live;
}

}  // namespace

TEST(WorldServicesTest, EachChoiceOfPartsMakesOnlyItsServicesAndAllGoWithTheWorld) {
    using Parts = WorldServices::Parts;
    const struct {
        Parts parts;
        std::vector<std::string> services;
    } cases[] = {
        {Parts::Objects, {"hub", "counter", "graveyard", "overlord", "factory", "engine"}},
        {Parts::Scenes, {"hub", "counter", "folders", "graveyard", "overlord", "factory", "scene", "engine"}},
        {Parts::Levels,
         {"hub", "counter", "registry", "loader", "folders", "graveyard", "overlord", "factory", "scene", "engine"}},
    };
    for (const auto& c : cases) {
        std::string root;
        {
            WorldServices world(c.parts, "scene = { path = \"scene/\", extension = \".scn\" }\n");
            root = world.Root();
            EXPECT_EQ(LiveServices(), c.services);
            EXPECT_TRUE(std::filesystem::is_directory(root)) << c.services.size();
        }
        EXPECT_EQ(LiveServices(), std::vector<std::string>()) << c.services.size();
        EXPECT_FALSE(std::filesystem::exists(root)) << c.services.size();
    }
}

TEST(WorldServicesTest, LevelWorldsReadTheirAssetFoldersFromTheRootsStartupFile) {
    WorldServices world(WorldServices::Parts::Levels, "scene = { path = \"levels/\", extension = \".lvl\" }\n");
    EXPECT_EQ(world.folders->scene.GetFullPath("One"), world.Root() + "/levels/One.lvl");

    world.WriteFile("levels/One.lvl", "Archetypes = {}\n");
    EXPECT_TRUE(world.scene->LoadScene(world.folders->scene.GetFullPath("One")))
        << "a file written under the root, its folder made, loads";
}
