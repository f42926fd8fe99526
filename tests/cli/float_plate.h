// Float plates made in the tests, to be written in any format the program
// reads.
#pragma once

#include <cstddef>

#include "cli/image_io.h"

namespace gw {

// A width x height plate of `channels` channels named R, G, B, A, Z in turn
// (the fourth is the alpha), each sample `value(x, y, c)`.
template <typename Value>
Plate FloatPlate(int width, int height, int channels, SampleType type, Value value) {
  Plate plate;
  plate.width = width;
  plate.height = height;
  plate.channels = channels;
  plate.type = type;
  const char* names[] = {"R", "G", "B", "A", "Z"};
  for (int c = 0; c < channels; ++c) plate.channelNames.push_back(names[c]);
  plate.alphaChannel = channels >= 4 ? 3 : -1;
  plate.samples.resize(static_cast<size_t>(width) * height * channels);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      for (int c = 0; c < channels; ++c) plate.at(x, y, c) = value(x, y, c);
    }
  }
  return plate;
}

}  // namespace gw
