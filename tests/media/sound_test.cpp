#include <gtest/gtest.h>

#include <cstdlib>

#include "foundation/stringutil.h"
#include "media/mediascript.h"
#include "media/sound.h"
#include "platform/fmod/fmod_seams.h"
#include "script/scriptbase.h"
#include "support/mediafiles.h"
#include "support/testutil.h"

using testutil::Strings;

namespace {

// The calls of one function recorded since recording started, each as "channel value" and the
// file name where the call takes one.
Strings CallsOf(const std::string& function)
{
    Strings out;
    for (const auto& c : platform::soundseams::Calls())
        if (c.function == function)
            out.push_back(std::to_string(c.channel) + " " + std::to_string(c.value) + (c.name.empty() ? "" : " ") +
                          c.name);
    return out;
}

class SoundManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testutil::ReopenSoundOnDummyDriver();
        ASSERT_TRUE(platform::soundseams::DeviceOpen());
        g_SoundManager.fSoundVolume = g_SoundManager.fMusicVolume = 1.0f;
        const std::string wav = testutil::WavFile(std::vector<std::int16_t>(200, 0x1010));
        for (const char* name : {"sound/Click.wav", "sound/two.points.wav", "music/Theme.wav", "music/Other.wav"})
            dir.Write(name, wav);
        dir.Write("sound/broken.wav", "not a wave");
        dir.Write("sound/readme.txt", "x");
        SetRootFolder(dir.WindowsPath());
        platform::soundseams::StartRecording();
    }
    void TearDown() override { platform::soundseams::StopRecording(); }

    testutil::TempDir dir;
    testutil::ScopedCwd cwd{"/"};
};

}  // namespace

// Under the test environment's dummy driver the global manager's constructor has opened the
// device before main ran (or an earlier test in this process reopened it the same way).
TEST(SoundStartup, TheLibraryIsRunningBeforeTheProgramStarts)
{
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    if (!driver || std::string(driver) != "dummy") GTEST_SKIP() << "needs SDL_AUDIODRIVER=dummy";
    EXPECT_TRUE(platform::soundseams::DeviceOpen());
}

// Sounds are named before their first point; every sample is loaded by its bare name from the
// folder made current, 16-bit mono signed (mode 0x130); one that did not load stays listed and plays as -1;
// each playing takes its own channel; scene sounds accumulate, the same folder twice twice.
TEST_F(SoundManagerTest, StartupAndSceneSoundsAreFoundByNameBeforeTheFirstPointAndByResourceTables)
{
    g_SoundManager.LoadSounds("$\\sound");
    ASSERT_EQ(g_SoundManager.Sounds.Count(), 3);
    TSound* click = g_SoundManager.FindSound("CLICK");
    ASSERT_NE(click, nullptr);
    EXPECT_EQ(click->strName, "Click");
    EXPECT_NE(g_SoundManager.FindSound("two")->pSample, nullptr);
    EXPECT_EQ(g_SoundManager.FindSceneSound("click"), nullptr);
    EXPECT_EQ(CallsOf("FSOUND_Sample_Load"),
              (Strings{"-1 304 broken.wav", "-1 304 Click.wav", "-1 304 two.points.wav"}));
    EXPECT_EQ(g_SoundManager.FindSound("broken")->Play(1.0f), -1);

    const int first = click->Play(0.5f), second = click->Play(1.0f);
    EXPECT_GE(first, 0);
    EXPECT_EQ(CallsOf("FSOUND_SetVolume"), (Strings{std::to_string(first) + " 127", std::to_string(second) + " 255"}));
    EXPECT_NE(first, second);

    TScriptParam args[2];  // the script handler reaches the manager
    args[0].strText = "$\\sound";
    args[1].strText = "c*.wav";
    Scene_LoadSound(args, 2);
    g_SoundManager.LoadSceneSounds("$\\sound", "c*.wav");
    EXPECT_EQ(g_SoundManager.SceneSounds.Count(), 2);

    // A resource table takes only known sounds, from the start-up list or the scene's; names
    // compare with case.
    g_SoundManager.LoadSceneSounds("$\\music", "*.wav");
    SoundResourceTable table;
    for (const auto& [name, id] : {std::pair{"click", 1}, {"THEME", 2}, {"nowhere", 3}, {"two", 1}})
        table.Add(name, id);
    ASSERT_EQ(table.Entries.size(), 3u);
    EXPECT_EQ(table.FindById(1)->pSound, click);
    EXPECT_EQ(table.FindById(2)->pSound, g_SoundManager.FindSceneSound("theme"));
    EXPECT_NE(table.FindByName("Click"), nullptr);
    EXPECT_EQ(table.FindByName("click"), nullptr);
}

// No music at volume 0, nor for an empty name; a new piece closes the last. Volumes are passed
// unclamped (the library clamps); the sound volume goes to every channel, after which the music
// volume is applied again; PlaySound plays at the stored sound volume and ignores a null sound.
TEST_F(SoundManagerTest, MusicVolumesAndTheGlobalSoundVolume)
{
    SetCurrentFolder("$\\music");
    g_SoundManager.PlayMusic("");
    g_SoundManager.SetMusicVolume(0.0f);
    g_SoundManager.PlayMusic("theme.wav");
    EXPECT_TRUE(CallsOf("FSOUND_Stream_Open").empty());
    TScriptParam args[1];  // the script handlers reach the manager
    args[0].fValue = 0.5f;
    Audio_SetMusicVolume(args, 1);
    EXPECT_FLOAT_EQ(g_SoundManager.GetMusicVolume(), 0.5f);
    args[0].strText = "theme.wav";
    Audio_PlayMusic(args, 1);
    g_SoundManager.PlayMusic("other.wav");
    EXPECT_EQ(CallsOf("FSOUND_Stream_Open"), (Strings{"-1 306 theme.wav", "-1 306 other.wav"}));  // mode 0x132
    EXPECT_EQ(CallsOf("FSOUND_Stream_Close").size(), 1u);

    const std::string music = std::to_string(g_SoundManager.Music.nChannel);
    platform::soundseams::StartRecording();
    g_SoundManager.SetMusicVolume(2.0f);
    g_SoundManager.SetSoundVolume(0.25f);
    EXPECT_EQ(CallsOf("FSOUND_SetVolume"), (Strings{music + " 510", "-3 63", music + " 510"}));
    EXPECT_EQ(platform::soundseams::AppliedVolume(g_SoundManager.Music.nChannel), 255);

    g_SoundManager.LoadSounds("$\\sound");
    platform::soundseams::StartRecording();
    TSound* click = g_SoundManager.FindSound("click");
    g_SoundManager.PlaySound(click);
    g_SoundManager.PlaySound(nullptr);
    EXPECT_EQ(CallsOf("FSOUND_SetVolume"), Strings{std::to_string(click->nChannel) + " 63"});
}
