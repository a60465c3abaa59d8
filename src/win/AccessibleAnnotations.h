#pragma once
// Names and descriptions for the system's accessibility proxy beyond what it reads from the
// windows themselves (Dynamic Annotation: the proxy asks the annotation service before it
// answers). A system without the service (Wine has none that works) leaves every window as the
// proxy sees it: each call then does nothing and says so.
//
// Whatever was annotated is cleared by Clear (call it while the windows are still there,
// on WM_DESTROY) and by the destructor.
#include <windows.h>
#include <oleacc.h>

#include <string>
#include <vector>

#include "win/ComApartment.h"
#include "win/ComPtr.h"

class AccessibleAnnotations {
public:
    AccessibleAnnotations() noexcept;
    ~AccessibleAnnotations();
    AccessibleAnnotations(const AccessibleAnnotations&) = delete;
    AccessibleAnnotations& operator=(const AccessibleAnnotations&) = delete;

    // What the proxy says the window is called, and what it says of it beyond the name.
    // True when the service took it.
    bool SetName(HWND window, const std::wstring& name) noexcept;
    bool SetDescription(HWND window, const std::wstring& description) noexcept;
    void Clear() noexcept;

private:
    bool Set(HWND window, const GUID& property, const std::wstring& text) noexcept;

    ComApartment m_com;  // first: the service is released before COM goes
    ComPtr<IAccPropServices> m_services;
    struct Annotated {
        HWND window;
        const GUID* property;
    };
    std::vector<Annotated> m_annotated;
};
