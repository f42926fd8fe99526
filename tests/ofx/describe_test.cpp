// What an application sees of the binary: exactly two entry points, three
// plug-ins with their labels and capabilities, their clips per context, and
// parameters taken from the editions' tables.
#if defined(_WIN32)
#include "tests/support/pe_image.h"
#else
#include <elf.h>
#endif

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "host/edition.h"
#include "tests/ofx/ofx_rig.h"

namespace gw::testing {
namespace {

std::vector<char> FileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

#if defined(_WIN32)
constexpr char kArchitecture[] = "Win64";

// The names a DLL exports, checking that it needs only system DLLs: the C
// runtime and the kernel, and the windows, drawing and choosers of the
// Lens Editor.
std::vector<std::string> DefinedSymbols(const std::string& path) {
  const std::vector<char> bytes = FileBytes(path);
  std::string error;
  const auto tables = ReadPeTables(std::vector<uint8_t>(bytes.begin(), bytes.end()), error);
  EXPECT_TRUE(tables) << error;
  if (!tables) return {};
  std::vector<std::string> imports;
  for (std::string dll : tables->imports) {
    EXPECT_TRUE(IsSystemDll(dll)) << dll;
    for (char& c : dll) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    imports.push_back(dll);
  }
  std::sort(imports.begin(), imports.end());
  EXPECT_EQ(imports, (std::vector<std::string>{"comdlg32.dll", "gdi32.dll", "kernel32.dll",
                                               "msvcrt.dll", "user32.dll"}));
  return tables->exports;
}
#else
constexpr char kArchitecture[] = "Linux-x86-64";

// The names of the dynamic symbols an ELF module defines.
std::vector<std::string> DefinedSymbols(const std::string& path) {
  const std::vector<char> bytes = FileBytes(path);
  const auto* header = reinterpret_cast<const Elf64_Ehdr*>(bytes.data());
  const auto* sections = reinterpret_cast<const Elf64_Shdr*>(bytes.data() + header->e_shoff);
  std::vector<std::string> names;
  for (int i = 0; i < header->e_shnum; ++i) {
    if (sections[i].sh_type != SHT_DYNSYM) continue;
    const Elf64_Shdr& strings = sections[sections[i].sh_link];
    const auto* symbols = reinterpret_cast<const Elf64_Sym*>(bytes.data() + sections[i].sh_offset);
    for (size_t s = 0; s < sections[i].sh_size / sizeof(Elf64_Sym); ++s) {
      if (symbols[s].st_shndx == SHN_UNDEF || symbols[s].st_name == 0) continue;
      names.emplace_back(bytes.data() + strings.sh_offset + symbols[s].st_name);
    }
  }
  return names;
}
#endif

TEST(OfxBinary, TheBundleHoldsTheBinaryItsIconsAndTwoEntryPoints) {
  namespace fs = std::filesystem;
  const fs::path bundle = GW_OFX_BUNDLE;
  EXPECT_TRUE(fs::exists(bundle / "Contents" / kArchitecture / "Glarewright.ofx"));
  for (const char* id : {kFull, kShowcase, kQuick}) {
    const fs::path icon = bundle / "Contents/Resources" / (std::string(id) + ".png");
    ASSERT_TRUE(fs::exists(icon)) << icon;
    std::ifstream png(icon, std::ios::binary);
    char signature[8] = {};
    png.read(signature, 8);
    EXPECT_EQ(std::string(signature + 1, 3), "PNG");
  }
  std::vector<std::string> symbols = DefinedSymbols(GW_OFX_BINARY);
  std::sort(symbols.begin(), symbols.end());
  EXPECT_EQ(symbols, (std::vector<std::string>{"OfxGetNumberOfPlugins", "OfxGetPlugin"}));
}

TEST(OfxBinary, ThreePluginsWithTheirLabelsAndCapabilities) {
  auto host = LoadBinary();
  EXPECT_EQ(host->Identifiers(), (std::vector<std::string>{kFull, kShowcase, kQuick}));
  const std::pair<const char*, const char*> labels[] = {
      {kFull, "Glarewright"}, {kShowcase, "Glarewright Showcase"}, {kQuick, "Glarewright Quick"}};
  for (const auto& [id, label] : labels) {
    const ofxhost::PropertySet& p = host->Describe(id);
    EXPECT_EQ(p.String(kOfxPropLabel), label);
    EXPECT_EQ(p.String(kOfxImageEffectPluginPropGrouping), "Glarewright");
    EXPECT_EQ(p.Ints(kOfxPropVersion), (std::vector<int>{1, 0}));
    EXPECT_EQ(p.String(kOfxImageEffectPluginRenderThreadSafety), kOfxImageEffectRenderFullySafe);
    EXPECT_EQ(p.Int(kOfxImageEffectPropSupportsTiles), 1);
    EXPECT_EQ(p.Int(kOfxImageEffectPropSupportsMultiResolution), 0);
    EXPECT_EQ(p.Strings(kOfxImageEffectPropSupportedPixelDepths),
              (std::vector<std::string>{kOfxBitDepthByte, kOfxBitDepthShort, kOfxBitDepthFloat}));
    EXPECT_EQ(host->Contexts(id), (std::vector<std::string>{kOfxImageEffectContextFilter,
                                                            kOfxImageEffectContextGeneral}));
  }
  ExpectNoProblems(*host);
}

TEST(OfxBinary, TheGeneralContextAddsTheLayersAsOptionalClips) {
  auto host = LoadBinary();
  const auto clips = [&](const char* id, const char* context) {
    auto instance = host->CreateInstance(id, context);
    return instance ? instance->ClipNames() : std::vector<std::string>{};
  };
  const std::vector<std::string> filter{"Source", "Output"};
  EXPECT_EQ(clips(kFull, kOfxImageEffectContextFilter), filter);
  EXPECT_EQ(clips(kFull, kOfxImageEffectContextGeneral),
            (std::vector<std::string>{"Source", "Output", "Location", "Obscuration"}));
  EXPECT_EQ(clips(kShowcase, kOfxImageEffectContextGeneral),
            (std::vector<std::string>{"Source", "Output", "Location"}));
  EXPECT_EQ(clips(kQuick, kOfxImageEffectContextGeneral),
            (std::vector<std::string>{"Source", "Output", "Location", "Obscuration"}));
  const ofxhost::PropertySet& location =
      host->ClipDescriptor(kFull, kOfxImageEffectContextGeneral, "Location");
  EXPECT_EQ(location.Int(kOfxImageClipPropOptional), 1);
  EXPECT_EQ(location.Int(kOfxImageEffectPropSupportsTiles), 0);       // asked for whole
  EXPECT_EQ(location.Int(kOfxImageEffectPropTemporalClipAccess), 1);  // the next frame, blurred
  const ofxhost::PropertySet& source =
      host->ClipDescriptor(kFull, kOfxImageEffectContextGeneral, "Source");
  EXPECT_EQ(source.Strings(kOfxImageEffectPropSupportedComponents),
            (std::vector<std::string>{kOfxImageComponentRGBA, kOfxImageComponentRGB}));
  ExpectNoProblems(*host);
  host.reset();  // one application at a time loads the binary

  // RGB only where the application offers it.
  auto rgba = LoadBinary({.offerRgb = false});
  EXPECT_EQ(rgba->ClipDescriptor(kFull, kOfxImageEffectContextFilter, "Source")
                .Strings(kOfxImageEffectPropSupportedComponents),
            (std::vector<std::string>{kOfxImageComponentRGBA}));
}

TEST(OfxBinary, ParametersComeFromTheEditionsTables) {
  auto host = LoadBinary();
  const auto names = [&](const char* id) {
    return host->ParamDescriptorNames(id, kOfxImageEffectContextGeneral);
  };
  // The lens's controls.
  const std::vector<std::string> lensControls = {"lens", "editLens", "lensFile", "loadLens",
                                                 "saveLens"};
  const auto with = [](std::vector<std::string> names, const std::vector<std::string>& more) {
    names.insert(names.end(), more.begin(), more.end());
    return names;
  };
  EXPECT_EQ(names(kFull),
            with({"brightness", "scale", "lightPosition", "color", "angle", "obscurationType",
                  "sourceSize", "motionBlur", "shutterAngle", "blend", "output"},
                 lensControls));
  EXPECT_EQ(names(kShowcase),
            with({"brightness", "scale", "color", "angle", "blend", "output"}, lensControls));
  EXPECT_EQ(names(kQuick),
            (std::vector<std::string>{"brightness", "scale", "lightPosition", "color", "angle",
                                      "flareType", "obscurationType", "sourceSize", "motionBlur",
                                      "shutterAngle", "blend", "output"}));

  const auto param = [&](const char* name) -> const ofxhost::PropertySet& {
    return host->ParamDescriptor(kQuick, kOfxImageEffectContextGeneral, name);
  };
  // The tables' names, defaults and ranges (16.16 values as numbers).
  EXPECT_EQ(param("brightness").String(kOfxPropLabel), "Brightness");
  EXPECT_EQ(param("brightness").Doubles(kOfxParamPropDefault), (std::vector<double>{100.0}));
  EXPECT_EQ(param("brightness").Doubles(kOfxParamPropMax), (std::vector<double>{300.0}));
  EXPECT_EQ(param("brightness").Doubles(kOfxParamPropDisplayMax), (std::vector<double>{200.0}));
  EXPECT_EQ(param("brightness").Int(kOfxParamPropDigits), 1);
  EXPECT_EQ(param("scale").Doubles(kOfxParamPropMin), (std::vector<double>{0x1999 / 65536.0}));
  EXPECT_EQ(param("scale").Doubles(kOfxParamPropMax), (std::vector<double>{5.0}));
  EXPECT_EQ(param("sourceSize").String(kOfxPropLabel), "Source size:");
  EXPECT_EQ(param("sourceSize").Ints(kOfxParamPropDefault), (std::vector<int>{2}));
  EXPECT_EQ(param("sourceSize").Ints(kOfxParamPropMax), (std::vector<int>{100}));
  EXPECT_EQ(param("obscurationType").Strings(kOfxParamPropChoiceOption),
            (std::vector<std::string>{"RGB", "Alpha", "RGB + Alpha", "Inverse Alpha"}));
  EXPECT_EQ(param("obscurationType").Ints(kOfxParamPropDefault), (std::vector<int>{1}));
  const std::vector<std::string> flareTypes = param("flareType").Strings(kOfxParamPropChoiceOption);
  ASSERT_EQ(flareTypes.size(), 39u);
  EXPECT_EQ(flareTypes[0], "35mm");
  EXPECT_EQ(flareTypes[2], "Arc Welder");
  EXPECT_EQ(param("color").Doubles(kOfxParamPropDefault), (std::vector<double>{1.0, 1.0, 1.0}));
  EXPECT_EQ(param("angle").String(kOfxParamPropDoubleType), kOfxParamDoubleTypeAngle);
  // The light is a position on the image with the application's handle,
  // 30 % from the left and 30 % from the top.
  const ofxhost::PropertySet& light = param("lightPosition");
  EXPECT_EQ(light.String(kOfxParamPropDoubleType), kOfxParamDoubleTypeXYAbsolute);
  EXPECT_EQ(light.Int(kOfxParamPropUseHostOverlayHandle), 1);
  EXPECT_EQ(light.String(kOfxParamPropDefaultCoordinateSystem), kOfxParamCoordinatesNormalised);
  EXPECT_EQ(light.Doubles(kOfxParamPropDefault), (std::vector<double>{0.3, 0.7}));
  // What the binding adds.
  EXPECT_EQ(param("motionBlur").Ints(kOfxParamPropDefault), (std::vector<int>{0}));
  EXPECT_EQ(param("shutterAngle").Doubles(kOfxParamPropDefault), (std::vector<double>{180.0}));
  EXPECT_EQ(param("blend").Strings(kOfxParamPropChoiceOption),
            (std::vector<std::string>{"Screen", "Add"}));
  EXPECT_EQ(param("output").Strings(kOfxParamPropChoiceOption),
            (std::vector<std::string>{"Comp", "Flare Only"}));
  const ofxhost::PropertySet& lens =
      host->ParamDescriptor(kFull, kOfxImageEffectContextFilter, "lens");
  EXPECT_EQ(lens.Int(kOfxParamPropAnimates), 0);
  EXPECT_TRUE(lens.String(kOfxParamPropDefault).starts_with("glarewright-lens 00010002 3\n"));
  // The lens's file and buttons.
  const auto lensParam = [&](const char* name) -> const ofxhost::PropertySet& {
    return host->ParamDescriptor(kShowcase, kOfxImageEffectContextFilter, name);
  };
  EXPECT_EQ(lensParam("lensFile").String(kOfxPropLabel), "Lens File");
  EXPECT_EQ(lensParam("lensFile").String(kOfxParamPropStringMode), kOfxParamStringIsFilePath);
  EXPECT_EQ(lensParam("lensFile").Int(kOfxParamPropStringFilePathExists), 0);
  EXPECT_EQ(lensParam("lensFile").Int(kOfxParamPropAnimates), 0);
  const std::pair<const char*, const char*> buttons[] = {
      {"editLens", "Edit Lens..."},
      {"loadLens", "Load Lens..."}, {"saveLens", "Save Lens..."}};
  for (const auto& [name, label] : buttons) {
    EXPECT_EQ(lensParam(name).String(kOfxParamPropType), kOfxParamTypePushButton);
    EXPECT_EQ(lensParam(name).String(kOfxPropLabel), label);
  }
  ExpectNoProblems(*host);
}

}  // namespace
}  // namespace gw::testing
