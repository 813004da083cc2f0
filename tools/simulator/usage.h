// The text of `nwsim --help`: the tool's documentation.
#pragma once

extern const char kUsage[];
