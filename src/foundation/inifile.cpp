#include "foundation/inifile.h"

#include <algorithm>

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

bool IsBracketed(std::string_view trimmed)
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
    const bool loaded = Lines.LoadFromFile(fileName);
    m_nIndexedLines = 0;
    return loaded;
}

void CIniFile::IndexLines()
{
    if (m_nIndexedLines == 0 || m_nIndexedLines > Lines.Count()) {
        m_HeaderLines.clear();
        m_CutLines.clear();
        m_nIndexedLines = 0;
    }
    for (; m_nIndexedLines < Lines.Count(); ++m_nIndexedLines) {
        const std::string& line = Lines.At(m_nIndexedLines);
        if (!HoldsBothBrackets(line))
            continue;
        m_CutLines.push_back(m_nIndexedLines);
        // Only a line that is "[" ... "]" from end to end can equal a header looked up by name;
        // emplace keeps the first line of a name.
        if (IsBracketed(line))
            m_HeaderLines.emplace(ToLower(line), m_nIndexedLines);
    }
}

int CIniFile::FindSection(const std::string& name)
{
    IndexLines();
    auto found = m_HeaderLines.find(ToLower("[" + name + "]"));
    return found == m_HeaderLines.end() ? -1 : found->second + 1;
}

int CIniFile::FindSectionEnd(int start)
{
    IndexLines();
    auto cut = std::lower_bound(m_CutLines.begin(), m_CutLines.end(), start);
    return cut == m_CutLines.end() ? Lines.Count() - 1 : *cut - 1;
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
        std::string_view line = TrimView(Lines.At(i));
        if (IsBracketed(line) && line.size() >= 2)
            out.Add(std::string(line.substr(1, line.size() - 2)));
    }
}

int CIniFile::GetSectionLines(CStringList& out, const std::string& name)
{
    out.Clear();
    int start = FindSection(name);
    if (start >= 0) {
        int end = FindSectionEnd(start);
        out.Items.reserve(static_cast<std::size_t>(std::max(end - start + 1, 0)));
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
