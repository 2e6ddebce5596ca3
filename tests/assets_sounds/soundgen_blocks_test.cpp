// Checks the synthesizer's building blocks directly: the seeded random source, the limiter and
// finishing chain, the WAV encoder and writer, the spectrogram picture and the catalogue.
#include "tools/soundgen/catalogue.h"
#include "tools/soundgen/dsp.h"
#include "tools/soundgen/finish.h"
#include "tools/soundgen/sonogram.h"
#include "tools/soundgen/wav.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

namespace
{

TEST(SoundgenRng, SameSeedSameStreamAndIntsCoverTheirBounds)
{
    snd::Rng a(42), b(42), c(43);
    bool differs = false;
    for (int i = 0; i < 100; ++i) {
        const uint64_t va = a.Next();
        EXPECT_EQ(va, b.Next());
        differs |= va != c.Next();
    }
    EXPECT_TRUE(differs);

    std::set<int> seen;
    for (int i = 0; i < 2000; ++i) {
        const int v = a.Int(3, 7);
        ASSERT_GE(v, 3);
        ASSERT_LE(v, 7);
        seen.insert(v);
        const double u = a.Uniform();
        ASSERT_GE(u, 0.0);
        ASSERT_LT(u, 1.0);
    }
    EXPECT_EQ(seen.size(), 5u) << "both ends of an inclusive range must occur";
    EXPECT_NE(snd::SeedOf("drop00"), snd::SeedOf("drop01"));
}

TEST(SoundgenFinish, LimiterHoldsTheCeilingAndLeavesDistantSamplesAlone)
{
    const double sr = 22050;
    snd::Buffer buf(22050);
    for (std::size_t i = 0; i < buf.size(); ++i)
        buf[i] = 0.3 * std::sin(2 * snd::kPi * 440 * i / sr);
    buf[11000] = 3.0; // a spike 20 dB over the ceiling
    buf[11001] = -2.5;
    const snd::Buffer before = buf;
    const double reduction = snd::LimitPeak(buf, sr, 0.5);
    for (double v : buf)
        ASSERT_LE(std::fabs(v), 0.5 + 1e-12);
    EXPECT_NEAR(reduction, 20.0 * std::log10(3.0 / 0.5), 0.01);
    // The gain reduction is spread over +-20 ms at most; further away nothing changes.
    for (std::size_t i = 0; i < buf.size(); ++i) {
        if (i + 500 < 11000 || i > 11001 + 500) {
            ASSERT_EQ(buf[i], before[i]) << i;
        }
    }
    // And it is smooth: next to the spike the sine is turned down, not cut off.
    EXPECT_GT(std::fabs(buf[10990]), 0.0);
}

TEST(SoundgenFinish, AmbientReachesTheCommonLoudnessEvenWhenSpiky)
{
    const double sr = 22050;
    snd::Rng rng(7);
    snd::Buffer spiky(3 * 22050, 0.0);
    // Sparse plinks over faint noise: a high crest factor that forces the limiter to work.
    for (std::size_t i = 0; i < spiky.size(); ++i)
        spiky[i] = 0.002 * rng.Bipolar();
    for (double t = 0.1; t < 2.8; t += 0.4)
        snd::AddMode(spiky, sr, t, 1200, 1.0, 0.08);
    const snd::FinishReport r = snd::Finish(spiky, sr, snd::Kind::Ambient, 0.01, 0.1);
    EXPECT_NEAR(r.rms_db, snd::kAmbientRmsDb, 0.3);
    EXPECT_LE(r.peak_db, snd::kCeilingDb + 1e-9);
    EXPECT_EQ(spiky.front(), 0.0);
    EXPECT_EQ(spiky.back(), 0.0);
}

TEST(SoundgenFinish, CuesAreNeverRaisedAboveTheCeilingToReachLoudness)
{
    const double sr = 22050;
    // A sparse click train: one click in every 50 ms block, so reaching the loudness target
    // would need peaks far above full scale.
    snd::Buffer ping(11025, 0.0);
    for (std::size_t i = 441; i + 441 < ping.size(); i += 882)
        ping[i] = 0.01;
    const snd::FinishReport r = snd::Finish(ping, sr, snd::Kind::Cue, 0.005, 0.02);
    EXPECT_NEAR(r.peak_db, snd::kCeilingDb, 0.05);
    EXPECT_LT(r.rms_db, snd::kCueRmsDb);
    EXPECT_NEAR(r.max_reduction_db, 0.0, 1e-9) << "scaled to the ceiling, so nothing to limit";
}

TEST(SoundgenFinish, ActiveRmsIgnoresSilence)
{
    const double sr = 22050;
    snd::Buffer tone(22050, 0.0);
    for (std::size_t i = 0; i < tone.size(); ++i)
        tone[i] = 0.1 * std::sin(2 * snd::kPi * 500 * i / sr); // -23 dBFS RMS
    snd::Buffer padded(tone);
    padded.resize(5 * 22050, 0.0); // four seconds of silence after it
    EXPECT_NEAR(snd::ActiveRmsDb(tone, sr), -23.01, 0.05);
    EXPECT_NEAR(snd::ActiveRmsDb(padded, sr), -23.01, 0.05);
}

TEST(SoundgenWav, EncodesTheHeaderAndLittleEndianSamples)
{
    const std::vector<uint8_t> b = wav::EncodeMono16(22050, {0, 1, -1, 32767, -32768});
    ASSERT_EQ(b.size(), 44u + 10u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(b[4] | b[5] << 8, 36 + 10);
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(b[24] | b[25] << 8 | b[26] << 16, 22050);
    EXPECT_EQ(b[28] | b[29] << 8 | b[30] << 16, 44100); // bytes per second
    EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
    const std::vector<uint8_t> samples(b.begin() + 44, b.end());
    EXPECT_EQ(samples, (std::vector<uint8_t>{0, 0, 1, 0, 0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x80}));
}

TEST(SoundgenWav, RewritesOnlyWhenTheBytesChange)
{
    namespace fs = std::filesystem;
    const fs::path path = fs::temp_directory_path() / "zelmo-soundgen-write-test.wav";
    fs::remove(path);
    const std::vector<uint8_t> one = {1, 2, 3}, two = {1, 2, 4};
    ASSERT_TRUE(wav::WriteIfChanged(path.string(), one));
    const auto old_time = fs::file_time_type::clock::now() - std::chrono::hours(1);
    fs::last_write_time(path, old_time);
    ASSERT_TRUE(wav::WriteIfChanged(path.string(), one));
    EXPECT_EQ(fs::last_write_time(path), old_time) << "unchanged bytes must not be rewritten";
    ASSERT_TRUE(wav::WriteIfChanged(path.string(), two));
    EXPECT_NE(fs::last_write_time(path), old_time);
    EXPECT_EQ(fs::file_size(path), 3u);
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(in.seekg(2).get(), 4);
    fs::remove(path);
}

TEST(SoundgenSpectrogram, ToneShowsAtItsFrequencyFromWhenItStarts)
{
    const int sr = 22050;
    std::vector<int16_t> pcm(sr, 0);
    for (int i = sr / 2; i < sr; ++i) // silent first half, 1 kHz in the second
        pcm[i] = static_cast<int16_t>(16000 * std::sin(2 * snd::kPi * 1000 * i / sr));
    const spectrogram::Image img = spectrogram::Render(pcm, sr);
    ASSERT_EQ(img.pixels.size(), static_cast<std::size_t>(img.width) * img.height);
    const auto brightness = [&](int x, int row) {
        const uint32_t p = img.pixels[static_cast<std::size_t>(row) * img.width + x];
        return ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF);
    };
    const auto brightest_row = [&](int x) {
        int best = 0;
        for (int r = 0; r < img.height; ++r)
            if (brightness(x, r) > brightness(x, best)) best = r;
        return best;
    };
    // Log frequency axis from 40 Hz to Nyquist, top row highest.
    const double expected_row =
        img.height - 1 - std::log(1000.0 / 40.0) / std::log(11025.0 / 40.0) * img.height;
    const int late = img.width * 3 / 4, early = img.width / 8;
    EXPECT_NEAR(brightest_row(late), expected_row, 3.0);
    EXPECT_GT(brightness(late, brightest_row(late)), 600);
    EXPECT_LT(brightness(early, static_cast<int>(expected_row)), 60) << "silence must be dark";
}

TEST(SoundgenCatalogue, NamesAreUniqueAndRenderingIsRepeatable)
{
    const auto all = snd::Catalogue();
    std::set<std::string> names;
    for (const auto &r : all) {
        EXPECT_TRUE(names.insert(r.name).second) << "duplicate " << r.name;
        EXPECT_TRUE(r.sample_rate == 22050 || r.sample_rate == 44100) << r.name;
        EXPECT_GE(r.fade_in, 0.003) << r.name;
        EXPECT_GE(r.fade_out, 0.003) << r.name;
    }
    // Rendering one recipe twice in a process gives identical samples (no hidden state).
    const auto it =
        std::find_if(all.begin(), all.end(), [](const auto &r) { return r.name == "jelly01"; });
    ASSERT_NE(it, all.end());
    EXPECT_EQ(snd::Render(*it), snd::Render(*it));
}

} // namespace
