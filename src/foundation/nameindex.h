// Lookup by name for the script engine's tables and the local names of scripts, which compilers
// ask about every word they read, and for the block lists that grow with the data (types, blocks,
// controls). Open addressing over a power-of-two table: a lookup builds no string, hashes the word
// once and compares it with the names it probes, and a word whose first character starts no name
// is turned away before any hashing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/namedlist.h"
#include "platform/ascii.h"

// FNV-1a over a name's characters, ASCII letters lowered with kNoCase (so that names SameName
// matches hash alike), then multiplied so that its top bits mix every character: names that
// differ only in their last characters (a1, a2, ...) land apart wherever the top bits are taken.
template <bool kNoCase>
std::uint64_t HashName(std::string_view name)
{
    std::uint64_t h = 1469598103934665603ull;
    for (char c : name)
        h = (h ^ static_cast<unsigned char>(kNoCase ? platform::AsciiLower(c) : c)) * 1099511628211ull;
    return h * 0x9E3779B97F4A7C15ull;
}

// With kNoCase names match as ToLower of both sides would make them; otherwise exactly.
template <typename Value, bool kNoCase>
class CNameTable {
public:
    // The first value of a name stays; false when the name was there already.
    bool Add(std::string_view name, Value value)
    {
        if (name.empty() || Find(name))
            return false;
        if ((entries.size() + 1) * 2 > slots.size())
            Rehash(slots.empty() ? 16 : slots.size() * 2);
        entries.push_back({std::string(name), value});
        Place(static_cast<std::int32_t>(entries.size() - 1));
        unsigned char c = First(name);
        firstChars[c >> 6] |= std::uint64_t(1) << (c & 63);
        return true;
    }

    const Value* Find(std::string_view name) const
    {
        if (name.empty() || slots.empty())
            return nullptr;
        unsigned char c = First(name);
        if (!(firstChars[c >> 6] & (std::uint64_t(1) << (c & 63))))
            return nullptr;
        const std::size_t mask = slots.size() - 1;
        for (std::size_t i = Slot(name);; i = (i + 1) & mask) {
            std::int32_t at = slots[i];
            if (at < 0)
                return nullptr;
            const TEntry& e = entries[static_cast<std::size_t>(at)];
            if (kNoCase ? SameName(e.name, name) : e.name == name)
                return &e.value;
        }
    }

    void Clear()
    {
        entries.clear();
        slots.clear();
        nShift = 64;
        for (std::uint64_t& bits : firstChars)
            bits = 0;
    }

private:
    struct TEntry {
        std::string name;
        Value value;
    };
    std::vector<TEntry> entries;
    std::vector<std::int32_t> slots;  // positions in entries; -1 is free
    int nShift = 64;
    std::uint64_t firstChars[4] = {};

    static unsigned char First(std::string_view name)
    {
        return static_cast<unsigned char>(kNoCase ? platform::AsciiLower(name[0]) : name[0]);
    }

    // The table's slot is the hash's top bits.
    std::size_t Slot(std::string_view name) const
    {
        return static_cast<std::size_t>(HashName<kNoCase>(name) >> nShift);
    }

    void Place(std::int32_t at)
    {
        const std::size_t mask = slots.size() - 1;
        std::size_t i = Slot(entries[static_cast<std::size_t>(at)].name);
        while (slots[i] >= 0)
            i = (i + 1) & mask;
        slots[i] = at;
    }

    void Rehash(std::size_t size)
    {
        slots.assign(size, -1);
        nShift = 64;
        for (std::size_t n = size; n > 1; n >>= 1)
            --nShift;
        for (std::size_t at = 0; at < entries.size(); ++at)
            Place(static_cast<std::int32_t>(at));
    }
};

// The records of a table by name, without regard to ASCII case; the first of a name stays.
template <typename T>
class CNameIndex {
public:
    void Add(std::string_view name, T* record) { table.Add(name, record); }
    T* Find(std::string_view name) const
    {
        T* const* record = table.Find(name);
        return record ? *record : nullptr;
    }
    void Clear() { table.Clear(); }

private:
    CNameTable<T*, true> table;
};

// FindNamed through an index: the first element of a block list whose `field` matches the name
// in any ASCII case, found without walking the list. The index follows the list by itself: what
// was added since the last lookup is indexed at the next, and a list cleared since is indexed
// afresh. An element is indexed under the name it has then, so names must be set before the next
// lookup and not change afterwards, as loaders name what they add.
template <typename T>
class CNamedListIndex {
public:
    explicit CNamedListIndex(std::string T::*field = &T::strName) : m_Field(field) {}

    T* Find(ArrayList<T>& list, std::string_view name)
    {
        if (list.Stamp() != m_nStamp) {
            m_Index.Clear();
            m_pFirstUnnamed = nullptr;
            m_nIndexed = 0;
            m_nStamp = list.Stamp();
        }
        for (; m_nIndexed < list.Count(); ++m_nIndexed) {
            T* item = list.Get(m_nIndexed);
            const std::string& itemName = item->*m_Field;
            if (!itemName.empty())
                m_Index.Add(itemName, item);
            else if (!m_pFirstUnnamed)
                m_pFirstUnnamed = item;
        }
        return name.empty() ? m_pFirstUnnamed : m_Index.Find(name);
    }

private:
    std::string T::*m_Field;
    CNameIndex<T> m_Index;
    T* m_pFirstUnnamed = nullptr;  // the table takes no empty name
    std::uint64_t m_nStamp = 0;
    int m_nIndexed = 0;
};
