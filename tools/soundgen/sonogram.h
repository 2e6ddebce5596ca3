// Spectrogram pictures for reviewing the synthesised sounds by eye: time runs left to right,
// frequency bottom to top on a log scale from 40 Hz to Nyquist (so low hums and high chirps both
// show), and colour shows log magnitude from -100 dBFS (black) through purple, red and orange
// to 0 dBFS (pale yellow). Faint dotted lines mark 100 Hz, 1 kHz and 10 kHz (longer dashes) and
// 200, 500, 2k, 5k Hz; dotted columns mark each second, small ticks at the bottom each 0.1 s.
#pragma once

#include <complex>
#include <cstdint>
#include <string>
#include <vector>

namespace spectrogram
{

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels; // 0x00RRGGBB, rows from the top
};

Image Render(const std::vector<int16_t> &pcm, int sample_rate);

// In-place iterative radix-2 FFT; the size must be a power of two.
void Fft(std::vector<std::complex<double>> &a);

} // namespace spectrogram
