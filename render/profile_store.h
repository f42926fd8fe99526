// The storage of the radial profile an element builds and then stamps: three
// colour channels and a scratch channel of one size. Sample i of a channel
// lies i/4 pixel from the stamp's centre.
//
// Shapes, blurs and curves are not worked out when they are asked for: each
// is noted as a step, with everything its samples depend on, and the profile
// is built when a stamp needs it. The steps since the last shape that
// replaces the channels decide the profile completely, so a store keeps the
// profiles it built under those steps and hands one out again, unbuilt,
// whenever the same steps come back: for the next light of the Showcase
// edition, the next sample of a blur, the next tile. Nothing else can give
// the same steps, so a kept profile never stands in for another lens,
// element, Scale or brightness.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace gw {

// Channel samples per pixel of frame width at Scale 1: a profile can reach
// fifteen frame widths from its centre.
inline constexpr int32_t kProfileSamplesPerFrameWidth = 60;

// Samples at the end of every channel past the usable length, never read.
inline constexpr int32_t kProfileSpareSamples = 10;

// How a shape meets what a channel already holds.
enum class ProfileBlend : uint8_t {
  // The shape overwrites the channel, and every sample from the shape's end
  // up to the usable length becomes 0.
  Replace,
  // The shape is screened into the channel; samples beyond it are untouched.
  Screen,
};

// What a stamp reads: the three colour channels, and the reach, from which
// on every sample is 0 (a stamp stops there).
struct ProfileView {
  const uint8_t* red;
  const uint8_t* green;
  const uint8_t* blue;
  int32_t reach;
};

// The three channels in one word a sample (red in the low byte), for every
// distance two offsets below the reach can give: one load a pixel, and 0
// from the reach on, where nothing shows.
void PackProfile(const ProfileView& profile, std::vector<uint32_t>& packed);

// The channels as a step works on them.
struct ProfileChannels {
  uint8_t* red;
  uint8_t* green;
  uint8_t* blue;
  uint8_t* scratch;
  int32_t length;  // usable samples per channel; 0 or less when there are none
  int32_t reach;   // every sample of the colour channels from here on is 0

  // Zeroes samples `from` onwards (up to the reach) in the colour channels.
  void ClearFrom(int32_t from);
  // Notes that samples below `end` may now be nonzero.
  void Extend(int32_t end);
  // Moves the reach down past the zero samples just below it: a shape often
  // ends well short of where it could have reached.
  void TrimReach();
};

// One step of a profile: which shape, blur or curve, and its arguments. The
// fields a kind does not use stay 0, so that equal steps have equal bytes.
struct ProfileStep {
  enum class Kind : uint8_t { Glow, Disc, Ring, Blur, Gamma, Bowl, Ramp };

  const uint8_t* screenTable;  // screened shapes read it
  float radius;                // Glow, Disc, Ring, Bowl; Blur: extent; Ramp: inner
  float band;                  // Ramp
  float outer;                 // Ramp
  float hole;                  // Ramp
  int32_t first;               // Disc: edge; Ring: width; Blur: half; Gamma, Ramp: num
  int32_t second;              // Gamma, Ramp: den
  int16_t peakR, peakG, peakB;
  Kind kind;
  ProfileBlend blend;

  // A step whose channels owe nothing to what they held before.
  bool Replaces() const {
    return kind == Kind::Bowl ||
           (blend == ProfileBlend::Replace &&
            (kind == Kind::Glow || kind == Kind::Disc || kind == Kind::Ring || kind == Kind::Ramp));
  }
};
// No padding: a step's bytes are its fields.
static_assert(sizeof(ProfileStep) == sizeof(void*) + 32);

// Works one step out on the channels (render/profiles.cpp).
void ApplyProfileStep(const ProfileStep& step, ProfileChannels& channels);

class ProfileStore;

// The profile one stamp reads, as ProfileStore::ForStamp hands it out; its
// packed form is had only through it. Good until the store's next step or
// stamp.
class StampedProfile : public ProfileView {
 public:
  // The profile packed as PackProfile packs it, worked out once for each
  // profile (and kept with it). Throws std::bad_alloc.
  const std::vector<uint32_t>& Packed();

 private:
  friend class ProfileStore;
  StampedProfile(const ProfileView& view, ProfileStore& store)
      : ProfileView(view), store_(&store) {}

  ProfileStore* store_;
};

class ProfileStore {
 public:
  // Profiles kept for reuse stop at this many bytes; then they are let go
  // and keeping starts again.
  static constexpr size_t kMaxKeptBytes = size_t{32} << 20;

  // Four channels of `channelSamples` bytes, all 0; none when it is not
  // positive. The reach starts at the usable length, so that channels
  // written directly before any shape are stamped whole. Throws
  // std::bad_alloc when the memory cannot be had.
  explicit ProfileStore(int32_t channelSamples = 0);
  // A copy holds channels of its own, as built so far, and the same kept
  // profiles.
  ProfileStore(const ProfileStore& other);
  ProfileStore& operator=(const ProfileStore&) = delete;
  ProfileStore(ProfileStore&&) noexcept = default;
  ProfileStore& operator=(ProfileStore&&) noexcept = default;

  // Back to the store as it was made (channels all 0, no steps), keeping the
  // profiles kept so far: each is kept under every step it depends on, in
  // channels of this store's size, so it can stand only for itself.
  void Restart();

  // The channel size a render of a W-pixel-wide frame at `scale` uses.
  static int32_t ChannelSamplesFor(int32_t width, float scale);

  // Usable samples per channel; 0 or less when the store is too small to
  // hold any (every sample then reads as 0).
  int32_t length() const { return length_; }

  // Notes the next step of the profile (the shape builders' way in).
  void AddStep(const ProfileStep& step);

  // The profile as it stands, for one stamp: a kept one when the steps since
  // the last replacing shape were met before, else built now (and kept).
  // After a new shape its reach is brought down to just past the last
  // sample that is not 0; channels written directly keep the reach they
  // are given.
  StampedProfile ForStamp();

  // How many profiles were built and how many handed out again.
  int32_t built() const { return built_; }
  int32_t reused() const { return reused_; }

  // --- The channels themselves, built up to the last step. Writing them
  // directly (tests do) leaves the profile unkept until the next replacing
  // shape. ---
  uint8_t* red() { return Written().red; }
  uint8_t* green() { return Written().green; }
  uint8_t* blue() { return Written().blue; }
  uint8_t* scratch() { return Written().scratch; }
  const uint8_t* red() const { return Built().red; }
  const uint8_t* green() const { return Built().green; }
  const uint8_t* blue() const { return Built().blue; }
  int32_t reach() const { return Built().reach; }
  // A shape written directly starts here: its stamp trims the reach.
  void BeginShape() {
    Written();
    trim_ = true;
  }
  void ClearFrom(int32_t from) { Written().ClearFrom(from); }
  void Extend(int32_t end) { Written().Extend(end); }
  // After the channels were written directly: any sample may be nonzero.
  void ExtendToLength() { Extend(length_); }

 private:
  struct Kept {
    std::vector<uint8_t> samples;  // red, then green, then blue, `reach` each
    int32_t reach;
    std::vector<uint32_t> packed;  // once a stamp asked for it
  };

  // The channels with every noted step worked out.
  const ProfileChannels& Built() const;
  // The same, about to be written directly.
  ProfileChannels& Written();
  // The channels over bytes_, all usable samples within reach.
  void PointChannels();
  std::string KeyOfSteps() const;
  friend class StampedProfile;
  // The last stamp's profile, packed.
  const std::vector<uint32_t>& PackedForStamp();
  Kept* Keep(std::string key);

  std::vector<uint8_t> bytes_;
  int32_t length_ = -kProfileSpareSamples;
  // Built lazily, so `mutable`: reading the channels works out the steps
  // noted so far, which leaves the profile as it was.
  mutable ProfileChannels live_{};
  mutable size_t applied_ = 0;     // steps_[0, applied_) are worked out in live_
  std::vector<ProfileStep> steps_;  // since the last replacing shape
  bool written_ = false;  // written directly since the last replacing shape
  bool changed_ = true;   // since the last stamp
  bool trim_ = false;     // a shape was begun since the last stamp
  ProfileView last_{};    // what the last stamp read
  Kept* current_ = nullptr;  // where last_ is kept, if it is
  std::vector<uint32_t> packed_;  // last_ packed, when it is not kept
  bool packedCurrent_ = false;    // packed_ is last_'s
  std::unordered_map<std::string, Kept> kept_;
  size_t keptBytes_ = 0;
  int32_t built_ = 0;
  int32_t reused_ = 0;
};

}  // namespace gw
