#include <gtest/gtest.h>

#include <cstdlib>

#include "foundation/stringutil.h"
#include "media/mediascript.h"
#include "media/sound.h"
#include "platform/fmod/fmod_seams.h"
#include "script/scriptbase.h"
#include "support/mediafiles.h"
#include "support/testutil.h"

namespace {

using platform::soundseams::SoundCall;

std::string Wav(int samples) { return testutil::WavFile(std::vector<std::int16_t>(samples, 0x1010)); }

// The calls of one function recorded since recording started.
std::vector<SoundCall> CallsOf(const std::string& function)
{
    std::vector<SoundCall> out;
    for (const SoundCall& c : platform::soundseams::Calls())
        if (c.function == function)
            out.push_back(c);
    return out;
}

class SoundManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testutil::ReopenSoundOnDummyDriver();
        ASSERT_TRUE(platform::soundseams::DeviceOpen());
        g_SoundManager.fSoundVolume = g_SoundManager.fMusicVolume = 1.0f;
        dir.Write("sound/Click.wav", Wav(200));
        dir.Write("sound/two.points.wav", Wav(200));
        dir.Write("sound/broken.wav", "not a wave");
        dir.Write("sound/readme.txt", "x");
        dir.Write("music/Theme.wav", Wav(400));
        dir.Write("music/Other.wav", Wav(400));
        SetRootFolder(dir.WindowsPath());
        platform::soundseams::StartRecording();
    }
    void TearDown() override { platform::soundseams::StopRecording(); }

    testutil::TempDir dir;
    testutil::ScopedCwd cwd{"/"};
};

}  // namespace

TEST(SoundStartup, TheLibraryIsRunningBeforeTheProgramStarts)
{
    // Under the test environment's dummy driver the global manager's constructor has opened the
    // device before main ran (or an earlier test in this process reopened it the same way).
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    if (!driver || std::string(driver) != "dummy")
        GTEST_SKIP() << "needs SDL_AUDIODRIVER=dummy";
    EXPECT_TRUE(platform::soundseams::DeviceOpen());
}

TEST_F(SoundManagerTest, StartupSoundsAreFoundByNameBeforeTheFirstPoint)
{
    g_SoundManager.LoadSounds("$\\sound");
    ASSERT_EQ(g_SoundManager.Sounds.Count(), 3);
    TSound* click = g_SoundManager.FindSound("CLICK");
    ASSERT_NE(click, nullptr);
    EXPECT_EQ(click->strName, "Click");
    ASSERT_NE(g_SoundManager.FindSound("two"), nullptr);
    EXPECT_NE(g_SoundManager.FindSound("two")->pSample, nullptr);
    EXPECT_EQ(g_SoundManager.FindSceneSound("click"), nullptr);

    // Every sample is loaded by its bare name from the folder made current, 16-bit mono signed.
    for (const SoundCall& c : CallsOf("FSOUND_Sample_Load")) {
        EXPECT_EQ(c.value, 0x130);
        EXPECT_EQ(c.name.find('\\'), std::string::npos) << c.name;
    }
    // A sample that did not load stays in the list and plays as -1.
    EXPECT_EQ(g_SoundManager.FindSound("broken")->Play(1.0f), -1);

    // Each playing takes its own channel at the given volume.
    const int first = click->Play(0.5f), second = click->Play(1.0f);
    EXPECT_GE(first, 0);
    EXPECT_NE(first, second);
    const auto volumes = CallsOf("FSOUND_SetVolume");
    ASSERT_EQ(volumes.size(), 2u);
    EXPECT_EQ(volumes[0].channel, first);
    EXPECT_EQ(volumes[0].value, 127);

    // Scene sounds accumulate: the same folder twice appends twice.
    g_SoundManager.LoadSceneSounds("$\\sound", "c*.wav");
    g_SoundManager.LoadSceneSounds("$\\sound", "c*.wav");
    EXPECT_EQ(g_SoundManager.SceneSounds.Count(), 2);
}

TEST_F(SoundManagerTest, MusicVolumesAndTheGlobalSoundVolume)
{
    SetCurrentFolder("$\\music");
    g_SoundManager.PlayMusic("");
    g_SoundManager.SetMusicVolume(0.0f);
    g_SoundManager.PlayMusic("theme.wav");
    EXPECT_TRUE(CallsOf("FSOUND_Stream_Open").empty()) << "no music at volume 0, nor for an empty name";

    g_SoundManager.SetMusicVolume(0.5f);
    g_SoundManager.PlayMusic("theme.wav");
    g_SoundManager.PlayMusic("other.wav");
    const auto opens = CallsOf("FSOUND_Stream_Open");
    ASSERT_EQ(opens.size(), 2u);
    EXPECT_EQ(opens[1].value, 0x132);
    EXPECT_EQ(CallsOf("FSOUND_Stream_Close").size(), 1u) << "the first piece is closed";
    const int music = g_SoundManager.Music.nChannel;

    platform::soundseams::StartRecording();
    g_SoundManager.SetMusicVolume(2.0f);
    g_SoundManager.SetSoundVolume(0.25f);
    const auto volumes = CallsOf("FSOUND_SetVolume");
    ASSERT_EQ(volumes.size(), 3u);
    EXPECT_EQ(volumes[0].channel, music);
    EXPECT_EQ(volumes[0].value, 510) << "passed unclamped";
    EXPECT_EQ(platform::soundseams::AppliedVolume(music), 255) << "the library clamps";
    EXPECT_EQ(volumes[1].channel, FSOUND_ALL);
    EXPECT_EQ(volumes[1].value, 63);
    EXPECT_EQ(volumes[2].channel, music) << "the music volume is applied again";

    // PlaySound uses the stored sound volume; a null sound is ignored.
    g_SoundManager.LoadSounds("$\\sound");
    platform::soundseams::StartRecording();
    g_SoundManager.PlaySound(g_SoundManager.FindSound("click"));
    g_SoundManager.PlaySound(nullptr);
    const auto played = CallsOf("FSOUND_SetVolume");
    ASSERT_EQ(played.size(), 1u);
    EXPECT_EQ(played[0].value, 63);
}

TEST_F(SoundManagerTest, ResourceTableTakesOnlyKnownSounds)
{
    g_SoundManager.LoadSounds("$\\sound");
    g_SoundManager.LoadSceneSounds("$\\music", "*.wav");
    SoundResourceTable table;
    table.Add("click", 1);
    table.Add("THEME", 2);  // only in the scene list
    table.Add("nowhere", 3);
    table.Add("two", 1);
    ASSERT_EQ(table.Entries.size(), 3u);
    EXPECT_EQ(table.FindById(1)->pSound, g_SoundManager.FindSound("click"));
    EXPECT_EQ(table.FindById(2)->pSound, g_SoundManager.FindSceneSound("theme"));
    EXPECT_NE(table.FindByName("Click"), nullptr);
    EXPECT_EQ(table.FindByName("click"), nullptr) << "names compare with case here";
}

TEST_F(SoundManagerTest, ScriptHandlersReachTheManagers)
{
    TScriptParam args[2];
    args[0].strText = "$\\sound";
    args[1].strText = "c*.wav";
    Scene_LoadSound(args, 2);
    EXPECT_NE(g_SoundManager.FindSceneSound("click"), nullptr);

    args[0].fValue = 0.5f;
    Audio_SetMusicVolume(args, 1);
    EXPECT_FLOAT_EQ(g_SoundManager.GetMusicVolume(), 0.5f);
    args[0].strText = "theme.wav";
    SetCurrentFolder("$\\music");
    Audio_PlayMusic(args, 1);
    EXPECT_NE(g_SoundManager.Music.pStream, nullptr);
}
