#include "media/font.h"

#include <cstring>

#include "foundation/device.h"
#include "foundation/inifile.h"
#include "foundation/namedlist.h"
#include "foundation/stringutil.h"

FontEntry::~FontEntry()
{
    if (pFont)
        pFont->Release();
}

void FontEntry::Create(const std::string& faceName, const std::string& entryName, int width, int height, int weight,
                       bool italic)
{
    strName = entryName;
    D3DXFONT_DESCA lf{};
    lf.Height = height;
    lf.Width = static_cast<UINT>(width);
    lf.Weight = static_cast<UINT>(weight);
    lf.MipLevels = D3DX_DEFAULT;
    lf.Italic = italic;
    lf.CharSet = DEFAULT_CHARSET;
    // The face-name field holds 31 characters and the terminating zero; longer names are cut.
    std::strncpy(lf.FaceName, faceName.c_str(), LF_FACESIZE - 1);
    pFont = nullptr;
    D3DXCreateFontIndirectA(g_pDevice, &lf, &pFont);
}

void FontEntry::Draw(const std::string& text, RECT& rect, DWORD format, D3DCOLOR color)
{
    if (pFont)
        pFont->DrawTextA(nullptr, text.c_str(), -1, &rect, format, color);
}

void FontEntry::DrawText(const std::string& text, int x, int y, D3DCOLOR color)
{
    RECT rect{x, y, x + 10000, y + 10000};
    Draw(text, rect, DT_LEFT | DT_TOP, color);
}

void FontEntry::DrawTextAligned(const std::string& text, RECT rect, D3DCOLOR color, int horizontal, int vertical)
{
    DWORD format = 0;
    if (horizontal == 0)
        format |= DT_LEFT;
    else if (horizontal == 1)
        format |= DT_CENTER;
    else if (horizontal == 2)
        format |= DT_RIGHT;
    if (vertical == 0)
        format |= DT_TOP;
    else if (vertical == 1)
        format |= DT_VCENTER;
    else if (vertical == 2)
        format |= DT_BOTTOM;
    Draw(text, rect, format, color);
}

void FontEntry::DrawLines(CStringList& lines, int x, int y, D3DCOLOR color)
{
    std::string StrOut;
    for (int i = 0; i < lines.Count(); ++i)
        StrOut += lines.At(i) + "\n";
    DrawText(StrOut, x, y, color);
}

void FontManager::LoadFonts(const std::string& fileName)
{
    CIniFile ffile(fileName);
    CStringList Sections;
    ffile.GetSectionNames(Sections);
    // An absent or empty key gives the default; anything else is read as a number.
    auto number = [&ffile](const char* key, int fallback) {
        const std::string text = ffile.GetString(key);
        return text.empty() ? fallback : StringToInt(text);
    };
    for (int i = 0; i < Sections.Count(); ++i) {
        const std::string& section = Sections.At(i);
        ffile.SelectSection(section);
        const std::string FontName = ffile.GetString("fontname");
        if (FontName.empty()) {
            Error(section + ":字体文件无法读取");
            continue;
        }
        const int height = number("height", 25);
        const int width = number("width", 10);
        const int weight = number("weight", 300);
        const bool italic = ffile.GetString("italic") != "0";
        FontEntry* entry = Fonts.AddNew();
        entry->Create(FontName, section, width, height, weight, italic);
    }
    if (Fonts.Count() > 0)
        pCurrent = Fonts.Get(0);
}

FontEntry* FontManager::FindFont(const std::string& name) { return FindNamed(Fonts, name); }

void FontManager::SetCurrent(FontEntry* font)
{
    if (font)
        pCurrent = font;
}

void FontManager::SetCurrent(const std::string& name) { pCurrent = FindFont(name); }

void FontManager::DrawText(const std::string& text, int x, int y, D3DCOLOR color)
{
    if (pCurrent)
        pCurrent->DrawText(text, x, y, color);
}

void FontManager::DrawTextAligned(const std::string& text, RECT rect, D3DCOLOR color, int horizontal, int vertical)
{
    if (pCurrent)
        pCurrent->DrawTextAligned(text, rect, color, horizontal, vertical);
}

void FontManager::DrawLines(CStringList& lines, int x, int y, D3DCOLOR color)
{
    if (pCurrent)
        pCurrent->DrawLines(lines, x, y, color);
}
