#include "script/consttable.h"

#include "foundation/inifile.h"
#include "foundation/stringlist.h"
#include "foundation/stringutil.h"
#include "script/expressionbase.h"

void CConstTable::Add(const TConst& item)
{
    if (item.name.empty()) {
        Error("ConstName不能为空");
        return;
    }
    consts.Add(item);
}

TConst* CConstTable::Find(const std::string& constName) { return m_Index.Find(consts, constName); }

bool CConstTable::Merge(CConstTable& other)
{
    // Merging a table into itself must not walk the blocks it is appending to.
    int n = other.consts.Count();
    for (int i = 0; i < n; ++i)
        Add(*other.consts.Get(i));
    return true;
}

// A line is "name := value" or "name = value" (":=" is looked for first); anything else, and
// a line whose name or value is empty, is not a constant.
void CConstTable::AddLine(std::string_view line)
{
    std::size_t p = line.find(":=");
    std::size_t skip = 2;
    if (p == std::string_view::npos) {
        p = line.find('=');
        skip = 1;
        if (p == std::string_view::npos)
            return;
    }
    TConst c;
    c.name = TrimValueView(line.substr(0, p));
    c.text = TrimView(line.substr(p + skip));
    if (c.name.empty() || c.text.empty())
        return;
    if (IsNumber(c.text)) {
        c.type = CT_NUMBER;
        c.value = StringToFloat(c.text);
    } else {
        c.type = CT_TEXT;
    }
    Add(c);
}

bool CConstTable::LoadSection(CIniFile& file, std::string sectionName)
{
    name = sectionName;
    const CIniFile::TLineRange lines = file.SectionRange(sectionName);
    for (int i = lines.first; i <= lines.last; ++i)
        AddLine(file.Lines.At(i));
    return true;
}

void CConstTable::LoadFile(std::string path)
{
    std::string resolved = ResolvePath(path);
    SetCurrentFolder(FolderOf(resolved));
    CTextLines lines;
    lines.LoadFromFile(FileNameOf(resolved));
    name.clear();
    if (lines.Count() > 0) {
        std::string_view first = TrimValueView(lines.At(0));
        if (first.size() >= 2 && first.front() == '[' && first.back() == ']')
            name = first.substr(1, first.size() - 2);
    }
    for (int i = 0; i < lines.Count(); ++i)
        AddLine(lines.At(i));
}

void CConstTableSet::LoadDirectory(std::string folder)
{
    CStringList files;
    ListFolder(files, folder, "*.txt");
    for (const std::string& f : files.Items)
        LoadFile(f);
}

void CConstTableSet::LoadFile(std::string fileName)
{
    CIniFile file(fileName);
    CStringList sections;
    file.GetSectionNames(sections);
    for (const std::string& section : sections.Items)
        AddNew()->LoadSection(file, section);
}

CConstTable* CConstTableSet::FindTable(const std::string& tableName)
{
    return m_Index.Find(*this, tableName);
}
