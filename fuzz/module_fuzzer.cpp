// Feeds arbitrary bytes to the module, sample (raw, IFF and the audio
// formats libsndfile reads), track and pattern readers, then plays and saves
// whatever they accepted: nothing may read or write out of bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "engine/mixer.h"
#include "engine/player.h"
#include "files/module_format.h"
#include "files/sample_file.h"
#include "files/sample_import.h"
#include "files/track_pattern.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Player* player = player_create(44100);
  const FileResult result = parse_module(data, size, player, kKindModule, nullptr);
  if (result.ok) {
    // Play the first position of the song, a tick at a time.
    player->play_mode = kPlaySong;
    int16_t left[1024], right[1024];
    for (int block = 0; block < 24; ++block) render_audio(player, right, left, 2, 1024, 1, 16, 2);
    player->play_mode = kPlayPattern;
    render_audio(player, right, left, 2, 1024, 2, 8, 1);
    (void)serialize_module(player, kKindModule);
  }
  player_destroy(player);

  Sample sample{};
  if (parse_sample_file(data, size, sample)) (void)serialize_sample(sample, true);
  // The same bytes as a WAV, AIFF or FLAC sample, kept one byte a frame
  // and converted to a rate the size picks (the converter's path with
  // whatever rate and channel count the file names).
  static constexpr int32_t kRates[] = {0, 16726, 8000, 96000};
  ImportedSample imported;
  if (import_audio_sample(data, size, imported, kRates[size % 4]).status == kImportDone &&
      sample_from_import(imported, sample))
    (void)serialize_sample(sample, false);
  std::free(sample.data);

  PatternCell cells[kPatternCells];
  for (size_t count : {kTrackCells, kPatternCells})
    if (parse_cells(data, size, cells, count).ok) (void)serialize_cells(cells, count);
  return 0;
}
