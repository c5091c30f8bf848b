// Test support for the heads-up display: the engine-wide services (log, hub,
// id counter, graveyard, overlord, factory), an Engine holding a renderer
// that is never initialised (what it is asked to draw is collected) and a
// stand-in AudioSystem that records the sounds it is sent; a ship (Transform,
// Player, Health, never initialised: the tests set its values) riding a
// carrier with a SplineCrawler; and one initialised HUDComponent on an object
// of its own. A frame is what GameLogic does for the HUD: the drain, the
// player announcement, the HUD's Update.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/GameObject.h"
#include "engine/ISystem.h"
#include "engine/Message.h"
#include "engine/MessageTypes.h"
#include "engine/Transform.h"
#include "frontend/hud/HUDComponent.h"
#include "game/actors/Player.h"
#include "game/combat/Health.h"
#include "game/track/SplineCrawler.h"
#include "platform/AudioSystem.h"
#include "platform/SoundEventData.h"
#include "render/frame/GraphicsSystem.h"
#include "render/frame/RenderLists.h"
#include "render/mesh/Model.h"
#include "render/text/ScreenText.h"
#include "tests/support/LogCapture.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/WorldServices.h"

// Stands in for the AudioSystem by its type id: keeps each sound request.
class SoundLog : public ISystem {
public:
    SoundLog() : ISystem(TypeId<AudioSystem>::Get()) { SetName("AudioSystem"); }
    void HandleMessage(Message* message) override {
        if (const SoundEventData* sound = message->Read(kMsgPlaySound)) {
            sounds.push_back(*sound);
            senders.push_back(message->sender);
        }
    }
    std::vector<SoundEventData> sounds;
    std::vector<u32> senders;
};

class HudWorld : public ::testing::Test, protected WithLog, protected WorldServices {
protected:
    static constexpr u32 kRecorderId = 0x7FFF0001u;

    HudWorld() : WorldServices(Parts::Objects) {
        engine->AddSystem(audio);
        engine->AddSystem(graphics);
        go.Watch(kMsgCountdownOver.type, kMsgCountdownOver.argument);

        carrier = new GameObject;
        crawler = new SplineCrawler;
        carrier->AddComponent(crawler);
        ship = new GameObject;
        auto* transform = new Transform;
        ship->AddComponent(transform);
        player = new Player;
        ship->AddComponent(player);
        health = new Health;
        health->maxHP = 100;
        health->currentHP = 100;
        ship->AddComponent(health);
        ship->SetParent(carrier->GetId());
        player->energyTankCapacity = 100.0f;
        player->energy = 100.0f;
    }
    ~HudWorld() override { engine.reset(); }

    // The HUD on an object of its own, initialised as a scene load does.
    void MakeHud(bool barText = false, float duration = 5.0f) {
        hudObject = new GameObject;
        hud = new HUDComponent;
        hud->enableBarText = barText;
        hud->countdownDuration = duration;
        hudObject->AddComponent(hud);
        hudObject->Init();
    }

    // One frame: the drain, then what GameLogic does for the HUD (the
    // announcement unless there is no player, the HUD's Update). What the
    // HUD asked the renderer to draw is kept.
    void Frame(float dt) {
        hub.DispatchQueued();
        graphics->GetLists().frameModels.clear();
        graphics->GetLists().frameTexts.clear();
        if (announced != 0) Broadcast(kMsgPlayerObject, 0, announced);
        hud->Update(dt);
        drawn = graphics->GetLists().frameModels;
        drawnTexts = graphics->GetLists().frameTexts;
        graveyard.Collect(1000.0f);
    }
    void Frames(int count, float dt) {
        for (int i = 0; i < count; ++i) Frame(dt);
    }

    u32 Element(HUDComponent::Element element) const { return hud->GetElement(element); }
    Model* ModelOf(HUDComponent::Element element) const { return Overlord::FindComponent<Model>(Element(element)); }
    Transform* TransformOf(HUDComponent::Element element) const {
        return Overlord::FindComponent<Transform>(Element(element));
    }
    std::string TextureOf(HUDComponent::Element element) const {
        const Model* model = ModelOf(element);
        return model ? model->material.diffuseFileName : "(none)";
    }
    bool Drawn(HUDComponent::Element element) const {
        for (u32 id : drawn)
            if (id == Element(element)) return true;
        return false;
    }
    ScreenText* TextOf(HUDComponent::Text text) const {
        return Overlord::FindComponent<ScreenText>(hud->GetText(text));
    }
    bool TextDrawn(HUDComponent::Text text) const {
        // A text is named by its object or by its ScreenText.
        const ScreenText* screenText = TextOf(text);
        for (u32 id : drawnTexts)
            if (screenText && (id == hud->GetText(text) || id == screenText->GetId())) return true;
        return false;
    }
    int Sounds(const std::string& name) const {
        int count = 0;
        for (const SoundEventData& sound : audio->sounds) count += sound.name == name;
        return count;
    }
    std::size_t Gos() const { return go.Of(kMsgCountdownOver.type, kMsgCountdownOver.argument).size(); }

    SoundLog* audio = new SoundLog;
    GraphicsSystem* graphics = new GraphicsSystem;
    MessageRecorder go{kRecorderId};

    GameObject* carrier = nullptr;
    SplineCrawler* crawler = nullptr;
    GameObject* ship = nullptr;
    Player* player = nullptr;
    Health* health = nullptr;
    GameObject* hudObject = nullptr;
    HUDComponent* hud = nullptr;
    u32 announced = 0;  // the player object GameLogic announces each frame; 0: none

    std::vector<u32> drawn;
    std::vector<u32> drawnTexts;
};
