#include "ScreenCapture.h"

#include <cstdlib>
#include <cstring>

#include "common/FileText.h"

ScreenCapture::ScreenCapture(const RECT& area)
    : m_width(area.right - area.left), m_height(area.bottom - area.top) {
    if (m_width <= 0 || m_height <= 0) {
        m_width = m_height = 0;
        return;
    }
    m_pixels.resize(static_cast<std::size_t>(m_width) * m_height);
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = m_width;
    info.bmiHeader.biHeight = -m_height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, m_width, m_height, screen, area.left, area.top, SRCCOPY);
    ::GdiFlush();
    std::memcpy(m_pixels.data(), bits, m_pixels.size() * sizeof(RGBQUAD));
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
}

COLORREF ScreenCapture::Pixel(int x, int y) const noexcept {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return CLR_INVALID;
    const RGBQUAD& p = m_pixels[static_cast<std::size_t>(y) * m_width + x];
    return RGB(p.rgbRed, p.rgbGreen, p.rgbBlue);
}

int ScreenCapture::CountNear(COLORREF color, int tolerance) const noexcept {
    int count = 0;
    for (const RGBQUAD& p : m_pixels)
        if (std::abs(p.rgbRed - GetRValue(color)) <= tolerance &&
            std::abs(p.rgbGreen - GetGValue(color)) <= tolerance &&
            std::abs(p.rgbBlue - GetBValue(color)) <= tolerance)
            ++count;
    return count;
}

bool ScreenCapture::SaveBmp(const std::string& path) const {
    const int rowBytes = (m_width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = m_width;
    header.biHeight = m_height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biSizeImage = static_cast<DWORD>(rowBytes * m_height);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + header.biSizeImage;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&header), sizeof header);
    for (int y = m_height - 1; y >= 0; --y) {
        std::string row(static_cast<std::size_t>(rowBytes), '\0');
        for (int x = 0; x < m_width; ++x) {
            const RGBQUAD& p = m_pixels[static_cast<std::size_t>(y) * m_width + x];
            row[x * 3] = static_cast<char>(p.rgbBlue);
            row[x * 3 + 1] = static_cast<char>(p.rgbGreen);
            row[x * 3 + 2] = static_cast<char>(p.rgbRed);
        }
        bytes += row;
    }
    return WriteFileBytes(path, bytes);
}

RECT TaskbarRect() {
    RECT rect{};
    if (HWND taskbar = ::FindWindowA("Shell_TrayWnd", nullptr)) ::GetWindowRect(taskbar, &rect);
    return rect;
}

RECT DesktopRect() {
    RECT rect{};
    ::GetWindowRect(::GetDesktopWindow(), &rect);
    return rect;
}

namespace {
// The star of the program's icon is this gold; nothing else in Wine's taskbar is.
constexpr COLORREF kStarGold = RGB(250, 200, 40);
constexpr int kStarTolerance = 40;
}  // namespace

int TrayStarPixels() { return ScreenCapture(TaskbarRect()).CountNear(kStarGold, kStarTolerance); }

POINT TrayStarCentre() {
    const RECT taskbar = TaskbarRect();
    const ScreenCapture capture(taskbar);
    long sumX = 0, sumY = 0, count = 0;
    for (int y = 0; y < capture.Height(); ++y)
        for (int x = 0; x < capture.Width(); ++x) {
            const COLORREF pixel = capture.Pixel(x, y);
            if (std::abs(GetRValue(pixel) - GetRValue(kStarGold)) <= kStarTolerance &&
                std::abs(GetGValue(pixel) - GetGValue(kStarGold)) <= kStarTolerance &&
                std::abs(GetBValue(pixel) - GetBValue(kStarGold)) <= kStarTolerance)
                sumX += x, sumY += y, ++count;
        }
    if (count == 0) return POINT{0, 0};
    return POINT{taskbar.left + sumX / count, taskbar.top + sumY / count};
}

void SaveScreenshotIfAsked(const char* name) {
    const char* dir = std::getenv("VORLUND_SCREENSHOTS");
    if (!dir || !*dir) return;
    ::Sleep(800);  // let every window finish painting
    ScreenCapture(DesktopRect()).SaveBmp(std::string(dir) + "\\" + name + ".bmp");
}
