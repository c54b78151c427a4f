// The data-file reader on any bytes: sections, key lookups in each, raw section lines, the
// global keys above the first section, and appending a section to another file. Section and key
// lookups go through indexes; a plain scan of the lines must agree with them.
#include <cstddef>
#include <cstdint>

#include "foundation/inifile.h"
#include "foundation/stringutil.h"
#include "support/fuzzsupport.h"

namespace {

int ScanForSection(CIniFile& ini, const std::string& name)
{
    const std::string header = ToLower("[" + name + "]");
    for (int i = 0; i < ini.Lines.Count(); ++i)
        if (ToLower(std::string(ini.Lines.At(i))) == header)
            return i + 1;
    return -1;
}

int ScanForSectionEnd(CIniFile& ini, int start)
{
    for (int i = start; i < ini.Lines.Count(); ++i) {
        const std::string_view line = ini.Lines.At(i);
        if (line.find('[') != std::string_view::npos && line.find(']') != std::string_view::npos)
            return i - 1;
    }
    return ini.Lines.Count() - 1;
}

// The value of the first line of the selected lines whose key matches, read line by line.
std::string ScanForKey(CIniFile& ini, const std::string& key)
{
    if (ini.nSectionStart < 0)
        return "";
    for (int i = ini.nSectionStart; i <= ini.nSectionEnd && i < ini.Lines.Count(); ++i) {
        const std::string line = Trim(std::string(ini.Lines.At(i)));
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos && ToLower(Trim(line.substr(0, eq))) == ToLower(key))
            return Trim(line.substr(eq + 1));
    }
    return "";
}

void CheckSection(CIniFile& ini, const std::string& name)
{
    const int start = ini.FindSection(name);
    if (start != ScanForSection(ini, name))
        __builtin_trap();
    if (start >= 0 && ini.FindSectionEnd(start) != ScanForSectionEnd(ini, start))
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Prepare();
    CIniFile ini(fuzz::WriteInput(data, size, "data.txt"));

    // The keys looked up are the ones the file itself holds, plus a few it may not.
    CStringList keys;
    keys.Add("name");
    keys.Add("fontname");
    keys.Add("");
    for (int i = 0; i < ini.Lines.Count() && keys.Count() < 16; ++i) {
        const std::string_view line = ini.Lines.At(i);
        const std::size_t eq = line.find('=');
        if (eq != std::string_view::npos)
            keys.Add(std::string(line.substr(0, eq)));
    }

    CStringList sections;
    ini.GetSectionNames(sections);
    sections.Add("");
    sections.Add("missing");
    CIniFile other("");
    for (int s = 0; s < sections.Count() && s < 16; ++s) {
        const std::string& section = sections.At(s);
        CheckSection(ini, section);
        ini.SelectSection(section);
        for (int k = 0; k < keys.Count(); ++k) {
            if (ini.GetString(keys.At(k)) != ScanForKey(ini, keys.At(k)))
                __builtin_trap();
            ini.GetInt(keys.At(k));
            ini.GetFloat(keys.At(k));
            ini.GetValue(keys.At(k), section);
        }
        CStringList lines;
        ini.GetSectionLines(lines, section);
        ini.FindSectionEnd(ini.FindSection(section) < 0 ? 0 : ini.FindSection(section));
        other.AppendSectionFrom(ini, section);
        CheckSection(other, section);
    }
    for (int k = 0; k < keys.Count(); ++k)
        ini.GetGlobalString(keys.At(k));
    return 0;
}
