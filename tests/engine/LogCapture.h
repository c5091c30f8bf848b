// Kept for the tests that still include it by this name.
#pragma once
#include "tests/support/LogCapture.h"
