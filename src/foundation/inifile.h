// The reader of every data file: sections in square brackets, key = value lines, "//" comments,
// names compared without regard to ASCII case. The file is loaded once, raw, as ranges of one
// buffer, so that it takes a small multiple of its size whatever its lines hold. The section
// headers and the lines that end sections are indexed once, and the keys of the section being
// read when it is first read: loaders find every section of a file by name and read numbered
// keys until one is missing, which scanning the lines for each would make quadratic.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/stringlist.h"

// Lines of a reader found by the name each gives (a header's whole line, a key line's key),
// without regard to ASCII case: an open-addressing table of line numbers, the first line of a
// name kept. Names are read back from the lines, so the table holds no copies of them.
class CLineNameTable {
public:
    void Clear();
    // `nameOf(line)` gives the name of a line already in the table.
    template <typename NameOf>
    void Add(int line, std::string_view name, NameOf nameOf);
    template <typename NameOf>
    int Find(std::string_view name, NameOf nameOf) const;

private:
    struct TSlot {
        int line = -1;  // -1: free
        std::uint32_t hash = 0;
    };
    std::vector<TSlot> m_Slots;
    std::size_t m_nUsed = 0;

    static std::uint32_t Hash(std::string_view name);
    void Grow();
};

class CIniFile {
public:
    std::string strFileName;
    CTextLines Lines;
    int nSectionStart = 0;
    int nSectionEnd = 0;

    explicit CIniFile(const std::string& fileName);
    ~CIniFile();

    void Close();
    bool Open(std::string fileName);

    bool SelectSection(const std::string& name);
    std::string GetString(const std::string& key);
    int GetInt(const std::string& key);
    float GetFloat(const std::string& key);
    std::string GetGlobalString(const std::string& key);

    void GetSectionNames(CStringList& out);
    int GetSectionLines(CStringList& out, const std::string& name);
    int FindSection(const std::string& name);
    int FindSectionEnd(int start);
    // Where the lines GetSectionLines gives stand in Lines, for reading them in place: first to
    // last, none when last < first.
    struct TLineRange {
        int first = 0;
        int last = -1;
        int Count() const { return last < first ? 0 : last - first + 1; }
    };
    TLineRange SectionRange(const std::string& name);

    std::string GetValue(const std::string& key, const std::string& section);
    bool AppendSectionFrom(CIniFile& other, std::string section);

private:
    // Brings the index of headers up to date with Lines: `Open` starts it afresh, lines appended
    // since are added to it. Lines are otherwise never changed in place.
    void IndexLines();
    // The keys of lines first to last, unless they are indexed already.
    void IndexKeys(int first, int last);

    CLineNameTable m_Headers;     // lines that are "[" ... "]" from end to end
    std::vector<int> m_CutLines;  // lines holding both "[" and "]", ascending
    int m_nIndexedLines = 0;
    CLineNameTable m_Keys;  // the key lines of m_nKeysFirst to m_nKeysLast
    int m_nKeysFirst = 0;
    int m_nKeysLast = -1;
};

// The reader of a data file as loaders open one: a leading "$" resolved, the file's folder made
// the current folder (where it stays, so that the names the file gives are found beside it), and
// the file read by its bare name.
CIniFile OpenDataFile(const std::string& file);
