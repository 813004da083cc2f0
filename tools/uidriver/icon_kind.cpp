#include "icon_kind.h"

#include <cstdlib>
#include <vector>

#include "messages.h"

namespace {

struct StandardIcon {
    const char* name;
    LPCSTR id;
};

const StandardIcon kStandardIcons[] = {
    {"exclamation", IDI_EXCLAMATION},
    {"question", IDI_QUESTION},
    {"information", IDI_INFORMATION},
    {"error", IDI_ERROR},
};

// Share of an icon's opaque pixels that must match the screen.
constexpr double kMatchShare = 0.95;
constexpr int kChannelTolerance = 8;

// A 32-bit top-down bitmap whose pixels the driver reads directly.
class Canvas {
public:
    Canvas(int width, int height) : width_(width), height_(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels_ = static_cast<const DWORD*>(bits);
        if (dc_ != nullptr && bitmap_ != nullptr) {
            previous_ = SelectObject(dc_, bitmap_);
        }
    }
    ~Canvas()
    {
        if (previous_ != nullptr) {
            SelectObject(dc_, previous_);
        }
        if (bitmap_ != nullptr) {
            DeleteObject(bitmap_);
        }
        if (dc_ != nullptr) {
            DeleteDC(dc_);
        }
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool Ok() const { return pixels_ != nullptr && previous_ != nullptr; }
    HDC Dc() const { return dc_; }
    DWORD Pixel(int i) const { return pixels_[i] & 0xFFFFFF; }
    int Size() const { return width_ * height_; }
    void Fill(COLORREF colour)
    {
        RECT all = {0, 0, width_, height_};
        HBRUSH brush = CreateSolidBrush(colour);
        FillRect(dc_, &all, brush);
        DeleteObject(brush);
        GdiFlush();
    }

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    const DWORD* pixels_ = nullptr;
};

bool Near(DWORD a, DWORD b)
{
    for (int shift = 0; shift < 24; shift += 8) {
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) >
            kChannelTolerance) {
            return false;
        }
    }
    return true;
}

// Share of the icon's opaque pixels (those that come out the same on black
// and on white) that the screen shows alike.
double MatchShare(const Canvas& screen, HICON icon, int width, int height)
{
    Canvas onBlack(width, height);
    Canvas onWhite(width, height);
    if (!onBlack.Ok() || !onWhite.Ok()) {
        return 0;
    }
    onBlack.Fill(RGB(0, 0, 0));
    onWhite.Fill(RGB(255, 255, 255));
    // The static stretches its icon over its client area.
    if (!DrawIconEx(onBlack.Dc(), 0, 0, icon, width, height, 0, nullptr, DI_NORMAL) ||
        !DrawIconEx(onWhite.Dc(), 0, 0, icon, width, height, 0, nullptr, DI_NORMAL)) {
        return 0;
    }
    GdiFlush();
    int opaque = 0;
    int matched = 0;
    for (int i = 0; i < screen.Size(); ++i) {
        if (onBlack.Pixel(i) != onWhite.Pixel(i)) {
            continue;
        }
        ++opaque;
        if (Near(onBlack.Pixel(i), screen.Pixel(i))) {
            ++matched;
        }
    }
    return opaque == 0 ? 0 : static_cast<double>(matched) / opaque;
}

}  // namespace

std::string IconKindOf(HWND iconStatic)
{
    if (iconStatic == nullptr || !IsWindowVisible(iconStatic) || Send(iconStatic, STM_GETICON) == 0) {
        return "none";
    }
    RECT rect = {};
    GetClientRect(iconStatic, &rect);
    MapWindowPoints(iconStatic, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    Canvas screen(width, height);
    HDC screenDc = GetDC(nullptr);
    if (width <= 0 || height <= 0 || !screen.Ok() || screenDc == nullptr) {
        if (screenDc != nullptr) {
            ReleaseDC(nullptr, screenDc);
        }
        return "unknown";
    }
    BOOL copied = BitBlt(screen.Dc(), 0, 0, width, height, screenDc, rect.left, rect.top, SRCCOPY | CAPTUREBLT);
    ReleaseDC(nullptr, screenDc);
    GdiFlush();
    if (!copied) {
        return "unknown";
    }
    for (const StandardIcon& standard : kStandardIcons) {
        HICON icon = LoadIconA(nullptr, standard.id);
        if (icon != nullptr && MatchShare(screen, icon, width, height) >= kMatchShare) {
            return standard.name;
        }
    }
    return "unknown";
}
