// Kept for the tests that still include it by this name: the message recorder
// and the services fixture of tests/support.
#pragma once
#include "tests/support/MessageRecorder.h"
#include "tests/support/TestServices.h"
