// The game's application with the dialog replaced by a hidden 800x600 GL window, for tests.
#pragma once

#include "Core.h"
#include "HiddenWindowApp.h"

using TestCore = HiddenWindowApp<Core>;
