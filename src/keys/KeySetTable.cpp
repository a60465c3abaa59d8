#include "keys/KeySetTable.h"

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
    for (KeySet& record : m_records)
        if (record.number == number) return &record;
    return nullptr;
}

const KeySet* KeySetTable::FindByNumber(int number) const noexcept {
    for (const KeySet& record : m_records)
        if (record.number == number) return &record;
    return nullptr;
}
