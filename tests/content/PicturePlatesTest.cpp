// Each button picture's plate lies inside its mouse rectangles: the real
// screens are built in-process (start, options, controls, credits, pause,
// and the results after a completed level and after a game over), every
// hover control they register gives a button's quad, its rectangle and its
// two textures, and in each texture every pixel outside the part that all
// its rectangles cover has alpha under one half. A quad is as large as its
// texture (pictures are authored at their displayed size; the listed sizes
// are checked in PicturesTest), so the texture's size places its pixels.
#include <map>

#include "controls/MousePositionTrigger.h"
#include "engine/Transform.h"
#include "frontend/controls/ButtonHighlightControl.h"
#include "frontend/controls/GameFlow.h"
#include "game/scene/LevelResults.h"
#include "render/mesh/Model.h"
#include "tests/content/PictureAssets.h"
#include "tests/frontend/ScreenWorld.h"

namespace {

struct ButtonUse {
    float x, y;       // the quad's centre, screen space (y up)
    ButtonRect rect;  // window pixels from the centre, y down
};

class PicturePlatesTest : public ScreenWorld {
protected:
    // Every hover control now registered: its textures and where they show.
    void CollectButtons() {
        for (u32 category = 0; category < GuiSystem::kCategoryCount; ++category)
            for (Control* control : gui->GetControls(category)) {
                auto* highlight = dynamic_cast<ButtonHighlightControl*>(control);
                if (!highlight || highlight->GetActivateTriggers().empty()) continue;
                auto* area = dynamic_cast<MousePositionTrigger*>(highlight->GetActivateTriggers()[0]);
                const Transform* transform = Overlord::FindComponent<Transform>(highlight->GetButtonId());
                Model* model = Overlord::FindComponent<Model>(highlight->GetButtonId());
                if (!area || !transform || !model) continue;
                const ButtonUse use{transform->position.x,
                                    transform->position.y,
                                    {area->GetLeft(), area->GetTop(), area->GetRight(), area->GetBottom()}};
                highlight->OnDeactivate();
                uses[model->material.diffuseFileName].push_back(use);
                highlight->OnActivate();
                uses[model->material.diffuseFileName].push_back(use);
                highlight->OnDeactivate();
            }
    }
    void CollectScreen(MenuScreen* screen) {
        GameFlow::Show(screen);
        CollectButtons();
        GameFlow::Hide(screen);
        Frame(0.0f);
    }

    std::map<std::string, std::vector<ButtonUse>> uses;
};

TEST_F(PicturePlatesTest, EveryButtonIsOpaqueOnlyInsideAllItsMouseRectangles) {
    Frame(0.0f);
    CollectButtons();  // the pause screen's, built at start-up
    for (MenuScreen* screen : std::initializer_list<MenuScreen*>{start, options, controls, credits})
        CollectScreen(screen);
    for (bool gameOver : {false, true}) {
        LevelResults results;
        results.gameOver = gameOver;
        fin->ReceiveLevelResults(results);
        CollectScreen(fin);
    }
    for (const ListedPicture& p : ListedPictures())
        if (p.width == 160 || p.width == 140) {
            EXPECT_TRUE(uses.count(p.name)) << p.name << " is on no screen";
        }

    for (const auto& [name, list] : uses) {
        const GpuImage image = LoadPicture(name);
        ASSERT_GT(image.width, 0u) << name;
        int outside = 0, inside = 0;
        for (std::uint32_t py = 0; py < image.height; ++py)
            for (std::uint32_t px = 0; px < image.width; ++px) {
                bool inAll = true;
                for (const ButtonUse& u : list) {
                    // The pixel's centre in window pixels from the centre, y down.
                    const float wx = u.x - image.width / 2.0f + (px + 0.5f);
                    const float wy = -(u.y + image.height / 2.0f) + (py + 0.5f);
                    inAll = inAll && wx >= u.rect.left && wx < u.rect.right && wy >= u.rect.top && wy < u.rect.bottom;
                }
                const bool opaque = Texel(image, px, py)[3] >= 128;
                if (!inAll && opaque) ++outside;
                if (inAll && opaque) ++inside;
            }
        EXPECT_EQ(outside, 0) << name << ": pixels of half opacity or more outside its plate area";
        EXPECT_GT(inside, 0) << name << ": no plate";
    }
}

}  // namespace
