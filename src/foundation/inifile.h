// The reader of every data file: sections in square brackets, key = value lines, "//" comments,
// names compared without regard to ASCII case. The file is loaded once, raw, and every lookup
// scans those lines again.
#pragma once

#include <string>

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
};

// The reader of a data file as loaders open one: a leading "$" resolved, the file's folder made
// the current folder (where it stays, so that the names the file gives are found beside it), and
// the file read by its bare name.
CIniFile OpenDataFile(const std::string& file);
