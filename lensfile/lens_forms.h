// A lens in either of its file forms, the lens file (.gwr) and the JSON form,
// for callers that take whichever the user gives them.
#pragma once

#include <string>

#include "lens/lens.h"
#include "lensfile/safe_write.h"

namespace gw {

// Why a file that should be read cannot be, in a few words ("no such file",
// "is a folder, not a file", "cannot be read: <why>"); "" when it can be.
// `openError`, the errno of an open or read that failed all the same, is
// the reason when nothing else is found.
std::string UnreadableReason(const std::string& path, int openError = 0);

// A name ending in ".json" (in any case) asks for the JSON form.
bool NamesJsonForm(const std::string& path);

// Reads a lens file or the JSON form of a lens, told apart by what the file
// holds. On failure returns false with the reason (the file's own problem,
// as `glarewright lens show` and `lens import` word it) and leaves the lens
// as it was. A lens file is read into LensForLoading().
bool ReadLensEitherForm(const std::string& path, Lens& lens, std::string& error);

// Whether `path` names a file that reads as a lens in either form.
bool HoldsALens(const std::string& path);

// Writes the lens in the form its name asks for, whole or not at all
// (WriteBytesSafely: a read-only file is refused unless the options say to
// replace it). Either form keeps every element switched on, so that the file
// reads back.
SafeWriteResult WriteLensEitherForm(const std::string& path, const Lens& lens,
                                    const SafeWriteOptions& options = {});

}  // namespace gw
