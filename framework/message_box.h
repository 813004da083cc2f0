// Message boxes of the program: the caption is the executable's file name
// without its extension; an OK or OK/Cancel box without an icon of its own
// gets the exclamation mark, a Yes/No or Yes/No/Cancel box the question mark.
#pragma once

#include <windows.h>

int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT textId, UINT type = MB_OK, UINT helpId = UINT(-1));
