#include "foundation/stringutil.h"

#include <charconv>
#include <cstdio>
#include <sstream>

#include "foundation/stringlist.h"
#include "platform/ascii.h"
#include "platform/win32.h"

void SetRootFolder(std::string path)
{
    g_RootFolder = path;
}

std::string GetRootFolder()
{
    return g_RootFolder;
}

std::string ResolvePath(std::string path)
{
    if (!path.empty() && path[0] == '$')
        return g_RootFolder + path.substr(1);
    return path;
}

namespace {

// The folder's name becomes the current folder even when the process cannot move there.
bool EnterFolder(const std::string& path)
{
    g_CurrentFolder = ResolvePath(path);
    return SetCurrentDirectoryA(g_CurrentFolder.c_str()) != FALSE;
}

void ReportNoListing()
{
    std::printf("Invalid File Handle. GetLastError reports %d\n", static_cast<int>(GetLastError()));
}

// The last backslash, when it stands at index 1 or later; a backslash at index 0 counts as none.
std::size_t LastSeparator(const std::string& path)
{
    std::size_t pos = path.rfind('\\');
    if (pos == std::string::npos || pos == 0)
        return std::string::npos;
    return pos;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The two trims differ only in whether a trailing ";" goes too.
std::string_view TrimWith(std::string_view s, bool dropSemicolons)
{
    std::size_t n = s.size();
    std::size_t start = 0;
    while (start < n && IsBlank(s[start]))
        ++start;
    // A plain scan: lines are short, and a library search costs more than it saves on them.
    std::size_t limit = n;
    for (std::size_t i = start; i + 1 < n; ++i)
        if (s[i] == '/' && s[i + 1] == '/') {
            limit = i;
            break;
        }
    if (limit == 0 || limit <= start)
        return {};
    std::size_t end = limit - 1;
    while (end > start && (IsBlank(s[end]) || (dropSemicolons && s[end] == ';')))
        --end;
    return s.substr(start, end - start + 1);
}

}  // namespace

std::string SetCurrentFolder(std::string path)
{
    EnterFolder(path);
    return g_CurrentFolder;
}

std::string FolderOf(std::string path)
{
    std::size_t pos = LastSeparator(path);
    return pos == std::string::npos ? std::string() : path.substr(0, pos);
}

std::string FileNameOf(std::string path)
{
    std::size_t pos = LastSeparator(path);
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

std::string StripExtension(std::string name)
{
    std::size_t pos = name.find('.');
    return pos == std::string::npos ? name : name.substr(0, pos);
}

bool ListFiles(CStringList& out, std::string pattern)
{
    if (pattern.empty())
        pattern = "*.*";
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        ReportNoListing();
        return false;
    }
    do {
        std::string name = data.cFileName;
        if (name != "." && name != "..")
            out.Add(name);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return true;
}

bool ListFolder(CStringList& out, std::string folder, std::string pattern)
{
    // An empty folder names no folder to move to: the pattern is read where the process is.
    if (!EnterFolder(folder) && !folder.empty()) {
        ReportNoListing();
        return false;
    }
    return ListFiles(out, pattern);
}

std::string ToLower(const std::string& s)
{
    return platform::AsciiLower(s);
}

std::string Trim(const std::string& s)
{
    return std::string(TrimWith(s, true));
}

std::string TrimValue(const std::string& s)
{
    return std::string(TrimWith(s, false));
}

std::string_view TrimView(std::string_view s)
{
    return TrimWith(s, true);
}

std::string_view TrimValueView(std::string_view s)
{
    return TrimWith(s, false);
}

int StringToInt(const std::string& s)
{
    std::istringstream in(s);
    int value = 0;
    in >> value;
    return value;
}

// Plain decimals (a sign, digits, a point) are read directly, with the same correctly rounded
// result; anything a stream might read further (an exponent, a plus sign, a value out of range)
// goes through the stream.
float StringToFloat(const std::string& s)
{
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || (s[i] >= '\t' && s[i] <= '\r')))
        ++i;
    std::size_t end = i < s.size() && s[i] == '-' ? i + 1 : i;
    std::size_t digits = 0;
    bool point = false;
    for (; end < s.size(); ++end) {
        if (s[end] >= '0' && s[end] <= '9')
            ++digits;
        else if (s[end] == '.' && !point)
            point = true;
        else
            break;
    }
    if (digits > 0 && (end == s.size() || (s[end] != 'e' && s[end] != 'E'))) {
        float value = 0.0f;
        auto [ptr, ec] = std::from_chars(s.data() + i, s.data() + end, value);
        if (ec == std::errc() && ptr == s.data() + end)
            return value;
    }
    std::istringstream in(s);
    float value = 0.0f;
    in >> value;
    return value;
}

std::string IntToString(int value)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d", value);
    return buffer;
}

std::string FloatToString(float value)
{
    // "%f" of the largest float needs 47 characters.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%f", static_cast<double>(value));
    return buffer;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 0;
}

std::uint32_t HexToUInt(const std::string& s)
{
    if (s.empty() || s.size() > 8)
        return 0;
    std::uint32_t value = 0;
    for (char c : s)
        value = value * 16 + static_cast<std::uint32_t>(HexDigit(c));
    return value;
}
