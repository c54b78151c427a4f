#include "media/sound.h"

#include "foundation/numeric.h"
#include "foundation/stringlist.h"
#include "foundation/stringutil.h"
#include "foundation/namedlist.h"

namespace {

constexpr unsigned int kSampleMode = FSOUND_16BITS | FSOUND_MONO | FSOUND_SIGNED;              // 0x130
constexpr unsigned int kMusicMode = FSOUND_LOOP_NORMAL | FSOUND_16BITS | FSOUND_MONO | FSOUND_SIGNED;  // 0x132

// The library's volume: the integer part of volume x 255, not clamped (the library clamps).
int LibraryVolume(float volume) { return TruncToInt(volume * 255.0f); }

// A channel below zero is none: nothing played, or the library refused to play.
void SetChannelVolume(int channel, float volume)
{
    if (channel >= 0)
        FSOUND_SetVolume(channel, LibraryVolume(volume));
}

void SetChannelPaused(int channel, bool paused)
{
    if (channel >= 0)
        FSOUND_SetPaused(channel, paused ? 1 : 0);
}

void AddTo(ArrayList<TSound>& list, const std::string& fileName)
{
    TSound* sound = list.AddNew();
    sound->strName = StripExtension(fileName);
    sound->Load(fileName);
}

void LoadFolder(ArrayList<TSound>& list, const std::string& folder, const std::string& pattern)
{
    CStringList strList;
    ListFolder(strList, folder, pattern);
    for (int i = 0; i < strList.Count(); ++i)
        AddTo(list, strList.At(i));
}

}  // namespace

TSound::~TSound()
{
    if (pSample)
        FSOUND_Sample_Free(pSample);
}

FSOUND_SAMPLE* TSound::Load(const std::string& fileName)
{
    pSample = FSOUND_Sample_Load(FSOUND_FREE, fileName.c_str(), kSampleMode, 0, 0);
    return pSample;
}

int TSound::Play(float volume)
{
    if (!pSample)
        return -1;
    nChannel = FSOUND_PlaySound(FSOUND_FREE, pSample);
    if (nChannel < 0)
        return -1;
    SetChannelVolume(nChannel, volume);
    return nChannel;
}

void TSound::SetVolume(float volume) { SetChannelVolume(nChannel, volume); }
void TSound::SetPaused(bool paused) { SetChannelPaused(nChannel, paused); }

MusicStream::~MusicStream()
{
    if (pStream)
        FSOUND_Stream_Close(pStream);
}

void MusicStream::Play(const std::string& name, float volume)
{
    if (name.empty() || volume <= 0.0f)
        return;
    if (pStream) {
        FSOUND_Stream_Close(pStream);
        pStream = nullptr;
    }
    pStream = FSOUND_Stream_Open(name.c_str(), kMusicMode, 0, 0);
    if (!pStream)
        return;
    nChannel = FSOUND_Stream_Play(FSOUND_FREE, pStream);
    SetChannelVolume(nChannel, volume);
}

void MusicStream::SetVolume(float volume) { SetChannelVolume(nChannel, volume); }
void MusicStream::SetPaused(bool paused) { SetChannelPaused(nChannel, paused); }

SoundManager::SoundManager()
{
    FSOUND_Init(44100, 32, 0);
}

SoundManager::~SoundManager()
{
    ClearAll();
    FSOUND_Close();
}

void SoundManager::LoadSounds(const std::string& folder) { LoadFolder(Sounds, folder, "*.wav"); }

void SoundManager::LoadSceneSounds(const std::string& folder, const std::string& pattern)
{
    LoadFolder(SceneSounds, folder, pattern);
}

void SoundManager::AddSound(const std::string& fileName) { AddTo(Sounds, fileName); }
void SoundManager::AddSceneSound(const std::string& fileName) { AddTo(SceneSounds, fileName); }
TSound* SoundManager::FindSound(const std::string& name) { return FindNamed(Sounds, name); }
TSound* SoundManager::FindSceneSound(const std::string& name) { return FindNamed(SceneSounds, name); }

void SoundManager::PlayMusic(const std::string& name) { Music.Play(name, fMusicVolume); }

void SoundManager::SetMusicVolume(float volume)
{
    fMusicVolume = volume;
    Music.SetVolume(volume);
}

void SoundManager::PauseMusic(bool paused) { Music.SetPaused(paused); }

void SoundManager::SetSoundVolume(float volume)
{
    fSoundVolume = volume;
    FSOUND_SetVolume(FSOUND_ALL, LibraryVolume(volume));
    Music.SetVolume(fMusicVolume);
}

void SoundManager::PlaySound(TSound* sound)
{
    if (sound)
        sound->Play(fSoundVolume);
}

void SoundManager::ClearSceneSounds() { SceneSounds.Clear(); }

void SoundManager::ClearAll()
{
    Sounds.Clear();
    SceneSounds.Clear();
}

void SoundResourceTable::Add(const std::string& name, int id)
{
    TSound* sound = g_SoundManager.FindSound(name);
    if (!sound)
        sound = g_SoundManager.FindSceneSound(name);
    if (sound)
        Entries.push_back({sound, id});
}

TSoundResourceEntry* SoundResourceTable::FindById(int id)
{
    for (TSoundResourceEntry& entry : Entries)
        if (entry.nID == id)
            return &entry;
    return nullptr;
}

TSoundResourceEntry* SoundResourceTable::FindByName(const std::string& name)
{
    for (TSoundResourceEntry& entry : Entries)
        if (entry.pSound->strName == name)
            return &entry;
    return nullptr;
}
