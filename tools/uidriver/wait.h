// Waiting for a condition in the target: it is checked at once and then
// every kPollMs until it holds or the time limit passes.
#pragma once

#include <windows.h>

#include <functional>

constexpr DWORD kPollMs = 20;

// True when the condition held within timeoutMs.
bool WaitUntil(DWORD timeoutMs, const std::function<bool()>& condition);
