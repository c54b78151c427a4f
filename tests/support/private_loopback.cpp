// Runs a command in a network namespace of its own, holding only the loopback interface, brought
// up. The tests that listen on 127.0.0.1:8212 run through it, so a developer's log viewer on that
// port (or another test run) never stands in their way, and the program under test still
// connects to 127.0.0.1:8212 as it always does.
//
// As root the namespace is made directly. Anyone else makes it inside a user namespace that maps
// only the caller's own user and group to themselves (`unshare -rn` without the change to root),
// so files the tests write keep their owner. Where neither is allowed, the command runs in the
// shared network and the link tests skip themselves if the port is taken.
#include <fcntl.h>
#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool WriteProcFile(const char* path, const std::string& text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    const bool written = fd >= 0 && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    if (fd >= 0) ::close(fd);
    return written;
}

// A new network namespace starts with its loopback interface down.
bool BringLoopbackUp()
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq request{};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool up = fd >= 0 && ::ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    request.ifr_flags = static_cast<short>(request.ifr_flags | IFF_UP);
    up = up && ::ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    if (fd >= 0) ::close(fd);
    return up;
}

int Refuse(const char* what)
{
    std::fprintf(stderr, "private_loopback: %s: %s\n", what, std::strerror(errno));
    return 125;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: private_loopback COMMAND [ARGUMENT...]\n");
        return 125;
    }
    const std::string uid = std::to_string(::geteuid()), gid = std::to_string(::getegid());
    bool made = ::unshare(CLONE_NEWNET) == 0;
    if (!made && ::unshare(CLONE_NEWUSER | CLONE_NEWNET) == 0) {
        // Past this point there is no way back to the shared network.
        if (!WriteProcFile("/proc/self/setgroups", "deny") ||
            !WriteProcFile("/proc/self/uid_map", uid + " " + uid + " 1") ||
            !WriteProcFile("/proc/self/gid_map", gid + " " + gid + " 1"))
            return Refuse("the user namespace could not map this user");
        made = true;
    }
    if (made && !BringLoopbackUp()) return Refuse("the loopback interface would not come up");
    ::execvp(argv[1], argv + 1);
    std::fprintf(stderr, "private_loopback: cannot run %s: %s\n", argv[1], std::strerror(errno));
    return 127;
}
