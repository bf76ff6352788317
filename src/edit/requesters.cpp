#include "edit/requesters.h"

#include <algorithm>
#include <cstring>

#include "edit/key_tables.h"
#include "edit/keyboard.h"
#include "engine/editing.h"
#include "render/draw.h"
#include "render/hit_test.h"
#include "render/main_screen.h"
#include "render/message.h"
#include "sampler/sample_view.h"

namespace {

constexpr int32_t kRequesterX = 160;
constexpr int32_t kRequesterY = 51;
constexpr int32_t kTextRepeatFrames = 4;

// Entries of the main button table the requesters answer on.
constexpr int32_t kYesButton = 0;
constexpr int32_t kNoButton = 1;
constexpr int32_t kClearSongButton = 50;
constexpr int32_t kClearSamplesButton = 51;
constexpr int32_t kClearAllButton = 52;
constexpr int32_t kClearCancelButton = 53;

bool clicked(const EditorState* state, int32_t button) {
  return state->left_held != 0 &&
         rect_contains(kMainButtons[button], state->mouse_x, state->mouse_y);
}

// True when the frame's key is one of the keys given by index. A key that
// answers a requester is taken, so that neither the keyboard handler nor
// note entry acts on it while it stays held after the requester closes.
bool answered_by_key(EditorState* state, int32_t first, int32_t second) {
  const int32_t key = state->key_code;
  if (key == 0) return false;
  if (key != key_code_of_index(first) && key != key_code_of_index(second)) return false;
  state->key_consumed = 1;
  state->note_key_latch = 1;
  return true;
}

bool answered(EditorState* state, int32_t button, int32_t first_key, int32_t second_key) {
  return clicked(state, button) || answered_by_key(state, first_key, second_key);
}

// A "no" answer: the message stays for its timed frames, then the pointer
// returns to its normal colour.
void decline(EditorState* state) {
  state->pointer_colour = kPointerRed;
  state->message_timer = 1;
}

// Length of the text in the field: up to its first zero byte, but never
// beyond the field, since names read from files need no terminator.
int32_t text_length(const EditorState* state) {
  const char* buffer = state->text_field_buffer;
  const int32_t length = state->text_field_length;
  int32_t n = 0;
  while (n < length && buffer[n] != '\0') ++n;
  return n;
}

// The name the field edits, in the module.
const char* field_name(const EditorState* state) {
  const Player* player = state->player;
  return state->text_field_sample == 0 ? player->song_name
                                       : player->samples[state->text_field_sample].name;
}

// The name's bytes: the field's characters and the trailing byte after
// them, which a name read from a file may fill.
size_t field_bytes(const EditorState* state) {
  return state->text_field_sample == 0 ? sizeof(Player::song_name) : sizeof(Sample::name);
}

// The copy is read from the module each frame, so that a name loaded under
// the field (a dropped sample) is the one edited.
void read_field_name(EditorState* state) {
  std::memcpy(state->text_field_buffer, field_name(state), field_bytes(state));
}

void commit_field_name(EditorState* state) {
  if (state->text_field_sample == 0) {
    set_song_name(*state->player, state->text_field_buffer, field_bytes(state));
  } else {
    set_sample_name(*state->player, state->text_field_sample, state->text_field_buffer,
                    field_bytes(state));
  }
}

void end_text_field(EditorState* state) {
  state->dialog = state->saved_dialog;
  state->pointer_colour = state->normal_pointer_colour;
}

void insert_char(EditorState* state, char c) {
  char* buffer = state->text_field_buffer;
  const int32_t length = state->text_field_length;
  const int32_t cursor = state->text_field_cursor;
  // A full field takes nothing: no character is pushed out of its end, and
  // the trailing byte is never written.
  if (cursor + 1 > length || text_length(state) == length) return;
  std::memmove(buffer + cursor + 1, buffer + cursor, length - cursor - 1);
  buffer[cursor] = c;
  state->text_field_cursor = cursor + 1;
  commit_field_name(state);
}

// Removes the byte at `at`; the field's trailing byte moves in from behind.
void remove_char(EditorState* state, int32_t at) {
  char* buffer = state->text_field_buffer;
  std::memmove(buffer + at, buffer + at + 1, state->text_field_length - at);
  commit_field_name(state);
}

void edit_key(EditorState* state, int32_t key_index) {
  const int32_t cursor = state->text_field_cursor;
  switch (key_index) {
    case kKeyEsc:
    case kKeyReturn:
      end_text_field(state);
      state->key_consumed = 1;
      state->note_key_latch = 1;
      return;
    case kKeyBackspace:
      if (cursor > 0) {
        remove_char(state, cursor - 1);
        state->text_field_cursor = cursor - 1;
        state->key_consumed = 1;
      }
      return;
    case kKeyDel:
      if (cursor < state->text_field_length) remove_char(state, cursor);
      state->key_consumed = 1;
      return;
    case kKeyLeft:
      if (cursor > 0) state->text_field_cursor = cursor - 1;
      return;
    case kKeyRight:
      if (cursor < text_length(state)) state->text_field_cursor = cursor + 1;
      return;
    default:
      return;  // Up and Down do nothing here
  }
}

// The character a key types: the layout's own when the platform knows it,
// otherwise the built-in table's; 0 for none.
char typed_char(const EditorState* state, const KeyRecord* record) {
  const int32_t c = state->text_char;
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
  if (c >= 32 && c < 127) return static_cast<char>(c);
  if (!is_end_record(record) && std::strcmp(record->text, "-1") != 0) return record->text[0];
  return 0;
}

void take_key(EditorState* state) {
  const KeyRecord* table = (state->modifiers & kModifierShift) ? kShiftedChars : kPlainChars;
  const KeyRecord* record = find_key_record(table, state->key_code);
  const bool editing = !is_end_record(record) && std::strcmp(record->text, "-1") == 0;
  if (editing) {
    state->pending_edit_key = record->key_index;
  } else if (const char c = typed_char(state, record)) {
    insert_char(state, c);
    state->key_consumed = 1;  // a character types once per press
  }
}

void keep_text_cursor_in_field(EditorState* state) {
  const int32_t length = text_length(state);
  if (state->text_field_cursor < 0) state->text_field_cursor = 0;
  if (state->text_field_cursor > length) state->text_field_cursor = length;
}

// The ending all clear choices share: playback stops and everything is
// silent, the cursor is at the top.
void finish_clear(EditorState* state) {
  set_message(state, "ALL RIGHT");
  state->dialog = kDialogNone;
  stop_playing(state);
  set_shown_row(*state->player, 0);
}

}  // namespace

void begin_text_field(int32_t text_x, int32_t cursor_y, int32_t top_row, int32_t bottom_row,
                      int32_t length, int32_t sample, EditorState* state) {
  state->text_field_x = text_x;
  state->text_field_cursor_y = cursor_y;
  state->text_field_top = top_row;
  state->text_field_bottom = bottom_row;
  state->text_field_sample = sample > 0 && sample < kSampleCount ? sample : 0;
  // The field and its trailing byte lie within the name.
  state->text_field_length =
      std::clamp<int32_t>(length, 0, static_cast<int32_t>(field_bytes(state)) - 1);
  state->text_field_player = state->player;
  read_field_name(state);
  // The cursor stays where it was, but a place left in a longer field
  // must not lie beyond this one's text.
  keep_text_cursor_in_field(state);
}

int32_t edit_text_field(EditorState* state) {
  if (state->dialog != kDialogTextField) return 0;
  if (state->text_field_player != state->player) {
    // The name belonged to a player that a load has replaced.
    end_text_field(state);
    return 0;
  }
  read_field_name(state);
  state->pointer_colour = kPointerMagenta;
  keep_text_cursor_in_field(state);
  if (state->left_held != 0) {
    const int32_t column = (state->mouse_x - state->text_field_x) / 8;
    state->text_field_cursor = state->mouse_x < state->text_field_x ? 0 : column;
    keep_text_cursor_in_field(state);
  }
  blit_image(state->text_field_x + 8 * state->text_field_cursor, state->text_field_cursor_y,
             state->img_textcursor, state);

  if (state->right_down) {
    std::memset(state->text_field_buffer, 0, state->text_field_length);
    commit_field_name(state);
    state->text_field_cursor = 0;
    end_text_field(state);
  }

  track_held_key(state, state->key_code);
  if (state->repeat_countdown != 0) {
    state->repeat_countdown -= 1;
  } else {
    state->repeat_countdown = kTextRepeatFrames;
    if (!state->key_consumed && state->key_code != 0) take_key(state);
  }
  if (state->pending_edit_key != 0) {
    edit_key(state, state->pending_edit_key);
    state->pending_edit_key = 0;
  }

  const bool outside =
      state->mouse_y < state->text_field_top || state->mouse_y > state->text_field_bottom;
  if (state->left_held != 0 && outside) end_text_field(state);
  return 0;
}

int32_t quit_requester(EditorState* state) {
  if (state->dialog != kDialogQuit) return 0;
  state->pointer_colour = kPointerMagenta;
  blit_image(kRequesterX, kRequesterY, state->img_sure, state);
  if (answered(state, kYesButton, kKeyReturn, kKeyY)) {
    state->quit_confirmed = 1;
  } else if (answered(state, kNoButton, kKeyEsc, kKeyN)) {
    state->dialog = kDialogNone;
    decline(state);
  }
  return 0;
}

int32_t clear_requester(EditorState* state) {
  if (state->dialog != kDialogClear) return 0;
  Player& player = *state->player;
  state->pointer_colour = kPointerMagenta;
  blit_image(kRequesterX, kRequesterY, state->img_clear, state);
  if (answered(state, kClearSongButton, kKeyO, kKeyO)) {
    clear_song(player);
    finish_clear(state);
  }
  if (answered(state, kClearSamplesButton, kKeyS, kKeyS)) {
    clear_samples(player);
    state->current_sample = 1;
    reset_sample_view(state);
    finish_clear(state);
  }
  if (answered(state, kClearAllButton, kKeyA, kKeyA)) {
    clear_song(player);
    clear_samples(player);
    // Every sample is now empty: the view shows nothing, with no marks.
    reset_sample_view(state);
    finish_clear(state);
  }
  if (answered(state, kClearCancelButton, kKeyEsc, kKeyC)) {
    state->dialog = kDialogNone;
    decline(state);
  }
  return 0;
}

int32_t confirm_requester(EditorState* state) {
  if (state->dialog != kDialogConfirm) return 0;
  state->pointer_colour = kPointerMagenta;
  blit_image(kRequesterX, kRequesterY, state->img_sure, state);
  const bool yes = answered(state, kYesButton, kKeyReturn, kKeyY);
  if (!yes && !answered(state, kNoButton, kKeyEsc, kKeyN)) return 0;
  set_message(state, "ALL RIGHT");
  state->message_timer = 1;
  state->confirm_answer = yes ? 1 : 0;
  if (!yes) state->pointer_colour = kPointerRed;
  return 1;
}
