#include "ofx/lens_buttons.h"

#include <sys/stat.h>

#include <string>
#include <vector>

#include "lens/lens.h"
#include "lensfile/lens_forms.h"
#include "lensfile/lens_text.h"
#include "ofx/images.h"
#include "ofx/lens_editor.h"
#include "ofx/messages.h"
#include "ofx/suites.h"

namespace gw::ofx {
namespace {

constexpr char kNoLensFile[] =
    "choose a lens file (.gwr, or .json for the JSON form) in \"Lens File\" first";

void Tell(const Instance& instance, const std::string& text) {
  ShowMessage(instance.handle, kOfxMessageError, text);
}

// A text parameter's value at a time; "" when it has none.
std::string TextAt(OfxParamHandle param, OfxTime time) {
  char* text = nullptr;
  if (!param || Suites().param->paramGetValueAtTime(param, time, &text) != kOfxStatOK || !text) {
    return "";
  }
  return text;
}

bool CurrentLens(const Instance& instance, OfxTime time, Lens& lens, std::string& error) {
  if (LensFromText(TextAt(instance.lens, time), lens, error)) return true;
  error = "the lens parameter cannot be read: " + error;
  return false;
}

// One change of the lens parameter, named for the application's undo.
void StoreLens(const Instance& instance, const Lens& lens, const char* what) {
  const OfxParameterSuiteV1& param = *Suites().param;
  const std::string text = LensToText(lens);
  param.paramEditBegin(instance.paramSet, what);
  param.paramSetValue(instance.lens, text.c_str());
  param.paramEditEnd(instance.paramSet);
}

// A regular file with something in it that is no lens: the user's picture
// or anything else, which saving a lens must not replace.
bool HoldsSomethingElse(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 &&
         !HoldsALens(path);
}

}  // namespace

void LoadLens(const Instance& instance, OfxTime time) {
  const std::string path = TextAt(instance.lensFile, time);
  if (path.empty()) return Tell(instance, std::string("Load Lens: ") + kNoLensFile);
  Lens lens{};
  std::string error;
  if (!ReadLensEitherForm(path, lens, error)) {
    return Tell(instance, path + ": " + error + "; the lens is unchanged");
  }
  StoreLens(instance, lens, "Load Lens");
}

void SaveLens(const Instance& instance, OfxTime time) {
  const std::string path = TextAt(instance.lensFile, time);
  if (path.empty()) return Tell(instance, std::string("Save Lens: ") + kNoLensFile);
  Lens lens{};
  std::string error;
  if (!CurrentLens(instance, time, lens, error)) return Tell(instance, "Save Lens: " + error);
  if (HoldsSomethingElse(path)) {
    return Tell(instance, path + ": holds something other than a lens, which is left as it is; "
                                 "choose another name");
  }
  const SafeWriteResult written = WriteLensEitherForm(path, lens);
  if (!written.ok()) Tell(instance, path + ": cannot be written: " + written.reason);
}

namespace {

// The source's frame at `time` as the application gives it, 8 bits a
// channel (colours as stored; values above 1 shown as white): the picture
// behind the editor's preview. False when the application gives none.
bool SourceFrame(const Instance& instance, OfxTime time, RgbPicture& frame) {
  if (!ClipConnected(instance.source)) return false;
  LayerImage layer;
  {
    ClipImage source;
    if (source.Fetch(instance.source, time) != kOfxStatOK || !source.Supported()) return false;
    layer = ToLayer(source);
  }
  const LayerView& view = layer.view;
  if (!view.HasPixels()) return false;
  frame = {view.width, view.height,
           std::vector<uint8_t>(static_cast<size_t>(view.width) * view.height * 3)};
  uint8_t* out = frame.rgb.data();
  for (int32_t y = 0; y < view.height; ++y) {
    for (int32_t x = 0; x < view.width; ++x, out += 3) {
      const LayerPixel p = view.At(x, y);
      out[0] = p.red;
      out[1] = p.green;
      out[2] = p.blue;
    }
  }
  return true;
}

}  // namespace

void EditLens(const Instance& instance, OfxTime time) {
  Lens lens{};
  std::string error;
  if (!CurrentLens(instance, time, lens, error)) return Tell(instance, "Edit Lens: " + error);
  const std::string before = LensToText(lens);
  const BackgroundSource background = [&](RgbPicture& frame) {
    return SourceFrame(instance, time, frame);
  };
  switch (RunLensEditor(lens, background, error)) {
    case EditorOutcome::Kept:
      if (LensToText(lens) != before) StoreLens(instance, lens, "Edit Lens");
      break;
    case EditorOutcome::Cancelled:
      break;
    case EditorOutcome::Failed:
      Tell(instance, error + "; the lens is unchanged");
      break;
  }
}

}  // namespace gw::ofx
