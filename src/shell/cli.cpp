#include "shell/cli.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/player.h"
#include "engine/song_render.h"
#include "files/module_format.h"
#include "files/wav.h"
#include "shell/program_dir.h"

namespace {

constexpr int32_t kRate = 44100;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

const char kUsage[] =
    "usage: tetrad [--scale N] [--fullscreen] [--play] [MODULE]\n"
    "       tetrad --screenshot OUT.png [--frames N] [--play] [MODULE]\n"
    "       tetrad --render MODULE OUT.wav [--max-seconds N]\n"
    "       tetrad --info MODULE\n"
    "       tetrad --help | --version\n";

const char kHelp[] =
    "\n"
    "  MODULE               an \"M.K.\" module to load at start\n"
    "  --scale N            window scale factor 1..4 (default: the largest that fits)\n"
    "  --fullscreen         start in full screen\n"
    "  --play               start playing the song at once\n"
    "  --screenshot OUT.png run N frames (default 1) without window or sound card,\n"
    "                       then write the screen as a PNG\n"
    "  --render MODULE OUT  play the song once into a 16-bit stereo 44100 Hz WAV,\n"
    "                       ending where the song repeats (at most --max-seconds,\n"
    "                       default 1200)\n"
    "  --info MODULE        print the song name, length, patterns and samples\n";

int usage_error(const char* what) {
  std::fprintf(stderr, "tetrad: %s\n%s", what, kUsage);
  return kExitUsage;
}

int file_error(const char* path, const char* reason) {
  std::fprintf(stderr, "tetrad: %s: %s\n", path, reason);
  return kExitFailure;
}

// Loads a module for a batch command; null after printing why not.
Player* load_for_batch(const char* path) {
  std::vector<uint8_t> bytes;
  FileResult result = read_whole_file(path, kMaxModuleFileBytes, bytes);
  if (!result.ok) {
    file_error(path, result.reason);
    return nullptr;
  }
  Player* player = player_create(kRate);
  result = parse_module(bytes.data(), bytes.size(), player, kKindModule, nullptr);
  if (!result.ok) {
    file_error(path, result.reason);
    player_destroy(player);
    return nullptr;
  }
  return player;
}

// Names are fixed fields, not always terminated.
std::string field_text(const char* field, size_t size) {
  return std::string(field, strnlen(field, size));
}

int run_info(const char* path) {
  Player* player = load_for_batch(path);
  if (!player) return kExitFailure;
  std::printf("name:      %s\n", field_text(player->song_name, sizeof player->song_name).c_str());
  std::printf("length:    %d positions\n", player->song_length);
  std::printf("patterns:  %d\n", saved_pattern_count(player));
  std::printf("order:    ");
  for (int p = 0; p < player->song_length; ++p) std::printf(" %d", player->order[p]);
  std::printf(
      "\n\n #  name                    length  loop start  loop length  finetune  volume\n");
  for (int s = 1; s < kSampleCount; ++s) {
    const Sample& sample = player->samples[s];
    int finetune = sample.finetune;
    if (finetune > 7) finetune -= 16;
    std::printf("%2d  %-22s  %6d  %10d  %11d  %8d  %6d\n", s,
                field_text(sample.name, sizeof sample.name).c_str(), sample.length / kFixOne,
                sample.loop_start / kFixOne, sample.loop_length / kFixOne, finetune, sample.volume);
  }
  player_destroy(player);
  return 0;
}

void report_progress(void*, int64_t frames) {
  const int64_t seconds = frames / kRate;
  std::fprintf(stderr, "\rrendering %lld:%02lld", static_cast<long long>(seconds / 60),
               static_cast<long long>(seconds % 60));
}

int run_render(const char* in, const char* out, double max_seconds) {
  Player* player = load_for_batch(in);
  if (!player) return kExitFailure;
  const bool terminal = isatty(STDERR_FILENO);
  const SongRenderProgress progress{report_progress, nullptr};
  const auto max_frames = static_cast<int64_t>(max_seconds * kRate);
  const std::vector<int16_t> frames =
      render_song(player, max_frames, terminal ? &progress : nullptr);
  player_destroy(player);
  if (terminal) std::fputc('\n', stderr);
  const FileResult result = write_file_replacing(out, wav_bytes(frames, 2, kRate));
  if (!result.ok) return file_error(out, result.reason);
  return 0;
}

bool is_option(const char* arg, const char* name) {
  return std::strcmp(arg, name) == 0;
}

}  // namespace

int cli_run(int argc, char** argv) {
  if (argc < 2) return -1;
  const char* command = argv[1];
  if (is_option(command, "--help") || is_option(command, "-h")) {
    if (argc != 2) return usage_error("--help takes no arguments");
    std::printf("Tetrad %s, a four-channel music-module editor and player.\n\n%s%s", TETRAD_VERSION,
                kUsage, kHelp);
    return 0;
  }
  if (is_option(command, "--version")) {
    if (argc != 2) return usage_error("--version takes no arguments");
    std::printf("tetrad %s\n", TETRAD_VERSION);
    return 0;
  }
  if (is_option(command, "--info")) {
    if (argc != 3) return usage_error("--info takes one module");
    return run_info(argv[2]);
  }
  if (is_option(command, "--render")) {
    double max_seconds = 1200;
    std::vector<const char*> files;
    for (int i = 2; i < argc; ++i) {
      if (is_option(argv[i], "--max-seconds")) {
        if (i + 1 >= argc) return usage_error("--max-seconds needs a number");
        char* end = nullptr;
        max_seconds = std::strtod(argv[++i], &end);
        if (*end != '\0' || !(max_seconds > 0) || max_seconds > 24 * 3600)
          return usage_error("--max-seconds needs a number of seconds above 0");
      } else if (argv[i][0] == '-' && argv[i][1] != '\0') {
        return usage_error("unknown option for --render");
      } else {
        files.push_back(argv[i]);
      }
    }
    if (files.size() != 2) return usage_error("--render takes a module and a WAV file");
    return run_render(files[0], files[1], max_seconds);
  }
  return -1;
}
