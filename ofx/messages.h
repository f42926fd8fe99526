// Telling the user what went wrong, on the instance: a persistent message
// where the host keeps them (until a render succeeds), else a plain one.
#pragma once

#include <string>

#include "ofx/api/image_effect.h"

namespace gw::ofx {

void ReportError(OfxImageEffectHandle instance, const std::string& text);
void ClearError(OfxImageEffectHandle instance);
// A message for the user now, about something they asked for (a button):
// the application shows it and it does not stay on the instance.
void ShowMessage(OfxImageEffectHandle instance, const char* type, const std::string& text);

}  // namespace gw::ofx
