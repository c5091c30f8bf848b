#include "LevelWorld.h"
#include "game/actors/Lifetime.h"

namespace {
class LifetimeTest : public LevelWorld {};
}  // namespace

TEST_F(LifetimeTest, RemovesItsObjectOnceElapsedIsPastItWithOneRow) {
    const struct {
        float lifetime;
        float dt;
        int removedAt;
    } cases[] = {{1.0f, 0.25f, 5}, {0.0f, 0.0f, 0}, {0.0f, 0.1f, 1}};
    size_t rows = 0;
    for (const auto& c : cases) {
        auto* lifetime = new Lifetime;
        lifetime->lifetime = c.lifetime;
        const u32 object = MakeObject({}, {lifetime});
        int update = 0;
        while (overlord.GetGameObject(object) && update < 10) {
            lifetime->Update(c.dt);
            ++update;
        }
        EXPECT_EQ(overlord.GetGameObject(object) ? 0 : update, c.removedAt) << c.lifetime << " at " << c.dt;
        lifetime->Update(c.dt);  // as GameLogic's list would until it drops the id
        rows += overlord.GetGameObject(object) ? 0 : 1;
        NextFrame();
    }
    EXPECT_EQ(CountContaining(Rows(), " Lifetime::Update() - lifetime expired on component "), rows);
}
