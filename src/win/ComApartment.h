#pragma once
// COM on the calling thread for the life of the object: initialised as a single-threaded
// apartment (the thread runs a message loop) and uninitialised only when this object did
// initialise it, so nested owners balance.
#include <objbase.h>
#include "win/LazyImports.h"

class ComApartment {
public:
    ComApartment() noexcept : m_hResult(lazy::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(m_hResult)) lazy::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT m_hResult;
};
