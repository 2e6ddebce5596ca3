// Scenarios of sound: PlaySoundA as the program calls it (SND_ASYNC | SND_NODEFAULT |
// SND_FILENAME, a bare file name found through the current directory), its results and the last
// error for a wave file, a missing file, a file that is no wave, a second request over the first
// and the stop request.
//
// Under Wine without a sound device nothing is heard, so what an asynchronous request does after
// it returned (which file played, that a second request cut the first off) cannot be compared;
// what can is what the call answers, and that it answers at once.
#include "tests/conformance/probe/probe.h"
#include "tests/conformance/probe/workfolder.h"

#include <iterator>
#include <string>

namespace
{

constexpr DWORD AsProgram = SND_ASYNC | SND_NODEFAULT | SND_FILENAME;
// A value no call sets, to see whether a call set the last error.
constexpr DWORD Untouched = 0x2121;

void Play(const std::string &shown, const char *name, DWORD flags = AsProgram)
{
    SetLastError(Untouched);
    BOOL result = PlaySoundA(name, nullptr, flags);
    DWORD error = GetLastError();
    probe::Trace("PlaySoundA " + shown + " -> " + std::to_string(result) +
                 (error == Untouched ? "" : " error " + std::to_string(error)));
}

void AsyncResults()
{
    std::string work = probe::MakeWorkFolder();
    (void)probe::MakeFile(work + "tone.wav", probe::WaveBytes(1500));
    (void)probe::MakeFile(work + "text.wav", "not a wave file\r\n");
    probe::TraceResult("SetCurrentDirectoryA work", SetCurrentDirectoryA(work.c_str()));
    Play("tone.wav", "tone.wav");
    Play("tone.wav again", "tone.wav");
    Play("missing.wav", "missing.wav");
    Play("text.wav", "text.wav");
    Play("stop", nullptr, 0);
    Play("full path of tone.wav", (work + "tone.wav").c_str());
    Play("stop", nullptr, 0);
    // From the probe's folder the bare name finds nothing.
    probe::TraceResult("SetCurrentDirectoryA probe",
                       SetCurrentDirectoryA(probe::ProbeFolder().c_str()));
    Play("tone.wav elsewhere", "tone.wav");
    probe::RemoveWorkFolder();
}

constexpr probe::Scenario Scenarios[] = {
    {"async-results", AsyncResults},
};

} // namespace

extern const probe::Area soundArea = {"sound", Scenarios, std::size(Scenarios)};
