// Layout arithmetic: the display and the key grid for ordinary, tiny and zero client areas.
#include <gtest/gtest.h>

#include "ui/layout.h"

namespace {

struct KeySizeCase {
  int client;
  int expected;
};

// Widths: 66 pixels go to margins and gaps, the rest splits into 8 columns.
const KeySizeCase width_cases[] = {
    {800, 91}, {820, 94}, {74, 1}, {73, 0}, {66, 0}, {59, 0}, {58, -1},
    {50, -2},  {10, -7},  {1, -8}, {0, -8}, {65535, 8183},
};

// Heights: 144 pixels go to the top, gaps and bottom margin, the rest splits into 6 rows.
const KeySizeCase height_cases[] = {
    {540, 66}, {150, 1}, {149, 0}, {144, 0}, {139, 0}, {138, -1},
    {100, -7}, {1, -23}, {0, -24}, {65535, 10898},
};

TEST(LayoutTest, KeyWidthTruncatesTowardZero) {
  for (const KeySizeCase& c : width_cases) EXPECT_EQ(key_width(c.client), c.expected) << c.client;
}

TEST(LayoutTest, KeyHeightTruncatesTowardZero) {
  for (const KeySizeCase& c : height_cases) EXPECT_EQ(key_height(c.client), c.expected) << c.client;
}

struct DisplayCase {
  int client_width;
  ControlRect expected;
};

const DisplayCase display_cases[] = {
    {800, {12, 5, 776, 80}},
    {24, {12, 5, 0, 80}},
    {10, {12, 5, -14, 80}},
    {0, {12, 5, -24, 80}},
};

TEST(LayoutTest, DisplaySpansTheWidthLessMargins) {
  for (const DisplayCase& c : display_cases) {
    const ControlRect r = display_rect(c.client_width);
    EXPECT_TRUE(r == c.expected) << c.client_width << ": " << r.x << "," << r.y << " "
                                 << r.width << "x" << r.height;
  }
}

struct KeyRectCase {
  int row;
  int column;
  int client_width;
  int client_height;
  ControlRect expected;
};

const KeyRectCase key_rect_cases[] = {
    // 800 by 540: keys of 91 by 66, the keypad ends at x 782 and y 528.
    {0, 0, 800, 540, {12, 102, 91, 66}},
    {0, 7, 800, 540, {691, 102, 91, 66}},
    {5, 0, 800, 540, {12, 462, 91, 66}},
    {5, 7, 800, 540, {691, 462, 91, 66}},
    {2, 3, 800, 540, {303, 246, 91, 66}},
    // Key sizes of zero: every key still steps by the gap.
    {5, 7, 73, 149, {54, 132, 0, 0}},
    {1, 1, 59, 139, {18, 108, 0, 0}},
    // One pixel more gives keys of 1 by 1.
    {5, 7, 74, 150, {61, 137, 1, 1}},
    // Negative sizes: the steps shrink below the gap.
    {5, 7, 58, 138, {47, 127, -1, -1}},
    // Minimised: 0 by 0 gives keys of -8 by -24.
    {0, 0, 0, 0, {12, 102, -8, -24}},
    {5, 7, 0, 0, {-2, 12, -8, -24}},
};

TEST(LayoutTest, KeyRectsFollowRowAndColumn) {
  for (const KeyRectCase& c : key_rect_cases) {
    const ControlRect r = key_rect(c.row, c.column, c.client_width, c.client_height);
    EXPECT_TRUE(r == c.expected) << "row " << c.row << " column " << c.column << " in "
                                 << c.client_width << "x" << c.client_height << ": " << r.x
                                 << "," << r.y << " " << r.width << "x" << r.height;
  }
}

TEST(LayoutTest, LeftoverPixelsStayAtTheRightAndBottom) {
  // 800 by 540: the keypad ends at x 782 and y 528, leaving 18 and 12 pixels.
  const ControlRect last = key_rect(5, 7, 800, 540);
  EXPECT_EQ(last.x + last.width, 782);
  EXPECT_EQ(last.y + last.height, 528);
  // One more pixel across and five down change nothing: the spare grows instead.
  EXPECT_TRUE(key_rect(5, 7, 801, 545) == last);
  EXPECT_TRUE(key_rect(0, 0, 801, 545) == key_rect(0, 0, 800, 540));
}

} // namespace
