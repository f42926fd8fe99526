#include "tests/support/test_frame.h"

#include "render/draw_lens.h"
#include "render/numeric.h"
#include "render/pixels.h"

namespace gw {
namespace {

// A negative or absurd Scale leaves no profile (the render command would
// fail to allocate it); the channels then point at an empty buffer.
int32_t ProfileSamples(int width, float scale) {
  const int32_t n = TruncToInt(static_cast<float>(width) * scale * 60.0f);
  return n < 0 || n > (1 << 26) ? 0 : n;
}

}  // namespace

TestFrame::TestFrame(int width, int height, float lightX, float lightY, float scale, uint8_t grey,
                     uint8_t alpha)
    : width_(width),
      height_(height),
      argb_(size_t(width) * height * 4),
      profile_(std::make_unique<ProfileStore>(ProfileSamples(width, scale))),
      scratch_{*profile_} {
  for (size_t i = 0; i < argb_.size(); i += 4) {
    argb_[i] = alpha;
    argb_[i + 1] = argb_[i + 2] = argb_[i + 3] = grey;
  }
  BuildScreenTable(screen_.data());
  RenderTarget& t = target_;
  t.scale = scale;
  t.lightX = lightX;
  t.lightY = lightY;
  t.anglePhase = 0.0f;
  t.screenTable = screen_.data();
  t.height = static_cast<int16_t>(height);
  t.width = static_cast<int16_t>(width);
  t.bytesPerPixel = 4;
  t.highQuality = 1;
  SetGains(1.0f);
  SetClip(0, height, 0, width);
}

TestFrame::TestFrame(const TestFrame& other)
    : width_(other.width_),
      height_(other.height_),
      argb_(other.argb_),
      profile_(std::make_unique<ProfileStore>(*other.profile_)),
      screen_(other.screen_),
      target_(other.target_),
      scratch_{*profile_} {
  target_.screenTable = screen_.data();
  target_.pixels = argb_.data() + (other.target_.pixels - other.argb_.data());
}

void TestFrame::SetClip(int top, int bottom, int left, int right) {
  target_.clip = PixelRect{static_cast<int16_t>(top), static_cast<int16_t>(bottom),
                           static_cast<int16_t>(left), static_cast<int16_t>(right)};
  target_.rowBytes = width_ * 4;
  target_.pixels = argb_.data() + (size_t(top) * width_ + left) * 4;
}

void TestFrame::SetGains(float brightness, float r, float g, float b) {
  target_.brightness = brightness;
  target_.colorR = r;
  target_.colorG = g;
  target_.colorB = b;
  target_.gainR = brightness * r;
  target_.gainG = brightness * g;
  target_.gainB = brightness * b;
}

uint64_t TestFrame::ColourSum() const {
  uint64_t sum = 0;
  for (size_t i = 0; i < argb_.size(); i += 4) sum += argb_[i + 1] + argb_[i + 2] + argb_[i + 3];
  return sum;
}

void DrawLensInto(const Lens& lens, TestFrame& frame) {
  DrawLens(lens, frame.target(), frame.scratch(), 0, 1, ProgressCallback{});
}

LensElement DefaultElement(ElementType type) {
  LensElement e{};
  InitElement(static_cast<int16_t>(type), e);
  return e;
}

bool Lit(const TestFrame& f, int x, int y) {
  const uint8_t* p = f.Pixel(x, y);
  return p[1] != 0 || p[2] != 0 || p[3] != 0;
}

int LitCount(const TestFrame& f) {
  int n = 0;
  for (int y = 0; y < f.height(); ++y) {
    for (int x = 0; x < f.width(); ++x) n += Lit(f, x, y);
  }
  return n;
}

std::vector<Streak> RecordStreaks(StreakFunction streaks, const LensElement& element,
                                  const RenderTarget& target) {
  std::vector<Streak> out;
  streaks(element, target, [&out](const Streak& s) { out.push_back(s); });
  return out;
}

}  // namespace gw
