// Simulated sound: PlaySoundA and Beep append to the desktop's sound log. Playback is
// asynchronous with one sound at a time: a new request cuts off the sound still playing. A file
// plays when it is a PCM wave file; a missing or unplayable file with SND_NODEFAULT is silent.
#include "internal.h"

#include <cstring>

using namespace sim;

namespace
{

uint32_t Little32(const std::string &b, size_t at)
{
    return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

// Duration in milliseconds of a RIFF/WAVE file, or -1 when it cannot be played.
Millis WaveDuration(const std::string &bytes)
{
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
        return -1;
    uint32_t byteRate = 0;
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
        std::string id = bytes.substr(at, 4);
        uint32_t size = Little32(bytes, at + 4);
        if (id == "fmt " && at + 8 + 16 <= bytes.size()) {
            byteRate = Little32(bytes, at + 8 + 8);
        } else if (id == "data") {
            if (byteRate == 0) return -1;
            uint64_t available = std::min<uint64_t>(size, bytes.size() - at - 8);
            return static_cast<Millis>(available * 1000 / byteRate);
        }
        at += 8 + size + (size & 1);
    }
    return -1;
}

void CutOffPlaying()
{
    auto &sounds = S().sounds;
    for (auto it = sounds.rbegin(); it != sounds.rend(); ++it) {
        if (it->played && it->cutOffAt < 0 && it->time + it->duration > S().now) {
            it->cutOffAt = S().now;
            break;
        }
    }
}

} // namespace

BOOL WINAPI PlaySoundA(LPCSTR sound, HMODULE module, DWORD flags)
{
    PlatformCode platform;
    (void)module;
    CutOffPlaying();
    SoundRecord record;
    record.time = S().now;
    record.name = sound ? sound : "";
    record.flags = flags;
    if (sound && (flags & SND_FILENAME)) {
        if (auto bytes = Desktop::Current().ReadFile(sound)) {
            Millis duration = WaveDuration(*bytes);
            if (duration >= 0) {
                record.played = true;
                record.duration = duration;
            }
        }
    }
    S().sounds.push_back(record);

    Event event;
    event.kind = "sound";
    event.fields = {{"name", JsonString(record.name)},
                    {"flags", std::to_string(flags)},
                    {"played", record.played ? "true" : "false"}};
    Desktop::Current().Emit(event);

    if (!(flags & SND_ASYNC) && record.played)
        S().now += record.duration; // a synchronous sound holds the program until it ends
    return record.played || !(flags & SND_NODEFAULT) ? TRUE : FALSE;
}

BOOL WINAPI Beep(DWORD frequency, DWORD duration)
{
    PlatformCode platform;
    S().beeps.push_back(BeepRecord{S().now, frequency, duration});
    Event event;
    event.kind = "beep";
    event.fields = {{"frequency", std::to_string(frequency)},
                    {"duration", std::to_string(duration)}};
    Desktop::Current().Emit(event);
    S().now += duration; // Beep returns when the tone ends
    return TRUE;
}
