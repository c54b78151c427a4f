// "GlobalFonts.txt" on any bytes. Without a device the font manager creates no font, so the
// target also hands each section's font, as the manager would describe it, to the rasterizer
// the device's fonts use, and lays a line of text out with it.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "foundation/inifile.h"
#include "foundation/stringutil.h"
#include "media/font.h"
#include "platform/d3dx9/fontraster.h"
#include "support/fuzzsupport.h"

namespace {

int Number(CIniFile& file, const char* key, int fallback)
{
    const std::string text = file.GetString(key);
    return text.empty() ? fallback : StringToInt(text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Prepare();
    const std::string path = fuzz::WriteInput(data, size, "GlobalFonts.txt");
    FontManager fonts;
    fonts.LoadFonts(path);
    for (int i = 0; i < fonts.Fonts.Count() && i < 8; ++i)
        fonts.SetCurrent(fonts.FindFont(fonts.Fonts.Get(i)->strName));
    fonts.SetCurrent("missing");

    CIniFile file(path);
    CStringList sections;
    file.GetSectionNames(sections);
    for (int i = 0; i < sections.Count() && i < 2; ++i) {
        file.SelectSection(sections.At(i));
        platform::FontRequest request;
        request.faceName = file.GetString("fontname").substr(0, 31);
        if (request.faceName.empty())
            continue;
        request.height = Number(file, "height", 25);
        request.width = Number(file, "width", 10);
        request.weight = Number(file, "weight", 300);
        request.italic = file.GetString("italic") != "0";
        auto raster = platform::FontRasterizer::Create(request);
        if (!raster)
            continue;
        platform::TextMask mask;
        const RECT rect{0, 0, 640, 480};
        raster->Layout("Ag\xd6\xd0\n" + sections.At(i), -1, rect, 0, mask);
    }
    return 0;
}
