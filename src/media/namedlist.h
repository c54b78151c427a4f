// Lookup by name in the lists that own media and interface objects: names match in any ASCII
// case. The compare lowers as it goes, so a lookup (scripts make one on every control call)
// allocates nothing.
#pragma once

#include <string>

#include "foundation/arraylist.h"

// True when a and b differ at most in the case of the ASCII letters A to Z.
inline bool SameNameAnyCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

// The first element whose `field` matches name, or null.
template <typename T>
T* FindNamed(ArrayList<T>& list, const std::string& name, std::string T::*field = &T::strName)
{
    for (TArrayListBlock<T>* block = list.pFirstBlock; block; block = block->pNext)
        for (int i = 0; i < block->nUsed; ++i)
            if (SameNameAnyCase(block->pItems[i].*field, name))
                return &block->pItems[i];
    return nullptr;
}
