#include "shell/cli.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/editing.h"
#include "engine/machine_mix.h"
#include "engine/player.h"
#include "engine/song_render.h"
#include "files/audio_out.h"
#include "files/module_format.h"
#include "shell/program_dir.h"

namespace {

constexpr int32_t kRate = 44100;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

const char kUsage[] =
    "usage: tetrad [--scale N] [--fullscreen] [--play] [MODULE]\n"
    "       tetrad --screenshot OUT.png [--frames N] [--play] [MODULE]\n"
    "       tetrad --script FILE [--play] [MODULE]\n"
    "       tetrad --render MODULE OUT [--stems] [--max-seconds N] [--model M]\n"
    "                       [--separation N] [--rate N] [--clock pal|ntsc]\n"
    "       tetrad --info MODULE\n"
    "       tetrad --help | --version\n";

const char kHelp[] =
    "\n"
    "  MODULE               a four-channel module (M.K., M!K!, 4CHN, FLT4) to load\n"
    "  --scale N            window scale factor 1..4 (default: the largest that fits)\n"
    "  --fullscreen         start in full screen\n"
    "  --play               start playing the song at once\n"
    "  --screenshot OUT.png run N frames (default 1) without window or sound card,\n"
    "                       then write the screen as a PNG\n"
    "  --script FILE        run the input events of FILE without window or sound\n"
    "                       card: key, hold, type, click, drag, drop, close,\n"
    "                       wait and shot (a PNG of the screen), one a line\n"
    "  --render MODULE OUT  play the song once into a 16-bit stereo file,\n"
    "                       ending where the song repeats (at most --max-seconds,\n"
    "                       default 1200); OUT.wav, OUT.flac or OUT.aiff, or - for\n"
    "                       a WAV on standard output\n"
    "  --stems              with --render, also write each channel alone beside OUT\n"
    "                       (OUT-1.wav .. OUT-4.wav); the four add up to OUT\n"
    "  --model M            with --render, the output model: exact (default), a500\n"
    "                       or a1200 (band-limited, with the machine's filters)\n"
    "  --separation N       with --render, stereo separation 0..100 % (default 100)\n"
    "  --rate N             with --render, 44100 (default), 48000 or 96000 Hz\n"
    "  --clock pal|ntsc     with --render, the a500/a1200 chip clock (default pal)\n"
    "  --info MODULE        print the song name, length, patterns and samples\n";

int usage_error(const char* what) {
  std::fprintf(stderr, "tetrad: %s\n%s", what, kUsage);
  return kExitUsage;
}

int file_error(const char* path, const char* reason) {
  std::fprintf(stderr, "tetrad: %s: %s\n", path, reason);
  return kExitFailure;
}

// Loads a module for a batch command; null after printing why not. A module
// that lacks some of its sample data loads; `missing` gets how many bytes.
Player* load_for_batch(const char* path, int64_t* missing = nullptr) {
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
  if (missing) *missing = result.missing_bytes;
  return player;
}

// Names are fixed fields, not always terminated.
std::string field_text(const char* field, size_t size) {
  return std::string(field, strnlen(field, size));
}

int run_info(const char* path) {
  int64_t missing = 0;
  Player* player = load_for_batch(path, &missing);
  if (!player) return kExitFailure;
  if (missing > 0) std::printf("truncated: %lld bytes missing\n", static_cast<long long>(missing));
  std::printf("name:      %s\n", field_text(player->song_name, sizeof player->song_name).c_str());
  std::printf("format:    %s\n", field_text(player->signature, sizeof player->signature).c_str());
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

void report_progress(void* rate, int64_t frames) {
  const int64_t seconds = frames / *static_cast<const int32_t*>(rate);
  std::fprintf(stderr, "\rrendering %lld:%02lld", static_cast<long long>(seconds / 60),
               static_cast<long long>(seconds % 60));
}

// OUT.wav gives OUT-1.wav .. OUT-4.wav: the number goes before the extension.
std::string stem_path(const std::string& out, int channel) {
  const size_t slash = out.rfind('/');
  const size_t dot = out.rfind('.');
  const size_t at =
      dot != std::string::npos && (slash == std::string::npos || dot > slash) ? dot : out.size();
  return out.substr(0, at) + "-" + std::to_string(channel + 1) + out.substr(at);
}

// The files of one render: the mix, then the stems when asked for.
struct RenderFiles {
  AudioWriter* writers[1 + kChannels];
  int count;
};

bool write_block(void* context, const SongBlock& block) {
  auto* files = static_cast<RenderFiles*>(context);
  bool ok = audio_writer_write(files->writers[0], block.mix, block.frames);
  for (int c = 0; ok && block.stems && c < kChannels; ++c)
    ok = audio_writer_write(files->writers[1 + c], block.stems[c], block.frames);
  return ok;
}

// Frames the render will have, found by running the replayer alone on a
// copy of the module, for outputs that need the length before the data.
int64_t song_frames(const char* in, int64_t max_frames, int32_t rate) {
  Player* player = load_for_batch(in);
  if (!player) return -1;
  set_output_rate(*player, rate);
  const int64_t frames = render_song(player, max_frames, nullptr, false, nullptr);
  player_destroy(player);
  return frames;
}

int run_render(const char* in, const char* out, double max_seconds, bool stems,
               const MixSettings& mix) {
  const auto max_frames = static_cast<int64_t>(max_seconds * mix.rate);
  const bool to_stdout = std::strcmp(out, "-") == 0;
  const int64_t known = to_stdout ? song_frames(in, max_frames, mix.rate) : -1;
  if (to_stdout && known < 0) return kExitFailure;
  int64_t missing = 0;
  Player* player = load_for_batch(in, &missing);
  if (!player) return kExitFailure;
  set_output_rate(*player, mix.rate);
  if (missing > 0)
    std::fprintf(stderr, "tetrad: %s: truncated: %lld bytes missing, rendered as silence\n", in,
                 static_cast<long long>(missing));
  RenderFiles files{{}, 0};
  std::string failed_path;
  FileResult result = kFileOk;
  for (int i = 0; i < (stems ? 1 + kChannels : 1) && result.ok; ++i) {
    const std::string path = i == 0 ? std::string(out) : stem_path(out, i - 1);
    files.writers[i] = audio_writer_open(path.c_str(), 2, mix.rate, known, result);
    if (!result.ok) failed_path = path;
    if (result.ok) files.count = i + 1;
  }
  if (result.ok) {
    const bool terminal = isatty(STDERR_FILENO);
    int32_t rate = mix.rate;
    const SongRenderProgress progress{report_progress, &rate};
    const SongSink sink{write_block, &files};
    const int64_t frames =
        render_song(player, max_frames, &sink, stems, terminal ? &progress : nullptr, mix);
    if (terminal) std::fputc('\n', stderr);
    if (frames < 0) {
      result = file_refusal(FileError::kWriteFailed);
      failed_path = out;
    }
  }
  player_destroy(player);
  // Either every file takes its name or none does.
  for (int i = 0; i < files.count; ++i) {
    if (result.ok) {
      result = audio_writer_finish(files.writers[i]);
      if (!result.ok) failed_path = i == 0 ? std::string(out) : stem_path(out, i - 1);
    } else {
      audio_writer_discard(files.writers[i]);
    }
  }
  if (!result.ok) return file_error(failed_path.c_str(), result.reason);
  return 0;
}

bool is_option(const char* arg, const char* name) {
  return std::strcmp(arg, name) == 0;
}

// A whole number in [low, high]; false for anything else.
bool parse_count(const char* text, int32_t low, int32_t high, int32_t& value) {
  char* end = nullptr;
  const long v = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || v < low || v > high) return false;
  value = static_cast<int32_t>(v);
  return true;
}

// One of the output flags of --render at argv[i] (taking its value);
// null when it was read, else the usage error.
const char* parse_mix_option(int argc, char** argv, int& i, MixSettings& mix, bool& taken) {
  const char* flag = argv[i];
  taken = is_option(flag, "--model") || is_option(flag, "--separation") ||
          is_option(flag, "--rate") || is_option(flag, "--clock");
  if (!taken) return nullptr;
  const char* value = i + 1 < argc ? argv[++i] : "";
  if (is_option(flag, "--model")) {
    for (int m = 0; m < kOutputModelCount; ++m) {
      if (is_option(value, output_model_name(static_cast<OutputModel>(m)))) {
        mix.model = static_cast<OutputModel>(m);
        return nullptr;
      }
    }
    return "--model takes exact, a500 or a1200";
  }
  if (is_option(flag, "--separation"))
    return parse_count(value, 0, 100, mix.separation) ? nullptr
                                                      : "--separation takes a percentage 0..100";
  if (is_option(flag, "--rate")) {
    int32_t rate = 0;
    for (const int32_t r : kOutputRates)
      if (parse_count(value, r, r, rate)) mix.rate = rate;
    return rate ? nullptr : "--rate takes 44100, 48000 or 96000";
  }
  if (is_option(value, "pal") || is_option(value, "ntsc")) {
    mix.clock = is_option(value, "pal") ? MachineClock::kPal : MachineClock::kNtsc;
    return nullptr;
  }
  return "--clock takes pal or ntsc";
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
    bool stems = false;
    // The settings file is not read: a render depends on its flags alone.
    MixSettings mix = kExactMix;
    std::vector<const char*> files;
    for (int i = 2; i < argc; ++i) {
      bool taken = false;
      if (const char* error = parse_mix_option(argc, argv, i, mix, taken))
        return usage_error(error);
      if (taken) continue;
      if (is_option(argv[i], "--stems")) {
        stems = true;
      } else if (is_option(argv[i], "--max-seconds")) {
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
    if (files.size() != 2) return usage_error("--render takes a module and an output file");
    if (audio_format_of_path(files[1]) == kAudioUnknown) {
      const std::string what = std::string("the output file must end in ") + kAudioExtensions +
                               ", or be - for a WAV on standard output";
      return usage_error(what.c_str());
    }
    if (stems && std::strcmp(files[1], "-") == 0)
      return usage_error("--stems needs an output file, not standard output");
    return run_render(files[0], files[1], max_seconds, stems, mix);
  }
  return -1;
}
