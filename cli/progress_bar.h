// A one-line progress bar on stderr for sequences: frame, rate, time left;
// for slow frames, how far through the frame the plug-in has come.
#pragma once

#include <chrono>

namespace gw {

class ProgressBar {
 public:
  // Draws only when `enabled` (stderr is a terminal and -q was not given).
  ProgressBar(int frames, bool enabled);
  ~ProgressBar();
  // The fraction of the current frame done (0..1), as the plug-in reports it.
  void Update(int framesDone, double frameFraction);
  void Finish();

 private:
  void Draw(int framesDone, double frameFraction);
  int frames_;
  bool enabled_;
  bool drawn_ = false;
  int lastWidth_ = 0;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastDraw_;
};

}  // namespace gw
