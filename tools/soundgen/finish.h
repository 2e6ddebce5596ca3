// Turning a synthesised buffer into a finished file: DC removal, fades, loudness normalisation,
// peak limiting and 16-bit conversion; plus the level measurements used for reporting.
#pragma once

#include "tools/soundgen/dsp.h"

#include <cstdint>
#include <vector>

namespace snd
{

// Ambient loops are matched in loudness; cues (time signal, jellyfish) are short and peaky.
enum class Kind { Ambient, Cue };

inline constexpr double kAmbientRmsDb = -20.0; // common loudness of every ambient file
inline constexpr double kCueRmsDb = -16.0;     // cues aim here unless their peaks say otherwise
inline constexpr double kCeilingDb = -1.5;     // peak ceiling, with margin below -1 dBFS

// Loudness as RMS over the non-silent portion: the signal is cut in 50 ms blocks, and blocks more
// than 40 dB below the loudest block (or below -70 dBFS) are left out.
double ActiveRmsDb(const Buffer &buf, double sr);
double PeakDb(const Buffer &buf);

// Raised-cosine fade in over the first `fade_in` and out over the last `fade_out` seconds.
void ApplyFades(Buffer &buf, double sr, double fade_in, double fade_out);

// Look-ahead limiter: the gain needed to keep each sample under `ceiling` is spread over +-10 ms
// (sliding minimum, then a moving average no wider than it), so peaks are held down smoothly
// instead of being clipped. Returns the largest gain reduction applied, in dB.
double LimitPeak(Buffer &buf, double sr, double ceiling);

struct FinishReport {
    double peak_db;
    double rms_db;
    double max_reduction_db;
};

// Removes DC, applies the fades, then normalises to the kind's loudness and holds the peaks
// under the ceiling.
FinishReport Finish(Buffer &buf, double sr, Kind kind, double fade_in, double fade_out);

// Rounds to 16-bit samples (full scale 32767).
std::vector<int16_t> ToPcm16(const Buffer &buf);

} // namespace snd
