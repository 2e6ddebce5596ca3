// The synthesizer's building blocks: the seeded random source, filters, noise, envelopes and
// the composite voices.
#include "tools/soundgen/dsp.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace snd
{

uint64_t Rng::Next()
{
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double Rng::Uniform()
{
    return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0);
}

double Rng::Range(double lo, double hi)
{
    return lo + (hi - lo) * Uniform();
}

int Rng::Int(int lo, int hi)
{
    const uint64_t span = static_cast<uint64_t>(hi - lo) + 1;
    return lo + static_cast<int>(Next() % span);
}

double Rng::Gauss()
{
    // Box-Muller without caching the second value, so the stream position is easy to follow.
    const double u1 = 1.0 - Uniform(); // (0, 1]
    const double u2 = Uniform();
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(kTwoPi * u2);
}

double Rng::LogRange(double lo, double hi)
{
    return lo * std::pow(hi / lo, Uniform());
}

double Rng::Gap(double mean)
{
    return -mean * std::log(1.0 - Uniform());
}

uint64_t SeedOf(const char *name)
{
    uint64_t h = 0xCBF29CE484222325ull; // FNV-1a
    for (const char *p = name; *p; ++p) {
        h ^= static_cast<unsigned char>(*p);
        h *= 0x100000001B3ull;
    }
    return h;
}

void Biquad::Set(double b0, double b1, double b2, double a0, double a1, double a2)
{
    b0_ = b0 / a0;
    b1_ = b1 / a0;
    b2_ = b2 / a0;
    a1_ = a1 / a0;
    a2_ = a2 / a0;
}

void Biquad::LowPass(double sr, double freq, double q)
{
    const double w = kTwoPi * std::min(freq, 0.49 * sr) / sr;
    const double alpha = std::sin(w) / (2.0 * q), c = std::cos(w);
    Set((1 - c) / 2, 1 - c, (1 - c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

void Biquad::HighPass(double sr, double freq, double q)
{
    const double w = kTwoPi * std::min(freq, 0.49 * sr) / sr;
    const double alpha = std::sin(w) / (2.0 * q), c = std::cos(w);
    Set((1 + c) / 2, -(1 + c), (1 + c) / 2, 1 + alpha, -2 * c, 1 - alpha);
}

void Biquad::BandPass(double sr, double freq, double q)
{
    const double w = kTwoPi * std::min(freq, 0.49 * sr) / sr;
    const double alpha = std::sin(w) / (2.0 * q), c = std::cos(w);
    Set(alpha, 0, -alpha, 1 + alpha, -2 * c, 1 - alpha);
}

void Biquad::Peak(double sr, double freq, double q, double gain_db)
{
    const double w = kTwoPi * std::min(freq, 0.49 * sr) / sr;
    const double alpha = std::sin(w) / (2.0 * q), c = std::cos(w);
    const double a = std::pow(10.0, gain_db / 40.0);
    Set(1 + alpha * a, -2 * c, 1 - alpha * a, 1 + alpha / a, -2 * c, 1 - alpha / a);
}

double Biquad::Process(double x)
{
    const double y = b0_ * x + z1_;
    z1_ = b1_ * x - a1_ * y + z2_;
    z2_ = b2_ * x - a2_ * y;
    return y;
}

void OnePole::Cutoff(double sr, double freq)
{
    a_ = 1.0 - std::exp(-kTwoPi * freq / sr);
}

double PinkNoise::Next(Rng &rng)
{
    const double w = rng.Bipolar();
    b0_ = 0.99765 * b0_ + w * 0.0990460;
    b1_ = 0.96300 * b1_ + w * 0.2965164;
    b2_ = 0.57000 * b2_ + w * 1.0526913;
    return (b0_ + b1_ + b2_ + w * 0.1848) * 0.25;
}

double BrownNoise::Next(Rng &rng)
{
    y_ = 0.995 * y_ + 0.1 * rng.Bipolar();
    return y_ * 0.5;
}

Wander::Wander(double sr, double period, Rng &rng)
    : step_(1.0 / std::max(1.0, period * sr)), from_(rng.Uniform()), to_(rng.Uniform()), rng_(&rng)
{
    pos_ = 0.0;
}

double Wander::Next()
{
    pos_ += step_;
    if (pos_ >= 1.0) {
        pos_ -= 1.0;
        from_ = to_;
        to_ = rng_->Uniform();
    }
    return from_ + (to_ - from_) * SmoothStep(pos_);
}

double SmoothStep(double x)
{
    x = Clamp(x, 0.0, 1.0);
    return x * x * (3.0 - 2.0 * x);
}

double HannWindow(double x)
{
    if (x <= 0.0 || x >= 1.0) return 0.0;
    return 0.5 - 0.5 * std::cos(kTwoPi * x);
}

double Bump(double x, double attack)
{
    if (x <= 0.0 || x >= 1.0) return 0.0;
    if (x < attack) {
        const double s = std::sin(0.5 * kPi * x / attack);
        return s * s;
    }
    const double c = std::cos(0.5 * kPi * (x - attack) / (1.0 - attack));
    return c * c;
}

double MidiHz(double note)
{
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}

double AttackDecay(double t, double attack, double tau)
{
    if (t < 0.0) return 0.0;
    if (t < attack) return t / attack;
    return std::exp(-(t - attack) / tau);
}

double Clamp(double v, double lo, double hi)
{
    return v < lo ? lo : (v > hi ? hi : v);
}

void MixInto(Buffer &dst, const Buffer &src, std::size_t offset, double gain)
{
    for (std::size_t i = 0; i < src.size() && offset + i < dst.size(); ++i)
        dst[offset + i] += gain * src[i];
}

void AddMode(Buffer &buf, double sr, double start, double freq, double amp, double t60,
             double phase, double attack)
{
    if (freq <= 0.0 || freq >= 0.45 * sr || amp == 0.0) return;
    const std::size_t first = Samples(sr, start);
    const double tau = TauOfT60(t60);
    const double w = kTwoPi * freq / sr;
    // Stop once the mode is 100 dB below its start.
    const std::size_t len = Samples(sr, 11.5 * tau + attack);
    for (std::size_t i = 0; i < len && first + i < buf.size(); ++i) {
        const double t = static_cast<double>(i) / sr;
        const double env = (t < attack ? t / attack : 1.0) * std::exp(-t / tau);
        buf[first + i] += amp * env * std::sin(w * static_cast<double>(i) + phase);
    }
}

void AddTone(Buffer &buf, double sr, double start, double dur,
             const std::function<double(double)> &freq, const std::function<double(double)> &amp,
             const std::vector<double> &harmonics)
{
    const std::size_t first = Samples(sr, start);
    const std::size_t len = Samples(sr, dur);
    double phase = 0.0;
    for (std::size_t i = 0; i < len && first + i < buf.size(); ++i) {
        const double x = static_cast<double>(i) / static_cast<double>(len);
        const double f = freq(x);
        phase += kTwoPi * f / sr;
        if (phase > kTwoPi * 1024.0) phase -= kTwoPi * 1024.0;
        double v = 0.0;
        for (std::size_t h = 0; h < harmonics.size(); ++h) {
            const double n = static_cast<double>(h + 1);
            if (f * n < 0.45 * sr) v += harmonics[h] * std::sin(n * phase);
        }
        buf[first + i] += amp(x) * v;
    }
}

void AddNoiseBurst(Buffer &buf, double sr, Rng &rng, double start, double dur, Biquad filter,
                   double amp, double attack, double tau)
{
    filter.Reset();
    const std::size_t first = Samples(sr, start);
    const std::size_t len = Samples(sr, dur);
    for (std::size_t i = 0; i < len; ++i) {
        const double v = filter.Process(rng.Bipolar());
        if (first + i >= buf.size()) continue; // keep the random stream independent of the end
        const double t = static_cast<double>(i) / sr;
        // Taper the last 10% so a burst cut by `dur` ends smoothly.
        const double x = static_cast<double>(i) / static_cast<double>(len);
        const double tail = x > 0.9 ? (1.0 - x) / 0.1 : 1.0;
        buf[first + i] += amp * AttackDecay(t, attack, tau) * tail * v;
    }
}

void AddBed(Buffer &buf, double sr, Rng &rng, double lowpass_hz, double level)
{
    PinkNoise pink;
    Biquad lp;
    lp.LowPass(sr, lowpass_hz, 0.7071);
    Wander swell(sr, 1.3, rng);
    for (double &v : buf)
        v += level * (0.6 + 0.4 * swell.Next()) * lp.Process(pink.Next(rng));
}

namespace
{

class DampedComb
{
  public:
    DampedComb(std::size_t len, double feedback, double damping)
        : line_(std::max<std::size_t>(len, 1), 0.0), feedback_(feedback), damping_(damping)
    {
    }
    double Process(double x)
    {
        const double out = line_[pos_];
        store_ = out * (1.0 - damping_) + store_ * damping_;
        line_[pos_] = x + store_ * feedback_;
        pos_ = (pos_ + 1) % line_.size();
        return out;
    }

  private:
    std::vector<double> line_;
    std::size_t pos_ = 0;
    double feedback_, damping_, store_ = 0.0;
};

class AllPass
{
  public:
    AllPass(std::size_t len, double gain) : line_(std::max<std::size_t>(len, 1), 0.0), gain_(gain)
    {
    }
    double Process(double x)
    {
        const double delayed = line_[pos_];
        const double v = x + gain_ * delayed;
        line_[pos_] = v;
        pos_ = (pos_ + 1) % line_.size();
        return delayed - gain_ * v;
    }

  private:
    std::vector<double> line_;
    std::size_t pos_ = 0;
    double gain_;
};

} // namespace

Buffer Reverb(const Buffer &in, double sr, double decay, double damping, double wet)
{
    static constexpr std::array<double, 4> kCombSeconds = {0.0297, 0.0371, 0.0411, 0.0437};
    std::vector<DampedComb> combs;
    for (double d : kCombSeconds) {
        const double feedback = std::pow(10.0, -3.0 * d / decay);
        combs.emplace_back(Samples(sr, d), feedback, damping);
    }
    AllPass ap1(Samples(sr, 0.0050), 0.7), ap2(Samples(sr, 0.0017), 0.7);
    Buffer out(in.size());
    for (std::size_t i = 0; i < in.size(); ++i) {
        double sum = 0.0;
        for (auto &c : combs)
            sum += c.Process(in[i]);
        const double tail = ap2.Process(ap1.Process(sum * 0.25));
        out[i] = in[i] + wet * tail;
    }
    return out;
}

Buffer Echo(const Buffer &in, double sr, double delay, double feedback, double lowpass_hz)
{
    const std::size_t d = std::max<std::size_t>(1, Samples(sr, delay));
    Buffer out = in;
    OnePole lp;
    lp.Cutoff(sr, lowpass_hz);
    for (std::size_t i = d; i < out.size(); ++i)
        out[i] += feedback * lp.Process(out[i - d]);
    return out;
}

} // namespace snd
