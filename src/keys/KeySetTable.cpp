#include "keys/KeySetTable.h"

#include <algorithm>
#include <stdexcept>

namespace {
[[noreturn]] void ThrowSubscript() { throw std::out_of_range("invalid vector<T> subscript"); }
}  // namespace

KeySet& KeySetTable::At(std::size_t position) {
    if (position >= m_records.size()) ThrowSubscript();
    return m_records[position];
}

const KeySet& KeySetTable::At(std::size_t position) const {
    if (position >= m_records.size()) ThrowSubscript();
    return m_records[position];
}

KeySet* KeySetTable::FindByNumber(int number) noexcept {
    const auto found = std::find_if(m_records.begin(), m_records.end(),
                                    [number](const KeySet& record) { return record.number == number; });
    return found == m_records.end() ? nullptr : &*found;
}

const KeySet* KeySetTable::FindByNumber(int number) const noexcept {
    const auto found = std::find_if(m_records.begin(), m_records.end(),
                                    [number](const KeySet& record) { return record.number == number; });
    return found == m_records.end() ? nullptr : &*found;
}
