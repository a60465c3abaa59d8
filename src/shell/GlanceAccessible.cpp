#include "shell/GlanceAccessible.h"

#include <utility>

#include "win/LazyImports.h"

namespace {
constexpr IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

HRESULT Text(const std::wstring& text, BSTR* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (text.empty()) return S_FALSE;
    *out = lazy::SysAllocString(text.c_str());
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT Number(long value, VARIANT* out) {
    if (!out) return E_POINTER;
    out->vt = VT_I4;
    out->lVal = value;
    return S_OK;
}

HRESULT Nothing(VARIANT* out) {
    if (!out) return E_POINTER;
    out->vt = VT_EMPTY;
    return S_FALSE;
}

bool Contains(const RECT& place, long x, long y) noexcept {
    return x >= place.left && x < place.right && y >= place.top && y < place.bottom;
}
}  // namespace

const IID& GlanceAccessible::InterfaceId() noexcept { return kIidAccessible; }

GlanceAccessible::GlanceAccessible(HWND window, std::wstring title, RECT place, std::vector<Item> items)
    : m_hWindow(window), m_title(std::move(title)), m_place(place), m_items(std::move(items)) {}

HRESULT GlanceAccessible::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!::IsEqualGUID(iid, IID_IUnknown) && !::IsEqualGUID(iid, IID_IDispatch) && !::IsEqualGUID(iid, kIidAccessible))
        return E_NOINTERFACE;
    *object = static_cast<IAccessible*>(this);
    AddRef();
    return S_OK;
}

ULONG GlanceAccessible::AddRef() { return ++m_nReferences; }

ULONG GlanceAccessible::Release() {
    const ULONG left = --m_nReferences;
    if (left == 0) delete this;
    return left;
}

HRESULT GlanceAccessible::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}
HRESULT GlanceAccessible::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}
HRESULT GlanceAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
HRESULT GlanceAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
    return E_NOTIMPL;
}

bool GlanceAccessible::Find(const VARIANT& child, const Item*& item) const noexcept {
    item = nullptr;
    if (child.vt != VT_I4) return false;
    if (child.lVal == CHILDID_SELF) return true;
    if (child.lVal < 1 || static_cast<std::size_t>(child.lVal) > m_items.size()) return false;
    item = &m_items[static_cast<std::size_t>(child.lVal - 1)];
    return true;
}

HRESULT GlanceAccessible::get_accParent(IDispatch** parent) {
    if (!parent) return E_POINTER;
    // The system's object of the window itself, whose child this list is.
    if (!::IsWindow(m_hWindow)) {
        *parent = nullptr;
        return S_FALSE;
    }
    return lazy::CreateStdAccessibleObject(m_hWindow, OBJID_WINDOW, IID_IDispatch, reinterpret_cast<void**>(parent));
}

HRESULT GlanceAccessible::get_accChildCount(long* count) {
    if (!count) return E_POINTER;
    *count = static_cast<long>(m_items.size());
    return S_OK;
}

HRESULT GlanceAccessible::get_accChild(VARIANT child, IDispatch** object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    const Item* item = nullptr;
    // The items are simple elements, answered by this object.
    return Find(child, item) ? S_FALSE : E_INVALIDARG;
}

HRESULT GlanceAccessible::get_accName(VARIANT child, BSTR* name) {
    const Item* item = nullptr;
    if (!Find(child, item)) return E_INVALIDARG;
    return Text(item ? item->name : m_title, name);
}

HRESULT GlanceAccessible::get_accValue(VARIANT child, BSTR* value) {
    const Item* item = nullptr;
    if (!Find(child, item)) return E_INVALIDARG;
    return Text(std::wstring(), value);
}

HRESULT GlanceAccessible::get_accDescription(VARIANT child, BSTR* description) {
    const Item* item = nullptr;
    if (!Find(child, item)) return E_INVALIDARG;
    return Text(item ? item->description : std::wstring(), description);
}

HRESULT GlanceAccessible::get_accRole(VARIANT child, VARIANT* role) {
    const Item* item = nullptr;
    if (!Find(child, item)) return E_INVALIDARG;
    return Number(item ? ROLE_SYSTEM_LISTITEM : ROLE_SYSTEM_LIST, role);
}

HRESULT GlanceAccessible::get_accState(VARIANT child, VARIANT* state) {
    const Item* item = nullptr;
    if (!Find(child, item)) return E_INVALIDARG;
    long value = STATE_SYSTEM_READONLY;
    if (item && item->unavailable) value |= STATE_SYSTEM_UNAVAILABLE;
    return Number(value, state);
}

HRESULT GlanceAccessible::get_accHelp(VARIANT, BSTR* help) { return Text(std::wstring(), help); }

HRESULT GlanceAccessible::get_accHelpTopic(BSTR* file, VARIANT, long* topic) {
    if (file) *file = nullptr;
    if (topic) *topic = 0;
    return S_FALSE;
}

HRESULT GlanceAccessible::get_accKeyboardShortcut(VARIANT, BSTR* shortcut) { return Text(std::wstring(), shortcut); }

HRESULT GlanceAccessible::get_accFocus(VARIANT* focus) { return Nothing(focus); }

HRESULT GlanceAccessible::get_accSelection(VARIANT* selection) { return Nothing(selection); }

HRESULT GlanceAccessible::get_accDefaultAction(VARIANT, BSTR* action) { return Text(std::wstring(), action); }

HRESULT GlanceAccessible::accSelect(long, VARIANT) { return S_FALSE; }

HRESULT GlanceAccessible::accLocation(long* left, long* top, long* width, long* height, VARIANT child) {
    if (!left || !top || !width || !height) return E_POINTER;
    const Item* item = nullptr;
    if (!Find(child, item)) return E_INVALIDARG;
    const RECT& place = item ? item->place : m_place;
    *left = place.left;
    *top = place.top;
    *width = place.right - place.left;
    *height = place.bottom - place.top;
    return S_OK;
}

HRESULT GlanceAccessible::accNavigate(long direction, VARIANT start, VARIANT* end) {
    if (!end) return E_POINTER;
    end->vt = VT_EMPTY;
    const Item* item = nullptr;
    if (!Find(start, item)) return E_INVALIDARG;
    const long count = static_cast<long>(m_items.size());
    long target = 0;
    if (!item) {
        if (direction == NAVDIR_FIRSTCHILD) target = 1;
        else if (direction == NAVDIR_LASTCHILD) target = count;
    } else if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN || direction == NAVDIR_RIGHT) {
        target = start.lVal + 1;
    } else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP || direction == NAVDIR_LEFT) {
        target = start.lVal - 1;
    }
    if (target < 1 || target > count) return S_FALSE;
    return Number(target, end);
}

HRESULT GlanceAccessible::accHitTest(long x, long y, VARIANT* child) {
    if (!child) return E_POINTER;
    for (std::size_t index = 0; index < m_items.size(); ++index)
        if (Contains(m_items[index].place, x, y)) return Number(static_cast<long>(index + 1), child);
    if (Contains(m_place, x, y)) return Number(CHILDID_SELF, child);
    return Nothing(child);
}

HRESULT GlanceAccessible::accDoDefaultAction(VARIANT) { return DISP_E_MEMBERNOTFOUND; }
HRESULT GlanceAccessible::put_accName(VARIANT, BSTR) { return E_NOTIMPL; }
HRESULT GlanceAccessible::put_accValue(VARIANT, BSTR) { return E_NOTIMPL; }
