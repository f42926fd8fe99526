#include "ofx/messages.h"

#include "ofx/suites.h"

namespace gw::ofx {

void ReportError(OfxImageEffectHandle instance, const std::string& text) {
  const std::string message = "Glarewright: " + text;
  if (const OfxMessageSuiteV2* suite = Suites().persistentMessage) {
    suite->setPersistentMessage(instance, kOfxMessageError, "", "%s", message.c_str());
  } else if (const OfxMessageSuiteV1* suite = Suites().message) {
    suite->message(instance, kOfxMessageError, "", "%s", message.c_str());
  }
}

void ShowMessage(OfxImageEffectHandle instance, const char* type, const std::string& text) {
  const std::string message = "Glarewright: " + text;
  if (const OfxMessageSuiteV2* suite = Suites().persistentMessage) {
    suite->message(instance, type, "", "%s", message.c_str());
  } else if (const OfxMessageSuiteV1* suite = Suites().message) {
    suite->message(instance, type, "", "%s", message.c_str());
  }
}

void ClearError(OfxImageEffectHandle instance) {
  if (const OfxMessageSuiteV2* suite = Suites().persistentMessage) {
    suite->clearPersistentMessage(instance);
  }
}

}  // namespace gw::ofx
