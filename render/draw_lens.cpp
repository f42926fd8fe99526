#include "render/draw_lens.h"

namespace gw {

int32_t DrawLens(const Lens& lens, const RenderTarget& target, Scratch& scratch, int32_t pass,
                 int32_t passes, const ProgressCallback& progress) {
  const int32_t count = static_cast<int32_t>(UsableCount(lens));
  for (int32_t i = 0; i < count; ++i) {
    if (progress.report) {
      const int32_t code = progress.report(progress.context, pass * count + i, passes * count);
      if (code != 0) return code;
    }
    const LensElement& element = lens.elements[i];
    if (element.enabled) DrawElement(element, target, scratch);
  }
  return 0;
}

}  // namespace gw
