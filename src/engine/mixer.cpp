#include "engine/mixer.h"

#include <cmath>

void compute_filter(Player* player, int32_t output_rate) {
  // First-order bilinear low-pass section with a 4000 Hz cutoff.
  const double k = std::tan(12566.37061435916 / output_rate);
  const double c = (1.0 - k) / (1.0 + k);
  player->filter_coefficient = static_cast<float>(c);
  player->filter_gain = static_cast<float>((1.0 - c) * 0.5);
}
