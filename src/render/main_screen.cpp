#include "render/main_screen.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "render/draw.h"
#include "render/pattern_view.h"

const ButtonRect kMainButtons[kMainButtonCount] = {
    {171, 71, 196, 81},   {234, 71, 252, 81}, {120, 0, 181, 10},  {120, 11, 181, 21},
    {120, 21, 181, 32},   {120, 33, 181, 43}, {182, 0, 243, 10},  {182, 11, 243, 21},
    {182, 21, 243, 32},   {182, 33, 243, 43}, {244, 0, 305, 10},  {244, 11, 305, 21},
    {244, 21, 305, 32},   {244, 33, 305, 43}, {306, 0, 319, 10},  {306, 11, 319, 21},
    {306, 21, 319, 32},   {306, 33, 319, 43}, {62, 0, 97, 10},    {98, 0, 108, 10},
    {109, 0, 119, 10},    {62, 11, 97, 21},   {98, 11, 108, 21},  {109, 11, 119, 21},
    {62, 22, 97, 32},     {98, 22, 108, 32},  {109, 22, 119, 32}, {62, 33, 97, 43},
    {98, 33, 108, 43},    {109, 33, 119, 43}, {62, 44, 97, 54},   {98, 44, 108, 54},
    {109, 44, 119, 54},   {62, 55, 97, 65},   {98, 55, 108, 65},  {109, 55, 119, 65},
    {62, 66, 97, 76},     {98, 66, 108, 76},  {109, 66, 119, 76}, {62, 77, 97, 87},
    {98, 77, 108, 87},    {109, 77, 119, 87}, {62, 88, 97, 98},   {98, 88, 108, 98},
    {109, 88, 119, 98},   {26, 122, 44, 136}, {45, 122, 59, 136}, {1, 1, 39, 10},
    {40, 0, 50, 10},      {51, 0, 61, 10},    {166, 57, 198, 67}, {204, 57, 257, 67},
    {166, 71, 198, 82},   {204, 72, 257, 82}, {0, 100, 320, 110}, {0, 111, 286, 120},
    {287, 110, 320, 120},
};

namespace {

constexpr uint32_t kTextColour = 0x000000;
constexpr uint32_t kScopeColour = 0xF0D000;
constexpr int32_t kScopeWidth = 40;
constexpr int32_t kScopeCentre = 71;

constexpr const char* kFinetuneTexts[16] = {" 0", "+1", "+2", "+3", "+4", "+5", "+6", "+7",
                                            "-8", "-7", "-6", "-5", "-4", "-3", "-2", "-1"};

int32_t bytes(int32_t fixed) {
  return fixed >> 14;
}

// Each character of a fixed-size name, an empty place shown as "_".
void draw_name(const char* name, int32_t size, int32_t y, EditorState* state) {
  for (int32_t i = 0; i < size; ++i) {
    const char c = name[i] ? name[i] : '_';
    draw_glyph(104 + 8 * i, y, static_cast<uint8_t>(c), 0, kTextColour, state);
  }
}

// One channel's trace, 40 bytes of its sample from the play position. The
// channel and sample fields are read once: the loop bounds are confined to
// the sample's data here, so no value of them (a loop cut short by an edit,
// a position far past it) can make the trace read outside it or loop long.
int32_t draw_scope(const Player* player, int32_t channel, EditorState* state) {
  const ChannelState& ch = player->channels[channel];
  const int32_t number = ch.sample;
  const int64_t position = ch.position;
  const int32_t volume = std::clamp(ch.mix_volume, 0, 64);
  const bool enabled = ch.enabled != 0;

  const int8_t* data = nullptr;
  int64_t length = 0, loop_start = 0, loop_end = 0;
  bool looping = false;
  if (enabled && number >= 1 && number < kSampleCount) {
    const Sample& s = player->samples[number];
    data = s.data;
    // Whole bytes only: a fraction past the last byte has no data behind it.
    length = std::max(s.length, 0) & ~static_cast<int64_t>(kFixOne - 1);
    loop_start = std::clamp<int64_t>(s.loop_start, 0, length);
    loop_end = std::clamp<int64_t>(s.loop_end, loop_start, length);
    looping = s.loop_length > 0x8000 && loop_end > loop_start;
  }
  if (!data || position < 0 || position >= length) data = nullptr;

  int32_t peak = 0;
  const int32_t left = 128 + 48 * channel;
  for (int32_t i = 0; i < kScopeWidth; ++i) {
    int32_t v = 0;
    if (data) {
      int64_t r = position + static_cast<int64_t>(i) * kFixOne;
      if (looping && r >= loop_end) r = loop_start + (r - loop_end) % (loop_end - loop_start);
      if (r < length) v = (data[r >> 14] * volume) >> 6;
    }
    peak = std::max(peak, v < 0 ? -v : v);
    put_pixel(left + i, kScopeCentre - v / 8, kScopeColour, state);
  }
  return peak;
}

}  // namespace

int32_t module_size(const Player* player) {
  // Follows the module writer: each order entry is stored as one byte and
  // patterns are counted up to the highest entry read back as a signed
  // byte; sample data of odd length gets a pad byte.
  int32_t highest = 0;
  for (int32_t entry : player->order)
    highest = std::max<int32_t>(highest, static_cast<int8_t>(entry & 0xFF));
  int32_t size = 1084 + 1024 * (highest + 1);
  for (int32_t s = 1; s < kSampleCount; ++s) {
    const int32_t length = std::max(bytes(player->samples[s].length), 0);
    size += length + (length & 1);
  }
  return size;
}

void draw_status(EditorState* state) {
  const Player* player = state->player;
  Image* const off_marks[kChannels] = {state->img_chan1off, state->img_chan2off,
                                       state->img_chan3off, state->img_chan4off};
  for (int32_t c = 0; c < kChannels; ++c) {
    if (player->channels[c].enabled == 0 && off_marks[c])
      blit_image(306, 11 * c, off_marks[c], state);
  }

  const int32_t position = std::clamp(player->song_position, 0, kPositions - 1);
  draw_text(64, 3, 0, kTextColour, "%04d", state, player->song_position);
  draw_text(64, 14, 0, kTextColour, "%04d", state, player->order[position]);
  draw_text(8, 127, 0, kTextColour, "%02d", state, player->current_pattern);
  draw_text(64, 25, 0, kTextColour, "%04d", state, player->song_length);
  draw_text(32, 123, 0, kTextColour, "%03d", state, player->tempo);
  draw_text(272, 102, 0, kTextColour, "%02d %02d", state, state->play_seconds / 60,
            state->play_seconds % 60);
  if (state->multi_keyboard & 1) draw_text(17, 102, 0, kTextColour, "M", state);
  draw_text(24, 102, 0, kTextColour, "%d", state, state->edit_skip);

  draw_name(player->song_name, sizeof player->song_name, 102, state);

  const int32_t number = std::clamp(state->current_sample, 0, kSampleCount - 1);
  const Sample& sample = player->samples[number];
  draw_name(sample.name, sizeof sample.name, 113, state);
  draw_text(80, 36, 0, kTextColour, "%s", state, kFinetuneTexts[sample.finetune & 15]);
  draw_text(64, 47, 0, kTextColour, "%04x", state, state->current_sample);
  draw_text(64, 58, 0, kTextColour, "%04x", state, sample.volume);
  draw_text(64, 69, 0, kTextColour, "%04x", state, bytes(sample.length));
  draw_text(64, 80, 0, kTextColour, "%04x", state, bytes(sample.loop_start));
  draw_text(64, 91, 0, kTextColour, "%04x", state, bytes(sample.loop_length));

  // While a block is being marked the message line shows its rows, and the
  // block ends at the row shown.
  if (state->edit_buffers.block_marking == 1) {
    const int32_t row = player->shown_row;
    if (row >= 0 && row < kRows) state->edit_buffers.block_end = row;
    std::snprintf(state->message, sizeof state->message, "mark block %02d-%02d",
                  std::min(state->edit_buffers.block_anchor, row),
                  std::max(state->edit_buffers.block_anchor, row));
  }
  const int32_t message_length =
      static_cast<int32_t>(strnlen(state->message, sizeof state->message));
  draw_text(89, 127, 0, kTextColour, "%.*s", state, message_length, state->message);
  draw_text(264, 123, 0, kTextColour, "%6d", state, module_size(player));

  for (int32_t c = 0; c < kChannels; ++c) state->channel_peaks[c] = draw_scope(player, c, state);
}

void redraw_main_screen(EditorState* state) {
  if (state->img_main) blit_image(0, 0, state->img_main, state);
  draw_status(state);
  if (state->sample_editor_shown == 0) draw_pattern_view(state);
  if (state->disk_op_active == 1) {
    Image* panel = state->disk_op_page ? state->img_disk2 : state->img_disk;
    if (panel) blit_image(0, 0, panel, state);
  }
  if (state->sample_editor_shown == 1 && state->img_sample)
    blit_image(0, 121, state->img_sample, state);
}
