// The file scenarios' own folder: a fresh "work" folder beside the probe for each scenario,
// files made in it, and paths written to the trace relative to the probe's folder (which is
// C:\Probe\ on the simulated desktop and a temporary folder under Wine).
#pragma once

#include "platform.h"

#include <string>
#include <vector>

namespace probe
{

// The probe's folder, with its trailing backslash, as GetModuleFileNameA gives it.
std::string ProbeFolder();
// The work folder of the running scenario ("<probe folder>work\"), made empty.
std::string MakeWorkFolder();
// Removes the work folder and everything in it (read-only files included).
void RemoveWorkFolder();

// Writes a file with the bytes given; false if it could not.
bool MakeFile(const std::string &path, const std::string &bytes);
// The bytes of a file, or "(missing)".
std::string FileBytes(const std::string &path);
// A PCM wave file (8 kHz, 8 bits, mono) of that many milliseconds of silence.
std::string WaveBytes(int milliseconds);

// A path as the trace shows it: the probe's folder becomes "<probe>" (or "<probe:lower>" when
// it came back lower-cased, "<probe:case>" in any other letter case), the rest as it is.
std::string Shown(const std::string &path);

// The names a search finds, sorted by their bytes: Windows and Wine give them in different
// orders (see README.md), and the program never relies on the order.
std::vector<std::string> FindAll(const std::string &pattern, DWORD *firstError);
// "FindFirstFileA <pattern> -> N: a, b" or "-> none error E".
void TraceFind(const std::string &shownPattern, const std::string &pattern);

// The current directory as the trace shows it.
void TraceCurrentDirectory();

// Hexadecimal bytes or UTF-16 units, for text whose encoding is the point.
std::string Hex(const std::string &bytes);
std::string HexUnits(const WCHAR *units, int count);

} // namespace probe
