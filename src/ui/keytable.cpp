#include "ui/keytable.h"

#include "foundation/inifile.h"
#include "foundation/numeric.h"
#include "foundation/stringutil.h"
#include "platform/win32.h"

namespace {

// The pressed bit, sign-extended from 16 bits and masked with 80000000 as the table always did:
// set exactly when the key is down; the toggle bit never counts.
bool IsDown(int code)
{
    int state = GetKeyState(code);
    return (state & 0x04C4B400) != 0;
}

}  // namespace

void CKeyTable::Load(std::string file)
{
    std::string path = ResolvePath(file);
    SetCurrentFolder(FolderOf(path));
    CIniFile IniFile(FileNameOf(path));
    const CIniFile::TLineRange lines = IniFile.SectionRange("keys");
    for (int i = lines.first; i <= lines.last; ++i) {
        const std::string_view line = IniFile.Lines.At(i);
        std::size_t eq = line.find('=');
        keys.Add(StringToInt(std::string(eq == std::string_view::npos ? line : line.substr(eq + 1))));
    }
}

float CKeyTable::KeyDown(float code) const
{
    if (!enabled)
        return 0.0f;
    return IsDown(TruncToInt(code)) ? 1.0f : 0.0f;
}

float CKeyTable::KeyPress(float code)
{
    if (!enabled)
        return 0.0f;
    int key = TruncToInt(code);
    // The press memory covers codes 0 to 255; any other code has no edge to remember.
    if (key < 0 || key > 255)
        return 0.0f;
    bool down = IsDown(key);
    bool wasDown = previous[key] != 0;
    previous[key] = down ? 1 : 0;
    return !wasDown && down ? 1.0f : 0.0f;
}

float CheckKeyDown(const float* args, int count)
{
    return g_KeyTable.KeyDown(count > 0 ? args[0] : 0.0f);
}

float CheckKeyPress(const float* args, int count)
{
    return g_KeyTable.KeyPress(count > 0 ? args[0] : 0.0f);
}
