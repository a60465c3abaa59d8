#include "win/AccessibleAnnotations.h"

#include "win/LazyImports.h"

namespace {
// Defined here rather than taken from the import libraries, where MinGW's oleacc would bind
// them to import thunks and no call would match.
constexpr CLSID kAccPropServices = {0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kIAccPropServices = {0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kPropName = {0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
constexpr GUID kPropDescription = {0x4d48dfe4, 0xbd3f, 0x491f, {0xa6, 0x48, 0x49, 0x2d, 0x6f, 0x20, 0xc5, 0x88}};
}  // namespace

AccessibleAnnotations::AccessibleAnnotations() noexcept {
    // In-process: the service lives in oleacc.dll, loaded from the system folder by COM.
    lazy::CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices,
                           reinterpret_cast<void**>(m_services.Put()));
}

AccessibleAnnotations::~AccessibleAnnotations() { Clear(); }

bool AccessibleAnnotations::SetName(HWND window, const std::wstring& name) noexcept {
    return Set(window, kPropName, name);
}

bool AccessibleAnnotations::SetDescription(HWND window, const std::wstring& description) noexcept {
    return Set(window, kPropDescription, description);
}

bool AccessibleAnnotations::Set(HWND window, const GUID& property, const std::wstring& text) noexcept {
    if (!m_services || !window) return false;
    if (FAILED(m_services->SetHwndPropStr(window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, property,
                                          text.c_str())))
        return false;
    try {
        m_annotated.push_back({window, &property});
    } catch (...) {
        // Not remembered: the annotation stays until the window goes, which is all it costs.
    }
    return true;
}

void AccessibleAnnotations::Clear() noexcept {
    if (m_services)
        for (const Annotated& done : m_annotated)
            m_services->ClearHwndProps(done.window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, done.property, 1);
    m_annotated.clear();
}
