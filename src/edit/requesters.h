// Text-field editing and the yes/no and clear requesters.
#pragma once

#include <cstdint>

#include "edit/edit_context.h"
#include "render/screen.h"

// The text field being edited (dialog kDialogTextField).
struct TextFieldState {
  char buffer[sizeof(Sample::name)];  // a copy of the name being edited
  int32_t sample;                     // 0: the song's name, else this sample's
  const Player* player;               // the player the name belongs to
  int32_t x;
  int32_t cursor_y;
  int32_t top;
  int32_t bottom;
  int32_t length;
  int32_t cursor;
  int32_t grouped;  // 1 while the field's typing is an open history step
};

// Starts editing a name in a field of `length` characters: the song's for
// sample 0, otherwise that sample's. The field edits a copy and commits
// every change to the module.
void begin_text_field(int32_t text_x, int32_t cursor_y, int32_t top_row, int32_t bottom_row,
                      int32_t length, int32_t sample, EditContext* state);
int32_t edit_text_field(EditContext* state);
int32_t quit_requester(EditContext* state);
// Opens the quit question; it says so when the module has unsaved changes.
void ask_to_quit(Status& status, const Player& player);
int32_t clear_requester(EditContext* state);
// The yes/no question's answer in the frame it is given, else kNone.
Answer confirm_requester(EditContext* state);
// The shell's question before work is lost (kDialogQuestion), answered in
// this frame or not.
Answer question_requester(EditContext* state);
// Asks the shell's question: what a yes does, and the text that asks it.
void ask_question(Status& status, Question question, const char* text);
// Clears the song, or the song and the samples, as the clear requester does.
void clear_module(EditContext* state, bool samples);
