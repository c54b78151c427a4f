// Sample channels are SDL_mixer's channels 0..n-1; the music stream is reported as channel n so
// that the engine can address it like any other channel.
#include "platform/fmod.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cstdio>

#include "platform/files.h"
#include "platform/fmod/fmod_seams.h"

struct FSOUND_SAMPLE {
    Mix_Chunk* chunk = nullptr;
};

struct FSOUND_STREAM {
    Mix_Music* music = nullptr;
    SDL_RWops* file = nullptr;  // read by the mixer while the music plays; closed after it
    bool loop = false;
};

namespace {

struct SoundState {
    bool initialised = false;    // FSOUND_Init ran and FSOUND_Close did not
    bool sdlAudio = false;       // we started SDL's audio subsystem
    bool device = false;         // the mixer has a device
    int channels = 32;
    int nextSilentChannel = 0;   // round robin when there is no device
    FSOUND_STREAM* playing = nullptr;
    int applied[257] = {};       // last applied volume per channel; the music is one of them
    bool recording = false;
    std::vector<platform::soundseams::SoundCall> calls;
};

SoundState& State()
{
    static SoundState state;
    return state;
}

void Record(const char* function, int channel, int value, const char* name = nullptr)
{
    SoundState& s = State();
    if (s.recording)
        s.calls.push_back({function, channel, value, name ? name : ""});
}

int MusicChannel() { return State().channels; }

int MixVolume(int volume) { return volume * MIX_MAX_VOLUME / 255; }

void ApplyVolume(int channel, int volume)
{
    SoundState& s = State();
    s.applied[std::clamp(channel, 0, 256)] = volume;
    if (!s.device)
        return;
    if (channel == MusicChannel())
        Mix_VolumeMusic(MixVolume(volume));
    else
        Mix_Volume(channel, MixVolume(volume));
}

// Sounds and music are opened as every other data file is (platform::OpenFile: regular files
// of a bounded size only), and handed to SDL as an open file.
SDL_RWops* OpenSoundFile(const char* name)
{
    std::FILE* f = platform::OpenFile(name, "rb");
    if (!f)
        return nullptr;
    SDL_RWops* rw = SDL_RWFromFP(f, SDL_TRUE);
    if (!rw)
        std::fclose(f);
    return rw;
}

// Without a device nothing is decoded for playing, but a sample that is not a readable WAV
// file still fails as it would with one.
bool WavReadable(SDL_RWops* rw)
{
    SDL_AudioSpec format;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV_RW(rw, 0, &format, &buffer, &length))
        return false;
    SDL_FreeWAV(buffer);
    return true;
}

}  // namespace

namespace platform::soundseams {

void StartRecording()
{
    State().calls.clear();
    State().recording = true;
}
void StopRecording() { State().recording = false; }
std::vector<SoundCall>& Calls() { return State().calls; }
bool DeviceOpen() { return State().device; }
int MusicChannel() { return ::MusicChannel(); }
int AppliedVolume(int channel) { return State().applied[std::clamp(channel, 0, 256)]; }

}  // namespace platform::soundseams

signed char FSOUND_Init(int mixRate, int maxChannels, unsigned int flags)
{
    Record("FSOUND_Init", -1, maxChannels);
    SoundState& s = State();
    if (s.initialised)
        FSOUND_Close();
    s.initialised = true;
    s.channels = std::clamp(maxChannels, 1, 255);
    std::fill(std::begin(s.applied), std::end(s.applied), 255);
    s.sdlAudio = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    if (s.sdlAudio && Mix_OpenAudio(mixRate > 0 ? mixRate : 44100, AUDIO_S16SYS, 2, 1024) == 0) {
        s.device = true;
        Mix_AllocateChannels(s.channels);
        Mix_Volume(-1, MIX_MAX_VOLUME);
        Mix_VolumeMusic(MIX_MAX_VOLUME);
    }
    return 1;
}

void FSOUND_Close()
{
    Record("FSOUND_Close", -1, 0);
    SoundState& s = State();
    if (s.device) {
        Mix_HaltChannel(-1);
        Mix_HaltMusic();
        Mix_CloseAudio();
    }
    if (s.sdlAudio)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    s.device = false;
    s.sdlAudio = false;
    s.initialised = false;
    s.playing = nullptr;
}

FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* name, unsigned int mode, int offset, int length)
{
    Record("FSOUND_Sample_Load", index, static_cast<int>(mode), name);
    if (!name || !*name)
        return nullptr;
    SDL_RWops* rw = OpenSoundFile(name);
    if (!rw)
        return nullptr;
    auto* sample = new FSOUND_SAMPLE;
    bool loaded;
    if (State().device) {
        sample->chunk = Mix_LoadWAV_RW(rw, 0);
        loaded = sample->chunk != nullptr;
    } else {
        loaded = WavReadable(rw);
    }
    // The file is closed here rather than by the mixer, which leaks it on a failed decode.
    SDL_RWclose(rw);
    if (!loaded) {
        delete sample;
        return nullptr;
    }
    return sample;
}

void FSOUND_Sample_Free(FSOUND_SAMPLE* sample)
{
    Record("FSOUND_Sample_Free", -1, 0);
    if (!sample)
        return;
    if (sample->chunk) {
        // A chunk still playing must not be freed under the mixer.
        if (State().device)
            for (int ch = 0; ch < State().channels; ++ch)
                if (Mix_GetChunk(ch) == sample->chunk)
                    Mix_HaltChannel(ch);
        Mix_FreeChunk(sample->chunk);
    }
    delete sample;
}

int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample)
{
    SoundState& s = State();
    int result = -1;
    if (sample && s.initialised) {
        if (!s.device) {
            result = s.nextSilentChannel;
            s.nextSilentChannel = (s.nextSilentChannel + 1) % s.channels;
        } else if (sample->chunk) {
            const int wanted = channel >= 0 && channel < s.channels ? channel : -1;
            result = Mix_PlayChannel(wanted, sample->chunk, 0);
        }
        if (result >= 0)
            ApplyVolume(result, 255);
    }
    Record("FSOUND_PlaySound", channel, result);
    return result;
}

signed char FSOUND_SetVolume(int channel, int volume)
{
    Record("FSOUND_SetVolume", channel, volume);
    SoundState& s = State();
    const int v = std::clamp(volume, 0, 255);
    if (channel == FSOUND_ALL) {
        for (int ch = 0; ch <= s.channels; ++ch)
            ApplyVolume(ch, v);
        return 1;
    }
    if (channel < 0 || channel > s.channels)
        return 0;
    ApplyVolume(channel, v);
    return 1;
}

signed char FSOUND_SetPaused(int channel, signed char paused)
{
    Record("FSOUND_SetPaused", channel, paused);
    SoundState& s = State();
    if (channel != FSOUND_ALL && (channel < 0 || channel > s.channels))
        return 0;
    if (!s.device)
        return 1;
    const bool all = channel == FSOUND_ALL;
    if (all || channel < s.channels)
        paused ? Mix_Pause(all ? -1 : channel) : Mix_Resume(all ? -1 : channel);
    if (all || channel == s.channels)
        paused ? Mix_PauseMusic() : Mix_ResumeMusic();
    return 1;
}

FSOUND_STREAM* FSOUND_Stream_Open(const char* name, unsigned int mode, int offset, int length)
{
    Record("FSOUND_Stream_Open", -1, static_cast<int>(mode), name);
    if (!name || !*name)
        return nullptr;
    SDL_RWops* rw = OpenSoundFile(name);
    if (!rw)
        return nullptr;
    auto* stream = new FSOUND_STREAM;
    stream->loop = (mode & FSOUND_LOOP_NORMAL) != 0;
    stream->file = rw;
    if (State().device && !(stream->music = Mix_LoadMUS_RW(rw, 0))) {
        SDL_RWclose(rw);
        delete stream;
        return nullptr;
    }
    return stream;
}

int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream)
{
    SoundState& s = State();
    int result = -1;
    if (stream && s.initialised) {
        if (!s.device || (stream->music && Mix_PlayMusic(stream->music, stream->loop ? -1 : 1) == 0)) {
            result = MusicChannel();
            s.playing = stream;
        }
    }
    Record("FSOUND_Stream_Play", channel, result);
    return result;
}

signed char FSOUND_Stream_Close(FSOUND_STREAM* stream)
{
    Record("FSOUND_Stream_Close", -1, 0);
    if (!stream)
        return 0;
    SoundState& s = State();
    if (s.playing == stream) {
        if (s.device)
            Mix_HaltMusic();
        s.playing = nullptr;
    }
    if (stream->music)
        Mix_FreeMusic(stream->music);
    if (stream->file)
        SDL_RWclose(stream->file);
    delete stream;
    return 1;
}
