// The fonts defined in "GlobalFonts.txt", held by name, one of them current: every text of the
// user interface is drawn with the current font.
#pragma once

#include <string>

#include "foundation/arraylist.h"
#include "foundation/objectbase.h"
#include "foundation/stringlist.h"
#include "platform/d3dx9core.h"

class FontEntry {
public:
    ID3DXFont* pFont = nullptr;
    std::string strName;  // the section that defined it

    FontEntry() = default;
    // The entry releases its font: it is never copied.
    FontEntry(const FontEntry&) = delete;
    FontEntry& operator=(const FontEntry&) = delete;
    ~FontEntry();

    void Create(const std::string& faceName, const std::string& entryName, int width, int height, int weight,
                bool italic);
    void DrawText(const std::string& text, int x, int y, D3DCOLOR color);
    // horizontal 0 left, 1 centre, 2 right; vertical 0 top, 1 centre, 2 bottom.
    void DrawTextAligned(const std::string& text, RECT rect, D3DCOLOR color, int horizontal, int vertical);
    void DrawLines(CStringList& lines, int x, int y, D3DCOLOR color);

private:
    void Draw(const std::string& text, RECT& rect, DWORD format, D3DCOLOR color);
};

class FontManager : public CNamedObject {
public:
    ArrayList<FontEntry> Fonts;
    FontEntry* pCurrent = nullptr;

    FontManager() = default;
    FontManager(const FontManager&) = delete;
    FontManager& operator=(const FontManager&) = delete;

    void LoadFonts(const std::string& fileName);
    FontEntry* FindFont(const std::string& name);
    void SetCurrent(FontEntry* font);
    void SetCurrent(const std::string& name);

    // Drawing with no current font draws nothing.
    void DrawText(const std::string& text, int x, int y, D3DCOLOR color);
    void DrawTextAligned(const std::string& text, RECT rect, D3DCOLOR color, int horizontal, int vertical);
    void DrawLines(CStringList& lines, int x, int y, D3DCOLOR color);
};

extern FontManager g_FontManager;
