// Lens files (.gwr): a lens outside the host project, big-endian throughout.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "lens/lens.h"
#include "lensfile/safe_write.h"

namespace gw {

inline constexpr uint16_t kLensFileSignature = 18263;  // "GW"
inline constexpr int kLensFileHeaderSize = 8;
inline constexpr int kLensFileRecordSize = 114;

// Statuses: 0 or negative.
inline constexpr int32_t kLensFileOk = 0;
inline constexpr int32_t kLensFileCannotOpen = -9;       // cannot be opened, or may not be written
inline constexpr int32_t kLensFileWrongVersion = -10;    // a lens file of another version
inline constexpr int32_t kLensFileNotALensFile = -11;    // wrong signature
inline constexpr int32_t kLensFileTooManyElements = -12; // would take the lens past 100
inline constexpr int32_t kLensFileTruncated = -13;       // records cut short
inline constexpr int32_t kLensFileWriteFailed = -14;     // not every byte reached the disk

// Writes the lens (its first 100 elements at most) by WriteFileSafely: whole
// or not at all, a read-only target refused with -9 unless the options say
// to replace it.
int32_t SaveLensFile(const char* path, const Lens& lens, const SafeWriteOptions& options = {});

// Reads a file into the lens, replacing its elements or appending to them.
// On any failure the lens is left exactly as it was.
int32_t LoadLensFile(const char* path, Lens& lens, bool append);

// An empty lens whose slots hold the defaults of what a file does not
// carry (the fourth colour bytes, 255), to load a file into.
Lens LensForLoading();

// The same two in memory.
std::vector<uint8_t> EncodeLensFile(const Lens& lens);
int32_t DecodeLensFile(std::span<const uint8_t> bytes, Lens& lens, bool append);

// One line saying what a status means.
const char* LensFileStatusMessage(int32_t status);

}  // namespace gw
