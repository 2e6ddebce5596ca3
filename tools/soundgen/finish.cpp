// Finishing a synthesised buffer into 16-bit samples, and the level measurements reported.
#include "tools/soundgen/finish.h"

#include <algorithm>
#include <cmath>
#include <deque>

namespace snd
{

double ActiveRmsDb(const Buffer &buf, double sr)
{
    const std::size_t block = std::max<std::size_t>(1, Samples(sr, 0.05));
    std::vector<double> power;
    for (std::size_t start = 0; start + block <= buf.size() || (start == 0 && !buf.empty());
         start += block) {
        const std::size_t end = std::min(buf.size(), start + block);
        double sum = 0.0;
        for (std::size_t i = start; i < end; ++i)
            sum += buf[i] * buf[i];
        power.push_back(sum / static_cast<double>(end - start));
    }
    if (power.empty()) return -200.0;
    const double loudest = *std::max_element(power.begin(), power.end());
    const double gate = std::max(loudest * 1e-4, 1e-7);
    double sum = 0.0;
    int count = 0;
    for (double p : power) {
        if (p >= gate) {
            sum += p;
            ++count;
        }
    }
    if (count == 0) return -200.0;
    return 10.0 * std::log10(sum / count);
}

double PeakDb(const Buffer &buf)
{
    double peak = 0.0;
    for (double v : buf)
        peak = std::max(peak, std::fabs(v));
    return peak > 0.0 ? 20.0 * std::log10(peak) : -200.0;
}

void ApplyFades(Buffer &buf, double sr, double fade_in, double fade_out)
{
    const std::size_t n = buf.size();
    const std::size_t in = std::min(n, Samples(sr, fade_in));
    const std::size_t out = std::min(n, Samples(sr, fade_out));
    for (std::size_t i = 0; i < in; ++i) {
        const double x = static_cast<double>(i) / static_cast<double>(in);
        buf[i] *= 0.5 - 0.5 * std::cos(kPi * x);
    }
    for (std::size_t i = 0; i < out; ++i) {
        // i counts back from the last sample, which becomes exactly zero.
        const double x = static_cast<double>(i) / static_cast<double>(out);
        buf[n - 1 - i] *= 0.5 - 0.5 * std::cos(kPi * x);
    }
}

double LimitPeak(Buffer &buf, double sr, double ceiling)
{
    const std::size_t n = buf.size();
    if (n == 0) return 0.0;
    const std::size_t radius = std::max<std::size_t>(1, Samples(sr, 0.010));
    std::vector<double> need(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double a = std::fabs(buf[i]);
        need[i] = a > ceiling ? ceiling / a : 1.0;
    }
    // Sliding minimum over [i - radius, i + radius] with a monotonic queue of indices.
    std::vector<double> held(n);
    std::deque<std::size_t> q;
    std::size_t next = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t hi = std::min(n - 1, i + radius);
        while (next <= hi) {
            while (!q.empty() && need[q.back()] >= need[next])
                q.pop_back();
            q.push_back(next++);
        }
        while (q.front() + radius < i)
            q.pop_front();
        held[i] = need[q.front()];
    }
    // Every window averaged for sample i contains i, so the smoothed gain never exceeds need[i].
    // The running sum is of the reduction (1 - gain), which is exactly zero away from peaks, so
    // samples there keep exactly their value.
    std::vector<double> prefix(n + 1, 0.0);
    for (std::size_t i = 0; i < n; ++i)
        prefix[i + 1] = prefix[i] + (1.0 - held[i]);
    double deepest = 1.0;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t lo = i >= radius ? i - radius : 0;
        const std::size_t hi = std::min(n, i + radius + 1);
        double g = 1.0 - (prefix[hi] - prefix[lo]) / static_cast<double>(hi - lo);
        g = std::min(g, need[i]); // rounding guard
        deepest = std::min(deepest, g);
        buf[i] *= g;
    }
    return deepest < 1.0 ? -20.0 * std::log10(deepest) : 0.0;
}

FinishReport Finish(Buffer &buf, double sr, Kind kind, double fade_in, double fade_out)
{
    Biquad dc;
    dc.HighPass(sr, 20.0, 0.7071);
    for (double &v : buf)
        v = dc.Process(v);
    ApplyFades(buf, sr, fade_in, fade_out);

    const double ceiling = DbToGain(kCeilingDb);
    double reduction = 0.0;
    if (kind == Kind::Ambient) {
        // Limiting lowers the loudness a little, so normalise and limit until both hold.
        for (int pass = 0; pass < 4; ++pass) {
            const double miss = kAmbientRmsDb - ActiveRmsDb(buf, sr);
            if (pass > 0 && std::fabs(miss) < 0.1) break;
            const double g = DbToGain(miss);
            for (double &v : buf)
                v *= g;
            reduction = std::max(reduction, LimitPeak(buf, sr, ceiling));
        }
    } else {
        const double by_rms = kCueRmsDb - ActiveRmsDb(buf, sr);
        const double by_peak = kCeilingDb - PeakDb(buf);
        const double g = DbToGain(std::min(by_rms, by_peak));
        for (double &v : buf)
            v *= g;
        reduction = LimitPeak(buf, sr, ceiling);
    }
    return {PeakDb(buf), ActiveRmsDb(buf, sr), reduction};
}

std::vector<int16_t> ToPcm16(const Buffer &buf)
{
    std::vector<int16_t> pcm(buf.size());
    for (std::size_t i = 0; i < buf.size(); ++i) {
        const double v = std::round(Clamp(buf[i], -1.0, 1.0) * 32767.0);
        pcm[i] = static_cast<int16_t>(v);
    }
    return pcm;
}

} // namespace snd
