// The lens's buttons as a user presses them in an application: "Load Lens..."
// and "Save Lens..." with the "Lens File" parameter, "Edit Lens..." with a
// stand-in for the editor program. A new lens is one step of the undo
// history; whatever is refused leaves the lens and the files as they were;
// a render running meanwhile draws one lens or the other, never a mix.
#if defined(_WIN32)
#include <windows.h>
#endif

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "lens/lens.h"
#include "lensfile/lens_json.h"
#include "lensfile/lens_text.h"
#include "lensfile/lensfile.h"
#include "ofx/api/host_suites.h"
#include "presets/presets.h"
#include "tests/ofx/ofx_rig.h"

namespace gw::testing {
namespace {

namespace fs = std::filesystem;

constexpr int32_t kW = 200, kH = 120;

// A file of the running test's own: ctest runs the tests side by side.
std::string TempPath(const std::string& name) {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string owner = test ? std::string(test->test_suite_name()) + "_" + test->name() : "";
  return std::string(GW_TEST_TMPDIR) + "/buttons_" + owner + "_" + name;
}

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  fs::remove(path);
  std::ofstream(path, std::ios::binary) << bytes;
}

Lens Preset(int16_t value) {
  Lens lens{};
  BuildPreset(lens, value);
  return lens;
}

Lens DefaultLens() {
  Lens lens{};
  BuildDefaultLens(lens);
  return lens;
}

std::string AsFile(const Lens& lens) {
  const std::vector<uint8_t> bytes = EncodeLensFile(lens);
  return {bytes.begin(), bytes.end()};
}

testhost::Image Plate() {
  testhost::Image image(kW, kH);
  for (int32_t y = 0; y < kH; ++y) {
    for (int32_t x = 0; x < kW; ++x) {
      image.at(x, y) = PF_Pixel{255, static_cast<uint8_t>(x / 2), static_cast<uint8_t>(y), 40};
    }
  }
  return image;
}

// One instance of an edition with a lens, over a plate, as a user has it.
struct Panel : PlateRig {
  explicit Panel(const char* id = kFull)
      : PlateRig(id, kOfxImageEffectContextFilter, FromLegacy(Plate(), kOfxBitDepthByte)) {}
  std::string LensText() const { return instance->Value("lens").text; }
  Lens CurrentLens() const {
    Lens lens{};
    std::string error;
    EXPECT_TRUE(LensFromText(LensText(), lens, error)) << error;
    return lens;
  }
  // Types a path into "Lens File" and presses a button.
  void Press(const char* button, const std::string& path) {
    if (instance->Value("lensFile").text != path) {
      const OfxStatus typed = instance->Edit("lensFile", Text(path));
      EXPECT_TRUE(typed == kOfxStatOK || typed == kOfxStatReplyDefault) << typed;
    }
    EXPECT_EQ(instance->Press(button), kOfxStatOK);
  }
  // The messages shown since last asked, one line each.
  std::string Said() {
    std::string said;
    for (const ofxhost::Message& m : host->TakeMessages()) {
      EXPECT_FALSE(m.persistent) << m.text;
      EXPECT_EQ(m.type, kOfxMessageError) << m.text;
      said += m.text + "\n";
    }
    return said;
  }
};

// Steps of the undo history other than typing paths into "Lens File".
std::vector<std::string> LensSteps(const Instance& instance) {
  std::vector<std::string> steps;
  for (const std::string& step : instance.UndoHistory()) {
    if (step != "lensFile") steps.push_back(step);
  }
  return steps;
}

TEST(OfxLensButtons, LoadTakesBothFormsAsOneUndoStep) {
  const Lens laser = Preset(26), sunset = Preset(30);
  const std::string gwr = TempPath("laser.gwr"), json = TempPath("sunset.json");
  WriteBytes(gwr, AsFile(laser));
  WriteBytes(json, LensToJson(sunset));

  Panel panel;
  const HostImage defaultFlare = panel.Render();
  panel.Press("loadLens", gwr);
  EXPECT_EQ(panel.Said(), "");
  EXPECT_EQ(panel.LensText(), LensToText(laser));
  const HostImage laserFlare = panel.Render();
  // The JSON form, also under a name that does not say so.
  const std::string unnamed = TempPath("sunset_lens");
  WriteBytes(unnamed, LensToJson(sunset));
  panel.Press("loadLens", unnamed);
  EXPECT_EQ(panel.LensText(), LensToText(sunset));
  panel.Press("loadLens", json);
  EXPECT_EQ(panel.LensText(), LensToText(sunset));
  EXPECT_EQ(panel.Said(), "");
  EXPECT_EQ(LensSteps(*panel.instance),
            (std::vector<std::string>{"Load Lens", "Load Lens", "Load Lens"}));

  // Undo takes each load back whole, and the picture with it (between the
  // loads, the paths typed in).
  ASSERT_TRUE(panel.instance->Undo());
  EXPECT_EQ(panel.LensText(), LensToText(sunset));
  ASSERT_TRUE(panel.instance->Undo());
  ASSERT_TRUE(panel.instance->Undo());
  EXPECT_EQ(panel.LensText(), LensToText(laser));
  EXPECT_TRUE(SameBytes(panel.Render(), laserFlare));
  ASSERT_TRUE(panel.instance->Undo());
  ASSERT_TRUE(panel.instance->Undo());
  EXPECT_EQ(panel.LensText(), LensToText(DefaultLens()));
  EXPECT_TRUE(SameBytes(panel.Render(), defaultFlare));
  EXPECT_FALSE(SameBytes(laserFlare, defaultFlare));
  panel.Finish();

  // The Showcase edition has the same buttons.
  Panel showcase(kShowcase);
  showcase.Press("loadLens", gwr);
  EXPECT_EQ(showcase.LensText(), LensToText(laser));
  showcase.Finish();
}

TEST(OfxLensButtons, RefusedFilesLeaveTheLensAsItWas) {
  const std::string folder = TempPath("a_folder");
  fs::create_directories(folder);
  std::string wrongVersion = AsFile(Preset(3));
  wrongVersion[3] = 1;
  const std::string cut = AsFile(Preset(3)).substr(0, 8 + 114 + 50);
  const std::string tooBig = std::string("GW\0\0\0\0\0\x65", 8) + std::string(101 * 114, '\0');
  std::string json = LensToJson(Preset(3));
  const size_t value = json.find("\"iparam0\": ") + 11;
  json.replace(value, json.find(',', value) - value, "40000");
  const std::pair<std::string, std::string> files[] = {
      {TempPath("picture.png"), std::string("\x89PNG\r\n\x1a\n", 8) + std::string(64, 'x')},
      {TempPath("version1.gwr"), wrongVersion},
      {TempPath("cut.gwr"), cut},
      {TempPath("too_many.gwr"), tooBig},
      {TempPath("bad.json"), json},
      {TempPath("empty.gwr"), ""},
  };
  for (const auto& [path, bytes] : files) WriteBytes(path, bytes);
  const std::string missing = TempPath("missing.gwr");
  fs::remove(missing);

  Panel panel;
  panel.Press("loadLens", TempPath("laser_first.gwr"));  // missing as well
  panel.Said();
  WriteBytes(TempPath("laser_first.gwr"), AsFile(Preset(26)));
  panel.Press("loadLens", TempPath("laser_first.gwr"));
  const std::string before = panel.LensText();
  const std::vector<std::string> steps = LensSteps(*panel.instance);
  const std::pair<std::string, std::string> refusals[] = {
      {missing, missing + ": no such file"},
      {folder, folder + ": is a folder, not a file"},
      {files[0].first, files[0].first + ": not a lens file"},
      {files[1].first, files[1].first + ": a lens file of an unknown version"},
      {files[2].first, files[2].first + ": the file is cut short"},
      {files[3].first, files[3].first + ": the lens would hold more than 100 elements"},
      {files[4].first, files[4].first + ": element 0, key \"iparam0\": 40000 lies outside "
                                        "-32768..32767"},
      {files[5].first, files[5].first + ": not a lens file"},
  };
  for (const auto& [path, message] : refusals) {
    panel.Press("loadLens", path);
    EXPECT_EQ(panel.Said(), "Glarewright: " + message + "; the lens is unchanged\n");
    EXPECT_EQ(panel.LensText(), before) << path;
  }
  panel.Press("loadLens", "");
  EXPECT_EQ(panel.Said(),
            "Glarewright: Load Lens: choose a lens file (.gwr, or .json for the JSON form) in "
            "\"Lens File\" first\n");
  EXPECT_EQ(panel.LensText(), before);
  EXPECT_EQ(LensSteps(*panel.instance), steps);
  panel.Finish();
}

TEST(OfxLensButtons, SaveWritesEitherFormAndNeverReplacesWhatItShouldNot) {
  Panel panel;
  WriteBytes(TempPath("source.gwr"), AsFile(Preset(12)));
  panel.Press("loadLens", TempPath("source.gwr"));
  const Lens lens = panel.CurrentLens();

  // Both forms, byte for byte what `glarewright lens new/export` write; an
  // earlier lens file is replaced.
  const std::string gwr = TempPath("saved.gwr"), json = TempPath("saved.JSON");
  WriteBytes(gwr, AsFile(DefaultLens()));
  fs::remove(json);
  panel.Press("saveLens", gwr);
  panel.Press("saveLens", json);
  EXPECT_EQ(panel.Said(), "");
  EXPECT_EQ(Bytes(gwr), AsFile(lens));
  EXPECT_EQ(Bytes(json), LensToJson(lens));
  // An element switched off is saved switched on, as a lens file keeps it,
  // so that the JSON form loads back.
  Lens off = lens;
  off.elements[0].enabled = 0;
  ASSERT_EQ(panel.instance->Edit("lens", Text(LensToText(off))), kOfxStatOK);
  panel.Press("saveLens", json);
  EXPECT_EQ(Bytes(json), LensToJson(lens));
  panel.Press("loadLens", json);
  EXPECT_EQ(panel.Said(), "");
  EXPECT_EQ(panel.LensText(), LensToText(lens));

  // What must stay as it is.
  const std::string picture = TempPath("plate.exr"), locked = TempPath("locked.gwr");
  const std::string folder = TempPath("save_folder");
  const std::string pictureBytes = "v/1\x01 not a lens at all";
  WriteBytes(picture, pictureBytes);
  WriteBytes(locked, AsFile(DefaultLens()));
  fs::permissions(locked, fs::perms::owner_read | fs::perms::group_read);
  fs::create_directories(folder);
  const std::string nowhere = TempPath("no_such_folder/lens.gwr");

  panel.Press("saveLens", picture);
  EXPECT_EQ(panel.Said(), "Glarewright: " + picture +
                              ": holds something other than a lens, which is left as it is; "
                              "choose another name\n");
  EXPECT_EQ(Bytes(picture), pictureBytes);
  panel.Press("saveLens", locked);
  EXPECT_NE(panel.Said().find(locked + ": cannot be written: "), std::string::npos);
  EXPECT_EQ(Bytes(locked), AsFile(DefaultLens()));
  panel.Press("saveLens", folder);
  EXPECT_NE(panel.Said().find(folder + ": cannot be written: "), std::string::npos);
  EXPECT_TRUE(fs::is_directory(folder));
  panel.Press("saveLens", nowhere);
  EXPECT_NE(panel.Said().find(nowhere + ": cannot be written: "), std::string::npos);
  EXPECT_FALSE(fs::exists(nowhere));
  panel.Press("saveLens", "");
  EXPECT_NE(panel.Said().find("Save Lens: choose a lens file"), std::string::npos);
  // Nothing beside the files but the files: no temporaries left behind.
  for (const auto& entry : fs::directory_iterator(GW_TEST_TMPDIR)) {
    EXPECT_EQ(entry.path().filename().string().find(".partial"), std::string::npos)
        << entry.path();
  }
  // Saving changes no parameter but the path typed in.
  EXPECT_EQ(LensSteps(*panel.instance),
            (std::vector<std::string>{"Load Lens", "lens", "Load Lens"}));
  fs::permissions(locked, fs::perms::owner_write, fs::perm_options::add);
  panel.Finish();
}

// A button pressed while renders run on another thread: each render draws
// the lens it started with, whole.
TEST(OfxLensButtons, ARenderNeverSeesTheLensChangeUnderIt) {
  const Lens lenses[] = {Preset(26), Preset(8)};
  const std::string paths[] = {TempPath("thread_a.gwr"), TempPath("thread_b.gwr")};
  std::vector<HostImage> pictures;
  Panel panel;
  pictures.push_back(panel.Render());
  for (int i = 0; i < 2; ++i) {
    WriteBytes(paths[i], AsFile(lenses[i]));
    panel.Press("loadLens", paths[i]);
    pictures.push_back(panel.Render());
  }
  std::atomic<bool> done{false};
  std::atomic<int> renders{0}, strays{0};
  std::thread renderer([&] {
    while (!done) {
      const HostImage out = panel.Render();
      const bool known = std::any_of(pictures.begin(), pictures.end(),
                                     [&](const HostImage& p) { return SameBytes(p, out); });
      if (!known) ++strays;
      ++renders;
    }
  });
  for (int press = 0; press < 40 || renders < 4; ++press) {
    panel.Press("loadLens", paths[press % 2]);
  }
  done = true;
  renderer.join();
  EXPECT_EQ(strays, 0) << "of " << renders << " renders";
  panel.Finish();
}

// --- Edit Lens... with a stand-in for the editor program (Linux) ---
#if !defined(_WIN32)

// Sets an environment variable for one test.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old, had_ = true;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedVariable() {
    if (had_) {
      setenv(name_, old_.c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::string old_;
  bool had_ = false;
};


struct EditorRig {
  EditorRig() : editor(kEditorVariable, GW_STANDIN_EDITOR) {}
  // Presses "Edit Lens..." with the stand-in doing `does`; the lens it was
  // handed.
  Lens Edit(const std::string& does) {
    const ScopedVariable what("STANDIN_DOES", does);
    const ScopedVariable copy("STANDIN_RECEIVED", received);
    fs::remove(received);
    EXPECT_EQ(panel.instance->Press("editLens"), kOfxStatOK);
    Lens handed = LensForLoading();
    EXPECT_EQ(LoadLensFile(received.c_str(), handed, false), kLensFileOk) << panel.Said();
    return handed;
  }
  static constexpr char kEditorVariable[] = "GLAREWRIGHT_EDIT";
  ScopedVariable editor;
  Panel panel;
  const std::string received = TempPath("received.gwr");
};

TEST(OfxLensEditor, OkStoresTheEditedLensAsOneUndoStepCancelNothing) {
  EditorRig rig;
  const std::string edited = TempPath("edited.gwr");
  WriteBytes(edited, AsFile(Preset(30)));

  // The lens is handed over as a lens file; OK with nothing changed stores
  // nothing.
  EXPECT_EQ(LensToText(rig.Edit("ok")), LensToText(DefaultLens()));
  EXPECT_EQ(rig.panel.Said(), "");
  EXPECT_TRUE(rig.panel.instance->UndoHistory().empty());

  // Cancel keeps the lens even when the file was changed.
  rig.Edit("cancel-after=" + edited);
  EXPECT_EQ(rig.panel.Said(), "");
  EXPECT_EQ(rig.panel.LensText(), LensToText(DefaultLens()));
  EXPECT_TRUE(rig.panel.instance->UndoHistory().empty());

  rig.Edit("ok-with=" + edited);
  EXPECT_EQ(rig.panel.Said(), "");
  EXPECT_EQ(rig.panel.LensText(), LensToText(Preset(30)));
  EXPECT_EQ(rig.panel.instance->UndoHistory(), (std::vector<std::string>{"Edit Lens"}));
  // The next edit starts from the edited lens; undo goes back to the default.
  EXPECT_EQ(LensToText(rig.Edit("ok")), LensToText(Preset(30)));
  ASSERT_TRUE(rig.panel.instance->Undo());
  EXPECT_EQ(rig.panel.LensText(), LensToText(DefaultLens()));
  // A lens the editor had to keep in another file is read from there.
  const std::string elsewhere = TempPath("kept_elsewhere.gwr");
  WriteBytes(elsewhere, AsFile(Preset(8)));
  rig.Edit("ok-elsewhere=" + elsewhere);
  EXPECT_EQ(rig.panel.Said(), "");
  EXPECT_EQ(rig.panel.LensText(), LensToText(Preset(8)));
  rig.panel.Finish();
}

// The preview's background is the source's frame at the button's time,
// rows from the top as the plate is, handed over beside the lens; with
// nothing connected the editor is given none.
TEST(OfxLensEditor, ThePreviewShowsTheSourceFrameBehindTheFlare) {
  EditorRig rig;
  const std::string background = TempPath("background.ppm");
  fs::remove(background);
  const ScopedVariable copy("STANDIN_BACKGROUND", background);
  rig.Edit("ok");
  EXPECT_EQ(rig.panel.Said(), "");
  const testhost::Image plate = Plate();
  std::string expected = "P6\n" + std::to_string(kW) + " " + std::to_string(kH) + "\n255\n";
  for (int32_t y = 0; y < kH; ++y) {
    for (int32_t x = 0; x < kW; ++x) {
      const PF_Pixel& p = plate.at(x, y);
      expected += {static_cast<char>(p.red), static_cast<char>(p.green),
                   static_cast<char>(p.blue)};
    }
  }
  EXPECT_TRUE(Bytes(background) == expected) << "the background differs from the plate";

  fs::remove(background);
  rig.panel.instance->Disconnect(kOfxImageEffectSimpleSourceClipName);
  rig.Edit("ok");
  EXPECT_EQ(rig.panel.Said(), "");
  EXPECT_FALSE(fs::exists(background));
  rig.panel.Finish();
}

TEST(OfxLensEditor, AnEditorThatFailsCrashesOrIsKilledChangesNothing) {
  EditorRig rig;
  const std::pair<const char*, const char*> cases[] = {
      {"fail",
       "the Lens Editor failed (exit status 2): glarewright edit: something went wrong"},
      {"crash", "the Lens Editor was stopped by signal 11 (Segmentation fault)"},
      {"killed", "the Lens Editor was stopped by signal 9 (Killed)"},
      {"ok-damaged",
       "the Lens Editor ended with OK, but its lens cannot be read: a lens file of an "
       "unknown version"},
  };
  for (const auto& [does, message] : cases) {
    rig.Edit(does);
    EXPECT_EQ(rig.panel.Said(), std::string("Glarewright: ") + message +
                                    "; the lens is unchanged\n");
    EXPECT_EQ(rig.panel.LensText(), LensToText(DefaultLens()));
  }
  EXPECT_TRUE(rig.panel.instance->UndoHistory().empty());
  rig.panel.Finish();
}

TEST(OfxLensEditor, NoEditorOrNoTemporaryFolderIsSaidPlainly) {
  Panel panel;
  {
    const ScopedVariable editor("GLAREWRIGHT_EDIT", TempPath("no_such_editor"));
    panel.instance->Press("editLens");
    EXPECT_EQ(panel.Said(), "Glarewright: GLAREWRIGHT_EDIT names " + TempPath("no_such_editor") +
                                ", which is not a program that can be run; the lens is "
                                "unchanged\n");
  }
  {
    const ScopedVariable editor("GLAREWRIGHT_EDIT", GW_STANDIN_EDITOR);
    const ScopedVariable what("STANDIN_DOES", "ok-with=" + TempPath("nothing.gwr"));
    const ScopedVariable tmp("TMPDIR", TempPath("no_such_folder"));
    panel.instance->Press("editLens");
    EXPECT_NE(panel.Said().find("Glarewright: no private temporary folder can be made in " +
                                TempPath("no_such_folder") + ": No such file or directory"),
              std::string::npos);
  }
  // Without the variable the editor beside the binary is used: the real one,
  // which says that it needs a display.
  const fs::path bundled = fs::path(GW_OFX_BINARY).parent_path() / "glarewright-edit";
  if (fs::exists(bundled)) {
    const ScopedVariable editor("GLAREWRIGHT_EDIT", "");
    const ScopedVariable display("DISPLAY", "");
    const ScopedVariable wayland("WAYLAND_DISPLAY", "");
    const ScopedVariable platform("QT_QPA_PLATFORM", "");
    panel.instance->Press("editLens");
    EXPECT_NE(panel.Said().find("the Lens Editor failed (exit status 2): glarewright edit: no "
                                "display"),
              std::string::npos);
  }
  EXPECT_EQ(panel.LensText(), LensToText(DefaultLens()));
  EXPECT_TRUE(panel.instance->UndoHistory().empty());
  panel.Finish();
}

#else

// --- Edit Lens... where no window can be made (Windows) ---

// Without a window system the Lens Editor cannot open: the message says so
// and the lens stays as it was. (With a display the editor would open and
// wait for a person: tests/editor_win32 drives it there.)
TEST(OfxLensEditor, AnEditorThatCannotOpenChangesNothing) {
  if (HWND probe = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr,
                                   nullptr, GetModuleHandleA(nullptr), nullptr)) {
    DestroyWindow(probe);
    GTEST_SKIP() << "a display: the editor would open";
  }
  Panel panel;
  EXPECT_EQ(panel.instance->Press("editLens"), kOfxStatOK);
  EXPECT_EQ(panel.Said(), "Glarewright: the Lens Editor cannot open: its windows cannot be made "
                          "(status -7); the lens is unchanged\n");
  EXPECT_EQ(panel.LensText(), LensToText(DefaultLens()));
  EXPECT_TRUE(panel.instance->UndoHistory().empty());
  panel.Finish();
}

#endif

}  // namespace
}  // namespace gw::testing
