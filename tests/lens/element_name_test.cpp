// Which names an element and a lens file can hold: the rule the editors'
// rename and the program's JSON import share.
#include <gtest/gtest.h>

#include <string>

#include "lens/lens.h"

namespace gw {
namespace {

std::string Problem(const std::string& utf8, std::string* latin1 = nullptr) {
  std::string bytes;
  std::string problem = ElementNameProblem(utf8, bytes);
  if (latin1) *latin1 = bytes;
  return problem;
}

TEST(ElementName, Latin1UpToSixtyTwoCharacters) {
  std::string latin1;
  EXPECT_EQ(Problem("Caf\xc3\xa9 \xc3\xbf \xc2\xa0!", &latin1), "");
  EXPECT_EQ(latin1, "Caf\xe9 \xff \xa0!");
  EXPECT_EQ(Problem("", &latin1), "");
  EXPECT_EQ(latin1, "");
  // 62 characters of two bytes each fit; the count is of characters.
  std::string wide;
  for (int i = 0; i < 62; ++i) wide += "\xc3\xa9";
  EXPECT_EQ(Problem(wide, &latin1), "");
  EXPECT_EQ(latin1.size(), 62u);
  EXPECT_EQ(Problem(std::string(63, 'x')), "longer than 62 characters");
  EXPECT_EQ(Problem(std::string("a\0b", 3)), "holds a NUL character");
  for (const char* beyond : {"\xc4\x80",           // U+0100
                             "\xe2\x82\xac",       // the euro sign
                             "\xf0\x9f\x98\x80",   // an emoji
                             "\xc3",               // cut short
                             "\xc3\x28",           // no continuation
                             "\xc1\xbf",           // an overlong '?'
                             "\xff"}) {
    EXPECT_EQ(Problem(beyond), "only Latin-1 characters can be stored") << beyond;
  }
}

}  // namespace
}  // namespace gw
