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

SceneFixture::SceneFixture()
    : SceneServices(
          "arch = { path = \"archetypes\\\\\", extension = \".arch\" }\n"
          "scene = { path = \"scenes/\", extension = \".scn\" }\n",
          5000) {
    reports.clear();
    SceneLoader::SetFailureReporter(&CaptureReport);
    std::filesystem::create_directories(root + "/archetypes");
    std::filesystem::create_directories(root + "/scenes");
    EXPECT_TRUE(foldersLoaded);

    Prototype<Body>("Body");
    Prototype<Mesh>("Mesh");
    Prototype<Shape>("Shape");
    Prototype<Spline>("Spline");
    Prototype<SplineCrawler>("SplineCrawler");
    Prototype<Transform>("Transform");
}

SceneFixture::~SceneFixture() {
    SceneLoader::SetFailureReporter(nullptr);
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
    overlord.GameObjects().ForEach([&count](u32, GameObject*) { ++count; });
    return count;
}
