// The sound library subset the engine calls: samples played once on free channels, one looping
// music stream, per-channel volume and pause. Implemented on SDL2_mixer (fmod/). Without an audio
// device every call still succeeds and nothing is heard.
#pragma once

struct FSOUND_SAMPLE;
struct FSOUND_STREAM;

constexpr int FSOUND_FREE = -1;  // "any free channel" / "a new sample slot"
constexpr int FSOUND_ALL = -3;   // every channel, the music included

constexpr unsigned int FSOUND_LOOP_OFF = 0x00000001;
constexpr unsigned int FSOUND_LOOP_NORMAL = 0x00000002;
constexpr unsigned int FSOUND_8BITS = 0x00000008;
constexpr unsigned int FSOUND_16BITS = 0x00000010;
constexpr unsigned int FSOUND_MONO = 0x00000020;
constexpr unsigned int FSOUND_STEREO = 0x00000040;
constexpr unsigned int FSOUND_UNSIGNED = 0x00000080;
constexpr unsigned int FSOUND_SIGNED = 0x00000100;

// Opens the audio device (starting SDL's audio itself, so it works before any window).
// True even when no device could be opened.
signed char FSOUND_Init(int mixRate, int maxChannels, unsigned int flags);
void FSOUND_Close();

// A sample read whole from a file; null when the file cannot be read.
FSOUND_SAMPLE* FSOUND_Sample_Load(int index, const char* name, unsigned int mode, int offset, int length);
void FSOUND_Sample_Free(FSOUND_SAMPLE* sample);
// Plays the sample once; the channel used, or -1.
int FSOUND_PlaySound(int channel, FSOUND_SAMPLE* sample);

// Volume 0..255; values outside are clamped, so a negative volume is silence.
signed char FSOUND_SetVolume(int channel, int volume);
signed char FSOUND_SetPaused(int channel, signed char paused);

// A music file, decoded while it plays. Only one stream plays at a time.
FSOUND_STREAM* FSOUND_Stream_Open(const char* name, unsigned int mode, int offset, int length);
int FSOUND_Stream_Play(int channel, FSOUND_STREAM* stream);
signed char FSOUND_Stream_Close(FSOUND_STREAM* stream);
