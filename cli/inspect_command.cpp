#include "cli/inspect_command.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <memory>
#include <sstream>

#include "cli/errors.h"
#include "cli/lens_table.h"
#include "cli/plugin_modules.h"
#include "lens/lens.h"

namespace gw {
namespace {

std::string Hex32(uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", v);
  return text;
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// A 16.16 value with as many decimals as it needs (up to 4).
std::string FixedText(int32_t v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", v / 65536.0);
  std::string s = text;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s;
}

std::string OutFlagNames(uint32_t flags) {
  const std::pair<uint32_t, const char*> names[] = {
      {0x1, "KEEP_RESOURCE_OPEN"},   {0x2, "WIDE_TIME_INPUT"},   {0x4, "NON_PARAM_VARY"},
      {0x10, "SEQUENCE_DATA_NEEDS_FLATTENING"}, {0x20, "I_DO_DIALOG"},
      {0x40, "USE_OUTPUT_EXTENT"},   {0x80, "SEND_DO_DIALOG"},   {0x100, "DISPLAY_ERROR_MESSAGE"},
      {0x200, "I_EXPAND_BUFFER"},    {0x400, "PIX_INDEPENDENT"}, {0x800, "I_WRITE_INPUT_BUFFER"},
      {0x1000, "I_SHRINK_BUFFER"},   {0x2000, "WORKS_IN_PLACE"}, {0x8000, "CUSTOM_UI"},
      {0x20000, "REFRESH_UI"},       {0x40000, "NOP_RENDER"},    {0x80000, "I_USE_SHUTTER_ANGLE"},
      {0x100000, "I_USE_AUDIO"}};
  std::string text;
  for (const auto& [bit, name] : names) {
    if (flags & bit) text += (text.empty() ? "" : " | ") + std::string(name);
  }
  return text.empty() ? "none" : text;
}

std::string VersionText(uint32_t v) {
  const char* stages[] = {"develop", "alpha", "beta", "release"};
  return std::to_string(v >> 19) + "." + std::to_string((v >> 15) & 0xF) + "." +
         std::to_string((v >> 11) & 0xF) + " " + stages[(v >> 9) & 3] + ", build " +
         std::to_string(v & 0x1FF);
}

std::string ParamLine(int index, const testhost::Declaration& d) {
  const PF_ParamDef& p = d.def;
  std::ostringstream line;
  line << "  " << index << "  " << Quoted(p.name) << "  ";
  switch (p.param_type) {
    case PF_Param_LAYER:
      line << "LAYER  default " << (p.u.ld.dephault == PF_LayerDefault_NONE ? "none" : "this layer");
      break;
    case PF_Param_SLIDER:
      line << "SLIDER  default " << p.u.sd.dephault << "  valid " << p.u.sd.valid_min << ".."
           << p.u.sd.valid_max << "  slider " << p.u.sd.slider_min << ".." << p.u.sd.slider_max;
      break;
    case PF_Param_FIX_SLIDER:
      line << "FIX_SLIDER  default " << FixedText(p.u.fd.dephault) << "  valid "
           << FixedText(p.u.fd.valid_min) << ".." << FixedText(p.u.fd.valid_max) << "  slider "
           << FixedText(p.u.fd.slider_min) << ".." << FixedText(p.u.fd.slider_max)
           << "  precision " << p.u.fd.precision
           << (p.u.fd.display_flags & PF_ValueDisplayFlag_PERCENT ? "  percent" : "");
      break;
    case PF_Param_ANGLE:
      line << "ANGLE  default " << FixedText(p.u.ad.dephault) << " degrees";
      break;
    case PF_Param_COLOR: {
      char rgb[16];
      std::snprintf(rgb, sizeof rgb, "%02X%02X%02X", p.u.cd.dephault.red, p.u.cd.dephault.green,
                    p.u.cd.dephault.blue);
      line << "COLOR  default " << rgb << " (alpha " << int(p.u.cd.dephault.alpha) << ")";
      break;
    }
    case PF_Param_POINT:
      line << "POINT  value " << FixedText(p.u.td.x_value) << "," << FixedText(p.u.td.y_value)
           << "  default " << FixedText(p.u.td.x_dephault) << "%," << FixedText(p.u.td.y_dephault)
           << "% of the layer";
      break;
    case PF_Param_POPUP:
      line << "POPUP  default " << p.u.pd.dephault << "  " << p.u.pd.num_choices << " choices: "
           << d.choices;
      break;
    default:
      line << "type " << p.param_type;
  }
  char flags[16];
  std::snprintf(flags, sizeof flags, "0x%X", static_cast<unsigned>(p.flags));
  line << "  flags " << flags << "\n";
  return line.str();
}

std::string HexDump(const std::vector<uint8_t>& bytes, size_t count) {
  std::string text;
  for (size_t i = 0; i < count && i < bytes.size(); ++i) {
    char byte[4];
    std::snprintf(byte, sizeof byte, "%02x", bytes[i]);
    text += (i % 16 == 0 ? "  " : " ") + std::string(byte) + (i % 16 == 15 ? "\n" : "");
  }
  if (!text.empty() && text.back() != '\n') text += "\n";
  return text;
}

}  // namespace

std::string InspectPlugin(const std::string& edition, const std::string& pluginDir) {
  if (edition != "full" && edition != "showcase" && edition != "quick") {
    throw CommandError("--edition: '" + edition + "' is not one of full, showcase, quick");
  }
  const std::string path = FindPluginModule(edition, pluginDir);
  std::unique_ptr<testhost::TestHost> host = LoadPlugin(path);
  std::ostringstream out;
  out << "Module: " << path << "\n\n";

  if (const auto& pipl = host->pipl()) {
    out << "PiPL (resource 128, " << pipl->properties.size() << " properties):\n"
        << "  kind  " << pipl->kind << "\n"
        << "  name  " << Quoted(pipl->name) << "\n"
        << "  catg  " << Quoted(pipl->category) << "\n"
        << "  wx86  " << Quoted(pipl->entryPoint) << "\n"
        << "  ePVR  " << pipl->piplMajor << "." << pipl->piplMinor << "\n"
        << "  eSVR  " << pipl->specMajor << "." << pipl->specMinor << "\n"
        << "  eVER  " << Hex32(pipl->version) << " (" << VersionText(pipl->version) << ")\n"
        << "  eINF  " << pipl->info << "\n"
        << "  eGLO  " << Hex32(pipl->outFlags) << " (" << OutFlagNames(pipl->outFlags) << ")\n"
        << "  eMNA  " << Quoted(pipl->matchName) << "\n"
        << "  aeFL  " << pipl->reservedInfo << "\n\n";
  } else {
    out << "PiPL: " << host->piplError() << "\n\n";
  }

  CheckPluginCode(*host, "global setup", host->GlobalSetup());
  out << "Global setup: name " << Quoted(host->reportedName()) << ", version "
      << Hex32(host->reportedVersion()) << ", out flags " << Hex32(host->reportedOutFlags())
      << "\n\n";

  CheckPluginCode(*host, "parameter setup", host->ParamsSetup());
  out << "Parameters (num_params " << host->reportedNumParams() << "):\n"
      << "  0  (the layer the effect is applied to)\n";
  const auto& declarations = host->declarations();
  for (size_t i = 0; i < declarations.size(); ++i) {
    out << ParamLine(static_cast<int>(i) + 1, declarations[i]);
  }

  CheckPluginCode(*host, "sequence setup", host->SequenceSetup());
  const std::vector<uint8_t> bytes = host->SequenceBytes();
  out << "\nSequence data of a new instance (" << bytes.size() << " bytes, flat size "
      << host->lastOut().flat_sdata_size << "), first 64 bytes:\n"
      << HexDump(bytes, 64);
  if (bytes.size() >= sizeof(SequenceData)) {
    auto data = std::make_unique<SequenceData>();
    std::memcpy(data.get(), bytes.data(), sizeof(SequenceData));
    Unflatten(*data);
    out << "\nVersion " << Hex32(data->version) << ", lens:\n" << FormatLensTable(data->lens);
  }
  host->SequenceSetdown();
  host->GlobalSetdown();
  CheckPluginConduct(*host);
  return out.str();
}

void AddInspectCommand(CLI::App& app) {
  auto edition = std::make_shared<std::string>("full");
  auto pluginDir = std::make_shared<std::string>();
  auto api = std::make_shared<std::string>("legacy");
  CLI::App* inspect =
      app.add_subcommand("inspect", "Show what a host sees of a plug-in: PiPL, parameters, "
                                    "sequence data (--api ofx: plug-ins, contexts, clips, "
                                    "parameters)");
  CLI::Option* editionOption =
      inspect->add_option("--edition", *edition, "full (default), showcase or quick");
  inspect->add_option("--plugin-dir", *pluginDir,
                      "Folder holding the plug-in modules (or the OpenFX bundle)");
  inspect->add_option("--api", *api,
                      "legacy (default): a plug-in module; ofx: the OpenFX binary (its three "
                      "plug-ins, or the one of --edition)");
  inspect->callback([edition, pluginDir, api, editionOption] {
    if (*api == "legacy") {
      std::cout << InspectPlugin(*edition, *pluginDir);
    } else if (*api == "ofx") {
      std::cout << InspectOfxBinary(*pluginDir,
                                    editionOption->count() ? OfxIdentifier(*edition) : "");
    } else {
      throw CommandError("--api: '" + *api + "' is not one of legacy, ofx");
    }
  });
}

}  // namespace gw
