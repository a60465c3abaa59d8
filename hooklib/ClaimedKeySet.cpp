#include "ClaimedKeySet.h"

bool ClaimedKeySet::Replace(const VelClaimedKeys* claimed) noexcept {
    // A key kept down stays kept until its release, whatever the new set says: the other
    // programs never saw it go down. Only the list is replaced.
    m_count = 0;
    if (!claimed) return true;
    // Only the fields this library knows are read; a newer caller's larger structure is fine.
    if (claimed->cbSize < sizeof(VelClaimedKeys) || claimed->count > kCapacity ||
        (claimed->count != 0 && !claimed->keys))
        return false;
    for (UINT i = 0; i < claimed->count; ++i)
        if (IsDedicatedKey(LOWORD(claimed->keys[i]))) m_keys[m_count++] = claimed->keys[i];
    return true;
}

bool ClaimedKeySet::Contains(DWORD keyCode) const noexcept {
    for (UINT i = 0; i < m_count; ++i)
        if (m_keys[i] == keyCode) return true;
    return false;
}

ClaimedKeySet::KeyDown ClaimedKeySet::OnKeyDown(DWORD virtualKey, WORD modifiers, bool systemHasItDown,
                                                DWORD time) noexcept {
    const int index = DedicatedKeyIndex(virtualKey);
    if (index < 0) return KeyDown{false, false};
    // A kept key-down never reaches the system's key state, so the system cannot tell its
    // repeats from a new press: the time since the last key-down does.
    if (m_kept[index] && time - m_lastDown[index] <= kRepeatWithinMs) {
        m_lastDown[index] = time;
        return KeyDown{true, true};
    }
    const bool keep = !systemHasItDown && Contains((static_cast<DWORD>(modifiers) << 16) | virtualKey);
    m_kept[index] = keep;
    m_lastDown[index] = time;
    return KeyDown{keep, false};
}

bool ClaimedKeySet::OnKeyUp(DWORD virtualKey) noexcept {
    const int index = DedicatedKeyIndex(virtualKey);
    if (index < 0 || !m_kept[index]) return false;
    m_kept[index] = false;
    return true;
}

void ClaimedKeySet::ForgetPresses() noexcept {
    for (bool& kept : m_kept) kept = false;
}
