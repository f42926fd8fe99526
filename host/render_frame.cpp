// The render command of the full and Quick editions: one light, direct or
// motion-blurred.
#include <algorithm>
#include <cmath>
#include <memory>
#include <new>
#include <vector>

#include "host/commands.h"
#include "host/host_calls.h"
#include "host/light.h"
#include "host/module_state.h"
#include "host/render_common.h"
#include "lens/lens.h"
#include "presets/presets.h"
#include "render/draw_lens.h"
#include "render/numeric.h"
#include "render/pixels.h"

namespace gw {
namespace {

// The values of the motion-blur path's second time, read from the host.
PF_Err ReadNextValues(const EditionTable& edition, const PF_InData& in, PF_ParamDef* params[],
                      const Obscuration& obscuration, RenderTarget& next) {
  PF_Err err = FindLightSource(edition, in, params, TimeChoice::Next, next.lightX, next.lightY);
  if (err) return err;

  const int32_t time = NextTime(in);
  const auto read = [&](ParamRole role, auto&& take) -> PF_Err {
    CheckedOutParam param(in, edition.IndexOf(role), time);
    if (param.checkoutError()) return param.checkoutError();
    take(param.def());
    return param.Checkin();
  };
  PF_Pixel colour{};
  float brightness = 0.0f;
  if ((err = read(ParamRole::Angle, [&](const PF_ParamDef& d) {
         next.anglePhase = FixedDegreesToPhase(d.u.ad.value);
       })))
    return err;
  if ((err = read(ParamRole::Scale,
                  [&](const PF_ParamDef& d) { next.scale = FixedToFloat(d.u.fd.value); })))
    return err;
  if ((err = read(ParamRole::Color, [&](const PF_ParamDef& d) { colour = d.u.cd.value; })))
    return err;
  if ((err = read(ParamRole::Brightness, [&](const PF_ParamDef& d) {
         brightness = FixedPercentToFactor(d.u.fd.value);
       })))
    return err;
  // Obscuration is measured once, at the current time.
  PrepareFlareColor(colour, obscuration.pixel, obscuration.type, brightness, next);
  return PF_Err_NONE;
}

// How many times the lens is drawn per tile for a blur of `length` pixels.
int32_t SampleCount(float length, bool highQuality) {
  if (highQuality) return std::clamp(TruncToInt(length * 0.33333334f), 4, 16);
  return std::clamp(TruncToInt(length * 0.125f), 3, 8);
}

// Draws the lens several times per tile between this frame's values and the
// next frame's, averages the samples and screens the result over the output.
PF_Err RenderMotionBlur(const EditionTable& edition, const PF_InData& in, PF_ParamDef* params[],
                        const Lens& lens, const Obscuration& obscuration, const FrameSize& size,
                        PF_LayerDef& output, RenderTarget target) {
  const int32_t width = size.width, height = size.height;
  const bool tiled = int64_t{height} * width * 9 >= 1048576;
  const int32_t tileRows = tiled ? std::min(height, 256) : height;
  const int32_t tileColumns = tiled ? std::min(width, 256) : width;
  const size_t tileBytes = static_cast<size_t>(tileRows) * tileColumns * 3;
  std::vector<uint16_t> sums;
  std::vector<uint8_t> tile;
  try {
    sums.resize(tileBytes);
    tile.resize(tileBytes);
  } catch (const std::bad_alloc&) {
    return kErrOutOfMemory;
  }
  const int32_t tilesDown = (height + tileRows - 1) / tileRows;
  const int32_t tilesAcross = (width + tileColumns - 1) / tileColumns;

  target.pixels = tile.data();
  target.rowBytes = tileColumns * 3;
  target.bytesPerPixel = 3;
  RenderTarget next = target;
  if (const PF_Err err = ReadNextValues(edition, in, params, obscuration, next)) return err;

  const float shutter = FixedToFloat(in.shutter_angle);
  const float dx = next.lightX - target.lightX;
  const float dy = next.lightY - target.lightY;
  const float travelled = dx * dx + dy * dy;
  const float length = travelled > 0.0f ? std::sqrt(travelled) * shutter : 0.0f;
  const int32_t samples = SampleCount(length, in.quality != 0);
  const float step = shutter / static_cast<float>(samples - 1);
  const int32_t passes = tilesDown * samples * tilesAcross;
  const ProgressCallback progress = HostProgress(in);
  const uint8_t* screen = target.screenTable;

  RenderTarget blended{};
  for (int32_t ty = 0; ty < tilesDown; ++ty) {
    for (int32_t tx = 0; tx < tilesAcross; ++tx) {
      target.clipTop = static_cast<int16_t>(tileRows * ty);
      target.clipBottom = static_cast<int16_t>(std::min(tileRows * (ty + 1), height));
      target.clipLeft = static_cast<int16_t>(tileColumns * tx);
      target.clipRight = static_cast<int16_t>(std::min(tileColumns * (tx + 1), width));
      std::fill(sums.begin(), sums.end(), uint16_t{0});
      for (int32_t k = 0; k < samples; ++k) {
        std::fill(tile.begin(), tile.end(), uint8_t{0});
        BlendTargets(target, next, blended, static_cast<float>(k) * step);
        const int32_t pass = (ty * tilesAcross + tx) * samples + k;
        if (const int32_t code = DrawLens(lens, blended, pass, passes, progress)) return code;
        for (size_t i = 0; i < tileBytes; ++i) sums[i] = static_cast<uint16_t>(sums[i] + tile[i]);
      }
      for (size_t i = 0; i < tileBytes; ++i) tile[i] = static_cast<uint8_t>(sums[i] / samples);

      for (int32_t y = target.clipTop; y < target.clipBottom; ++y) {
        const uint8_t* from = tile.data() + static_cast<size_t>(y - target.clipTop) * tileColumns * 3;
        uint8_t* to = static_cast<uint8_t*>(output.data) + ptrdiff_t{y} * output.rowbytes;
        for (int32_t x = target.clipLeft; x < target.clipRight; ++x) {
          const uint8_t* t = from + static_cast<size_t>(x - target.clipLeft) * 3;
          uint8_t* o = to + static_cast<size_t>(x) * 4;
          o[1] = Screen(screen, t[0], o[1]);
          o[2] = Screen(screen, t[1], o[2]);
          o[3] = Screen(screen, t[2], o[3]);
        }
      }
    }
  }
  return PF_Err_NONE;
}

}  // namespace

PF_Err RenderFrame(const EditionTable& edition, PF_InData& in, PF_OutData& out,
                   PF_ParamDef* params[], PF_LayerDef& output) {
  if (!out.sequence_data || !in.global_data) return FailWithoutGlobals(in, out);
  if (!ParamsPresent(edition, params)) return PF_Err_BAD_CALLBACK_PARAM;
  const auto param = [&](ParamRole role) -> const PF_ParamDef& {
    return *params[edition.IndexOf(role)];
  };

  // The light, and what covers it, at the current time. Their codes are not
  // reported: a light not found stays at the point parameter.
  const PF_PointDef& point = param(ParamRole::LightPoint).u.td;
  float lightX = FixedToFloat(point.x_value), lightY = FixedToFloat(point.y_value);
  FindLightSource(edition, in, params, TimeChoice::Current, lightX, lightY);
  Obscuration obscuration;
  MeasureObscuration(edition, in, params, lightX, lightY, obscuration);

  const std::unique_ptr<SequenceData> data = WorkingCopy(out);
  FrameSize size{};
  std::optional<ProfileBlock> profiles;
  RenderTarget target{};
  if (const PF_Err err = StartFrame(in, params, output,
                                    FixedToFloat(param(ParamRole::Scale).u.fd.value), size,
                                    profiles, target)) {
    return err;
  }
  PrepareFlareColor(param(ParamRole::Color).u.cd.value, obscuration.pixel, obscuration.type,
                    FixedPercentToFactor(param(ParamRole::Brightness).u.fd.value), target);
  target.lightX = lightX;
  target.lightY = lightY;
  target.anglePhase = FixedDegreesToPhase(param(ParamRole::Angle).u.ad.value);
  LockedHandle globals(in, in.global_data);
  target.screenTable = static_cast<const uint8_t*>(globals.data());
  if (!target.screenTable) return FailWithoutGlobals(in, out);
  SetCurrentScreenTable(target.screenTable);

  if (edition.render == RenderKind::LensFromPreset) {
    BuildPreset(data->lens, LowWord(param(ParamRole::FlareType).u.pd.value));
  }
  if (size.width == 0 || size.height == 0) return PF_Err_NONE;

  if (in.shutter_angle == 0) {
    if (target.brightness > 0.0f) return DrawLens(data->lens, target, 0, 1, HostProgress(in));
    return PF_Err_NONE;
  }
  return RenderMotionBlur(edition, in, params, data->lens, obscuration, size, output, target);
}

}  // namespace gw
