#include "frontend/screens/SplashScreen.h"

#include "frontend/controls/GameFlow.h"
#include "frontend/screens/FinMenu.h"
#include "port/window/Cursor.h"

class StartMenu;

SplashScreen::SplashScreen() : MenuScreen(TypeId<SplashScreen>::Get(), "SplashScreen") {}

void SplashScreen::Init() {
    MenuScreen::Init();
    timer_ = 0.0f;
}

void SplashScreen::Build() {
    AddPicture(kLogoTexture, 500.0f, 281.25f, 0.0f, 0.0f);
    ShowCursor(false);
}

void SplashScreen::Update(float dt) {
    timer_ += dt;
    MenuScreen::Update(dt);
    if (timer_ > kShowSeconds) {
        GameFlow::Show(GameFlow::Find<StartMenu>());
        GameFlow::Hide(GameFlow::Find<SplashScreen>());
    }
}

std::string SplashScreen::GetStartScene(const FinMenu* results) {
    if (!results || results->GetLevelSequence().empty()) return kDefaultStartLevel;
    return results->GetLevelSequence().front();
}
