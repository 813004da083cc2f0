#include "dialog_template.h"
#include "ansi_text.h"

#include <cstring>

namespace {

// Reads the template's fields in order, failing (not reading beyond the
// end) on truncated data.
class TemplateReader {
public:
    TemplateReader(const BYTE* data, size_t size) : data_(data), size_(size) {}

    bool Ok() const { return ok_; }

    template <typename T>
    T Take()
    {
        T value{};
        if (pos_ + sizeof(T) > size_) {
            ok_ = false;
            return value;
        }
        std::memcpy(&value, data_ + pos_, sizeof(T));
        pos_ += sizeof(T);
        return value;
    }

    std::wstring TakeString()
    {
        std::wstring text;
        for (;;) {
            auto c = Take<WORD>();
            if (!ok_ || c == 0) {
                return text;
            }
            text += static_cast<wchar_t>(c);
        }
    }

    // A menu or class field: none, an ordinal, or a string.
    void SkipNameOrOrdinal()
    {
        auto first = Take<WORD>();
        if (first == 0xFFFF) {
            Take<WORD>();
        } else if (first != 0) {
            TakeString();
        }
    }

private:
    const BYTE* data_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

struct Collected {
    HMODULE module;
    std::vector<DialogTemplateInfo>* templates;
};

BOOL CALLBACK CollectTemplate(HMODULE module, LPCSTR, LPSTR name, LONG_PTR param)
{
    auto* collected = reinterpret_cast<Collected*>(param);
    HRSRC resource = FindResourceA(module, name, RT_DIALOG);
    HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    DialogTemplateInfo info;
    if (data != nullptr &&
        ParseDialogTemplate(static_cast<const BYTE*>(data), SizeofResource(module, resource), info)) {
        info.resourceId = IS_INTRESOURCE(name) ? static_cast<int>(reinterpret_cast<UINT_PTR>(name)) : -1;
        collected->templates->push_back(info);
    }
    return TRUE;
}

}  // namespace

bool ParseDialogTemplate(const BYTE* data, size_t size, DialogTemplateInfo& info)
{
    TemplateReader reader(data, size);
    bool extended = size >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF;
    if (extended) {
        reader.Take<DWORD>();  // version and signature
        reader.Take<DWORD>();  // help id
        reader.Take<DWORD>();  // extended style
        info.style = reader.Take<DWORD>();
    } else {
        info.style = reader.Take<DWORD>();
        reader.Take<DWORD>();  // extended style
    }
    info.controlCount = reader.Take<WORD>();
    reader.Take<short>();  // x, y, cx, cy
    reader.Take<short>();
    reader.Take<short>();
    reader.Take<short>();
    reader.SkipNameOrOrdinal();  // menu
    reader.SkipNameOrOrdinal();  // window class
    info.caption = WideToAnsi(reader.TakeString());
    info.hasFont = (info.style & DS_SETFONT) != 0;
    if (info.hasFont) {
        info.pointSize = reader.Take<WORD>();
        if (extended) {
            info.weight = reader.Take<WORD>();
            info.italic = reader.Take<BYTE>();
            info.charset = reader.Take<BYTE>();
        }
        info.face = reader.TakeString();
    }
    return reader.Ok();
}

std::vector<DialogTemplateInfo> ReadDialogTemplates(const std::string& executable)
{
    std::vector<DialogTemplateInfo> templates;
    HMODULE module =
        LoadLibraryExA(executable.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (module == nullptr) {
        return templates;
    }
    Collected collected = {module, &templates};
    EnumResourceNamesA(module, RT_DIALOG, CollectTemplate, reinterpret_cast<LONG_PTR>(&collected));
    FreeLibrary(module);
    return templates;
}
