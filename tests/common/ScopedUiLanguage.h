#pragma once
// The interface's language for one test, Japanese again afterwards (the unit tests' own).
#include "win/UiLanguage.h"

class ScopedUiLanguage {
public:
    explicit ScopedUiLanguage(UiLanguage language) noexcept { SetUiLanguage(language); }
    ~ScopedUiLanguage() { SetUiLanguage(UiLanguage::Japanese); }
    ScopedUiLanguage(const ScopedUiLanguage&) = delete;
    ScopedUiLanguage& operator=(const ScopedUiLanguage&) = delete;
};
