// The replay driver support lives in tests/support/replay.h.
#pragma once

#include "tests/support/replay.h"
