#include "emulator_protocol.h"

#include <gtest/gtest.h>

namespace zelko {
namespace {

TEST(EmulatorProtocolTest, EveryByteSurvivesTheRoundTrip) {
  std::string bytes;
  for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
  const std::string text = BytesToProtocolText(bytes);
  EXPECT_EQ(text.size(), 128u + 2u * 128u);
  EXPECT_EQ(ProtocolTextToBytes(text), bytes);
}

TEST(EmulatorProtocolTest, HighBytesBecomeTheirCodePoints) {
  EXPECT_EQ(BytesToProtocolText("a\xe9\x80"), "a\xc3\xa9\xc2\x80");
  EXPECT_EQ(ProtocolTextToBytes("\xc3\xbf"), "\xff");
}

TEST(EmulatorProtocolTest, RejectsWhatIsNotOneByteCodePoints) {
  for (const char* utf8 : {"\xc4\x80",           // U+0100
                           "\xe2\x82\xac",       // U+20AC
                           "\xf0\x9f\x98\x80",   // U+1F600
                           "\xc3",               // cut short
                           "\xc3\x41",           // bad continuation
                           "\x80",               // continuation alone
                           "\xc0\x80",           // overlong NUL
                           "\xc1\xbf"}) {        // overlong
    EXPECT_FALSE(ProtocolTextToBytes(utf8).has_value()) << utf8;
  }
}

}  // namespace
}  // namespace zelko
