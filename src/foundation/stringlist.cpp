#include "foundation/stringlist.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "platform/files.h"

void CStringList::Insert(const std::string& s, int index)
{
    Items.insert(Items.begin() + index, s);
}

void CStringList::RemoveAt(int index)
{
    if (Items.empty())
        return;
    Items.erase(Items.begin() + index);
}

int CStringList::IndexOf(const std::string& s) const
{
    for (std::size_t i = 0; i < Items.size(); ++i)
        if (Items[i] == s)
            return static_cast<int>(i);
    return -1;
}

void CStringList::AddAll(const CStringList& other, bool bUnique)
{
    // Copy first: other may be this list.
    std::vector<std::string> source = other.Items;
    for (const std::string& s : source)
        if (!bUnique || IndexOf(s) == -1)
            Add(s);
}

void CStringList::KeepCommon(const CStringList& other)
{
    std::vector<std::string> kept;
    for (const std::string& s : Items)
        if (other.IndexOf(s) != -1)
            kept.push_back(s);
    Items.swap(kept);
}

void CStringList::RemoveCommon(const CStringList& other)
{
    std::vector<std::string> kept;
    for (const std::string& s : Items)
        if (other.IndexOf(s) == -1)
            kept.push_back(s);
    Items.swap(kept);
}

namespace {

// A text file's lines, each followed by a line feed (the last one too); a file that cannot be
// read is reported by `reader`.
bool ReadLines(CObject& reader, const std::string& fileName, std::string& text)
{
    if (!platform::ReadTextFile(fileName, text)) {
        reader.Error("文件读取失败:" + fileName);
        return false;
    }
    if (!text.empty() && text.back() != '\n')
        text += '\n';
    return true;
}

}  // namespace

bool CStringList::LoadFromFile(std::string fileName)
{
    std::string text;
    if (!ReadLines(*this, fileName, text))
        return false;
    Clear();
    for (std::size_t pos = 0, end; pos < text.size(); pos = end + 1) {
        end = text.find('\n', pos);
        Items.emplace_back(text, pos, end - pos);
    }
    return !Items.empty();
}

bool CStringList::SaveToFile(std::string fileName)
{
    std::FILE* f = platform::OpenFile(fileName, "wb");
    if (!f)
        return false;
    for (const std::string& s : Items) {
        std::fwrite(s.data(), 1, s.size(), f);
        std::fputc('\n', f);
    }
    std::fclose(f);
    return true;
}

bool CTextLines::LoadFromFile(const std::string& fileName)
{
    std::string text;
    if (!ReadLines(*this, fileName, text))
        return false;
    m_Text.swap(text);
    m_Ends.clear();
    m_Ends.reserve(static_cast<std::size_t>(std::count(m_Text.begin(), m_Text.end(), '\n')));
    for (std::size_t i = 0; i < m_Text.size(); ++i)
        if (m_Text[i] == '\n')
            m_Ends.push_back(static_cast<std::uint32_t>(i));
    return !m_Ends.empty();
}

// Offsets are 32 bits: a file read is at most 256 MB, and text appended past 4 GB is dropped.
void CTextLines::Add(std::string_view line)
{
    if (m_Text.size() + line.size() >= std::numeric_limits<std::uint32_t>::max())
        return;
    m_Text.append(line);
    m_Ends.push_back(static_cast<std::uint32_t>(m_Text.size()));
    m_Text += '\n';
}

void CTextLines::AddLines(const CTextLines& other, int first, int last)
{
    if (first < 0 || first > last || last >= other.Count())
        return;
    const std::size_t from = first == 0 ? 0 : other.m_Ends[static_cast<std::size_t>(first) - 1] + 1;
    const std::size_t to = other.m_Ends[static_cast<std::size_t>(last)] + 1;
    if (m_Text.size() + (to - from) >= std::numeric_limits<std::uint32_t>::max())
        return;
    // Copied out first: appending to this list's own text may move it.
    const std::string bytes = other.m_Text.substr(from, to - from);
    const std::size_t base = m_Text.size();
    m_Text += bytes;
    for (int i = first; i <= last; ++i)
        m_Ends.push_back(static_cast<std::uint32_t>(base + other.m_Ends[static_cast<std::size_t>(i)] - from));
}

void CTextLines::Clear()
{
    m_Text.clear();
    m_Ends.clear();
}

std::string_view CTextLines::At(int index) const
{
    const auto i = static_cast<std::size_t>(index);
    const std::size_t start = i == 0 ? 0 : m_Ends[i - 1] + 1;
    return std::string_view(m_Text).substr(start, m_Ends[i] - start);
}
