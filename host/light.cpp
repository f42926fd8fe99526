#include "host/light.h"

#include "host/host_calls.h"

namespace gw {

PF_Err FindLightSource(const EditionTable& edition, const PF_InData& in, PF_ParamDef* params[],
                       TimeChoice when, float& x, float& y) {
  const int32_t time = when == TimeChoice::Current ? in.current_time : NextTime(in);
  CheckedOutParam layer(in, edition.IndexOf(ParamRole::LocationLayer), time);
  if (layer.checkoutError()) return layer.checkoutError();

  PF_Err err = PF_Err_NONE;
  if (!FindLightInLayer(ViewOf(layer.def().u.ld), x, y)) {
    const int32_t pointIndex = edition.IndexOf(ParamRole::LightPoint);
    if (when == TimeChoice::Current) {
      // The host's array holds the point of this frame in frame pixels.
      const PF_PointDef& point = params[pointIndex]->u.td;
      x = FixedToFloat(point.x_value);
      y = FixedToFloat(point.y_value);
    } else {
      // A checked-out point is in pixels of the full-size layer: the host's
      // downsampling brings it into frame pixels.
      CheckedOutParam point(in, pointIndex, time);
      err = point.checkoutError();
      if (!err) {
        x = DownsampledCoordinate(FixedToFloat(point.def().u.td.x_value), in.downsample_x);
        y = DownsampledCoordinate(FixedToFloat(point.def().u.td.y_value), in.downsample_y);
        err = point.Checkin();
      }
    }
  }
  const PF_Err checkin = layer.Checkin();
  return err ? err : checkin;
}

PF_Err MeasureObscuration(const EditionTable& edition, const PF_InData& in,
                          PF_ParamDef* params[], float x, float y, Obscuration& result) {
  result = Obscuration{};
  const int16_t r = LowWord(params[edition.IndexOf(ParamRole::SourceSize)]->u.sd.value - 1);
  CheckedOutParam layer(in, edition.IndexOf(ParamRole::ObscurationLayer), in.current_time);
  if (layer.checkoutError()) return layer.checkoutError();
  const auto type = static_cast<ObscurationType>(
      LowWord(params[edition.IndexOf(ParamRole::ObscurationType)]->u.pd.value));
  result = MeasureObscuration(ViewOf(layer.def().u.ld), x, y, r, type);
  return layer.Checkin();
}

}  // namespace gw
