#pragma once
// Which program opens web pages: the shell's answer for an HTML file, asked once at start-up
// with an empty temporary file in the program's directory.
#include <windows.h>

#include "win/UniqueHandle.h"

constexpr int kBrowserPathSize = 261;
constexpr char kBrowserProbeFileName[] = "tmpminie.html";

// Fills path with the browser's executable (empty when there is none). The temporary file is
// never left behind once created; a directory whose probe path would not fit ends detection
// with nothing.
void DetectDefaultBrowser(const char* appDir, char (&path)[kBrowserPathSize]);
// The browser's large icon (empty when there is no browser or the shell gives none); read when
// the settings dialog first shows a web link, not at start-up.
UniqueIcon LoadBrowserIcon(const char* path);
