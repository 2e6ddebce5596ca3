// Checks the generated sound library: file set and names, WAV format, durations, levels, fades,
// loudness matching, that variations differ, that each group has its expected character, and
// that the synthesizer is deterministic. The WAV reader and the measurements are written here
// independently of the synthesizer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <numbers>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

#include "tools/soundgen/sonogram.h"

namespace fs = std::filesystem;

namespace
{

const std::vector<std::string> kAmbientPrefixes = {"crickt", "bird",   "water", "wave_",
                                                   "w_bell", "karinb", "drop",  "b_bell",
                                                   "train",  "cicada", "myst"};
// The user groups play files chosen by the user, so none is generated.
const std::vector<std::string> kUserPrefixes = {"user1-", "user2-", "user3-"};
const std::vector<std::string> kTimeSignal = {"alarm99", "star1",    "star2",    "tree1",  "tree2",
                                              "bell",    "monster1", "monster2", "snowman"};
const std::vector<std::string> kJelly = {"jellybb",  "jhide",   "jchange", "jadult",
                                         "jellyend", "jelly01", "jelly02", "jelly03",
                                         "jelly04",  "jelly05", "jelly06"};

struct Wav {
    int rate = 0;
    std::vector<int16_t> samples;
    std::vector<uint8_t> bytes;
    double Seconds() const { return static_cast<double>(samples.size()) / rate; }
};

uint32_t Le(const std::vector<uint8_t> &b, std::size_t at, int n)
{
    uint32_t v = 0;
    for (int i = n - 1; i >= 0; --i)
        v = (v << 8) | b[at + i];
    return v;
}

std::vector<uint8_t> ReadBytes(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Parses the one layout we ship: RIFF/WAVE, a 16-byte PCM fmt chunk, then the data chunk.
// Returns nothing (and records why) for anything else.
std::optional<Wav> ParseWav(const fs::path &path, std::string *why)
{
    Wav w;
    w.bytes = ReadBytes(path);
    const auto &b = w.bytes;
    const auto fail = [why](const char *m) {
        *why = m;
        return std::nullopt;
    };
    if (b.size() < 44) return fail("shorter than a header");
    if (std::string(b.begin(), b.begin() + 4) != "RIFF") return fail("no RIFF tag");
    if (Le(b, 4, 4) != b.size() - 8) return fail("RIFF size does not match the file");
    if (std::string(b.begin() + 8, b.begin() + 16) != "WAVEfmt ") return fail("no WAVE/fmt");
    if (Le(b, 16, 4) != 16) return fail("fmt chunk is not the plain 16 bytes");
    if (Le(b, 20, 2) != 1) return fail("not PCM");
    if (Le(b, 22, 2) != 1) return fail("not mono");
    w.rate = static_cast<int>(Le(b, 24, 4));
    if (w.rate != 22050 && w.rate != 44100) return fail("rate is neither 22050 nor 44100");
    if (Le(b, 28, 4) != static_cast<uint32_t>(w.rate) * 2) return fail("wrong byte rate");
    if (Le(b, 32, 2) != 2 || Le(b, 34, 2) != 16) return fail("not 16-bit");
    if (std::string(b.begin() + 36, b.begin() + 40) != "data") return fail("no data chunk");
    if (Le(b, 40, 4) != b.size() - 44) return fail("data size does not match the file");
    for (std::size_t i = 44; i + 1 < b.size(); i += 2)
        w.samples.push_back(static_cast<int16_t>(Le(b, i, 2)));
    return w;
}

// --- the file set ---------------------------------------------------------------------------

const fs::path kSoundDir = ZELMO_SOUND_DIR;

std::optional<std::string> AmbientPrefixOf(const std::string &stem)
{
    for (const auto &p : kAmbientPrefixes)
        if (stem.size() == p.size() + 2 && stem.compare(0, p.size(), p) == 0 &&
            std::isdigit(static_cast<unsigned char>(stem[p.size()])) &&
            std::isdigit(static_cast<unsigned char>(stem[p.size() + 1])))
            return p;
    return std::nullopt;
}

std::vector<std::string> WavStems(const fs::path &dir)
{
    std::vector<std::string> stems;
    for (const auto &e : fs::directory_iterator(dir))
        if (e.path().extension() == ".wav") stems.push_back(e.path().stem().string());
    std::sort(stems.begin(), stems.end());
    return stems;
}

// Every file, parsed once; a file that fails to parse is reported by the format test.
const std::map<std::string, Wav> &Library()
{
    static const std::map<std::string, Wav> lib = [] {
        std::map<std::string, Wav> m;
        std::string why;
        for (const auto &stem : WavStems(kSoundDir))
            if (auto w = ParseWav(kSoundDir / (stem + ".wav"), &why)) m[stem] = std::move(*w);
        return m;
    }();
    return lib;
}

std::map<std::string, std::vector<std::string>> AmbientGroups()
{
    std::map<std::string, std::vector<std::string>> groups;
    for (const auto &[stem, w] : Library())
        if (auto p = AmbientPrefixOf(stem)) groups[*p].push_back(stem);
    return groups;
}

bool IsCue(const std::string &stem)
{
    return std::count(kTimeSignal.begin(), kTimeSignal.end(), stem) +
               std::count(kJelly.begin(), kJelly.end(), stem) >
           0;
}

// --- measurements ---------------------------------------------------------------------------

double ToDb(double power)
{
    return 10.0 * std::log10(std::max(power, 1e-20));
}

std::vector<double> Normalised(const Wav &w)
{
    std::vector<double> x(w.samples.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = w.samples[i] / 32768.0;
    return x;
}

// Mean power of consecutive blocks of `seconds`.
std::vector<double> BlockPower(const Wav &w, double seconds)
{
    const auto x = Normalised(w);
    const std::size_t n = std::max<std::size_t>(1, static_cast<std::size_t>(seconds * w.rate));
    std::vector<double> p;
    for (std::size_t s = 0; s + n <= x.size(); s += n) {
        double sum = 0;
        for (std::size_t i = s; i < s + n; ++i)
            sum += x[i] * x[i];
        p.push_back(sum / n);
    }
    return p;
}

// Loudness: RMS over the non-silent portion, i.e. over the 50 ms blocks within 40 dB of the
// loudest block (and above -70 dBFS).
double ActiveRmsDb(const Wav &w)
{
    const auto p = BlockPower(w, 0.05);
    const double gate = std::max(*std::max_element(p.begin(), p.end()) * 1e-4, 1e-7);
    double sum = 0;
    int n = 0;
    for (double v : p) {
        if (v >= gate) {
            sum += v;
            ++n;
        }
    }
    return ToDb(sum / n);
}

using spectrogram::Fft;

// Average power spectrum (1024-point Hann frames, half overlap); bin k is k * rate / 1024 Hz.
std::vector<double> PowerSpectrum(const Wav &w)
{
    constexpr std::size_t kN = 1024;
    const auto x = Normalised(w);
    std::vector<double> power(kN / 2, 0.0);
    std::vector<std::complex<double>> f(kN);
    for (std::size_t s = 0; s + kN <= x.size(); s += kN / 2) {
        for (std::size_t i = 0; i < kN; ++i)
            f[i] = x[s + i] * (0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / kN));
        Fft(f);
        for (std::size_t k = 0; k < kN / 2; ++k)
            power[k] += std::norm(f[k]);
    }
    return power;
}

double BinHz(const Wav &w, std::size_t k)
{
    return k * static_cast<double>(w.rate) / 1024.0;
}

double DominantHz(const Wav &w)
{
    const auto s = PowerSpectrum(w);
    return BinHz(w, std::max_element(s.begin() + 1, s.end()) - s.begin());
}

double EnergyShareAbove(const Wav &w, double hz)
{
    const auto s = PowerSpectrum(w);
    double above = 0, total = 0;
    for (std::size_t k = 0; k < s.size(); ++k) {
        total += s[k];
        if (BinHz(w, k) >= hz) above += s[k];
    }
    return above / total;
}

// Energy in twelve octave-ish bands from 50 Hz up, in dB relative to the total.
std::vector<double> BandProfileDb(const Wav &w)
{
    const auto s = PowerSpectrum(w);
    std::vector<double> bands(12, 1e-12);
    double total = 0;
    for (std::size_t k = 1; k < s.size(); ++k) {
        const double hz = BinHz(w, k);
        const int b = std::clamp(static_cast<int>(std::log2(hz / 50.0) * 1.5), 0, 11);
        bands[b] += s[k];
        total += s[k];
    }
    for (double &b : bands)
        b = ToDb(b / total);
    return bands;
}

// How much the level moves: standard deviation of the 100 ms block levels in dB (over blocks
// within 40 dB of the loudest).
double LevelSpreadDb(const Wav &w)
{
    const auto p = BlockPower(w, 0.1);
    const double top = *std::max_element(p.begin(), p.end());
    std::vector<double> db;
    for (double v : p)
        if (v >= top * 1e-4) db.push_back(ToDb(v));
    double mean = 0, var = 0;
    for (double d : db)
        mean += d / db.size();
    for (double d : db)
        var += (d - mean) * (d - mean) / db.size();
    return std::sqrt(var);
}

// Level of consecutive 0.5 s blocks in dB: the broad shape of a file in time (its swells,
// phrases and pauses), which a reseeded run of the same recipe keeps.
std::vector<double> CoarseEnvelopeDb(const Wav &w)
{
    std::vector<double> env;
    for (double p : BlockPower(w, 0.5))
        env.push_back(std::max(ToDb(p), -60.0));
    return env;
}

struct Features {
    double seconds;
    std::vector<double> bands;
    double spread;
    std::vector<double> envelope;
};

const Features &FeaturesOf(const std::string &stem)
{
    static std::map<std::string, Features> cache;
    auto it = cache.find(stem);
    if (it == cache.end()) {
        const Wav &w = Library().at(stem);
        it = cache
                 .emplace(stem, Features{w.Seconds(), BandProfileDb(w), LevelSpreadDb(w),
                                         CoarseEnvelopeDb(w)})
                 .first;
    }
    return it->second;
}

// --- tests ----------------------------------------------------------------------------------

TEST(SoundFiles, EveryCueExists)
{
    for (const auto &list : {kTimeSignal, kJelly})
        for (const auto &name : list)
            EXPECT_TRUE(fs::exists(kSoundDir / (name + ".wav"))) << name;
}

TEST(SoundFiles, AmbientGroupsAreNumberedFromZeroWithoutGaps)
{
    const auto stems = WavStems(kSoundDir);
    for (const auto &prefix : kAmbientPrefixes) {
        std::vector<int> numbers;
        for (const auto &s : stems) {
            if (s.compare(0, prefix.size(), prefix) != 0) continue;
            const auto p = AmbientPrefixOf(s);
            ASSERT_TRUE(p && *p == prefix)
                << s << " has the prefix " << prefix << " but is not " << prefix << "NN";
            numbers.push_back(std::stoi(s.substr(prefix.size())));
        }
        ASSERT_GE(numbers.size(), 4u) << prefix;
        for (std::size_t i = 0; i < numbers.size(); ++i)
            EXPECT_EQ(numbers[i], static_cast<int>(i)) << prefix << ": numbering has a gap";
    }
}

TEST(SoundFiles, NothingButTheNamedFiles)
{
    for (const auto &e : fs::directory_iterator(kSoundDir)) {
        const std::string stem = e.path().stem().string();
        EXPECT_EQ(e.path().extension(), ".wav") << e.path();
        EXPECT_TRUE(AmbientPrefixOf(stem) || IsCue(stem)) << "unexpected file " << e.path();
        for (const auto &u : kUserPrefixes)
            EXPECT_NE(stem.compare(0, u.size(), u), 0) << "user group files are not generated";
    }
}

TEST(SoundFiles, NoGroupPrefixBeginsACueName)
{
    std::vector<std::string> prefixes = kAmbientPrefixes;
    prefixes.insert(prefixes.end(), kUserPrefixes.begin(), kUserPrefixes.end());
    for (const auto &list : {kTimeSignal, kJelly})
        for (const auto &name : list)
            for (const auto &p : prefixes)
                EXPECT_NE(name.compare(0, p.size(), p), 0) << p << " begins " << name;
}

TEST(SoundFormat, EveryFileIsPcm16MonoWithItsDuration)
{
    const auto stems = WavStems(kSoundDir);
    ASSERT_FALSE(stems.empty());
    for (const auto &stem : stems) {
        std::string why;
        const auto w = ParseWav(kSoundDir / (stem + ".wav"), &why);
        ASSERT_TRUE(w) << stem << ": " << why;
        const double s = w->Seconds();
        if (AmbientPrefixOf(stem)) {
            EXPECT_GE(s, 1.5) << stem;
            EXPECT_LE(s, 8.0) << stem;
        } else {
            EXPECT_GE(s, 0.2) << stem;
            EXPECT_LE(s, 1.0) << stem;
        }
    }
}

TEST(SoundLevels, PeaksStayAtOrBelowMinusOneDbfs)
{
    const int ceiling = static_cast<int>(32768.0 * std::pow(10.0, -1.0 / 20.0)); // 29204
    for (const auto &[stem, w] : Library()) {
        int peak = 0;
        for (int16_t v : w.samples)
            peak = std::max(peak, std::abs(static_cast<int>(v)));
        EXPECT_LE(peak, ceiling) << stem;
        EXPECT_GT(peak, 3000) << stem << " is nearly silent";
    }
}

TEST(SoundLevels, BothEndsAreFaded)
{
    for (const auto &[stem, w] : Library()) {
        const auto &s = w.samples;
        EXPECT_LE(std::abs(s.front()), 64) << stem;
        EXPECT_LE(std::abs(s.back()), 64) << stem;
        // Within the first and last millisecond the level is still far below full scale.
        const std::size_t ms = w.rate / 1000;
        for (std::size_t i = 0; i < ms; ++i)
            for (std::size_t at : {i, s.size() - 1 - i})
                EXPECT_LE(std::abs(s[at]), 3300) << stem << " sample " << at;
    }
}

TEST(SoundLevels, AmbientFilesShareOneLoudness)
{
    std::map<std::string, double> rms;
    double mean = 0;
    for (const auto &[stem, w] : Library())
        if (AmbientPrefixOf(stem)) rms[stem] = ActiveRmsDb(w);
    ASSERT_FALSE(rms.empty());
    for (const auto &[stem, db] : rms)
        mean += db / rms.size();
    for (const auto &[stem, db] : rms)
        EXPECT_NEAR(db, mean, 3.0) << stem;
    EXPECT_GT(mean, -30.0);
}

TEST(SoundCues, RecognisableWithinTheFirst300Milliseconds)
{
    for (const auto &[stem, w] : Library()) {
        if (!IsCue(stem)) continue;
        const auto p = BlockPower(w, 0.01);
        const double loudest = *std::max_element(p.begin(), p.end());
        // Sound starts within 20 ms...
        const auto first = std::find_if(p.begin(), p.end(), [](double v) { return v > 1e-4; });
        EXPECT_LE(first - p.begin(), 2) << stem << " starts late";
        // ...and reaches (nearly) its full level before the 300 ms cut.
        const double early =
            *std::max_element(p.begin(), p.begin() + std::min<std::size_t>(30, p.size()));
        EXPECT_GE(ToDb(early), ToDb(loudest) - 6.0) << stem << " is loudest only after 0.3 s";
    }
}

TEST(SoundGroups, VariationsAreNotCopies)
{
    for (const auto &[prefix, stems] : AmbientGroups()) {
        for (std::size_t i = 0; i < stems.size(); ++i) {
            for (std::size_t j = i + 1; j < stems.size(); ++j) {
                const Wav &a = Library().at(stems[i]), &b = Library().at(stems[j]);
                EXPECT_NE(a.bytes, b.bytes) << stems[i] << " and " << stems[j] << " are identical";
                // Meaningfully different: another length, spectrum, amount of level movement
                // or broad shape in time. Rerunning one recipe with another random seed changes
                // none of these much, so this also catches a variant number that is ignored.
                const Features &fa = FeaturesOf(stems[i]), &fb = FeaturesOf(stems[j]);
                const double length =
                    std::fabs(fa.seconds - fb.seconds) / std::max(fa.seconds, fb.seconds);
                double spectrum = 0; // mean band difference in dB, over bands that matter
                int bands = 0;
                for (std::size_t k = 0; k < fa.bands.size(); ++k) {
                    if (std::max(fa.bands[k], fb.bands[k]) > -40.0) {
                        spectrum += std::fabs(fa.bands[k] - fb.bands[k]);
                        ++bands;
                    }
                }
                spectrum /= std::max(1, bands);
                const double motion = std::fabs(fa.spread - fb.spread);
                double shape = 0; // mean difference of the 0.5 s levels, fades left out
                const std::size_t blocks = std::min(fa.envelope.size(), fb.envelope.size());
                for (std::size_t k = 1; k + 1 < blocks; ++k)
                    shape += std::fabs(fa.envelope[k] - fb.envelope[k]) /
                             static_cast<double>(blocks - 2);
                EXPECT_TRUE(length >= 0.05 || spectrum >= 2.0 || motion >= 1.5 || shape >= 3.0)
                    << stems[i] << " vs " << stems[j] << ": length " << length << ", spectrum "
                    << spectrum << " dB, level motion " << motion << " dB, shape " << shape
                    << " dB";
            }
        }
    }
}

TEST(SoundGroups, EachGroupHasItsCharacter)
{
    for (const auto &[stem, w] : Library()) {
        const auto p = AmbientPrefixOf(stem);
        if (!p) continue;
        if (*p == "crickt") {
            // Chirps on a carrier of a few kHz, in pulses: the level jumps around.
            const double f = DominantHz(w);
            EXPECT_TRUE(f > 2800 && f < 6000) << stem << " dominant " << f;
            EXPECT_GT(LevelSpreadDb(w), 2.0) << stem;
        } else if (*p == "cicada") {
            EXPECT_GT(EnergyShareAbove(w, 2500), 0.6) << stem;
        } else if (*p == "b_bell") {
            // A low hum that is still ringing seconds after the strike.
            EXPECT_LT(DominantHz(w), 400) << stem;
            const auto q = BlockPower(w, 1.0);
            EXPECT_GT(ToDb(q[3]), ToDb(q[0]) - 20.0) << stem << " dies too soon";
        } else if (*p == "w_bell") {
            const double f = DominantHz(w);
            EXPECT_TRUE(f > 1200 && f < 3500) << stem << " dominant " << f;
        } else if (*p == "wave_") {
            // Slow swells of mostly low, noisy sound.
            EXPECT_LT(EnergyShareAbove(w, 2000), 0.3) << stem;
            const auto q = BlockPower(w, 0.5);
            const auto [lo, hi] = std::minmax_element(q.begin() + 1, q.end() - 2);
            EXPECT_GT(ToDb(*hi) - ToDb(*lo), 6.0) << stem << " does not swell";
        } else if (*p == "drop" || *p == "karinb") {
            const double f = DominantHz(w);
            EXPECT_TRUE(f > 250 && f < 3000) << stem << " dominant " << f;
        }
    }
}

#ifdef ZELMO_SOUNDGEN
int RunGenerator(const fs::path &out)
{
    const std::string cmd =
        std::string("\"") + ZELMO_SOUNDGEN + "\" \"" + out.string() + "\" > \"" +
        (out.parent_path() / (out.filename().string() + ".log")).string() + "\"";
    return std::system(cmd.c_str());
}

TEST(SoundGenerator, IsDeterministic)
{
    const fs::path base =
        fs::temp_directory_path() / ("zelmo-sounds-test-" + std::to_string(::getpid()));
    fs::remove_all(base);
    fs::create_directories(base);
    ASSERT_EQ(RunGenerator(base / "a"), 0);
    ASSERT_EQ(RunGenerator(base / "b"), 0);
    const auto stems = WavStems(base / "a");
    EXPECT_EQ(stems, WavStems(base / "b"));
    EXPECT_EQ(stems, WavStems(kSoundDir)) << "the build's sounds are out of date";
    for (const auto &s : stems) {
        const auto a = ReadBytes(base / "a" / (s + ".wav"));
        EXPECT_EQ(a, ReadBytes(base / "b" / (s + ".wav"))) << s << " differs between runs";
        EXPECT_EQ(a, ReadBytes(kSoundDir / (s + ".wav"))) << s << " differs from the build's copy";
    }
    fs::remove_all(base);
}
#endif

} // namespace
