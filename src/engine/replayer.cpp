#include "engine/replayer.h"

#include <algorithm>
#include <cstdlib>

#include "engine/mixer.h"
#include "engine/periods.h"

namespace {

constexpr int16_t kSine[32] = {0,   24,  49,  74,  97,  120, 141, 161, 180, 197, 212,
                               224, 235, 244, 250, 253, 255, 253, 250, 244, 235, 224,
                               212, 197, 180, 161, 141, 120, 97,  74,  49,  24};
constexpr int16_t kInvertSpeed[16] = {0, 5, 6, 7, 8, 10, 11, 13, 16, 19, 22, 26, 32, 43, 64, 128};
constexpr int32_t kPeriodMin = 108;
constexpr int32_t kPeriodMax = 907;
constexpr int32_t kVolumeMax = 63;
// Offsets beyond the largest sample only need to be "past the end".
constexpr int32_t kOffsetLimit = 0x10000 * kFixOne;

int32_t clamp_slide(int32_t p) {
  return p <= kPeriodMin - 1 ? kPeriodMin : std::min(p, kPeriodMax);
}

int32_t wave(int32_t form, int32_t pos) {
  switch (form & 3) {
    case 0:
      return pos > 31 ? -kSine[pos & 31] : kSine[pos & 31];
    case 2:
      return pos > 31 ? -255 : 255;
    default:
      return pos > 31 ? 8 * pos - 512 : 8 * pos;
  }
}

int32_t table_period(int32_t finetune, int32_t index) {
  return kPeriodTable[finetune & 15][std::clamp(index, 0, 35)];
}

// Per-row values shared by the four channels.
struct RowContext {
  int32_t current_row;  // the row being processed
  int32_t row;          // R: moved to 63 by commands that end the pattern
  int32_t position;     // Q
  int32_t loop_target;  // row a pattern loop jumps back to, -1 = none
};

void set_slide_period(Player* player, ChannelState& ch, int32_t p) {
  ch.period = ch.output_period = p;
  int32_t step_period = p;
  if (ch.glissando_funk != 0) {
    const int16_t* row = kPeriodTable[ch.finetune & 15];
    step_period = row[35];
    for (int i = 0; i < 36; ++i) {
      if (row[i] <= p) {
        step_period = row[i];
        break;
      }
    }
  }
  ch.step = period_step(player, step_period);
}

void pattern_loop(ChannelState& ch, int32_t y, RowContext& ctx) {
  if (y == 0) {
    if (ch.loop_state == 0) {
      ch.loop_row = ctx.current_row;
      ch.loop_state = 1;
    }
    return;
  }
  const int32_t count = ch.loop_state == 2 ? ch.loop_count : y;
  if (count <= 0) {
    ch.loop_state = 0;
    ch.loop_count = 0;
    return;
  }
  ch.loop_count = count - 1;
  ch.loop_state = 2;
  ctx.loop_target = ch.loop_row & 63;
}

void invert_loop_step(Player* player, ChannelState& ch, int32_t& next_position) {
  const int32_t speed = ch.glissando_funk >> 4;
  if (speed == 0) return;
  ch.funk_accumulator += kInvertSpeed[speed & 15];
  if ((ch.funk_accumulator & 7) != 0) return;
  ch.funk_accumulator = 0;
  Sample& s = player->samples[ch.sample & 31];
  const int32_t loop_bytes = s.loop_length >> 14;
  ch.funk_position += 1;
  if (ch.funk_position >= loop_bytes) ch.funk_position = 0;
  const int32_t start = s.loop_start >> 14;
  if (start == 0) return;
  const int32_t at = start + ch.funk_position;
  if (s.data && at < (s.length >> 14)) s.data[at] = static_cast<int8_t>(~s.data[at]);
  // The nudge moves a sounding note; it must not wake a silent channel.
  if (ch.position < 0) return;
  ch.position += ch.funk_position;
  ch.offset_memory = ch.position;
  next_position = ch.position;
}

void extended_command(Player* player, ChannelState& ch, const PatternCell& cell, int32_t period,
                      int32_t& next_position, RowContext& ctx) {
  const int32_t y = cell.param_lo;
  switch (cell.param_hi) {
    case 0x0:
      if (player->flags & 4) player->filter_enabled = 1 - (y & 1);
      break;
    case 0x1:
    case 0x2:
      if (y != 0) {
        const int32_t p = cell.param_hi == 1 ? ch.period - y : ch.period + y;
        ch.period = ch.porta_target = p;
        ch.step = period_step(player, p);
      }
      break;
    case 0x3:
      ch.glissando_funk = y;
      break;
    case 0x4:
      ch.vibrato_waveform = y;
      break;
    case 0x5:
      if (period > 0) {
        ch.finetune = y;
        const int32_t p = table_period(y, note_index(period));
        ch.period = ch.porta_target = p;
        ch.step = period_step(player, p);
      }
      break;
    case 0x6:
      pattern_loop(ch, y, ctx);
      break;
    case 0x7:
      ch.tremolo_waveform = y;
      break;
    case 0x9:
      if (y != 0) {
        next_position = 0;
        ch.retrig_counter = ch.retrig_interval = y;
      }
      break;
    case 0xA:
      ch.volume = ch.mix_volume = std::min(ch.volume + y, kVolumeMax);
      break;
    case 0xB:
      ch.volume = ch.mix_volume = std::max(ch.volume - y, 0);
      break;
    case 0xC:
      ch.cut_counter = y;
      break;
    case 0xD:
      if (period != 0) {
        next_position = ch.position;
        ch.retrig_counter = y;
      }
      break;
    case 0xE:
      player->pattern_delay = y;
      break;
    case 0xF:
      ch.glissando_funk = y * 16;
      break;
    default:
      break;
  }
}

int32_t volume_slide_of(const PatternCell& cell) {
  return cell.param_hi != 0 ? cell.param_hi : -cell.param_lo;
}

void tone_portamento(ChannelState& ch, int32_t period, int32_t& next_position) {
  if (period > 0) ch.porta_target = table_period(ch.finetune, note_index(period));
  if (ch.tone_porta_speed != 0) ch.flags |= 3;
  next_position = ch.position;
}

void row_command(Player* player, ChannelState& ch, const PatternCell& cell, int32_t period,
                 bool sample_valid, int32_t& next_position, RowContext& ctx) {
  const int32_t x = cell.param;
  switch (cell.effect) {
    case 0x0:
      if (x != 0) ch.arpeggio = x;
      break;
    case 0x1:
      ch.porta_speed = -x;
      ch.flags |= 1;
      break;
    case 0x2:
      ch.porta_speed = x;
      ch.flags |= 1;
      break;
    case 0x3:
      if (x != 0) ch.tone_porta_speed = x;
      tone_portamento(ch, period, next_position);
      break;
    case 0x4:
      if (cell.param_lo != 0) ch.vibrato_depth = cell.param_lo;
      if (cell.param_hi != 0) ch.vibrato_speed_memory = cell.param_hi;
      ch.vibrato_speed = ch.vibrato_speed_memory;
      ch.flags |= 1;
      break;
    case 0x5:
      ch.volume_slide = volume_slide_of(cell);
      tone_portamento(ch, period, next_position);
      break;
    case 0x6:
      ch.volume_slide = volume_slide_of(cell);
      ch.vibrato_speed = ch.vibrato_speed_memory;
      ch.flags |= 1;
      break;
    case 0x7:
      if (cell.param_lo != 0) ch.tremolo_depth = 2 * cell.param_lo;
      if (cell.param_hi != 0) ch.tremolo_speed_memory = cell.param_hi;
      ch.tremolo_speed = ch.tremolo_speed_memory;
      break;
    case 0x9:
      if (period != 0) {
        int64_t o = int64_t{x} * 256 * kFixOne;
        if (o == 0) o = ch.offset_memory;
        if (!sample_valid) o += ch.offset_memory;
        // Repeated relative offsets must not overflow the 18.14 position.
        const auto clamped = static_cast<int32_t>(std::clamp<int64_t>(o, 0, kOffsetLimit));
        next_position = ch.offset_memory = clamped;
      }
      break;
    case 0xA:
      ch.volume_slide = volume_slide_of(cell);
      break;
    case 0xB:
      ctx.position = x - 1;
      ctx.row = 63;
      break;
    case 0xC:
      ch.volume = std::min(x, kVolumeMax);
      break;
    case 0xD: {
      const int32_t target = 10 * cell.param_hi + cell.param_lo;
      if (x != 0 && target <= 63) {
        player->break_row = target;
      } else {
        ctx.row = 63;
      }
      break;
    }
    case 0xE:
      extended_command(player, ch, cell, period, next_position, ctx);
      break;
    case 0xF:
      if (x > 31) {
        player->tempo = x;
        player->samples_per_tick = tempo_samples_per_tick(player->output_rate, x);
      } else if (x >= 1) {
        player->speed = x;
      }
      break;
    default:
      break;
  }
}

void channel_row(Player* player, ChannelState& ch, const PatternCell& cell, RowContext& ctx) {
  int32_t period = cell.period;
  int32_t sample = cell.sample;
  const int32_t effect = cell.effect;
  int32_t next_position = ch.position;
  bool keep_volume = false;

  if (period != 0) ch.last_period = period;
  ch.cell_period = period;
  if (ch.volume != 0) ch.saved_volume = ch.volume;
  if (sample != 0) ch.last_sample = sample;
  if (period != 0 && sample == 0) {
    const bool fine_slide = effect == 0xE && (cell.param_hi == 1 || cell.param_hi == 2);
    if (effect == 0 || effect == 0xC || effect == 0xF || fine_slide) {
      sample = ch.last_sample;
      ch.volume = ch.saved_volume;
      keep_volume = true;
    }
  }
  if (period == 0 && sample != 0 && effect == 0 && cell.param != 0) {
    period = ch.last_period;
    ch.cell_period = period;
  }

  ch.flags &= ~2;
  ch.vibrato_speed = ch.tremolo_speed = ch.volume_slide = 0;
  ch.porta_speed = ch.arpeggio = ch.retrig_interval = 0;

  const bool sample_valid = sample >= 1 && sample <= 31;
  if (sample_valid) {
    const Sample& s = player->samples[sample];
    if (period == 0) {
      ch.pending_sample = sample;
    } else {
      ch.pending_sample = 0;
      ch.sample = sample;
      ch.finetune = s.finetune & 15;
      next_position = 0;
    }
    if (!keep_volume) ch.volume = ch.mix_volume = std::min(s.volume, kVolumeMax);
  }

  if (period != 0) {
    ch.arp_base = period;
    ch.tremolo_position = ch.vibrato_position = 0;
    if (effect != 3 && effect != 5 && period > 0) {
      const int32_t p = table_period(ch.finetune, note_index(period));
      ch.period = ch.porta_target = ch.output_period = p;
      ch.step = period_step(player, p);
    }
  }
  if (period == 0 && effect == 0xA && ch.last_effect == 4 && ch.last_period > 0) {
    ch.period = ch.porta_target = ch.output_period = ch.last_period;
    ch.step = period_step(player, ch.last_period);
  }
  ch.last_effect = effect;
  if (effect == 0xE && cell.param_hi == 0xF) invert_loop_step(player, ch, next_position);
  row_command(player, ch, cell, period, sample_valid, next_position, ctx);
  ch.position = next_position;
}

void process_row(Player* player) {
  const bool song = player->play_mode == kPlaySong;
  const int32_t row = player->row & 63;
  RowContext ctx{row, row, song ? player->song_position & 127 : player->current_pattern & 127, -1};
  const int32_t pattern = song ? player->order[ctx.position] & 127 : ctx.position;

  player->break_row = 0;
  player->range_play = 0;
  player->shown_row = ctx.row;
  player->shown_position = ctx.position;
  for (int c = 0; c < kChannels; ++c)
    channel_row(player, player->channels[c], player->patterns[pattern][row][c], ctx);

  int32_t new_row;
  bool advance;
  if (ctx.loop_target >= 0) {
    // A pattern loop stays on its position, also when it loops back to row 0.
    new_row = ctx.loop_target;
    advance = false;
  } else if (player->break_row != 0) {
    new_row = player->break_row;
    advance = true;
  } else {
    new_row = (ctx.row + 1) & 63;
    advance = new_row == 0;
  }
  if (advance && song) {
    int32_t next = ctx.position + 1;
    if (next >= player->song_length || next < 0) next = 0;
    player->song_position = next;
  }
  player->row = new_row;
  if (song) player->current_pattern = player->order[player->song_position & 127] & 127;
}

void channel_tick(Player* player, ChannelState& ch) {
  if (ch.flags & 1) {
    ch.flags &= ~1;
  } else if (ch.porta_speed != 0) {
    set_slide_period(player, ch, clamp_slide(ch.output_period + ch.porta_speed));
  } else if (ch.flags & 2) {
    const int32_t d = ch.porta_target - ch.output_period;
    if (d != 0) {
      const int32_t change =
          d > 0 ? std::min(ch.tone_porta_speed, d) : std::max(-ch.tone_porta_speed, d);
      set_slide_period(player, ch, clamp_slide(ch.output_period + change));
    }
  } else if (ch.arpeggio != 0) {
    if (ch.arp_base > 0) {
      const int32_t k = player->tick_counter % 3;
      const int32_t n = k == 0 ? 0 : k == 1 ? ch.arpeggio >> 4 : ch.arpeggio & 15;
      const int32_t i = std::min(note_index(ch.arp_base) + n, 35);
      ch.step = period_step(player, table_period(ch.finetune, i));
    }
  } else if (ch.vibrato_speed != 0) {
    const int32_t w = wave(ch.vibrato_waveform, ch.vibrato_position);
    ch.vibrato_position = (ch.vibrato_position + ch.vibrato_speed) & 63;
    const int32_t p = clamp_slide(ch.period + ((ch.vibrato_depth * w) >> 7));
    ch.output_period = p;
    ch.step = period_step(player, p);
  }

  int32_t v = ch.volume;
  if (ch.volume_slide != 0) {
    v = std::clamp(ch.volume + ch.volume_slide, 0, kVolumeMax);
    ch.volume = v;
  }
  int32_t m = v;
  if (ch.tremolo_speed != 0) {
    const int32_t w = wave(ch.tremolo_waveform, ch.tremolo_position);
    ch.tremolo_position = (ch.tremolo_position + ch.tremolo_speed) & 63;
    m = std::clamp(v + ((ch.tremolo_depth * w) >> 8), 0, kVolumeMax);
  }
  // Any negative counter is inactive, so a stray value cannot run down forever.
  if (ch.cut_counter >= 0) {
    if (ch.cut_counter == 0) {
      if (ch.cell_period != 0) {
        ch.volume = m = 0;
      } else {
        ch.volume = m = ch.saved_volume;
      }
    }
    ch.cut_counter -= 1;
  }
  if (ch.retrig_counter >= 0) {
    if (ch.retrig_counter == 0) {
      if (player->range_play == 0) ch.position = 0;
      ch.retrig_counter = ch.retrig_interval;
    }
    ch.retrig_counter -= 1;
  }
  ch.mix_volume = m;
}

}  // namespace

int32_t note_index(int32_t period) {
  // Exact notes of the finetune-0 row keep their index; anything else (other
  // finetune rows, other trackers' note ranges) maps to the nearest note.
  const int16_t* row = kPeriodTable[0];
  int32_t best = 0;
  int32_t best_distance = std::abs(row[0] - period);
  for (int32_t i = 1; i < 36 && best_distance != 0; ++i) {
    const int32_t distance = std::abs(row[i] - period);
    if (distance < best_distance) {
      best = i;
      best_distance = distance;
    }
  }
  return best;
}

int32_t period_step(const Player* player, int32_t period) {
  if (period <= 0) return 0;
  const int64_t divisor = (int64_t{player->output_rate} * period) / 50;
  if (divisor <= 0) return 0;
  return static_cast<int32_t>(kStepConstant / divisor);
}

int32_t finetune_period(int32_t period, int32_t finetune, int32_t semitones) {
  if (period <= 0) return period;
  return table_period(finetune, std::min(note_index(period) + semitones, 35));
}

float tempo_samples_per_tick(int32_t output_rate, int32_t tempo) {
  // The tempo command never goes below 32; other callers get at least 1.
  return static_cast<float>(output_rate * 50.5 / (std::max(tempo, 1) * 20.4));
}

void process_tick(Player* player) {
  if (player->tick_counter <= 0) {
    if (player->play_mode != kStopped) {
      if (player->pattern_delay == 0) {
        process_row(player);
      } else {
        player->pattern_delay -= 1;
      }
    }
    player->tick_counter = std::max(player->speed, 1);
  }
  player->tick_counter -= 1;
  for (int c = 0; c < kChannels; ++c) channel_tick(player, player->channels[c]);
}
