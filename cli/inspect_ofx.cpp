// `glarewright inspect --api ofx`: what an OpenFX application sees of the
// binary, read through our OpenFX host from the plug-ins' own descriptions.
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "cli/errors.h"
#include "cli/inspect_command.h"
#include "cli/plugin_modules.h"
#include "testhost/ofx/host.h"

namespace gw {
namespace {

using ofxhost::PropertySet;

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

std::string Joined(const std::vector<std::string>& items, const char* between = ", ") {
  std::string text;
  for (const std::string& item : items) text += (text.empty() ? "" : between) + item;
  return text;
}

// A number as short as it reads.
std::string Number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

std::string Numbers(const PropertySet& p, const char* name) {
  std::vector<std::string> values;
  if (p.Doubles(name).empty()) {
    for (const int v : p.Ints(name)) values.push_back(std::to_string(v));
  } else {
    for (const double v : p.Doubles(name)) values.push_back(Number(v));
  }
  return Joined(values, ",");
}

std::string Version(const std::vector<int>& parts) {
  std::vector<std::string> texts;
  for (const int part : parts) texts.push_back(std::to_string(part));
  return Joined(texts, ".");
}

// The value kinds without their prefix: "OfxBitDepthFloat" -> "Float".
std::string Short(const std::string& value, const char* prefix) {
  return value.starts_with(prefix) ? value.substr(std::string(prefix).size()) : value;
}

std::vector<std::string> Shortened(std::vector<std::string> values, const char* prefix) {
  for (std::string& v : values) v = Short(v, prefix);
  return values;
}

std::string ClipLine(const std::string& name, const PropertySet& p) {
  std::string line = "    " + name + "  " +
                     Joined(Shortened(p.Strings(kOfxImageEffectPropSupportedComponents),
                                      "OfxImageComponent"));
  if (p.Int(kOfxImageClipPropOptional)) line += "; optional";
  line += p.Int(kOfxImageEffectPropSupportsTiles) ? "; tiles" : "; whole images";
  if (p.Int(kOfxImageEffectPropTemporalClipAccess)) line += "; other frames too";
  return line + "\n";
}

std::string ParamLine(const std::string& name, const PropertySet& p) {
  const std::string type = Short(p.String(kOfxParamPropType), "OfxParamType");
  std::string line = "    " + name + "  " + type + "  " + Quoted(p.String(kOfxPropLabel));
  if (type == "String") {
    const std::string text = p.String(kOfxParamPropDefault);
    const size_t end = text.find('\n');
    size_t lines = 0;
    for (const char c : text) lines += c == '\n';
    line += "  " + Short(p.String(kOfxParamPropStringMode), "OfxParamStringIs");
    line += "  default " + Quoted(text.substr(0, end));
    if (lines > 1) line += " and " + std::to_string(lines - 1) + " lines more";
  } else if (type == "Choice") {
    const int chosen = p.Int(kOfxParamPropDefault);
    const std::vector<std::string> options = p.Strings(kOfxParamPropChoiceOption);
    line += "  default " + std::to_string(chosen);
    if (chosen >= 0 && chosen < static_cast<int>(options.size())) {
      line += " (" + Quoted(options[static_cast<size_t>(chosen)]) + ")";
    }
  } else if (type != "PushButton" && type != "Group" && type != "Page") {
    line += "  default " + Numbers(p, kOfxParamPropDefault);
  }
  const std::string kind = Short(p.String(kOfxParamPropDoubleType), "OfxParamDoubleType");
  if (p.String(kOfxParamPropDefaultCoordinateSystem) == kOfxParamCoordinatesNormalised) {
    line += " of the project";
  }
  if (p.Defines(kOfxParamPropDoubleType) && kind != "Plain") line += "  " + kind;
  const std::string min = Numbers(p, kOfxParamPropMin), max = Numbers(p, kOfxParamPropMax);
  const bool unbounded = min.find("e+308") != std::string::npos || min == "-2147483648";
  if (p.Defines(kOfxParamPropMin) && !unbounded) line += "  range " + min + ".." + max;
  if (p.Defines(kOfxParamPropDisplayMin) && !unbounded) {
    line += "  slider " + Numbers(p, kOfxParamPropDisplayMin) + ".." +
            Numbers(p, kOfxParamPropDisplayMax);
  }
  if (p.Defines(kOfxParamPropAnimates) && !p.Int(kOfxParamPropAnimates)) line += "  not animated";
  if (p.Int(kOfxParamPropSecret)) line += "  hidden";
  line += "\n";
  const std::vector<std::string> choices = p.Strings(kOfxParamPropChoiceOption);
  if (!choices.empty()) {
    line += "      " + std::to_string(choices.size()) + " choices: " + Joined(choices, " | ") + "\n";
  }
  return line;
}

}  // namespace

std::string InspectOfxBinary(const std::string& pluginDir, const std::string& only) {
  const std::string path = FindOfxBinary(pluginDir);
  std::unique_ptr<ofxhost::Host> host;
  try {
    host = std::make_unique<ofxhost::Host>(path);
  } catch (const std::runtime_error& e) {
    throw FileError(path, e.what());
  }
  std::ostringstream out;
  const std::vector<std::string> ids = host->Identifiers();
  out << "Binary: " << std::filesystem::path(path).lexically_normal().string() << " ("
      << ids.size() << " plug-ins)\n";
  for (const std::string& id : ids) {
    if (!only.empty() && id != only) continue;
    const PropertySet& p = host->Describe(id);
    out << "\n" << id << "  " << Quoted(p.String(kOfxPropLabel)) << "  version "
        << Version(p.Ints(kOfxPropVersion)) << "  group " << Quoted(p.String(kOfxImageEffectPluginPropGrouping)) << "\n"
        << "  depths      "
        << Joined(Shortened(p.Strings(kOfxImageEffectPropSupportedPixelDepths), "OfxBitDepth"))
        << "\n"
        << "  threads     "
        << Short(p.String(kOfxImageEffectPluginRenderThreadSafety), "OfxImageEffectRender")
        << (p.Int(kOfxImageEffectPropSupportsTiles) ? "; tiles" : "; whole images")
        << (p.Int(kOfxImageEffectPropSupportsMultiResolution) ? "; inputs of any size"
                                                              : "; inputs of the output's size")
        << "\n";
    const std::vector<std::string> contexts = host->Contexts(id);
    out << "  contexts    " << Joined(Shortened(contexts, "OfxImageEffectContext")) << "\n";
    for (const std::string& context : contexts) {
      out << "  Clips (" << Short(context, "OfxImageEffectContext") << "):\n";
      const auto instance = host->CreateInstance(id, context);
      if (!instance) throw FileError(path, id + " refused an instance in " + context);
      for (const std::string& clip : instance->ClipNames()) {
        out << ClipLine(clip, host->ClipDescriptor(id, context, clip));
      }
    }
    // The parameters are the same in every context.
    out << "  Parameters:\n";
    for (const std::string& name : host->ParamDescriptorNames(id, contexts.back())) {
      out << ParamLine(name, host->ParamDescriptor(id, contexts.back(), name));
    }
  }
  const std::vector<std::string> problems = host->TakeProblems();
  if (!problems.empty()) throw FileError(path, problems.front());
  return out.str();
}

}  // namespace gw
