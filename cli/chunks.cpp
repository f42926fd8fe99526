#include "cli/chunks.h"

#include <charconv>

#include "cli/errors.h"

namespace gw {
namespace {

int FrameCount(FrameRange range) { return range.last - range.first + 1; }

// The frames of chunk `index` (1-based) of `count` when there are `frames`.
FrameRange Slice(int first, int frames, int index, int count) {
  const int size = frames / count;
  const int start = first + (index - 1) * size;
  return {start, index == count ? first + frames - 1 : start + size - 1};
}

}  // namespace

Chunk ParseChunk(const std::string& option, const std::string& text) {
  const size_t slash = text.find('/');
  Chunk chunk;
  const auto whole = [](std::string_view part, int& value) {
    const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
    return !part.empty() && error == std::errc() && end == part.data() + part.size();
  };
  if (slash == std::string::npos || !whole(std::string_view(text).substr(0, slash), chunk.index) ||
      !whole(std::string_view(text).substr(slash + 1), chunk.count)) {
    throw CommandError(option + ": '" + text + "' is not K/N (chunk K of N, from 1)");
  }
  if (chunk.count < 1 || chunk.index < 1 || chunk.index > chunk.count) {
    throw CommandError(option + ": chunk " + std::to_string(chunk.index) + " lies outside 1.." +
                       std::to_string(chunk.count));
  }
  return chunk;
}

FrameRange ChunkFrames(const std::string& option, FrameRange sequence, Chunk chunk) {
  const int frames = FrameCount(sequence);
  if (chunk.count > frames) {
    throw CommandError(option + ": " + std::to_string(frames) + " frame" +
                       (frames == 1 ? "" : "s") + " cannot be cut into " +
                       std::to_string(chunk.count) + " chunks");
  }
  return Slice(sequence.first, frames, chunk.index, chunk.count);
}

int ChunksOfAtMost(int frames, int most) {
  int count = frames / most + (frames % most != 0 ? 1 : 0);
  // The last chunk takes the remainder: more chunks until it fits too.
  while (FrameCount(Slice(0, frames, count, count)) > most) ++count;
  return count;
}

std::string FrameRuns(const std::vector<int>& frames) {
  std::string text;
  for (size_t i = 0; i < frames.size();) {
    size_t j = i;
    while (j + 1 < frames.size() && frames[j + 1] == frames[j] + 1) ++j;
    if (!text.empty()) text += ", ";
    text += std::to_string(frames[i]);
    if (j > i) {
      text += '-';
      text += std::to_string(frames[j]);
    }
    i = j + 1;
  }
  return text;
}

}  // namespace gw
