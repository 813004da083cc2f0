// The answer to a Save: only the reply of the device the Save went to is
// shown, and only once. Any host can send an apply reply, so a stray one
// must neither show a result nor end the wait for the real one.
#pragma once

#include <optional>
#include <string>

#include "discovery_data.h"

// The text to show for `reply`, or null when nothing is shown. A reply whose
// MAC text is exactly the awaited one ends the wait, whatever its result;
// any other reply leaves `awaitedMac` as it was.
const char* TakeApplyReply(std::optional<std::string>& awaitedMac, const DISCOVERY_DATA& reply);
