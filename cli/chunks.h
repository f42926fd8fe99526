// A sequence cut into contiguous chunks that any farm manager can run, one
// command per chunk: chunk K of N renders its frames exactly as a whole run
// would, so the chunks together write the files of a whole run.
#pragma once

#include <string>
#include <vector>

#include "cli/sequence_pattern.h"

namespace gw {

// Chunk `index` (1-based) of `count`.
struct Chunk {
  int index = 1;
  int count = 1;
};

// "K/N" with 1 <= K <= N; throws CommandError naming `option` otherwise.
Chunk ParseChunk(const std::string& option, const std::string& text);

// The frames of a chunk: every chunk holds frames / count frames and the last
// takes the remainder. Throws CommandError naming `option` when the sequence
// has fewer frames than chunks.
FrameRange ChunkFrames(const std::string& option, FrameRange sequence, Chunk chunk);

// The fewest chunks none of which holds more than `most` frames.
int ChunksOfAtMost(int frames, int most);

// Frames as a short list of runs: "1-4, 7, 9-12".
std::string FrameRuns(const std::vector<int>& sortedFrames);

}  // namespace gw
