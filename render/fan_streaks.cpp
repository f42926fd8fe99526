#include "render/fan_streaks.h"

namespace gw {

Streak MakeStreak(PointF from, PointF to, float red, float green, float blue, StreakAnchor anchor) {
  Streak s{};
  s.x0 = from.x;
  s.y0 = from.y;
  s.x1 = to.x;
  s.y1 = to.y;
  s.red = red;
  s.thickness = kStreakThickness;
  s.green = green;
  s.blue = blue;
  s.anchor = anchor;
  return s;
}

float ClampToUnit(float v) {
  if (!(v > 0.0f)) return 0.0f;
  return v < 1.0f ? v : 1.0f;
}

}  // namespace gw
