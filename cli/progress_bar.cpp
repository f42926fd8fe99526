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

void ProgressBar::Draw(int framesDone, double frameFraction) {
  const double done = framesDone + frameFraction;
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  const double rate = seconds > 0.0 ? done / seconds : 0.0;
  const double left = rate > 0.0 ? (frames_ - done) / rate : 0.0;
  const int width = 30;
  const int filled = frames_ > 0 ? static_cast<int>(width * done / frames_) : width;
  std::string bar(static_cast<size_t>(filled < width ? filled : width), '#');
  bar.resize(width, '.');
  const int secondsLeft = static_cast<int>(left + 0.5);
  std::fprintf(stderr, "\r[%s] frame %d/%d  %.2f fps  %d:%02d left ", bar.c_str(),
               framesDone < frames_ ? framesDone + 1 : frames_, frames_, rate,
               secondsLeft / 60, secondsLeft % 60);
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
