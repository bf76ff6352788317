#include "shell/number_field.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "edit/key_tables.h"
#include "engine/editing.h"
#include "engine/history.h"
#include "render/draw.h"
#include "render/hit_test.h"
#include "shell/editor_state.h"
#include "shell/screens.h"

namespace {

constexpr uint32_t kDigitColour = 0x000000;
constexpr int32_t kSigned = 0;  // a sign place and a decimal digit
constexpr int32_t kCursorBelowText = 5;

// Where each typed field's digits sit (the places that can change), the
// base they are shown in and its arrows.
struct FieldPlace {
  MainAction field;
  int32_t x;
  int32_t y;
  int32_t places;  // four hexadecimal places hold the longest sample, 0xfffe
  int32_t base;
  MainAction up;
  MainAction down;
};

constexpr FieldPlace kFields[] = {
    {MainAction::kPositionField, 72, 3, 3, 10, MainAction::kPositionUp, MainAction::kPositionDown},
    {MainAction::kPatternField, 80, 14, 2, 10, MainAction::kPatternUp, MainAction::kPatternDown},
    {MainAction::kLengthField, 72, 25, 3, 10, MainAction::kLengthUp, MainAction::kLengthDown},
    {MainAction::kFinetuneField, 80, 36, 2, kSigned, MainAction::kFinetuneUp,
     MainAction::kFinetuneDown},
    {MainAction::kSampleField, 80, 47, 2, 16, MainAction::kSampleUp, MainAction::kSampleDown},
    {MainAction::kVolumeField, 80, 58, 2, 16, MainAction::kVolumeUp, MainAction::kVolumeDown},
    {MainAction::kSampleLengthField, 64, 69, 4, 16, MainAction::kSampleLengthUp,
     MainAction::kSampleLengthDown},
    {MainAction::kLoopStartField, 64, 80, 4, 16, MainAction::kLoopStartUp,
     MainAction::kLoopStartDown},
    {MainAction::kLoopLengthField, 64, 91, 4, 16, MainAction::kLoopLengthUp,
     MainAction::kLoopLengthDown},
};

const FieldPlace* find_field(MainAction action) {
  for (const FieldPlace& place : kFields)
    if (place.field == action || place.up == action || place.down == action) return &place;
  return nullptr;
}

bool sample_field(MainAction field) {
  return field == MainAction::kFinetuneField || field == MainAction::kVolumeField ||
         field == MainAction::kSampleLengthField || field == MainAction::kLoopStartField ||
         field == MainAction::kLoopLengthField;
}

bool loop_field(MainAction field) {
  return field == MainAction::kLoopStartField || field == MainAction::kLoopLengthField;
}

// The value the field shows now.
int32_t shown_value(const EditorState& state, MainAction field) {
  const Player& player = *state.player;
  const Sample& sample = player.samples[std::clamp(state.selection.current_sample, 0, 31)];
  const ReplayView replay = replay_view(player);
  switch (field) {
    case MainAction::kPositionField:
      return replay.song_position;
    case MainAction::kPatternField:
      return player.order[std::clamp(replay.song_position, 0, kPositions - 1)];
    case MainAction::kLengthField:
      return player.song_length;
    case MainAction::kFinetuneField: {
      const int32_t finetune = sample.finetune & 15;
      return finetune > 7 ? finetune - 16 : finetune;
    }
    case MainAction::kSampleField:
      return state.selection.current_sample;
    case MainAction::kVolumeField:
      return sample.volume;
    case MainAction::kSampleLengthField:
      return sample_bytes(sample);
    case MainAction::kLoopStartField:
      return sample.loop_start >> 14;
    default:
      return sample.loop_length >> 14;
  }
}

void write_digits(NumberFieldState& field, int32_t base, int32_t value) {
  if (base == kSigned) {
    const int32_t size = std::clamp(value, -8, 7);
    field.digits[0] = size < 0 ? '-' : '+';
    field.digits[1] = static_cast<char>('0' + (size < 0 ? -size : size));
    field.digits[2] = 0;
    return;
  }
  char text[16];
  std::snprintf(text, sizeof text, base == 10 ? "%0*d" : "%0*x", field.places, value);
  // A wider value (an order entry past 99 read from a file) shows its low
  // places only; what is typed is kept to the field's range anyway.
  const int32_t length = static_cast<int32_t>(std::strlen(text));
  std::snprintf(field.digits, sizeof field.digits, "%s", text + (length - field.places));
}

int32_t digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

int32_t typed_value(const NumberFieldState& field, int32_t base) {
  if (base == kSigned) {
    const int32_t digit = std::max(digit_value(field.digits[1]), 0);
    return field.digits[0] == '-' ? -digit : digit;
  }
  int32_t value = 0;
  for (int32_t i = 0; i < field.places; ++i) value = value * base + digit_value(field.digits[i]);
  return value;
}

// The sample cut at or extended with silence to `bytes` (even), its loop
// kept where it still fits.
void resize_sample(EditorState* state, int32_t number, const Sample& sample, int32_t bytes) {
  const int32_t length = std::clamp(bytes, 0, kMaxSampleBytes) & ~1;
  const int32_t old_length = sample_bytes(sample);
  if (length == old_length) return;
  int8_t* data = nullptr;
  if (length > 0) {
    data = static_cast<int8_t*>(std::calloc(static_cast<size_t>(length), 1));
    if (!data) return;
    if (old_length > 0)
      std::memcpy(data, sample.data, static_cast<size_t>(std::min(length, old_length)));
  }
  {
    const HistoryGroup group(*state->player, StepKind::kSampleLength);
    std::free(replace_sample_data(*state->player, number, data, length, sample.loop_start >> 14,
                                  sample.loop_length >> 14));
  }
  sample_changed(*state);
}

// The typed value, kept to the range of the field's arrows, goes into the
// module through the editing layer: one step of the history.
void accept(EditorState* state, const FieldPlace& place) {
  Player& player = *state->player;
  const int32_t number = state->selection.current_sample;
  const int32_t value = typed_value(state->number_field, place.base);
  const Sample* sample = editable_sample(player, number);
  switch (place.field) {
    case MainAction::kPositionField:
      set_song_position(player, std::clamp(value, 0, kPositions - 1));
      return;
    case MainAction::kPatternField:
      step_order_entry(player, std::clamp(value, 0, kHighestOrderEntry) -
                                   shown_value(*state, MainAction::kPatternField));
      return;
    case MainAction::kLengthField:
      set_song_length(player, std::clamp(value, 1, kPositions));
      return;
    case MainAction::kSampleField:
      state->selection.current_sample = std::clamp(value, 1, kSampleCount - 1);
      sample_changed(*state);
      return;
    default:
      break;
  }
  if (!sample) return;
  const int32_t size = sample_bytes(*sample);
  const int32_t start = sample->loop_start >> 14;
  const int32_t length = sample->loop_length >> 14;
  switch (place.field) {
    case MainAction::kFinetuneField:
      set_sample_finetune(player, number, std::clamp(value, -8, 7) & 15);
      return;
    case MainAction::kVolumeField:
      set_sample_volume(player, number, std::clamp(value, 0, 64));
      return;
    case MainAction::kSampleLengthField:
      resize_sample(state, number, *sample, value);
      return;
    case MainAction::kLoopStartField:
      set_sample_loop(player, number, std::clamp(value, 0, std::max(size - length, 0)), length);
      return;
    default:
      set_sample_loop(player, number, start, std::clamp(value, kNoLoopBytes, size - start));
      return;
  }
}

void close_field(EditorState* state) {
  state->number_field.field = MainAction::kNone;
  state->status.dialog = state->status.saved_dialog;
  state->status.pointer_colour = state->status.normal_pointer_colour;
}

// A character typed at the cursor: digits of the field's base, and a sign
// in the finetune field's first place.
void type_char(NumberFieldState& field, int32_t base, char c) {
  char* place = field.digits + field.cursor;
  if (base == kSigned) {
    if (field.cursor == 0 && (c == '+' || c == '-')) {
      *place = c;
      field.cursor = 1;
      return;
    }
    const int32_t digit = digit_value(c);
    if (digit < 0 || digit > 9) return;
    if (field.cursor == 0) field.digits[0] = '+';
    field.digits[1] = c;
    field.cursor = 1;
    return;
  }
  const int32_t digit = digit_value(c);
  if (digit < 0 || digit >= base) return;
  *place = c >= 'A' && c <= 'F' ? static_cast<char>(c - 'A' + 'a') : c;
  field.cursor = std::min(field.cursor + 1, field.places - 1);
}

char key_char(const EditorState& state) {
  const int32_t c = state.input.text_char;
  if (c > 32 && c < 127) return static_cast<char>(c);
  const KeyRecord* table = (state.input.modifiers & kModifierShift) ? kShiftedChars : kPlainChars;
  const KeyRecord* record = find_key_record(table, state.input.key_code);
  return record->edits_text ? 0 : record->text[0];
}

// Once per press: the key stays taken until it is let go, so that it does
// not act again on the main screen when the field closes.
void take_key(EditorState* state, const FieldPlace& place) {
  NumberFieldState& field = state->number_field;
  if (state->input.key_code == 0 || state->keys.key_consumed) return;
  state->keys.key_consumed = 1;
  state->keys.note_key_latch = 1;
  switch (key_index_of_code(state->input.key_code)) {
    case kKeyReturn:
      accept(state, place);
      close_field(state);
      return;
    case kKeyEsc:
      close_field(state);
      return;
    case kKeyLeft:
    case kKeyBackspace:
      field.cursor = std::max(field.cursor - 1, 0);
      return;
    case kKeyRight:
      field.cursor = std::min(field.cursor + 1, field.places - 1);
      return;
    default:
      if (const char c = key_char(*state)) type_char(field, place.base, c);
      return;
  }
}

uint32_t field_background(const EditorState& state, int32_t x, int32_t y) {
  const Image* main = state.images.main;
  if (!main || x < 0 || y < 0 || x >= main->width || y >= main->height) return 0xFFFFFF;
  const uint8_t* p = main->pixels.data() + (static_cast<size_t>(y) * main->width + x) * 3;
  return static_cast<uint32_t>(p[0]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[2];
}

void draw_field(EditorState* state, const FieldPlace& place) {
  const NumberFieldState& field = state->number_field;
  const uint32_t background = field_background(*state, place.x, place.y - 1);
  for (int32_t y = place.y; y < place.y + 8; ++y)
    for (int32_t x = place.x; x < place.x + 8 * field.places; ++x)
      put_pixel(state->canvas, x, y, background);
  draw_text(state->canvas, place.x, place.y, 0, kDigitColour, "%.*s", field.places, field.digits);
  if (state->images.textcursor)
    blit_image(state->canvas, place.x + 8 * field.cursor, place.y + kCursorBelowText,
               state->images.textcursor);
}

const ButtonRect* field_rect(MainAction field) {
  for (const Button<MainAction>& button : kMainButtons)
    if (button.action == field) return &button.rect;
  return nullptr;
}

}  // namespace

bool begin_number_field(EditorState* state, MainAction button) {
  const FieldPlace* place = find_field(button);
  if (!place || place->field != button) return false;
  const Sample* sample = editable_sample(*state->player, state->selection.current_sample);
  if (sample_field(button) && !sample) return false;
  if (loop_field(button) && sample_bytes(*sample) < kNoLoopBytes) return false;
  NumberFieldState& field = state->number_field;
  field.field = button;
  field.places = place->places;
  field.cursor = 0;
  write_digits(field, place->base, shown_value(*state, button));
  state->status.saved_dialog = state->status.dialog;
  state->status.dialog = kDialogNumberField;
  return true;
}

void edit_number_field(EditorState* state) {
  if (state->status.dialog != kDialogNumberField) return;
  const FieldPlace* place = find_field(state->number_field.field);
  if (!place) {
    close_field(state);
    return;
  }
  state->status.pointer_colour = kPointerMagenta;
  // A click elsewhere accepts, and goes on to whatever it was on.
  const ButtonRect* rect = field_rect(place->field);
  if (state->input.left_held == 1 && rect &&
      !rect_contains(*rect, state->input.mouse_x, state->input.mouse_y)) {
    accept(state, *place);
    close_field(state);
    return;
  }
  // A click on a digit puts the text cursor there.
  if (state->input.left_held == 1 && state->input.mouse_x >= place->x)
    state->number_field.cursor =
        std::min((state->input.mouse_x - place->x) / 8, state->number_field.places - 1);
  take_key(state, *place);
  if (state->status.dialog == kDialogNumberField) draw_field(state, *place);
}

MainAction wheel_arrow(MainAction under_pointer, int32_t wheel) {
  const FieldPlace* place = find_field(under_pointer);
  if (!place || wheel == 0) return MainAction::kNone;
  return wheel > 0 ? place->up : place->down;
}
