#include <string>
#include <vector>

#include "ansi_text.h"
#include "commands.h"
#include "controls.h"
#include "errors.h"
#include "messages.h"
#include "user_input.h"

namespace {

HWND RequireCombo(Context& context, const Args& args)
{
    HWND combo = ControlOf(context, args, 0);
    if (ClassOf(combo) != "ComboBox") {
        throw DriverError(ControlName(combo) + " is a " + ClassOf(combo) + ", not a combo box");
    }
    return combo;
}

// Read as Unicode: Wine hands an ANSI caller of another process the
// entry's UTF-16 bytes unconverted. The program's ANSI entries come back
// byte for byte from the conversion.
std::vector<std::string> Entries(HWND combo)
{
    std::vector<std::string> entries;
    auto count = static_cast<int>(Send(combo, CB_GETCOUNT));
    for (int i = 0; i < count; ++i) {
        LRESULT length = SendWide(combo, CB_GETLBTEXTLEN, i);
        if (length == CB_ERR) {
            throw DriverError("entry " + std::to_string(i) + " of " + ControlName(combo) + " cannot be read");
        }
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        LRESULT copied = SendWide(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(copied == CB_ERR ? 0 : static_cast<size_t>(copied));
        entries.push_back(WideToAnsi(text));
    }
    return entries;
}

Json Selection(HWND combo, const std::vector<std::string>& entries)
{
    auto selected = static_cast<int>(Send(combo, CB_GETCURSEL));
    bool valid = selected >= 0 && selected < static_cast<int>(entries.size());
    return Json::Object()
        .Set("selected", valid ? Json(selected) : Json())
        .Set("text", valid ? Json(entries[static_cast<size_t>(selected)]) : Json());
}

}  // namespace

Json CmdCombo(Context& context, const Args& args)
{
    HWND combo = RequireCombo(context, args);
    std::vector<std::string> entries = Entries(combo);
    Json list = Json::Array();
    for (const std::string& entry : entries) {
        list.Push(entry);
    }
    return Json::Object().Set("id", IdOf(combo)).Set("entries", list).Merge(Selection(combo, entries));
}

Json CmdSelect(Context& context, const Args& args)
{
    std::optional<std::string> indexText = args.Value("--index");
    if ((args.Count() > 1) == indexText.has_value()) {
        throw UsageError("select takes either an entry's text or --index N");
    }
    HWND combo = RequireCombo(context, args);
    RequireReachable(combo);
    std::vector<std::string> entries = Entries(combo);
    int index = -1;
    if (indexText) {
        long long wanted = ParseInteger(*indexText, "an entry index");
        if (wanted < 0 || wanted >= static_cast<long long>(entries.size())) {
            throw DriverError(ControlName(combo) + " has no entry " + *indexText + "; it has " +
                              std::to_string(entries.size()));
        }
        index = static_cast<int>(wanted);
    } else {
        for (size_t i = 0; i < entries.size() && index < 0; ++i) {
            if (entries[i] == args.At(1)) {
                index = static_cast<int>(i);
            }
        }
        if (index < 0) {
            Json list = Json::Array();
            for (const std::string& entry : entries) {
                list.Push(entry);
            }
            throw DriverError(ControlName(combo) + " has no entry \"" + args.At(1) + "\"",
                              Json::Object().Set("entries", list));
        }
    }
    // A pick from the drop-down list changes the selection and then tells
    // the dialog; setting it does not notify, so the notice follows.
    if (Send(combo, CB_SETCURSEL, index) != index) {
        throw DriverError(ControlName(combo) + " did not take entry " + std::to_string(index));
    }
    HWND dialog = GetParent(combo);
    Post(dialog, WM_COMMAND, MAKEWPARAM(IdOf(combo), CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    bool settled = Settle(dialog, 1);
    return Json::Object().Set("id", IdOf(combo)).Merge(Selection(combo, entries)).Set("settled", settled);
}
