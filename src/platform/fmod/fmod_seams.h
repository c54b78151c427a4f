// Test seams of the sound library: a log of the calls the engine makes, with the values as the
// engine passed them (before any clamping), and what the layer did with the device.
#pragma once

#include <string>
#include <vector>

namespace platform::soundseams {

struct SoundCall {
    std::string function;  // e.g. "FSOUND_SetVolume"
    int channel = 0;       // channel, index or -1 where the call takes none
    int value = 0;         // volume, pause flag, mode or result, by function
    std::string name;      // the file name for loads and opens
};

void StartRecording();
void StopRecording();
std::vector<SoundCall>& Calls();

// Whether FSOUND_Init found an audio device.
bool DeviceOpen();
// The channel number the music stream plays on.
int MusicChannel();
// The volume (0..255) last applied to a channel, after clamping.
int AppliedVolume(int channel);

}  // namespace platform::soundseams
