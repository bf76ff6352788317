// Tick and row processing: turns the song into per-channel playback state.
#pragma once

#include <cstdint>

#include "engine/periods.h"
#include "engine/player.h"

// One replayer tick; called by the mixer when a tick is due.
void process_tick(Player* player);
// Index 0..35 of the finetune-0 note nearest to the period.
int32_t note_index(int32_t period);
// 18.14 step per output frame for a period; 0 for periods of 0 or below.
int32_t period_step(const Player* player, int32_t period);
// The period of row `finetune`, `semitones` above the note of `period`.
int32_t finetune_period(int32_t period, int32_t finetune, int32_t semitones);
// Frames per tick for a tempo at the player's output rate.
float tempo_samples_per_tick(int32_t output_rate, int32_t tempo);
