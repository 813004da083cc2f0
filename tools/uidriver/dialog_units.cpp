#include "dialog_units.h"

#include <cstring>
#include <map>
#include <tuple>
#include <vector>

#include "controls.h"
#include "dialog_template.h"

namespace {

INT_PTR CALLBACK IdleDialogProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

void PushWord(std::vector<WORD>& out, WORD value)
{
    out.push_back(value);
}

void PushDword(std::vector<WORD>& out, DWORD value)
{
    out.push_back(LOWORD(value));
    out.push_back(HIWORD(value));
}

// Base units of a dialog with this font, measured on a hidden dialog.
std::optional<DialogUnits> MeasureFont(const DialogTemplateInfo& font)
{
    std::vector<WORD> words;
    PushWord(words, 1);       // DLGTEMPLATEEX version
    PushWord(words, 0xFFFF);  // signature
    PushDword(words, 0);      // help id
    PushDword(words, 0);      // extended style
    PushDword(words, WS_POPUP | DS_SETFONT | (font.style & DS_FIXEDSYS));
    PushWord(words, 0);  // no controls
    for (int i = 0; i < 4; ++i) {
        PushWord(words, 10);  // x, y, cx, cy: any
    }
    PushWord(words, 0);  // no menu
    PushWord(words, 0);  // standard class
    PushWord(words, 0);  // empty caption
    PushWord(words, font.pointSize);
    PushWord(words, font.weight);
    PushWord(words, MAKEWORD(font.italic, font.charset));
    for (wchar_t c : font.face) {
        PushWord(words, static_cast<WORD>(c));
    }
    PushWord(words, 0);
    // A template must start on a DWORD boundary.
    std::vector<DWORD> aligned((words.size() + 1) / 2);
    std::memcpy(aligned.data(), words.data(), words.size() * sizeof(WORD));

    HWND dialog = CreateDialogIndirectParamW(
        GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(aligned.data()), nullptr, IdleDialogProc, 0);
    if (dialog == nullptr) {
        return std::nullopt;
    }
    RECT rect = {0, 0, 4, 8};
    BOOL mapped = MapDialogRect(dialog, &rect);
    DestroyWindow(dialog);
    if (!mapped || rect.right <= 0 || rect.bottom <= 0) {
        return std::nullopt;
    }
    DialogUnits units;
    units.baseX = rect.right;
    units.baseY = rect.bottom;
    return units;
}

std::optional<DialogUnits> UnitsOfTemplate(const DialogTemplateInfo& info)
{
    if (!info.hasFont) {
        // Without a font of its own a dialog uses the system font.
        LONG base = GetDialogBaseUnits();
        DialogUnits units;
        units.templateId = info.resourceId;
        units.baseX = LOWORD(base);
        units.baseY = HIWORD(base);
        return units;
    }
    using FontKey = std::tuple<std::wstring, WORD, WORD, BYTE, BYTE, DWORD>;
    static std::map<FontKey, std::optional<DialogUnits>> measured;
    FontKey key{info.face, info.pointSize, info.weight, info.italic, info.charset, info.style & DS_FIXEDSYS};
    auto found = measured.find(key);
    if (found == measured.end()) {
        found = measured.emplace(key, MeasureFont(info)).first;
    }
    std::optional<DialogUnits> units = found->second;
    if (units) {
        units->templateId = info.resourceId;
    }
    return units;
}

const std::vector<DialogTemplateInfo>& TemplatesOf(const std::string& executable)
{
    static std::map<std::string, std::vector<DialogTemplateInfo>> cache;
    auto found = cache.find(executable);
    if (found == cache.end()) {
        found = cache.emplace(executable, ReadDialogTemplates(executable)).first;
    }
    return found->second;
}

int ToUnits(LONG pixels, int base, int unitsPerBase)
{
    int guess = MulDiv(pixels, unitsPerBase, base);
    for (int candidate : {guess, guess - 1, guess + 1}) {
        if (MulDiv(candidate, base, unitsPerBase) == pixels) {
            return candidate;
        }
    }
    return guess;
}

}  // namespace

std::optional<DialogUnits> DialogUnitsOf(HWND dialog, const std::string& executable)
{
    if (executable.empty()) {
        return std::nullopt;
    }
    std::string caption = CaptionOf(dialog);
    // The caption decides; the number of controls only tells apart templates
    // with the same caption (it is short while the dialog is being made).
    int controls = static_cast<int>(ControlsOf(dialog).size());
    const DialogTemplateInfo* match = nullptr;
    int matches = 0;
    for (const DialogTemplateInfo& info : TemplatesOf(executable)) {
        if (info.caption != caption) {
            continue;
        }
        if (match == nullptr || (info.controlCount == controls && match->controlCount != controls)) {
            match = &info;
        }
        ++matches;
    }
    if (match == nullptr || (matches > 1 && match->controlCount != controls)) {
        return std::nullopt;
    }
    return UnitsOfTemplate(*match);
}

Json ToDialogUnits(const RECT& pixels, const DialogUnits& units)
{
    return Json::Object()
        .Set("x", ToUnits(pixels.left, units.baseX, 4))
        .Set("y", ToUnits(pixels.top, units.baseY, 8))
        .Set("w", ToUnits(pixels.right - pixels.left, units.baseX, 4))
        .Set("h", ToUnits(pixels.bottom - pixels.top, units.baseY, 8));
}
