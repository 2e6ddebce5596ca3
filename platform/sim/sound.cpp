// Simulated sound: PlaySoundA and Beep append to the desktop's sound log. Playback is
// asynchronous with one sound at a time: a new request cuts off the sound still playing. A file
// plays when it is a PCM wave file; a missing or unplayable file with SND_NODEFAULT is silent,
// though an asynchronous request for it answers TRUE all the same. MessageBeep's sound plays on
// its own.
#include "platform/sim/internal.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace sim;

namespace
{

uint32_t Little32(const unsigned char *b)
{
    return static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
           static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
}

int64_t Nanoseconds(const struct timespec &time)
{
    return static_cast<int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

// Whether the file found on the host is still the one a look saw.
bool SameFile(const WaveLook &look, const struct stat &info)
{
    return look.device == static_cast<uint64_t>(info.st_dev) &&
           look.inode == static_cast<uint64_t>(info.st_ino) &&
           look.size == static_cast<int64_t>(info.st_size) &&
           look.modified == Nanoseconds(info.st_mtim);
}

// Duration in milliseconds of a RIFF/WAVE file on the host, or -1 when it cannot be played.
// Only the chunk headers and the format are read: a sound is requested every few seconds for
// months of virtual time, and the samples do not matter. *info is what the file was.
Millis WaveDuration(const std::string &host, struct stat *info)
{
    *info = {}; // no file is device 0, inode 0: a file that cannot be opened is looked up again
    const int fd = open(host.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return -1;
    const bool isFile = fstat(fd, info) == 0 && S_ISREG(info->st_mode);
    const uint64_t fileSize = isFile ? static_cast<uint64_t>(info->st_size) : 0;
    // Reads exactly count bytes at offset, or fails.
    auto readAt = [fd](uint64_t offset, unsigned char *buffer, size_t count) {
        return pread(fd, buffer, count, static_cast<off_t>(offset)) == static_cast<ssize_t>(count);
    };
    Millis duration = -1;
    unsigned char header[12];
    if (isFile && fileSize >= 12 && readAt(0, header, 12) && std::memcmp(header, "RIFF", 4) == 0 &&
        std::memcmp(header + 8, "WAVE", 4) == 0) {
        uint32_t byteRate = 0;
        uint64_t at = 12;
        unsigned char chunk[8];
        while (at + 8 <= fileSize && readAt(at, chunk, 8)) {
            const uint32_t size = Little32(chunk + 4);
            unsigned char format[16];
            if (std::memcmp(chunk, "fmt ", 4) == 0 && at + 8 + 16 <= fileSize) {
                if (!readAt(at + 8, format, 16)) break;
                byteRate = Little32(format + 8);
            } else if (std::memcmp(chunk, "data", 4) == 0) {
                if (byteRate != 0) {
                    const uint64_t available = std::min<uint64_t>(size, fileSize - at - 8);
                    duration = static_cast<Millis>(available * 1000 / byteRate);
                }
                break;
            }
            at += 8 + static_cast<uint64_t>(size) + (size & 1);
        }
    }
    (void)close(fd);
    return duration;
}

// The duration of the named wave file, or -1 when it is missing or cannot be played. A sound
// asked for again, whose file is still the same, is not looked up and read anew: finding and
// reading it costs more than the rest of the program's tick, every few seconds for months.
Millis NamedWaveDuration(const char *name)
{
    Desktop::State &state = S();
    Process *process = CurrentProcess();
    const std::string key =
        (process ? process->currentDirectory : Desktop::Current().ProgramFolder()) + '|' + name;
    auto known = state.waveLooks.find(key);
    struct stat info {
    };
    if (known != state.waveLooks.end() && known->second.fileOperations == state.fileOperations &&
        stat(known->second.hostPath.c_str(), &info) == 0 && SameFile(known->second, info))
        return known->second.duration;

    bool found = false;
    std::string host = ResolveHostPath(name, &found);
    if (!found) {
        if (known != state.waveLooks.end()) state.waveLooks.erase(known);
        return -1;
    }
    const Millis duration = WaveDuration(host, &info);
    // The program asks for a few dozen names; a caller asking for ever new ones starts afresh.
    constexpr size_t KeptLooks = 1024;
    if (state.waveLooks.size() >= KeptLooks) state.waveLooks.clear();
    state.waveLooks[key] = WaveLook{std::move(host),
                                    static_cast<uint64_t>(info.st_dev),
                                    static_cast<uint64_t>(info.st_ino),
                                    static_cast<int64_t>(info.st_size),
                                    Nanoseconds(info.st_mtim),
                                    state.fileOperations,
                                    duration};
    return duration;
}

// Only one sound plays at a time, as every request cuts off the one before: the sound that may
// still be playing is the last one that played.
void CutOffPlaying()
{
    Desktop::State &state = S();
    if (!state.lastPlayed) return;
    SoundRecord &last = state.sounds[*state.lastPlayed];
    if (last.cutOffAt < 0 && last.time + last.duration > state.now) last.cutOffAt = state.now;
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
        const Millis duration = NamedWaveDuration(sound);
        if (duration >= 0) {
            record.played = true;
            record.duration = duration;
        }
    }
    if (record.played) S().lastPlayed = S().sounds.size();
    S().sounds.push_back(record);

    // The event is made only for someone who listens: sounds come every few seconds.
    if (!S().observers.empty()) {
        Event event;
        event.kind = "sound";
        event.fields = {{"name", JsonString(record.name)},
                        {"flags", std::to_string(flags)},
                        {"played", record.played ? "true" : "false"}};
        Desktop::Current().Emit(event);
    }

    // An asynchronous request is taken whatever becomes of it: its file is looked for and played
    // afterwards (sound/async-results). A synchronous sound holds the program until it ends.
    if (flags & SND_ASYNC) return TRUE;
    if (record.played) S().now += record.duration;
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

BOOL WINAPI MessageBeep(UINT type)
{
    PlatformCode platform;
    // The system's sound for the kind of message plays on its own: the call returns at once.
    Event event;
    event.kind = "messagebeep";
    event.fields = {{"type", std::to_string(type)}};
    Desktop::Current().Emit(event);
    return TRUE;
}
