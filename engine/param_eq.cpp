#include "engine/param_eq.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qmb::engine {

void ParamEq::Configure(double rate, double center, double bandwidth, double gain) {
  // Centres at or above Nyquist move just below it; the Q form keeps the
  // poles inside the unit circle there, unlike the warped-bandwidth form.
  center = std::clamp(center, 10.0, rate * 0.45);
  bandwidth = std::clamp(bandwidth, 0.1, 48.0);
  gain = std::clamp(gain, -30.0, 30.0);
  if (running_) {
    // What plays now fades out: the old response, or the sound unchanged
    // when the band was flat (and skipped).
    old_ = IsFlat() ? Biquad{} : Biquad{b0_, b1_, b2_, a1_, a2_, s1_, s2_};
    if (IsFlat() || gain == 0) s1_ = s2_ = Pair{0, 0};
    fadeLength_ = fade_ = std::max(1, static_cast<int>(rate * kFadeSeconds));
  }
  flat_ = gain == 0;
  double a = std::pow(10.0, gain / 40.0);
  double w0 = 2 * std::numbers::pi * center / rate;
  double octaves = bandwidth / 12.0;
  double q = 1.0 / (2.0 * std::sinh(std::numbers::ln2 / 2.0 * octaves));
  double alpha = std::sin(w0) / (2.0 * q);
  double cosw = std::cos(w0);
  double a0 = 1 + alpha / a;
  b0_ = (1 + alpha * a) / a0;
  b1_ = -2 * cosw / a0;
  b2_ = (1 - alpha * a) / a0;
  a1_ = -2 * cosw / a0;
  a2_ = (1 - alpha / a) / a0;
}

void ParamEq::FlushDenormals(Pair& s) {
  // Denormals would slow the mixing thread down in long silences.
  for (int c = 0; c < 2; ++c) {
    if (std::abs(s[c]) < 1e-25) s[c] = 0;
  }
}

void ParamEq::ProcessCascade(ParamEq* const* filters, int filterCount, float* frames, int count) {
  constexpr int kMax = 32;
  ParamEq* live[kMax];
  int n = 0;
  bool fading = false;
  for (int f = 0; f < filterCount && n < kMax; ++f) {
    filters[f]->running_ = true;
    if (filters[f]->IsFlat()) continue;
    fading = fading || filters[f]->fade_ > 0;
    live[n++] = filters[f];
  }
  if (n == 0) return;
  if (fading) {
    ProcessFading(live, n, frames, count);
    return;
  }
  Pair b0[kMax], b1[kMax], b2[kMax], a1[kMax], a2[kMax], s1[kMax], s2[kMax];
  for (int k = 0; k < n; ++k) {
    b0[k] = Pair{live[k]->b0_, live[k]->b0_};
    b1[k] = Pair{live[k]->b1_, live[k]->b1_};
    b2[k] = Pair{live[k]->b2_, live[k]->b2_};
    a1[k] = Pair{live[k]->a1_, live[k]->a1_};
    a2[k] = Pair{live[k]->a2_, live[k]->a2_};
    s1[k] = live[k]->s1_;
    s2[k] = live[k]->s2_;
  }
  for (int i = 0; i < count; ++i) {
    Pair x = {frames[i * 2], frames[i * 2 + 1]};
    for (int k = 0; k < n; ++k) {
      Pair y = b0[k] * x + s1[k];
      s1[k] = b1[k] * x - a1[k] * y + s2[k];
      s2[k] = b2[k] * x - a2[k] * y;
      x = y;
    }
    frames[i * 2] = static_cast<float>(x[0]);
    frames[i * 2 + 1] = static_cast<float>(x[1]);
  }
  for (int k = 0; k < n; ++k) {
    FlushDenormals(s1[k]);
    FlushDenormals(s2[k]);
    live[k]->s1_ = s1[k];
    live[k]->s2_ = s2[k];
  }
}

void ParamEq::ProcessFading(ParamEq* const* live, int n, float* frames, int count) {
  for (int i = 0; i < count; ++i) {
    Pair x = {frames[i * 2], frames[i * 2 + 1]};
    for (int k = 0; k < n; ++k) {
      ParamEq& f = *live[k];
      Biquad now{f.b0_, f.b1_, f.b2_, f.a1_, f.a2_, f.s1_, f.s2_};
      Pair y = now.Step(x);
      f.s1_ = now.s1;
      f.s2_ = now.s2;
      if (f.fade_ > 0) {
        const double t = 1.0 - static_cast<double>(f.fade_) / f.fadeLength_;
        Pair before = f.old_.Step(x);
        y = before + (y - before) * t;
        --f.fade_;
      }
      x = y;
    }
    frames[i * 2] = static_cast<float>(x[0]);
    frames[i * 2 + 1] = static_cast<float>(x[1]);
  }
  for (int k = 0; k < n; ++k) {
    FlushDenormals(live[k]->s1_);
    FlushDenormals(live[k]->s2_);
  }
}

}  // namespace qmb::engine
