#include "render/polygon_stamp.h"

#include <cmath>

#include "render/numeric.h"

namespace gw {
namespace {

// Nothing of a polygon of this reach around (cx, cy) can fall in the frame.
bool OutsideFrame(const RenderTarget& t, float cx, float cy, float radius, bool anamorphic) {
  const float reachX = anamorphic ? 2.0f * radius : radius;
  return static_cast<float>(t.width) < cx - reachX || cx + reachX < 0.0f ||
         static_cast<float>(t.height) < cy - radius || cy + radius < 0.0f;
}

// Nothing of the stamp, whose outlines stay within `reach` of (cx, cy)
// (twice that across when anamorphic), can fall in the clip rectangle: its
// fills would screen no pixel and count no work.
bool OutsideClip(const RenderTarget& t, float cx, float cy, float reach, bool anamorphic) {
  const float reachX = anamorphic ? 2.0f * reach : reach;
  return cx + reachX < static_cast<float>(t.clip.left) ||
         cx - reachX > static_cast<float>(t.clip.right) ||
         cy + reach < static_cast<float>(t.clip.top) ||
         cy - reach > static_cast<float>(t.clip.bottom);
}

// The inner and outer outlines: the outer runs at twice the corner radius
// around the same corner centres.
struct Outlines {
  PointF inner[kMaxPolygonVertices];
  PointF outer[kMaxPolygonVertices];
};

void BuildOutlines(const StampPlan& plan, int32_t sides, float angleDeg, float cx, float cy,
                   bool anamorphic, Outlines& o) {
  const float widen = anamorphic ? 2.0f : 1.0f;
  const float cr = plan.cornerRadius;
  const float cornerDistance = plan.radius - 1.5f * cr;
  const float sideAngle = kTwoPi / static_cast<float>(sides);
  const float step = sideAngle / static_cast<float>(plan.segments);
  int32_t v = 0;
  for (int32_t i = 0; i < sides; ++i) {
    const float a = angleDeg / kDegreesPerRadian + static_cast<float>(i) * sideAngle;
    const float ccx = SinF(a) * cornerDistance * widen + cx;
    const float ccy = cy - CosF(a) * cornerDistance;
    for (int32_t j = 0; j <= plan.segments; ++j, ++v) {
      const float b = static_cast<float>(j) * step + (a - sideAngle / 2.0f);
      const float sb = SinF(b);
      const float cb = CosF(b);
      o.inner[v] = {sb * cr * widen + ccx, ccy - cb * cr};
      o.outer[v] = {sb * (2.0f * cr) * widen + ccx, ccy - cb * (2.0f * cr)};
    }
  }
  o.inner[v] = o.inner[0];
  o.outer[v] = o.outer[0];
}

}  // namespace

bool PlanPolygonStamp(float roundness, int32_t sides, float radius, StampPlan& plan) {
  if (sides < 1 || sides > 35) return false;  // 0 has no corners, 36 no segments
  if (radius < 3.0f) radius = 3.0f;
  float cr = radius * roundness / 100.0f;
  if (cr < 2.0f) cr = 2.0f;
  if (!std::isfinite(radius) || !std::isfinite(cr)) return false;

  int32_t s = 72 / sides;
  if (s > 12) s = 12;
  if (cr / static_cast<float>(s) < 2.0f) s = TruncToInt(cr / 2.0f);
  int32_t n = (s + 1) * sides + 1;
  while (n > kMaxPolygonVertices) {
    --s;
    n = (s + 1) * sides + 1;
  }
  plan = {radius, cr, s, n};
  return true;
}

int64_t PolygonStamp(float roundness, int32_t sides, float radius, float angleDeg, float cx,
                  float cy, PolyColor colour, const RenderTarget& target, uint8_t anamorphic) {
  if (!std::isfinite(cx) || !std::isfinite(cy) || !std::isfinite(angleDeg)) return 0;
  if (OutsideFrame(target, cx, cy, radius, anamorphic != 0)) return 0;
  StampPlan plan;
  if (!PlanPolygonStamp(roundness, sides, radius, plan)) return 0;
  if (IsBlack(colour)) return 0;  // screening with 0 changes nothing
  // The outer outline runs 2 corner radii round corner centres 1.5 corner
  // radii inside the radius; two pixels more cover rounding and the fills'
  // edge pixels. A tile of a blurred draw often lies wholly outside.
  const float reach = plan.radius + 2.0f * plan.cornerRadius + 2.0f;
  if (OutsideClip(target, cx, cy, reach, anamorphic != 0)) return 0;

  Outlines o;
  BuildOutlines(plan, sides, angleDeg, cx, cy, anamorphic != 0, o);
  const int32_t n = plan.vertexCount;

  ConvexPolygon inside;
  inside.count = 0;
  for (int32_t i = 0; i < n; ++i) AddVertex(inside, o.inner[i].x, o.inner[i].y, colour);
  CloseRing(inside);
  PreparePolygon(inside);
  int64_t work = FillFlat(inside, target);

  const PolyColor none{0, 0, 0, 0};
  for (int32_t i = 0; i + 1 < n; ++i) {
    ConvexPolygon band;
    band.count = 0;
    AddVertex(band, o.inner[i].x, o.inner[i].y, colour);
    AddVertex(band, o.outer[i].x, o.outer[i].y, none);
    AddVertex(band, o.outer[i + 1].x, o.outer[i + 1].y, none);
    AddVertex(band, o.inner[i + 1].x, o.inner[i + 1].y, colour);
    CloseRing(band);
    PreparePolygon(band);
    work += FillGouraud(band, target);
  }
  return work;
}

}  // namespace gw
