#include "render/RenderClasses.h"

#include "render/Camera.h"
#include "render/FreeRoamCamera.h"
#include "render/GameCamera.h"
#include "render/GlobalLighting.h"
#include "render/IsoCamera.h"
#include "render/Model.h"
#include "render/ParticleEffect.h"
#include "render/ParticleEmmiter.h"
#include "render/PathFollowCamera.h"
#include "render/PointLight.h"
#include "render/Primitive.h"
#include "render/ScreenText.h"
#include "render/Skybox.h"

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
