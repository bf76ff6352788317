// The editing layer: every change the user interface makes to the module
// and to the player's channels goes through these functions (the pattern
// operations through edit_ops.h). Each takes the audio lock itself where it
// changes what the audio callback reads; the lock is recursive, so callers
// that hold it already may call them. Each call is one step of an edit.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/player.h"

constexpr int32_t kNoLoopBytes = 2;         // loop length of a sample that does not loop
constexpr int32_t kHighestOrderEntry = 99;  // the order list names patterns 0..99

// Whole bytes of sample data (0 without data).
int32_t sample_bytes(const Sample& sample);
// False for the loop-off state (start 0, length 2 bytes or less).
bool sample_loops(const Sample& sample);
// Sample `number`'s record, or null for sample 0 and numbers outside the
// module: entry 0 must stay empty, since a channel is silenced by pointing
// it there.
const Sample* editable_sample(const Player& player, int32_t number);

// What the replayer moves while a song plays, read at one instant. The
// main thread works without the audio lock, so it reads these fields only
// through a view; everything else in the player changes on the main thread
// alone.
struct ReplayView {
  int32_t play_mode;
  int32_t song_position;
  int32_t current_pattern;
  int32_t row;
  int32_t shown_position;
  int32_t shown_row;
  int32_t tempo;
  int32_t filter_enabled;
  ChannelState channels[kChannels];
};
ReplayView replay_view(const Player& player);
bool replay_running(const ReplayView& view);

// A copy of the whole player with its own sample data, taken at one
// instant, for writing out without keeping the sound waiting (a few
// hundred microseconds under the lock for the largest module); the caller
// frees it with player_destroy. Null when memory runs out.
Player* copy_player(const Player& player);

// Channels. Channel and sample numbers out of range change nothing.

// Silences a channel and stops its effects. The channel is left to restart
// its position once on the next tick (retrig_counter 0), as the stop and
// mute keys always have; loads and played notes leave no restart pending.
void reset_channel(Player& player, int32_t channel);
void reset_all_channels(Player& player);
// A muted channel is switched on; a sounding one is muted and reset.
void toggle_channel(Player& player, int32_t channel);
// Switches a channel on or off and nothing else.
void set_channel_enabled(Player& player, int32_t channel, bool enabled);
// Plays a sample on a channel at once, at the note of a finetune-0 period
// tuned to the sample's finetune, ending any range play.
void play_note(Player& player, int32_t channel, int32_t sample, int32_t period);
// The same, playing bytes from .. to of the sample only.
void play_sample_range(Player& player, int32_t channel, int32_t sample, int32_t period,
                       int32_t from, int32_t to);
// Plays the notes of a row of the pattern at an order position as they are
// written (untuned), each on its channel.
void play_row(Player& player, int32_t position, int32_t row);
void set_filter_enabled(Player& player, bool enabled);
// Moves the player to another output rate: the tick length in frames, the
// channels' steps and the exact model's filter follow, so the song keeps
// its timing and pitch.
void set_output_rate(Player& player, int32_t rate);

// Playback.

// Starts the replayer in `mode` (kPlaySong or kPlayPattern) from the song
// position, which goes back to 0 when it lies past the song's end; from_row
// < 0 keeps the replayer's row.
void start_playback(Player& player, int32_t mode, int32_t from_row);
// The one stop: the replayer stops and no channel plays its sample on.
void stop_playback(Player& player);
// Stops the replayer only; notes already sounding ring on (edit mode).
void halt_song(Player& player);
// The row the pattern view and the editing cursor are on, and the row the
// replayer goes on from.
void set_shown_row(Player& player, int32_t row);
void set_play_row(Player& player, int32_t row);

// Pattern cells: each returns false, changing nothing, for a cell outside
// the patterns.
struct CellAt {
  int32_t pattern;
  int32_t row;
  int32_t channel;
};
bool write_note(Player& player, const CellAt& at, int32_t period, int32_t sample);
enum class CellDigit : int32_t { kSampleHigh, kSampleLow, kEffect, kParamHigh, kParamLow };
// Writes one hexadecimal digit; the sample's high digit is 0 or 1.
bool write_cell_digit(Player& player, const CellAt& at, CellDigit digit, int32_t value);
// Clears the note part (period and sample) and/or the effect part.
bool clear_cell_parts(Player& player, const CellAt& at, bool note, bool effect);

// The song. Positions and values are kept to their ranges.

// Inserts an empty entry (pattern 0) at `position`; the entries after it
// move up and the last is lost. The song grows up to 127 positions.
void insert_position(Player& player, int32_t position);
// Removes the entry at `position`: entries up to 126 move down and the
// last two keep their values. The song shrinks down to 1 position.
void delete_position(Player& player, int32_t position);
// The position editor's insert and delete: the entry at `position` is
// doubled (the entries after it move up, the last is lost), or removed
// (the entries after it move down and an empty one comes in at the end).
// The song grows up to 128 positions and shrinks down to 1; a song position
// left past the end moves to the last position.
void duplicate_position(Player& player, int32_t position);
void remove_position(Player& player, int32_t position);
// The order entry at `position` names `pattern`, within 0..99.
void set_order_entry(Player& player, int32_t position, int32_t pattern);
// Moves the order entry at the song position by `delta`, within 0..99.
void step_order_entry(Player& player, int32_t delta);
// While stopped, the current pattern follows the order entry at the song
// position through every change of the position or the order list here
// (and in the history's undo and redo).
void set_song_position(Player& player, int32_t position);
void follow_order(Player& player);
void set_current_pattern(Player& player, int32_t pattern);
// 1..128 positions.
void set_song_length(Player& player, int32_t length);
// 32..255 beats per minute; the tick length follows.
void set_tempo(Player& player, int32_t tempo);
// The name becomes `bytes` bytes of `name`, zero-filled to its size.
void set_song_name(Player& player, const char* name, size_t bytes);
// Empties the patterns, the order list and the name; tempo and speed go
// back to their defaults.
void clear_song(Player& player);

// Samples 1..31 (sample 0 stays empty: silenced channels point there).

// 0..64.
void set_sample_volume(Player& player, int32_t number, int32_t volume);
// 0..15 (8..15 are -8..-1).
void set_sample_finetune(Player& player, int32_t number, int32_t finetune);
// One step up or down, stopping at +7 and -8.
void step_sample_finetune(Player& player, int32_t number, bool up);
// Moves the loop's start or changes its length by `bytes`; a step that
// would leave the sample or shrink the loop below 2 bytes is not taken.
enum class LoopStep : int32_t { kStartUp, kStartDown, kLengthUp, kLengthDown };
void step_sample_loop(Player& player, int32_t number, LoopStep step, int32_t bytes);
// Moves the loop's start to the even byte at or below `byte`, its end kept,
// or its end (keeping the start), within the sample and at least 2 bytes
// long. A loop that cannot be that long stays as it is.
void move_loop_start(Player& player, int32_t number, int32_t byte);
void move_loop_end(Player& player, int32_t number, int32_t byte);
// A loop of `length` bytes from `start`, both made even, the length kept
// within 2..the sample's length first and the start then within the sample.
void set_sample_loop(Player& player, int32_t number, int32_t start, int32_t length);
// Switches the loop off, or on over the whole sample.
void toggle_sample_loop(Player& player, int32_t number);
// Puts new data (`bytes` long) and a loop into a sample; a loop that does
// not fit is switched off. A channel playing past the new end stops there.
// Returns the old block, which no channel reads any more: the caller frees
// it after the lock.
int8_t* replace_sample_data(Player& player, int32_t number, int8_t* data, int32_t bytes,
                            int32_t loop_start, int32_t loop_length);
// Puts a loaded sample into a slot, which then owns its data; the slot's
// old data is freed. Every channel is silenced first.
void install_sample(Player& player, int32_t number, const Sample& loaded);
// The name becomes `bytes` bytes of `name`, zero-filled to its size.
void set_sample_name(Player& player, int32_t number, const char* name, size_t bytes);
// Empties every sample; no channel plays on.
void clear_samples(Player& player);
// Empties one sample, keeping its name.
void empty_sample(Player& player, int32_t number);

// Makes `fresh` the player the program edits and plays; returns the one it
// replaces, which the audio callback no longer reads.
Player* swap_player(Player*& current, Player* fresh);
