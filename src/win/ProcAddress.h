#pragma once
// Typed GetProcAddress. The detour through a generic function pointer tells the compiler the
// conversion between function types is deliberate.
#include <windows.h>

template <typename Proc>
Proc GetProcAs(HMODULE module, const char* name) noexcept {
    if (!module) return nullptr;
    using Generic = void (*)();
    return reinterpret_cast<Proc>(reinterpret_cast<Generic>(::GetProcAddress(module, name)));
}
