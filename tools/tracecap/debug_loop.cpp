#include "debug_loop.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "trace_line.h"

namespace {

// Texts longer than this are not read (the field that gives a text's length
// has 16 bits; this is its limit in bytes).
constexpr SIZE_T MAX_TEXT_BYTES = 0xFFFF * sizeof(WCHAR);

// The text of one OUTPUT_DEBUG_STRING_EVENT as its line, or nothing when it
// could not be read.
bool ReadDebugText(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info, std::string* line)
{
    const SIZE_T unit = info.fUnicode ? sizeof(WCHAR) : 1;
    const SIZE_T bytes = static_cast<SIZE_T>(info.nDebugStringLength) * unit;
    if (bytes > MAX_TEXT_BYTES)
        return false;
    std::vector<char> buffer(bytes);
    SIZE_T read = 0;
    if (bytes != 0 &&
        (!::ReadProcessMemory(process, info.lpDebugStringData, buffer.data(), bytes, &read) || read != bytes))
        return false;
    // The length counts the closing NUL; the text ends at the first NUL.
    if (info.fUnicode) {
        std::u16string text;
        for (SIZE_T i = 0; i + 1 < bytes; i += 2) {
            const auto low = static_cast<unsigned char>(buffer[i]);
            const auto high = static_cast<unsigned char>(buffer[i + 1]);
            const auto c = static_cast<char16_t>(low | high << 8);
            if (c == 0)
                break;
            text += c;
        }
        *line = EscapeTraceText(text);
    } else {
        const std::string text(buffer.data(), bytes);
        *line = EscapeTraceText(std::string_view(text).substr(0, text.find('\0')));
    }
    return true;
}

void CloseIfOpen(HANDLE handle)
{
    if (handle)
        ::CloseHandle(handle);
}

}  // namespace

DebugRunResult RunDebugLoop(HANDLE process, const std::function<void(const std::string& line)>& onText)
{
    DebugRunResult result;
    bool initialBreakpointSeen = false;
    for (;;) {
        DEBUG_EVENT event = {};
        if (!::WaitForDebugEvent(&event, INFINITE)) {
            std::fprintf(stderr, "tracecap: waiting for the debuggee failed (error %lu)\n", ::GetLastError());
            return result;
        }
        DWORD continueStatus = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
            case CREATE_PROCESS_DEBUG_EVENT:
                // The process and thread handles stay the system's; the file is ours.
                CloseIfOpen(event.u.CreateProcessInfo.hFile);
                break;
            case LOAD_DLL_DEBUG_EVENT:
                CloseIfOpen(event.u.LoadDll.hFile);
                break;
            case OUTPUT_DEBUG_STRING_EVENT: {
                const OUTPUT_DEBUG_STRING_INFO& info = event.u.DebugString;
                std::string line;
                if (!ReadDebugText(process, info, &line)) {
                    ++result.unreadableTexts;
                    line = UnreadableTraceLine(info.nDebugStringLength,
                                               reinterpret_cast<std::uintptr_t>(info.lpDebugStringData));
                    std::fprintf(stderr, "tracecap: %s\n", line.c_str() + 2);
                }
                onText(line);
                break;
            }
            case EXCEPTION_DEBUG_EVENT:
                // The breakpoint the system raises as the debuggee starts is
                // ours; every other exception is the debuggee's to handle.
                if (!initialBreakpointSeen && event.u.Exception.ExceptionRecord.ExceptionCode == EXCEPTION_BREAKPOINT)
                    initialBreakpointSeen = true;
                else
                    continueStatus = DBG_EXCEPTION_NOT_HANDLED;
                break;
            case EXIT_PROCESS_DEBUG_EVENT:
                result.debuggeeEnded = true;
                result.exitCode = event.u.ExitProcess.dwExitCode;
                break;
            case RIP_EVENT:
                std::fprintf(stderr, "tracecap: the debuggee died (error %lu)\n", event.u.RipInfo.dwError);
                break;
            default:
                break;
        }
        if (!::ContinueDebugEvent(event.dwProcessId, event.dwThreadId, continueStatus)) {
            std::fprintf(stderr, "tracecap: continuing the debuggee failed (error %lu)\n", ::GetLastError());
            return result;
        }
        if (result.debuggeeEnded)
            return result;
    }
}
