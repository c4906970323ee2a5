#pragma once

// The engine fixture now lives with the other test utilities.
#include "../testutil/EngineFixture.h"
