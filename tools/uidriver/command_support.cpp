#include "command_support.h"

#include "controls.h"
#include "errors.h"
#include "window_select.h"

DWORD TimeoutOf(const Context& context, const Args& args)
{
    std::optional<std::string> value = args.Value(kTimeoutOption.name);
    return value ? ParseMilliseconds(*value) : context.settings.timeoutMs;
}

HWND WindowOf(Context& context, const Args& args)
{
    return RequireSelected(context.target, args.Value(kInOption.name).value_or("main"));
}

HWND ControlOf(Context& context, const Args& args, size_t index)
{
    return FindControl(WindowOf(context, args), args.At(index));
}

int NumberArg(const Args& args, size_t index, const std::string& what)
{
    long long value = ParseInteger(args.At(index), what);
    if (value < 0 || value > 0x7FFFFFFF) {
        throw UsageError(what + " must lie between 0 and 2147483647, not " + args.At(index));
    }
    return static_cast<int>(value);
}

void ThrowTimeout(const std::string& what, DWORD timeoutMs, Json seen)
{
    throw TimeoutError("timed out after " + std::to_string(timeoutMs) + " ms waiting for " + what, std::move(seen));
}
