// Ambient groups from nature: crickets (crickt), birds (bird), a stream (water), ocean waves
// (wave_), water drops (drop) and cicadas (cicada). Each group has four variations that differ in
// species pattern, density, pitch and space, not only in their random seed.
#include "tools/soundgen/catalogue.h"

#include <algorithm>
#include <cmath>

namespace snd
{
namespace
{

// ---------------------------------------------------------------------------------------------
// Crickets: a sine carrier near 4-5 kHz (with a faint 2nd harmonic) gated into pulses of about
// 20 ms; 3-5 pulses at a 20-30 Hz pulse rate make one chirp, and chirps repeat every 0.4-1 s
// with a little jitter. Each pulse glides down 3% in pitch, as the wing's file-and-scraper
// slows. Several insects with their own carrier, rate and loudness make a field; one variation
// adds a tree-cricket trill (a long train of 45 Hz pulses at 3 kHz).

struct Cricket {
    double carrier;    // Hz
    int pulses;        // pulses per chirp
    double pulse_rate; // Hz
    double period;     // s between chirps
    double gain;
    double offset; // s before the first chirp
};

void AddCricket(Buffer &buf, Ctx &c, const Cricket &k)
{
    const double dur = c.Seconds(buf);
    for (double t = k.offset; t < dur; t += k.period * c.rng.Range(0.9, 1.1)) {
        const double chirp_gain = k.gain * c.rng.Range(0.8, 1.0);
        for (int p = 0; p < k.pulses; ++p) {
            const double start = t + p / k.pulse_rate;
            const double len = 0.55 / k.pulse_rate;
            const double f = k.carrier * c.rng.Range(0.995, 1.005);
            const double a = chirp_gain * (p == 0 ? 0.7 : 1.0);
            AddTone(
                buf, c.sr, start, len, [f](double x) { return f * (1.0 - 0.03 * x); },
                [a](double x) { return a * HannWindow(x); }, {1.0, 0.12});
        }
    }
}

Buffer Crickets(Ctx &c, int variant)
{
    Buffer buf;
    switch (variant) {
    case 0: // one cricket close by, one farther off
        buf = c.Make(4.5);
        AddCricket(buf, c, {4600, 4, 28, 0.55, 1.0, 0.15});
        AddCricket(buf, c, {4200, 3, 24, 0.72, 0.35, 0.4});
        break;
    case 1: // a chorus of five
        buf = c.Make(5.0);
        for (int i = 0; i < 5; ++i)
            AddCricket(buf, c,
                       {c.rng.Range(4000, 5000), c.rng.Int(3, 4), c.rng.Range(20, 30),
                        c.rng.Range(0.45, 0.9), c.rng.Range(0.3, 1.0), c.rng.Range(0.0, 0.5)});
        break;
    case 2: // a tree cricket trilling in long bursts, and a chirper
        buf = c.Make(5.5);
        AddCricket(buf, c, {3000, 70, 45, 2.4, 0.7, 0.1});
        AddCricket(buf, c, {4800, 3, 26, 0.8, 0.6, 0.5});
        break;
    default: // two crickets answering each other, slow
        buf = c.Make(4.5);
        AddCricket(buf, c, {4400, 5, 22, 1.0, 1.0, 0.15});
        AddCricket(buf, c, {5100, 4, 30, 1.0, 0.75, 0.65});
        break;
    }
    AddBed(buf, c.sr, c.rng, 600, 0.02);
    return Reverb(buf, c.sr, 0.6, 0.5, 0.12);
}

// ---------------------------------------------------------------------------------------------
// Birds: bird song is nearly pure tone, so every syllable is a sine (plus a faint 2nd harmonic)
// whose pitch follows a curve: tweets sweep down 4.5 -> 2.8 kHz, chirps sweep up, trills repeat
// short down-sweeps at 14-20 per second, warbles are 3 kHz whistles with 30 Hz frequency
// modulation, a bush-warbler-like call holds a long rising whistle then a quick "ho-ke-kyo"
// flourish, and a cuckoo-like call is a soft descending third near 700 Hz. A light forest reverb
// and a leaf-rustle bed sit underneath.

void Syllable(Buffer &buf, Ctx &c, double t, double dur, double f0, double f1, double amp,
              double bend = 1.0, double vib_rate = 0.0, double vib_depth = 0.0,
              std::vector<double> harmonics = {1.0, 0.08})
{
    AddTone(
        buf, c.sr, t, dur,
        [=](double x) {
            return f0 + (f1 - f0) * std::pow(x, bend) +
                   vib_depth * std::sin(kTwoPi * vib_rate * x * dur);
        },
        [=](double x) { return amp * Bump(x, 0.2); }, harmonics);
}

void Tweet(Buffer &b, Ctx &c, double t, double f, double a)
{
    Syllable(b, c, t, 0.07, f * 1.3, f * 0.8, a, 0.7);
}
void Chirp(Buffer &b, Ctx &c, double t, double f, double a)
{
    Syllable(b, c, t, 0.045, f * 0.7, f * 1.25, a, 1.5);
}

void Trill(Buffer &b, Ctx &c, double t, int notes, double rate, double f, double a)
{
    for (int i = 0; i < notes; ++i) {
        const double swell = 0.6 + 0.4 * std::sin(kPi * (i + 0.5) / notes);
        Syllable(b, c, t + i / rate, 0.6 / rate, f * 1.12, f * 0.9, a * swell);
    }
}

void Warble(Buffer &b, Ctx &c, double t, double f, double a)
{
    Syllable(b, c, t, 0.5, f, f * 1.05, a, 1.0, 30.0, 0.13 * f);
}

void BushWarbler(Buffer &b, Ctx &c, double t, double pitch, double a)
{
    Syllable(b, c, t, 1.1, 980 * pitch, 1180 * pitch, a * 0.8, 2.0, 4.0, 8.0);     // "hoo~"
    Syllable(b, c, t + 1.25, 0.11, 1500 * pitch, 1950 * pitch, a);                 // "ho"
    Syllable(b, c, t + 1.40, 0.08, 2700 * pitch, 2250 * pitch, a);                 // "ke"
    Syllable(b, c, t + 1.52, 0.38, 2150 * pitch, 1750 * pitch, a, 0.6, 9.0, 40.0); // "kyo"
}

void CuckooCall(Buffer &b, Ctx &c, double t, double a)
{
    const std::vector<double> hoot = {1.0, 0.15, 0.05};
    Syllable(b, c, t, 0.22, 760, 720, a, 1.0, 0.0, 0.0, hoot);
    Syllable(b, c, t + 0.32, 0.34, 620, 590, a * 0.9, 1.0, 0.0, 0.0, hoot);
}

void Sparrows(Buffer &b, Ctx &c, double from, double to, double rate, double a)
{
    for (double t = from + c.rng.Gap(1.0 / rate); t < to; t += c.rng.Gap(1.0 / rate)) {
        const double f = c.rng.Range(4000, 5200);
        const int n = c.rng.Int(1, 3);
        for (int i = 0; i < n; ++i)
            Chirp(b, c, t + i * 0.09, f * c.rng.Range(0.95, 1.05), a * c.rng.Range(0.6, 1.0));
    }
}

Buffer Birds(Ctx &c, int variant)
{
    Buffer buf;
    switch (variant) {
    case 0: { // a songbird's two phrases: whistles, a trill, a tweet; sparrows behind
        buf = c.Make(5.0);
        for (int phrase = 0; phrase < 2; ++phrase) {
            const double t = 0.25 + 2.4 * phrase, p = phrase ? 1.06 : 1.0;
            Syllable(buf, c, t, 0.18, 2200 * p, 2600 * p, 0.9);
            Syllable(buf, c, t + 0.24, 0.15, 3100 * p, 2700 * p, 0.8);
            Trill(buf, c, t + 0.45, phrase ? 10 : 8, 16, 3600 * p, 0.7);
            Tweet(buf, c, t + 1.05 + 0.1 * phrase, 4000 * p, 0.8);
        }
        Sparrows(buf, c, 0.0, 4.6, 1.5, 0.25);
        break;
    }
    case 1: // a bush-warbler-like call twice, the second slightly higher
        buf = c.Make(6.0);
        BushWarbler(buf, c, 0.2, 1.0, 1.0);
        BushWarbler(buf, c, 3.2, 1.04, 0.9);
        Sparrows(buf, c, 2.0, 3.1, 2.0, 0.2);
        break;
    case 2: // cuckoo-like calls from across the valley, chirps close by
        buf = c.Make(5.5);
        for (int i = 0; i < 4; ++i)
            CuckooCall(buf, c, 0.2 + 1.25 * i, 1.0);
        Sparrows(buf, c, 0.0, 5.0, 2.5, 0.35);
        break;
    default: { // a morning chorus: several birds, each with its own pitch and favourite call
        buf = c.Make(5.5);
        for (int bird = 0; bird < 4; ++bird) {
            const double f = c.rng.Range(2600, 4400), a = c.rng.Range(0.4, 1.0);
            for (double t = c.rng.Range(0.0, 0.6); t < 5.0; t += c.rng.Range(0.5, 1.2)) {
                switch ((bird + c.rng.Int(0, 1)) % 4) {
                case 0:
                    Tweet(buf, c, t, f, a);
                    break;
                case 1:
                    Trill(buf, c, t, c.rng.Int(4, 7), c.rng.Range(14, 20), f, a);
                    break;
                case 2:
                    Warble(buf, c, t, f, a * 0.8);
                    break;
                default:
                    Chirp(buf, c, t, f * 1.2, a);
                    break;
                }
            }
        }
        break;
    }
    }
    AddBed(buf, c.sr, c.rng, 1500, 0.015);
    return Reverb(buf, c.sr, variant == 2 ? 1.4 : 0.8, 0.4, variant == 2 ? 0.3 : 0.15);
}

// ---------------------------------------------------------------------------------------------
// Stream: pink noise through a band-pass whose centre wanders between 0.5 and 2 kHz (the rush
// of water), a faint high hiss, and a Poisson stream of bubble blips - sines whose pitch rises
// 50-150% as they decay in 8-40 ms, the way a small bubble's resonance rises as it closes.
// Variations change the bubble rate and pitch range, the noise level, and add a low rumble
// or bursty bubbling for rapids.

struct StreamStyle {
    double dur;
    double noise; // level of the band-passed rush
    double centre_lo, centre_hi;
    double bubble_rate; // per second
    double f_lo, f_hi;  // bubble pitch range
    double tau_lo, tau_hi;
    double bubble_gain;
    double rumble; // low brown-noise rumble
    bool bursty;   // bubbles come in clusters
};

Buffer Stream(Ctx &c, const StreamStyle &s)
{
    Buffer buf = c.Make(s.dur);
    PinkNoise pink;
    BrownNoise brown;
    Biquad band, hiss, rumble;
    hiss.HighPass(c.sr, 3000, 0.7071);
    rumble.LowPass(c.sr, 180, 0.7071);
    Wander centre(c.sr, 0.7, c.rng), flutter(c.sr, 0.15, c.rng);
    for (std::size_t i = 0; i < buf.size(); ++i) {
        if (i % 32 == 0)
            band.BandPass(c.sr, s.centre_lo + (s.centre_hi - s.centre_lo) * centre.Next(), 0.8);
        const double level = 0.75 + 0.5 * flutter.Next();
        buf[i] = s.noise * level * band.Process(pink.Next(c.rng)) * 2.5 +
                 0.05 * s.noise * hiss.Process(c.rng.Bipolar()) +
                 s.rumble * rumble.Process(brown.Next(c.rng));
    }
    Wander burst(c.sr, 0.4, c.rng);
    for (double t = c.rng.Gap(1.0 / s.bubble_rate); t < s.dur;) {
        const double f0 = c.rng.LogRange(s.f_lo, s.f_hi);
        const double tau = c.rng.Range(s.tau_lo, s.tau_hi);
        const double rise = c.rng.Range(0.5, 1.5);
        const double a = s.bubble_gain * c.rng.Range(0.2, 1.0);
        const double len = 5.0 * tau;
        AddTone(
            buf, c.sr, t, len, [=](double x) { return f0 * (1.0 + rise * x); },
            [=](double x) { return a * AttackDecay(x * len, 0.0015, tau); });
        double rate = s.bubble_rate;
        if (s.bursty) {
            // Advance the cluster wanderer by the gap so the clustering follows real time.
            for (int k = 0; k < 200; ++k)
                burst.Next();
            rate *= 0.2 + 2.0 * burst.Next();
        }
        t += c.rng.Gap(1.0 / rate);
    }
    return buf;
}

Buffer Water(Ctx &c, int variant)
{
    static const StreamStyle kStyles[] = {
        {5.0, 0.35, 500, 1800, 35, 500, 2500, 0.010, 0.030, 0.5, 0.0, false}, // babbling brook
        {4.5, 0.15, 800, 2200, 16, 800, 3000, 0.012, 0.040, 0.7, 0.0, false}, // gentle trickle
        {5.0, 0.60, 300, 1100, 80, 300, 1800, 0.008, 0.025, 0.4, 0.6, false}, // rushing stream
        {5.0, 0.40, 450, 2000, 45, 350, 2200, 0.008, 0.030, 0.6, 0.5, true},  // rocky rapids
    };
    return Stream(c, kStyles[variant]);
}

// ---------------------------------------------------------------------------------------------
// Ocean waves: each wave swells for 1-3 s (pink noise whose level and low-pass cut-off rise
// together from ~150 Hz to ~2.6 kHz), breaks (a short broadband crash of band-passed white
// noise), then recedes over 2-4 s while a high-passed foam fizz with sparse crackles dies away.
// A low brown-noise rumble follows the swell. Variations: one big wave, two medium waves,
// small lapping waves, and distant surf (darker, more rumble, no crash).

struct Swell {
    double start, rise, fall, size;
};

Buffer Surf(Ctx &c, double dur, const std::vector<Swell> &swells, double distance)
{
    Buffer buf = c.Make(dur);
    PinkNoise pink;
    BrownNoise brown;
    Biquad body, crash, foam, rumble;
    crash.BandPass(c.sr, 2200, 0.5);
    foam.HighPass(c.sr, 3000, 0.7071);
    rumble.LowPass(c.sr, 120, 0.7071);
    double crackle = 0.0;
    for (std::size_t i = 0; i < buf.size(); ++i) {
        const double t = static_cast<double>(i) / c.sr;
        double swell = 0.0, hit = 0.0, fizz = 0.0;
        for (const Swell &w : swells) {
            const double crest = w.start + w.rise;
            if (t < w.start) continue;
            if (t < crest) {
                swell += w.size * std::pow(SmoothStep((t - w.start) / w.rise), 1.5);
            } else {
                const double after = t - crest;
                swell += w.size * std::exp(-after / (w.fall / 3.0));
                hit += w.size * AttackDecay(after, 0.03, 0.35);
                fizz += w.size * std::exp(-after / (w.fall / 2.0)) * SmoothStep(after / 0.2);
            }
        }
        if (i % 32 == 0)
            body.LowPass(c.sr,
                         150 + 2500 * std::pow(std::min(swell, 1.2), 1.5) * (1.0 - 0.6 * distance),
                         0.6);
        if (c.rng.Chance(0.003)) crackle = c.rng.Range(0.5, 1.0);
        crackle *= 0.995;
        const double near = 1.0 - distance;
        buf[i] = (0.05 + swell) * 2.0 * body.Process(pink.Next(c.rng)) +
                 near * 0.35 * hit * crash.Process(c.rng.Bipolar()) +
                 near * 0.25 * fizz * (0.3 + crackle) * foam.Process(c.rng.Bipolar()) +
                 (0.15 + 0.3 * swell + 0.3 * distance) * rumble.Process(brown.Next(c.rng));
    }
    return buf;
}

Buffer Waves(Ctx &c, int variant)
{
    switch (variant) {
    case 0:
        return Surf(c, 7.0, {{0.2, 2.6, 4.2, 1.0}}, 0.0);
    case 1:
        return Surf(c, 7.0, {{0.0, 1.8, 3.0, 0.8}, {3.2, 1.9, 3.2, 1.0}}, 0.1);
    case 2:
        return Surf(c, 5.5, {{0.0, 1.0, 1.6, 0.5}, {1.8, 1.1, 1.8, 0.6}, {3.6, 1.0, 1.6, 0.45}},
                    0.3);
    default: {
        Buffer b = Surf(c, 7.5, {{0.0, 2.5, 4.0, 0.9}, {3.4, 2.8, 4.0, 1.0}}, 1.0);
        return Reverb(b, c.sr, 1.5, 0.6, 0.3);
    }
    }
}

// ---------------------------------------------------------------------------------------------
// Water drops: each drop is a tiny impact tick (1.5 ms of high-passed noise) followed by a
// bubble "plink" - a sine starting at 0.45-2.5 kHz whose pitch jumps up 40-90% within ~15 ms
// and decays in 12-70 ms - and often a smaller, higher secondary droplet 70-120 ms later.
// The space makes the variation: a cave (long reverb and echo), a dripping tap (regular period,
// small room), scattered drops on a pond, and a deep well (low plinks, slap-back echo).

void AddDrop(Buffer &buf, Ctx &c, double t, double f0, double tau, double amp, double rise)
{
    Biquad tick;
    tick.HighPass(c.sr, 2000, 0.7071);
    AddNoiseBurst(buf, c.sr, c.rng, t, 0.0015, tick, 0.25 * amp, 0.0002, 0.0005);
    const auto plink = [&](double start, double f, double a, double tu) {
        const double l = 6.0 * tu;
        AddTone(
            buf, c.sr, start, l,
            [=](double x) { return f * (1.0 + rise * (1.0 - std::exp(-x * l / 0.015))); },
            [=](double x) { return a * AttackDecay(x * l, 0.001, tu); }, {1.0, 0.05});
    };
    plink(t + 0.002, f0, amp, tau);
    if (c.rng.Chance(0.6)) plink(t + c.rng.Range(0.07, 0.12), f0 * 1.5, amp * 0.25, tau * 0.6);
}

Buffer Drops(Ctx &c, int variant)
{
    Buffer buf;
    switch (variant) {
    case 0: // cave: sparse drops, long reverb and a distant echo
        buf = c.Make(6.0);
        for (double t = 0.1; t < 5.3; t += c.rng.Range(0.45, 1.0))
            AddDrop(buf, c, t, c.rng.Range(900, 1400), c.rng.Range(0.025, 0.045),
                    c.rng.Range(0.6, 1.0), c.rng.Range(0.5, 0.9));
        buf = Echo(buf, c.sr, 0.23, 0.3, 2500);
        return Reverb(buf, c.sr, 2.0, 0.5, 0.35);
    case 1: { // a dripping tap into a basin: steady period, nearly the same note
        buf = c.Make(4.5);
        const double f = 1250;
        for (double t = 0.1; t < 4.2; t += 0.42 * c.rng.Range(0.98, 1.02))
            AddDrop(buf, c, t, f * c.rng.Range(0.97, 1.03), 0.03, c.rng.Range(0.85, 1.0), 0.6);
        return Reverb(buf, c.sr, 0.5, 0.4, 0.25);
    }
    case 2: // scattered drops on a pond: a Poisson stream of varied sizes
        buf = c.Make(5.0);
        for (double t = 0.05; t < 4.7; t += c.rng.Gap(1.0 / 7.0))
            AddDrop(buf, c, t, c.rng.LogRange(600, 2500), c.rng.Range(0.012, 0.035),
                    c.rng.Range(0.3, 1.0), c.rng.Range(0.4, 0.9));
        return Reverb(buf, c.sr, 0.6, 0.5, 0.2);
    default: // a deep well: low, long plinks with a slap-back echo
        buf = c.Make(5.0);
        for (double t = 0.1; t < 4.5; t += c.rng.Range(0.6, 0.9))
            AddDrop(buf, c, t, c.rng.Range(450, 750), c.rng.Range(0.05, 0.07),
                    c.rng.Range(0.7, 1.0), 0.4);
        buf = Echo(buf, c.sr, 0.19, 0.45, 2000);
        return Reverb(buf, c.sr, 1.5, 0.4, 0.35);
    }
}

// ---------------------------------------------------------------------------------------------
// Cicadas: the tymbal makes a rapid train of clicks (300-750 per second) that rings a body
// resonance at 3.5-6 kHz; here each click is an impulse into a band-pass resonator (plus some
// noise into the same resonator), which gives the buzzy, narrow-band tone. The amplitude
// pattern makes the species: "miin-miin" units swelling and ebbing twice a second, a continuous
// frying sizzle with fast random flutter, an evening "kana-kana" trill of 45 ms pulses that slows
// and falls in pitch, and a chorus of sizzlers with a rhythmic "ji-ji-ji" trill.

// A buzz of n samples; rate, centre and level are functions of time in seconds.
Buffer Buzz(Ctx &c, std::size_t n, const std::function<double(double)> &click_rate,
            const std::function<double(double)> &centre, double q, double noise_mix,
            const std::function<double(double)> &level)
{
    Buffer out(n, 0.0);
    Biquad res;
    double phase = 1.0;
    for (std::size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / c.sr;
        if (i % 32 == 0) res.BandPass(c.sr, centre(t), q);
        phase += click_rate(t) * c.rng.Range(0.9, 1.1) / c.sr;
        double x = noise_mix * c.rng.Bipolar();
        if (phase >= 1.0) {
            phase -= 1.0;
            x += c.rng.Range(2.0, 3.0);
        }
        out[i] = level(t) * res.Process(x);
    }
    return out;
}

Buffer Cicadas(Ctx &c, int variant)
{
    Buffer buf;
    switch (variant) {
    case 0: { // "jiii - miin miin miin ... miii~"
        buf = c.Make(5.0);
        const double unit = 0.5, first = 0.6;
        const double units = 6.0;
        const double end = first + units * unit;
        // Every curve is continuous across the unit boundaries: a jump in level or in the
        // resonator's tuning would click.
        const auto level = [=](double t) {
            if (t < first) return 0.12 + 0.3 * Bump(t / first, 0.7);
            if (t < end) {
                const double k = (t - first) / unit;
                return 0.12 + 0.88 * Bump(k - std::floor(k), 0.55);
            }
            return 0.12 + 0.88 * AttackDecay(t - end, 0.15, 0.6);
        };
        const auto rate = [=](double t) {
            if (t < end) {
                const double k = std::max(0.0, (t - first) / unit);
                return 320.0 + 80.0 * std::sin(kPi * (k - std::floor(k)));
            }
            return 320.0 + 60.0 * SmoothStep((t - end) / 0.15) -
                   80.0 * SmoothStep((t - end - 0.15) / 1.2);
        };
        const auto centre = [=](double t) {
            if (t < end) {
                const double k = std::max(0.0, (t - first) / unit);
                return 3800.0 + 500.0 * std::sin(kPi * (k - std::floor(k)));
            }
            return 3800.0 + 400.0 * SmoothStep((t - end) / 0.15) -
                   350.0 * SmoothStep((t - end - 0.15) / 1.2);
        };
        buf = Buzz(c, buf.size(), rate, centre, 9.0, 0.3, level);
        MixInto(buf,
                Buzz(
                    c, buf.size(), [](double) { return 520.0; }, [](double) { return 5600.0; }, 2.0,
                    0.8, [](double) { return 0.04; }),
                0);
        break;
    }
    case 1: { // a continuous frying sizzle that opens with "ji-ji-ji"
        buf = c.Make(5.0);
        Wander swell(c.sr, 0.8, c.rng);
        std::vector<double> sw(buf.size());
        for (double &v : sw)
            v = 0.6 + 0.4 * swell.Next();
        const double sr = c.sr;
        buf = Buzz(
            c, buf.size(), [&](double) { return c.rng.Range(450, 700); },
            [](double) { return 5200.0; }, 1.6, 0.7,
            [&sw, sr](double t) {
                const std::size_t i = std::min(sw.size() - 1, static_cast<std::size_t>(t * sr));
                const double open = t < 0.9 ? 0.3 + 0.7 * (std::sin(kTwoPi * 12.0 * t) > 0.0) : 1.0;
                return sw[i] * open;
            });
        break;
    }
    case 2: { // "kana-kana-kana": a near trill, then a far one answering
        buf = c.Make(5.5);
        const auto phrase = [&](double start, double gain) {
            Buffer b = c.Make(3.4);
            double t = 0.0;
            for (int k = 0; t < 3.1; ++k) {
                const double x = t / 3.1;
                const double rate = 10.0 - 4.0 * x;
                const double f = 5000.0 - 600.0 * x;
                const double a = gain * (1.0 - 0.7 * x) * (k % 2 ? 0.8 : 1.0);
                const double s0 = t;
                const Buffer pulse = Buzz(
                    c, Samples(c.sr, 0.05), [](double) { return 680.0; }, [f](double) { return f; },
                    12.0, 0.1, [a](double tt) { return a * Bump(tt / 0.05, 0.3); });
                MixInto(b, pulse, Samples(c.sr, s0));
                t += 1.0 / rate;
            }
            MixInto(buf, b, Samples(c.sr, start));
        };
        phrase(0.15, 1.0);
        Buffer far = c.Make(5.5);
        std::swap(far, buf);
        phrase(2.2, 0.4);
        std::swap(far, buf);
        MixInto(buf, Reverb(far, c.sr, 1.2, 0.5, 0.5), 0);
        break;
    }
    default: { // a chorus swelling and ebbing: two sizzlers and a rhythmic "ji-ji-ji" trill
        buf = c.Make(5.0);
        // Choruses rise and fall together as neighbours join in and drop out.
        const auto wave = [](double t) {
            return 0.25 + 0.75 * std::pow(std::sin(kPi * t / 5.0), 2.0);
        };
        MixInto(buf,
                Buzz(
                    c, buf.size(), [&](double) { return c.rng.Range(420, 620); },
                    [](double) { return 4600.0; }, 2.5, 0.6,
                    [wave](double t) { return 0.45 * wave(t); }),
                0);
        MixInto(buf,
                Buzz(
                    c, buf.size(), [&](double) { return c.rng.Range(500, 750); },
                    [](double) { return 6400.0; }, 2.0, 0.6,
                    [wave](double t) { return 0.3 * wave(t - 0.8); }),
                0);
        MixInto(buf,
                Buzz(
                    c, buf.size(), [](double) { return 300.0; }, [](double) { return 3300.0; }, 8.0,
                    0.2,
                    [wave](double t) {
                        const double u = t * 18.0 - std::floor(t * 18.0);
                        return 1.4 * Bump(u / 0.6, 0.3) * wave(t + 0.5);
                    }),
                0);
        break;
    }
    }
    return Reverb(buf, c.sr, 0.7, 0.5, 0.15);
}

} // namespace

void AddNatureSounds(std::vector<Recipe> &out)
{
    AddGroup(out, "crickt", 4, 0.05, 0.2, Crickets);
    AddGroup(out, "bird", 4, 0.05, 0.3, Birds);
    AddGroup(out, "water", 4, 0.3, 0.5, Water);
    AddGroup(out, "wave_", 4, 0.2, 0.8, Waves);
    AddGroup(out, "drop", 4, 0.02, 0.5, Drops);
    AddGroup(out, "cicada", 4, 0.1, 0.4, Cicadas);
}

} // namespace snd
