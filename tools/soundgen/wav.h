// PCM WAV encoding: RIFF/WAVE, a plain 16-byte fmt chunk (format 1, mono, 16 bits), then data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace wav
{

std::vector<uint8_t> EncodeMono16(int sample_rate, const std::vector<int16_t> &samples);

// Writes `bytes` to `path` unless the file already holds exactly these bytes, so regenerating
// leaves unchanged files (and their time stamps) alone. Returns false on a write error.
bool WriteIfChanged(const std::string &path, const std::vector<uint8_t> &bytes);

} // namespace wav
