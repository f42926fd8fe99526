// The lens as text: byte for byte back, and damaged text refused.
#include "lensfile/lens_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "lens/lens.h"

namespace gw {
namespace {

TEST(LensText, GivesTheStoredLensBackByteForByte) {
  Lens lens{};
  BuildDefaultLens(lens);
  lens.elements[1].enabled = 0;  // lens files drop this; the text keeps it
  lens.elements[2].color2Extra = 7;
  lens.elements[0].brightness = -0.0f;
  const std::string text = LensToText(lens);
  EXPECT_TRUE(text.starts_with("glarewright-lens 00010002 3\n"));
  EXPECT_EQ(text.size(), 28u + 3 * 241);

  Lens back{};
  std::string error;
  ASSERT_TRUE(LensFromText(text, back, error)) << error;
  const SequenceData a = StoredSequenceData(lens), b = StoredSequenceData(back);
  EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0);
  EXPECT_EQ(LensToText(back), text);
  EXPECT_EQ(back.elements[1].enabled, 0);

  // Line ends and blanks a text field may gain do not matter.
  std::string crlf;
  for (const char c : text) crlf += c == '\n' ? std::string(" \r\n") : std::string(1, c);
  ASSERT_TRUE(LensFromText(crlf, back, error)) << error;
  EXPECT_EQ(LensToText(back), text);

  Lens empty{};
  ASSERT_TRUE(LensFromText(LensToText(empty), back, error));
  EXPECT_EQ(back.count, 0u);
}

TEST(LensText, DamagedTextIsRefusedAndTheLensKept) {
  Lens lens{};
  BuildDefaultLens(lens);
  const std::string good = LensToText(lens);
  const std::string cases[] = {
      "",
      "hello",
      "glarewright-lens 00010003 0\n",           // another version
      "glarewright-lens 00010002 101\n",         // too many elements
      "glarewright-lens 00010002 4294967299\n",  // a count that wraps
      "glarewright-lens 00010002 -1\n",
      "glarewright-lens 00010002 2\n" + good.substr(28),  // one element too many
      good.substr(0, good.size() - 3),                    // a record cut short
      good.substr(0, 40) + "zz" + good.substr(42),        // not hexadecimal
  };
  Lens kept = lens;
  for (const std::string& text : cases) {
    std::string error;
    EXPECT_FALSE(LensFromText(text, kept, error)) << text;
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(std::memcmp(&kept, &lens, sizeof lens), 0);
  }
}

}  // namespace
}  // namespace gw
