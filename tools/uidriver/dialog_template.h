// Dialog templates in an executable's resources: the driver reads the font
// of the template a window was made from to convert its pixels back to
// dialog units.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

struct DialogTemplateInfo {
    int resourceId = -1;  // -1 for a template with a name instead of a number
    DWORD style = 0;
    int controlCount = 0;
    std::string caption;  // in the ANSI code page
    bool hasFont = false;
    WORD pointSize = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = DEFAULT_CHARSET;
    std::wstring face;
};

// Reads a DLGTEMPLATE or DLGTEMPLATEEX; false when the data is malformed.
bool ParseDialogTemplate(const BYTE* data, size_t size, DialogTemplateInfo& info);
// Every dialog template of the executable; empty when it cannot be read.
std::vector<DialogTemplateInfo> ReadDialogTemplates(const std::string& executable);
