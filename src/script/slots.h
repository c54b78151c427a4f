// A fixed number of slots of which lines and expressions mostly write the first few: those live in
// place, and the others are made when one of them is first written. Until then they read as slots
// at their defaults.
#pragma once

#include <algorithm>
#include <memory>

template <typename T, int Count, int InPlace>
class CSlots {
public:
    CSlots() = default;
    CSlots(const CSlots& other) { *this = other; }
    CSlots& operator=(const CSlots& other)
    {
        if (this == &other)
            return *this;
        std::copy(other.first, other.first + InPlace, first);
        if (!other.rest)
            rest.reset();
        else
            std::copy(other.rest.get(), other.rest.get() + (Count - InPlace), Rest());
        return *this;
    }
    CSlots(CSlots&&) noexcept = default;
    CSlots& operator=(CSlots&&) noexcept = default;

    T& operator[](int i) { return i < InPlace ? first[i] : Rest()[i - InPlace]; }
    const T& operator[](int i) const
    {
        if (i < InPlace)
            return first[i];
        return rest ? rest[static_cast<std::size_t>(i - InPlace)] : Unwritten();
    }

private:
    T first[InPlace];
    std::unique_ptr<T[]> rest;

    T* Rest()
    {
        if (!rest)
            rest = std::make_unique<T[]>(Count - InPlace);
        return rest.get();
    }
    static const T& Unwritten()
    {
        static const T unwritten{};
        return unwritten;
    }
};
