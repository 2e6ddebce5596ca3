// Short cues: the time-signal sounds and the jellyfish sounds. The time-signal animation moves on
// after 300 ms and cuts its sound off, so every cue starts at once and says what it is within
// its first 0.3 s; the rest is only a tail.
#include "tools/soundgen/catalogue.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace snd
{
namespace
{

// A bright ping: a fundamental with a few bell-like partials, each decaying.
void Ping(Buffer &buf, double sr, double t, double f, double amp, double t60,
          const std::vector<double> &ratios = {1.0, 2.0, 3.0, 4.1},
          const std::vector<double> &amps = {1.0, 0.35, 0.15, 0.08})
{
    for (std::size_t i = 0; i < ratios.size(); ++i)
        AddMode(buf, sr, t, f * ratios[i], amp * amps[i], t60 / (1.0 + 0.6 * i), 0.0, 0.001);
}

// A shake of sleigh bells: five tiny bells with inharmonic partials at 3-7 kHz, struck within
// 25 ms of each other, plus a short bright noise rattle.
void SleighBells(Buffer &buf, Ctx &c, double t, double amp)
{
    for (int i = 0; i < 5; ++i) {
        const double at = t + c.rng.Range(0.0, 0.025), f = c.rng.Range(3000, 4500);
        Ping(buf, c.sr, at, f, amp * c.rng.Range(0.3, 0.6), 0.25, {1.0, 1.47, 2.09},
             {1.0, 0.6, 0.3});
    }
    Biquad hp;
    hp.HighPass(c.sr, 5000, 0.7071);
    AddNoiseBurst(buf, c.sr, c.rng, t, 0.06, hp, amp * 0.5, 0.002, 0.015);
}

// A rising or falling glide with a soft attack and exponential decay.
void Swoop(Buffer &buf, double sr, double t, double dur, double f0, double f1, double amp,
           double tau, std::vector<double> harmonics = {1.0, 0.2})
{
    AddTone(
        buf, sr, t, dur, [=](double x) { return f0 * std::pow(f1 / f0, x); },
        [=](double x) {
            return amp * AttackDecay(x * dur, 0.004, tau) * std::min(1.0, (1.0 - x) * 10.0);
        },
        harmonics);
}

// A bubble: a sine whose pitch jumps upward as it decays (the resonance of a closing bubble).
void Bubble(Buffer &buf, double sr, double t, double f, double amp, double tau)
{
    const double len = 6.0 * tau;
    AddTone(
        buf, sr, t, len,
        [=](double x) { return f * (1.0 + 1.6 * (1.0 - std::exp(-x * len / 0.02))); },
        [=](double x) { return amp * AttackDecay(x * len, 0.002, tau); }, {1.0, 0.1});
}

// ---------------------------------------------------------------------------------------------
// Time signal.

// alarm99: a bright "pi-pi" - two 70 ms beeps of a square-ish 2.1 kHz tone (odd harmonics) -
// then a ringing chime at 1.57 kHz.
Buffer Alarm(Ctx &c)
{
    Buffer buf = c.Make(0.8);
    for (double t : {0.0, 0.12})
        AddTone(
            buf, c.sr, t, 0.07, [](double) { return 2093.0; },
            [](double x) {
                return 0.5 * std::min({1.0, x * 0.07 / 0.005, (1.0 - x) * 0.07 / 0.008});
            },
            {1.0, 0.0, 0.3, 0.0, 0.15});
    Ping(buf, c.sr, 0.24, 1568, 0.8, 0.6);
    return buf;
}

// star1: an ascending sparkle - eight pings 35 ms apart climbing a pentatonic scale from
// 2.1 to 6.3 kHz, over a high shimmer of noise.
// star2: a "tsui" upward glide to 5 kHz, then ten random twinkles between 3 and 7 kHz.
Buffer Star(Ctx &c, int which)
{
    Buffer buf = c.Make(0.7);
    Biquad hp;
    hp.HighPass(c.sr, 6000, 0.7071);
    AddNoiseBurst(buf, c.sr, c.rng, 0.0, 0.5, hp, 0.08, 0.01, 0.15);
    if (which == 1) {
        static const int kNotes[] = {96, 98, 100, 103, 105, 108, 110, 112};
        for (int i = 0; i < 8; ++i)
            Ping(buf, c.sr, 0.035 * i, MidiHz(kNotes[i]), 0.6, 0.35, {1.0, 2.0}, {1.0, 0.2});
    } else {
        Swoop(buf, c.sr, 0.0, 0.12, 1500, 5000, 0.3, 0.1, {1.0});
        for (int i = 0; i < 10; ++i)
            Ping(buf, c.sr, 0.08 + 0.025 * i + c.rng.Range(0, 0.01), c.rng.LogRange(3000, 7000),
                 c.rng.Range(0.35, 0.6), 0.3, {1.0, 2.7}, {1.0, 0.15});
    }
    return buf;
}

// tree1: a cheerful up arpeggio C6 E6 G6 C7 on a bell timbre, 70 ms apart, with sleigh-bell
// shakes on the beats. tree2: "ding ding dong" (E6, G6, then a longer C7) with bells.
Buffer Tree(Ctx &c, int which)
{
    Buffer buf = c.Make(0.8);
    if (which == 1) {
        static const int kNotes[] = {84, 88, 91, 96};
        for (int i = 0; i < 4; ++i)
            Ping(buf, c.sr, 0.07 * i, MidiHz(kNotes[i]), 0.6, i == 3 ? 0.7 : 0.35);
        for (double t : {0.0, 0.14, 0.28})
            SleighBells(buf, c, t, 0.5);
    } else {
        Ping(buf, c.sr, 0.0, MidiHz(88), 0.6, 0.3);
        Ping(buf, c.sr, 0.1, MidiHz(91), 0.6, 0.3);
        Ping(buf, c.sr, 0.2, MidiHz(96), 0.7, 0.7);
        for (double t : {0.0, 0.2})
            SleighBells(buf, c, t, 0.6);
    }
    return buf;
}

// bell: a small hand bell at 1.76 kHz (partials 1 : 2.02 : 2.39 : 3.01 : 4.15, each a pair
// 6 Hz apart for a shimmer), struck twice.
Buffer SmallBell(Ctx &c)
{
    Buffer buf = c.Make(0.9);
    static const double kRatio[] = {1.0, 2.02, 2.39, 3.01, 4.15};
    static const double kAmp[] = {1.0, 0.5, 0.35, 0.25, 0.15};
    static const double kT60[] = {1.0, 0.7, 0.5, 0.4, 0.25};
    for (double t : {0.0, 0.16}) {
        const double vel = t == 0.0 ? 1.0 : 0.7;
        for (int i = 0; i < 5; ++i) {
            AddMode(buf, c.sr, t, 1760 * kRatio[i], 0.55 * vel * kAmp[i], kT60[i]);
            AddMode(buf, c.sr, t, 1760 * kRatio[i] + 6.0, 0.45 * vel * kAmp[i], kT60[i]);
        }
    }
    return buf;
}

// monster1: a growl - a sawtooth-like tone sinking from 95 to 75 Hz, roughened by a random
// 30 Hz amplitude rasp, through two formant band-passes (400 and 900 Hz), with a noisy roar.
// monster2: a chomp - two bites 170 ms apart, each a low thump (70 -> 45 Hz sine and low-passed
// noise), a teeth click (8 ms of 3 kHz noise) and a crunch of short noise grains.
Buffer Monster(Ctx &c, int which)
{
    if (which == 1) {
        Buffer buf = c.Make(0.7);
        Buffer raw = c.Make(0.7);
        std::vector<double> saw;
        for (int n = 1; n <= 40; ++n)
            saw.push_back(1.0 / n);
        AddTone(
            raw, c.sr, 0.0, 0.7, [](double x) { return 95.0 - 20.0 * x; },
            [](double x) {
                return std::min({1.0, x * 0.7 / 0.02, (1.0 - x) * 0.7 / 0.15});
            },
            saw);
        OnePole rasp;
        rasp.Cutoff(c.sr, 30);
        PinkNoise pink;
        Biquad f1, f2, roar;
        f1.BandPass(c.sr, 400, 3.0);
        f2.BandPass(c.sr, 900, 4.0);
        roar.BandPass(c.sr, 500, 1.0);
        for (std::size_t i = 0; i < raw.size(); ++i) {
            const double r = 0.5 + 3.0 * std::fabs(rasp.Process(c.rng.Bipolar()));
            const double env = std::min(1.0, static_cast<double>(raw.size() - i) / (0.15 * c.sr));
            const double v = raw[i] * r;
            buf[i] =
                f1.Process(v) + 0.7 * f2.Process(v) + 0.6 * env * roar.Process(pink.Next(c.rng));
        }
        return buf;
    }
    Buffer buf = c.Make(0.6);
    for (double t : {0.0, 0.17}) {
        Swoop(buf, c.sr, t, 0.15, 70, 45, 1.0, 0.05, {1.0, 0.3});
        Biquad low, teeth, crunch;
        low.LowPass(c.sr, 150, 0.7071);
        teeth.BandPass(c.sr, 3000, 1.5);
        crunch.BandPass(c.sr, 1800, 0.8);
        AddNoiseBurst(buf, c.sr, c.rng, t, 0.12, low, 2.5, 0.002, 0.04);
        AddNoiseBurst(buf, c.sr, c.rng, t, 0.008, teeth, 0.9, 0.0005, 0.003);
        for (int g = 0; g < 4; ++g)
            AddNoiseBurst(buf, c.sr, c.rng, t + 0.02 + 0.02 * g + c.rng.Range(0, 0.01), 0.02,
                          crunch, 0.35, 0.001, 0.006);
    }
    return buf;
}

// snowman: a soft whoosh (pink noise through a band-pass sweeping 500 -> 2500 -> 900 Hz,
// swelling quickly and fading over 0.6 s) with three small high bell pings, the first at once.
Buffer Snowman(Ctx &c)
{
    Buffer buf = c.Make(0.8);
    PinkNoise pink;
    Biquad bp;
    const std::size_t len = Samples(c.sr, 0.6);
    for (std::size_t i = 0; i < len; ++i) {
        const double x = static_cast<double>(i) / static_cast<double>(len);
        const double centre = x < 0.3 ? 500 + 2000 * (x / 0.3) : 2500 - 1600 * (x - 0.3) / 0.7;
        if (i % 16 == 0) bp.BandPass(c.sr, centre, 1.5);
        buf[i] += 1.5 * Bump(x, 0.12) * bp.Process(pink.Next(c.rng));
    }
    static const int kNotes[] = {100, 103, 108};
    for (int i = 0; i < 3; ++i)
        Ping(buf, c.sr, 0.09 * i, MidiHz(kNotes[i]), 0.12, 0.4);
    return buf;
}

// ---------------------------------------------------------------------------------------------
// Jellyfish.

// jellybb: a newborn's bubble - a "blup" rising from 350 Hz, a smaller higher bubble after it,
// and a tiny pop.
Buffer JellyBorn(Ctx &c)
{
    Buffer buf = c.Make(0.45);
    Bubble(buf, c.sr, 0.0, 350, 1.0, 0.05);
    Bubble(buf, c.sr, 0.12, 600, 0.5, 0.035);
    Biquad hp;
    hp.HighPass(c.sr, 2500, 0.7071);
    AddNoiseBurst(buf, c.sr, c.rng, 0.25, 0.004, hp, 0.3, 0.0005, 0.001);
    return buf;
}

// jhide: a hidden creature revealed - a quick whoosh upward (noise band-pass 400 -> 3000 Hz in
// 0.15 s) opening into a bright "ta-da" chord C6 E6 G6 with a sparkle.
Buffer JellyReveal(Ctx &c)
{
    Buffer buf = c.Make(0.8);
    Biquad bp;
    const std::size_t len = Samples(c.sr, 0.16);
    for (std::size_t i = 0; i < len; ++i) {
        const double x = static_cast<double>(i) / static_cast<double>(len);
        if (i % 16 == 0) bp.BandPass(c.sr, 400 * std::pow(7.5, x), 2.0);
        buf[i] += 1.2 * Bump(x, 0.7) * bp.Process(c.rng.Bipolar());
    }
    for (int n : {84, 88, 91})
        Ping(buf, c.sr, 0.13, MidiHz(n), 0.45, 0.6);
    Ping(buf, c.sr, 0.18, MidiHz(108), 0.2, 0.3, {1.0}, {1.0});
    return buf;
}

// jchange: a magical change - a rapid whole-tone run up (six notes, 40 ms apart) with a 12 Hz
// shimmer, ringing on as a whole-tone chord.
Buffer JellyChange(Ctx &c)
{
    Buffer buf = c.Make(0.9);
    for (int i = 0; i < 6; ++i) {
        const double f = MidiHz(78 + 2 * i), t = 0.04 * i;
        AddTone(
            buf, c.sr, t, 0.9 - t, [f](double) { return f; },
            [=](double x) {
                const double tt = x * (0.9 - t);
                return 0.3 * AttackDecay(tt, 0.003, 0.35) *
                       (0.7 + 0.3 * std::sin(kTwoPi * 12.0 * tt)) * std::min(1.0, (1.0 - x) * 8.0);
            },
            {1.0, 0.25, 0.1});
    }
    return buf;
}

// jadult: coming of age - four soft square-ish tones stepping up G5 C6 E6 G6, the last held
// with vibrato.
Buffer JellyAdult(Ctx &c)
{
    Buffer buf = c.Make(0.9);
    static const int kNotes[] = {79, 84, 88, 91};
    for (int i = 0; i < 4; ++i) {
        const double f = MidiHz(kNotes[i]), t = 0.13 * i, dur = i == 3 ? 0.9 - t : 0.13;
        AddTone(
            buf, c.sr, t, dur,
            [=](double x) {
                return f * (1.0 + (i == 3 ? 0.01 * std::sin(kTwoPi * 6.0 * x * dur) : 0.0));
            },
            [=](double x) {
                return 0.4 * std::min({1.0, x * dur / 0.005, (1.0 - x) * dur / 0.03});
            },
            {1.0, 0.0, 0.3, 0.0, 0.12});
    }
    return buf;
}

// jellyend: a jellyfish dies - a tone falling from 880 to 220 Hz over 0.85 s, its vibrato
// widening as it fades.
Buffer JellyEnd(Ctx &c)
{
    Buffer buf = c.Make(0.9);
    AddTone(
        buf, c.sr, 0.0, 0.88,
        [](double x) {
            return 880.0 * std::pow(0.25, x) * (1.0 + 0.05 * x * std::sin(kTwoPi * 6.0 * x * 0.88));
        },
        [](double x) { return std::min(1.0, x * 0.88 / 0.005) * (1.0 - x) * (1.0 - x * 0.3); },
        {1.0, 0.3, 0.1});
    return buf;
}

// jelly01..06: six short jelly voices.
//  01 boing: a spring - 220 Hz with a pitch wobble of 60% at 12 Hz that settles as it decays.
//  02 blip up: a quick glide 400 -> 1400 Hz.
//  03 squish: a wet squelch - noise through a band-pass sliding 1500 -> 400 Hz over a low
//     150 -> 90 Hz tone.
//  04 wobble: 330 Hz with a 9 Hz vibrato of +-15% that narrows.
//  05 pop-pop: two quick bubble pops.
//  06 slide whistle: 1200 -> 500 -> 900 Hz with a breath of noise.
Buffer JellyVoice(Ctx &c, int which)
{
    Buffer buf;
    switch (which) {
    case 1:
        buf = c.Make(0.45);
        AddTone(
            buf, c.sr, 0.0, 0.45,
            [](double x) {
                const double t = x * 0.45;
                return 220.0 * (1.0 + 0.6 * std::exp(-t / 0.15) * std::cos(kTwoPi * 12.0 * t));
            },
            [](double x) { return AttackDecay(x * 0.45, 0.003, 0.12); }, {1.0, 0.3, 0.1});
        break;
    case 2:
        buf = c.Make(0.25);
        Swoop(buf, c.sr, 0.0, 0.25, 400, 1400, 1.0, 0.09);
        break;
    case 3: {
        buf = c.Make(0.3);
        Swoop(buf, c.sr, 0.0, 0.3, 150, 90, 0.6, 0.1);
        Biquad bp;
        for (std::size_t i = 0; i < buf.size(); ++i) {
            const double x = static_cast<double>(i) / static_cast<double>(buf.size());
            if (i % 16 == 0) bp.BandPass(c.sr, 1500 * std::pow(400.0 / 1500.0, x), 3.0);
            buf[i] += 1.5 * Bump(x, 0.15) * bp.Process(c.rng.Bipolar());
        }
        break;
    }
    case 4:
        buf = c.Make(0.5);
        AddTone(
            buf, c.sr, 0.0, 0.5,
            [](double x) {
                return 330.0 * (1.0 + 0.15 * (1.0 - x) * std::sin(kTwoPi * 9.0 * x * 0.5));
            },
            [](double x) { return AttackDecay(x * 0.5, 0.004, 0.16); }, {1.0, 0.25});
        break;
    case 5:
        buf = c.Make(0.3);
        Bubble(buf, c.sr, 0.0, 700, 1.0, 0.025);
        Bubble(buf, c.sr, 0.1, 900, 0.9, 0.025);
        break;
    default: {
        buf = c.Make(0.5);
        AddTone(
            buf, c.sr, 0.0, 0.5,
            [](double x) {
                return x < 0.5 ? 1200.0 * std::pow(500.0 / 1200.0, x / 0.5)
                               : 500.0 * std::pow(1.8, (x - 0.5) / 0.5);
            },
            [](double x) { return 0.8 * Bump(x, 0.05); }, {1.0, 0.05});
        Biquad bp;
        bp.BandPass(c.sr, 1000, 1.0);
        for (std::size_t i = 0; i < buf.size(); ++i)
            buf[i] += 0.05 * Bump(static_cast<double>(i) / static_cast<double>(buf.size()), 0.05) *
                      bp.Process(c.rng.Bipolar());
        break;
    }
    }
    return buf;
}

} // namespace

void AddCueSounds(std::vector<Recipe> &out)
{
    AddCue(out, "alarm99", Alarm);
    AddCue(out, "star1", [](Ctx &c) { return Star(c, 1); });
    AddCue(out, "star2", [](Ctx &c) { return Star(c, 2); });
    AddCue(out, "tree1", [](Ctx &c) { return Tree(c, 1); });
    AddCue(out, "tree2", [](Ctx &c) { return Tree(c, 2); });
    AddCue(out, "bell", SmallBell);
    AddCue(out, "monster1", [](Ctx &c) { return Monster(c, 1); });
    AddCue(out, "monster2", [](Ctx &c) { return Monster(c, 2); });
    AddCue(out, "snowman", Snowman);

    AddCue(out, "jellybb", JellyBorn);
    AddCue(out, "jhide", JellyReveal);
    AddCue(out, "jchange", JellyChange);
    AddCue(out, "jadult", JellyAdult);
    AddCue(out, "jellyend", JellyEnd);
    for (int i = 1; i <= 6; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "jelly%02d", i);
        AddCue(out, name, [i](Ctx &c) { return JellyVoice(c, i); });
    }
}

} // namespace snd
