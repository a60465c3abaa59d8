#pragma once
// Pixel sizes and positions on today's displays: scaled by the window's DPI (100 % = 96),
// and windows kept where the mouse can reach them.
#include <windows.h>

// The DPI the window is shown at (per monitor where the system knows it), 96 at 100 %.
UINT DpiOfWindow(HWND window) noexcept;

// A size given in pixels at 100 %, at the window's scale.
int ScaleForWindow(HWND window, int pixelsAt96) noexcept;

// The work area (the screen less the taskbar) of the monitor the window is on.
RECT WorkAreaOf(HWND window) noexcept;
// The same of a monitor; the primary one's for none.
RECT WorkAreaOfMonitor(HMONITOR monitor) noexcept;

// Where a rectangle of this size goes when it should stand at (x, y) but must lie wholly on
// the work area: moved just enough, never past the work area's left or top edge.
POINT FitOnWorkArea(const RECT& workArea, int x, int y, int width, int height) noexcept;

// Moves the window (not its size) so that it lies on its monitor's work area.
void KeepOnWorkArea(HWND window) noexcept;
