#include "render/round_stamps.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>
#include <vector>

#include "render/numeric.h"
#include "render/pixels.h"

namespace gw {
namespace {

// The quarter-pixel offsets of a run of columns (or rows) from the stamp's
// centre, with the part that the profile can reach. FastHypot is never below
// either component, so a column or row whose offset is at least the profile's
// reach only ever reads zeros, which screen to nothing.
struct Offsets {
  std::vector<HypotComponent> components;
  int32_t first = 0;  // first index within reach
  int32_t end = 0;    // one past the last index within reach
};

// Offsets trunc(f - step x i) for i in 0..count-1. They fall as i grows, so
// the ones within reach are one run.
void MeasureOffsets(float f, int32_t step, int32_t count, int32_t reach, Offsets& out) {
  out.components.resize(static_cast<size_t>(count));
  out.first = count;
  out.end = 0;
  for (int32_t i = 0; i < count; ++i) {
    const int32_t offset = TruncToInt(f - static_cast<float>(step * i));
    out.components[static_cast<size_t>(i)] = PrepareHypot(offset);
    if (Magnitude(offset) < static_cast<uint32_t>(reach)) {
      out.first = std::min(out.first, i);
      out.end = i + 1;
    }
  }
}

// Runs of this many columns or more, where the row's offset is the larger,
// read their values from a table of the row's 257 possible ones.
constexpr int32_t kRowTableColumns = 320;

// The stamp's rows and columns within reach, each pixel reading the packed
// profile at its distance; every offset is below the short form's limit.
// ShortFastHypot takes the larger magnitude and its reciprocal. Column
// magnitudes fall and then rise across a row, so the columns whose
// magnitude is at most the row's form one run: there the row's are taken,
// on either side the column's, and no pixel needs to choose.
void StampPacked(const uint32_t* packed, const Offsets& columns, const Offsets& rows, int32_t x0,
                 int32_t y0, const RenderTarget& t) {
  if (columns.first >= columns.end || rows.first >= rows.end) return;  // nothing within reach
  const HypotComponent* column = columns.components.data();
  const HypotComponent* const first = column + columns.first;
  const HypotComponent* const end = column + columns.end;
  const HypotComponent* const lowest =
      std::min_element(first, end, [](const HypotComponent& a, const HypotComponent& b) {
        return a.magnitude < b.magnitude;
      });
  std::vector<uint32_t> values(static_cast<size_t>(end - first));
  std::array<uint32_t, kHypotTable.size()> rowValues;
  for (int32_t j = rows.first; j < rows.end; ++j) {
    // Saturated pixels at either end take nothing: their values are not
    // even worked out.
    uint8_t* const row0 = ColourBytes(t, x0, y0 + j);
    const PixelSpan span =
        UnsaturatedSpan(row0, t.bytesPerPixel, {columns.first, columns.end});
    if (span.first >= span.end) continue;
    const HypotComponent* const from = column + span.first;
    const HypotComponent* const to = column + span.end;

    const HypotComponent row = rows.components[static_cast<size_t>(j)];
    const uint32_t b = row.magnitude;
    const auto atMostRow = [b](const HypotComponent& a) { return a.magnitude > b; };
    const HypotComponent* const innerFirst =
        std::clamp(std::partition_point(first, lowest, atMostRow), from, to);
    const HypotComponent* const innerEnd = std::clamp(
        std::partition_point(lowest, end, [b](const HypotComponent& a) { return a.magnitude <= b; }),
        innerFirst, to);
    uint32_t* value = values.data();
    // The column is the larger: k = b x 256 x its reciprocal.
    const uint64_t rowTimes256 = uint64_t{b} << 8;
    const auto outer = [&](const HypotComponent* a, const HypotComponent* stop) {
      for (; a < stop; ++a) {
        const auto k = static_cast<uint32_t>((rowTimes256 * a->reciprocal) >> 40);
        *value++ = packed[(a->magnitude * kHypotTable[k]) >> 14];
      }
    };
    outer(from, innerFirst);
    // The row is the larger: k = a x 256 x the row's reciprocal, and the
    // distance b x table[k] >> 14 has one of 257 values along the row, read
    // from a table of them where the run is long enough to pay for it.
    const uint64_t rowReciprocalTimes256 = row.reciprocal << 8;
    if (innerEnd - innerFirst >= kRowTableColumns) {
      for (size_t k = 0; k < kHypotTable.size(); ++k) {
        rowValues[k] = packed[(b * kHypotTable[k]) >> 14];
      }
      for (const HypotComponent* a = innerFirst; a < innerEnd; ++a) {
        *value++ = rowValues[(a->magnitude * rowReciprocalTimes256) >> 40];
      }
    } else {
      for (const HypotComponent* a = innerFirst; a < innerEnd; ++a) {
        const auto k = static_cast<uint32_t>((a->magnitude * rowReciprocalTimes256) >> 40);
        *value++ = packed[(b * kHypotTable[k]) >> 14];
      }
    }
    outer(innerEnd, to);
    ScreenRow(t.screenTable, row0 + static_cast<ptrdiff_t>(span.first) * t.bytesPerPixel,
              t.bytesPerPixel, values.data(), span.end - span.first);
  }
}

// Stamps the profile over the box reaching halfWidth and halfHeight pixels
// from (cx, cy); a column step is `columnSamples` profile samples, a row step
// always four.
void StampProfile(float cx, float cy, float halfWidth, float halfHeight, int32_t columnSamples,
                  const RenderTarget& t, ProfileStore& store) {
  if (std::isnan(cx) || std::isnan(cy) || std::isnan(halfWidth)) return;
  const int32_t x0 = std::max(TruncToInt(cx - halfWidth), int32_t{t.clip.left});
  const int32_t x1 = std::min(TruncToInt(cx + halfWidth), int32_t{t.clip.right});
  const int32_t y0 = std::max(TruncToInt(cy - halfHeight), int32_t{t.clip.top});
  const int32_t y1 = std::min(TruncToInt(cy + halfHeight), int32_t{t.clip.bottom});
  // A stamp that misses the clip rectangle leaves its profile unbuilt: the
  // steps stay noted, and a later stamp of the same or a screened-on shape
  // works them out then.
  if (x0 >= x1 || y0 >= y1) return;
  StampedProfile profile = store.ForStamp();
  if (profile.reach <= 0) return;

  // Quarter-pixel offsets of the centre from the box corner.
  const float fx = (cx - static_cast<float>(x0)) * static_cast<float>(columnSamples);
  const float fy = (cy - static_cast<float>(y0)) * 4.0f;
  Offsets columns, rows;
  try {
    MeasureOffsets(fx, columnSamples, x1 - x0, profile.reach, columns);
    MeasureOffsets(fy, 4, y1 - y0, profile.reach, rows);
  } catch (const std::bad_alloc&) {
    return;  // no work buffers: this stamp is skipped
  }

  if (profile.reach <= static_cast<int32_t>(kShortHypotLimit)) {
    // Every offset used lies below the reach, so below the short form's limit.
    try {
      StampPacked(profile.Packed().data(), columns, rows, x0, y0, t);
    } catch (const std::bad_alloc&) {
      // No work buffers: this stamp is skipped.
    }
    return;
  }
  const uint8_t* table = t.screenTable;
  for (int32_t j = rows.first; j < rows.end; ++j) {
    const HypotComponent& dy = rows.components[static_cast<size_t>(j)];
    uint8_t* c = ColourBytes(t, x0 + columns.first, y0 + j);
    for (int32_t i = columns.first; i < columns.end; ++i, c += t.bytesPerPixel) {
      const int32_t d = FastHypot(columns.components[static_cast<size_t>(i)], dy);
      if (d >= profile.reach) continue;  // beyond the profile: intensity 0
      const uint8_t r = profile.red[d], g = profile.green[d], b = profile.blue[d];
      if ((r | g | b) == 0) continue;  // screening 0 changes nothing
      c[0] = Screen(table, c[0], r);
      c[1] = Screen(table, c[1], g);
      c[2] = Screen(table, c[2], b);
    }
  }
}

}  // namespace

void RoundStamp(float cx, float cy, float radius, const RenderTarget& t, ProfileStore& profile) {
  const float r = radius + 2.0f;
  StampProfile(cx, cy, r, r, 4, t, profile);
}

void WideRoundStamp(float cx, float cy, float radius, const RenderTarget& t,
                    ProfileStore& profile) {
  const float r = radius + 2.0f;
  StampProfile(cx, cy, 2.0f * r, r, 2, t, profile);
}

}  // namespace gw
