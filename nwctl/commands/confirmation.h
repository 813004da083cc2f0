// The operator's yes before anything is sent.
#pragma once

#include <string>

enum class Confirmation { Yes, No, NobodyToAsk };

// `question` on standard error and a y/N answer from the terminal, unless
// --yes answered it already.
Confirmation Confirm(const std::string& question, bool yes);

// Whether a confirmation can be had at all: --yes, or a terminal to ask on.
// Checked before the search, so that a run that could never send ends at
// once.
bool CanConfirm(bool yes);

// The exit status and message for an answer that was not yes.
int NotConfirmed(Confirmation answer);
