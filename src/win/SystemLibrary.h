#pragma once
// Loading a system library on first use, by its full path in the system directory: never
// from the program's directory or the search path, whatever the process's search order.
#include <windows.h>

#include <string>

#include "win/UniqueHandle.h"

UniqueModule LoadSystemLibrary(const char* fileName) noexcept;

// A module's full path as Windows has it (null: the program); empty when it cannot be had
// whole.
std::wstring ModulePath(HMODULE module);
