#include "frontend/controls/QuitControl.h"

#include "engine/Engine.h"

QuitControl::QuitControl() : ClickControl("QuitControl") {}

void QuitControl::OnActivate() {
    Engine* engine = Engine::Instance();
    if (!engine) return;
    engine->SetActive(false);
    engine->Deactivate();
}
