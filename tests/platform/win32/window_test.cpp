#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <string>
#include <vector>

#include "platform/seams.h"
#include "platform/win32.h"

namespace {

std::vector<UINT> g_Seen;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    g_Seen.push_back(msg);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class WindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        platform::seams::ResetAll();
        g_Seen.clear();
    }
    void TearDown() override { platform::seams::ResetAll(); }

    HWND MakeWindow()
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = RecordingProc;
        wc.lpszClassName = "TestWindow";
        RegisterClassA(&wc);
        return CreateWindowExA(0, "testwindow", "窗口", 8, 0, 0, 640, 480, nullptr, nullptr, nullptr, nullptr);
    }

    // Takes every waiting message, translating and dispatching as the program's loop does.
    std::vector<MSG> Drain()
    {
        std::vector<MSG> taken;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            taken.push_back(msg);
            if (msg.message == WM_QUIT) break;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        return taken;
    }
};

using Row = std::pair<UINT, WPARAM>;

// Each message with its wParam.
std::vector<Row> Rows(const std::vector<MSG>& msgs)
{
    std::vector<Row> out;
    for (const MSG& m : msgs) out.emplace_back(m.message, m.wParam);
    return out;
}

void PushKey(SDL_Keycode sym, SDL_Scancode scancode, Uint16 mod = KMOD_NONE)
{
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = sym;
    e.key.keysym.scancode = scancode;
    e.key.keysym.mod = mod;
    SDL_PushEvent(&e);
}

std::string Chars(const std::vector<MSG>& msgs)
{
    std::string out;
    for (const MSG& m : msgs) {
        if (m.message == WM_CHAR) out += static_cast<char>(m.wParam);
    }
    return out;
}

}  // namespace

// A class registers once and only registered classes make windows. The forced failures are the
// program's own tests' business (each shows its box there).
TEST_F(WindowTest, ClassesMakeWindowsWhoseMessagesArriveInsideTheCalls)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = "Twice";
    EXPECT_NE(RegisterClassA(&wc), 0);
    EXPECT_EQ(RegisterClassA(&wc), 0);
    EXPECT_EQ(CreateWindowExA(0, "Unknown", "", 8, 0, 0, 64, 64, nullptr, nullptr, nullptr, nullptr), nullptr);

    HWND hwnd = MakeWindow();
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(g_Seen, std::vector<UINT>{WM_CREATE});
    EXPECT_TRUE(ShowWindow(hwnd, SW_SHOW) == FALSE);
    EXPECT_TRUE(UpdateWindow(hwnd));

    // WM_CLOSE reaches DefWindowProcA, which destroys the window.
    platform::seams::InjectMessage(WM_CLOSE, 0, 0);
    Drain();
    EXPECT_EQ(g_Seen, (std::vector<UINT>{WM_CREATE, WM_CLOSE, WM_DESTROY}));
    EXPECT_FALSE(DestroyWindow(hwnd));
}

TEST_F(WindowTest, KeyStateFollowsKeyMessagesAsTheyAreTaken)
{
    platform::seams::InjectMessage(WM_KEYDOWN, VK_SHIFT, 0);
    EXPECT_EQ(GetKeyState(VK_SHIFT), 0);  // still waiting in the queue

    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_EQ(GetKeyState(VK_SHIFT) & 1, 1);
    EXPECT_LT(GetKeyState(0xA0), 0);  // the left shift, by its scan code (none given: left)

    // A repeated key-down does not flip the toggle; the release keeps it.
    platform::seams::InjectMessage(WM_KEYDOWN, VK_SHIFT, 0);
    platform::seams::InjectMessage(WM_KEYUP, VK_SHIFT, 0);
    Drain();
    EXPECT_EQ(GetKeyState(VK_SHIFT), 1);
    EXPECT_EQ(GetKeyState(0xA0), 1);

    platform::seams::InjectMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(3, 4));
    platform::seams::InjectMessage(WM_RBUTTONDOWN, 0, 0);
    Drain();
    EXPECT_LT(GetKeyState(VK_LBUTTON), 0);
    EXPECT_LT(GetKeyState(VK_RBUTTON), 0);
    EXPECT_EQ(GetKeyState(VK_MBUTTON), 0);

    platform::seams::SetKeyState('Q', true, false);
    EXPECT_EQ(static_cast<WORD>(GetKeyState('Q')), 0x8000);
    platform::seams::ResetAll();
    EXPECT_EQ(GetKeyState(VK_SHIFT), 0);
}

TEST_F(WindowTest, TheSharedKeyOfAPairStaysDownWhileEitherSideIsHeld)
{
    constexpr LPARAM kLeftShift = LPARAM{0x2A} << 16;
    constexpr LPARAM kRightShift = LPARAM{0x36} << 16;
    constexpr LPARAM kExtended = LPARAM{1} << 24;  // the right Ctrl and the right Alt
    struct Pair {
        int shared;
        LPARAM left, right;
    };
    for (const Pair& p : {Pair{VK_SHIFT, kLeftShift, kRightShift}, Pair{VK_CONTROL, 0, kExtended},
                          Pair{VK_MENU, 0, kExtended}}) {
        const WPARAM vk = static_cast<WPARAM>(p.shared);
        platform::seams::InjectMessage(WM_KEYDOWN, vk, p.left);
        platform::seams::InjectMessage(WM_KEYDOWN, vk, p.right);
        platform::seams::InjectMessage(WM_KEYUP, vk, p.left);
        Drain();
        EXPECT_LT(GetKeyState(p.shared), 0) << p.shared;
        platform::seams::InjectMessage(WM_KEYUP, vk, p.right);
        Drain();
        EXPECT_GE(GetKeyState(p.shared), 0) << p.shared;
    }
}

TEST_F(WindowTest, TranslateMessageTypesCharactersAheadOfWaitingMessages)
{
    auto type = [&](std::vector<int> keys) {
        for (int k : keys) platform::seams::InjectMessage(WM_KEYDOWN, static_cast<WPARAM>(k), 0);
        return Chars(Drain());
    };
    EXPECT_EQ(type({'A', '1', VK_SPACE, 0xBD}), "a1 -");
    EXPECT_EQ(type({VK_BACK, VK_TAB, VK_RETURN, VK_ESCAPE}), "\b\t\r\x1b");
    EXPECT_EQ(type({VK_LEFT, VK_F1, VK_DELETE}), "");

    platform::seams::InjectMessage(WM_KEYDOWN, VK_SHIFT, 0);
    EXPECT_EQ(type({'A', '1', 0xBD}), "A!_");
    platform::seams::InjectMessage(WM_KEYUP, VK_SHIFT, 0);
    platform::seams::InjectMessage(WM_KEYDOWN, VK_CAPITAL, 0);
    platform::seams::InjectMessage(WM_KEYUP, VK_CAPITAL, 0);
    EXPECT_EQ(type({'B'}), "B");

    // The character comes straight after its key-down, before a message already queued.
    platform::seams::InjectMessage(WM_KEYDOWN, 'C', 0);
    platform::seams::InjectMessage(WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(Rows(Drain()), (std::vector<Row>{{WM_KEYDOWN, 'C'}, {WM_CHAR, 'C'}, {WM_MOUSEMOVE, 0}}));
}

TEST_F(WindowTest, QuitComesAfterWaitingMessagesWithItsCode)
{
    platform::seams::InjectMessage(WM_MOUSEMOVE, 0, 0);
    PostQuitMessage(7);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_MOUSEMOVE);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WindowTest, IdleHookRunsWhenTheQueueIsEmptyAndItsMessagesAreSeenAtOnce)
{
    int calls = 0;
    platform::seams::SetIdleHook([&] {
        if (++calls == 1) platform::seams::InjectMessage(WM_MOUSEMOVE, 0, 0);
    });
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_MOUSEMOVE);
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(calls, 2);
}

TEST_F(WindowTest, SdlEventsBecomeWindowMessages)
{
    HWND hwnd = MakeWindow();
    ASSERT_NE(hwnd, nullptr);
    Drain();

    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = 300;
    e.motion.y = 200;
    SDL_PushEvent(&e);
    e = SDL_Event{};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.button = SDL_BUTTON_MIDDLE;
    e.button.x = 639;
    e.button.y = 479;
    SDL_PushEvent(&e);
    PushKey(SDLK_ESCAPE, SDL_SCANCODE_ESCAPE);
    PushKey(SDLK_KP_4, SDL_SCANCODE_KP_4, KMOD_NUM);
    PushKey(SDLK_KP_4, SDL_SCANCODE_KP_4);  // Num Lock off: the keypad's 4 is the left arrow
    PushKey(SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON);

    std::vector<MSG> msgs;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) msgs.push_back(msg);
    // The middle button is down (0x10) in its own message.
    ASSERT_EQ(Rows(msgs), (std::vector<Row>{{WM_MOUSEMOVE, 0}, {WM_MBUTTONDOWN, 0x10}, {WM_KEYDOWN, VK_ESCAPE},
                                            {WM_KEYDOWN, 0x64}, {WM_KEYDOWN, VK_LEFT}, {WM_KEYDOWN, 0xBA}}));
    EXPECT_EQ(msgs[0].lParam, 300 | (200 << 16));
    EXPECT_EQ(msgs[0].hwnd, hwnd);
    EXPECT_EQ(msgs[1].lParam, 639 | (479 << 16));
    EXPECT_LT(GetKeyState(VK_MBUTTON), 0);

    // A typed key's text arrives as SDL text input, so its key-down types nothing by itself;
    // Chinese text arrives as one WM_CHAR per GBK byte.
    PushKey(SDLK_a, SDL_SCANCODE_A);
    e = SDL_Event{};
    e.type = SDL_TEXTINPUT;
    std::snprintf(e.text.text, sizeof e.text.text, "%s", "a\xE4\xB8\xAD\xE6\x96\x87");  // "a中文" in UTF-8
    SDL_PushEvent(&e);
    const std::vector<MSG> typed = Drain();
    ASSERT_EQ(typed.size(), 6u);
    EXPECT_EQ(Rows(typed)[0], (Row{WM_KEYDOWN, 'A'}));
    EXPECT_EQ(Chars(typed), "a\xD6\xD0\xCE\xC4");
    // A character GBK lacks types one "?", and so does a broken byte.
    std::snprintf(e.text.text, sizeof e.text.text, "%s", "\xF0\x9F\x98\x80\xFF" "b");
    SDL_PushEvent(&e);
    EXPECT_EQ(Chars(Drain()), "??b");

    // Closing the application closes the window.
    e = SDL_Event{};
    e.type = SDL_QUIT;
    SDL_PushEvent(&e);
    g_Seen.clear();
    Drain();
    EXPECT_EQ(g_Seen, (std::vector<UINT>{WM_CLOSE, WM_DESTROY}));
}
