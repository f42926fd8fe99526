// A frame in memory with a render target over it and the scratch of its
// draws, for tests and benchmarks.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "lens/lens.h"
#include "render/streak.h"
#include "render/target.h"

namespace gw {

class TestFrame {
 public:
  // A width x height ARGB frame filled with (alpha, grey, grey, grey), the
  // light at (lightX, lightY), the effect's Scale `scale`, white colour and
  // brightness 1, profile buffers sized as the render command sizes them.
  TestFrame(int width, int height, float lightX, float lightY, float scale = 1.0f,
            uint8_t grey = 0, uint8_t alpha = 255);

  // A copy draws into its own pixels and profile.
  TestFrame(const TestFrame& other);
  TestFrame& operator=(const TestFrame&) = delete;

  RenderTarget& target() { return target_; }
  const RenderTarget& target() const { return target_; }
  // What draws into the frame write besides its pixels: its own profile
  // store, and no streak positions.
  Scratch& scratch() { return scratch_; }
  ProfileStore& profile() { return *profile_; }

  // Restricts drawing to a rectangle (the pixel pointer moves with it).
  void SetClip(int top, int bottom, int left, int right);

  // Sets gains from a brightness and a colour (largest component 1.0).
  void SetGains(float brightness, float r = 1.0f, float g = 1.0f, float b = 1.0f);

  int width() const { return width_; }
  int height() const { return height_; }
  const uint8_t* Pixel(int x, int y) const { return &argb_[(size_t(y) * width_ + x) * 4]; }
  uint8_t* Pixel(int x, int y) { return &argb_[(size_t(y) * width_ + x) * 4]; }
  const std::vector<uint8_t>& bytes() const { return argb_; }

  // Sum of the red, green and blue bytes of every pixel.
  uint64_t ColourSum() const;

 private:
  int width_, height_;
  std::vector<uint8_t> argb_;
  std::unique_ptr<ProfileStore> profile_;
  std::array<uint8_t, 65536> screen_{};
  RenderTarget target_{};
  Scratch scratch_;
};

// Draws every enabled element of the lens into the frame.
void DrawLensInto(const Lens& lens, TestFrame& frame);

// A new element of the type, with the type's defaults.
LensElement DefaultElement(ElementType type);

// Colour bytes of a pixel, and whether any of them is lit.
inline int Red(const TestFrame& f, int x, int y) { return f.Pixel(x, y)[1]; }
inline int Green(const TestFrame& f, int x, int y) { return f.Pixel(x, y)[2]; }
inline int Blue(const TestFrame& f, int x, int y) { return f.Pixel(x, y)[3]; }
bool Lit(const TestFrame& f, int x, int y);
int LitCount(const TestFrame& f);

// The streaks an element's streak function produces, in drawing order.
using StreakFunction = void (*)(const LensElement&, const RenderTarget&, const StreakSink&);
std::vector<Streak> RecordStreaks(StreakFunction streaks, const LensElement& element,
                                  const RenderTarget& target);

}  // namespace gw
