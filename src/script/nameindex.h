// Lookup by name for the script engine's tables, which compilers ask about every word they read:
// names match as ToLower of both sides would make them, a lookup builds no string, and a word
// whose first letter starts no name is turned away before any hashing.
#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>

#include "foundation/namedlist.h"
#include "platform/ascii.h"

struct TNoCaseHash {
    std::size_t operator()(std::string_view s) const
    {
        std::uint64_t h = 1469598103934665603ull;
        for (char c : s)
            h = (h ^ static_cast<unsigned char>(platform::AsciiLower(c))) * 1099511628211ull;
        return static_cast<std::size_t>(h);
    }
};

struct TNoCaseEqual {
    bool operator()(std::string_view a, std::string_view b) const { return SameName(a, b); }
};

// Keys are views of names the caller keeps alive (the keys of the table's own map).
template <typename T>
class CNameIndex {
public:
    // The first record of a name stays.
    void Add(std::string_view name, T* record)
    {
        if (name.empty() || !map.emplace(name, record).second)
            return;
        unsigned char c = static_cast<unsigned char>(platform::AsciiLower(name[0]));
        firstLetters[c >> 6] |= std::uint64_t(1) << (c & 63);
    }

    T* Find(std::string_view name) const
    {
        if (name.empty())
            return nullptr;
        unsigned char c = static_cast<unsigned char>(platform::AsciiLower(name[0]));
        if (!(firstLetters[c >> 6] & (std::uint64_t(1) << (c & 63))))
            return nullptr;
        auto it = map.find(name);
        return it == map.end() ? nullptr : it->second;
    }

    void Clear()
    {
        map.clear();
        for (std::uint64_t& bits : firstLetters)
            bits = 0;
    }

private:
    std::unordered_map<std::string_view, T*, TNoCaseHash, TNoCaseEqual> map;
    std::uint64_t firstLetters[4] = {};
};
