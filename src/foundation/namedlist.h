// Lookup by name in a block list: names match as ToLower of both sides would make them, without
// building the lowered copies, so a lookup (scripts make one on every call by name) allocates
// nothing.
#pragma once

#include <string>
#include <string_view>

#include "foundation/arraylist.h"
#include "platform/ascii.h"

inline bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (platform::AsciiLower(a[i]) != platform::AsciiLower(b[i]))
            return false;
    return true;
}

// The first element whose `field` matches name, or null.
template <typename T>
T* FindNamed(ArrayList<T>& list, const std::string& name, std::string T::*field = &T::strName)
{
    for (T& item : list)
        if (SameName(item.*field, name))
            return &item;
    return nullptr;
}
