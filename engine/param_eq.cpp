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

void ParamEq::Process(float* frames, int count) {
  if (flat_) return;
  for (int c = 0; c < 2; ++c) {
    double s1 = s1_[c], s2 = s2_[c];
    for (int i = 0; i < count; ++i) {
      double x = frames[i * 2 + c];
      double y = b0_ * x + s1;
      s1 = b1_ * x - a1_ * y + s2;
      s2 = b2_ * x - a2_ * y;
      frames[i * 2 + c] = static_cast<float>(y);
    }
    // Denormals would slow the mixing thread down in long silences.
    if (std::abs(s1) < 1e-25) s1 = 0;
    if (std::abs(s2) < 1e-25) s2 = 0;
    s1_[c] = s1;
    s2_[c] = s2;
  }
}

}  // namespace qmb::engine
