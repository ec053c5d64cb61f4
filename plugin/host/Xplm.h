// Everything the plug-in uses of the simulator's interface.
#pragma once

#include "XplmCommands.h"
#include "XplmData.h"
#include "XplmDisplay.h"
#include "XplmGraphics.h"
#include "XplmMenus.h"
#include "XplmNavigation.h"
#include "XplmProcessing.h"
#include "XplmSound.h"
#include "XplmTypes.h"
#include "XplmUtilities.h"
