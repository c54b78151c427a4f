// Sound effects and music: the samples loaded at start-up and by scenes, kept by name, and the
// one looping music stream. Volumes are floats where 1.0 is full volume.
#pragma once

#include <string>
#include <vector>

#include "foundation/arraylist.h"
#include "foundation/objectbase.h"
#include "platform/fmod.h"

// One sample, known by its file name without extension.
struct TSound {
    FSOUND_SAMPLE* pSample = nullptr;
    int nChannel = -1;  // the channel of the latest playing
    std::string strName;

    TSound() = default;
    // The sound frees its sample: it is never copied.
    TSound(const TSound&) = delete;
    TSound& operator=(const TSound&) = delete;
    ~TSound();

    FSOUND_SAMPLE* Load(const std::string& fileName);
    int Play(float volume);
    void SetVolume(float volume);
    void SetPaused(bool paused);
};

struct MusicStream {
    FSOUND_STREAM* pStream = nullptr;
    int nChannel = -1;

    MusicStream() = default;
    MusicStream(const MusicStream&) = delete;
    MusicStream& operator=(const MusicStream&) = delete;
    ~MusicStream();

    void Play(const std::string& name, float volume);
    void SetVolume(float volume);
    void SetPaused(bool paused);
};

class SoundManager {
public:
    ArrayList<TSound> Sounds;       // every "*.wav" of "$\sound", loaded at start-up
    ArrayList<TSound> SceneSounds;  // what scene scripts load; never emptied while running
    MusicStream Music;
    float fSoundVolume = 1.0f;
    float fMusicVolume = 1.0f;

    SoundManager();
    ~SoundManager();
    SoundManager(const SoundManager&) = delete;
    SoundManager& operator=(const SoundManager&) = delete;

    void LoadSounds(const std::string& folder);
    void LoadSceneSounds(const std::string& folder, const std::string& pattern);
    void AddSound(const std::string& fileName);
    void AddSceneSound(const std::string& fileName);
    TSound* FindSound(const std::string& name);
    TSound* FindSceneSound(const std::string& name);

    void PlayMusic(const std::string& name);
    void SetMusicVolume(float volume);
    void PauseMusic(bool paused);
    void SetSoundVolume(float volume);
    void PlaySound(TSound* sound);
    float GetMusicVolume() const { return fMusicVolume; }
    float GetSoundVolume() const { return fSoundVolume; }

    void ClearSceneSounds();
    void ClearAll();
};

struct TSoundResourceEntry {
    TSound* pSound = nullptr;
    int nID = 0;
};

// The sounds the user interface plays by an id given to them by script.
class SoundResourceTable : public CObject {
public:
    std::vector<TSoundResourceEntry> Entries;

    void Add(const std::string& name, int id);
    TSoundResourceEntry* FindById(int id);
    TSoundResourceEntry* FindByName(const std::string& name);
};

extern SoundManager g_SoundManager;
