// The preview: the working lens rendered on black at 320 x 240 after every
// change, with a light position, colour, brightness and scale of its own.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "editor/colour_box.h"
#include "editor/front_end.h"
#include "editor/slider.h"
#include "lens/lens.h"
#include "render/target.h"

namespace gw {

inline constexpr int32_t kPreviewWidth = 320;
inline constexpr int32_t kPreviewHeight = 240;
inline constexpr int32_t kPreviewRowBytes = kPreviewWidth * 3;
inline constexpr int32_t kPreviewProfileChannel =
    kProfileSamplesPerFrameWidth * kPreviewWidth;  // bytes per channel
inline constexpr int32_t kPreviewProfileLength = kPreviewProfileChannel - kProfileSpareSamples;
inline constexpr Rect kPreviewPlace = Rect::At(26, 19, kPreviewWidth, kPreviewHeight);
inline constexpr int kCubeColours = 216;

// What the preview window shows: a bitmap header (with its colour table) and
// its rows. In palette mode the table holds palette indices.
struct DisplayImage {
  std::span<const uint8_t> info;  // header and colour table
  const uint8_t* bits = nullptr;
  bool paletteIndices = false;
  bool fromClipboard = false;
};

// An image as rows of red, green, blue from the top.
struct RgbPicture {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint8_t> rgb;
};

// A frame shrunk or stretched to the preview's 320 x 240, each pixel the
// mean of the frame's pixels under it: the picture SetBackground takes.
// Empty when the frame holds no pixels (or fewer bytes than its size says).
std::vector<uint8_t> PreviewBackground(const RgbPicture& frame);

// The preview's screen table, published by every render and dialog command
// of the plug-in (null before the first).
const uint8_t* CurrentScreenTable();
void SetCurrentScreenTable(const uint8_t* table);

class PreviewPanel {
 public:
  // `screenTable` may be null: the preview then builds one of its own.
  PreviewPanel(const Lens& lens, DialogSink& dialog, EditorFrontEnd& frontEnd,
               const uint8_t* screenTable);
  ~PreviewPanel();

  // Builds everything and renders; Ok, NoMemory, NoWindow or
  // NoPreviewBuffer. In palette mode
  // (an 8-bit screen) the image is dithered to a cube of 216 colours.
  EditorStatus Create(bool paletteMode);
  void Destroy();

  // Renders the working lens. A heavy render shows the wait cursor.
  void Render(bool heavy);

  void SetLightFromSlider(int id, int32_t whole);  // sliders 120, 121
  void SetLightFromImage(int32_t packed);          // command 122
  void SetColour(uint32_t colour);                 // colour box 123
  void SetBrightness(float value);                 // slider 124
  void SetScale(float value);                      // slider 125
  void Reset();
  void FastDragBegin();
  void FastDragEnd();
  // The comparison button drawn pressed (show the clipboard's bitmap) or
  // released (show the flare again).
  void ShowClipboard();
  void HideClipboard();

  // A picture to render over instead of black (red, green, blue rows from the
  // top, 320 x 240); empty for black again.
  void SetBackground(std::vector<uint8_t> rgb);

  // The pointer in the preview window: dragging the light. A move with the
  // button no longer down, or the mouse taken away by the window system,
  // ends the drag as a release would.
  void ImageMouseDown(Point p);
  void ImageMouseMove(Point p, bool buttonDown = true);
  void ImageMouseUp();
  void ImageCaptureLost() { ImageMouseUp(); }

  const RenderTarget& target() const { return target_; }
  const ProfileStore& profile() const { return *profile_; }
  bool fast() const { return fast_; }
  bool paletteMode() const { return paletteMode_; }
  bool showingClipboard() const { return showingClipboard_; }
  DisplayImage Displayed() const;
  // The preview's own pixels: red, green, blue before the conversion for
  // display is rendered over them, blue, green, red (or palette indices) after.
  std::span<const uint8_t> pixels() const { return pixels_; }
  // What the window shows, as rows of red, green, blue from the top,
  // whatever the display conversion made of it.
  RgbPicture DisplayedPicture() const;
  std::vector<uint8_t> DisplayedRgb() const { return DisplayedPicture().rgb; }

  WinSlider& lightX() { return *lightX_; }
  WinSlider& lightY() { return *lightY_; }
  WinSlider& brightness() { return *brightness_; }
  WinSlider& scale() { return *scale_; }
  Colorbox& colourBox() { return colour_; }
  WinSlider* SliderById(int id);

 private:
  void ResetTarget();
  void ConvertForDisplay();

  const Lens& lens_;
  DialogSink& dialog_;
  EditorFrontEnd& frontEnd_;
  bool paletteMode_ = false;
  std::vector<uint8_t> ownScreenTable_;
  const uint8_t* screenTable_;
  RenderTarget target_{};
  std::vector<uint8_t> header_;  // bitmap header and, in palette mode, 256 indices
  std::vector<uint8_t> pixels_;
  std::unique_ptr<ProfileStore> profile_;
  std::vector<uint8_t> background_;      // 320 x 240
  std::vector<uint8_t> halfBackground_;  // 160 x 120, for fast drags
  bool fast_ = false;
  int32_t savedWidth_ = kPreviewWidth;
  int32_t savedHeight_ = -kPreviewHeight;
  std::unique_ptr<WinSlider> lightY_;
  std::unique_ptr<WinSlider> lightX_;
  std::unique_ptr<WinSlider> brightness_;
  std::unique_ptr<WinSlider> scale_;
  Colorbox colour_;
  int slidersCreated_ = 0;
  bool classRegistered_ = false;
  bool windowCreated_ = false;
  bool colourCreated_ = false;
  // Dragging the light in the image.
  bool imageDrag_ = false;
  bool seenPoint_ = false;
  Point lastPoint_;
  // The clipboard's bitmap while the comparison button is held.
  bool showingClipboard_ = false;
  std::vector<uint8_t> clipboardDib_;
};

// Reduces packed red, green, blue pixels to cube indices with error
// diffusion, in place: the index of (x, y) lands at byte y x width + x.
void DitherToCube(uint8_t* pixels, int32_t width, int32_t height, int32_t rowBytes);

// The colour cube of palette mode: index 36 r + 6 g + b, each level 51 x digit.
Rgb CubeColour(int index);
// The cube index below a colour: 36 (r / 51) + 6 (g / 51) + b / 51.
int CubeIndex(uint8_t r, uint8_t g, uint8_t b);

}  // namespace gw
