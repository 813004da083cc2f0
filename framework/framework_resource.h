// The framework's own resources, linked into every program that uses it.
#pragma once

#define AFX_IDP_PARSE_INT 61712  // "Enter an integer."
