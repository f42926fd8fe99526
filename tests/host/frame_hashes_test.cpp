// Every render path, pixel for pixel, against hashes recorded earlier: all
// presets and all element types at several light positions, direct and
// motion-blurred, full and half resolution, through the plug-in modules.
// Any change of a single output byte shows up here with the case's name.
//
// After a deliberate change of the pictures, rewrite the recorded file with
//   GW_UPDATE_FRAME_HASHES=1 build/tests/test_host --gtest_filter='FrameHashes.*'
// and look at the renders before committing it.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "lens/element_types.h"
#include "presets/presets.h"
#include "tests/host/plugin_host.h"

namespace gw::testing {
namespace {

// Rendered size of the full-resolution cases: large enough that the blurred
// path cuts the frame into tiles, with partial tiles at the right and bottom.
constexpr int32_t kWidth = 480, kHeight = 270;

// Light positions as fractions of the frame: near the centre, near a corner,
// and outside the frame.
struct LightPlace {
  const char* name;
  double x, y;
};
constexpr LightPlace kPlaces[] = {{"centre", 0.55, 0.45}, {"corner", 0.12, 0.85},
                                  {"outside", 1.15, -0.2}};

uint64_t HashPixels(const Image& image) {
  uint64_t hash = 14695981039346656037ull;  // FNV-1a, 64 bits
  const auto mix = [&](uint64_t byte) {
    hash ^= byte;
    hash *= 1099511628211ull;
  };
  mix(static_cast<uint64_t>(image.width));
  mix(static_cast<uint64_t>(image.height));
  for (const PF_Pixel& p : image.pixels) {
    mix(p.alpha);
    mix(p.red);
    mix(p.green);
    mix(p.blue);
  }
  return hash;
}

std::string Hex(uint64_t v) {
  std::ostringstream s;
  s << std::hex << v;
  return s.str();
}

// Every case's hash by name, as the renders give them now.
class HashBook {
 public:
  void Add(const std::string& name, const Image& image) {
    EXPECT_TRUE(hashes_.emplace(name, Hex(HashPixels(image))).second) << "duplicate " << name;
  }
  const std::map<std::string, std::string>& hashes() const { return hashes_; }

 private:
  std::map<std::string, std::string> hashes_;
};

std::string RecordedPath() { return std::string(GW_FRAME_HASHES_DIR) + "/frame_hashes.txt"; }

// Every recorded case by "group: name".
std::map<std::string, std::string> ReadRecorded(const std::string& path) {
  std::map<std::string, std::string> recorded;
  std::ifstream file(path);
  std::string line;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    const size_t space = line.rfind(' ');  // names hold blanks, hashes do not
    if (space == std::string::npos) continue;
    recorded[line.substr(0, space)] = line.substr(space + 1);
  }
  return recorded;
}

void WriteRecorded(const std::string& path, const std::map<std::string, std::string>& hashes) {
  std::ofstream file(path, std::ios::trunc);
  file << "# FNV-1a hashes of whole output frames; see tests/host/frame_hashes_test.cpp\n";
  for (const auto& [name, hash] : hashes) file << name << ' ' << hash << '\n';
}

// The recorded cases of one group, without the group's prefix.
std::map<std::string, std::string> GroupOf(const std::map<std::string, std::string>& all,
                                           const std::string& group) {
  std::map<std::string, std::string> cases;
  const std::string prefix = group + ": ";
  for (const auto& [name, hash] : all) {
    if (name.compare(0, prefix.size(), prefix) == 0) cases[name.substr(prefix.size())] = hash;
  }
  return cases;
}

// Compares a group with the recorded file, or rewrites the group's lines
// when asked to (the other groups' lines are kept).
void CheckAgainstRecorded(const HashBook& book, const std::string& group) {
  const std::string path = RecordedPath();
  auto all = ReadRecorded(path);
  const char* update = std::getenv("GW_UPDATE_FRAME_HASHES");
  if (update && std::string(update) == "1") {
    std::erase_if(all, [&](const auto& entry) { return entry.first.starts_with(group + ": "); });
    for (const auto& [name, hash] : book.hashes()) all[group + ": " + name] = hash;
    WriteRecorded(path, all);
    GTEST_SKIP() << "rewrote the " << group << " lines of " << path;
  }
  const auto recorded = GroupOf(all, group);
  ASSERT_FALSE(recorded.empty()) << "no recorded " << group << " hashes in " << path;
  EXPECT_EQ(recorded.size(), book.hashes().size()) << "cases added or lost";
  int32_t changed = 0;
  for (const auto& [name, hash] : book.hashes()) {
    const auto it = recorded.find(name);
    if (it == recorded.end()) {
      ADD_FAILURE() << "no recorded hash for " << name;
    } else if (it->second != hash) {
      ++changed;
      ADD_FAILURE() << name << " renders differently: " << hash << ", recorded " << it->second;
    }
  }
  EXPECT_EQ(changed, 0);
}

// A full-edition instance holding `lens`, over a full-size layer of W x H.
std::unique_ptr<TestHost> FullInstance(const Lens& lens, int32_t width, int32_t height) {
  auto host = NewInstance("full");
  EXPECT_EQ(host->SequenceResetup(StoredBytes(lens)), PF_Err_NONE);
  host->settings().width = width;
  host->settings().height = height;
  return host;
}

// Points are given in full-size layer pixels.
ParamValue PointAt(const LightPlace& place, int32_t width, int32_t height) {
  return Point(place.x * width, place.y * height);
}

Image RenderOnce(TestHost& host, int32_t width, int32_t height) {
  Image out;
  EXPECT_EQ(host.Render(0, PatternFrame(width, height), out), PF_Err_NONE);
  return out;
}

// The direct path at every light position, full and half resolution.
void AddDirect(HashBook& book, const std::string& name, const Lens& lens) {
  for (const LightPlace& place : kPlaces) {
    auto host = FullInstance(lens, kWidth, kHeight);
    host->SetValue(host->IndexOf("Light Source Location"), PointAt(place, kWidth, kHeight));
    book.Add(name + " direct " + place.name, RenderOnce(*host, kWidth, kHeight));
  }
  const LightPlace& place = kPlaces[0];
  auto host = FullInstance(lens, 2 * kWidth, 2 * kHeight);
  host->settings().downsample = 2;
  host->SetValue(host->IndexOf("Light Source Location"), PointAt(place, 2 * kWidth, 2 * kHeight));
  book.Add(name + " direct half", RenderOnce(*host, 2 * kWidth, 2 * kHeight));
}

// The motion-blurred path: the light, the angle, the scale and the colour
// all change between this frame and the next.
void AddBlurred(HashBook& book, const std::string& name, const Lens& lens, int32_t downsample,
                int32_t quality, const LightPlace& from, const LightPlace& to) {
  const int32_t width = kWidth * downsample, height = kHeight * downsample;
  auto host = FullInstance(lens, width, height);
  host->settings().downsample = downsample;
  host->settings().quality = quality;
  host->settings().shutterAngle = 0xC000;
  const int32_t point = host->IndexOf("Light Source Location");
  host->SetKey(point, 0, PointAt(from, width, height));
  host->SetKey(point, 1, PointAt(to, width, height));
  const int32_t angle = host->IndexOf("Angle");
  host->SetKey(angle, 0, Fixed(10));
  host->SetKey(angle, 1, Fixed(40));
  const int32_t scale = host->IndexOf("Scale");
  host->SetKey(scale, 0, Fixed(1.0));
  host->SetKey(scale, 1, Fixed(1.2));
  ParamValue warm, cool;
  warm.colour = PF_Pixel{255, 255, 200, 120};
  cool.colour = PF_Pixel{255, 140, 200, 255};
  const int32_t colour = host->IndexOf("Color");
  host->SetKey(colour, 0, warm);
  host->SetKey(colour, 1, cool);
  const std::string label = name + " blurred " + (downsample == 2 ? "half " : "") +
                            (quality == PF_Quality_HI ? "hi " : "lo ") + from.name;
  book.Add(label, RenderOnce(*host, width, height));
}

void AddAllPaths(HashBook& book, const std::string& name, const Lens& lens) {
  AddDirect(book, name, lens);
  AddBlurred(book, name, lens, 1, PF_Quality_HI, kPlaces[0], kPlaces[1]);
  AddBlurred(book, name, lens, 1, PF_Quality_LO, kPlaces[2], kPlaces[0]);
  AddBlurred(book, name, lens, 2, PF_Quality_HI, kPlaces[1], kPlaces[1]);
}

TEST(FrameHashes, EveryElementTypeOnEveryPath) {
  HashBook book;
  for (const ElementTypeInfo& info : ElementTypes()) {
    AddAllPaths(book, info.listName, LensOf(static_cast<int16_t>(info.type), 1));
  }
  EXPECT_EQ(ElementTypes().size(), 19u);

  // The other branch of each type: anamorphic, the option flipped, away
  // from the light.
  for (const ElementTypeInfo& info : ElementTypes()) {
    Lens lens = LensOf(static_cast<int16_t>(info.type), 1);
    LensElement& element = lens.elements[0];
    element.anamorphic = 1;
    element.option = element.option ? 0 : 1;
    element.position = -0.5f;
    const std::string name = std::string(info.listName) + " flipped";
    auto host = FullInstance(lens, kWidth, kHeight);
    host->SetValue(host->IndexOf("Light Source Location"), PointAt(kPlaces[1], kWidth, kHeight));
    book.Add(name + " direct corner", RenderOnce(*host, kWidth, kHeight));
    AddBlurred(book, name, lens, 1, PF_Quality_HI, kPlaces[1], kPlaces[0]);
  }
  CheckAgainstRecorded(book, "elements");
}

// Every preset on the direct paths and blurred at half resolution; the two
// longer blurs in turn, every third preset each (they cost the most time
// under the sanitizers, and the element types cover them all).
TEST(FrameHashes, EveryPresetOnEveryPath) {
  HashBook book;
  for (int16_t value = 1; value <= kPresetCount; ++value) {
    Lens lens = EmptyLens();
    BuildPreset(lens, value);
    const std::string name(PresetName(value));
    AddDirect(book, name, lens);
    if (value % 3 == 1) AddBlurred(book, name, lens, 1, PF_Quality_HI, kPlaces[0], kPlaces[1]);
    if (value % 3 == 2) AddBlurred(book, name, lens, 1, PF_Quality_LO, kPlaces[2], kPlaces[0]);
    AddBlurred(book, name, lens, 2, PF_Quality_HI, kPlaces[1], kPlaces[1]);
  }
  CheckAgainstRecorded(book, "presets");
}

// A layer with a few opaque patches of different colours and opacities.
std::shared_ptr<Image> PatchLayer(int32_t width, int32_t height) {
  auto layer = std::make_shared<Image>(width, height, PF_Pixel{0, 0, 0, 0});
  const auto fill = [&](int32_t x0, int32_t y0, int32_t side, PF_Pixel colour) {
    for (int32_t y = y0; y < y0 + side; ++y) {
      for (int32_t x = x0; x < x0 + side; ++x) layer->at(x, y) = colour;
    }
  };
  fill(width / 5, height / 4, 6, PF_Pixel{255, 255, 255, 255});
  fill(width * 3 / 5, height / 2, 4, PF_Pixel{180, 255, 120, 40});
  fill(width - 10, height - 12, 5, PF_Pixel{255, 30, 90, 255});
  return layer;
}

// The other inputs of a render: the location and obscuration layers, the
// Showcase edition's lights and the Quick edition's presets.
TEST(FrameHashes, LayersAndOtherEditions) {
  HashBook book;
  Lens lens = EmptyLens();
  BuildPreset(lens, FindPreset("Basic Lens"));

  auto patches = PatchLayer(kWidth, kHeight);
  for (int32_t type = 1; type <= 4; ++type) {
    for (PF_Fixed shutter : {0, 0x8000}) {
      auto host = FullInstance(lens, kWidth, kHeight);
      host->settings().shutterAngle = shutter;
      host->SetLayer(host->IndexOf("Obscuration layer:"), patches);
      host->SetValue(host->IndexOf("Obscuration Type"), Int(type));
      host->SetValue(host->IndexOf("Source size:"), Int(20));
      // On the half-transparent coloured patch.
      host->SetValue(host->IndexOf("Light Source Location"),
                     Point(kWidth * 3 / 5 + 2, kHeight / 2 + 2));
      book.Add("obscuration " + std::to_string(type) + (shutter ? " blurred" : " direct"),
               RenderOnce(*host, kWidth, kHeight));
    }
  }
  for (PF_Fixed shutter : {0, 0x8000}) {
    auto host = FullInstance(lens, kWidth, kHeight);
    host->settings().shutterAngle = shutter;
    host->SetLayer(host->IndexOf("Location layer:"), patches);
    book.Add(std::string("location layer") + (shutter ? " blurred" : " direct"),
             RenderOnce(*host, kWidth, kHeight));
  }
  for (int32_t downsample : {1, 2}) {
    auto host = NewInstance("showcase");
    EXPECT_EQ(host->SequenceResetup(StoredBytes(lens)), PF_Err_NONE);
    host->settings().width = kWidth * downsample;
    host->settings().height = kHeight * downsample;
    host->settings().downsample = downsample;
    host->SetLayer(host->IndexOf("Location layer:"),
                   PatchLayer(kWidth * downsample, kHeight * downsample));
    book.Add("showcase " + std::to_string(downsample),
             RenderOnce(*host, kWidth * downsample, kHeight * downsample));
  }
  for (int32_t preset : {1, 37}) {
    for (PF_Fixed shutter : {0, 0x8000}) {
      auto host = NewInstance("quick");
      host->settings().width = kWidth;
      host->settings().height = kHeight;
      host->settings().shutterAngle = shutter;
      host->SetValue(host->IndexOf("Flare Type"), Int(preset));
      book.Add("quick " + std::to_string(preset) + (shutter ? " blurred" : " direct"),
               RenderOnce(*host, kWidth, kHeight));
    }
  }
  CheckAgainstRecorded(book, "layers");
}

// One element of every type, spread along the flare axis, so that every
// shape builder and stamp is drawn at several distances from the centre.
Lens EveryTypeLens() {
  Lens lens = EmptyLens();
  for (const ElementTypeInfo& info : ElementTypes()) {
    LensElement& element = lens.elements[lens.count];
    InitElement(static_cast<int16_t>(info.type), element);
    element.position = 1.0f - 0.15f * static_cast<float>(lens.count);
    element.anamorphic = lens.count % 2;
    ++lens.count;
  }
  return lens;
}

// Many lights: a block of identical white patches, a row of one colour at
// rising opacity, patches of a colour each, and patches at the edges.
std::shared_ptr<Image> ManyPatchLayer(int32_t width, int32_t height) {
  auto layer = std::make_shared<Image>(width, height, PF_Pixel{0, 0, 0, 0});
  const auto fill = [&](int32_t x0, int32_t y0, int32_t side, PF_Pixel colour) {
    for (int32_t y = y0; y < y0 + side && y < height; ++y) {
      for (int32_t x = x0; x < x0 + side && x < width; ++x) layer->at(x, y) = colour;
    }
  };
  for (int32_t i = 0; i < 40; ++i) {
    fill(20 + (i % 10) * 16, 20 + (i / 10) * 14, 2, PF_Pixel{255, 255, 255, 255});
  }
  for (int32_t i = 0; i < 12; ++i) {
    fill(220 + i * 20, 30, 3, PF_Pixel{static_cast<uint8_t>(40 + i * 18), 255, 190, 120});
  }
  for (int32_t i = 0; i < 30; ++i) {
    fill(30 + (i % 15) * 28, 120 + (i / 15) * 40 + i % 7, 2 + i % 3,
         PF_Pixel{255, static_cast<uint8_t>(i * 37 % 256), static_cast<uint8_t>(i * 91 % 256),
                  static_cast<uint8_t>(i * 53 % 256)});
  }
  fill(0, 0, 2, PF_Pixel{255, 255, 255, 255});
  fill(width - 2, height / 2, 2, PF_Pixel{255, 255, 255, 255});
  fill(width / 3, height - 1, 4, PF_Pixel{200, 90, 200, 255});
  return layer;
}

// What one frame may share between the lights of the Showcase edition and
// between the samples of a motion blur: lights of the same colour and
// brightness at different places, and blurs where only the light moves or
// nothing moves at all.
TEST(FrameHashes, ManyLightsAndSamplesOfOneFrame) {
  HashBook book;
  std::vector<std::pair<std::string, Lens>> lenses;
  Lens lens = EmptyLens();
  BuildDefaultLens(lens);
  lenses.emplace_back("default lens", lens);
  for (const char* preset : {"Basic Lens", "300mm Zoom", "Warm Sunflare"}) {
    lens = EmptyLens();
    BuildPreset(lens, FindPreset(preset));
    lenses.emplace_back(preset, lens);
  }
  lenses.emplace_back("every type", EveryTypeLens());

  const auto layer = ManyPatchLayer(kWidth, kHeight);
  for (const auto& [name, lens] : lenses) {
    for (double scale : {1.0, 0.3}) {
      auto host = NewInstance("showcase");
      EXPECT_EQ(host->SequenceResetup(StoredBytes(lens)), PF_Err_NONE);
      host->settings().width = kWidth;
      host->settings().height = kHeight;
      host->SetLayer(host->IndexOf("Location layer:"), layer);
      host->SetValue(host->IndexOf("Scale"), Fixed(scale));
      host->SetValue(host->IndexOf("Brightness"), Fixed(scale == 1.0 ? 100 : 40));
      book.Add("showcase " + name + " scale " + std::to_string(scale).substr(0, 3),
               RenderOnce(*host, kWidth, kHeight));
    }
    for (const bool moving : {true, false}) {
      for (const int32_t downsample : {1, 2}) {
        const int32_t width = kWidth * downsample, height = kHeight * downsample;
        auto host = FullInstance(lens, width, height);
        host->settings().downsample = downsample;
        host->settings().shutterAngle = 0x10000;
        const int32_t point = host->IndexOf("Light Source Location");
        host->SetKey(point, 0, PointAt(kPlaces[0], width, height));
        host->SetKey(point, 1, PointAt(moving ? kPlaces[1] : kPlaces[0], width, height));
        book.Add("blurred " + name + (moving ? " light moving" : " still") +
                     (downsample == 2 ? " half" : ""),
                 RenderOnce(*host, width, height));
      }
    }
  }
  CheckAgainstRecorded(book, "shared");
}

}  // namespace
}  // namespace gw::testing
