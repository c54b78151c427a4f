// Name comparison as ToLower of both sides gives it, without building the lowered copies, and the
// lookup by such a name in a block list.
#pragma once

#include <string>

#include "foundation/arraylist.h"

inline bool SameName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y + 32);
        if (x != y)
            return false;
    }
    return true;
}

// The first element whose name field matches, or null.
template <typename T>
T* FindNamed(ArrayList<T>& list, std::string T::*field, const std::string& name)
{
    for (TArrayListBlock<T>* b = list.pFirstBlock; b; b = b->pNext)
        for (int i = 0; i < b->nUsed; ++i)
            if (SameName(b->pItems[i].*field, name))
                return &b->pItems[i];
    return nullptr;
}
