#pragma once
// The ordered table of key sets: empty until the first load, thirty records after every
// load, position p holding key number p + 1.
#include <cstddef>
#include <utility>
#include <vector>

#include "keys/KeySet.h"

class KeySetTable {
public:
    static constexpr int kKeyCount = 30;

    std::size_t Count() const noexcept { return m_records.size(); }
    bool IsEmpty() const noexcept { return m_records.empty(); }

    // Positional access with a range test: past the end throws std::out_of_range with the
    // text "invalid vector<T> subscript".
    KeySet& At(std::size_t position);
    const KeySet& At(std::size_t position) const;

    // The first record in table order with this number, or null.
    KeySet* FindByNumber(int number) noexcept;
    const KeySet* FindByNumber(int number) const noexcept;

    // The combination that shows the keys at a glance, stored as a key code is (modifiers ×
    // 65536 + virtual key); 0 when the user chose none, which is the default.
    int GlanceKeyCode() const noexcept { return m_nGlanceKeyCode; }
    void SetGlanceKeyCode(int code) noexcept { m_nGlanceKeyCode = code > 0 ? code : 0; }

    void Clear() noexcept {
        m_records.clear();
        m_nGlanceKeyCode = 0;
    }
    void Append(KeySet record) { m_records.push_back(std::move(record)); }

    std::vector<KeySet>::iterator begin() noexcept { return m_records.begin(); }
    std::vector<KeySet>::iterator end() noexcept { return m_records.end(); }
    std::vector<KeySet>::const_iterator begin() const noexcept { return m_records.begin(); }
    std::vector<KeySet>::const_iterator end() const noexcept { return m_records.end(); }

private:
    std::vector<KeySet> m_records;
    int m_nGlanceKeyCode = 0;
};
