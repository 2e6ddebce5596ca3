// Spectrogram pictures of the sounds, for reviewing them by eye.
#include "tools/soundgen/sonogram.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>

namespace spectrogram
{
namespace
{

constexpr int kFftSize = 1024;
constexpr int kRows = 320;
constexpr double kLowHz = 40.0;
constexpr double kFloorDb = -100.0;
constexpr double kPi = 3.14159265358979323846;

uint32_t Colour(double level) // level in [0, 1]
{
    struct Stop {
        double at;
        double r, g, b;
    };
    static constexpr std::array<Stop, 5> kStops = {{{0.00, 0, 0, 0},
                                                    {0.25, 40, 10, 90},
                                                    {0.50, 170, 30, 90},
                                                    {0.75, 245, 120, 20},
                                                    {1.00, 255, 250, 200}}};
    level = std::clamp(level, 0.0, 1.0);
    std::size_t k = 1;
    while (k + 1 < kStops.size() && level > kStops[k].at)
        ++k;
    const Stop &a = kStops[k - 1], &b = kStops[k];
    const double f = (level - a.at) / (b.at - a.at);
    const auto mix = [f](double x, double y) { return static_cast<uint32_t>(x + (y - x) * f); };
    return (mix(a.r, b.r) << 16) | (mix(a.g, b.g) << 8) | mix(a.b, b.b);
}

uint32_t Lighten(uint32_t c)
{
    const auto ch = [c](int shift) { return std::min(255u, ((c >> shift) & 0xFF) + 70u); };
    return (ch(16) << 16) | (ch(8) << 8) | ch(0);
}

} // namespace

void Fft(std::vector<std::complex<double>> &a)
{
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const double ang = -2.0 * kPi / static_cast<double>(len);
        const std::complex<double> wl(std::cos(ang), std::sin(ang));
        for (std::size_t i = 0; i < n; i += len) {
            std::complex<double> w(1.0, 0.0);
            for (std::size_t k = 0; k < len / 2; ++k) {
                const auto u = a[i + k], v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                w *= wl;
            }
        }
    }
}

Image Render(const std::vector<int16_t> &pcm, int sample_rate)
{
    const int n = static_cast<int>(pcm.size());
    const int hop = std::max(32, (n + 799) / 800);
    const double nyquist = sample_rate / 2.0;
    const double bin_hz = static_cast<double>(sample_rate) / kFftSize;
    Image img;
    img.width = std::max(1, (n + hop - 1) / hop);
    img.height = kRows;
    img.pixels.assign(static_cast<std::size_t>(img.width) * kRows, 0);

    // Row r (0 at the bottom) covers [RowHz(r), RowHz(r + 1)). A row wider than a bin shows
    // the strongest bin in it; a narrower one interpolates between the two nearest bins.
    const auto row_hz = [nyquist](double r) {
        return kLowHz * std::pow(nyquist / kLowHz, r / kRows);
    };
    const auto row_of = [nyquist](double hz) {
        return static_cast<int>(std::log(hz / kLowHz) / std::log(nyquist / kLowHz) * kRows);
    };

    std::array<double, kFftSize> window;
    for (int i = 0; i < kFftSize; ++i)
        window[i] = 0.5 - 0.5 * std::cos(2.0 * kPi * i / kFftSize);
    const double full_scale = kFftSize / 4.0; // a full-scale sine's peak bin under this window

    std::vector<std::complex<double>> frame(kFftSize);
    std::vector<double> mag(kFftSize / 2 + 1);
    for (int x = 0; x < img.width; ++x) {
        const int centre = x * hop;
        for (int i = 0; i < kFftSize; ++i) {
            const int s = centre - kFftSize / 2 + i;
            const double v = (s >= 0 && s < n) ? pcm[s] / 32768.0 : 0.0;
            frame[i] = {v * window[i], 0.0};
        }
        Fft(frame);
        for (int bin = 0; bin <= kFftSize / 2; ++bin)
            mag[bin] = std::abs(frame[bin]) / full_scale;
        for (int r = 0; r < kRows; ++r) {
            const double lo = row_hz(r) / bin_hz, hi = row_hz(r + 1) / bin_hz;
            double m = 0.0;
            if (std::ceil(lo) < hi) {
                for (int b = static_cast<int>(std::ceil(lo)); b < hi && b <= kFftSize / 2; ++b)
                    m = std::max(m, mag[b]);
            } else {
                const double at = 0.5 * (lo + hi);
                const int b = std::min(kFftSize / 2 - 1, static_cast<int>(at));
                m = mag[b] + (mag[b + 1] - mag[b]) * (at - b);
            }
            const double db = m > 0.0 ? 20.0 * std::log10(m) : kFloorDb;
            img.pixels[static_cast<std::size_t>(kRows - 1 - r) * img.width + x] =
                Colour(1.0 - db / kFloorDb);
        }
    }

    const auto put = [&img](int x, int row) {
        auto &p = img.pixels[static_cast<std::size_t>(row) * img.width + x];
        p = Lighten(p);
    };
    for (double hz : {100.0, 200.0, 500.0, 1000.0, 2000.0, 5000.0, 10000.0}) {
        if (hz >= nyquist) continue;
        const int row = kRows - 1 - row_of(hz);
        const bool decade = hz == 100.0 || hz == 1000.0 || hz == 10000.0;
        for (int x = 0; x < img.width; x += decade ? 3 : 6)
            put(x, row);
    }
    for (int tenth = 1;; ++tenth) {
        const int x = static_cast<int>(tenth * 0.1 * sample_rate / hop);
        if (x >= img.width) break;
        const bool second = tenth % 10 == 0;
        for (int row = second ? 0 : kRows - 4; row < kRows; row += second ? 4 : 1)
            put(x, row);
    }
    return img;
}

} // namespace spectrogram
