// A row of the 31 fields of one kind, each its own class (CEditFre<1> ..
// CEditFre<31>), reached by band index through their common base.
#pragma once

#include <array>
#include <tuple>
#include <utility>

template <template <int> class Field, class Base, class Seq = std::make_integer_sequence<int, 31>>
class BandRow;

template <template <int> class Field, class Base, int... I>
class BandRow<Field, Base, std::integer_sequence<int, I...>> {
public:
    BandRow() : m_ptrs{static_cast<Base*>(&std::get<I>(m_fields))...} {}
    BandRow(const BandRow&) = delete;
    BandRow& operator=(const BandRow&) = delete;

    Base& operator[](int band) { return *m_ptrs[static_cast<size_t>(band)]; }
    const Base& operator[](int band) const { return *m_ptrs[static_cast<size_t>(band)]; }
    static constexpr int size() { return sizeof...(I); }

private:
    std::tuple<Field<I + 1>...> m_fields;
    std::array<Base*, sizeof...(I)> m_ptrs;
};
