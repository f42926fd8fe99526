#include "editor/preview.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <new>

#include "lens/control_ids.h"
#include "editor/dib.h"
#include "render/draw_lens.h"
#include "render/numeric.h"
#include "render/pixels.h"

namespace gw {
namespace {

const uint8_t* currentScreenTable = nullptr;

constexpr int kCubeLevel = 51;
constexpr int kPaletteEntries = 256;
constexpr int kFirstCubeEntry = 225;  // cube colour k is system palette entry 225 - k

constexpr float kStartLight = 100.0f;

// The three lookups whose sum is the cube index below a colour.
struct CubeTables {
  std::array<uint8_t, 256> red, green, blue;
};

constexpr CubeTables MakeCubeTables() {
  CubeTables t{};
  for (int v = 0; v < 256; ++v) {
    t.red[v] = static_cast<uint8_t>(36 * (v / kCubeLevel));
    t.green[v] = static_cast<uint8_t>(6 * (v / kCubeLevel));
    t.blue[v] = static_cast<uint8_t>(v / kCubeLevel);
  }
  return t;
}
constexpr CubeTables kCube = MakeCubeTables();

uint8_t AddLimited(uint8_t v, int add) { return ClampToByte(v + add); }

}  // namespace

const uint8_t* CurrentScreenTable() { return currentScreenTable; }
void SetCurrentScreenTable(const uint8_t* table) { currentScreenTable = table; }

Rgb CubeColour(int index) {
  return {static_cast<uint8_t>(kCubeLevel * (index / 36)),
          static_cast<uint8_t>(kCubeLevel * (index / 6 % 6)),
          static_cast<uint8_t>(kCubeLevel * (index % 6))};
}

int CubeIndex(uint8_t r, uint8_t g, uint8_t b) { return kCube.red[r] + kCube.green[g] + kCube.blue[b]; }

PreviewPanel::PreviewPanel(const Lens& lens, DialogSink& dialog, EditorFrontEnd& frontEnd,
                           const uint8_t* screenTable)
    : lens_(lens),
      dialog_(dialog),
      frontEnd_(frontEnd),
      screenTable_(screenTable),
      lightY_(std::make_unique<VerticalSlider>(dialog, frontEnd, ids::kLightY,
                                               Rect::At(348, 14, 12, 250))),
      lightX_(std::make_unique<HorizontalSlider>(dialog, frontEnd, ids::kLightX,
                                                 Rect::At(21, 261, 330, 12))),
      brightness_(std::make_unique<LabelledSlider>(dialog, frontEnd, ids::kPreviewBrightness,
                                                   Rect::At(21, 272, 120, 22))),
      scale_(std::make_unique<LabelledSlider>(dialog, frontEnd, ids::kPreviewScale,
                                              Rect::At(21, 299, 120, 22))),
      colour_(dialog, frontEnd, ids::kPreviewColour, {255, 271}, kWhite) {
  colour_.SetLabel("Color: ");
  brightness_->SetLabel("Brightness:");
  scale_->SetLabel("Scale:");
  lightY_->SetRange(0.0f, static_cast<float>(kPreviewHeight));
  lightX_->SetRange(0.0f, static_cast<float>(kPreviewWidth));
  brightness_->SetRange(0.1f, 5.0f);
  scale_->SetRange(0.01f, 3.0f);
}

PreviewPanel::~PreviewPanel() = default;

EditorStatus PreviewPanel::Create(bool paletteMode) {
  paletteMode_ = paletteMode;
  if (!frontEnd_.Acquire(EditorResource::ColorboxWindow, colour_.id(), &colour_)) {
    return EditorStatus::NoWindow;
  }
  colourCreated_ = true;
  try {
    const size_t table = paletteMode_ ? kPaletteEntries * 2 : 0;
    header_.assign(kDibHeaderSize + table, 0);
  } catch (const std::bad_alloc&) {
    return EditorStatus::NoMemory;
  }
  WriteDibHeader(header_.data(), kPreviewWidth, -kPreviewHeight, paletteMode_ ? 8 : 24,
                 paletteMode_ ? kPaletteEntries : 0);
  try {
    pixels_.assign(static_cast<size_t>(kPreviewRowBytes) * kPreviewHeight, 0);
  } catch (const std::bad_alloc&) {
    return EditorStatus::NoPreviewBuffer;
  }
  if (paletteMode_) {
    // The colour table names palette entries: cube colour k is entry 225 - k.
    for (int k = 0; k < kCubeColours; ++k) {
      const auto entry = static_cast<uint16_t>(kFirstCubeEntry - k);
      header_[kDibHeaderSize + 2 * k] = static_cast<uint8_t>(entry);
      header_[kDibHeaderSize + 2 * k + 1] = static_cast<uint8_t>(entry >> 8);
    }
  }
  classRegistered_ = frontEnd_.Acquire(EditorResource::PreviewClass, 0, this);
  windowCreated_ = classRegistered_ &&
                   frontEnd_.Acquire(EditorResource::PreviewWindow, ids::kPreviewWnd, this);
  if (!windowCreated_) return EditorStatus::NoWindow;
  try {
    profile_ = std::make_unique<ProfileStore>(kPreviewProfileChannel);
    if (!screenTable_) {
      ownScreenTable_.resize(kScreenTableSize);
      BuildScreenTable(ownScreenTable_.data());
      screenTable_ = ownScreenTable_.data();
    }
  } catch (const std::bad_alloc&) {
    return EditorStatus::NoMemory;
  }
  target_.screenTable = screenTable_;
  target_.pixels = pixels_.data();
  target_.width = static_cast<int16_t>(kPreviewWidth);
  target_.height = static_cast<int16_t>(kPreviewHeight);
  target_.rowBytes = kPreviewRowBytes;
  target_.bytesPerPixel = 3;
  target_.highQuality = 0;
  target_.clip = WholeFrame(kPreviewWidth, kPreviewHeight);
  ResetTarget();
  Render(false);
  frontEnd_.Redraw(EditorArea::Preview);
  for (WinSlider* slider : {lightY_.get(), lightX_.get(), brightness_.get(), scale_.get()}) {
    if (!frontEnd_.Acquire(EditorResource::SliderWindow, slider->id(), slider)) {
      return EditorStatus::NoWindow;
    }
    ++slidersCreated_;
    slider->SetEnabled(true);
  }
  lightY_->SetValue(target_.lightY);
  lightX_->SetValue(target_.lightX);
  brightness_->SetValue(target_.brightness);
  scale_->SetValue(target_.scale);
  return EditorStatus::Ok;
}

void PreviewPanel::Destroy() {
  const WinSlider* sliders[] = {lightY_.get(), lightX_.get(), brightness_.get(), scale_.get()};
  for (int i = 0; i < slidersCreated_; ++i) {
    frontEnd_.Release(EditorResource::SliderWindow, sliders[i]->id());
  }
  slidersCreated_ = 0;
  if (windowCreated_) frontEnd_.Release(EditorResource::PreviewWindow, ids::kPreviewWnd);
  if (classRegistered_) frontEnd_.Release(EditorResource::PreviewClass, 0);
  windowCreated_ = classRegistered_ = false;
  if (colourCreated_) frontEnd_.Release(EditorResource::ColorboxWindow, colour_.id());
  colourCreated_ = false;
}

void PreviewPanel::ResetTarget() {
  target_.gainR = target_.gainG = target_.gainB = 1.0f;
  target_.brightness = 1.0f;
  target_.colorR = target_.colorG = target_.colorB = 1.0f;
  target_.lightX = kStartLight;
  target_.lightY = kStartLight;
  target_.scale = 1.0f;
  target_.anglePhase = 1.0f;
}

WinSlider* PreviewPanel::SliderById(int id) {
  for (WinSlider* slider : {lightY_.get(), lightX_.get(), brightness_.get(), scale_.get()}) {
    if (slider->id() == id) return slider;
  }
  return nullptr;
}

void PreviewPanel::Render(bool heavy) {
  if (pixels_.empty() || !profile_) return;  // not built
  if (heavy) frontEnd_.SetWaitCursor(true);
  const size_t bytes = static_cast<size_t>(target_.height) * target_.rowBytes;
  const std::vector<uint8_t>& background = fast_ ? halfBackground_ : background_;
  if (background.size() == bytes) {
    std::memcpy(pixels_.data(), background.data(), bytes);
  } else {
    std::memset(pixels_.data(), 0, bytes);
  }
  Scratch scratch{*profile_};
  const uint32_t count = UsableCount(lens_);
  for (uint32_t i = 0; i < count; ++i) {
    if (lens_.elements[i].enabled) DrawElement(lens_.elements[i], target_, scratch);
  }
  ConvertForDisplay();
  if (heavy) frontEnd_.SetWaitCursor(false);
  frontEnd_.Redraw(EditorArea::Preview);
}

void PreviewPanel::ConvertForDisplay() {
  if (paletteMode_) {
    DitherToCube(pixels_.data(), target_.width, target_.height, target_.rowBytes);
    return;
  }
  // Red, green, blue become the bitmap's blue, green, red.
  const size_t pixels = static_cast<size_t>(target_.width) * target_.height;
  for (size_t i = 0; i < pixels; ++i) std::swap(pixels_[3 * i], pixels_[3 * i + 2]);
}

// Each index is written behind the pixels still to be read: the 8-bit image
// is built over the 24-bit one.
void DitherToCube(uint8_t* p, int32_t width, int32_t height, int32_t rowBytes) {
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      uint8_t* c = p + static_cast<ptrdiff_t>(y) * rowBytes + x * 3;
      const int index = CubeIndex(c[0], c[1], c[2]);
      const Rgb cube = CubeColour(index);
      const int error[3] = {(c[0] - cube.r) >> 2, (c[1] - cube.g) >> 2, (c[2] - cube.b) >> 2};
      p[static_cast<ptrdiff_t>(y) * width + x] = static_cast<uint8_t>(index);
      if (y + 1 < height) {
        uint8_t* below = c + rowBytes;
        for (int k = 0; k < 3; ++k) below[k] = AddLimited(below[k], error[k]);
      }
      if (x + 1 < width) {
        uint8_t* right = c + 3;
        for (int k = 0; k < 3; ++k) right[k] = AddLimited(right[k], 2 * error[k]);
      }
    }
  }
}

void PreviewPanel::SetLightFromSlider(int id, int32_t whole) {
  const float v = static_cast<float>(fast_ ? whole >> 1 : whole);
  (id == ids::kLightX ? target_.lightX : target_.lightY) = v;
  Render(false);
  if (WinSlider* slider = SliderById(id)) slider->SetValue(static_cast<float>(whole));
}

void PreviewPanel::SetLightFromImage(int32_t packed) {
  const int32_t x = packed & 0xFFFF;
  const int32_t y = (packed >> 16) & 0xFFFF;
  target_.lightX = static_cast<float>(fast_ ? x >> 1 : x);
  target_.lightY = static_cast<float>(fast_ ? y >> 1 : y);
  Render(false);
  lightY_->SetValue(static_cast<float>(y));
  lightX_->SetValue(static_cast<float>(x));
}

void PreviewPanel::SetColour(uint32_t colour) {
  const Rgb c = UnpackColour(colour);
  target_.gainR = c.r / 255.0f;
  target_.gainG = c.g / 255.0f;
  target_.gainB = c.b / 255.0f;
  Render(true);
}

void PreviewPanel::SetBrightness(float value) {
  target_.brightness = value;
  Render(false);
}

void PreviewPanel::SetScale(float value) {
  target_.scale = value;
  Render(false);
}

void PreviewPanel::Reset() {
  ResetTarget();
  Render(true);
  lightY_->SetValue(target_.lightY);
  lightX_->SetValue(target_.lightX);
  scale_->SetValue(target_.scale);
  brightness_->SetValue(target_.brightness);
  colour_.SetColour(kWhite);
  frontEnd_.Redraw(EditorArea::Preview);
}

void PreviewPanel::FastDragBegin() {
  if (fast_ || header_.empty()) return;
  fast_ = true;
  savedWidth_ = DibWidth(header_.data());
  savedHeight_ = DibHeight(header_.data());
  SetDibSize(header_.data(), savedWidth_ / 2, savedHeight_ / 2);  // still top-down
  target_.width = static_cast<int16_t>(savedWidth_ / 2);
  target_.clip.right = target_.width;
  target_.rowBytes = target_.width * 3;
  target_.height = static_cast<int16_t>((savedHeight_ < 0 ? -savedHeight_ : savedHeight_) / 2);
  target_.clip.bottom = target_.height;
  target_.lightX = static_cast<float>(TruncToInt(target_.lightX) >> 1);
  target_.lightY = static_cast<float>(TruncToInt(target_.lightY) >> 1);
}

void PreviewPanel::FastDragEnd() {
  if (!fast_) return;
  fast_ = false;
  SetDibSize(header_.data(), savedWidth_, savedHeight_);
  target_.width = static_cast<int16_t>(kPreviewWidth);
  target_.height = static_cast<int16_t>(kPreviewHeight);
  target_.clip.right = target_.width;
  target_.clip.bottom = target_.height;
  target_.rowBytes = kPreviewRowBytes;
  // As whole numbers: an odd coordinate comes back one less.
  target_.lightX = static_cast<float>(TruncToInt(target_.lightX) * 2);
  target_.lightY = static_cast<float>(TruncToInt(target_.lightY) * 2);
  Render(false);
  frontEnd_.Redraw(EditorArea::Preview);
}

void PreviewPanel::ShowClipboard() {
  ClipboardContents clipboard = frontEnd_.ReadClipboard();
  if (!clipboard.opened) {
    frontEnd_.Beep(BeepKind::Simple);
    return;
  }
  if (!ReadDibLayout(clipboard.dib)) {
    frontEnd_.Beep(BeepKind::Exclamation);
    return;
  }
  clipboardDib_ = std::move(clipboard.dib);
  showingClipboard_ = true;
  frontEnd_.Redraw(EditorArea::Preview);
}

void PreviewPanel::HideClipboard() {
  if (!showingClipboard_) return;
  showingClipboard_ = false;
  clipboardDib_.clear();
  frontEnd_.Redraw(EditorArea::Preview);
}

DisplayImage PreviewPanel::Displayed() const {
  if (showingClipboard_) {
    const DibLayout layout = *ReadDibLayout(clipboardDib_);
    return {std::span(clipboardDib_).first(layout.bitsOffset),
            clipboardDib_.data() + layout.bitsOffset, false, true};
  }
  return {header_, pixels_.data(), paletteMode_, false};
}

RgbPicture PreviewPanel::DisplayedPicture() const {
  if (showingClipboard_) {
    const DibLayout layout = *ReadDibLayout(clipboardDib_);
    return {layout.width, layout.height < 0 ? -layout.height : layout.height,
            DibToRgb(clipboardDib_, layout)};
  }
  const int32_t width = target_.width;
  const int32_t height = target_.height;
  RgbPicture picture{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 3)};
  for (int32_t i = 0; i < width * height; ++i) {
    const Rgb c = paletteMode_ ? CubeColour(pixels_[i])
                               : Rgb{pixels_[3 * i + 2], pixels_[3 * i + 1], pixels_[3 * i]};
    picture.rgb[3 * i] = c.r;
    picture.rgb[3 * i + 1] = c.g;
    picture.rgb[3 * i + 2] = c.b;
  }
  return picture;
}

void PreviewPanel::SetBackground(std::vector<uint8_t> rgb) {
  const size_t full = static_cast<size_t>(kPreviewRowBytes) * kPreviewHeight;
  if (rgb.size() != full) rgb.clear();
  background_ = std::move(rgb);
  halfBackground_.clear();
  if (!background_.empty()) {
    // Each pixel of the half-size picture the average of a 2 x 2 block.
    halfBackground_.resize(full / 4);
    for (int32_t y = 0; y < kPreviewHeight / 2; ++y) {
      for (int32_t x = 0; x < kPreviewWidth / 2; ++x) {
        for (int c = 0; c < 3; ++c) {
          const uint8_t* p = &background_[(2 * y * kPreviewWidth + 2 * x) * 3 + c];
          const int sum = p[0] + p[3] + p[kPreviewRowBytes] + p[kPreviewRowBytes + 3];
          halfBackground_[(y * (kPreviewWidth / 2) + x) * 3 + c] = static_cast<uint8_t>(sum / 4);
        }
      }
    }
  }
  Render(true);
}

void PreviewPanel::ImageMouseDown(Point p) {
  dialog_.Message(ids::kDragBegins, ids::kPreviewWnd);
  imageDrag_ = true;
  seenPoint_ = false;
  ImageMouseMove(p);
}

void PreviewPanel::ImageMouseMove(Point p, bool buttonDown) {
  if (!imageDrag_) return;
  if (!buttonDown) return ImageMouseUp();
  const Point limited{p.x < 0 ? 0 : (p.x > kPreviewWidth ? kPreviewWidth : p.x),
                      p.y < 0 ? 0 : (p.y > kPreviewHeight ? kPreviewHeight : p.y)};
  if (seenPoint_ && limited == lastPoint_) return;
  seenPoint_ = true;
  lastPoint_ = limited;
  dialog_.Command(ids::kLightFromImage, limited.x | (limited.y << 16));
}

void PreviewPanel::ImageMouseUp() {
  if (!imageDrag_) return;
  imageDrag_ = false;
  dialog_.Message(ids::kDragEnds, ids::kPreviewWnd);
}

std::vector<uint8_t> PreviewBackground(const RgbPicture& frame) {
  const int64_t width = frame.width, height = frame.height;
  if (width <= 0 || height <= 0 ||
      static_cast<uint64_t>(frame.rgb.size()) / 3 / static_cast<uint64_t>(width) <
          static_cast<uint64_t>(height)) {
    return {};
  }
  // The frame's columns and rows under preview column or row i: from
  // i * size / preview up to (i + 1) * size / preview, at least one.
  const auto span = [](int64_t i, int64_t size, int64_t preview) {
    const int64_t first = i * size / preview;
    return std::pair{first, std::max(first + 1, (i + 1) * size / preview)};
  };
  std::vector<uint8_t> out(static_cast<size_t>(kPreviewRowBytes) * kPreviewHeight);
  for (int64_t y = 0; y < kPreviewHeight; ++y) {
    const auto [top, bottom] = span(y, height, kPreviewHeight);
    for (int64_t x = 0; x < kPreviewWidth; ++x) {
      const auto [left, right] = span(x, width, kPreviewWidth);
      uint64_t sum[3] = {};
      for (int64_t v = top; v < bottom; ++v) {
        const uint8_t* p = &frame.rgb[static_cast<size_t>((v * width + left) * 3)];
        for (int64_t u = left; u < right; ++u, p += 3) {
          sum[0] += p[0], sum[1] += p[1], sum[2] += p[2];
        }
      }
      const uint64_t count = static_cast<uint64_t>((bottom - top) * (right - left));
      uint8_t* q = &out[static_cast<size_t>(y * kPreviewRowBytes + x * 3)];
      for (int c = 0; c < 3; ++c) q[c] = static_cast<uint8_t>(sum[c] / count);
    }
  }
  return out;
}

}  // namespace gw
