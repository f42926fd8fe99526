// The parameter panel against the table of per-type panels, cell by cell:
// for each of the 19 types the label of every enabled slot and colour box
// and of every shown check box, and a dash for every other (19 x 14 = 266
// cells). Then every control a type uses is written through its command
// once and must reach exactly the bytes of its field.
#include <gtest/gtest.h>

#include <cstring>

#include "lens/control_ids.h"
#include "tests/editor/editor_test_support.h"

namespace gw::testing {
namespace {

// Control ids in the table's column order.
constexpr int kColumns[14] = {117, 108, 109, 110, 111, 112, 113, 114, 115, 116,
                              127, 128, 1007, 1039};

// Where each column's field lies in the 120-byte record, and its size.
struct FieldBytes {
  int offset;
  int size;
};
constexpr FieldBytes kFieldOf[14] = {{16, 4}, {0, 4},  {4, 4},  {12, 4}, {8, 4},
                                     {30, 2}, {34, 2}, {36, 2}, {38, 2}, {40, 2},
                                     {45, 3}, {49, 3}, {42, 1}, {43, 1}};

constexpr const char* _ = nullptr;  // a dash: disabled or hidden

struct Row {
  int16_t type;
  const char* cells[14];
};

// clang-format off
const Row kTable[] = {
  {0, {"Position: ", "Ring Brightness: ", "Ramp Scale: ", "Ring Softness: ", "Taper: ", _, _, _, _, "Ramp Gamma: ", "Outer Color: ", "Inner Color: ", "Anamorphic", "Do Ring"}},
  {1, {"Position: ", "Brightness: ", "Scale: ", _, "Angle: ", "Spike Count: ", _, "Random Seed 1: ", _, _, "Color:", _, "Anamorphic", _}},
  {2, {"Position: ", "Brightness: ", "Scale: ", "Thickness: ", "Angle: ", "Count: ", "Width: ", _, _, _, "Color: ", _, "Anamorphic", "Thick"}},
  {3, {"Position: ", "Brightness: ", "Scale: ", "Spread Width: ", "Angle: ", "Count: ", "Sides: ", "Size Random Seed: ", "Brightness Random Seed: ", "Color Random Seed: ", "Color: ", _, "Anamorphic", _}},
  {4, {"Position: ", "Brightness: ", "Scale: ", "Spread Width: ", _, "Count: ", _, "Size Random Seed: ", "Brightness Random Seed: ", "Color Random Seed: ", "Color: ", _, "Anamorphic", _}},
  {5, {"Position: ", "Brightness: ", "Scale: ", _, _, _, _, _, _, _, "Color: ", _, "Anamorphic", _}},
  {6, {"Position: ", "Brightness: ", "Scale: ", _, _, _, _, _, _, _, "Color: ", _, "Anamorphic", _}},
  {9, {"Position: ", "Brightness: ", "Scale: ", _, _, _, _, _, _, _, _, _, "Anamorphic", _}},
  {10, {"Position: ", "Brightness: ", "Length: ", "Softness: ", "Angle: ", _, _, _, _, _, "Outer Color: ", "Center Color: ", _, "Center"}},
  {11, {"Position: ", "Brightness: ", "Scale: ", _, "Angle: ", "Count: ", _, "Random Seed 1: ", _, _, "Color: ", _, _, _}},
  {12, {"Position: ", "Brightness: ", "Scale: ", _, "Angle: ", "Count: ", _, "Random Seed 1: ", "Random Seed 2: ", _, "Color: ", _, "Anamorphic", _}},
  {13, {"Position: ", "Brightness: ", "Scale: ", _, _, "Count: ", _, "Random Seed 1: ", _, _, "Color: ", _, _, _}},
  {14, {_, "Brightness: ", "Scale: ", "Spread: ", _, "Width: ", "Noise: ", "Size: ", "Aperture Offset: ", _, "Outer Color: ", "Inner Color: ", _, "Do Core"}},
  {15, {"Position: ", "Brightness: ", "Apogee Scale: ", "Softness: ", "Chroma Spread: ", "Density: ", "Noise: ", "Arc Completeness: ", _, _, "Color: ", _, "Anamorphic", _}},
  {16, {"Position: ", "Brightness: ", "Scale: ", "Softness: ", "Angle: ", "Center Fade Rate: ", "Sides: ", _, _, _, "Color: ", _, "Anamorphic", "Center Fade"}},
  {17, {"Position: ", "Brightness: ", "Scale: ", "Softness: ", "Angle: ", "Center Offset: ", _, "Inside Ramp Width: ", "Middle Ramp Width: ", "Outside Ramp Width: ", "Color: ", _, "Anamorphic", "Smoothing"}},
  {18, {"Position: ", "Brightness: ", "Scale: ", "Softness: ", "Taper: ", "Count: ", _, "Inside Ramp Width: ", "Middle Ramp Width: ", "Outside Ramp Width: ", "Color: ", _, "Anamorphic", "Smoothing"}},
  {19, {"Position: ", "Brightness: ", "Scale: ", _, _, "Count: ", _, "Random Seed 1: ", "Random Seed 2: ", _, "Outer Color: ", _, "Anamorphic", "One Way"}},
  {20, {"Position: ", "Brightness: ", "Scale: ", "Chroma Spread: ", "Angle: ", "Cycles: ", "Density: ", "Spread: ", "Radial Offset: ", "Noise: ", "Outer Color: ", _, "Anamorphic", "Taper"}},
};
// clang-format on

// A value each slider slot can take inside its range, unlike any default.
constexpr float kSliderValue[10] = {-1.25f, 3.5f, 2.75f, 33.5f, -45.5f, 77.9f, 11.2f, 1234.7f,
                                    987.1f, 1999.9f};

class PanelTableTest : public EditorTest {};

TEST_F(PanelTableTest, EveryCellOfThePerTypeTable) {
  ASSERT_EQ(std::size(kTable), 19u);
  int cells = 0;
  for (const Row& row : kTable) {
    Open(LensOfTypes({static_cast<ElementType>(row.type)}, 1));
    list().Select(0);
    for (int c = 0; c < 14; ++c, ++cells) {
      const char* label = row.cells[c];
      const int id = kColumns[c];
      SCOPED_TRACE("type " + std::to_string(row.type) + ", control " + std::to_string(id));
      if (c < 10) {
        const WinSlider& slider = *editor->SliderById(id);
        EXPECT_EQ(slider.enabled(), label != nullptr);
        if (label) {
          EXPECT_EQ(slider.label(), label);
        }
      } else if (c < 12) {
        const Colorbox& box = panel().colourBox(c - 9);
        EXPECT_EQ(box.id(), id);
        EXPECT_EQ(box.enabled(), label != nullptr);
        if (label) {
          EXPECT_EQ(box.label(), label);
        }
      } else {
        const PanelCheckBox& box = panel().checkBox(c - 11);
        EXPECT_EQ(box.id, id);
        EXPECT_EQ(box.shown, label != nullptr);
        if (label) {
          EXPECT_EQ(box.label, label);
        }
      }
    }
  }
  EXPECT_EQ(cells, 266);
}

TEST_F(PanelTableTest, EveryUsedControlWritesItsFieldAndNothingElse) {
  int writes = 0, labelled = 0;
  for (const Row& row : kTable) {
    for (const char* cell : row.cells) labelled += cell != nullptr;
  }
  for (const Row& row : kTable) {
    Open(LensOfTypes({static_cast<ElementType>(row.type)}, 2));
    list().Select(1);
    for (int c = 0; c < 14; ++c) {
      const int id = kColumns[c];
      SCOPED_TRACE("type " + std::to_string(row.type) + ", control " + std::to_string(id));
      const LensElement before = lens().elements[1];
      LensElement expected = before;
      auto* bytes = reinterpret_cast<uint8_t*>(&expected) + kFieldOf[c].offset;
      if (c < 10) {
        const float v = kSliderValue[c];
        editor->Command(id, static_cast<int32_t>(v), v);
        if (kFieldOf[c].size == 4) {
          std::memcpy(bytes, &v, 4);
        } else {
          const auto whole = static_cast<int16_t>(v);  // truncated toward zero
          std::memcpy(bytes, &whole, 2);
        }
      } else if (c < 12) {
        editor->Command(id, static_cast<int32_t>(PackColour({11, 22, 33})));
        bytes[0] = 11, bytes[1] = 22, bytes[2] = 33;
      } else {
        const bool on = bytes[0] == 0;
        editor->Command(id, on ? 1 : 0);
        bytes[0] = on ? 1 : 0;
      }
      if (!row.cells[c]) expected = before;  // an unused control edits nothing
      EXPECT_EQ(std::memcmp(&lens().elements[1], &expected, sizeof expected), 0);
      writes += row.cells[c] != nullptr;
    }
    // Element 0 was never touched.
    const Lens fresh = LensOfTypes({static_cast<ElementType>(row.type)}, 1);
    EXPECT_EQ(std::memcmp(&lens().elements[0], &fresh.elements[0], sizeof(LensElement)), 0);
  }
  EXPECT_EQ(writes, labelled);
}

}  // namespace
}  // namespace gw::testing
