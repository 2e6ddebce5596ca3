// zelmo-soundgen OUTDIR [--spectrograms DIR]
// Synthesises every sound file of ZelmoSound into OUTDIR (16-bit mono PCM WAV), and with
// --spectrograms also a PNG spectrogram per file into DIR, plus a line per file with its
// duration and levels, for review. Files whose bytes are unchanged are not rewritten. The output is
// byte for byte the same on every run: all randomness comes from generators seeded by the file
// names.
#include "formats/png_writer.h"
#include "tools/soundgen/catalogue.h"
#include "tools/soundgen/sonogram.h"
#include "tools/soundgen/wav.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace
{

int Usage()
{
    std::fprintf(stderr, "usage: zelmo-soundgen OUTDIR [--spectrograms DIR]\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    std::string out_dir, spectro_dir;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--spectrograms" && i + 1 < argc) {
            spectro_dir = argv[++i];
        } else if (!arg.empty() && arg[0] != '-' && out_dir.empty()) {
            out_dir = arg;
        } else {
            return Usage();
        }
    }
    if (out_dir.empty()) return Usage();

    namespace fs = std::filesystem;
    std::error_code ec;
    fs::create_directories(out_dir, ec);
    if (!spectro_dir.empty()) fs::create_directories(spectro_dir, ec);

    std::size_t total_bytes = 0, count = 0;
    for (const snd::Recipe &recipe : snd::Catalogue()) {
        snd::FinishReport report{};
        const snd::Buffer buf = snd::Render(recipe, &report);
        const std::vector<int16_t> pcm = snd::ToPcm16(buf);
        const std::vector<uint8_t> bytes = wav::EncodeMono16(recipe.sample_rate, pcm);
        const std::string path = (fs::path(out_dir) / (recipe.name + ".wav")).string();
        if (!wav::WriteIfChanged(path, bytes)) {
            std::fprintf(stderr, "zelmo-soundgen: cannot write %s\n", path.c_str());
            return 1;
        }
        total_bytes += bytes.size();
        ++count;
        if (!spectro_dir.empty())
            std::printf("%-10s %5.2f s  peak %6.2f dBFS  rms %6.2f dBFS  limited %5.2f dB\n",
                        recipe.name.c_str(), static_cast<double>(pcm.size()) / recipe.sample_rate,
                        report.peak_db, report.rms_db, report.max_reduction_db);
        if (!spectro_dir.empty()) {
            std::fflush(stdout);
            const spectrogram::Image img = spectrogram::Render(pcm, recipe.sample_rate);
            const std::string png_path = (fs::path(spectro_dir) / (recipe.name + ".png")).string();
            if (!png::WriteRgb(png_path, img.width, img.height, img.pixels)) {
                std::fprintf(stderr, "zelmo-soundgen: cannot write %s\n", png_path.c_str());
                return 1;
            }
        }
    }
    std::printf("zelmo-soundgen: %zu files, %zu bytes in %s\n", count, total_bytes,
                out_dir.c_str());
    return 0;
}
