#include "foundation/stringlist.h"

#include <cstdio>

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

bool CStringList::LoadFromFile(std::string fileName)
{
    std::string text;
    if (!platform::ReadTextFile(fileName, text)) {
        Error("文件读取失败:" + fileName);
        return false;
    }
    Clear();
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        Items.emplace_back(text, pos, end - pos);
        pos = end + 1;
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
