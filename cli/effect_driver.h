// The plug-in a render draws through, whichever interface it speaks: the
// legacy modules in the test host (the default), or the OpenFX edition in our
// OpenFX host (`--api ofx`). Both take the options' values in the legacy
// tables' encoding (16.16 fixed point, popups from 1, light positions in
// pixels of the whole frame from its top left) and give back the plate with
// the flare over it.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "cli/image_module.h"
#include "cli/render_options.h"
#include "cli/worker_pool.h"
#include "host/edition.h"
#include "lens/lens.h"
#include "testhost/test_host.h"

namespace gw {

// What a driver is set up with, before any parameter is set.
struct EffectSetUp {
  const RenderPlan& plan;
  std::string pluginDir;      // --plugin-dir; empty: where the program finds them
  std::optional<Lens> lens;   // --lens, as a saved project hands it back
  int width = 0, height = 0;  // of the whole frame, before downsampling
};

class EffectDriver {
 public:
  virtual ~EffectDriver() = default;

  // A keyframe at `frame`, interpolated between keys the way each host does.
  virtual void SetKey(ParamRole role, int frame, const testhost::ParamValue& value) = 0;
  // A value at every frame.
  virtual void SetValue(ParamRole role, const testhost::ParamValue& value) = 0;
  // A layer's image at each frame, at its full size.
  virtual void SetLayer(ParamRole role, testhost::LayerSource frames) = 0;

  // The plate (at its full size) with the flare of `frame` over it, at the
  // rendered size, blended as the plan says (or the flare alone). Reports
  // progress to `context`; throws ItemCancelled when it asks to stop and
  // CommandError when the plug-in fails.
  virtual Plate Render(int frame, const Plate& plate, ItemContext& context) = 0;
};

// The legacy module of the plan's edition, through global, parameter and
// sequence setup; throws CommandError naming the module.
std::unique_ptr<EffectDriver> MakeLegacyDriver(const EffectSetUp& setUp);
// An instance of the plan's edition in the OpenFX binary (cli/ofx_driver.cpp).
std::unique_ptr<EffectDriver> MakeOfxDriver(const EffectSetUp& setUp);

}  // namespace gw
