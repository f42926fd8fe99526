// The storage of the radial profile an element builds and then stamps: three
// colour channels and a scratch channel of one size. Sample i of a channel
// lies i/4 pixel from the stamp's centre.
#pragma once

#include <cstddef>
#include <cstdint>
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

// The profiles one walk of a lens stamped, in stamping order: recorded while
// a sample of a blurred draw is drawn in its first tile, replayed in the
// others, whose profiles are the same (they depend on the sample's settings,
// never on the tile).
class ProfileRecording {
 public:
  // Recordings stop growing past this many bytes; one that would is not
  // used, and the sample's profiles are built again in every tile.
  static constexpr size_t kMaxBytes = size_t{8} << 20;

  bool usable() const { return usable_; }

 private:
  friend class ProfileStore;
  struct Snapshot {
    size_t offset;  // of the red channel in the pool; green and blue follow
    int32_t reach;
  };
  std::vector<uint8_t> pool_;
  std::vector<Snapshot> snapshots_;
  bool usable_ = false;
};

class ProfileStore {
 public:
  // Four channels of `channelSamples` bytes, all 0; none when it is not
  // positive. The reach starts at the usable length, so that channels
  // written directly before any shape are stamped whole. Throws
  // std::bad_alloc when the memory cannot be had.
  explicit ProfileStore(int32_t channelSamples = 0);

  // The channel size a render of a W-pixel-wide frame at `scale` uses.
  static int32_t ChannelSamplesFor(int32_t width, float scale);

  uint8_t* red() { return bytes_.data(); }
  uint8_t* green() { return bytes_.data() + channelSamples_; }
  uint8_t* blue() { return bytes_.data() + 2 * static_cast<size_t>(channelSamples_); }
  uint8_t* scratch() { return bytes_.data() + 3 * static_cast<size_t>(channelSamples_); }
  const uint8_t* red() const { return bytes_.data(); }
  const uint8_t* green() const { return bytes_.data() + channelSamples_; }
  const uint8_t* blue() const { return bytes_.data() + 2 * static_cast<size_t>(channelSamples_); }

  // Usable samples per channel; 0 or less when the store is too small to
  // hold any (every sample then reads as 0).
  int32_t length() const { return length_; }

  // Every sample of the three colour channels from here to the usable
  // length is 0: stamps stop there, and clearing the tail stops there.
  int32_t reach() const { return reach_; }

  // The profile as it stands, for one stamp, its reach brought down to just
  // past the last sample that is not 0. While recording, a profile
  // changed since the last stamp is added to the recording; while
  // replaying, the next recorded profile is handed out instead.
  ProfileView ForStamp();

  // Every shape, blur and curve starts here: false while replaying, when
  // the work is skipped.
  bool BeginShape();

  // Records the profiles stamped from now on into `recording` (emptied).
  void StartRecording(ProfileRecording& recording);
  // Replays a usable recording: shapes are skipped and stamps read the
  // recorded profiles in order.
  void StartReplay(const ProfileRecording& recording);
  // Back to building and stamping the profile in place.
  void StopRecording();

  // Zeroes samples `from` onwards (up to the reach) in the colour channels.
  void ClearFrom(int32_t from);
  // Notes that samples below `end` may now be nonzero.
  void Extend(int32_t end);
  // After the channels were written directly: any sample may be nonzero.
  void ExtendToLength() { Extend(length_); }

 private:
  enum class Mode : uint8_t { Live, Recording, Replaying };

  void AddSnapshot();
  // Moves the reach down past the zero samples just below it: a shape often
  // ends well short of where it could have reached.
  void TrimReach();

  std::vector<uint8_t> bytes_;
  Mode mode_ = Mode::Live;
  ProfileRecording* recording_ = nullptr;      // while recording
  const ProfileRecording* replayed_ = nullptr;  // while replaying
  size_t nextSnapshot_ = 0;                   // while replaying
  bool changed_ = false;  // a shape was begun since the last stamp
  int32_t channelSamples_ = 0;
  int32_t length_ = -kProfileSpareSamples;
  int32_t reach_ = 0;
};

}  // namespace gw
