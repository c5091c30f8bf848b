#include "frontend/controls/ButtonHighlightControl.h"

#include "controls/DoAlwaysTrigger.h"
#include "controls/InvertTriggerLogic.h"
#include "controls/MousePositionTrigger.h"
#include "engine/GameObject.h"
#include "engine/Overlord.h"
#include "render/mesh/Material.h"
#include "render/mesh/Model.h"

ButtonHighlightControl::ButtonHighlightControl(GameObject* button, std::string normalTexture, std::string hoverTexture)
    : Control("ButtonHighlightControl ", kCategoryAlways),
      buttonId_(button ? button->GetId() : 0),
      normalTexture_(std::move(normalTexture)),
      hoverTexture_(std::move(hoverTexture)) {
    AddDeactivateTrigger(new DoAlwaysTrigger);
}

void ButtonHighlightControl::OnActivate() {
    ShowTexture(hoverTexture_);
}

void ButtonHighlightControl::OnDeactivate() {
    ShowTexture(normalTexture_);
}

void ButtonHighlightControl::SetNormalTexture(const std::string& texture) {
    normalTexture_ = texture;
    if (!IsActive()) ShowTexture(normalTexture_);
}

void ButtonHighlightControl::ShowTexture(const std::string& texture) const {
    const Overlord* overlord = Overlord::Instance();
    const GameObject* button = overlord ? overlord->GetGameObject(buttonId_) : nullptr;
    Model* model = button ? button->GetComponent<Model>() : nullptr;
    if (!model) return;
    model->material.diffuseFileName = texture;
    Material::LoadTextures(model->material);
}

ButtonHighlightControl* MakeButtonHighlightControl(float left, float top, float right, float bottom, GameObject* button,
                                                   const std::string& normalTexture, const std::string& hoverTexture) {
    auto* control = new ButtonHighlightControl(button, normalTexture, hoverTexture);
    control->AddActivateTrigger(new MousePositionTrigger(left, top, right, bottom));
    control->AddDeactivateTrigger(new InvertTriggerLogic(new MousePositionTrigger(left, top, right, bottom)));
    return control;
}
