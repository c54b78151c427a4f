// The ordered list of strings, and the one place where a text file is read line by line: into a
// list of strings, or, for the data-file reader, which holds whole files, into one buffer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
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

// A text file's lines as ranges of one buffer: a line costs its bytes, its line end and one
// offset, whatever it holds. (A string a line costs some 45 bytes, so a file of empty lines would
// take 45 times its size.) Lines are only ever appended; a view stays valid until the next change.
class CTextLines : public CObject {
public:
    // The lines of CStringList::LoadFromFile, with its report and results.
    bool LoadFromFile(const std::string& fileName);
    void Add(std::string_view line);
    // Appends lines first to last of other, which may be this list.
    void AddLines(const CTextLines& other, int first, int last);
    void Clear();
    int Count() const { return static_cast<int>(m_Ends.size()); }
    std::string_view At(int index) const;

private:
    std::string m_Text;                // every line followed by a line feed
    std::vector<std::uint32_t> m_Ends;  // where each line's line feed stands
};
