// Key colours by style and id, for every key of the table and for ids without a key.
#include <gtest/gtest.h>

#include "ui/colours.h"
#include "ui/key_table.h"

namespace {

const KeyColours equals_colours = {{220, 50, 50}, {190, 40, 40}, {180, 30, 30}, {255, 255, 255}};
const KeyColours arithmetic_colours = {
    {253, 235, 235}, {240, 200, 200}, {230, 160, 160}, {220, 50, 50}};
const KeyColours recall_colours = {
    {252, 245, 245}, {245, 220, 220}, {225, 180, 180}, {220, 50, 50}};
const KeyColours memory_colours = {
    {252, 245, 245}, {245, 220, 220}, {225, 180, 180}, {160, 160, 160}};
const KeyColours editing_colours = {
    {247, 247, 247}, {225, 225, 225}, {200, 200, 200}, {220, 50, 50}};
const KeyColours plain_colours = {{247, 247, 247}, {220, 220, 220}, {205, 205, 205}, {50, 50, 50}};

bool same(const KeyColours& a, const KeyColours& b) {
  return a.fill_normal == b.fill_normal && a.fill_pressed == b.fill_pressed &&
         a.border == b.border && a.caption == b.caption;
}

struct IdCase {
  int id;
  const KeyColours* expected;
};

// Every key by id, grouped by colour class.
const IdCase id_cases[] = {
    {1016, &equals_colours},
    {1012, &arithmetic_colours}, {1013, &arithmetic_colours},
    {1014, &arithmetic_colours}, {1015, &arithmetic_colours},
    {1047, &recall_colours},
    {1044, &memory_colours}, {1045, &memory_colours}, {1046, &memory_colours},
    {1017, &editing_colours}, {1018, &editing_colours}, {1019, &editing_colours},
    {1001, &plain_colours}, {1002, &plain_colours}, {1003, &plain_colours},
    {1004, &plain_colours}, {1005, &plain_colours}, {1006, &plain_colours},
    {1007, &plain_colours}, {1008, &plain_colours}, {1009, &plain_colours},
    {1010, &plain_colours}, {1011, &plain_colours}, {1020, &plain_colours},
    {1021, &plain_colours}, {1022, &plain_colours}, {1023, &plain_colours},
    {1024, &plain_colours}, {1025, &plain_colours}, {1026, &plain_colours},
    {1027, &plain_colours}, {1028, &plain_colours}, {1029, &plain_colours},
    {1030, &plain_colours}, {1031, &plain_colours}, {1032, &plain_colours},
    {1033, &plain_colours}, {1034, &plain_colours}, {1035, &plain_colours},
    {1036, &plain_colours}, {1037, &plain_colours}, {1038, &plain_colours},
    {1039, &plain_colours}, {1040, &plain_colours}, {1041, &plain_colours},
    {1042, &plain_colours}, {1043, &plain_colours}, {1048, &plain_colours},
    // Ids without a key: the display, neighbours of the range, nonsense.
    {1000, &plain_colours}, {1049, &plain_colours}, {0, &plain_colours}, {-1, &plain_colours},
};

TEST(ColoursTest, EveryKeyGetsTheColoursOfItsClass) {
  for (const IdCase& c : id_cases) EXPECT_TRUE(same(key_colours(c.id), *c.expected)) << c.id;
}

TEST(ColoursTest, TheIdCasesCoverTheWholeTable) {
  for (const KeyDef& key : key_table) {
    bool listed = false;
    for (const IdCase& c : id_cases) listed = listed || c.id == key.id;
    EXPECT_TRUE(listed) << key.id;
  }
}

struct StyleCase {
  KeyStyle style;
  int id;
  const KeyColours* expected;
};

// The style decides first; ids only split memory_op and the catch-all rows.
const StyleCase style_cases[] = {
    {KeyStyle::equals, 1017, &equals_colours},
    {KeyStyle::equals, 1047, &equals_colours},
    {KeyStyle::arithmetic, 1018, &arithmetic_colours},
    {KeyStyle::memory_op, 1047, &recall_colours},
    {KeyStyle::memory_op, 1019, &memory_colours},
    {KeyStyle::memory_op, 1048, &memory_colours},
    {KeyStyle::plain, 1047, &plain_colours},
    {KeyStyle::plain, 1016, &plain_colours},
    {KeyStyle::plain, 1017, &editing_colours},
    {KeyStyle::plain, 1019, &editing_colours},
    {KeyStyle::plain, 1020, &plain_colours},
    {static_cast<KeyStyle>(7), 1018, &editing_colours},
    {static_cast<KeyStyle>(7), 1016, &plain_colours},
};

TEST(ColoursTest, StyleAndIdTogetherPickTheRow) {
  for (const StyleCase& c : style_cases)
    EXPECT_TRUE(same(key_colours_for(c.style, c.id), *c.expected))
        << static_cast<int>(c.style) << " " << c.id;
}

TEST(ColoursTest, PressedKeysUseThePressedFill) {
  for (const KeyColours* colours : {&equals_colours, &arithmetic_colours, &recall_colours,
                                    &memory_colours, &editing_colours, &plain_colours}) {
    EXPECT_TRUE(key_fill(*colours, true) == colours->fill_pressed);
    EXPECT_TRUE(key_fill(*colours, false) == colours->fill_normal);
  }
  // The editing keys press lighter than the other plain keys.
  EXPECT_TRUE(key_fill(key_colours(1017), true) == (Rgb{225, 225, 225}));
  EXPECT_TRUE(key_fill(key_colours(1020), true) == (Rgb{220, 220, 220}));
  EXPECT_TRUE(key_fill(key_colours(1016), true) == (Rgb{190, 40, 40}));
  EXPECT_TRUE(key_fill(key_colours(1016), false) == (Rgb{220, 50, 50}));
}

TEST(ColoursTest, DisplayIsDarkOnWhite) {
  EXPECT_TRUE(display_text_colour == (Rgb{20, 20, 20}));
  EXPECT_TRUE(display_background_colour == (Rgb{255, 255, 255}));
}

} // namespace
