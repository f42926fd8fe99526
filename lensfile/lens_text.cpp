#include "lensfile/lens_text.h"

#include <cstring>
#include <vector>

#include "lens/byte_order.h"

namespace gw {
namespace {

constexpr char kHeading[] = "glarewright-lens";
constexpr char kDigits[] = "0123456789abcdef";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string_view Trimmed(std::string_view line) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
  while (!line.empty() && blank(line.front())) line.remove_prefix(1);
  while (!line.empty() && blank(line.back())) line.remove_suffix(1);
  return line;
}

// The text's lines without blanks at their ends; empty lines dropped.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    const std::string_view line = Trimmed(text.substr(0, end));
    if (!line.empty()) lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

bool ReadHex(std::string_view digits, uint8_t* bytes, size_t count) {
  if (digits.size() != count * 2) return false;
  for (size_t i = 0; i < count; ++i) {
    const int high = HexValue(digits[2 * i]), low = HexValue(digits[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    bytes[i] = static_cast<uint8_t>(high << 4 | low);
  }
  return true;
}

void WriteHex(const uint8_t* bytes, size_t count, std::string& out) {
  for (size_t i = 0; i < count; ++i) {
    out += kDigits[bytes[i] >> 4];
    out += kDigits[bytes[i] & 15];
  }
}

}  // namespace

std::string LensToText(const Lens& lens) {
  const SequenceData stored = StoredSequenceData(lens);
  const uint32_t count = UsableCount(lens);
  std::string text = kHeading;
  text += ' ';
  WriteHex(reinterpret_cast<const uint8_t*>(&stored.version), sizeof stored.version, text);
  text += ' ' + std::to_string(count) + '\n';
  for (uint32_t i = 0; i < count; ++i) {
    WriteHex(reinterpret_cast<const uint8_t*>(&stored.lens.elements[i]), sizeof(LensElement), text);
    text += '\n';
  }
  return text;
}

bool LensFromText(std::string_view text, Lens& lens, std::string& error) {
  const std::vector<std::string_view> lines = Lines(text);
  const std::string_view heading = lines.empty() ? std::string_view{} : lines[0];
  if (!heading.starts_with(std::string(kHeading) + " ")) {
    error = "not a lens (it does not start with \"glarewright-lens\")";
    return false;
  }
  const std::string_view rest = heading.substr(sizeof kHeading);
  const size_t space = rest.find(' ');
  SequenceData stored;
  std::memset(&stored, 0, sizeof stored);
  if (space == std::string_view::npos ||
      !ReadHex(rest.substr(0, space), reinterpret_cast<uint8_t*>(&stored.version),
               sizeof stored.version)) {
    error = "the lens heading is damaged";
    return false;
  }
  const std::string_view countText = rest.substr(space + 1);
  uint32_t count = 0;
  for (const char c : countText) {
    if (c < '0' || c > '9' || count > kMaxElements) {
      count = kMaxElements + 1;
      break;
    }
    count = count * 10 + static_cast<uint32_t>(c - '0');
  }
  if (countText.empty() || count > kMaxElements) {
    error = "the lens must hold 0 to 100 elements";
    return false;
  }
  if (lines.size() != count + 1) {
    error = "the lens says " + std::to_string(count) + " elements but holds " +
            std::to_string(lines.size() - 1);
    return false;
  }
  for (uint32_t i = 0; i < count; ++i) {
    if (!ReadHex(lines[i + 1], reinterpret_cast<uint8_t*>(&stored.lens.elements[i]),
                 sizeof(LensElement))) {
      error = "element " + std::to_string(i) + " of the lens is damaged";
      return false;
    }
  }
  stored.lens.count = count;
  SwapToFromBigEndian(stored.lens.count);  // as a project stores it
  SequenceData working = stored;
  Unflatten(working);
  if (working.version != kSequenceDataVersion) {
    error = "a lens of an unknown version";
    return false;
  }
  lens = working.lens;
  return true;
}

}  // namespace gw
