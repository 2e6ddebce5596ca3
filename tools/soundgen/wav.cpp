// PCM WAV files: the RIFF header, the fmt chunk and the 16-bit samples.
#include "tools/soundgen/wav.h"

#include "formats/little_endian.h"

#include <fstream>
#include <iterator>

namespace wav
{
namespace
{

void PutTag(std::vector<uint8_t> &out, const char *tag)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(tag[i]));
}

} // namespace

std::vector<uint8_t> EncodeMono16(int sample_rate, const std::vector<int16_t> &samples)
{
    const uint32_t data_bytes = static_cast<uint32_t>(samples.size() * 2);
    std::vector<uint8_t> out;
    out.reserve(44 + data_bytes);
    PutTag(out, "RIFF");
    Put32(out, 36 + data_bytes);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1); // PCM
    Put16(out, 1); // mono
    Put32(out, static_cast<uint32_t>(sample_rate));
    Put32(out, static_cast<uint32_t>(sample_rate) * 2); // bytes per second
    Put16(out, 2);                                      // bytes per frame
    Put16(out, 16);                                     // bits per sample
    PutTag(out, "data");
    Put32(out, data_bytes);
    for (int16_t s : samples)
        Put16(out, static_cast<uint16_t>(s));
    return out;
}

bool WriteIfChanged(const std::string &path, const std::vector<uint8_t> &bytes)
{
    {
        std::ifstream in(path, std::ios::binary);
        if (in) {
            const std::vector<uint8_t> old((std::istreambuf_iterator<char>(in)),
                                           std::istreambuf_iterator<char>());
            if (old == bytes) return true;
        }
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

} // namespace wav
