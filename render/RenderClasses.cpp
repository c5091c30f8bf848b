#include "render/RenderClasses.h"

#include "render/camera/Camera.h"
#include "render/camera/FreeRoamCamera.h"
#include "render/camera/GameCamera.h"
#include "render/camera/IsoCamera.h"
#include "render/camera/PathFollowCamera.h"
#include "render/light/GlobalLighting.h"
#include "render/light/PointLight.h"
#include "render/light/Skybox.h"
#include "render/mesh/Model.h"
#include "render/mesh/Primitive.h"
#include "render/particle/ParticleEffect.h"
#include "render/particle/ParticleEmmiter.h"
#include "render/text/ScreenText.h"

const ComponentClassList& RenderClasses() {
    static const ComponentClassList classes = {
        ComponentClassOf<Camera>("Camera"),
        ComponentClassOf<FreeRoamCamera>("FreeRoamCamera"),
        ComponentClassOf<GameCamera>("GameCamera"),
        ComponentClassOf<GlobalLighting>("GlobalLighting"),
        ComponentClassOf<IsoCamera>("IsoCamera"),
        ComponentClassOf<Model>("Model"),
        ComponentClassOf<ParticleEffect>("ParticleEffect"),
        ComponentClassOf<ParticleEmmiter>("ParticleEmmiter"),
        ComponentClassOf<PathFollowCamera>("PathFollowCamera"),
        ComponentClassOf<PointLight>("PointLight"),
        ComponentClassOf<Primitive>("Primitive"),
        ComponentClassOf<ScreenText>("ScreenText"),
        ComponentClassOf<Skybox>("Skybox"),
    };
    return classes;
}
