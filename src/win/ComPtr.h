#pragma once
// Owners for what COM hands out: interface pointers (ComPtr), strings (UniqueBstr) and
// variants (UniqueVariant). None is copyable, so a reference is released exactly once, on
// every path out of a function. Our own, since MinGW has neither ATL nor a usable WRL.
#include <windows.h>
#include <oleauto.h>
#include <unknwn.h>

#include <utility>

#include "win/UniqueHandle.h"
#include "win/LazyImports.h"

template <typename T>
class ComPtr;

// The object through another of its interfaces, with a reference of its own; empty when it
// has none. The out-parameter is read only on success: a failing QueryInterface need not
// have cleared it.
template <typename U>
ComPtr<U> QueryInterfaceOf(IUnknown* pObject, REFIID iid) noexcept {
    void* pOther = nullptr;
    if (!pObject || FAILED(pObject->QueryInterface(iid, &pOther)) || !pOther) return ComPtr<U>();
    return ComPtr<U>(static_cast<U*>(pOther));
}

template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    // Takes over a reference the caller already holds (an out-parameter just filled in).
    explicit ComPtr(T* pInterface) noexcept : m_pInterface(pInterface) {}
    ~ComPtr() { Reset(); }

    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : m_pInterface(other.Detach()) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) Reset(other.Detach());
        return *this;
    }

    T* Get() const noexcept { return m_pInterface; }
    T* operator->() const noexcept { return m_pInterface; }
    explicit operator bool() const noexcept { return m_pInterface != nullptr; }

    // The slot for an out-parameter; whatever was held is released first, so a reused
    // pointer never leaks its earlier reference.
    T** Put() noexcept {
        Reset();
        return &m_pInterface;
    }
    T* Detach() noexcept { return std::exchange(m_pInterface, nullptr); }
    void Reset(T* pInterface = nullptr) noexcept {
        T* old = std::exchange(m_pInterface, pInterface);
        if (old) old->Release();
    }

    // The same object through another interface; empty when it has none.
    template <typename U>
    ComPtr<U> As(REFIID iid) const noexcept {
        return QueryInterfaceOf<U>(m_pInterface, iid);
    }

private:
    T* m_pInterface = nullptr;
};

using UniqueBstr = UniqueHandle<NullHandleTraits<BSTR, &lazy::SysFreeString>>;

// A VARIANT that is cleared (its string freed, its interface released) when it goes.
class UniqueVariant {
public:
    UniqueVariant() noexcept { lazy::VariantInit(&m_value); }
    ~UniqueVariant() { lazy::VariantClear(&m_value); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;

    // The slot for an out-parameter, emptied first.
    VARIANT* Put() noexcept {
        lazy::VariantClear(&m_value);
        return &m_value;
    }
    const VARIANT& Get() const noexcept { return m_value; }

private:
    VARIANT m_value;
};
