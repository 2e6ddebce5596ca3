// The catalogue of every sound file the program names, in the order the generator writes them.
#include "tools/soundgen/catalogue.h"

#include <cstdio>

namespace snd
{

void AddGroup(std::vector<Recipe> &out, const std::string &prefix, int count, double fade_in,
              double fade_out, const Variant &make)
{
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "%s%02d", prefix.c_str(), i);
        out.push_back({name, Kind::Ambient, kRate, fade_in, fade_out,
                       [make, i](Ctx &c) { return make(c, i); }});
    }
}

void AddCue(std::vector<Recipe> &out, const std::string &name,
            const std::function<Buffer(Ctx &)> &make)
{
    // Cues start at once (they have 0.3 s to be recognised), so the fade in is only long
    // enough to avoid a click.
    out.push_back({name, Kind::Cue, kRate, 0.005, 0.025, make});
}

std::vector<Recipe> Catalogue()
{
    std::vector<Recipe> all;
    AddNatureSounds(all);
    AddInstrumentSounds(all);
    AddCueSounds(all);
    return all;
}

Buffer Render(const Recipe &recipe, FinishReport *report)
{
    Ctx ctx{static_cast<double>(recipe.sample_rate), Rng(SeedOf(recipe.name.c_str()))};
    Buffer buf = recipe.make(ctx);
    const FinishReport r = Finish(buf, ctx.sr, recipe.kind, recipe.fade_in, recipe.fade_out);
    if (report) *report = r;
    return buf;
}

} // namespace snd
