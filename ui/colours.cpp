// The key colour table and its lookup by style and control id.
#include "ui/colours.h"

#include <climits>

namespace {

struct ColourRule {
  bool any_style; // true: the row matches whatever the style (the catch-all row)
  KeyStyle style;
  int first_id;   // inclusive id range the row applies to
  int last_id;
  KeyColours colours;
};

// First match wins, so the order matters: a row for some ids of a style comes
// before the row for the rest of that style, and the catch-all row comes last. A key
// no row matches has other_key_colours.
const ColourRule colour_rules[] = {
    {false, KeyStyle::equals, INT_MIN, INT_MAX,
     {{220, 50, 50}, {190, 40, 40}, {180, 30, 30}, {255, 255, 255}}},
    {false, KeyStyle::arithmetic, INT_MIN, INT_MAX,
     {{253, 235, 235}, {240, 200, 200}, {230, 160, 160}, {220, 50, 50}}},
    {false, KeyStyle::memory_op, 1047, 1047, // "mr" is the one that reads memory back
     {{252, 245, 245}, {245, 220, 220}, {225, 180, 180}, {220, 50, 50}}},
    {false, KeyStyle::memory_op, INT_MIN, INT_MAX,
     {{252, 245, 245}, {245, 220, 220}, {225, 180, 180}, {160, 160, 160}}},
    {true, KeyStyle::plain, 1017, 1019, // "AC", backspace and sign
     {{247, 247, 247}, {225, 225, 225}, {200, 200, 200}, {220, 50, 50}}},
};

const KeyColours other_key_colours = {{247, 247, 247}, {220, 220, 220}, {205, 205, 205}, {50, 50, 50}};

} // namespace

const Rgb display_text_colour = {20, 20, 20};
const Rgb display_background_colour = {255, 255, 255};

KeyColours key_colours_for(KeyStyle style, int id) {
  for (const ColourRule& rule : colour_rules) {
    if ((rule.any_style || rule.style == style) && id >= rule.first_id && id <= rule.last_id)
      return rule.colours;
  }
  return other_key_colours;
}

KeyColours key_colours(int id) {
  const KeyDef* key = find_key(id);
  return key_colours_for(key ? key->style : KeyStyle::plain, id);
}

Rgb key_fill(const KeyColours& colours, bool pressed) {
  return pressed ? colours.fill_pressed : colours.fill_normal;
}
