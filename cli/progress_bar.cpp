#include "cli/progress_bar.h"

#include <cstdio>
#include <string>

namespace gw {
namespace {
constexpr auto kFirstDrawAfter = std::chrono::milliseconds(500);
}  // namespace

ProgressBar::ProgressBar(int frames, bool enabled)
    : frames_(frames), enabled_(enabled), start_(std::chrono::steady_clock::now()) {}

ProgressBar::~ProgressBar() { Finish(); }

void ProgressBar::Update(int framesDone, double frameFraction) {
  if (!enabled_) return;
  const auto now = std::chrono::steady_clock::now();
  // Quick work draws nothing; slow work, a single frame too, shows its bar.
  if (!drawn_ && now - start_ < kFirstDrawAfter) return;
  if (drawn_ && frameFraction > 0.0 && now - lastDraw_ < std::chrono::milliseconds(100)) return;
  lastDraw_ = now;
  Draw(framesDone, frameFraction);
}

namespace {

// "1:05", "1:02:03".
std::string Clock(double seconds) {
  const long whole = static_cast<long>(seconds + 0.5);
  char text[32];
  if (whole >= 3600) {
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
  } else {
    std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
  }
  return text;
}

}  // namespace

void ProgressBar::Draw(int framesDone, double frameFraction) {
  const double done = framesDone + frameFraction;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  const int width = 30;
  const int filled = frames_ > 0 ? static_cast<int>(width * done / frames_) : width;
  std::string bar(static_cast<size_t>(filled < width ? filled : width), '#');
  bar.resize(width, '.');
  char line[160];
  int n = std::snprintf(line, sizeof line, "\r[%s] frame %d/%d", bar.c_str(),
                        framesDone < frames_ ? framesDone + 1 : frames_, frames_);
  // Quick frames are counted per second; a slow frame shows how far the
  // plug-in has come through it, and what a frame takes.
  const double perFrame = done > 0.0 ? seconds / done : 0.0;
  if (done > 0.0 && perFrame <= 1.0) {
    n += std::snprintf(line + n, sizeof line - n, "  %.2f fps", 1.0 / perFrame);
  } else {
    const int percent = framesDone >= frames_ ? 100 : static_cast<int>(frameFraction * 100.0);
    n += std::snprintf(line + n, sizeof line - n, "  %3d%%", percent);
    if (done > 0.0) n += std::snprintf(line + n, sizeof line - n, "  %.1f s a frame", perFrame);
  }
  if (done > 0.0) {
    n += std::snprintf(line + n, sizeof line - n, "  %s left", Clock((frames_ - done) * perFrame).c_str());
  } else {
    n += std::snprintf(line + n, sizeof line - n, "  %s so far", Clock(seconds).c_str());
  }
  // Blanks over what a longer line left behind.
  const int shown = n;
  if (shown < lastWidth_) n += std::snprintf(line + n, sizeof line - n, "%*s", lastWidth_ - shown, "");
  lastWidth_ = shown;
  std::fputs(line, stderr);
  std::fflush(stderr);
  drawn_ = true;
}

void ProgressBar::Finish() {
  if (enabled_ && drawn_) {
    std::fputc('\n', stderr);
    drawn_ = false;
  }
}

}  // namespace gw
