// Building blocks of the sound synthesizer: a seeded random source, filters, noise colours,
// envelopes and a few composite voices (decaying modes, glided tones, reverb).
// Everything is plain double arithmetic in a fixed order, so one build gives the same samples
// on every run.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace snd
{

using Buffer = std::vector<double>;

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 2.0 * kPi;

// SplitMix64: small, fast, and fully defined by its seed (the C library's rand() is not).
class Rng
{
  public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t Next();
    double Uniform();                   // [0, 1)
    double Range(double lo, double hi); // [lo, hi)
    int Int(int lo, int hi);            // [lo, hi], inclusive
    double Bipolar() { return Range(-1.0, 1.0); }
    double Gauss(); // standard normal
    bool Chance(double p) { return Uniform() < p; }
    double LogRange(double lo, double hi); // uniform on a log scale, for frequencies
    // Exponentially distributed gap with the given mean, for Poisson event streams.
    double Gap(double mean);

  private:
    uint64_t state_;
};

// A stable 64-bit hash of a name, to derive a fixed seed per sound.
uint64_t SeedOf(const char *name);

// Second-order section (RBJ cookbook coefficients), transposed direct form II.
class Biquad
{
  public:
    void LowPass(double sr, double freq, double q);
    void HighPass(double sr, double freq, double q);
    void BandPass(double sr, double freq, double q); // 0 dB gain at the centre
    void Peak(double sr, double freq, double q, double gain_db);
    double Process(double x);
    void Reset() { z1_ = z2_ = 0.0; }

  private:
    void Set(double b0, double b1, double b2, double a0, double a1, double a2);
    double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    double z1_ = 0, z2_ = 0;
};

// One-pole low-pass smoother.
class OnePole
{
  public:
    void Cutoff(double sr, double freq);
    double Process(double x) { return y_ += a_ * (x - y_); }

  private:
    double a_ = 1.0, y_ = 0.0;
};

// Pink (-3 dB/octave) noise by Paul Kellet's economy filter on white noise.
class PinkNoise
{
  public:
    double Next(Rng &rng);

  private:
    double b0_ = 0, b1_ = 0, b2_ = 0;
};

// Brown (-6 dB/octave) noise: leaky integrated white noise.
class BrownNoise
{
  public:
    double Next(Rng &rng);

  private:
    double y_ = 0;
};

// A smooth random walk in [0, 1] that picks a new target every `period` seconds and glides to it;
// used for slow wandering of filter cut-offs and levels.
class Wander
{
  public:
    Wander(double sr, double period, Rng &rng);
    double Next();

  private:
    double step_, pos_ = 1.0, from_, to_;
    Rng *rng_;
};

// Envelope shapes on a normalised position x in [0, 1].
double SmoothStep(double x); // 0 -> 1 with zero slope at both ends
double HannWindow(double x); // 0 -> 1 -> 0, raised cosine
// Linear attack of `attack` seconds, then exponential decay with time constant `tau`.
double AttackDecay(double t, double attack, double tau);
// 0 -> 1 -> 0 with a quicker rise: sine-squared up over the first `attack` fraction of x, then
// cosine-squared down over the rest.
double Bump(double x, double attack);
// Frequency of a MIDI note number (69 = A4 = 440 Hz).
double MidiHz(double note);
// Decay time constant for a 60 dB fall in `t60` seconds.
inline double TauOfT60(double t60)
{
    return t60 / 6.907755;
}

double Clamp(double v, double lo, double hi);

// Adds src to dst starting at sample `offset`, scaled by `gain`; the tail past dst's end is lost.
void MixInto(Buffer &dst, const Buffer &src, std::size_t offset, double gain = 1.0);

// Adds a sinusoid with an exponential decay (a vibrating mode) starting at `start` seconds.
// Modes above 0.45 of the sample rate are skipped to keep clear of aliasing.
void AddMode(Buffer &buf, double sr, double start, double freq, double amp, double t60,
             double phase = 0.0, double attack = 0.001);

// Adds a tone of `dur` seconds whose frequency and amplitude follow functions of the normalised
// position x in [0, 1]; `harmonics` lists the relative amplitudes of partials 1, 2, 3, ...
void AddTone(Buffer &buf, double sr, double start, double dur,
             const std::function<double(double)> &freq, const std::function<double(double)> &amp,
             const std::vector<double> &harmonics = {1.0});

// Adds a burst of white noise shaped by `filter` (copied, so the caller's stays untouched), with a
// linear attack of `attack` s and exponential decay of time constant `tau` s, lasting `dur` s.
void AddNoiseBurst(Buffer &buf, double sr, Rng &rng, double start, double dur, Biquad filter,
                   double amp, double attack, double tau);

// Adds a quiet bed of low-passed pink noise with a slow swell (night air, distant foliage, a
// breeze) under sparse sounds, so a file never drops to digital silence between events.
void AddBed(Buffer &buf, double sr, Rng &rng, double lowpass_hz, double level);

// Schroeder reverberator (four damped combs into two all-passes) returning dry + wet * reverb.
// `decay` is the approximate 60 dB time of the tail in seconds.
Buffer Reverb(const Buffer &in, double sr, double decay, double damping, double wet);

// Feedback echo: each repeat `delay` seconds later, `feedback` times quieter, low-passed.
Buffer Echo(const Buffer &in, double sr, double delay, double feedback, double lowpass_hz);

// Samples of a duration in seconds at the given rate.
inline std::size_t Samples(double sr, double seconds)
{
    return seconds <= 0.0 ? 0 : static_cast<std::size_t>(seconds * sr + 0.5);
}

inline double DbToGain(double db)
{
    return std::pow(10.0, db / 20.0);
}

} // namespace snd
