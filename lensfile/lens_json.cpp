#include "lensfile/lens_json.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <set>
#include <stdexcept>
#include <vector>
#include <nlohmann/json.hpp>

#include "lens/byte_order.h"
#include "lens/element_types.h"
#include "lensfile/messages.h"

namespace gw {
namespace {

using Json = nlohmann::ordered_json;

// A finite float as the shortest decimal that reads back to the same bits;
// infinities and NaNs (which JSON numbers cannot hold) as strings.
Json FloatToJson(float f) {
  const uint32_t bits = FloatBits(f);
  if (std::isfinite(f)) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, f).ptr;
    double shortest = 0.0;
    std::from_chars(text, end, shortest);
    if (FloatBits(static_cast<float>(shortest)) == bits) return shortest;
    return static_cast<double>(f);  // exact; reads back through the double
  }
  if (bits == 0x7f800000u) return "inf";
  if (bits == 0xff800000u) return "-inf";
  if (bits == 0x7fc00000u) return "nan";
  char text[16];
  std::snprintf(text, sizeof text, "0x%08x", static_cast<unsigned>(bits));
  return text;
}

}  // namespace

std::string Latin1ToUtf8(std::string_view bytes) {
  std::string out;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out += c;
    } else {
      out += static_cast<char>(0xc0 | (b >> 6));
      out += static_cast<char>(0x80 | (b & 0x3f));
    }
  }
  return out;
}

namespace {

Json ColourToJson(const Rgb& c) { return Json::array({c.r, c.g, c.b}); }

Json ElementToJson(const LensElement& e) {
  Json j;
  for (const ElementFieldInfo& field : ElementFields()) {
    switch (field.kind) {
      case FieldKind::Real: j[field.key] = FloatToJson(ReadReal(e, field.field)); break;
      case FieldKind::Whole: j[field.key] = ReadWhole(e, field.field); break;
      case FieldKind::Byte: j[field.key] = ReadByte(e, field.field); break;
      case FieldKind::Colour: j[field.key] = ColourToJson(ReadColour(e, field.field)); break;
      case FieldKind::Name: j[field.key] = Latin1ToUtf8(ElementName(e)); break;
    }
    if (field.field == ElementField::Type) {
      const ElementTypeInfo* info = FindElementType(e.type);
      j["typeName"] = info ? info->listName : "(none)";
    }
  }
  return j;
}

// Reading one element: every key checked, the first problem reported.
class ElementReader {
 public:
  ElementReader(const Json& object, size_t index, std::string& error)
      : object_(object), index_(index), error_(error) {}

  bool Fail(const std::string& key, const std::string& what) {
    error_ = "element " + std::to_string(index_) + ", key \"" + key + "\": " + what;
    return false;
  }

  const Json* Find(const char* key) {
    const auto it = object_.find(key);
    if (it == object_.end()) {
      Fail(key, "missing");
      return nullptr;
    }
    return &*it;
  }

  bool Real(const char* key, float& out) {
    const Json* v = Find(key);
    if (!v) return false;
    if (v->is_string()) {
      const std::string s = v->get<std::string>();
      uint32_t bits = 0;
      if (s == "inf") bits = 0x7f800000u;
      else if (s == "-inf") bits = 0xff800000u;
      else if (s == "nan") bits = 0x7fc00000u;
      else if (s.size() == 10 && s.starts_with("0x") &&
               std::from_chars(s.data() + 2, s.data() + 10, bits, 16).ptr == s.data() + 10) {
      } else {
        return Fail(key, "expected a number, \"inf\", \"-inf\", \"nan\" or 0x and 8 hex digits");
      }
      out = FloatFromBits(bits);
      return true;
    }
    if (!v->is_number()) return Fail(key, "expected a number");
    const double d = v->get<double>();
    const double largest = std::numeric_limits<float>::max();
    if (std::fabs(d) <= largest) {
      out = static_cast<float>(d);
      return true;
    }
    // The shortest decimal of the largest float lies just above it.
    if (std::fabs(d) < largest + std::ldexp(1.0, 103)) {
      out = static_cast<float>(d < 0 ? -largest : largest);
      return true;
    }
    return Fail(key, "outside the range of a 32-bit float");
  }

  bool Integer(const char* key, long min, long max, long& out) {
    const Json* v = Find(key);
    if (!v) return false;
    if (!v->is_number_integer()) return Fail(key, "expected a whole number");
    if (v->is_number_unsigned() && v->get<uint64_t>() > static_cast<uint64_t>(max)) {
      return Fail(key, OutsideRange(v->dump(), std::to_string(min), std::to_string(max)));
    }
    const int64_t n = v->get<int64_t>();
    if (n < min || n > max) {
      return Fail(key, OutsideRange(v->dump(), std::to_string(min), std::to_string(max)));
    }
    out = static_cast<long>(n);
    return true;
  }

  bool Short(const char* key, int16_t& out) {
    long n;
    if (!Integer(key, -32768, 32767, n)) return false;
    out = static_cast<int16_t>(n);
    return true;
  }

  bool Byte(const char* key, uint8_t& out) {
    long n;
    if (!Integer(key, 0, 255, n)) return false;
    out = static_cast<uint8_t>(n);
    return true;
  }

  bool Colour(const char* key, Rgb& out) {
    const Json* v = Find(key);
    if (!v) return false;
    if (!v->is_array() || v->size() != 3) return Fail(key, "expected [red, green, blue]");
    uint8_t c[3];
    for (size_t i = 0; i < 3; ++i) {
      const Json& channel = (*v)[i];
      if (!channel.is_number_integer() || channel.get<int64_t>() < 0 ||
          channel.get<int64_t>() > 255 ||
          (channel.is_number_unsigned() && channel.get<uint64_t>() > 255)) {
        return Fail(key, "each channel must be a whole number 0..255");
      }
      c[i] = static_cast<uint8_t>(channel.get<int64_t>());
    }
    out = {c[0], c[1], c[2]};
    return true;
  }

  bool Name(LensElement& e) {
    const Json* v = Find("name");
    if (!v) return false;
    if (!v->is_string()) return Fail("name", "expected a string");
    std::string bytes;
    const std::string problem = ElementNameProblem(v->get<std::string>(), bytes);
    if (!problem.empty()) return Fail("name", problem);
    SetElementName(e, bytes);
    return true;
  }

  // Every field of the record by its key; "typeName" is written for readers
  // and ignored here.
  bool Read(LensElement& e) {
    if (!object_.is_object()) {
      error_ = "element " + std::to_string(index_) + ": expected an object";
      return false;
    }
    for (const auto& item : object_.items()) {
      if (item.key() != "typeName" && !FindElementField(item.key())) {
        return Fail(item.key(), "unknown key");
      }
    }
    for (const ElementFieldInfo& field : ElementFields()) {
      if (!ReadField(field, e)) return false;
    }
    return CheckStorable(e);
  }

  // What a lens file cannot hold is refused, never silently changed.
  bool CheckStorable(const LensElement& e) {
    if (!FindElementType(e.type)) {
      return Fail("type", std::to_string(e.type) +
                              " is not an element type (0..20, except 7 and 8)");
    }
    if (e.enabled != 1) {
      return Fail("enabled", std::to_string(e.enabled) +
                                 ": a lens file cannot store a disabled element; every element "
                                 "in it is enabled (write 1, or remove the element)");
    }
    return true;
  }

  bool ReadField(const ElementFieldInfo& field, LensElement& e) {
    switch (field.kind) {
      case FieldKind::Real: {
        float v;
        if (!Real(field.key, v)) return false;
        WriteReal(e, field.field, v);
        return true;
      }
      case FieldKind::Whole: {
        int16_t v;
        if (!Short(field.key, v)) return false;
        WriteWhole(e, field.field, v);
        return true;
      }
      case FieldKind::Byte: {
        uint8_t v;
        if (!Byte(field.key, v)) return false;
        WriteByte(e, field.field, v);
        return true;
      }
      case FieldKind::Colour: {
        Rgb v;
        if (!Colour(field.key, v)) return false;
        WriteColour(e, field.field, v);
        return true;
      }
      case FieldKind::Name: return Name(e);
    }
    return false;
  }

 private:
  const Json& object_;
  size_t index_;
  std::string& error_;
};

// A parser callback that stops at the first key given twice in one object
// (the parser itself would keep the last silently).
Json::parser_callback_t DuplicateKeyCheck(std::string& duplicate) {
  auto open = std::make_shared<std::vector<std::set<std::string>>>();
  return [open, &duplicate](int, Json::parse_event_t event, Json& parsed) {
    switch (event) {
      case Json::parse_event_t::object_start: open->emplace_back(); break;
      case Json::parse_event_t::object_end:
        if (!open->empty()) open->pop_back();
        break;
      case Json::parse_event_t::key: {
        const std::string key = parsed.get<std::string>();
        if (!open->empty() && !open->back().insert(key).second) {
          duplicate = key;
          throw std::invalid_argument("duplicate key");
        }
        break;
      }
      default: break;
    }
    return true;
  };
}

// The parser's token names in plain words.
std::string TokenWords(std::string token) {
  if (token == "number literal") return "a number";
  if (token == "string literal") return "a string";
  if (token == "'<end of input>'" || token == "end of input") return "the end of the text";
  if (token == "'[', '{', or a literal") return "a value";
  return token;
}

// What the parser met where the text stops being JSON, in our words.
std::string SyntaxReason(const std::string& message) {
  const size_t dash = message.find(" - ");
  std::string reason = dash == std::string::npos ? message : message.substr(dash + 3);
  const size_t lastRead = reason.find("; last read:");
  const size_t expectedAt = reason.rfind("; expected ");
  const std::string expected =
      expectedAt == std::string::npos ? "" : TokenWords(reason.substr(expectedAt + 11));
  if (lastRead != std::string::npos) reason.erase(lastRead);
  if (reason.starts_with("unexpected end of input")) return "the text ends before the JSON does";
  if (reason.starts_with("invalid literal")) {
    return expected == "the end of the text" ? "more text after the JSON"
                                             : "not a JSON value (strings need double quotes)";
  }
  if (reason.starts_with("invalid string: control character")) {
    return "a control character (such as a line break) inside a string: write it as \\n, \\t "
           "or \\uXXXX";
  }
  if (reason.starts_with("invalid string: ill-formed UTF-8")) return "the text is not UTF-8";
  if (reason.starts_with("invalid number")) return "a malformed number";
  if (reason.starts_with("unexpected ") && !expected.empty()) {
    const std::string found = reason.substr(11, reason.find(';') - 11);
    return "expected " + expected + ", found " + TokenWords(found);
  }
  return reason;
}

// "line 3, column 10: expected ':', found a number".
std::string JsonProblem(std::string_view text, const Json::exception& e) {
  if (const auto* parse = dynamic_cast<const Json::parse_error*>(&e)) {
    // `byte` counts from 1 to the character the parser stopped at.
    const size_t at = std::min<size_t>(parse->byte > 0 ? parse->byte - 1 : 0, text.size());
    size_t line = 1, column = 1;
    for (size_t i = 0; i < at; ++i) {
      if (text[i] == '\n') {
        ++line;
        column = 1;
      } else if ((static_cast<unsigned char>(text[i]) & 0xc0) != 0x80) {
        ++column;
      }
    }
    return "line " + std::to_string(line) + ", column " + std::to_string(column) + ": " +
           SyntaxReason(parse->what());
  }
  if (dynamic_cast<const Json::out_of_range*>(&e)) {
    const std::string message = e.what();
    const size_t quote = message.find('\'');
    return "the number " + (quote == std::string::npos ? "" : message.substr(quote)) +
           " is too large";
  }
  return e.what();
}

}  // namespace

std::string LensToJson(const Lens& lens) {
  // One key per line, colours on one line: easy to read and to diff.
  std::string out = "{\n  \"elements\": [";
  const uint32_t count = UsableCount(lens);
  for (uint32_t i = 0; i < count; ++i) {
    out += i == 0 ? "\n    {" : ",\n    {";
    bool first = true;
    const Json element = ElementToJson(lens.elements[i]);
    for (const auto& item : element.items()) {
      out += first ? "\n      " : ",\n      ";
      first = false;
      out += Json(item.key()).dump() + ": ";
      if (item.value().is_array()) {
        out += "[";
        for (size_t c = 0; c < item.value().size(); ++c) {
          out += (c ? ", " : "") + item.value()[c].dump();
        }
        out += "]";
      } else {
        out += item.value().dump();
      }
    }
    out += "\n    }";
  }
  out += count ? "\n  ]\n}\n" : "]\n}\n";
  return out;
}

bool LensFromJson(std::string_view text, Lens& lens, std::string& error) {
  Json root;
  std::string duplicate;
  try {
    root = Json::parse(text, DuplicateKeyCheck(duplicate));
  } catch (const Json::exception& e) {
    error = "not valid JSON: " + JsonProblem(text, e);
    return false;
  } catch (const std::invalid_argument&) {
    error = "the key \"" + duplicate + "\" appears twice in one object";
    return false;
  }
  if (!root.is_object()) {
    error = "expected an object {\"elements\": [...]}";
    return false;
  }
  for (const auto& item : root.items()) {
    if (item.key() != "elements") {
      error = "unknown key \"" + item.key() + "\" (only \"elements\" is allowed)";
      return false;
    }
  }
  const auto elements = root.find("elements");
  if (elements == root.end() || !elements->is_array()) {
    error = "expected the key \"elements\" holding an array";
    return false;
  }
  if (elements->size() > kMaxElements) {
    error = std::to_string(elements->size()) + " elements: a lens holds at most 100";
    return false;
  }
  Lens scratch{};
  scratch.count = static_cast<uint32_t>(elements->size());
  for (size_t i = 0; i < elements->size(); ++i) {
    if (!ElementReader((*elements)[i], i, error).Read(scratch.elements[i])) return false;
  }
  lens = scratch;
  return true;
}

}  // namespace gw
