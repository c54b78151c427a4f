// The reader of every data file: sections in square brackets, key = value lines, "//" comments,
// names compared without regard to ASCII case. The file is loaded once, raw; the section headers
// and the lines that end sections are indexed once, so that finding a section does not scan the
// file again (a loader finds every section of a file by name, which would make a file of many
// sections load in quadratic time).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "foundation/stringlist.h"

class CIniFile {
public:
    std::string strFileName;
    CStringList Lines;
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

    std::string GetValue(const std::string& key, const std::string& section);
    bool AppendSectionFrom(CIniFile& other, std::string section);

private:
    // Brings the index up to date with Lines: `Open` starts it afresh, lines appended since are
    // added to it. Lines are otherwise never changed in place.
    void IndexLines();

    std::map<std::string, int> m_HeaderLines;  // a lower-cased "[name]" line -> its first index
    std::vector<int> m_CutLines;                // lines holding both "[" and "]", ascending
    int m_nIndexedLines = 0;
};

// The reader of a data file as loaders open one: a leading "$" resolved, the file's folder made
// the current folder (where it stays, so that the names the file gives are found beside it), and
// the file read by its bare name.
CIniFile OpenDataFile(const std::string& file);
