// The texts numbers become for the user: plain numbers, times and masked
// numbers such as a play count with thousands separators.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qmb {

// `x` with up to 15 significant digits and a leading blank when it is not
// negative (the "% .15G" form). Callers that must not show the blank trim it.
std::string NumberText(double x);

// The digits of `number`, with a "0" in front when there is only one; a minus
// sign stays in front.
std::string ZeroPad(std::int64_t number);

// hh:mm:ss.ff in single precision. With `remaining` 1 the value is
// |seconds - reference| and the text starts with "-".
std::string TimeText(float seconds, int remaining, float reference);

// `x` in fixed point with the decimals the mask gives after its ".", a ","
// before every group of three integer digits, "$" when the mask has one, and a
// blank in front for every blank in the mask.
std::string MaskedNumber(std::string_view mask, double x);

}  // namespace qmb
