// Ambient groups of struck, plucked and mechanical sounds: a wind chime (w_bell), a kalimba
// (karinb), a temple bell (b_bell), a steam train (train) and eerie sounds (myst).
#include "tools/soundgen/catalogue.h"

#include <algorithm>
#include <cmath>

namespace snd
{
namespace
{

// A set of inharmonic modes (ratio to the fundamental, relative amplitude, 60 dB decay time).
struct Partial {
    double ratio, amp, t60;
};

// Strikes a bell: every partial sounds as a pair of modes a few hertz apart (a real bell is not
// perfectly round, so each mode splits in two), which makes the slow beating. A harder strike
// (vel near 1) brings out the upper partials more.
void StrikeBell(Buffer &buf, Ctx &c, double t, double f, const std::vector<Partial> &partials,
                double vel, double beat, double attack)
{
    for (std::size_t i = 0; i < partials.size(); ++i) {
        const Partial &p = partials[i];
        const double fi = f * p.ratio;
        const double a = p.amp * std::pow(vel, 1.0 + 0.5 * static_cast<double>(i));
        const double split = beat * (1.0 + 0.7 * static_cast<double>(i)) * c.rng.Range(0.8, 1.2);
        const double t60 = p.t60 * c.rng.Range(0.9, 1.1);
        AddMode(buf, c.sr, t, fi, 0.55 * a, t60, c.rng.Range(0, kTwoPi), attack);
        AddMode(buf, c.sr, t, fi + split, 0.45 * a, t60 * 0.9, c.rng.Range(0, kTwoPi), attack);
    }
}

// ---------------------------------------------------------------------------------------------
// Wind chime (furin): a small glass or iron bell with three or four inharmonic partials
// (1 : 2.32 : 3.92 for glass, 1 : 2.76 : 5.40 for iron) at 1.5-2.4 kHz, each split into a
// beating pair, decaying in 0.5-3 s, plus a 3 ms glassy click from the clapper. Gusts of wind
// swing the clapper 2-5 times in a row, each hit softer; a faint breeze swells underneath.

const std::vector<Partial> kGlass = {{1.0, 1.0, 1.6}, {2.32, 0.45, 0.9}, {3.92, 0.3, 0.5}};
const std::vector<Partial> kIron = {{1.0, 1.0, 3.0}, {2.76, 0.5, 1.8}, {5.40, 0.2, 0.9}};

void Gust(Buffer &buf, Ctx &c, double t, double f, const std::vector<Partial> &bell, double beat)
{
    const int hits = c.rng.Int(2, 5);
    double vel = c.rng.Range(0.7, 1.0);
    for (int i = 0; i < hits; ++i) {
        Biquad click;
        click.HighPass(c.sr, 4000, 0.7071);
        AddNoiseBurst(buf, c.sr, c.rng, t, 0.003, click, 0.15 * vel, 0.0003, 0.0008);
        StrikeBell(buf, c, t, f * c.rng.Range(0.998, 1.002), bell, vel, beat, 0.0008);
        t += c.rng.Range(0.08, 0.25);
        vel *= c.rng.Range(0.55, 0.85);
    }
}

Buffer WindChime(Ctx &c, int variant)
{
    Buffer buf;
    switch (variant) {
    case 0: // a glass furin, three gusts
        buf = c.Make(5.0);
        for (double t : {0.1, 1.7, 3.1})
            Gust(buf, c, t + c.rng.Range(0, 0.1), 2350, kGlass, 2.0);
        break;
    case 1: // a lower glass furin in a light, steady breeze: many soft tinkles
        buf = c.Make(4.5);
        for (double t = 0.05; t < 3.6; t += c.rng.Range(0.4, 0.9))
            Gust(buf, c, t, 2000, kGlass, 3.0);
        break;
    case 2: // an iron furin: fewer strikes, a long ringing "chiin"
        buf = c.Make(6.0);
        for (double t : {0.1, 2.6})
            Gust(buf, c, t, 1500, kIron, 2.5);
        break;
    default: // two glass furin of different pitch, catching alternate gusts
        buf = c.Make(5.5);
        for (int g = 0; g < 4; ++g)
            Gust(buf, c, 0.1 + 1.2 * g + c.rng.Range(0, 0.2), g % 2 ? 1850 : 2300, kGlass, 2.2);
        break;
    }
    AddBed(buf, c.sr, c.rng, 700, 0.02);
    return Reverb(buf, c.sr, 1.0, 0.4, 0.15);
}

// ---------------------------------------------------------------------------------------------
// Kalimba: a plucked steel tine is a strong fundamental (decaying in 0.8-2.5 s, faster for
// higher notes) with an inharmonic bending mode at 5.93x that dies in a fraction of that, a
// faint octave from the box, and a 5 ms band-passed noise tick of the thumb. A box resonance
// near 330 Hz and a small-room reverb colour the whole. Each file plays its own short phrase:
// a C major melody, a phrase in thirds, a descending arpeggio into a rolled chord, and a
// Japanese "yo" pentatonic tune (D E G A B).

void Pluck(Buffer &buf, Ctx &c, double t, int note, double vel)
{
    const double f = MidiHz(note);
    const double t60 = Clamp(2.2 * std::sqrt(262.0 / f), 0.8, 2.5);
    AddMode(buf, c.sr, t, f, vel, t60, 0.0, 0.002);
    AddMode(buf, c.sr, t, f * 5.93, vel * 0.22, t60 * 0.18, 0.0, 0.001);
    AddMode(buf, c.sr, t, f * 2.0, vel * 0.04, t60 * 0.5, 0.0, 0.003);
    Biquad tick;
    tick.BandPass(c.sr, 3000, 1.0);
    AddNoiseBurst(buf, c.sr, c.rng, t, 0.005, tick, vel * 0.3, 0.0005, 0.0015);
}

struct Note {
    double beat;
    int note;
};

Buffer Kalimba(Ctx &c, int variant)
{
    // C4 = 60, D4 = 62, E4 = 64, G4 = 67, A4 = 69, B4 = 71, C5 = 72, ...
    static const std::vector<Note> kPhrases[] = {
        {{0, 72}, {1, 76}, {2, 79}, {3, 76}, {4, 81}, {5, 79}, {6, 76}, {7, 74}, {8, 72}, {8, 60}},
        {{0, 72}, {0, 76}, {1, 79}, {2, 81}, {3, 79}, {4, 74}, {4, 77}, {5, 76}, {6, 72}, {6, 67}},
        {{0, 79},
         {1, 76},
         {2, 72},
         {3, 69},
         {4, 67},
         {5, 64},
         {7, 60},
         {7.1, 64},
         {7.2, 67},
         {7.3, 72}},
        {{0, 74}, {1, 76}, {2, 79}, {3, 81}, {4, 83}, {5, 81}, {6, 79}, {7, 76}, {8, 74}, {8, 69}},
    };
    static const double kBeat[] = {0.26, 0.32, 0.2, 0.3};
    const std::vector<Note> &phrase = kPhrases[variant];
    const double end = phrase.back().beat * kBeat[variant];
    Buffer buf = c.Make(end + 1.8);
    for (const Note &n : phrase) {
        const double jitter = n.beat == std::floor(n.beat) ? c.rng.Range(-0.012, 0.012) : 0.0;
        Pluck(buf, c, 0.05 + n.beat * kBeat[variant] + std::max(0.0, jitter), n.note,
              c.rng.Range(0.7, 1.0));
    }
    Biquad body;
    body.Peak(c.sr, 330, 1.5, 4.0);
    for (double &v : buf)
        v = body.Process(v);
    return Reverb(buf, c.sr, 0.9, 0.4, 0.2);
}

// ---------------------------------------------------------------------------------------------
// Temple bell (bonsho), struck once by a wooden beam: ten inharmonic partials
// (1 : 1.58 : 2.14 : 2.71 : 3.38 : 4.2 : 5.28 : 6.52 : 8.02 : 9.66) above a hum of 64-146 Hz,
// each a beating pair 0.7-5.5 Hz apart (the slow "wow-wow" of a big bell), decaying from ~30 s
// for the hum to ~2 s for the top. The strike is a dull thud (low-passed noise, 40 ms) with a
// few brief high clang modes. Variations: a great bell, a medium bell, a small bell ringing
// shorter and brighter, and a great bell heard from across the valley (darker, reverberant).

const std::vector<Partial> kBonsho = {
    {1.00, 1.00, 34}, {1.58, 0.75, 22}, {2.14, 0.55, 16},  {2.71, 0.50, 12},  {3.38, 0.35, 9},
    {4.20, 0.28, 7},  {5.28, 0.18, 5},  {6.52, 0.12, 3.5}, {8.02, 0.07, 2.5}, {9.66, 0.05, 1.8},
};

Buffer TempleBell(Ctx &c, double dur, double hum, double beat, double ring, bool distant)
{
    Buffer buf = c.Make(dur);
    std::vector<Partial> partials = kBonsho;
    for (Partial &p : partials)
        p.t60 *= ring;
    StrikeBell(buf, c, 0.02, hum, partials, 1.0, beat * 0.7, 0.004);
    for (int i = 0; i < 4; ++i)
        AddMode(buf, c.sr, 0.02, hum * c.rng.Range(11.0, 16.0), 0.08, 0.4, 0.0, 0.002);
    Biquad thud;
    thud.LowPass(c.sr, 250, 0.7071);
    AddNoiseBurst(buf, c.sr, c.rng, 0.02, 0.25, thud, 3.0, 0.003, 0.04);
    if (distant) {
        Biquad lp;
        lp.LowPass(c.sr, 1500, 0.7071);
        for (double &v : buf)
            v = lp.Process(v);
        return Reverb(buf, c.sr, 3.5, 0.5, 0.5);
    }
    return Reverb(buf, c.sr, 1.8, 0.5, 0.15);
}

Buffer TempleBells(Ctx &c, int variant)
{
    switch (variant) {
    case 0:
        return TempleBell(c, 7.0, 64, 1.0, 1.0, false);
    case 1:
        return TempleBell(c, 6.5, 98, 1.4, 0.8, false);
    case 2:
        return TempleBell(c, 5.5, 146, 1.8, 0.6, false);
    default:
        return TempleBell(c, 7.0, 73, 0.9, 1.0, true);
    }
}

// ---------------------------------------------------------------------------------------------
// Steam train: chuffs are bursts of noise (band-passed white near 0.8-1.1 kHz for the steam
// blast over low-passed pink for the body) with a 6 ms attack and a decay that shortens as the
// train speeds up; they are triggered by a chuff rate that accelerates smoothly (e.g. 1.2 -> 4.5
// per second), with every fourth chuff accented. A faint steam hiss and a low rumble run
// underneath, and some variations add the clickety-clack of wheels on rail joints. The whistle
// is a chord of two or three pipe tones (five harmonics plus breath noise) that bend up to pitch
// as the steam arrives; the passing train adds a Doppler drop and a swell in loudness.

struct Whistle {
    double start, length;
    std::vector<double> freqs;
};

struct TrainScript {
    double dur;
    double chuff_start, rate0, rate1;
    std::vector<Whistle> whistles;
    bool clack;
    double pass; // time the train passes the listener, or < 0 for a train that stays
};

void AddWhistle(Buffer &buf, Ctx &c, const Whistle &w, double pass)
{
    const double len = w.length;
    const auto doppler = [=](double t) {
        return pass < 0.0 ? 1.0 : 1.0 - 0.05 * std::tanh((t - pass) / 0.35);
    };
    const auto env = [=](double x) {
        const double t = x * len;
        return std::min({1.0, t / 0.05, (len - t) / 0.12});
    };
    for (double f : w.freqs) {
        const double start = w.start;
        AddTone(
            buf, c.sr, start, len,
            [=](double x) {
                const double t = x * len;
                const double bend = 1.0 - 0.06 * std::exp(-t / 0.05);
                return f * bend * (1.0 + 0.004 * std::sin(kTwoPi * 5.5 * t)) * doppler(start + t);
            },
            [=](double x) { return 0.3 * env(x); }, {1.0, 0.45, 0.25, 0.12, 0.06});
        Biquad breath;
        breath.BandPass(c.sr, f, 6.0);
        const std::size_t first = Samples(c.sr, start);
        for (std::size_t i = 0; i < Samples(c.sr, len) && first + i < buf.size(); ++i)
            buf[first + i] +=
                0.4 * env(static_cast<double>(i) / (len * c.sr)) * breath.Process(c.rng.Bipolar());
    }
}

Buffer Train(Ctx &c, const TrainScript &s)
{
    Buffer buf = c.Make(s.dur);
    // Steam hiss and running rumble, rising with speed.
    Biquad hiss, rumble;
    hiss.HighPass(c.sr, 4000, 0.7071);
    rumble.LowPass(c.sr, 100, 0.7071);
    BrownNoise brown;
    for (std::size_t i = 0; i < buf.size(); ++i) {
        const double t = static_cast<double>(i) / c.sr;
        const double going = SmoothStep((t - s.chuff_start) / 0.5);
        buf[i] += 0.03 * hiss.Process(c.rng.Bipolar()) +
                  (0.05 + 0.2 * going) * rumble.Process(brown.Next(c.rng));
    }
    // Chuffs at an accelerating rate.
    double phase = 0.999;
    int k = 0;
    const std::size_t first = Samples(c.sr, s.chuff_start);
    const double span = s.dur - s.chuff_start;
    for (std::size_t i = first; i < buf.size(); ++i) {
        const double u = (static_cast<double>(i - first) / c.sr) / span;
        const double rate = s.rate0 + (s.rate1 - s.rate0) * std::pow(u, 1.2);
        phase += rate / c.sr;
        if (phase < 1.0) continue;
        phase -= 1.0;
        const double t = static_cast<double>(i) / c.sr;
        const double accent =
            (k % 4 == 0 ? 1.0 : (k % 2 == 0 ? 0.8 : 0.7)) * c.rng.Range(0.9, 1.05);
        const double tau = Clamp(0.35 / rate, 0.04, 0.15);
        const double len = std::min(0.4, 1.4 / rate);
        Biquad blast, body;
        blast.BandPass(c.sr, c.rng.Range(800, 1100), 0.7);
        body.LowPass(c.sr, 300, 0.7071);
        AddNoiseBurst(buf, c.sr, c.rng, t, len, blast, 0.9 * accent, 0.006, tau);
        AddNoiseBurst(buf, c.sr, c.rng, t, len, body, 1.6 * accent, 0.006, tau * 1.2);
        if (s.clack && k % 2 == 0) {
            // Two axles over a rail joint: a pair of short metallic ticks.
            Biquad ring;
            ring.BandPass(c.sr, 2300, 4.0);
            AddNoiseBurst(buf, c.sr, c.rng, t + 0.03, 0.03, ring, 0.5, 0.001, 0.006);
            AddNoiseBurst(buf, c.sr, c.rng, t + 0.03 + 0.35 / rate, 0.03, ring, 0.4, 0.001, 0.006);
        }
        ++k;
    }
    for (const Whistle &w : s.whistles)
        AddWhistle(buf, c, w, s.pass);
    if (s.pass >= 0.0) {
        for (std::size_t i = 0; i < buf.size(); ++i) {
            const double d = (static_cast<double>(i) / c.sr - s.pass) / 1.8;
            buf[i] *= 0.3 + 0.7 * std::exp(-d * d);
        }
    }
    return Reverb(buf, c.sr, 0.9, 0.5, 0.15);
}

Buffer Trains(Ctx &c, int variant)
{
    switch (variant) {
    case 0: // departure: a whistle, then the first slow chuffs gathering speed
        return Train(c, {7.0, 1.0, 1.2, 4.5, {{0.1, 1.1, {587, 740}}}, false, -1.0});
    case 1: // accelerating hard, two short toots
        return Train(
            c,
            {6.0, 0.05, 2.0, 6.5, {{2.6, 0.3, {466, 587}}, {3.05, 0.55, {466, 587}}}, true, -1.0});
    case 2: // a long three-tone whistle over the first chuffs
        return Train(c, {6.5, 0.4, 1.5, 5.0, {{0.1, 1.6, {440, 554, 659}}}, false, -1.0});
    default: // passing by at speed, whistling, with the Doppler drop
        return Train(c, {6.5, 0.05, 4.0, 6.0, {{2.6, 1.5, {523, 659}}}, true, 3.3});
    }
}

// ---------------------------------------------------------------------------------------------
// Eerie sounds: low drones of detuned sawtooth tones a tritone apart under a slowly wandering
// low-pass; dissonant glides of theremin-like sines a semitone apart sliding against each
// other; a laugh-like tremolo ("ha-ha-ha" syllables at 5-8 per second on a glottal pulse tone
// through "a" vowel formants, pitch sinking, doubled a tritone lower); a howling wind (noise
// through narrow band-passes whose centres wander) over a beating sub drone with distant
// inharmonic metal hits; and a cluster of slowly falling tones with a 3 Hz tremolo over a
// swelling noise. All with long reverb.

// Adds a sawtooth-like drone (harmonics 1/n) of `dur` seconds at frequency f.
void AddDrone(Buffer &buf, double sr, double f, double amp, double dur, double swell)
{
    std::vector<double> saw;
    for (int n = 1; n <= 12; ++n)
        saw.push_back(1.0 / n);
    AddTone(
        buf, sr, 0.0, dur, [f](double x) { return f * (1.0 + 0.003 * std::sin(kTwoPi * 0.7 * x)); },
        [=](double x) { return amp * std::min(1.0, x * dur / swell); }, saw);
}

Buffer LowPassWandering(const Buffer &in, Ctx &c, double lo, double hi, double period)
{
    Buffer out(in.size());
    Biquad lp;
    Wander w(c.sr, period, c.rng);
    for (std::size_t i = 0; i < in.size(); ++i) {
        if (i % 32 == 0) lp.LowPass(c.sr, lo + (hi - lo) * w.Next(), 0.9);
        out[i] = lp.Process(in[i]);
    }
    return out;
}

void Glide(Buffer &buf, Ctx &c, double t, double dur, double f0, double f1, double amp)
{
    AddTone(
        buf, c.sr, t, dur,
        [=](double x) {
            return (f0 + (f1 - f0) * SmoothStep(x)) *
                   (1.0 + 0.012 * std::sin(kTwoPi * 5.5 * x * dur));
        },
        [=](double x) { return amp * Bump(x, 0.35); }, {1.0, 0.1});
}

void Laugh(Buffer &buf, Ctx &c, double t, double pitch, double amp)
{
    const int syllables = 11;
    const double dur = 2.2;
    Buffer voice = c.Make(dur);
    std::vector<double> pulse;
    for (int n = 1; n <= 30; ++n)
        pulse.push_back(std::pow(n, -1.2));
    // Syllables start 0.13 s apart and slow to 0.22 s; each is a sharp "h" onset that decays.
    std::vector<double> onsets;
    for (double s = 0.0; static_cast<int>(onsets.size()) < syllables;) {
        onsets.push_back(s);
        s += 0.13 + 0.09 * static_cast<double>(onsets.size()) / syllables;
    }
    const auto syllable = [onsets](double tt) {
        double e = 0.0;
        for (double o : onsets)
            if (tt >= o) e = std::max(e, AttackDecay(tt - o, 0.015, 0.05));
        return e;
    };
    AddTone(
        voice, c.sr, 0.0, dur,
        [=](double x) {
            const double tt = x * dur;
            return pitch * (240.0 - 100.0 * x) * (1.0 + 0.03 * std::sin(kTwoPi * 7.0 * tt));
        },
        [=](double x) { return syllable(x * dur); }, pulse);
    Buffer noise(voice.size());
    Biquad breath;
    breath.BandPass(c.sr, 1200, 1.0);
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = 0.3 * syllable(static_cast<double>(i) / c.sr) * breath.Process(c.rng.Bipolar());
    MixInto(voice, noise, 0);
    // "a" vowel formants.
    Biquad f1, f2, f3;
    f1.BandPass(c.sr, 750 * std::sqrt(pitch), 6.0);
    f2.BandPass(c.sr, 1150 * std::sqrt(pitch), 8.0);
    f3.BandPass(c.sr, 2500 * std::sqrt(pitch), 10.0);
    for (std::size_t i = 0; i < voice.size(); ++i) {
        const double v = voice[i];
        voice[i] = f1.Process(v) + 0.6 * f2.Process(v) + 0.3 * f3.Process(v);
    }
    MixInto(buf, voice, Samples(c.sr, t), amp);
}

Buffer Mystery(Ctx &c, int variant)
{
    Buffer buf;
    switch (variant) {
    case 0: { // drone with semitone glides sliding against each other
        buf = c.Make(6.0);
        Buffer drone = c.Make(6.0);
        for (double f : {55.0, 55.6, 77.8, 110.3})
            AddDrone(drone, c.sr, f, 0.15, 6.0, 1.5);
        buf = LowPassWandering(drone, c, 150, 450, 1.5);
        Glide(buf, c, 0.6, 3.2, 392, 370, 0.25);
        Glide(buf, c, 1.2, 3.2, 415, 440, 0.22);
        Glide(buf, c, 3.0, 2.8, 1661, 1568, 0.05);
        Glide(buf, c, 3.3, 2.6, 466, 415, 0.2);
        return Reverb(buf, c.sr, 2.5, 0.4, 0.4);
    }
    case 1: { // a low drone, then a creepy laugh doubled a tritone lower
        buf = c.Make(5.5);
        for (double f : {49.0, 69.3})
            AddDrone(buf, c.sr, f, 0.15, 5.5, 1.0);
        buf = LowPassWandering(buf, c, 150, 400, 2.0);
        Laugh(buf, c, 0.6, 1.0, 1.0);
        Laugh(buf, c, 0.62, 0.707, 0.5);
        Laugh(buf, c, 3.0, 0.84, 0.35);
        return Reverb(buf, c.sr, 2.0, 0.4, 0.5);
    }
    case 2: { // howling wind, a beating sub drone, distant metal hits
        buf = c.Make(6.0);
        Wander w1(c.sr, 1.2, c.rng), w2(c.sr, 1.7, c.rng), a1(c.sr, 0.9, c.rng);
        Biquad h1, h2;
        for (std::size_t i = 0; i < buf.size(); ++i) {
            if (i % 32 == 0) {
                h1.BandPass(c.sr, 350 + 450 * w1.Next(), 14.0);
                h2.BandPass(c.sr, 700 + 500 * w2.Next(), 16.0);
            }
            const double t = static_cast<double>(i) / c.sr;
            const double n = c.rng.Bipolar();
            buf[i] = (0.4 + 0.6 * a1.Next()) * (2.5 * h1.Process(n) + 1.5 * h2.Process(n)) +
                     0.25 * std::sin(kTwoPi * 41.2 * t) + 0.2 * std::sin(kTwoPi * 43.6 * t);
        }
        const std::vector<Partial> metal = {{1.0, 1.0, 4.0},
                                            {1.41, 0.7, 3.0},
                                            {2.23, 0.5, 2.5},
                                            {2.87, 0.4, 2.0},
                                            {3.93, 0.3, 1.5}};
        StrikeBell(buf, c, 2.0, 311, metal, 0.5, 1.5, 0.01);
        StrikeBell(buf, c, 4.0, 293, metal, 0.4, 1.5, 0.01);
        return Reverb(buf, c.sr, 3.0, 0.5, 0.5);
    }
    default: { // a falling cluster with tremolo over a swelling noise
        buf = c.Make(6.0);
        for (int v = 0; v < 5; ++v) {
            const double f0 = 600.0 * std::pow(2.0, v / 12.0);
            const double fall = c.rng.Range(0.75, 0.85);
            const double trem = c.rng.Range(2.8, 3.6), dur = 4.8;
            AddTone(
                buf, c.sr, 0.3 + 0.25 * v, dur,
                [=](double x) { return f0 * (1.0 - (1.0 - fall) * x); },
                [=](double x) {
                    return 0.15 * Bump(x, 0.3) * (0.6 + 0.4 * std::sin(kTwoPi * trem * x * dur));
                },
                {1.0, 0.2});
        }
        PinkNoise pink;
        Biquad bp;
        bp.BandPass(c.sr, 900, 0.8);
        for (std::size_t i = 0; i < buf.size(); ++i) {
            const double t = static_cast<double>(i) / c.sr;
            const double swell =
                std::pow(SmoothStep(t / 4.6), 2.0) * (t < 4.6 ? 1.0 : std::exp(-(t - 4.6) / 0.3));
            buf[i] +=
                0.5 * swell * bp.Process(pink.Next(c.rng)) + 0.12 * std::sin(kTwoPi * 65.0 * t);
        }
        return Reverb(buf, c.sr, 2.5, 0.4, 0.45);
    }
    }
}

} // namespace

void AddInstrumentSounds(std::vector<Recipe> &out)
{
    AddGroup(out, "w_bell", 4, 0.01, 0.6, WindChime);
    AddGroup(out, "karinb", 4, 0.01, 0.5, Kalimba);
    AddGroup(out, "b_bell", 4, 0.01, 1.5, TempleBells);
    AddGroup(out, "train", 4, 0.05, 0.5, Trains);
    AddGroup(out, "myst", 4, 0.3, 0.8, Mystery);
}

} // namespace snd
