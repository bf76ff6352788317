// Physical keys (USB HID usage numbers, which SDL scancodes are) to the raw
// key codes and qualifier bits the keyboard code expects. By position, not by
// symbol, so every layout puts the keys in the same place.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// The raw code of a key's press, or -1 for keys the program does not know.
int32_t raw_key_for_scancode(int32_t scancode);
// The qualifier bit a key holds down, or 0.
int32_t qualifier_for_scancode(int32_t scancode);

// One key event into the input state. Auto-repeats must not be passed: a
// held key already stays in raw_key.
void input_key_event(PlatformInput& input, int32_t scancode, bool pressed);
// One mouse-button event (1 = left, 3 = right, as SDL numbers them).
void input_button_event(PlatformInput& input, int32_t button, bool pressed);
// The mouse wheel turned by `notches` (away from the user > 0).
void input_wheel_event(PlatformInput& input, int32_t notches);
// Text typed by the last key press, as UTF-8.
void input_text_event(PlatformInput& input, const char* utf8);
// The window lost the keyboard: releases will not arrive, so forget what
// was held.
void input_focus_lost(PlatformInput& input);
