// Reads the program's compiled resources back out of this executable, which
// links the same resource object as the program, and holds them against what
// the dialogs, the framework and Windows need from them.

#include <windows.h>  // first: commctrl.h builds on its types

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <optional>
#include <ostream>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "nw_version.h"
#include "resource.h"

// The resource compiler's name for the id of labels and group boxes.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

namespace {

constexpr DWORD kShown = WS_CHILD | WS_VISIBLE;
const LPCSTR kDialogInitType = MAKEINTRESOURCEA(240);
// The manifest Windows reads when it starts the process.
constexpr WORD kProcessManifestId = 1;

std::span<const std::byte> ResourceBytes(LPCSTR name, LPCSTR type)
{
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(module, name, type);
    if (info == nullptr) {
        return {};
    }
    HGLOBAL loaded = LoadResource(module, info);
    DWORD size = SizeofResource(module, info);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr || size == 0) {
        return {};
    }
    return {static_cast<const std::byte*>(data), size};
}

// A text in a template or a version block, or the ordinal that stands for it.
struct NameOrOrdinal {
    NameOrOrdinal() = default;
    NameOrOrdinal(const wchar_t* text) : name(text) {}
    static NameOrOrdinal Ordinal(WORD value)
    {
        NameOrOrdinal result;
        result.ordinal = value;
        return result;
    }

    std::optional<WORD> ordinal;
    std::wstring name;
};

// Little-endian fields of a resource. Past the end it yields zeros and
// remembers the overrun, so a truncated resource fails the test instead of
// being read beyond its end.
class Reader {
public:
    explicit Reader(std::span<const std::byte> bytes) : bytes_(bytes) {}

    template <typename T>
    T Read()
    {
        T value{};
        if (bytes_.size() - pos_ < sizeof(T)) {
            overran_ = true;
            pos_ = bytes_.size();
            return value;
        }
        std::memcpy(&value, bytes_.data() + pos_, sizeof(T));
        pos_ += sizeof(T);
        return value;
    }

    std::wstring Text()
    {
        std::wstring text;
        for (wchar_t c = Read<wchar_t>(); c != L'\0' && !overran_; c = Read<wchar_t>()) {
            text += c;
        }
        return text;
    }

    // 0 for none, 0xFFFF and an ordinal, or a text.
    NameOrOrdinal Field()
    {
        NameOrOrdinal field;
        auto first = Read<wchar_t>();
        if (first == 0xFFFF) {
            field.ordinal = Read<WORD>();
        } else if (first != L'\0') {
            field.name = first + Text();
        }
        return field;
    }

    // Offsets are counted from the start of the resource, which Windows keeps DWORD-aligned.
    void AlignToDword() { pos_ = std::min(bytes_.size(), (pos_ + 3) & ~std::size_t{3}); }
    void Skip(std::size_t count)
    {
        overran_ = overran_ || bytes_.size() - pos_ < count;
        pos_ = std::min(bytes_.size(), pos_ + count);
    }
    std::size_t Position() const { return pos_; }
    bool Overran() const { return overran_; }

private:
    std::span<const std::byte> bytes_;
    std::size_t pos_ = 0;
    bool overran_ = false;
};

std::string Narrow(std::wstring_view text)
{
    std::string result;
    for (wchar_t c : text) {
        if (c >= 0x20 && c < 0x7F) {
            result += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
            result += escaped;
        }
    }
    return result;
}

std::string Describe(const NameOrOrdinal& field)
{
    if (field.ordinal) {
        return "#" + std::to_string(*field.ordinal);
    }
    return "\"" + Narrow(field.name) + "\"";
}

// Class names as Windows matches them: the predefined atoms by their names,
// and case-insensitively (windres writes "BUTTON" where rc writes atom 0x80).
std::string ClassKey(const NameOrOrdinal& windowClass)
{
    static const wchar_t* const predefined[] = {L"Button", L"Edit", L"Static", L"ListBox", L"ScrollBar", L"ComboBox"};
    std::wstring name = windowClass.name;
    if (windowClass.ordinal) {
        WORD atom = *windowClass.ordinal;
        name = atom >= 0x80 && atom <= 0x85 ? predefined[atom - 0x80] : L"#" + std::to_wstring(atom);
    }
    std::string key = Narrow(name);
    std::transform(key.begin(), key.end(), key.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; });
    return key;
}

std::string Hex(DWORD value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

std::string HexBytes(std::span<const std::byte> bytes)
{
    std::string text;
    for (std::byte b : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, "%02X ", std::to_integer<unsigned>(b));
        text += pair;
    }
    return text;
}

struct DialogItem {
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    NameOrOrdinal windowClass;
    NameOrOrdinal title;
    WORD extraCount = 0;
};

struct DialogTemplate {
    WORD version = 1;
    WORD signature = 0xFFFF;
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::wstring title;
    WORD pointSize = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charset = 0;
    std::wstring typeface;
    std::vector<DialogItem> items;
    std::size_t end = 0;  // offset just past the last control
};

// An extended dialog template (DLGTEMPLATEEX and its DLGITEMTEMPLATEEX items);
// nothing if the resource is of the older kind or ends too early.
std::optional<DialogTemplate> ParseDialogTemplate(std::span<const std::byte> bytes)
{
    Reader in(bytes);
    DialogTemplate dialog;
    dialog.version = in.Read<WORD>();
    dialog.signature = in.Read<WORD>();
    if (dialog.version != 1 || dialog.signature != 0xFFFF) {
        return std::nullopt;
    }
    dialog.helpId = in.Read<DWORD>();
    dialog.exStyle = in.Read<DWORD>();
    dialog.style = in.Read<DWORD>();
    WORD count = in.Read<WORD>();
    dialog.x = in.Read<short>();
    dialog.y = in.Read<short>();
    dialog.cx = in.Read<short>();
    dialog.cy = in.Read<short>();
    dialog.menu = in.Field();
    dialog.windowClass = in.Field();
    dialog.title = in.Text();
    if (dialog.style & (DS_SETFONT | DS_SHELLFONT)) {
        dialog.pointSize = in.Read<WORD>();
        dialog.weight = in.Read<WORD>();
        dialog.italic = in.Read<BYTE>();
        dialog.charset = in.Read<BYTE>();
        dialog.typeface = in.Text();
    }
    for (WORD i = 0; i < count && !in.Overran(); ++i) {
        in.AlignToDword();
        DialogItem item;
        item.helpId = in.Read<DWORD>();
        item.exStyle = in.Read<DWORD>();
        item.style = in.Read<DWORD>();
        item.x = in.Read<short>();
        item.y = in.Read<short>();
        item.cx = in.Read<short>();
        item.cy = in.Read<short>();
        item.id = in.Read<DWORD>();
        item.windowClass = in.Field();
        item.title = in.Field();
        item.extraCount = in.Read<WORD>();
        in.Skip(item.extraCount);
        dialog.items.push_back(item);
    }
    if (in.Overran()) {
        return std::nullopt;
    }
    dialog.end = in.Position();
    return dialog;
}

std::string Describe(const DialogTemplate& d)
{
    std::ostringstream out;
    out << "version " << d.version << " signature " << Hex(d.signature) << " help " << d.helpId << " style "
        << Hex(d.style) << " exstyle " << Hex(d.exStyle) << " at " << d.x << "," << d.y << " size " << d.cx << "x"
        << d.cy << " menu " << Describe(d.menu) << " class " << Describe(d.windowClass) << " caption \""
        << Narrow(d.title) << "\" font " << d.pointSize << "pt weight " << d.weight << " italic " << int{d.italic}
        << " charset " << int{d.charset} << " \"" << Narrow(d.typeface) << "\" controls " << d.items.size();
    return out.str();
}

std::string Describe(const DialogItem& item)
{
    std::ostringstream out;
    out << "id " << static_cast<int>(item.id) << " class " << ClassKey(item.windowClass) << " text "
        << Describe(item.title) << " at " << item.x << "," << item.y << " size " << item.cx << "x" << item.cy
        << " style " << Hex(item.style) << " exstyle " << Hex(item.exStyle) << " help " << item.helpId << " extra "
        << item.extraCount;
    return out.str();
}

struct ExpectedControl {
    int id;
    const wchar_t* className;
    NameOrOrdinal text;
    short x, y, cx, cy;
    DWORD style;

    DialogItem AsItem() const
    {
        DialogItem item;
        item.style = style;
        item.x = x;
        item.y = y;
        item.cx = cx;
        item.cy = cy;
        item.id = static_cast<DWORD>(id);
        item.windowClass = className;
        item.title = text;
        return item;
    }
};

struct ExpectedDialog {
    const char* name;
    int id;
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    const wchar_t* caption;
    WORD pointSize;
    WORD weight;
    const wchar_t* typeface;
    const std::vector<ExpectedControl>* controls;

    DialogTemplate AsTemplate() const
    {
        DialogTemplate dialog;
        dialog.style = style;
        dialog.exStyle = exStyle;
        dialog.x = x;
        dialog.y = y;
        dialog.cx = cx;
        dialog.cy = cy;
        dialog.title = caption;
        dialog.pointSize = pointSize;
        dialog.weight = weight;
        dialog.charset = DEFAULT_CHARSET;
        dialog.typeface = typeface;
        for (const auto& control : *controls) {
            dialog.items.push_back(control.AsItem());
        }
        return dialog;
    }
};

constexpr const wchar_t* kButton = L"Button";
constexpr const wchar_t* kStatic = L"Static";

constexpr DWORD kPushButton = kShown | BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kEditBox = kShown | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
constexpr DWORD kGroupBox = kShown | BS_GROUPBOX;
constexpr DWORD kLeftLabel = kShown | SS_LEFT;
constexpr DWORD kRightLabel = kShown | SS_RIGHT;
constexpr DWORD kDropDownList = kShown | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;

// The main window, from the table that the end-to-end test reads too.
#define MAIN_WINDOW_SIZE(cx, cy) constexpr short kMainWidth = cx, kMainHeight = cy;
#define MAIN_WINDOW_CONTROL(id, className, text, x, y, cx, cy, style)
#include "main_window_layout.h"
#undef MAIN_WINDOW_SIZE
#undef MAIN_WINDOW_CONTROL

const std::vector<ExpectedControl> kMainControls = {
#define MAIN_WINDOW_SIZE(cx, cy)
#define MAIN_WINDOW_CONTROL(id, className, text, x, y, cx, cy, style) \
    {id, L"" className, L"" text, x, y, cx, cy, style},
#include "main_window_layout.h"
#undef MAIN_WINDOW_SIZE
#undef MAIN_WINDOW_CONTROL
};

const std::vector<ExpectedControl> kAboutControls = {
    {IDC_STATIC, kStatic, NameOrOrdinal::Ordinal(IDR_MAINFRAME), 11, 17, 20, 20, kShown | SS_ICON},
    {IDC_STATIC, kStatic, L"Seekwell Version 1.0", 40, 10, 119, 8, kLeftLabel | SS_NOPREFIX},
    {IDC_STATIC, kStatic, L"Copyright (C) 2026 Nodewright", 40, 25, 119, 8, kLeftLabel | SS_NOPREFIX},
    {IDOK, kButton, L"OK", 178, 7, 50, 14, kShown | BS_DEFPUSHBUTTON | WS_GROUP},
};

const std::vector<ExpectedControl> kWaitControls = {
    {IDC_STATIC, kStatic, L"Please Wait...", 12, 18, 106, 13, kShown | SS_CENTER},
};

const ExpectedDialog kDialogs[] = {
    {"MainWindow", IDD_SEEKWELL_DIALOG, DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU,
     WS_EX_APPWINDOW, 0, 0, kMainWidth, kMainHeight, L"Nodewright ( 2.1.0.5.1 )", 8, FW_NORMAL, L"MS Sans Serif",
     &kMainControls},
    {"AboutBox", IDD_ABOUTBOX, DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 235, 55,
     L"About Seekwell", 8, FW_NORMAL, L"MS Sans Serif", &kAboutControls},
    // A title bar without a title and without a system menu: the box offers no way to close it.
    {"WaitBox", IDD_WAIT_DIALOG, DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION, 0, 0, 0, 131, 43, L"", 8,
     FW_NORMAL, L"MS Shell Dlg", &kWaitControls},
};

// Names the template in failure messages instead of dumping its bytes.
void PrintTo(const ExpectedDialog& dialog, std::ostream* out)
{
    *out << dialog.name << " (" << dialog.id << ")";
}

class DialogTemplateTest : public testing::TestWithParam<ExpectedDialog> {};

TEST_P(DialogTemplateTest, MatchesItsTable)
{
    const ExpectedDialog& expected = GetParam();
    auto bytes = ResourceBytes(MAKEINTRESOURCEA(expected.id), RT_DIALOG);
    ASSERT_FALSE(bytes.empty()) << "no dialog template " << expected.id;
    auto parsed = ParseDialogTemplate(bytes);
    ASSERT_TRUE(parsed) << "dialog template " << expected.id << " is not an extended template or ends too early";

    DialogTemplate wanted = expected.AsTemplate();
    EXPECT_EQ(Describe(*parsed), Describe(wanted));
    for (std::size_t i = 0; i < std::min(parsed->items.size(), wanted.items.size()); ++i) {
        SCOPED_TRACE("control " + std::to_string(i + 1) + " in template order");
        EXPECT_EQ(Describe(parsed->items[i]), Describe(wanted.items[i]));
    }
    // Anything after the last control would be a control the count does not cover.
    EXPECT_LT(bytes.size() - parsed->end, 4u) << "bytes left after the last control";
}

INT_PTR CALLBACK InertDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

std::wstring WindowText(HWND window)
{
    wchar_t text[256] = L"";
    GetWindowTextW(window, text, static_cast<int>(std::size(text)));
    return text;
}

// Windows itself builds the window from the template: every class exists,
// every control is made, in template order, in the state the table says.
TEST_P(DialogTemplateTest, OpensWithEveryControl)
{
    const ExpectedDialog& expected = GetParam();
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_LISTVIEW_CLASSES};
    ASSERT_TRUE(InitCommonControlsEx(&classes));

    HWND dialog =
        CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(expected.id), nullptr, InertDialogProc, 0);
    ASSERT_NE(dialog, nullptr) << "CreateDialogParam failed, error " << GetLastError();
    EXPECT_EQ(Narrow(WindowText(dialog)), Narrow(expected.caption));
    EXPECT_EQ(Hex(GetWindowLongW(dialog, GWL_STYLE) & (WS_VISIBLE | WS_SYSMENU)),
              Hex(expected.style & (WS_VISIBLE | WS_SYSMENU)));

    HWND child = GetWindow(dialog, GW_CHILD);
    for (std::size_t i = 0; i < expected.controls->size() && child != nullptr; ++i) {
        const ExpectedControl& control = (*expected.controls)[i];
        SCOPED_TRACE("control " + std::to_string(i + 1) + " in template order");
        EXPECT_EQ(GetDlgCtrlID(child), control.id);
        wchar_t className[64] = L"";
        EXPECT_GT(GetClassNameW(child, className, static_cast<int>(std::size(className))), 0);
        EXPECT_EQ(lstrcmpiW(className, control.className), 0) << Narrow(className);
        DWORD style = static_cast<DWORD>(GetWindowLongW(child, GWL_STYLE));
        EXPECT_EQ((style & WS_VISIBLE) != 0, (control.style & WS_VISIBLE) != 0);
        EXPECT_EQ(IsWindowEnabled(child) != FALSE, (control.style & WS_DISABLED) == 0);
        if (control.text.ordinal && (control.style & SS_TYPEMASK) == SS_ICON) {
            EXPECT_NE(SendMessageW(child, STM_GETICON, 0, 0), 0) << "the icon did not load";
        }
        child = GetWindow(child, GW_HWNDNEXT);
    }
    int made = 0;
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        ++made;
    }
    EXPECT_EQ(made, static_cast<int>(expected.controls->size()));
    EXPECT_TRUE(DestroyWindow(dialog));
}

INSTANTIATE_TEST_SUITE_P(Templates, DialogTemplateTest, testing::ValuesIn(kDialogs),
                         [](const testing::TestParamInfo<ExpectedDialog>& info) { return info.param.name; });

TEST(ResourceTest, SystemMenuEntryText)
{
    char text[64] = "";
    ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUTBOX, text, sizeof text), 0);
    EXPECT_STREQ(text, "&About Seekwell...");
}

// The framework sends each record's message with its data to the control when
// the main dialog opens; one record fills the Extension Tool box.
TEST(ResourceTest, ExtensionToolBoxInitialisationData)
{
    std::vector<std::byte> expected;
    auto put = [&expected](const void* data, std::size_t size) {
        const auto* bytes = static_cast<const std::byte*>(data);
        expected.insert(expected.end(), bytes, bytes + size);
    };
    const WORD control = IDC_EXTENSION_TOOL;
    const WORD message = CB_ADDSTRING;
    const char text[] = "DevozuduDere";
    const DWORD length = sizeof text;
    const WORD end = 0;
    put(&control, sizeof control);
    put(&message, sizeof message);
    put(&length, sizeof length);
    put(text, sizeof text);
    put(&end, sizeof end);

    auto bytes = ResourceBytes(MAKEINTRESOURCEA(IDD_SEEKWELL_DIALOG), kDialogInitType);
    ASSERT_FALSE(bytes.empty()) << "no initialisation data for the main dialog";
    EXPECT_EQ(HexBytes(bytes), HexBytes(expected));
}

TEST(ResourceTest, IconIsOne32By32ImageWithAlpha)
{
    auto group = ResourceBytes(MAKEINTRESOURCEA(IDR_MAINFRAME), RT_GROUP_ICON);
    ASSERT_FALSE(group.empty()) << "no icon group " << IDR_MAINFRAME;
    Reader directory(group);
    EXPECT_EQ(directory.Read<WORD>(), 0);
    EXPECT_EQ(directory.Read<WORD>(), 1) << "not an icon";
    ASSERT_EQ(directory.Read<WORD>(), 1) << "images in the icon";
    EXPECT_EQ(directory.Read<BYTE>(), 32) << "width";
    EXPECT_EQ(directory.Read<BYTE>(), 32) << "height";
    EXPECT_EQ(directory.Read<BYTE>(), 0) << "palette colours";
    directory.Read<BYTE>();
    EXPECT_EQ(directory.Read<WORD>(), 1) << "planes";
    EXPECT_EQ(directory.Read<WORD>(), 32) << "bits per pixel";
    DWORD imageSize = directory.Read<DWORD>();
    WORD imageId = directory.Read<WORD>();
    ASSERT_FALSE(directory.Overran());

    auto image = ResourceBytes(MAKEINTRESOURCEA(imageId), RT_ICON);
    ASSERT_EQ(image.size(), imageSize);
    constexpr std::size_t kPixels = 32 * 32;
    constexpr std::size_t kMaskRow = 4;
    ASSERT_EQ(image.size(), sizeof(BITMAPINFOHEADER) + kPixels * 4 + 32 * kMaskRow) << "BGRA pixels and an AND mask";
    BITMAPINFOHEADER header;
    std::memcpy(&header, image.data(), sizeof header);
    EXPECT_EQ(header.biSize, sizeof header);
    EXPECT_EQ(header.biWidth, 32);
    EXPECT_EQ(header.biHeight, 64) << "the colour image and its mask";
    EXPECT_EQ(header.biPlanes, 1);
    EXPECT_EQ(header.biBitCount, 32);
    EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));

    // Transparent surroundings, an opaque body and soft edges; where a screen
    // draws without alpha, the mask must agree with it at least for the clear cases.
    const std::byte* pixels = image.data() + sizeof header;
    const std::byte* mask = pixels + kPixels * 4;
    int clear = 0, solid = 0, soft = 0, maskDisagrees = 0;
    for (std::size_t i = 0; i < kPixels; ++i) {
        auto alpha = std::to_integer<int>(pixels[i * 4 + 3]);
        bool masked = (std::to_integer<int>(mask[i / 8]) >> (7 - i % 8)) & 1;
        clear += alpha == 0;
        solid += alpha == 255;
        soft += alpha > 0 && alpha < 255;
        maskDisagrees += (alpha == 0 && !masked) || (alpha == 255 && masked);
    }
    EXPECT_GT(clear, 0);
    EXPECT_GT(solid, 0);
    EXPECT_GT(soft, 0);
    EXPECT_EQ(maskDisagrees, 0);

    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_NE(icon, nullptr) << "Windows cannot load the icon, error " << GetLastError();
    ICONINFO info;
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour = {};
    EXPECT_NE(GetObjectW(info.hbmColor, sizeof colour, &colour), 0);
    EXPECT_EQ(colour.bmWidth, 32);
    EXPECT_EQ(colour.bmHeight, 32);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

// One node of a version block: its key and the keys below it.
struct VersionNode {
    std::wstring key;
    std::vector<VersionNode> children;
};

VersionNode ParseVersionNode(Reader& in, std::size_t limit, bool& ok)
{
    in.AlignToDword();
    std::size_t start = in.Position();
    auto length = in.Read<WORD>();
    auto valueLength = in.Read<WORD>();
    auto type = in.Read<WORD>();
    VersionNode node;
    node.key = in.Text();
    std::size_t end = start + length;
    if (length < 6 || end > limit) {
        ok = false;
        return node;
    }
    in.AlignToDword();
    // Text values count their characters, binary ones their bytes.
    in.Skip(type == 1 ? valueLength * sizeof(wchar_t) : valueLength);
    for (;;) {
        in.AlignToDword();
        if (in.Position() >= end || !ok || in.Overran()) {
            break;
        }
        node.children.push_back(ParseVersionNode(in, end, ok));
    }
    in.Skip(end - std::min(end, in.Position()));
    return node;
}

std::vector<std::string> Keys(const VersionNode& node)
{
    std::vector<std::string> keys;
    for (const auto& child : node.children) {
        keys.push_back(Narrow(child.key));
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

class VersionBlockTest : public testing::Test {
protected:
    void SetUp() override
    {
        auto bytes = ResourceBytes(MAKEINTRESOURCEA(VS_VERSION_INFO), RT_VERSION);
        ASSERT_FALSE(bytes.empty()) << "no version block";
        // VerQueryValue wants a block it may write to, as GetFileVersionInfo gives it.
        block_.assign(bytes.begin(), bytes.end());
    }

    std::optional<std::wstring> Text(const std::wstring& name)
    {
        wchar_t* value = nullptr;
        UINT length = 0;
        std::wstring path = L"\\StringFileInfo\\040904B0\\" + name;
        if (!VerQueryValueW(block_.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) {
            return std::nullopt;
        }
        return std::wstring(value, length > 0 && value[length - 1] == L'\0' ? length - 1 : length);
    }

    std::vector<std::byte> block_;
};

TEST_F(VersionBlockTest, FixedPart)
{
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block_.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(Hex(fixed->dwFileVersionMS), Hex(MAKELONG(NW_VERSION_MINOR, NW_VERSION_MAJOR)));
    EXPECT_EQ(Hex(fixed->dwFileVersionLS), Hex(MAKELONG(NW_VERSION_TWEAK, NW_VERSION_PATCH)));
    EXPECT_EQ(Hex(fixed->dwProductVersionMS), Hex(MAKELONG(NW_VERSION_MINOR, NW_VERSION_MAJOR)));
    EXPECT_EQ(Hex(fixed->dwProductVersionLS), Hex(MAKELONG(NW_VERSION_TWEAK, NW_VERSION_PATCH)));
    EXPECT_EQ(fixed->dwFileFlags, 0u);
    EXPECT_EQ(Hex(fixed->dwFileOS), Hex(VOS__WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileSubtype, 0u);
}

TEST_F(VersionBlockTest, OneUsEnglishStringTable)
{
    Reader in(block_);
    bool ok = true;
    VersionNode root = ParseVersionNode(in, block_.size(), ok);
    ASSERT_TRUE(ok && !in.Overran()) << "the version block's lengths do not fit together";
    EXPECT_EQ(Narrow(root.key), "VS_VERSION_INFO");
    ASSERT_EQ(Keys(root), (std::vector<std::string>{"StringFileInfo", "VarFileInfo"}));
    const VersionNode& strings = root.children[0].key == L"StringFileInfo" ? root.children[0] : root.children[1];
    ASSERT_EQ(Keys(strings), std::vector<std::string>{"040904B0"});
    EXPECT_EQ(Keys(strings.children[0]),
              (std::vector<std::string>{"FileDescription", "FileVersion", "InternalName", "LegalCopyright",
                                        "OriginalFilename", "ProductName", "ProductVersion"}));

    DWORD* translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(
        VerQueryValueW(block_.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_EQ(length, sizeof(DWORD)) << "one language";
    EXPECT_EQ(Hex(*translation), Hex(MAKELONG(0x0409, 1200)));

    struct Entry {
        const wchar_t* name;
        const wchar_t* value;
    };
    const Entry entries[] = {
        {L"FileDescription", L"Nodewright V2"},
        {L"InternalName", L"Nodewright V2"},
        {L"ProductName", L"Nodewright V2"},
        {L"OriginalFilename", L"Nodewright V2.EXE"},
        {L"FileVersion", L"" NW_VERSION},
        {L"ProductVersion", L"" NW_VERSION},
        {L"LegalCopyright", L"Copyright (C) 2026 Nodewright"},
    };
    for (const auto& entry : entries) {
        auto value = Text(entry.name);
        ASSERT_TRUE(value) << Narrow(entry.name) << " is missing";
        EXPECT_EQ(Narrow(*value), Narrow(entry.value)) << Narrow(entry.name);
    }
}

// The manifest as Windows reads it: an activation context made from this
// module's manifest resource, asked what it requests.
class ManifestTest : public testing::Test {
protected:
    void SetUp() override
    {
        auto bytes = ResourceBytes(MAKEINTRESOURCEA(kProcessManifestId), RT_MANIFEST);
        ASSERT_FALSE(bytes.empty()) << "no manifest";
        text_.assign(reinterpret_cast<const char*>(bytes.data()), bytes.size());

        wchar_t path[MAX_PATH];
        ASSERT_GT(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
        ACTCTXW request = {};
        request.cbSize = sizeof request;
        request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.lpSource = path;
        request.hModule = GetModuleHandleW(nullptr);
        request.lpResourceName = MAKEINTRESOURCEW(kProcessManifestId);
        context_ = CreateActCtxW(&request);
        ASSERT_NE(context_, INVALID_HANDLE_VALUE) << "Windows rejects the manifest, error " << GetLastError();
    }

    void TearDown() override
    {
        if (context_ != INVALID_HANDLE_VALUE) {
            ReleaseActCtx(context_);
        }
    }

    std::string text_;
    HANDLE context_ = INVALID_HANDLE_VALUE;
};

TEST_F(ManifestTest, RequiresAdministratorWithoutUiAccess)
{
    ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION runLevel = {};
    ASSERT_TRUE(
        QueryActCtxW(0, context_, nullptr, RunlevelInformationInActivationContext, &runLevel, sizeof runLevel, nullptr))
        << "error " << GetLastError();
    EXPECT_EQ(runLevel.RunLevel, ACTCTX_RUN_LEVEL_REQUIRE_ADMIN);
    EXPECT_EQ(runLevel.UiAccess, 0u);
}

TEST_F(ManifestTest, DeclaresDpiAwareness)
{
    wchar_t value[16] = L"";
    SIZE_T written = 0;
    ASSERT_TRUE(QueryActCtxSettingsW(0, context_, L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware",
                                     value, std::size(value), &written))
        << "no dpiAware setting, error " << GetLastError();
    EXPECT_EQ(Narrow(value), "true");
    EXPECT_TRUE(IsProcessDPIAware()) << "the setting did not reach the process";
}

TEST_F(ManifestTest, KeepsTheClassicCommonControls)
{
    EXPECT_EQ(text_.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_EQ(text_.find("<dependency"), std::string::npos);
}

}  // namespace
