#pragma once
// Reads the rows of a list-view control in another process: the texts live in that
// process's memory, so the request and its buffer are placed there.
#include <windows.h>

#include <string>

int RemoteListViewRowCount(HWND list);
std::string RemoteListViewText(HWND list, int row, int column);
