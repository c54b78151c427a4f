#include "support/testutil.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "media/sound.h"
#include "platform/fmod.h"

namespace fs = std::filesystem;

namespace testutil {

TempDir::TempDir() : m_Path((fs::temp_directory_path() / "enginetest-XXXXXX").string())
{
    if (!::mkdtemp(m_Path.data())) m_Path.clear();
}

TempDir::~TempDir()
{
    std::error_code ec;
    fs::remove_all(m_Path, ec);
}

std::string TempDir::WindowsPath() const
{
    std::string p = m_Path;
    std::replace(p.begin(), p.end(), '/', '\\');
    return p;
}

void TempDir::Write(const std::string& relative, const std::string& bytes) const
{
    const fs::path full = fs::path(m_Path) / relative;
    fs::create_directories(full.parent_path());
    std::ofstream(full, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void TempDir::MakeDir(const std::string& relative) const { fs::create_directories(fs::path(m_Path) / relative); }

ScopedCwd::ScopedCwd(const std::string& path) : m_Previous(fs::current_path().string()) { fs::current_path(path); }

ScopedCwd::~ScopedCwd()
{
    std::error_code ec;
    fs::current_path(m_Previous, ec);
}

std::string PortHolder(int port)
{
    // The socket inodes listening on the port, from the kernel's TCP tables (the first line of
    // each names the columns; the inode is the tenth).
    std::set<std::string> inodes;
    for (const char* table : {"/proc/net/tcp", "/proc/net/tcp6"}) {
        std::ifstream in(table);
        std::string line, local, state, inode, skip;
        for (std::getline(in, line); std::getline(in, line);) {
            std::istringstream fields(line);
            fields >> skip >> local >> skip >> state >> skip >> skip >> skip >> skip >> skip >> inode;
            const std::size_t colon = local.rfind(':');
            if (state == "0A" && colon != std::string::npos && std::stoi(local.substr(colon + 1), nullptr, 16) == port)
                inodes.insert(inode);
        }
    }
    if (inodes.empty()) return "";
    // The processes holding one of them open.
    std::string holders;
    std::error_code ec, fdError, linkError;
    for (const fs::directory_entry& process : fs::directory_iterator("/proc", ec)) {
        const std::string pid = process.path().filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
        for (const fs::directory_entry& fd : fs::directory_iterator(process.path() / "fd", fdError)) {
            const std::string target = fs::read_symlink(fd.path(), linkError).string();
            if (target.rfind("socket:[", 0) != 0 || !inodes.count(target.substr(8, target.size() - 9))) continue;
            std::string name;
            std::getline(std::ifstream(process.path() / "comm"), name);
            holders += (holders.empty() ? "" : ", ") + name + " (pid " + pid + ")";
            break;
        }
    }
    return holders.empty() ? "a program of another user" : holders;
}

LinkListener::LinkListener(int receiveBuffer) : m_ListenFd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
{
    int yes = 1;
    ::setsockopt(m_ListenFd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    // Set before listening, so the accepted connection takes it and its window is sized by it.
    if (receiveBuffer > 0) ::setsockopt(m_ListenFd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(kLinkPort);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::bind(m_ListenFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(m_ListenFd, 4) != 0) {
        ::close(m_ListenFd);
        m_ListenFd = -1;
    }
}

LinkListener::~LinkListener()
{
    CloseConnection();
    if (m_ListenFd >= 0) ::close(m_ListenFd);
}

void LinkListener::CloseConnection()
{
    if (m_ConnFd >= 0) ::close(m_ConnFd);
    m_ConnFd = -1;
}

std::string LinkListener::Receive(std::size_t expected, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    // Waits on fd for what is left of the time; false when nothing came.
    auto ready = [&](int fd) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, static_cast<int>(std::max<long long>(0, left.count()))) > 0;
    };
    if (m_ConnFd < 0 && m_ListenFd >= 0 && ready(m_ListenFd))
        m_ConnFd = ::accept4(m_ListenFd, nullptr, nullptr, SOCK_CLOEXEC);
    char buffer[4096];
    ssize_t n = 0;
    while (m_ConnFd >= 0 && m_Received.size() < expected && ready(m_ConnFd) &&
           (n = ::recv(m_ConnFd, buffer, sizeof buffer, 0)) > 0)
        m_Received.append(buffer, static_cast<std::size_t>(n));
    return m_Received;
}

std::vector<std::string> BoxCapture::Listed(bool withCaption) const
{
    std::vector<std::string> out;
    for (const auto& b : Boxes()) out.push_back(withCaption && b.hasCaption ? b.caption + "|" + b.text : b.text);
    return out;
}

void ReopenSoundOnDummyDriver()
{
    g_SoundManager.ClearAll();
    FSOUND_Close();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    FSOUND_Init(44100, 32, 0);
}

void WriteMinimalMenu(const TempDir& root, const std::string& folder)
{
    const std::string menu = folder.empty() ? "menu/" : folder + "/menu/";
    root.Write(menu + "MainMenu.txt", "script=menu.txt\n[c1]\ntype=none\n");
    root.Write(menu + "menu.txt", "[UIMain]\n");
}

void WriteMinimalDataTree(const TempDir& root)
{
    root.Write("Global/Control.txt", "[keys]\nleft=37\n");
    root.Write("GlobalFonts.txt", "[menu]\nfontname=Arial\nheight=20\n");
    WriteMinimalMenu(root);
    root.MakeDir("sound");
}

long ResidentBytes()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

}  // namespace testutil
