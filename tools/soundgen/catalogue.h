// The list of every sound the program plays: its file name, kind, rate, fades and the recipe that
// synthesises it. The recipes live in nature.cpp (insects, birds, water), instruments.cpp (bells,
// kalimba, train, eerie drones) and cues.cpp (time signal and jellyfish cues).
#pragma once

#include "tools/soundgen/dsp.h"
#include "tools/soundgen/finish.h"

#include <functional>
#include <string>
#include <vector>

namespace snd
{

inline constexpr int kRate = 22050;

// What a recipe gets: the sample rate and a random source seeded from the file name, so each
// file has its own fixed stream of random numbers.
struct Ctx {
    double sr;
    Rng rng;
    Buffer Make(double seconds) const { return Buffer(Samples(sr, seconds), 0.0); }
    double Seconds(const Buffer &b) const { return static_cast<double>(b.size()) / sr; }
};

struct Recipe {
    std::string name; // file name without ".wav"
    Kind kind;
    int sample_rate;
    double fade_in;  // seconds
    double fade_out; // seconds
    std::function<Buffer(Ctx &)> make;
};

using Variant = std::function<Buffer(Ctx &, int)>;

// Adds `count` ambient recipes named prefix00, prefix01, ... that call `make` with 0, 1, ...
void AddGroup(std::vector<Recipe> &out, const std::string &prefix, int count, double fade_in,
              double fade_out, const Variant &make);

// Adds one cue recipe (time signal or jellyfish).
void AddCue(std::vector<Recipe> &out, const std::string &name,
            const std::function<Buffer(Ctx &)> &make);

void AddNatureSounds(std::vector<Recipe> &out);
void AddInstrumentSounds(std::vector<Recipe> &out);
void AddCueSounds(std::vector<Recipe> &out);

std::vector<Recipe> Catalogue();

// Runs a recipe and finishes the result; the report carries the measured levels.
Buffer Render(const Recipe &recipe, FinishReport *report = nullptr);

} // namespace snd
