#include "win/LazyImports.h"

#include "win/ProcAddress.h"
#include "win/SystemLibrary.h"

namespace {
// Each library is loaded once, on the first call into it, and stays for the life of the
// process, as an import would: a worker may still be inside it while the program ends.
HMODULE CommonControls() noexcept {
    // By name, so that the manifest's dependency chooses version 6; the search is limited
    // to the system's folder at start-up, and the manifest's choice comes before it.
    static const HMODULE module = ::LoadLibraryA("comctl32.dll");
    return module;
}
HMODULE Com() noexcept {
    static const HMODULE module = LoadSystemLibrary("ole32.dll").Release();
    return module;
}
HMODULE ComStrings() noexcept {
    static const HMODULE module = LoadSystemLibrary("oleaut32.dll").Release();
    return module;
}
HMODULE Accessibility() noexcept {
    static const HMODULE module = LoadSystemLibrary("oleacc.dll").Release();
    return module;
}

// The function `name` of `module`, found on its first call.
#define LAZY_PROC(module, name) \
    static const auto proc = GetProcAs<decltype(&::name)>(module(), #name)
}  // namespace

namespace lazy {
BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* controls) noexcept {
    LAZY_PROC(CommonControls, InitCommonControlsEx);
    return proc ? proc(controls) : FALSE;
}
HIMAGELIST ImageList_Create(int width, int height, UINT flags, int initial, int grow) noexcept {
    LAZY_PROC(CommonControls, ImageList_Create);
    return proc ? proc(width, height, flags, initial, grow) : nullptr;
}
BOOL ImageList_Destroy(HIMAGELIST list) noexcept {
    LAZY_PROC(CommonControls, ImageList_Destroy);
    return proc ? proc(list) : FALSE;
}
HICON ImageList_GetIcon(HIMAGELIST list, int index, UINT flags) noexcept {
    LAZY_PROC(CommonControls, ImageList_GetIcon);
    return proc ? proc(list, index, flags) : nullptr;
}
HIMAGELIST ImageList_Merge(HIMAGELIST first, int firstIndex, HIMAGELIST second, int secondIndex, int dx,
                           int dy) noexcept {
    LAZY_PROC(CommonControls, ImageList_Merge);
    return proc ? proc(first, firstIndex, second, secondIndex, dx, dy) : nullptr;
}
int ImageList_ReplaceIcon(HIMAGELIST list, int index, HICON icon) noexcept {
    LAZY_PROC(CommonControls, ImageList_ReplaceIcon);
    return proc ? proc(list, index, icon) : -1;
}

HRESULT CoInitializeEx(void* reserved, DWORD model) noexcept {
    LAZY_PROC(Com, CoInitializeEx);
    return proc ? proc(reserved, model) : E_FAIL;
}
void CoUninitialize() noexcept {
    LAZY_PROC(Com, CoUninitialize);
    if (proc) proc();
}
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid, void** object) noexcept {
    LAZY_PROC(Com, CoCreateInstance);
    if (object) *object = nullptr;
    return proc ? proc(clsid, outer, context, iid, object) : E_NOINTERFACE;
}

BSTR SysAllocString(const OLECHAR* text) noexcept {
    LAZY_PROC(ComStrings, SysAllocString);
    return proc ? proc(text) : nullptr;
}
BSTR SysAllocStringLen(const OLECHAR* text, UINT length) noexcept {
    LAZY_PROC(ComStrings, SysAllocStringLen);
    return proc ? proc(text, length) : nullptr;
}
void SysFreeString(BSTR text) noexcept {
    LAZY_PROC(ComStrings, SysFreeString);
    if (proc) proc(text);
}
UINT SysStringLen(BSTR text) noexcept {
    LAZY_PROC(ComStrings, SysStringLen);
    return proc ? proc(text) : 0;
}
void VariantInit(VARIANT* value) noexcept {
    LAZY_PROC(ComStrings, VariantInit);
    // Without the library nothing can have filled the value: empty it by hand.
    if (proc) proc(value);
    else value->vt = VT_EMPTY;
}
HRESULT VariantClear(VARIANT* value) noexcept {
    LAZY_PROC(ComStrings, VariantClear);
    return proc ? proc(value) : E_FAIL;
}

LRESULT LresultFromObject(REFIID iid, WPARAM wParam, IUnknown* object) noexcept {
    LAZY_PROC(Accessibility, LresultFromObject);
    return proc ? proc(iid, wParam, object) : 0;
}
HRESULT CreateStdAccessibleObject(HWND window, LONG objectId, REFIID iid, void** object) noexcept {
    LAZY_PROC(Accessibility, CreateStdAccessibleObject);
    if (object) *object = nullptr;
    return proc ? proc(window, objectId, iid, object) : E_NOTIMPL;
}
#undef LAZY_PROC
}  // namespace lazy
