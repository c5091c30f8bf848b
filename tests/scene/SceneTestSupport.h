// A temporary asset root with a start-up file, the engine-wide services the
// scene code needs (in start-up order), and small test component classes:
// a body with a nested vector and a container, a spline, a spline crawler
// that counts its updates, and a shape that stands in for a mesh. Failure
// reports are captured instead of shown.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <lua.hpp>

#include "engine/Engine.h"
#include "engine/GameObject.h"
#include "engine/SceneSystem.h"
#include "engine/Transform.h"
#include "tests/scene/SceneServices.h"

// A component whose reflected state is the Fields record F.
template <class T, class F>
class FieldsComponent : public IComponent {
public:
    FieldsComponent() : IComponent(TypeId<T>::Get()) {}
    void Init() override { ++inits; }
    IComponent* Clone() override {
        T* copy = new T();
        copy->f = f;
        return copy;
    }
    F f;
    int inits = 0;
};

struct BodyFields {
    float mass = 1.0f;
    D3DXVECTOR3 persistForce{0, 0, 0};
    std::string tag = "none";
    std::vector<float> samples;
};
class Body : public FieldsComponent<Body, BodyFields> {
public:
    Body();
};

struct SplineFields {
    float length = 10.0f;
};
class Spline : public FieldsComponent<Spline, SplineFields> {
public:
    Spline();
};

struct CrawlerFields {
    float speed = 1.0f;
    unsigned splineGameObjectID = 0;
};
class SplineCrawler : public FieldsComponent<SplineCrawler, CrawlerFields> {
public:
    SplineCrawler();
    void Update(float dt) override {
        ++updates;
        lastDt = dt;
    }
    int updates = 0;
    float lastDt = -1;
};

struct MeshFields {
    int vertices = 0;
};
class Mesh : public FieldsComponent<Mesh, MeshFields> {
public:
    Mesh();
};

// Stands in for a Mesh that it builds itself.
struct ShapeFields {
    int sides = 3;
};
class Shape : public FieldsComponent<Shape, ShapeFields> {
public:
    Shape();
    u32 GetAliasTypeId() override { return TypeId<Mesh>::Get(); }
};

// Records what the scene manager tells its owner.
class TestOwner : public SceneSystem {
public:
    TestOwner() : SceneSystem(TypeId<TestOwner>::Get()) {}
    void OnSceneLoaded() override { events.push_back("loaded"); }
    void OnSceneCleared() override { events.push_back("cleared"); }
    void OnObjectAdded(u32 id, bool flag) override {
        events.push_back("added " + std::to_string(id) + (flag ? " true" : " false"));
    }
    std::vector<std::string> events;
};

struct Report {
    std::string caption;
    std::string text;
};

class SceneFixture : public ::testing::Test, protected SceneServices {
public:
    static std::vector<Report> reports;

protected:
    SceneFixture();
    ~SceneFixture() override;

    std::string Path(const std::string& relative) const { return root + "/" + relative; }
    void WriteFile(const std::string& relative, const std::string& text) const;
    std::string ReadFile(const std::string& relative) const;
    // Lua stack height of the loader's state.
    int StackTop() const { return lua_gettop(loader.GetState()); }
    // Live registered objects (prototypes included).
    std::size_t LiveObjects() const;
    GameObject* Object(u32 id) const { return overlord.GetGameObject(id); }
    // Runs the end-of-frame deletion with a generous budget.
    void Bury() { graveyard.Collect(1.0f); }
};
