// The user's preferences, read from and written to Quillon.ini.
#pragma once

struct Settings {
    bool debugOutput = false;
};

extern Settings gSettings;
