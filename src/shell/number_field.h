// The main screen's number fields typed in place: a click opens one in the
// base it is shown in, digits replace it from the left, Return or a click
// elsewhere accepts it and Escape cancels. The wheel steps a field's value.
#pragma once

#include <cstdint>

#include "layout/main_layout.h"

struct EditorState;

struct NumberFieldState {
  MainAction field;  // kNone while no field is open
  char digits[8];    // the places shown, typed over from the left
  int32_t places;
  int32_t cursor;
};

// Opens the field of `button` for typing; false when it is not a typed
// field or the current sample has no fields to type into.
bool begin_number_field(EditorState* state, MainAction button);
// The open field's turn in a frame (dialog kDialogNumberField): keys, the
// click that ends it, and its digits and text cursor drawn over the value.
void edit_number_field(EditorState* state);
// What a field or arrow under the pointer does for a turn of the wheel:
// its arrow's action, up for a turn away from the user; kNone elsewhere.
MainAction wheel_arrow(MainAction under_pointer, int32_t wheel);
