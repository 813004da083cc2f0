// What the driver looks for, changeable from its command line.
#pragma once

#include <windows.h>

#include <string>

struct Settings {
    std::string mainCaption = "Nodewright ( 2.1.0.5.1 )";
    std::string aboutCaption = "About Seekwell";
    // Limit of every wait, the search for the main window included.
    DWORD timeoutMs = 10000;
};
