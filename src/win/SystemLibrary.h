#pragma once
// Loading a system library on first use, by its full path in the system directory: never
// from the program's directory or the search path, whatever the process's search order.
#include <windows.h>

#include "win/UniqueHandle.h"

UniqueModule LoadSystemLibrary(const char* fileName) noexcept;
