// The engine tests' fixture: a journal that outlives the services, then the
// engine-wide services in start-up order, with the probes of tests/support.
#pragma once
#include "engine/ComponentList.h"
#include "engine/GameObject.h"
#include "tests/support/Probes.h"
#include "tests/support/TestServices.h"

class GuiSystem;

class EngineFixture : public ::testing::Test, protected WithJournal, protected TestServices {};
