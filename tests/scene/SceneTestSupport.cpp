#include "SceneTestSupport.h"

#include <cstdlib>

std::vector<Report> SceneFixture::reports;

Body::Body() {
    static bool first = true;
    if (!first) return;
    first = false;
    MetaMemVar<Body>::Add("mass", this, f.mass);
    MetaMemVar<Body>::Add("persistForce", this, f.persistForce);
    MetaMemVar<Body>::Add("tag", this, f.tag);
    MetaMemVar<Body>::Add("samples", this, f.samples);
}

Spline::Spline() {
    static bool first = true;
    if (!first) return;
    first = false;
    MetaMemVar<Spline>::Add("length", this, f.length);
}

SplineCrawler::SplineCrawler() {
    static bool first = true;
    if (!first) return;
    first = false;
    MetaMemVar<SplineCrawler>::Add("speed", this, f.speed);
    MetaMemVar<SplineCrawler>::Add("splineGameObjectID", this, f.splineGameObjectID);
}

Mesh::Mesh() {
    static bool first = true;
    if (!first) return;
    first = false;
    MetaMemVar<Mesh>::Add("vertices", this, f.vertices);
}

Shape::Shape() {
    static bool first = true;
    if (!first) return;
    first = false;
    MetaMemVar<Shape>::Add("sides", this, f.sides);
}

namespace {
template <class T>
void Prototype(const char* name) {
    ObjectFactory::Instance()->RegisterComponentPrototype<T>(name, new T());
    MetaRegistry::Instance()->Register<T>(name);
}

void CaptureReport(const std::string& caption, const std::string& text) {
    SceneFixture::reports.push_back({caption, text});
}
}  // namespace

// Members are created in start-up order and destroyed in reverse by hand.
SceneFixture::SceneFixture() {
    reports.clear();
    SceneLoader::SetFailureReporter(&CaptureReport);
    std::string pattern = (std::filesystem::temp_directory_path() / "ddsceneXXXXXX").string();
    root = mkdtemp(pattern.data()) ? pattern : std::string();
    std::filesystem::create_directories(root + "/archetypes");
    std::filesystem::create_directories(root + "/scenes");
    WriteFile("DevozizuDave.init",
              "arch = { path = \"archetypes\\\\\", extension = \".arch\" }\n"
              "scene = { path = \"scenes/\", extension = \".scn\" }\n");

    hub = std::make_unique<MessageHub>();
    counter = std::make_unique<IdCounter>(5000);
    registry = std::make_unique<MetaRegistry>();
    loader = std::make_unique<SceneLoader>();
    folders = std::make_unique<DevozizuDave>();
    EXPECT_TRUE(folders->Load(root));
    graveyard = std::make_unique<Graveyard>();
    overlord = std::make_unique<Overlord>();
    factory = std::make_unique<ObjectFactory>();
    scene = std::make_unique<SceneManager>();

    ValueTypes::Register(*registry);
    Prototype<Body>("Body");
    Prototype<Mesh>("Mesh");
    Prototype<Shape>("Shape");
    Prototype<Spline>("Spline");
    Prototype<SplineCrawler>("SplineCrawler");
    Prototype<Transform>("Transform");
}

SceneFixture::~SceneFixture() {
    scene.reset();
    factory.reset();
    overlord.reset();
    graveyard.reset();
    folders.reset();
    loader.reset();
    registry.reset();
    counter.reset();
    hub.reset();
    SceneLoader::SetFailureReporter(nullptr);
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

void SceneFixture::WriteFile(const std::string& relative, const std::string& text) const {
    std::ofstream out(Path(relative), std::ios::binary);
    out << text;
}

std::string SceneFixture::ReadFile(const std::string& relative) const {
    std::ifstream in(Path(relative), std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

std::size_t SceneFixture::LiveObjects() const {
    std::size_t count = 0;
    overlord->GameObjects().ForEach([&count](u32, GameObject*) { ++count; });
    return count;
}
