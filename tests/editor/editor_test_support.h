// An editor opened over a lens with a scripted front-end, and small lenses.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "editor/lens_editor.h"
#include "lens/element_types.h"
#include "tests/support/scripted_front_end.h"

namespace gw::testing {

inline Lens ZeroLens() {
  Lens lens;
  std::memset(&lens, 0, sizeof lens);
  return lens;
}

// `count` elements of the given types in turn, each named "e<index>".
inline Lens LensOfTypes(std::vector<ElementType> types, uint32_t count) {
  Lens lens = ZeroLens();
  for (uint32_t i = 0; i < count; ++i) {
    InitElement(static_cast<int16_t>(types[i % types.size()]), lens.elements[i]);
    SetElementName(lens.elements[i], std::string("e") + std::to_string(i));
  }
  lens.count = count;
  return lens;
}

inline std::vector<std::string> Names(const Lens& lens) {
  std::vector<std::string> names;
  for (uint32_t i = 0; i < UsableCount(lens); ++i) names.emplace_back(ElementName(lens.elements[i]));
  return names;
}

class EditorTest : public ::testing::Test {
 protected:
  void Open(const Lens& lens) {
    editor = std::make_unique<LensEditor>(lens, frontEnd, nullptr);
    ASSERT_EQ(editor->Open(), 0);
  }
  const Lens& lens() const { return editor->lens(); }
  ElemList& list() { return editor->list(); }
  ElementPanel& panel() { return editor->panel(); }
  PreviewPanel& preview() { return editor->preview(); }

  ScriptedFrontEnd frontEnd;
  std::unique_ptr<LensEditor> editor;
};

}  // namespace gw::testing
