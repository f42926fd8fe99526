#include "render/profiles.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "render/numeric.h"
#include "render/pixels.h"

namespace gw {
namespace {

// The three colour channels of a profile with the peak that goes into each.
struct ChannelPeak {
  uint8_t* samples;
  int16_t peak;
};

std::array<ChannelPeak, 3> ChannelPeaks(ProfileChannels& c, const ProfileStep& step) {
  return {{{c.red, step.peakR}, {c.green, step.peakG}, {c.blue, step.peakB}}};
}

// The length of a shape in samples: the radius, raised to its minimum (also
// when it is NaN), in quarter pixels, cut at the profile length.
float ShapeSamples(float radius, float minRadius, const ProfileChannels& c) {
  if (!(radius >= minRadius)) radius = minRadius;
  float n = radius * 4.0f;
  const float length = static_cast<float>(c.length);
  if (length < n) n = length;
  return n;
}

// How many samples 0, 1, 2, ... lie below n and inside the profile.
int32_t SamplesBelow(float n, const ProfileChannels& c) {
  if (!(n > 0.0f) || c.length <= 0) return 0;
  return std::min(TruncToInt(std::ceil(n)), c.length);
}

// Writes an intensity already in 0..255 into sample i: stored in replace
// mode, screened through the table otherwise.
void PutSample(uint8_t* channel, int32_t i, float v, const ProfileStep& step) {
  const uint8_t value = static_cast<uint8_t>(TruncToInt(v));
  channel[i] = step.blend == ProfileBlend::Replace ? value
                                                   : Screen(step.screenTable, channel[i], value);
}

// Linear-edged shapes (disc and ring) scale their shape value s in 0..255 by
// peak / 256, saturating at 255.
float EdgedShapeValue(int16_t peak, float s) {
  float v = static_cast<float>(peak) * s / 256.0f;
  if (v > 255.0f) v = 255.0f;
  if (v < 0.0f) v = 0.0f;
  return v;
}

float ClampShape(float s) { return s < 0.0f ? 0.0f : (s > 255.0f ? 255.0f : s); }

// A step of `kind` with its peak colour; the other fields 0.
ProfileStep StepOf(ProfileStep::Kind kind, Peaks peak, ProfileBlend blend, const RenderTarget& t) {
  ProfileStep step{};
  step.kind = kind;
  step.blend = blend;
  step.peakR = peak.r;
  step.peakG = peak.g;
  step.peakB = peak.b;
  // Only screened shapes read the table; replacing ones leave it out, so
  // that they meet their like from any target.
  step.screenTable = blend == ProfileBlend::Screen ? t.screenTable : nullptr;
  return step;
}

void BuildGlow(const ProfileStep& step, ProfileChannels& c) {
  float n = ShapeSamples(step.radius, 2.0f, c);
  if (n < 4.0f) n = 4.0f;
  if (step.blend == ProfileBlend::Replace) c.ClearFrom(TruncToInt(n));
  const int32_t count = SamplesBelow(n, c);
  c.Extend(count);
  for (const ChannelPeak& ch : ChannelPeaks(c, step)) {
    for (int32_t i = 0; i < count; ++i) {
      const float fromEnd = n - static_cast<float>(i + 1);
      float s = fromEnd * fromEnd / n;
      s = s < 0.0f ? 0.0f : (s > n ? n : s);
      float v = static_cast<float>(ch.peak) * s / n;
      if (v <= 0.0f) v = 0.0f;
      if (v > 255.0f) v = 255.0f;
      if (step.blend == ProfileBlend::Replace) {
        ch.samples[i] = static_cast<uint8_t>(TruncToInt(v));
      } else {
        const float o = ch.samples[i];
        ch.samples[i] =
            static_cast<uint8_t>(TruncToInt(255.0f - (255.0f - o) * (255.0f - v) / 255.0f));
      }
    }
  }
}

void BuildDisc(const ProfileStep& step, ProfileChannels& c) {
  const float n = ShapeSamples(step.radius, 2.0f, c);
  if (step.blend == ProfileBlend::Replace) c.ClearFrom(TruncToInt(n));
  const int32_t edge = std::max(step.first, int32_t{4});
  const float k = 256.0f / static_cast<float>(edge);
  const float rampStart = n - static_cast<float>(edge);
  const int32_t count = SamplesBelow(n, c);
  c.Extend(count);
  for (const ChannelPeak& ch : ChannelPeaks(c, step)) {
    for (int32_t i = 0; i < count; ++i) {
      float d = static_cast<float>(i) - rampStart;
      if (d < 0.0f) d = 0.0f;
      const float s = ClampShape(255.0f - d * k);
      PutSample(ch.samples, i, EdgedShapeValue(ch.peak, s), step);
    }
  }
}

void BuildRing(const ProfileStep& step, ProfileChannels& c) {
  const float n = ShapeSamples(step.radius, 4.0f, c);
  if (step.blend == ProfileBlend::Replace) c.ClearFrom(TruncToInt(n));
  const float w = static_cast<float>(std::max(step.first, int32_t{4}));
  const float k = 256.0f / w;
  const float crest = n - w;
  const int32_t count = SamplesBelow(n, c);
  c.Extend(count);
  for (const ChannelPeak& ch : ChannelPeaks(c, step)) {
    for (int32_t i = 0; i < count; ++i) {
      float d = std::fabs(static_cast<float>(i) - crest);
      if (d > w) d = w;
      const float s = ClampShape(255.0f - d * k);
      PutSample(ch.samples, i, EdgedShapeValue(ch.peak, s), step);
    }
  }
}

void BuildBlur(const ProfileStep& step, ProfileChannels& c) {
  const int32_t half = step.first;
  if (half < 1) return;
  const int32_t length = c.length;
  const int32_t n = std::min(TruncToInt((static_cast<float>(half) + step.radius) * 4.0f), length);
  if (n <= 0) return;
  c.Extend(n);
  for (uint8_t* channel : {c.red, c.green, c.blue}) {
    // A running sum over the window [i - half, i + half - 1] cut to the
    // profile; the window always holds sample i itself.
    int64_t sum = 0;
    int64_t lo = 0;   // first sample in the window
    int64_t hi = -1;  // last sample in the window
    for (int32_t i = 0; i < n; ++i) {
      const int64_t wantHi = std::min<int64_t>(int64_t{i} + half - 1, length - 1);
      const int64_t wantLo = std::max<int64_t>(int64_t{i} - half, 0);
      while (hi < wantHi) sum += channel[++hi];
      while (lo < wantLo) sum -= channel[lo++];
      c.scratch[i] = static_cast<uint8_t>(sum / (hi - lo + 1));
    }
    std::memcpy(channel, c.scratch, static_cast<size_t>(n));
  }
}

void BuildGamma(const ProfileStep& step, ProfileChannels& c) {
  std::array<uint8_t, 256> curve{};
  for (int32_t v = 0; v < 256; ++v) {
    const int32_t x = (v * 4096 + 127) / 255;
    const int32_t y = PowerCurve(x, step.first, step.second);
    curve[v] = static_cast<uint8_t>((y * 255 + 2048) >> 12);
  }
  // The curve keeps 0 at 0, so samples from the reach on stay 0.
  for (uint8_t* channel : {c.red, c.green, c.blue}) {
    for (int32_t i = 0; i < c.reach; ++i) channel[i] = curve[channel[i]];
  }
}

void BuildBowl(const ProfileStep& step, ProfileChannels& c) {
  float radius = step.radius;
  if (!(radius >= 2.0f)) radius = 2.0f;
  ProfileStep disc = step;
  disc.radius = radius;
  disc.first = 8;
  BuildDisc(disc, c);
  float m = radius * 4.0f - 8.0f;
  const float length = static_cast<float>(c.length);
  if (m > length) m = length;
  if (m < 4.0f) m = 4.0f;
  const int32_t count = SamplesBelow(m, c);
  c.Extend(count);
  for (const ChannelPeak& ch : ChannelPeaks(c, step)) {
    for (int32_t i = 0; i < count; ++i) {
      const float r = static_cast<float>(i + 1);
      float v = r * r / m;
      v = v < 0.0f ? 0.0f : (v > m ? m : v);
      float value = static_cast<float>(ch.peak) * v / m;
      if (value <= 0.0f) value = 1.0f;
      if (value > 255.0f) value = 255.0f;
      ch.samples[i] = static_cast<uint8_t>(TruncToInt(value));
    }
  }
}

void BuildRamp(const ProfileStep& step, ProfileChannels& c) {
  const int32_t num = step.first, den = step.second;
  // Band lengths in samples, kept wide so that no size can wrap them.
  const int64_t s0 = std::max(TruncToInt(4.0f * step.hole), 0);
  int64_t nIn = std::max(TruncToInt(4.0f * step.radius), 0);
  const int64_t nMid = std::max(TruncToInt(4.0f * step.band), 0);
  const int64_t nOut = std::max(TruncToInt(4.0f * step.outer), 4);
  if (nIn < 4 && s0 > 0) nIn = 4;
  const int64_t e1 = s0 + nIn;
  const int64_t e2 = e1 + nMid;
  const int64_t e3 = e2 + nOut;

  const int64_t length = std::max(c.length, 0);
  if (step.blend == ProfileBlend::Replace) c.ClearFrom(0);
  const auto end = [length](int64_t e) { return static_cast<int32_t>(std::min(e, length)); };
  const float inStep = nIn > 0 ? 1.0f / static_cast<float>(nIn) : 0.0f;
  const float outStep = 1.0f / static_cast<float>(nOut);

  const std::array<ChannelPeak, 3> channels = ChannelPeaks(c, step);
  const auto put = [&](int32_t i, const std::array<int32_t, 3>& values) {
    for (int ch = 0; ch < 3; ++ch) {
      uint8_t& sample = channels[ch].samples[i];
      const uint8_t v = ClampToByte(values[ch]);
      sample = step.blend == ProfileBlend::Replace ? v : Screen(step.screenTable, sample, v);
    }
  };
  // The colour times ramp^(num/den), for a ramp position in 0..1.
  const auto rampValues = [&](float ramp) {
    if (ramp > 1.0f) ramp = 1.0f;
    const float g =
        static_cast<float>(PowerCurve(TruncToInt(ramp * 4096.0f), num, den)) / 4096.0f;
    std::array<int32_t, 3> values{};
    for (int ch = 0; ch < 3; ++ch) values[ch] = TruncToInt(channels[ch].peak * g);
    return values;
  };

  c.Extend(end(e3));
  // Below s0 nothing is written: the hole.
  if (nIn > 0) {
    for (int32_t i = end(s0); i < end(e1); ++i) {
      put(i, rampValues(static_cast<float>(i - s0) * inStep));
    }
  }
  for (int32_t i = end(e1); i < end(e2); ++i) put(i, {step.peakR, step.peakG, step.peakB});
  for (int32_t i = end(e2); i < end(e3); ++i) {
    put(i, rampValues(1.0f - static_cast<float>(i - e2) * outStep));
  }
}

}  // namespace

int16_t PeakFrom(float value) { return SaturateToI16(TruncToInt(value)); }

void GlowProfile(float radius, Peaks peak, ProfileBlend blend, const RenderTarget& t,
                 ProfileStore& profile) {
  ProfileStep step = StepOf(ProfileStep::Kind::Glow, peak, blend, t);
  step.radius = radius;
  profile.AddStep(step);
}

void DiscProfile(float radius, Peaks peak, ProfileBlend blend, int32_t edge, const RenderTarget& t,
                 ProfileStore& profile) {
  ProfileStep step = StepOf(ProfileStep::Kind::Disc, peak, blend, t);
  step.radius = radius;
  step.first = edge;
  profile.AddStep(step);
}

void RingProfile(float radius, Peaks peak, ProfileBlend blend, int32_t width, const RenderTarget& t,
                 ProfileStore& profile) {
  ProfileStep step = StepOf(ProfileStep::Kind::Ring, peak, blend, t);
  step.radius = radius;
  step.first = width;
  profile.AddStep(step);
}

void BlurProfile(int32_t half, float extent, const RenderTarget& t, ProfileStore& profile) {
  if (half < 1) return;  // changes nothing
  ProfileStep step = StepOf(ProfileStep::Kind::Blur, {0, 0, 0}, ProfileBlend::Screen, t);
  step.screenTable = nullptr;
  step.radius = extent;
  step.first = half;
  profile.AddStep(step);
}

void GammaProfile(int32_t num, int32_t den, const RenderTarget& t, ProfileStore& profile) {
  ProfileStep step = StepOf(ProfileStep::Kind::Gamma, {0, 0, 0}, ProfileBlend::Screen, t);
  step.screenTable = nullptr;
  step.first = num;
  step.second = den;
  profile.AddStep(step);
}

void BowlProfile(float radius, Peaks peak, const RenderTarget& t, ProfileStore& profile) {
  ProfileStep step = StepOf(ProfileStep::Kind::Bowl, peak, ProfileBlend::Replace, t);
  step.radius = radius;
  profile.AddStep(step);
}

void RampProfile(float inner, float band, float outer, float hole, Peaks peak, ProfileBlend blend,
                 int32_t num, int32_t den, const RenderTarget& t, ProfileStore& profile) {
  ProfileStep step = StepOf(ProfileStep::Kind::Ramp, peak, blend, t);
  step.radius = inner;
  step.band = band;
  step.outer = outer;
  step.hole = hole;
  step.first = num;
  step.second = den;
  profile.AddStep(step);
}

void ApplyProfileStep(const ProfileStep& step, ProfileChannels& c) {
  switch (step.kind) {
    case ProfileStep::Kind::Glow: BuildGlow(step, c); break;
    case ProfileStep::Kind::Disc: BuildDisc(step, c); break;
    case ProfileStep::Kind::Ring: BuildRing(step, c); break;
    case ProfileStep::Kind::Blur: BuildBlur(step, c); break;
    case ProfileStep::Kind::Gamma: BuildGamma(step, c); break;
    case ProfileStep::Kind::Bowl: BuildBowl(step, c); break;
    case ProfileStep::Kind::Ramp: BuildRamp(step, c); break;
  }
}

const std::array<uint16_t, 4097>& LogTable() {
  static const std::array<uint16_t, 4097> table = [] {
    std::array<uint16_t, 4097> log{};
    log[0] = 65535;
    for (int i = 1; i <= 4096; ++i) {
      log[i] = static_cast<uint16_t>(std::lround(65536.0 / 13.0 * std::log2(4096.0 / i)));
    }
    return log;
  }();
  return table;
}

int32_t PowerCurve(int32_t x, int32_t num, int32_t den) {
  if (x <= 0) return 0;
  if (x > 4096) x = 4096;
  if (den == 0) return x;  // no exponent to speak of: leave the value alone
  const std::array<uint16_t, 4097>& log = LogTable();
  const int64_t L = (int64_t{log[x]} * num + (den >> 1)) / den;
  if (L >= 65536) return 0;
  // A negative logarithm is a power above 1, which saturates at full scale.
  if (L <= 1) return 4096;
  if (L >= 60495) return 1;
  int32_t lo = 0;
  int32_t hi = 4096;
  while (hi - lo > 1) {
    const int32_t mid = (lo + hi) / 2;
    if (L > log[mid]) {
      hi = mid;
    } else if (L < log[mid]) {
      lo = mid;
    } else {
      return mid;
    }
  }
  return (log[lo] - L < L - log[hi]) ? lo : hi;
}

}  // namespace gw
