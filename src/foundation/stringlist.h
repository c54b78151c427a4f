// The ordered list of strings, and the one place where a text file is read line by line.
#pragma once

#include <string>
#include <vector>

#include "foundation/objectbase.h"

class CStringList : public CObject {
public:
    std::vector<std::string> Items;

    void Clear() { Items.clear(); }
    void Add(const std::string& s) { Items.push_back(s); }
    void Insert(const std::string& s, int index);
    void RemoveAt(int index);
    int IndexOf(const std::string& s) const;
    int Count() const { return static_cast<int>(Items.size()); }
    std::string& At(int index) { return Items[static_cast<std::size_t>(index)]; }
    const std::string& At(int index) const { return Items[static_cast<std::size_t>(index)]; }

    void AddAll(const CStringList& other, bool bUnique);
    void KeepCommon(const CStringList& other);
    void RemoveCommon(const CStringList& other);

    // Reads every line whole, whatever its length. A failed open reports
    // "文件读取失败:" + fileName and keeps the old items. True when at least one line was read.
    bool LoadFromFile(std::string fileName);
    bool SaveToFile(std::string fileName);
};
