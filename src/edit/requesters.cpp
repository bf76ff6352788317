#include "edit/requesters.h"

#include <algorithm>
#include <cstring>

#include "edit/key_tables.h"
#include "edit/keyboard.h"
#include "engine/editing.h"
#include "engine/history.h"
#include "layout/requester_layout.h"
#include "render/draw.h"
#include "render/message.h"

namespace {

constexpr int32_t kTextRepeatFrames = 4;

template <size_t N>
bool clicked(const EditContext* state, const RequesterButton (&table)[N], RequesterAction action) {
  if (state->input.left_held == 0) return false;
  for (const RequesterButton& b : table)
    if (b.button.action == action &&
        rect_contains(b.button.rect, state->input.mouse_x, state->input.mouse_y))
      return true;
  return false;
}

// True when the frame's key is one of the keys given by index. A key that
// answers a requester is taken, so that neither the keyboard handler nor
// note entry acts on it while it stays held after the requester closes.
bool answered_by_key(EditContext* state, int32_t first, int32_t second) {
  const int32_t key = state->input.key_code;
  if (key == 0) return false;
  if (key != key_code_of_index(first) && key != key_code_of_index(second)) return false;
  state->keys.key_consumed = 1;
  state->keys.note_key_latch = 1;
  return true;
}

template <size_t N>
bool answered(EditContext* state, const RequesterButton (&table)[N], RequesterAction action,
              int32_t first_key, int32_t second_key) {
  return clicked(state, table, action) || answered_by_key(state, first_key, second_key);
}

// A "no" answer: the message stays for its timed frames, then the pointer
// returns to its normal colour.
void decline(EditContext* state) {
  state->status.pointer_colour = kPointerRed;
  state->status.message_timer = 1;
}

// Length of the text in the field: up to its first zero byte, but never
// beyond the field, since names read from files need no terminator.
int32_t text_length(const EditContext* state) {
  const char* buffer = state->text_field.buffer;
  const int32_t length = state->text_field.length;
  int32_t n = 0;
  while (n < length && buffer[n] != '\0') ++n;
  return n;
}

// The name the field edits, in the module.
const char* field_name(const EditContext* state) {
  const Player* player = state->player;
  return state->text_field.sample == 0 ? player->song_name
                                       : player->samples[state->text_field.sample].name;
}

// The name's bytes: the field's characters and the trailing byte after
// them, which a name read from a file may fill.
size_t field_bytes(const EditContext* state) {
  return state->text_field.sample == 0 ? sizeof(Player::song_name) : sizeof(Sample::name);
}

// The copy is read from the module each frame, so that a name loaded under
// the field (a dropped sample) is the one edited.
void read_field_name(EditContext* state) {
  std::memcpy(state->text_field.buffer, field_name(state), field_bytes(state));
}

void commit_field_name(EditContext* state) {
  if (state->text_field.sample == 0) {
    set_song_name(*state->player, state->text_field.buffer, field_bytes(state));
  } else {
    set_sample_name(*state->player, state->text_field.sample, state->text_field.buffer,
                    field_bytes(state));
  }
}

// The typing of one field is one step of the history.
void end_text_field(EditContext* state) {
  if (state->text_field.grouped) history_end(state->player->history);
  state->text_field.grouped = 0;
  state->status.dialog = state->status.saved_dialog;
  state->status.pointer_colour = state->status.normal_pointer_colour;
}

void insert_char(EditContext* state, char c) {
  char* buffer = state->text_field.buffer;
  const int32_t length = state->text_field.length;
  const int32_t cursor = state->text_field.cursor;
  // A full field takes nothing: no character is pushed out of its end, and
  // the trailing byte is never written.
  if (cursor + 1 > length || text_length(state) == length) return;
  std::memmove(buffer + cursor + 1, buffer + cursor, length - cursor - 1);
  buffer[cursor] = c;
  state->text_field.cursor = cursor + 1;
  commit_field_name(state);
}

// Removes the byte at `at`; the field's trailing byte moves in from behind.
void remove_char(EditContext* state, int32_t at) {
  char* buffer = state->text_field.buffer;
  std::memmove(buffer + at, buffer + at + 1, state->text_field.length - at);
  commit_field_name(state);
}

void edit_key(EditContext* state, int32_t key_index) {
  const int32_t cursor = state->text_field.cursor;
  switch (key_index) {
    case kKeyEsc:
    case kKeyReturn:
      end_text_field(state);
      state->keys.key_consumed = 1;
      state->keys.note_key_latch = 1;
      return;
    case kKeyBackspace:
      if (cursor > 0) {
        remove_char(state, cursor - 1);
        state->text_field.cursor = cursor - 1;
        state->keys.key_consumed = 1;
      }
      return;
    case kKeyDel:
      if (cursor < state->text_field.length) remove_char(state, cursor);
      state->keys.key_consumed = 1;
      return;
    case kKeyLeft:
      if (cursor > 0) state->text_field.cursor = cursor - 1;
      return;
    case kKeyRight:
      if (cursor < text_length(state)) state->text_field.cursor = cursor + 1;
      return;
    default:
      return;  // Up and Down do nothing here
  }
}

// The character a key types: the layout's own when the platform knows it,
// otherwise the built-in table's; 0 for none.
char typed_char(const EditContext* state, const KeyRecord* record) {
  const int32_t c = state->input.text_char;
  if (c >= 'a' && c <= 'z') return static_cast<char>(c - 'a' + 'A');
  if (c >= 32 && c < 127) return static_cast<char>(c);
  return record->edits_text ? 0 : record->text[0];  // the end record's text is empty
}

void take_key(EditContext* state) {
  const KeyRecord* table = (state->input.modifiers & kModifierShift) ? kShiftedChars : kPlainChars;
  const KeyRecord* record = find_key_record(table, state->input.key_code);
  if (record->edits_text) {
    state->keys.pending_edit_key = record->key_index;
  } else if (const char c = typed_char(state, record)) {
    insert_char(state, c);
    state->keys.key_consumed = 1;  // a character types once per press
  }
}

void keep_text_cursor_in_field(EditContext* state) {
  const int32_t length = text_length(state);
  if (state->text_field.cursor < 0) state->text_field.cursor = 0;
  if (state->text_field.cursor > length) state->text_field.cursor = length;
}

// The ending all clear choices share: playback stops and everything is
// silent, the cursor is at the top.
void finish_clear(EditContext* state) {
  set_message(state->status, "ALL RIGHT");
  state->status.dialog = kDialogNone;
  stop_playing(state);
  set_shown_row(*state->player, 0);
}

}  // namespace

void begin_text_field(int32_t text_x, int32_t cursor_y, int32_t top_row, int32_t bottom_row,
                      int32_t length, int32_t sample, EditContext* state) {
  state->text_field.x = text_x;
  state->text_field.cursor_y = cursor_y;
  state->text_field.top = top_row;
  state->text_field.bottom = bottom_row;
  state->text_field.sample = sample > 0 && sample < kSampleCount ? sample : 0;
  // The field and its trailing byte lie within the name.
  state->text_field.length =
      std::clamp<int32_t>(length, 0, static_cast<int32_t>(field_bytes(state)) - 1);
  state->text_field.player = state->player;
  if (state->text_field.grouped) history_end(state->player->history);
  history_begin(state->player->history,
                state->text_field.sample == 0 ? StepKind::kSongName : StepKind::kSampleName);
  state->text_field.grouped = 1;
  read_field_name(state);
  // The cursor stays where it was, but a place left in a longer field
  // must not lie beyond this one's text.
  keep_text_cursor_in_field(state);
}

int32_t edit_text_field(EditContext* state) {
  if (state->status.dialog != kDialogTextField) return 0;
  if (state->text_field.player != state->player) {
    // The name belonged to a player that a load has replaced.
    end_text_field(state);
    return 0;
  }
  read_field_name(state);
  state->status.pointer_colour = kPointerMagenta;
  keep_text_cursor_in_field(state);
  if (state->input.left_held != 0) {
    const int32_t column = (state->input.mouse_x - state->text_field.x) / 8;
    state->text_field.cursor = state->input.mouse_x < state->text_field.x ? 0 : column;
    keep_text_cursor_in_field(state);
  }
  blit_image(state->canvas, state->text_field.x + 8 * state->text_field.cursor,
             state->text_field.cursor_y, state->images.textcursor);

  if (state->input.right_down) {
    std::memset(state->text_field.buffer, 0, state->text_field.length);
    commit_field_name(state);
    state->text_field.cursor = 0;
    end_text_field(state);
  }

  track_held_key(state, state->input.key_code);
  if (state->keys.repeat_countdown != 0) {
    state->keys.repeat_countdown -= 1;
  } else {
    start_repeat_countdown(state->keys, kTextRepeatFrames, state->input.repeat_delay_frames);
    if (!state->keys.key_consumed && state->input.key_code != 0) take_key(state);
  }
  if (state->keys.pending_edit_key != 0) {
    edit_key(state, state->keys.pending_edit_key);
    state->keys.pending_edit_key = 0;
  }

  const bool outside = state->input.mouse_y < state->text_field.top ||
                       state->input.mouse_y > state->text_field.bottom;
  if (state->input.left_held != 0 && outside) end_text_field(state);
  return 0;
}

void ask_to_quit(Status& status, const Player& player) {
  set_message(status, module_modified(player) ? "UNSAVED! QUIT ?" : "REALLY QUIT ?");
  status.dialog = kDialogQuit;
}

int32_t quit_requester(EditContext* state) {
  if (state->status.dialog != kDialogQuit) return 0;
  state->status.pointer_colour = kPointerMagenta;
  blit_image(state->canvas, kRequesterX, kRequesterY, state->images.sure);
  if (answered(state, kSureButtons, RequesterAction::kYes, kKeyReturn, kKeyY)) {
    state->status.quit_confirmed = 1;
  } else if (answered(state, kSureButtons, RequesterAction::kNo, kKeyEsc, kKeyN)) {
    state->status.dialog = kDialogNone;
    decline(state);
  }
  return 0;
}

int32_t clear_requester(EditContext* state) {
  if (state->status.dialog != kDialogClear) return 0;
  Player& player = *state->player;
  state->status.pointer_colour = kPointerMagenta;
  blit_image(state->canvas, kRequesterX, kRequesterY, state->images.clear);
  // The song's clears ask first while it holds unsaved work.
  const bool unsaved = module_modified(player);
  if (answered(state, kClearButtons, RequesterAction::kClearSong, kKeyO, kKeyO)) {
    if (unsaved) return ask_question(state->status, Question::kClearSong, "UNSAVED! CLEAR ?"), 0;
    clear_module(state, false);
  }
  if (answered(state, kClearButtons, RequesterAction::kClearSamples, kKeyS, kKeyS)) {
    clear_samples(player);
    state->selection.current_sample = 1;
    state->services.sample_changed(state->services.context);
    finish_clear(state);
  }
  if (answered(state, kClearButtons, RequesterAction::kClearAll, kKeyA, kKeyA)) {
    if (unsaved) return ask_question(state->status, Question::kClearAll, "UNSAVED! CLEAR ?"), 0;
    clear_module(state, true);
  }
  if (answered(state, kClearButtons, RequesterAction::kClearCancel, kKeyEsc, kKeyC)) {
    state->status.dialog = kDialogNone;
    decline(state);
  }
  return 0;
}

namespace {

Answer yes_no_requester(EditContext* state, int32_t dialog) {
  if (state->status.dialog != dialog) return Answer::kNone;
  state->status.pointer_colour = kPointerMagenta;
  blit_image(state->canvas, kRequesterX, kRequesterY, state->images.sure);
  const bool yes = answered(state, kSureButtons, RequesterAction::kYes, kKeyReturn, kKeyY);
  if (!yes && !answered(state, kSureButtons, RequesterAction::kNo, kKeyEsc, kKeyN))
    return Answer::kNone;
  set_message(state->status, "ALL RIGHT");
  state->status.message_timer = 1;
  if (!yes) state->status.pointer_colour = kPointerRed;
  return yes ? Answer::kYes : Answer::kNo;
}

}  // namespace

Answer confirm_requester(EditContext* state) {
  return yes_no_requester(state, kDialogConfirm);
}

Answer question_requester(EditContext* state) {
  const Answer answer = yes_no_requester(state, kDialogQuestion);
  if (answer != Answer::kNone) state->status.dialog = kDialogNone;
  return answer;
}

void ask_question(Status& status, Question question, const char* text) {
  set_message(status, text);
  status.question = question;
  status.dialog = kDialogQuestion;
}

void clear_module(EditContext* state, bool samples) {
  Player& player = *state->player;
  const HistoryGroup group(player, samples ? StepKind::kClearAll : StepKind::kClearSong);
  clear_song(player);
  if (samples) {
    clear_samples(player);
    // Every sample is now empty: the view shows nothing, with no marks.
    state->services.sample_changed(state->services.context);
  }
  finish_clear(state);
}
