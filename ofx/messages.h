// Telling the user what went wrong, on the instance: a persistent message
// where the host keeps them (until a render succeeds), else a plain one.
#pragma once

#include <string>

#include "ofx/api/image_effect.h"

namespace gw::ofx {

void ReportError(OfxImageEffectHandle instance, const std::string& text);
void ClearError(OfxImageEffectHandle instance);

}  // namespace gw::ofx
