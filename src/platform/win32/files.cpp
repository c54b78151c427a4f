// Paths, the current folder and folder listing with Windows' rules on a case-sensitive UTF-8
// file system.
#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/ascii.h"
#include "platform/gbk.h"
#include "platform/win32.h"

namespace platform {
namespace {

thread_local DWORD t_LastError = 0;

bool Exists(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

// Windows lists a folder in the order of its names with a to z upper-cased, so "_" comes after
// the letters. Names that differ only in case, which Windows cannot hold side by side, keep
// their byte order.
bool WindowsListingOrder(const std::string& a, const std::string& b)
{
    auto upper = [](char c) { return static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 32 : c); };
    auto less = [&](char x, char y) { return upper(x) < upper(y); };
    if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), less))
        return true;
    if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), less))
        return false;
    return a < b;
}

std::vector<std::string> SortedEntries(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return names;
    while (dirent* e = ::readdir(dir))
        names.emplace_back(e->d_name);
    ::closedir(dir);
    std::sort(names.begin(), names.end(), WindowsListingOrder);
    return names;
}

std::string Join(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    if (folder.back() == '/')
        return folder + name;
    return folder + "/" + name;
}

// Native UTF-8 path with "/" separators, before any case matching.
std::string Slashed(const std::string& enginePath)
{
    std::string utf8 = GbkToUtf8(enginePath);
    std::replace(utf8.begin(), utf8.end(), '\\', '/');
    return utf8;
}

std::string MatchCase(const std::string& slashed)
{
    std::string result = !slashed.empty() && slashed[0] == '/' ? "/" : "";
    std::size_t pos = 0;
    bool lost = false;  // once a component matched nothing, the rest cannot exist either
    while (pos <= slashed.size()) {
        std::size_t next = slashed.find('/', pos);
        if (next == std::string::npos)
            next = slashed.size();
        std::string part = slashed.substr(pos, next - pos);
        pos = next + 1;
        if (part.empty())
            continue;
        std::string candidate = Join(result, part);
        if (!lost && part != "." && part != ".." && !Exists(candidate)) {
            std::string wanted = AsciiLower(part);
            lost = true;
            for (const std::string& name : SortedEntries(result))
                if (AsciiLower(name) == wanted) {
                    candidate = Join(result, name);
                    lost = false;
                    break;
                }
        }
        result = candidate;
    }
    return result;
}

// Windows wildcard rules: "*" any run, "?" one character, ASCII case ignored; a trailing ".*"
// also matches a name with no extension, so "*.*" matches every name. One row of matches per
// pattern position, filled from the pattern's end, so the time is name length x pattern length
// however many stars the pattern holds.
bool WildcardMatch(const std::string& pattern, const std::string& name)
{
    const std::size_t m = pattern.size(), k = name.size();
    // after[j]: pattern[i + 1..] matches name[j..]; here[j]: pattern[i..] matches name[j..].
    std::vector<char> after(k + 1, 0), here(k + 1, 0);
    after[k] = 1;
    for (std::size_t i = m; i-- > 0;) {
        const char p = AsciiLower(pattern[i]);
        if (p == '*') {
            here[k] = after[k];
            for (std::size_t j = k; j-- > 0;)
                here[j] = after[j] || here[j + 1];
        } else {
            here[k] = i + 2 == m && p == '.' && pattern[i + 1] == '*';
            for (std::size_t j = 0; j < k; ++j)
                here[j] = (p == '?' || p == AsciiLower(name[j])) && after[j + 1];
        }
        std::swap(here, after);
    }
    return after[0] != 0;
}

struct FindState {
    std::string folder;
    std::vector<std::string> matches;  // native names
    std::size_t next = 0;
};

void Fill(const FindState& state, const std::string& name, WIN32_FIND_DATAA* data)
{
    *data = WIN32_FIND_DATAA{};
    struct stat st;
    std::string full = Join(state.folder.empty() ? "." : state.folder, name);
    if (::stat(full.c_str(), &st) == 0) {
        data->dwFileAttributes = S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
        data->nFileSizeLow = static_cast<DWORD>(st.st_size & 0xFFFFFFFFu);
        data->nFileSizeHigh = static_cast<DWORD>(static_cast<unsigned long long>(st.st_size) >> 32);
    }
    std::string gbk = Utf8ToGbk(name);
    std::size_t n = std::min<std::size_t>(gbk.size(), MAX_PATH - 1);
    gbk.copy(data->cFileName, n);
    data->cFileName[n] = '\0';
}

}  // namespace

std::string NativePath(const std::string& enginePath)
{
    std::string slashed = Slashed(enginePath);
    if (slashed.empty() || Exists(slashed))
        return slashed;
    return MatchCase(slashed);
}

std::FILE* OpenFile(const std::string& enginePath, const char* mode)
{
    const std::string path = NativePath(enginePath);
    if (path.empty() || !mode)
        return nullptr;
    const bool reads = mode[0] == 'r';
    const bool update = std::strchr(mode, '+') != nullptr;
    int flags = update ? O_RDWR : reads ? O_RDONLY : O_WRONLY;
    if (mode[0] == 'w')
        flags |= O_CREAT | O_TRUNC;
    else if (mode[0] == 'a')
        flags |= O_CREAT | O_APPEND;
    // Non-blocking, so that a named pipe without a writer (or reader) does not hold the open.
    const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0)
        return nullptr;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || (reads && st.st_size > kMaxDataFileBytes) ||
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return nullptr;
    }
    std::FILE* f = ::fdopen(fd, mode);
    if (!f)
        ::close(fd);
    return f;
}

bool ReadFileBytes(const std::string& enginePath, std::string& out)
{
    std::FILE* f = OpenFile(enginePath, "rb");
    if (!f)
        return false;
    out.clear();
    // Room for the whole file at once (OpenFile opened a regular file within the limit), so that
    // reading it takes no more than its size.
    if (std::fseek(f, 0, SEEK_END) == 0) {
        const long size = std::ftell(f);
        if (size > 0 && size <= kMaxDataFileBytes)
            out.reserve(static_cast<std::size_t>(size));
        std::rewind(f);
    }
    // A file that grows past the limit while it is read is refused all the same.
    const auto limit = static_cast<std::size_t>(kMaxDataFileBytes);
    char buffer[65536];
    std::size_t n;
    while (out.size() <= limit && (n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        out.append(buffer, n);
    std::fclose(f);
    if (out.size() > limit) {
        out.clear();
        return false;
    }
    return true;
}

std::optional<FileVersion> CurrentFileVersion(const std::string& enginePath)
{
    struct stat st {};
    if (::stat(NativePath(enginePath).c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    constexpr std::int64_t kNano = 1000000000;
    return FileVersion{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                       static_cast<std::int64_t>(st.st_size), st.st_mtim.tv_sec * kNano + st.st_mtim.tv_nsec,
                       st.st_ctim.tv_sec * kNano + st.st_ctim.tv_nsec};
}

bool ReadTextFile(const std::string& enginePath, std::string& out)
{
    if (!ReadFileBytes(enginePath, out))
        return false;
    // In place: the text is never longer than the bytes, and a file is read in its own size.
    const std::size_t end = std::min(out.find('\x1A'), out.size());
    std::size_t kept = 0;
    for (std::size_t i = 0; i < end; ++i)
        if (out[i] != '\r' || i + 1 == end || out[i + 1] != '\n')
            out[kept++] = out[i];
    out.resize(kept);
    return true;
}

}  // namespace platform

using namespace platform;

DWORD GetLastError()
{
    return t_LastError;
}

void SetLastError(DWORD error)
{
    t_LastError = error;
}

DWORD GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer)
{
    std::vector<char> cwd(4096);
    while (!::getcwd(cwd.data(), cwd.size())) {
        if (errno != ERANGE)
            return 0;
        cwd.resize(cwd.size() * 2);
    }
    std::string path = Utf8ToGbk(cwd.data());
    std::replace(path.begin(), path.end(), '/', '\\');
    if (!buffer || bufferLength < path.size() + 1)
        return static_cast<DWORD>(path.size() + 1);
    path.copy(buffer, path.size());
    buffer[path.size()] = '\0';
    return static_cast<DWORD>(path.size());
}

BOOL SetCurrentDirectoryA(LPCSTR path)
{
    std::string native = NativePath(path ? path : "");
    if (native.empty() || ::chdir(native.c_str()) != 0) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    return TRUE;
}

HANDLE FindFirstFileA(LPCSTR pattern, WIN32_FIND_DATAA* data)
{
    std::string text = pattern ? pattern : "";
    std::size_t sep = text.find_last_of("\\/");
    std::string folderPart = sep == std::string::npos ? "" : text.substr(0, sep == 0 ? 1 : sep);
    std::string namePart = sep == std::string::npos ? text : text.substr(sep + 1);

    auto* state = new FindState;
    state->folder = folderPart.empty() ? "" : NativePath(folderPart);
    struct stat st;
    if (!state->folder.empty() && (::stat(state->folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))) {
        delete state;
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    for (const std::string& name : SortedEntries(state->folder))
        if (WildcardMatch(namePart, Utf8ToGbk(name)))
            state->matches.push_back(name);
    if (state->matches.empty()) {
        delete state;
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    Fill(*state, state->matches[0], data);
    state->next = 1;
    return state;
}

BOOL FindNextFileA(HANDLE find, WIN32_FIND_DATAA* data)
{
    auto* state = static_cast<FindState*>(find);
    if (!state || find == INVALID_HANDLE_VALUE)
        return FALSE;
    if (state->next >= state->matches.size()) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    Fill(*state, state->matches[state->next++], data);
    return TRUE;
}

BOOL FindClose(HANDLE find)
{
    if (!find || find == INVALID_HANDLE_VALUE)
        return FALSE;
    delete static_cast<FindState*>(find);
    return TRUE;
}
