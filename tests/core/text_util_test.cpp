// Texts from outside in an unknown encoding, as stations send their titles.
#include "core/text_util.h"

#include <gtest/gtest.h>

namespace qmb {
namespace {

TEST(Utf8FromUtf8OrLatin1, KeepsUtf8AndReadsAnythingElseAsLatin1) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"plain", "plain"},
      {"Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xB5", "Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xB5"},
      {"Caf\xE9", "Caf\xC3\xA9"},                                // Latin-1
      {"\xC3\xA9t\xE9", "\xC3\x83\xC2\xA9t\xC3\xA9"},            // mixed: all of it is Latin-1
      {"\xC3", "\xC3\x83"},                                      // cut short
      {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                          // overlong
      {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"},              // a surrogate
      {"\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xC2\x80\xC2\x80"},  // past U+10FFFF
  };
  for (const Case& c : cases) EXPECT_EQ(Utf8FromUtf8OrLatin1(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace qmb
