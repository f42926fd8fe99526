#include "cli/lens_commands.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <vector>

#include "cli/errors.h"
#include "cli/files.h"
#include "lensfile/lens_json.h"
#include "cli/lens_table.h"
#include "lens/element_fields.h"
#include "lens/element_types.h"

namespace gw {
namespace {

using Json = nlohmann::ordered_json;

struct LensOptions {
  std::string input;
  std::string output;
  bool force = false;
};

constexpr const char* kForceHelp = "Replace a read-only file, as cp -f does";
constexpr const char* kOutputHelpTail = " (- for standard output)";

// Refuses to write a file over the one being read: the output would take
// the input's place before it is whole, and the source would be lost.
void RefuseWritingOntoSource(const std::string& input, const std::string& output) {
  const std::optional<FileIdentity> source = IdentityOf(input), target = IdentityOf(output);
  if (source && target && *source == *target) {
    throw FileError(output, "is the file being read" +
                                (input == output ? std::string() : " (" + input + ")") +
                                ": write the result under another name");
  }
}

struct EditOptions {
  std::string file;
  std::string type;
  std::string index, to;
  std::vector<std::string> assignments;
  bool force = false;
};

// An element's index in the lens: a whole number below `limit`.
uint32_t ParseIndex(const std::string& what, const std::string& text, uint32_t limit) {
  uint32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end) {
    throw CommandError(what + ": '" + text + "' is not an element number");
  }
  if (value >= limit) {
    if (limit == 0) throw CommandError(what + ": " + text + ": the lens holds no element");
    throw CommandError(what + ": " + OutsideRange(text, "0", std::to_string(limit - 1)));
  }
  return value;
}

// An element type by its number or its list name, in any case.
int16_t ParseElementType(const std::string& text) {
  const auto lower = [](std::string_view s) {
    std::string out;
    for (char c : s) {
      if (c != ' ') out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
  };
  std::string names;
  for (const ElementTypeInfo& info : ElementTypes()) {
    if (lower(info.listName) == lower(text) || std::to_string(static_cast<int>(info.type)) == text) {
      return static_cast<int16_t>(info.type);
    }
    names += (names.empty() ? "" : ", ") + std::string(info.listName);
  }
  throw CommandError("TYPE: '" + text + "' is not an element type (" + names + ")");
}

// A lens file that an edit rewrites: nothing in it may be lost.
Lens LoadForEdit(const std::string& file) {
  Lens lens = LoadLensOrThrow(file);
  RefuseBytesAfterLens(file, lens);
  return lens;
}

// A lens file that is only read.
Lens LoadForReading(const std::string& file) {
  Lens lens = LoadLensOrThrow(file);
  WarnOfBytesAfterLens(file, lens);
  return lens;
}

// Prints the element as `lens show` does, after the file is safely written.
void SaveAndShow(const std::string& file, const Lens& lens, uint32_t index, bool force) {
  SaveLensOrThrow(file, lens, force);
  std::cout << FormatLensElement(lens, index);
}

// KEY=VALUE over the element's JSON form, then read back with every check
// an import makes.
Lens SetFields(const std::string& file, const Lens& lens, uint32_t index,
               const std::vector<std::string>& assignments) {
  Json root = Json::parse(LensToJson(lens));
  Json& element = root["elements"][index];
  for (const std::string& assignment : assignments) {
    const size_t equals = assignment.find('=');
    if (equals == std::string::npos || equals == 0) {
      throw CommandError("'" + assignment + "' is not KEY=VALUE");
    }
    const std::string key = assignment.substr(0, equals), text = assignment.substr(equals + 1);
    if (!FindElementField(key)) throw CommandError(key + ": no element field has this key");
    Json value = Json::parse(text, nullptr, false);
    if (key == "name" || value.is_discarded()) value = text;
    element[key] = value;
  }
  Lens edited = lens;
  std::string error;
  if (!LensFromJson(root.dump(), edited, error)) throw FileError(file, error);
  return edited;
}

void AddEditCommands(CLI::App* lens) {
  auto o = std::make_shared<EditOptions>();
  const char* fileHelp = "The lens file, rewritten in place";

  CLI::App* add = lens->add_subcommand("add", "Append an element of a type with its defaults");
  add->add_option("file", o->file, fileHelp)->required();
  add->add_option("type", o->type, "Element type: its list name (GlowBall) or number")->required();
  add->add_flag("--force", o->force, kForceHelp);
  add->callback([o] {
    Lens l = LoadForEdit(o->file);
    const int16_t type = ParseElementType(o->type);
    if (l.count >= kMaxElements) throw FileError(o->file, "the lens already holds 100 elements");
    InitElement(type, l.elements[l.count]);
    ++l.count;
    SaveAndShow(o->file, l, l.count - 1, o->force);
  });

  CLI::App* set = lens->add_subcommand("set", "Set fields of an element by their JSON keys");
  set->add_option("file", o->file, fileHelp)->required();
  set->add_option("index", o->index, "The element's number, from 0")->required();
  set->add_option("assignments", o->assignments, "KEY=VALUE, as `lens export` names them")
      ->required();
  set->add_flag("--force", o->force, kForceHelp);
  set->callback([o] {
    const Lens l = LoadForEdit(o->file);
    const uint32_t i = ParseIndex("INDEX", o->index, l.count);
    SaveAndShow(o->file, SetFields(o->file, l, i, o->assignments), i, o->force);
  });

  CLI::App* remove = lens->add_subcommand("remove", "Remove an element");
  remove->add_option("file", o->file, fileHelp)->required();
  remove->add_option("index", o->index, "The element's number, from 0")->required();
  remove->add_flag("--force", o->force, kForceHelp);
  remove->callback([o] {
    Lens l = LoadForEdit(o->file);
    const uint32_t i = ParseIndex("INDEX", o->index, l.count);
    const LensElement removed = l.elements[i];
    std::copy(l.elements + i + 1, l.elements + l.count, l.elements + i);
    --l.count;
    SaveLensOrThrow(o->file, l, o->force);
    std::cout << "removed:\n" << FormatLensElement(removed, i);
  });

  CLI::App* move = lens->add_subcommand("move", "Move an element to another place in the list");
  move->add_option("file", o->file, fileHelp)->required();
  move->add_option("from", o->index, "The element's number, from 0")->required();
  move->add_option("to", o->to, "Its new number")->required();
  move->add_flag("--force", o->force, kForceHelp);
  move->callback([o] {
    Lens l = LoadForEdit(o->file);
    const uint32_t from = ParseIndex("FROM", o->index, l.count);
    const uint32_t to = ParseIndex("TO", o->to, l.count);
    const LensElement moving = l.elements[from];
    if (from < to) std::copy(l.elements + from + 1, l.elements + to + 1, l.elements + from);
    if (to < from) std::copy_backward(l.elements + to, l.elements + from, l.elements + from + 1);
    l.elements[to] = moving;
    SaveAndShow(o->file, l, to, o->force);
  });

  for (const char* verb : {"enable", "disable"}) {
    CLI::App* toggle = lens->add_subcommand(
        verb, std::string("Not possible: ") + "a lens file keeps every element enabled");
    toggle->allow_extras();
    toggle->callback([] {
      throw CommandError(
          "a lens file cannot store whether an element is enabled: every element in it is "
          "drawn. Remove the element with `glarewright lens remove FILE INDEX` instead");
    });
  }
}

}  // namespace

void AddLensCommands(CLI::App& app) {
  CLI::App* lens = app.add_subcommand("lens", "Create, show, edit and convert lens files (.gwr)");
  lens->require_subcommand(1);
  auto options = std::make_shared<LensOptions>();

  CLI::App* create = lens->add_subcommand("new", "Write the default lens to a new file");
  create->add_option("-o,--output", options->output, std::string("The lens file to write") +
                                                         kOutputHelpTail)->required();
  create->add_flag("--force", options->force, "Replace a file that exists, read-only too");
  create->callback([options] {
    const std::string output = OutputName(options->output);
    CheckStandardOutputTakes(output, "a lens file");
    CheckWritableOrThrow(output, options->force);
    struct stat existing {};
    if (!options->force && stat(output.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
      throw FileError(output, "already exists (--force replaces it with the default lens)");
    }
    Lens lens{};
    BuildDefaultLens(lens);
    SaveLensOrThrow(output, lens, options->force);
  });

  CLI::App* show = lens->add_subcommand("show", "Print a lens file as a table");
  show->add_option("file", options->input, "The lens file")->required();
  show->callback([options] { std::cout << FormatLensTable(LoadForReading(options->input)); });

  CLI::App* to_json = lens->add_subcommand("export", "Convert a lens file to JSON");
  to_json->add_option("file", options->input, "The lens file")->required();
  to_json->add_option("-o,--output", options->output, std::string("The JSON file to write") +
                                                          kOutputHelpTail)->required();
  to_json->add_flag("--force", options->force, kForceHelp);
  to_json->callback([options] {
    const std::string output = OutputName(options->output);
    RefuseWritingOntoSource(options->input, output);
    WriteTextOrThrow(output, LensToJson(LoadForReading(options->input)), options->force);
  });

  CLI::App* from_json = lens->add_subcommand("import", "Convert JSON to a lens file");
  from_json->add_option("file", options->input, "The JSON file")->required();
  from_json->add_option("-o,--output", options->output, std::string("The lens file to write") +
                                                            kOutputHelpTail)->required();
  from_json->add_flag("--force", options->force, kForceHelp);
  from_json->callback([options] {
    const std::string output = OutputName(options->output);
    CheckStandardOutputTakes(output, "a lens file");
    RefuseWritingOntoSource(options->input, output);
    Lens lens{};
    std::string error;
    if (!LensFromJson(ReadTextFile(options->input), lens, error)) {
      throw FileError(options->input, error);
    }
    SaveLensOrThrow(output, lens, options->force);
  });

  AddEditCommands(lens);
}

}  // namespace gw
