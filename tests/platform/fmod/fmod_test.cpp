#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/fmod.h"
#include "platform/fmod/fmod_seams.h"
#include "support/mediafiles.h"
#include "support/testutil.h"

namespace {

// 16-bit mono PCM: a square wave of the given amplitude.
std::string SquareWav(int samples, int amplitude)
{
    std::vector<std::int16_t> data;
    for (int i = 0; i < samples; ++i)
        data.push_back(static_cast<std::int16_t>((i / 50) % 2 ? amplitude : -amplitude));
    return testutil::WavFile(data);
}

// Starts the library on SDL's disk driver, plays the sample, sets the volume of `volumeChannel`
// (the sample's channel when FSOUND_FREE), lets the mixer write a while, and returns the largest
// absolute sample written.
int PeakOnDisk(const testutil::TempDir& dir, int volumeChannel, int volume)
{
    const std::string out = dir.Path() + "/mix.raw";
    FSOUND_Close();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
    setenv("SDL_DISKAUDIODELAY", "5", 1);
    FSOUND_Init(44100, 32, 0);
    EXPECT_TRUE(platform::soundseams::DeviceOpen());
    FSOUND_SAMPLE* sample = FSOUND_Sample_Load(FSOUND_FREE, (dir.Path() + "/beep.wav").c_str(), 0x130, 0, 0);
    EXPECT_NE(sample, nullptr);
    const int channel = FSOUND_PlaySound(FSOUND_FREE, sample);
    EXPECT_GE(channel, 0);
    FSOUND_SetVolume(volumeChannel == FSOUND_FREE ? channel : volumeChannel, volume);
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    FSOUND_Sample_Free(sample);
    FSOUND_Close();
    std::ifstream in(out, std::ios::binary);
    const std::string mixed((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_GT(mixed.size(), 1000u);
    int peak = 0;
    for (std::size_t i = 0; i + 1 < mixed.size(); i += 2) {
        std::int16_t v;
        std::memcpy(&v, &mixed[i], 2);
        peak = std::max(peak, std::abs(static_cast<int>(v)));
    }
    return peak;
}

}  // namespace

TEST(SoundLibrary, APlayedSampleReachesTheOutputAndANegativeVolumeSilencesIt)
{
    testutil::TempDir dir;
    dir.Write("beep.wav", SquareWav(44100 / 4, 12000));
    EXPECT_GT(PeakOnDisk(dir, FSOUND_FREE, 255), 5000);
    EXPECT_EQ(PeakOnDisk(dir, FSOUND_FREE, -20), 0);
    EXPECT_EQ(PeakOnDisk(dir, FSOUND_ALL, 0), 0);
}

TEST(SoundLibrary, WithoutADeviceEverythingSucceedsSilently)
{
    testutil::TempDir dir;
    dir.Write("Sound/Click.wav", SquareWav(100, 1000));
    dir.Write("music.wav", SquareWav(100, 1000));
    FSOUND_Close();
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_EQ(FSOUND_Init(44100, 32, 0), 1);
    EXPECT_FALSE(platform::soundseams::DeviceOpen());

    // Files are still found through the engine's path rules, and missing ones still fail.
    FSOUND_SAMPLE* s = FSOUND_Sample_Load(FSOUND_FREE, (dir.WindowsPath() + "\\sound\\click.wav").c_str(), 0x130, 0, 0);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, (dir.Path() + "/none.wav").c_str(), 0x130, 0, 0), nullptr);
    const int a = FSOUND_PlaySound(FSOUND_FREE, s), b = FSOUND_PlaySound(FSOUND_FREE, s);
    EXPECT_GE(a, 0);
    EXPECT_GE(b, 0);
    EXPECT_NE(a, b);
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, nullptr), -1);

    FSOUND_STREAM* music = FSOUND_Stream_Open((dir.Path() + "/music.wav").c_str(), 0x132, 0, 0);
    ASSERT_NE(music, nullptr);
    EXPECT_EQ(FSOUND_Stream_Open((dir.Path() + "/none.ogg").c_str(), 0x132, 0, 0), nullptr);
    const int mc = FSOUND_Stream_Play(FSOUND_FREE, music);
    EXPECT_EQ(mc, platform::soundseams::MusicChannel());

    // Volumes are clamped to 0..255; FSOUND_ALL covers the sample channels and the music.
    FSOUND_SetVolume(a, 510);
    EXPECT_EQ(platform::soundseams::AppliedVolume(a), 255);
    FSOUND_SetVolume(a, -1);
    EXPECT_EQ(platform::soundseams::AppliedVolume(a), 0);
    FSOUND_SetVolume(FSOUND_ALL, 100);
    EXPECT_EQ(platform::soundseams::AppliedVolume(b), 100);
    EXPECT_EQ(platform::soundseams::AppliedVolume(mc), 100);
    EXPECT_EQ(FSOUND_SetVolume(500, 10), 0);
    EXPECT_EQ(FSOUND_SetPaused(mc, 1), 1);

    EXPECT_EQ(FSOUND_Stream_Close(music), 1);
    FSOUND_Sample_Free(s);
    FSOUND_Close();
    EXPECT_EQ(FSOUND_PlaySound(FSOUND_FREE, s = FSOUND_Sample_Load(FSOUND_FREE, (dir.Path() + "/music.wav").c_str(), 0, 0, 0)), -1)
        << "a closed library plays nothing";
    FSOUND_Sample_Free(s);
}

TEST(SoundLibrary, PipesAndDevicesAreNoSoundFilesWithOrWithoutADevice)
{
    testutil::TempDir dir;
    ASSERT_EQ(::mkfifo((dir.Path() + "/pipe.wav").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/zero", (dir.Path() + "/zero.wav").c_str()), 0);
    for (const char* driver : {"dummy", "no-such-driver"}) {
        FSOUND_Close();
        setenv("SDL_AUDIODRIVER", driver, 1);
        FSOUND_Init(44100, 32, 0);
        for (const char* name : {"/pipe.wav", "/zero.wav"}) {
            EXPECT_EQ(FSOUND_Sample_Load(FSOUND_FREE, (dir.Path() + name).c_str(), 0x130, 0, 0), nullptr) << name;
            EXPECT_EQ(FSOUND_Stream_Open((dir.Path() + name).c_str(), 0x132, 0, 0), nullptr) << name;
        }
    }
    FSOUND_Close();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    FSOUND_Init(44100, 32, 0);
}
