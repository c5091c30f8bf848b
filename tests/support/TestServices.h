// The engine-wide services a test needs, made in start-up order (hub, id
// counter, graveyard, overlord; the Engine with EngineServices) and destroyed
// in reverse. A test may reset one early (GPU tests end the Engine while the
// window lives). Ids come from a TestIdCounter, the one id policy of the tests.
#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "engine/Engine.h"
#include "engine/Graveyard.h"
#include "engine/MessageHub.h"
#include "engine/Overlord.h"
#include "tests/support/TestIdCounter.h"

struct TestServices {
    std::unique_ptr<MessageHub> hub = std::make_unique<MessageHub>();
    std::unique_ptr<TestIdCounter> counter = std::make_unique<TestIdCounter>();
    std::unique_ptr<Graveyard> graveyard = std::make_unique<Graveyard>();
    std::unique_ptr<Overlord> overlord = std::make_unique<Overlord>();
};

// With an Engine, made last and gone first; it deletes the systems added to it.
struct EngineServices : TestServices {
    std::unique_ptr<Engine> engine = std::make_unique<Engine>();
};

class ServicesTest : public ::testing::Test, protected TestServices {};
