#include "render/main_screen.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "engine/editing.h"
#include "render/draw.h"
#include "render/pattern_view.h"

namespace {

constexpr uint32_t kTextColour = 0x000000;
constexpr uint32_t kScopeColour = 0xF0D000;
constexpr int32_t kScopeWidth = 40;
constexpr int32_t kScopeCentre = 71;
// A filled square in the panel just left of the song name.
constexpr uint32_t kModifiedColour = 0xE02020;
constexpr int32_t kModifiedX = 96;
constexpr int32_t kModifiedY = 103;
constexpr int32_t kModifiedSize = 4;

constexpr const char* kFinetuneTexts[16] = {" 0", "+1", "+2", "+3", "+4", "+5", "+6", "+7",
                                            "-8", "-7", "-6", "-5", "-4", "-3", "-2", "-1"};

int32_t bytes(int32_t fixed) {
  return fixed >> 14;
}

// Each character of a fixed-size name, an empty place shown as "_".
void draw_name(const char* name, int32_t size, int32_t y, const ScreenContext& ctx) {
  for (int32_t i = 0; i < size; ++i) {
    const char c = name[i] ? name[i] : '_';
    draw_glyph(ctx.canvas, 104 + 8 * i, y, static_cast<uint8_t>(c), 0, kTextColour);
  }
}

// One channel's trace, 40 bytes of its sample from the play position. The
// channel and sample fields are read once: the loop bounds are confined to
// the sample's data here, so no value of them (a loop cut short by an edit,
// a position far past it) can make the trace read outside it or loop long.
int32_t draw_scope(const Player* player, const ChannelState& ch, int32_t channel,
                   const ScreenContext& ctx) {
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
    put_pixel(ctx.canvas, left + i, kScopeCentre - v / 8, kScopeColour);
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

ChannelPeaks draw_status(const ScreenContext& ctx, const MainScreenState& main) {
  const Player* player = ctx.player;
  const ReplayView replay = replay_view(*player);
  Image* const off_marks[kChannels] = {ctx.images.chan1off, ctx.images.chan2off,
                                       ctx.images.chan3off, ctx.images.chan4off};
  for (int32_t c = 0; c < kChannels; ++c) {
    if (replay.channels[c].enabled == 0 && off_marks[c])
      blit_image(ctx.canvas, 306, 11 * c, off_marks[c]);
  }

  const int32_t position = std::clamp(replay.song_position, 0, kPositions - 1);
  draw_text(ctx.canvas, 64, 3, 0, kTextColour, "%04d", replay.song_position);
  draw_text(ctx.canvas, 64, 14, 0, kTextColour, "%04d", player->order[position]);
  draw_text(ctx.canvas, 8, 127, 0, kTextColour, "%02d", replay.current_pattern);
  draw_text(ctx.canvas, 64, 25, 0, kTextColour, "%04d", player->song_length);
  draw_text(ctx.canvas, 32, 123, 0, kTextColour, "%03d", replay.tempo);
  draw_text(ctx.canvas, 272, 102, 0, kTextColour, "%02d %02d", main.play_seconds / 60,
            main.play_seconds % 60);
  if (ctx.selection.multi_keyboard & 1) draw_text(ctx.canvas, 17, 102, 0, kTextColour, "M");
  draw_text(ctx.canvas, 24, 102, 0, kTextColour, "%d", ctx.selection.edit_skip);

  draw_name(player->song_name, sizeof player->song_name, 102, ctx);
  if (main.modified)
    for (int32_t y = 0; y < kModifiedSize; ++y)
      for (int32_t x = 0; x < kModifiedSize; ++x)
        put_pixel(ctx.canvas, kModifiedX + x, kModifiedY + y, kModifiedColour);

  const int32_t number = std::clamp(ctx.selection.current_sample, 0, kSampleCount - 1);
  const Sample& sample = player->samples[number];
  draw_name(sample.name, sizeof sample.name, 113, ctx);
  draw_text(ctx.canvas, 80, 36, 0, kTextColour, "%s", kFinetuneTexts[sample.finetune & 15]);
  draw_text(ctx.canvas, 64, 47, 0, kTextColour, "%04x", ctx.selection.current_sample);
  draw_text(ctx.canvas, 64, 58, 0, kTextColour, "%04x", sample.volume);
  draw_text(ctx.canvas, 64, 69, 0, kTextColour, "%04x", bytes(sample.length));
  draw_text(ctx.canvas, 64, 80, 0, kTextColour, "%04x", bytes(sample.loop_start));
  draw_text(ctx.canvas, 64, 91, 0, kTextColour, "%04x", bytes(sample.loop_length));

  const int32_t message_length =
      static_cast<int32_t>(strnlen(ctx.status.message, sizeof ctx.status.message));
  draw_text(ctx.canvas, 89, 127, 0, kTextColour, "%.*s", message_length, ctx.status.message);
  draw_text(ctx.canvas, 264, 123, 0, kTextColour, "%6d", module_size(player));

  ChannelPeaks peaks{};
  for (int32_t c = 0; c < kChannels; ++c)
    peaks.level[c] = draw_scope(player, replay.channels[c], c, ctx);
  return peaks;
}

ChannelPeaks redraw_main_screen(const ScreenContext& ctx, const MainScreenState& main,
                                bool pattern_view_shown) {
  if (ctx.images.main) blit_image(ctx.canvas, 0, 0, ctx.images.main);
  const ChannelPeaks peaks = draw_status(ctx, main);
  if (pattern_view_shown) draw_pattern_view(ctx, peaks, main.block);
  return peaks;
}
