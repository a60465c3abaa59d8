#pragma once
// One move-only owner for every kind of Windows handle. A traits type names the handle type,
// says which values mean "no handle" and how a handle is released.
#include <windows.h>

#include <utility>

template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Handle handle) noexcept : m_handle(handle) {}
    ~UniqueHandle() { Reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    Handle Get() const noexcept { return m_handle; }
    explicit operator bool() const noexcept { return !Traits::IsEmpty(m_handle); }

    Handle Release() noexcept { return std::exchange(m_handle, Traits::Empty()); }
    void Reset(Handle handle = Traits::Empty()) noexcept {
        Handle old = std::exchange(m_handle, handle);
        if (!Traits::IsEmpty(old)) Traits::Close(old);
    }

private:
    Handle m_handle = Traits::Empty();
};

// Kernel objects: both null and INVALID_HANDLE_VALUE mean "none", since the APIs disagree.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() noexcept { return nullptr; }
    static bool IsEmpty(Handle h) noexcept { return h == nullptr || h == INVALID_HANDLE_VALUE; }
    static void Close(Handle h) noexcept { ::CloseHandle(h); }
};

// Handles whose only empty value is null, released by one function.
template <typename H, auto CloseFunction>
struct NullHandleTraits {
    using Handle = H;
    static Handle Empty() noexcept { return nullptr; }
    static bool IsEmpty(Handle h) noexcept { return h == nullptr; }
    static void Close(Handle h) noexcept { CloseFunction(h); }
};

// A directory search, which says "none" with INVALID_HANDLE_VALUE alone.
struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() noexcept { return INVALID_HANDLE_VALUE; }
    static bool IsEmpty(Handle h) noexcept { return h == INVALID_HANDLE_VALUE; }
    static void Close(Handle h) noexcept { ::FindClose(h); }
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;
using UniqueIcon = UniqueHandle<NullHandleTraits<HICON, &::DestroyIcon>>;
using UniqueMenu = UniqueHandle<NullHandleTraits<HMENU, &::DestroyMenu>>;
using UniqueModule = UniqueHandle<NullHandleTraits<HMODULE, &::FreeLibrary>>;
using UniqueWindow = UniqueHandle<NullHandleTraits<HWND, &::DestroyWindow>>;
using UniqueFont = UniqueHandle<NullHandleTraits<HFONT, &::DeleteObject>>;
