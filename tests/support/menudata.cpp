#include "support/menudata.h"

namespace testutil {

void WriteMinimalMenu(const TempDir& dir, const std::string& folder)
{
    const std::string base = folder.empty() ? "" : folder + "/";
    dir.Write(base + "GlobalFonts.txt", "");
    dir.Write(base + "menu/MainMenu.txt", "script=menu.txt\n[blank]\ntype=none\n");
    dir.Write(base + "menu/menu.txt", "[UIMain]\n");
}

}  // namespace testutil
