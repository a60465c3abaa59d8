#pragma once
// Pixels of the screen (the Wine desktop) as the user sees them: for checks on things that
// are painted rather than windows, such as tray icons, and for screenshots.
#include <windows.h>

#include <string>
#include <vector>

class ScreenCapture {
public:
    explicit ScreenCapture(const RECT& area);

    int Width() const noexcept { return m_width; }
    int Height() const noexcept { return m_height; }
    COLORREF Pixel(int x, int y) const noexcept;
    // How many pixels lie within tolerance of the colour in each of red, green and blue.
    int CountNear(COLORREF color, int tolerance) const noexcept;
    // Writes a 24-bit BMP file; false when it could not be written.
    bool SaveBmp(const std::string& path) const;

private:
    int m_width;
    int m_height;
    std::vector<RGBQUAD> m_pixels;  // top-down rows
};

// The taskbar of the Wine desktop, where the notification area lies; empty when none.
RECT TaskbarRect();
RECT DesktopRect();
// How many pixels of our icon's star colour the notification area shows.
int TrayStarPixels();
// Where on the screen the notification area shows our icon (the middle of its star), or
// {0, 0} when it shows none.
POINT TrayStarCentre();

// Saves a screenshot of the whole desktop as <name>.bmp in the directory that the
// environment variable VORLUND_SCREENSHOTS names; does nothing when it is not set.
void SaveScreenshotIfAsked(const char* name);
