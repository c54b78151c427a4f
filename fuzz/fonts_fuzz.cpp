// "GlobalFonts.txt" on any bytes. Without a device no font is rasterised: what runs is the
// reading of every section and its keys, and the font lookups by name.
#include <cstddef>
#include <cstdint>

#include "media/font.h"
#include "support/fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Prepare();
    FontManager fonts;
    fonts.LoadFonts(fuzz::WriteInput(data, size, "GlobalFonts.txt"));
    for (int i = 0; i < fonts.Fonts.Count() && i < 8; ++i)
        fonts.SetCurrent(fonts.FindFont(fonts.Fonts.Get(i)->strName));
    fonts.SetCurrent("missing");
    return 0;
}
