// The mixer's building blocks on their own: the equalizer's peaking filter
// at every mixer rate and the resampler.
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

#include <gtest/gtest.h>

#include "engine/param_eq.h"
#include "engine/resampler.h"

namespace qmb::engine {
namespace {

// Gain in dB of `filter` for a sine at `hz`, measured after it settled.
double MeasureGainDb(ParamEq& filter, double rate, double hz) {
  filter.Reset();
  int settle = static_cast<int>(rate);  // one second
  int measure = static_cast<int>(rate / 2);
  std::vector<float> frames(static_cast<std::size_t>(settle + measure) * 2);
  for (std::size_t i = 0; i < frames.size() / 2; ++i)
    frames[i * 2] = frames[i * 2 + 1] =
        static_cast<float>(0.25 * std::sin(2 * std::numbers::pi * hz * i / rate));
  filter.Process(frames.data(), settle + measure);
  double in = 0, out = 0;
  for (int i = settle; i < settle + measure; ++i) {
    double x = 0.25 * std::sin(2 * std::numbers::pi * hz * i / rate);
    in += x * x;
    out += frames[static_cast<std::size_t>(i) * 2] * frames[static_cast<std::size_t>(i) * 2];
  }
  return 10 * std::log10(out / in);
}

constexpr double kBands[] = {80, 170, 310, 600, 1000, 3000, 6000, 12000, 14000, 16000};
constexpr int kRates[] = {11000, 22050, 32000, 44100, 48000, 64000};

TEST(ParamEq, CentreGainIsExactAtEveryMixerRate) {
  for (int rate : kRates) {
    for (double centre : kBands) {
      // A band above Nyquist moves to 0.45 of the rate with its full gain.
      double at = std::min(centre, rate * 0.45);
      for (double gain : {15.0, 6.0, -15.0}) {
        ParamEq filter;
        filter.Configure(rate, centre, 18, gain);
        EXPECT_NEAR(MeasureGainDb(filter, rate, at), gain, 0.5)
            << rate << " Hz rate, " << centre << " Hz band, " << gain << " dB";
      }
    }
  }
}

TEST(ParamEq, FlatAtZeroAndStableEverywhere) {
  for (int rate : kRates) {
    for (double centre : kBands) {
      ParamEq flat;
      flat.Configure(rate, centre, 18, 0);
      EXPECT_TRUE(flat.IsFlat());
      EXPECT_NEAR(MeasureGainDb(flat, rate, 440), 0, 1e-6);
      for (double gain : {15.0, -15.0}) {
        for (double bandwidth : {1.0, 18.0, 36.0}) {
          ParamEq filter;
          filter.Configure(rate, centre, bandwidth, gain);
          // The impulse response dies away: no pole on or outside the circle.
          std::vector<float> impulse(static_cast<std::size_t>(rate) * 4, 0.0f);
          impulse[0] = impulse[1] = 1;
          filter.Process(impulse.data(), rate * 2);
          double tail = 0;
          for (std::size_t i = impulse.size() - 2000; i < impulse.size(); ++i)
            tail = std::max(tail, std::abs(static_cast<double>(impulse[i])));
          EXPECT_LT(tail, 1e-4) << rate << " " << centre << " " << gain << " " << bandwidth;
          EXPECT_TRUE(std::isfinite(tail));
        }
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
  struct Case {
    double hz;
    std::array<double, 10> db;
  } cases[] = {{100, {0, -1, -5, -6, -5, -3, -1, 0, 0, 0}},
               {100, {-15, -15, -15, -15, -15, -15, -15, -15, -15, -15}},
               {1000, {9, -10, 9, -10, 9, -10, 9, -10, 9, -10}}};
  for (const Case& c : cases) {
    std::array<ParamEq, 10> moved, always;
    std::array<ParamEq*, 10> movedChain, alwaysChain;
    for (int b = 0; b < 10; ++b) {
      moved[b].Configure(rate, kBands[b], 18, 0);
      always[b].Configure(rate, kBands[b], 18, c.db[b]);
      movedChain[b] = &moved[b];
      alwaysChain[b] = &always[b];
    }
    std::vector<float> heard(frames * 2), reference(frames * 2);
    for (int i = 0; i < frames; ++i)
      heard[i * 2] = heard[i * 2 + 1] = reference[i * 2] = reference[i * 2 + 1] =
          static_cast<float>(0.5 * std::sin(2 * std::numbers::pi * c.hz * i / rate));
    for (int at = 0; at < frames; at += block) {
      if (at == change)
        for (int b = 0; b < 10; ++b) moved[b].Configure(rate, kBands[b], 18, c.db[b]);
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
    EXPECT_LT(around, before + 0.005) << c.hz << " Hz, band 0 at " << c.db[0] << " dB";
    EXPECT_LT(after, 1e-3) << c.hz << " Hz, band 0 at " << c.db[0] << " dB";
  }
}

TEST(Resampler, KeepsPitchLevelAndLength) {
  struct Case {
    int in, out;
  };
  for (Case c : {Case{44100, 48000}, Case{48000, 44100}, Case{22050, 64000}, Case{44100, 11000},
                 Case{32000, 32000}}) {
    Resampler resampler(c.in, c.out);
    const double hz = 1000;
    std::vector<float> in(static_cast<std::size_t>(c.in) * 2);
    for (int i = 0; i < c.in; ++i)
      in[static_cast<std::size_t>(i) * 2] = in[static_cast<std::size_t>(i) * 2 + 1] =
          static_cast<float>(0.5 * std::sin(2 * std::numbers::pi * hz * i / c.in));
    std::vector<float> out;
    // In uneven pieces, as a decoder delivers them.
    for (std::size_t at = 0, piece = 1; at < in.size() / 2;
         at += piece, piece = piece * 3 % 997 + 1)
      resampler.Process(&in[at * 2], std::min(piece, in.size() / 2 - at), out);
    resampler.Flush(out);
    std::size_t frames = out.size() / 2;
    EXPECT_NEAR(static_cast<double>(frames), c.out, c.out * 0.01) << c.in << "->" << c.out;
    // Compare with the ideal sine away from the edges.
    double err = 0, sig = 0;
    for (std::size_t i = frames / 4; i < frames * 3 / 4; ++i) {
      double ideal = 0.5 * std::sin(2 * std::numbers::pi * hz * i / c.out);
      err += (out[i * 2] - ideal) * (out[i * 2] - ideal);
      sig += ideal * ideal;
      EXPECT_EQ(out[i * 2], out[i * 2 + 1]);
    }
    EXPECT_LT(10 * std::log10(err / sig), -60) << c.in << "->" << c.out;
  }
}

// A stream hands the stage blocks of any size, seeks reset it mid-signal
// and a flush ends one track before the next starts.
TEST(Resampler, BlocksSeeksAndFlushesLeaveNoTrace) {
  const int in = 48000, out = 44100;
  std::vector<float> tone(static_cast<std::size_t>(in) * 2);
  for (std::size_t i = 0; i < tone.size() / 2; ++i)
    tone[i * 2] = tone[i * 2 + 1] = static_cast<float>(0.8 * std::sin(0.37 * i));
  auto run = [&](std::size_t piece) {
    Resampler r(in, out);
    std::vector<float> result;
    for (std::size_t at = 0; at < tone.size() / 2; at += piece)
      r.Process(&tone[at * 2], std::min(piece, tone.size() / 2 - at), result);
    r.Flush(result);
    return result;
  };
  std::vector<float> whole = run(tone.size() / 2);
  for (std::size_t piece : {1u, 333u, 1024u}) {
    std::vector<float> pieces = run(piece);
    ASSERT_EQ(pieces.size(), whole.size()) << piece;
    for (std::size_t i = 0; i < whole.size(); ++i)
      ASSERT_NEAR(pieces[i], whole[i], 1e-6) << piece << " at " << i;
  }

  // After a reset (a seek) or a flush (a track's end), silence comes out silent.
  for (bool flush : {false, true}) {
    Resampler r(in, out);
    std::vector<float> result;
    r.Process(tone.data(), 4000, result);
    result.clear();
    if (flush) {
      r.Flush(result);
      result.clear();
    } else {
      r.Reset();
    }
    std::vector<float> silence(4000 * 2, 0.0f);
    r.Process(silence.data(), 4000, result);
    r.Flush(result);
    EXPECT_NEAR(static_cast<double>(result.size() / 2), 4000.0 * out / in, 2) << flush;
    for (float v : result) ASSERT_EQ(v, 0.0f) << flush;
  }
}

}  // namespace
}  // namespace qmb::engine
