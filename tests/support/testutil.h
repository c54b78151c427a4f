// Helpers shared by the test binaries: scratch folders, a debug-link listener and message-box
// capture.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/seams.h"

namespace testutil {

using Strings = std::vector<std::string>;

// A fresh scratch folder, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return m_Path; }  // native path, "/" separators
    std::string WindowsPath() const;                     // the same with "\" separators
    // Writes bytes exactly as given; makes the folders on the way.
    void Write(const std::string& relative, const std::string& bytes) const;
    void MakeDir(const std::string& relative) const;

private:
    std::string m_Path;
};

// Makes a folder the process's current folder for the lifetime of the object.
class ScopedCwd {
public:
    explicit ScopedCwd(const std::string& nativePath);
    ~ScopedCwd();

private:
    std::string m_Previous;
};

inline constexpr int kLinkPort = 8212;

// The programs that listen on a TCP port of this machine, as "nc (pid 1234)"; empty when none
// does.
std::string PortHolder(int port);

// A log viewer on 127.0.0.1:8212 that accepts one connection and collects what arrives. A
// receive buffer in bytes (0: the system's own) sets how much the connection holds unread.
class LinkListener {
public:
    explicit LinkListener(int receiveBuffer = 0);
    ~LinkListener();
    bool Listening() const { return m_ListenFd >= 0; }
    // Accepts a pending connection if there is none yet, then reads for up to timeoutMs, or until
    // `expected` bytes have arrived in all.
    std::string Receive(std::size_t expected, int timeoutMs = 1000);
    bool Connected() const { return m_ConnFd >= 0; }
    void CloseConnection();

private:
    int m_ListenFd = -1;
    int m_ConnFd = -1;
    std::string m_Received;
};

// For the start of a test that needs its LinkListener: the link tests run in a network of their
// own where the machine allows one; where it does not and another program (a developer's log
// viewer) holds the port, the test is skipped with that program's name. Any other reason the
// listener could not start fails the test.
#define ASSERT_LISTENING_OR_SKIP(listener)                                                              \
    do {                                                                                               \
        if ((listener).Listening())                                                                    \
            break;                                                                                     \
        const std::string holder_ = testutil::PortHolder(testutil::kLinkPort);                         \
        if (holder_.empty())                                                                           \
            FAIL() << "cannot listen on 127.0.0.1:" << testutil::kLinkPort;                            \
        GTEST_SKIP() << "port " << testutil::kLinkPort << " of 127.0.0.1 is held by " << holder_       \
                     << " and this test has no network of its own (ctest gives it one where the "      \
                     << "machine allows)";                                                             \
    } while (false)

// Makes g_pDebugLink a link connected to 127.0.0.1:8212 (where a listener may be) while it lives.
class GlobalDebugLink {
public:
    GlobalDebugLink();
    ~GlobalDebugLink();
};

// Records message boxes while it lives.
class BoxCapture {
public:
    BoxCapture() { platform::seams::InstallMessageBoxRecorder(); }
    ~BoxCapture() { platform::seams::RemoveMessageBoxRecorder(); }
    const std::vector<platform::seams::MessageBoxRecord>& Boxes() const
    {
        return platform::seams::RecordedMessageBoxes();
    }
    // The boxes shown, in order: their texts, or each as "caption|text" (the text alone where the
    // caption is null).
    std::vector<std::string> Texts() const { return Listed(false); }
    std::vector<std::string> Captioned() const { return Listed(true); }
    void Clear() { platform::seams::RecordedMessageBoxes().clear(); }

private:
    std::vector<std::string> Listed(bool withCaption) const;
};

// A test with a log viewer listening (skipped where another program holds the port), message
// boxes recorded and g_pDebugLink connected to the viewer.
class LinkTest : public testing::Test {
protected:
    LinkListener listener;
    BoxCapture boxes;
    GlobalDebugLink link;
    void SetUp() override { ASSERT_LISTENING_OR_SKIP(listener); }
};

// What the process holds in memory now (resident), in bytes.
long ResidentBytes();

// A test in a scratch folder made the process's current folder, with message boxes recorded.
class ScratchFolderTest : public testing::Test {
protected:
    TempDir dir;
    ScopedCwd cwd{dir.Path()};
    BoxCapture boxes;
};

// Empties the global sound manager and opens the sound library afresh on SDL's dummy driver,
// which mixes without a sound card: playing works and nothing is heard.
void ReopenSoundOnDummyDriver();

// The smallest data tree that starts without a box: the key table, a font file and a menu with
// one invisible control.
void WriteMinimalDataTree(const TempDir& root);
// Only its menu: one control that draws nothing and an empty "UIMain", under `folder`.
void WriteMinimalMenu(const TempDir& root, const std::string& folder = "");

}  // namespace testutil
