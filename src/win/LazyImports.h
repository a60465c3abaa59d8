#pragma once
// The functions of the common controls, COM and its strings, bound when first called: a
// resident program that only sits in the tray never loads these libraries. Only the
// dialogs, the page capture, the shell's COM objects and the keys at a glance call them. Each behaves as the
// function of the same name, and fails as that function fails (null, FALSE, -1 or a failing
// HRESULT) when the library or the function cannot be found. ImageList_AddIcon, a macro,
// becomes lazy::ImageList_ReplaceIcon.
#include <windows.h>
#include <commctrl.h>
#include <oaidl.h>
#include <oleacc.h>

namespace lazy {
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls) noexcept;
HIMAGELIST ImageList_Create(int width, int height, UINT flags, int initial, int grow) noexcept;
BOOL ImageList_Destroy(HIMAGELIST list) noexcept;
HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT flags) noexcept;
HIMAGELIST ImageList_Merge(HIMAGELIST first, int firstIndex, HIMAGELIST second, int secondIndex, int dx,
                           int dy) noexcept;
int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon) noexcept;

HRESULT CoInitializeEx(void* reserved, DWORD model) noexcept;
void CoUninitialize() noexcept;
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object) noexcept;

BSTR SysAllocString(const OLECHAR* text) noexcept;
BSTR SysAllocStringLen(const OLECHAR* text, UINT length) noexcept;
void SysFreeString(BSTR text) noexcept;
UINT SysStringLen(BSTR text) noexcept;
void VariantInit(VARIANT* value) noexcept;

// Accessibility (oleacc): serving a window's own IAccessible, and the system's object of a window.
LRESULT LresultFromObject(REFIID iid, WPARAM wParam, IUnknown* object) noexcept;
HRESULT CreateStdAccessibleObject(HWND window, LONG objectId, REFIID iid, void** object) noexcept;
HRESULT VariantClear(VARIANT* value) noexcept;
}  // namespace lazy
