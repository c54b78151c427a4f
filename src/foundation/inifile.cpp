#include "foundation/inifile.h"

#include <algorithm>

#include "foundation/nameindex.h"
#include "foundation/stringutil.h"

namespace {

// A key line after Trim: false for blank lines and lines without "=".
bool SplitKeyLine(std::string_view raw, std::string_view& key, std::string_view& value)
{
    const std::string_view line = TrimView(raw);
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return false;
    key = TrimView(line.substr(0, eq));
    value = TrimView(line.substr(eq + 1));
    return true;
}

std::string_view KeyOf(std::string_view raw)
{
    std::string_view key, value;
    SplitKeyLine(raw, key, value);
    return key;
}

bool HoldsBothBrackets(std::string_view line)
{
    return line.find('[') != std::string_view::npos && line.find(']') != std::string_view::npos;
}

bool IsBracketed(std::string_view trimmed)
{
    return !trimmed.empty() && trimmed.front() == '[' && trimmed.back() == ']';
}

}  // namespace

void CLineNameTable::Clear()
{
    m_Slots.clear();
    m_nUsed = 0;
}

// The top half of the name's hash, whose low bits pick the slot.
std::uint32_t CLineNameTable::Hash(std::string_view name)
{
    return static_cast<std::uint32_t>(HashName<true>(name) >> 32);
}

template <typename NameOf>
void CLineNameTable::Add(int line, std::string_view name, NameOf nameOf)
{
    if ((m_nUsed + 1) * 2 > m_Slots.size())
        Grow();
    const std::uint32_t hash = Hash(name);
    const std::size_t mask = m_Slots.size() - 1;
    std::size_t i = hash & mask;
    for (; m_Slots[i].line >= 0; i = (i + 1) & mask)
        if (m_Slots[i].hash == hash && SameName(nameOf(m_Slots[i].line), name))
            return;
    m_Slots[i] = {line, hash};
    ++m_nUsed;
}

template <typename NameOf>
int CLineNameTable::Find(std::string_view name, NameOf nameOf) const
{
    if (m_Slots.empty())
        return -1;
    const std::uint32_t hash = Hash(name);
    const std::size_t mask = m_Slots.size() - 1;
    for (std::size_t i = hash & mask; m_Slots[i].line >= 0; i = (i + 1) & mask)
        if (m_Slots[i].hash == hash && SameName(nameOf(m_Slots[i].line), name))
            return m_Slots[i].line;
    return -1;
}

void CLineNameTable::Grow()
{
    std::vector<TSlot> old;
    old.swap(m_Slots);
    m_Slots.resize(old.empty() ? 16 : old.size() * 2);
    const std::size_t mask = m_Slots.size() - 1;
    for (const TSlot& slot : old) {
        if (slot.line < 0)
            continue;
        std::size_t i = slot.hash & mask;
        while (m_Slots[i].line >= 0)
            i = (i + 1) & mask;
        m_Slots[i] = slot;
    }
}

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
    m_nKeysLast = -1;
    return loaded;
}

void CIniFile::IndexLines()
{
    if (m_nIndexedLines == 0 || m_nIndexedLines > Lines.Count()) {
        m_Headers.Clear();
        m_CutLines.clear();
        m_nIndexedLines = 0;
    }
    const auto lineOf = [this](int i) { return Lines.At(i); };
    for (; m_nIndexedLines < Lines.Count(); ++m_nIndexedLines) {
        const std::string_view line = Lines.At(m_nIndexedLines);
        if (!HoldsBothBrackets(line))
            continue;
        m_CutLines.push_back(m_nIndexedLines);
        // Only a line that is "[" ... "]" from end to end can equal a header looked up by name.
        if (IsBracketed(line))
            m_Headers.Add(m_nIndexedLines, line, lineOf);
    }
}

void CIniFile::IndexKeys(int first, int last)
{
    if (first == m_nKeysFirst && last == m_nKeysLast)
        return;
    m_Keys.Clear();
    m_nKeysFirst = first;
    m_nKeysLast = last;
    const auto keyOf = [this](int i) { return KeyOf(Lines.At(i)); };
    std::string_view key, value;
    for (int i = first; i <= last; ++i)
        if (SplitKeyLine(Lines.At(i), key, value))
            m_Keys.Add(i, key, keyOf);
}

int CIniFile::FindSection(const std::string& name)
{
    IndexLines();
    const int header = m_Headers.Find("[" + name + "]", [this](int i) { return Lines.At(i); });
    return header < 0 ? -1 : header + 1;
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
    const int last = std::min(nSectionEnd, Lines.Count() - 1);
    if (nSectionStart < 0 || last < nSectionStart)
        return "";
    IndexKeys(nSectionStart, last);
    const int line = m_Keys.Find(key, [this](int i) { return KeyOf(Lines.At(i)); });
    std::string_view k, value;
    if (line < 0 || !SplitKeyLine(Lines.At(line), k, value))
        return "";
    return std::string(value);
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
    std::string_view k, v;
    for (int i = 0; i < Lines.Count(); ++i) {
        const std::string_view line = TrimView(Lines.At(i));
        if (line.empty())
            continue;
        if (IsBracketed(line))
            return "";
        if (SplitKeyLine(line, k, v) && SameName(k, key))
            return std::string(v);
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

CIniFile::TLineRange CIniFile::SectionRange(const std::string& name)
{
    const int start = FindSection(name);
    return start < 0 ? TLineRange{} : TLineRange{start, FindSectionEnd(start)};
}

int CIniFile::GetSectionLines(CStringList& out, const std::string& name)
{
    out.Clear();
    const TLineRange range = SectionRange(name);
    out.Items.reserve(static_cast<std::size_t>(range.Count()));
    for (int i = range.first; i <= range.last; ++i)
        out.Items.emplace_back(Lines.At(i));
    return out.Count();
}

std::string CIniFile::GetValue(const std::string& key, const std::string& section)
{
    int start = FindSection(section);
    if (start == -1)
        return "";
    int end = FindSectionEnd(start);
    for (int i = start; i <= end; ++i) {
        const std::string_view line = Lines.At(i);
        std::size_t eq = line.find('=');
        if (eq == std::string_view::npos)
            continue;
        if (SameName(TrimValueView(line.substr(0, eq)), key))
            return std::string(TrimValueView(line.substr(eq + 1)));
    }
    return "";
}

bool CIniFile::AppendSectionFrom(CIniFile& other, std::string section)
{
    // The other reader's section is found before the header is added, since it may be this one.
    const TLineRange range = other.SectionRange(section);
    Lines.Add("[" + section + "]");
    Lines.AddLines(other.Lines, range.first, range.last);
    return true;
}

CIniFile OpenDataFile(const std::string& file)
{
    const std::string path = ResolvePath(file);
    SetCurrentFolder(FolderOf(path));
    return CIniFile(FileNameOf(path));
}
