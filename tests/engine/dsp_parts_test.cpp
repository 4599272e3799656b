// The mixer's building blocks on their own: the equalizer's peaking filter
// at every mixer rate and the resampler.
#include <array>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/param_eq.h"
#include "engine/resampler.h"

namespace qmb::engine {
namespace {

// `frames` stereo frames of a sine at `hz`, the same on both sides.
std::vector<float> Sine(double rate, double hz, int frames, double amplitude) {
  std::vector<float> out(static_cast<std::size_t>(frames) * 2);
  for (std::size_t i = 0; i < out.size() / 2; ++i)
    out[i * 2] = out[i * 2 + 1] =
        static_cast<float>(amplitude * std::sin(2 * std::numbers::pi * hz * i / rate));
  return out;
}

// Gain in dB of `filter` for a sine at `hz`, measured after a second to settle.
double MeasureGainDb(ParamEq& filter, double rate, double hz) {
  filter.Reset();
  const int settle = static_cast<int>(rate), measure = static_cast<int>(rate / 2);
  std::vector<float> frames = Sine(rate, hz, settle + measure, 0.25);
  auto power = [&] {
    double sum = 0;
    for (int i = settle; i < settle + measure; ++i) sum += frames[i * 2] * frames[i * 2];
    return sum;
  };
  const double in = power();
  filter.Process(frames.data(), settle + measure);
  return 10 * std::log10(power() / in);
}

constexpr double kBands[] = {80, 170, 310, 600, 1000, 3000, 6000, 12000, 14000, 16000};
constexpr int kRates[] = {11000, 22050, 32000, 44100, 48000, 64000};

// At its centre a band has its gain (a band above Nyquist moves to 0.45 of the
// rate with it) and a flat band changes nothing. The player's bandwidth is
// always 18; a filter that rang on would spoil these measurements.
TEST(ParamEq, CentreGainIsExactAndFlatIsFlatAtEveryMixerRate) {
  for (int rate : kRates) {
    for (double centre : kBands) {
      SCOPED_TRACE(std::to_string(rate) + " Hz rate, " + std::to_string(centre) + " Hz band");
      ParamEq flat;
      flat.Configure(rate, centre, 18, 0);
      EXPECT_TRUE(flat.IsFlat());
      EXPECT_NEAR(MeasureGainDb(flat, rate, 440), 0, 1e-6);
      for (double gain : {15.0, 6.0, -15.0}) {
        ParamEq filter;
        filter.Configure(rate, centre, 18, gain);
        EXPECT_NEAR(MeasureGainDb(filter, rate, std::min(centre, rate * 0.45)), gain, 0.5) << gain;
      }
    }
  }
}

// Moving bands, or a preset moving all ten at once, between two mix blocks:
// the sound must not jump (a click is a sudden step in its slope), and once
// the change has faded in it sounds as if the bands had always stood there.
TEST(ParamEq, RetunesFadeInWithoutAClick) {
  const double rate = 44100;
  const int block = 1024, frames = 44100, change = 22 * block;
  const std::pair<double, std::array<double, 10>> cases[] = {
      {100, {0, -1, -5, -6, -5, -3, -1, 0, 0, 0}},
      {100, {-15, -15, -15, -15, -15, -15, -15, -15, -15, -15}},
      {1000, {9, -10, 9, -10, 9, -10, 9, -10, 9, -10}}};
  for (const auto& [hz, db] : cases) {
    std::array<ParamEq, 10> moved, always;
    std::array<ParamEq*, 10> movedChain, alwaysChain;
    for (int b = 0; b < 10; ++b) {
      moved[b].Configure(rate, kBands[b], 18, 0);
      always[b].Configure(rate, kBands[b], 18, db[b]);
      movedChain[b] = &moved[b];
      alwaysChain[b] = &always[b];
    }
    std::vector<float> heard = Sine(rate, hz, frames, 0.5), reference = heard;
    for (int at = 0; at < frames; at += block) {
      if (at == change)
        for (int b = 0; b < 10; ++b) moved[b].Configure(rate, kBands[b], 18, db[b]);
      ParamEq::ProcessCascade(movedChain.data(), 10, &heard[at * 2], std::min(block, frames - at));
      ParamEq::ProcessCascade(alwaysChain.data(), 10, &reference[at * 2],
                              std::min(block, frames - at));
    }
    auto bend = [&](int i) {
      return std::abs(heard[(i + 1) * 2] - 2 * heard[i * 2] + heard[(i - 1) * 2]);
    };
    // The sine's own bend, at its level before and after the change.
    double before = 0, around = 0, after = 0;
    for (int i = change - 2000; i < change; ++i) before = std::max<double>(before, bend(i));
    for (int i = frames - 2000; i < frames - 1; ++i) before = std::max<double>(before, bend(i));
    for (int i = change; i < change + 2000; ++i) around = std::max<double>(around, bend(i));
    for (int i = change + 13000; i < frames; ++i)
      after = std::max<double>(after, std::abs(heard[i * 2] - reference[i * 2]));
    EXPECT_LT(around, before + 0.005) << hz << " Hz, band 0 at " << db[0] << " dB";
    EXPECT_LT(after, 1e-3) << hz << " Hz, band 0 at " << db[0] << " dB";
  }
}

// Blocks of any size, as a decoder delivers them, give the same result, of
// the right length, pitch and level; after a reset (a seek) or a flush (a
// track's end) silence comes out silent.
TEST(Resampler, KeepsPitchLevelAndLengthInAnyPiecesAndLeavesNoTrace) {
  for (auto [inRate, outRate] :
       {std::pair{44100, 48000}, {48000, 44100}, {22050, 64000}, {44100, 11000}, {32000, 32000}}) {
    SCOPED_TRACE(std::to_string(inRate) + " -> " + std::to_string(outRate));
    const double hz = 1000;
    const std::vector<float> in = Sine(inRate, hz, inRate, 0.5);
    auto run = [&](std::size_t piece) {  // 0: uneven pieces
      Resampler r(inRate, outRate);
      std::vector<float> out;
      for (std::size_t at = 0, n = piece ? piece : 1; at < in.size() / 2;
           at += n, n = piece ? piece : n * 3 % 997 + 1)
        r.Process(&in[at * 2], std::min(n, in.size() / 2 - at), out);
      r.Flush(out);
      return out;
    };
    const std::vector<float> out = run(in.size() / 2);
    for (std::size_t piece : {0u, 1u, 1024u}) {
      std::vector<float> pieces = run(piece);
      ASSERT_EQ(pieces.size(), out.size()) << piece;
      for (std::size_t i = 0; i < out.size(); ++i)
        ASSERT_NEAR(pieces[i], out[i], 1e-6) << piece << " at " << i;
    }
    std::size_t frames = out.size() / 2;
    EXPECT_NEAR(static_cast<double>(frames), outRate, outRate * 0.01);
    // Compare with the ideal sine away from the edges.
    double err = 0, sig = 0;
    for (std::size_t i = frames / 4; i < frames * 3 / 4; ++i) {
      double ideal = 0.5 * std::sin(2 * std::numbers::pi * hz * i / outRate);
      err += (out[i * 2] - ideal) * (out[i * 2] - ideal);
      sig += ideal * ideal;
      EXPECT_EQ(out[i * 2], out[i * 2 + 1]);
    }
    EXPECT_LT(10 * std::log10(err / sig), -60);

    for (bool flush : {false, true}) {
      Resampler r(inRate, outRate);
      std::vector<float> result;
      r.Process(in.data(), 4000, result);
      if (flush) r.Flush(result);
      if (!flush) r.Reset();
      result.clear();
      std::vector<float> silence(4000 * 2, 0.0f);
      r.Process(silence.data(), 4000, result);
      r.Flush(result);
      EXPECT_NEAR(result.size() / 2.0, 4000.0 * outRate / inRate, 2) << flush;
      EXPECT_TRUE(std::all_of(result.begin(), result.end(), [](float v) { return v == 0; }))
          << flush;
    }
  }
}

}  // namespace
}  // namespace qmb::engine
