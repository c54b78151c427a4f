#include "foundation/inifile.h"

#include "foundation/stringutil.h"

namespace {

// A key line after Trim: false for blank lines and lines without "=".
bool SplitKeyLine(const std::string& raw, std::string& key, std::string& value)
{
    std::string line = Trim(raw);
    if (line.empty())
        return false;
    std::size_t eq = line.find('=');
    if (eq == std::string::npos)
        return false;
    key = Trim(line.substr(0, eq));
    value = Trim(line.substr(eq + 1));
    return true;
}

bool HoldsBothBrackets(const std::string& line)
{
    return line.find('[') != std::string::npos && line.find(']') != std::string::npos;
}

bool IsBracketed(const std::string& trimmed)
{
    return !trimmed.empty() && trimmed.front() == '[' && trimmed.back() == ']';
}

}  // namespace

CIniFile::CIniFile(const std::string& fileName)
{
    Close();
    strFileName = fileName;
    Open(fileName);
    nSectionStart = 0;
    nSectionEnd = 0;
}

CIniFile::~CIniFile()
{
    Close();
}

void CIniFile::Close()
{
    strFileName.clear();
}

bool CIniFile::Open(std::string fileName)
{
    if (fileName.empty())
        return true;
    return Lines.LoadFromFile(fileName);
}

int CIniFile::FindSection(const std::string& name)
{
    std::string header = ToLower("[" + name + "]");
    for (int i = 0; i < Lines.Count(); ++i)
        if (ToLower(Lines.At(i)) == header)
            return i + 1;
    return -1;
}

int CIniFile::FindSectionEnd(int start)
{
    for (int i = start; i < Lines.Count(); ++i)
        if (HoldsBothBrackets(Lines.At(i)))
            return i - 1;
    return Lines.Count() - 1;
}

bool CIniFile::SelectSection(const std::string& name)
{
    nSectionStart = FindSection(name);
    if (nSectionStart == -1)
        return false;
    nSectionEnd = FindSectionEnd(nSectionStart);
    return nSectionEnd >= nSectionStart;
}

std::string CIniFile::GetString(const std::string& key)
{
    if (nSectionStart == -1 || nSectionEnd < nSectionStart)
        return "";
    std::string wanted = ToLower(key);
    std::string k, v;
    for (int i = nSectionStart; i <= nSectionEnd && i < Lines.Count(); ++i)
        if (SplitKeyLine(Lines.At(i), k, v) && ToLower(k) == wanted)
            return v;
    return "";
}

int CIniFile::GetInt(const std::string& key)
{
    std::string value = GetString(key);
    return value.empty() ? 0 : StringToInt(value);
}

float CIniFile::GetFloat(const std::string& key)
{
    std::string value = GetString(key);
    return value.empty() ? 0.0f : StringToFloat(value);
}

std::string CIniFile::GetGlobalString(const std::string& key)
{
    std::string wanted = ToLower(key);
    std::string k, v;
    for (int i = 0; i < Lines.Count(); ++i) {
        std::string line = Trim(Lines.At(i));
        if (line.empty())
            continue;
        if (IsBracketed(line))
            return "";
        if (SplitKeyLine(line, k, v) && ToLower(k) == wanted)
            return v;
    }
    return "";
}

void CIniFile::GetSectionNames(CStringList& out)
{
    out.Clear();
    for (int i = 0; i < Lines.Count(); ++i) {
        std::string line = Trim(Lines.At(i));
        if (IsBracketed(line) && line.size() >= 2)
            out.Add(line.substr(1, line.size() - 2));
    }
}

int CIniFile::GetSectionLines(CStringList& out, const std::string& name)
{
    out.Clear();
    int start = FindSection(name);
    if (start >= 0) {
        int end = FindSectionEnd(start);
        for (int i = start; i <= end; ++i)
            out.Add(Lines.At(i));
    }
    return out.Count();
}

std::string CIniFile::GetValue(const std::string& key, const std::string& section)
{
    int start = FindSection(section);
    if (start == -1)
        return "";
    int end = FindSectionEnd(start);
    std::string wanted = ToLower(key);
    for (int i = start; i <= end; ++i) {
        const std::string& line = Lines.At(i);
        std::size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        if (ToLower(TrimValue(line.substr(0, eq))) == wanted)
            return TrimValue(line.substr(eq + 1));
    }
    return "";
}

bool CIniFile::AppendSectionFrom(CIniFile& other, std::string section)
{
    Lines.Add("[" + section + "]");
    CStringList lines;
    other.GetSectionLines(lines, section);
    for (int i = 0; i < lines.Count(); ++i)
        Lines.Add(lines.At(i));
    return true;
}

CIniFile OpenDataFile(const std::string& file)
{
    const std::string path = ResolvePath(file);
    SetCurrentFolder(FolderOf(path));
    return CIniFile(FileNameOf(path));
}
