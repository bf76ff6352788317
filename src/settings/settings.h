// The user's settings: one plain struct, read once at start from
// tetrad.ini. This module alone knows the file's format.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct Settings {
  // [safety]
  int32_t autosave_seconds = 120;  // 0: no autosave
  bool backups = true;             // a save over a file keeps the old one as NAME.bak
  // [keyboard]
  int32_t repeat_delay_ms = 300;  // a held key or button waits this long before repeating
  int32_t repeat_frames = 5;      // then a held key acts again every this many frames
  // [samples]
  // Imported sound files are converted to this many frames a second; the
  // default is the rate C-3 plays at (about 16,726), so C-3 plays them at
  // their own pitch. 0 keeps one byte a frame of the file.
  int32_t import_rate = 16726;
  bool sample_iff = false;  // samples are saved as IFF 8SVX, else raw
  // [midi]
  std::string midi_input;      // part of a port's name; "" the first hardware port, "none" off
  int32_t midi_transpose = 0;  // semitones added to the notes played
  bool midi_velocity = false;  // the velocity also writes a volume command
  // [audio]
  int32_t audio_model = 0;         // 0 exact, 1 a500, 2 a1200
  int32_t audio_separation = 100;  // stereo separation, 0..100 %
  int32_t audio_rate = 44100;      // 44100, 48000 or 96000 Hz
  int32_t audio_clock = 0;         // chip clock of a500/a1200: 0 pal, 1 ntsc
  bool audio_mono = false;         // both sounds centred (F12 switches)
  int32_t audio_buffer = 1024;     // frames the sound card asks for at a time: 256..4096
  // [display]: --scale and --fullscreen win for the run they are given to.
  int32_t display_scale = 0;  // 1..4, 0 the largest that fits
  bool display_fullscreen = false;
  // [dirs]: where the disk op starts for each kind of file; "" where the
  // module given at start is (modules, songs), else the per-user data folder.
  std::string module_dir;
  std::string song_dir;
  std::string sample_dir;
  std::string track_dir;
  std::string pattern_dir;
  std::string library_dir;  // the sample library; "" the ST folder beside the program
};

// A setting whose value is text, taken as written.
struct SettingText {
  const char* section;
  const char* name;
  std::string Settings::*field;
};
// The text setting of that section and name, or null.
const SettingText* find_setting_text(std::string_view section, std::string_view name);

// A number setting of the file: its place, its range, and its words when it
// takes one of them (low..high index them) instead of a number.
struct SettingKey {
  const char* section;
  const char* name;
  int32_t low;
  int32_t high;
  int32_t (*get)(const Settings&);
  void (*set)(Settings&, int32_t);
  const char* const* words = nullptr;
};

// The number setting of that section and name, or null.
const SettingKey* find_setting_key(std::string_view section, std::string_view name);

// A line of the file that was skipped, and why.
struct SettingsProblem {
  int32_t line;  // from 1
  std::string reason;
};

// $XDG_CONFIG_HOME/tetrad/tetrad.ini, else ~/.config/tetrad/tetrad.ini;
// empty when neither variable is set.
std::string settings_path();

// The settings a file's text gives over the defaults; each line that cannot
// be read is skipped and listed in `problems`.
Settings parse_settings(std::string_view text, std::vector<SettingsProblem>& problems);

// Reads the file at `path`. A missing file gives the defaults; every problem
// goes to standard error as one line "tetrad: PATH:LINE: reason".
Settings read_settings(const std::string& path);

// A sample-library entry the user keeps: its name as songs refer to it
// ("st-01:bass") and a comment.
struct Preset {
  std::string name;
  std::string comment;
};
// presets.ini beside the settings file; empty when there is none.
std::string presets_path();
// The entries of a presets file's text, in its order: one section each.
std::vector<Preset> parse_presets(std::string_view text);
// The entries of the file; none when it is missing or unreadable.
std::vector<Preset> read_presets(const std::string& path);
bool write_presets(const std::string& path, const std::vector<Preset>& presets);

// Writes every setting through a temporary file and a rename, creating the
// file's folder when needed. The file's own lines stay as they are (comments,
// unknown keys, their order), with the values of known keys replaced and the
// keys it lacks added to their sections. False, with no file changed, on
// failure.
bool write_settings(const std::string& path, const Settings& settings);
