#include "Settings.h"

Settings gSettings;
