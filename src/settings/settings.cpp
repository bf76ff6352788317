#include "settings/settings.h"

#include <fcntl.h>
#include <ini.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

using Key = SettingKey;

constexpr const char* kModels[] = {"exact", "a500", "a1200"};
constexpr int32_t kRates[] = {44100, 48000, 96000};
constexpr const char* kRateWords[] = {"44100", "48000", "96000"};
constexpr const char* kClocks[] = {"pal", "ntsc"};
constexpr const char* kStereo[] = {"stereo", "mono"};
constexpr const char* kSampleFormats[] = {"raw", "iff"};
// Powers of two: what every sound card takes.
constexpr const char* kBufferWords[] = {"256", "512", "1024", "2048", "4096"};

int32_t buffer_index(const Settings& s) {
  int32_t index = 0;
  while (index < 4 && (256 << index) < s.audio_buffer) ++index;
  return index;
}

int32_t rate_index(const Settings& s) {
  for (int32_t i = 0; i < 3; ++i)
    if (kRates[i] == s.audio_rate) return i;
  return 0;
}

constexpr Key kKeys[] = {
    {"safety", "autosave_seconds", 0, 86400, [](const Settings& s) { return s.autosave_seconds; },
     [](Settings& s, int32_t v) { s.autosave_seconds = v; }},
    {"safety", "backups", 0, 1, [](const Settings& s) { return int32_t{s.backups}; },
     [](Settings& s, int32_t v) { s.backups = v != 0; }},
    {"keyboard", "repeat_delay_ms", 0, 2000, [](const Settings& s) { return s.repeat_delay_ms; },
     [](Settings& s, int32_t v) { s.repeat_delay_ms = v; }},
    {"keyboard", "repeat_frames", 1, 30, [](const Settings& s) { return s.repeat_frames; },
     [](Settings& s, int32_t v) { s.repeat_frames = v; }},
    {"samples", "import_rate", 0, 96000, [](const Settings& s) { return s.import_rate; },
     [](Settings& s, int32_t v) { s.import_rate = v; }},
    {"samples", "format", 0, 1, [](const Settings& s) { return int32_t{s.sample_iff}; },
     [](Settings& s, int32_t v) { s.sample_iff = v != 0; }, kSampleFormats},
    {"midi", "transpose", -48, 48, [](const Settings& s) { return s.midi_transpose; },
     [](Settings& s, int32_t v) { s.midi_transpose = v; }},
    {"midi", "velocity", 0, 1, [](const Settings& s) { return int32_t{s.midi_velocity}; },
     [](Settings& s, int32_t v) { s.midi_velocity = v != 0; }},
    {"audio", "model", 0, 2, [](const Settings& s) { return s.audio_model; },
     [](Settings& s, int32_t v) { s.audio_model = v; }, kModels},
    {"audio", "separation", 0, 100, [](const Settings& s) { return s.audio_separation; },
     [](Settings& s, int32_t v) { s.audio_separation = v; }},
    {"audio", "rate", 0, 2, rate_index, [](Settings& s, int32_t v) { s.audio_rate = kRates[v]; },
     kRateWords},
    {"audio", "clock", 0, 1, [](const Settings& s) { return s.audio_clock; },
     [](Settings& s, int32_t v) { s.audio_clock = v; }, kClocks},
    {"audio", "stereo", 0, 1, [](const Settings& s) { return int32_t{s.audio_mono}; },
     [](Settings& s, int32_t v) { s.audio_mono = v != 0; }, kStereo},
    {"audio", "buffer", 0, 4, buffer_index,
     [](Settings& s, int32_t v) { s.audio_buffer = 256 << v; }, kBufferWords},
    {"display", "scale", 0, 4, [](const Settings& s) { return s.display_scale; },
     [](Settings& s, int32_t v) { s.display_scale = v; }},
    {"display", "fullscreen", 0, 1, [](const Settings& s) { return int32_t{s.display_fullscreen}; },
     [](Settings& s, int32_t v) { s.display_fullscreen = v != 0; }},
};

// Keys whose value is text, taken as written (inih trims the spaces).
using TextKey = SettingText;

constexpr TextKey kTextKeys[] = {
    {"midi", "input", &Settings::midi_input},    {"dirs", "modules", &Settings::module_dir},
    {"dirs", "songs", &Settings::song_dir},      {"dirs", "samples", &Settings::sample_dir},
    {"dirs", "tracks", &Settings::track_dir},    {"dirs", "patterns", &Settings::pattern_dir},
    {"dirs", "library", &Settings::library_dir},
};

// inih reads lines of up to 199 characters; a longer one would be split.
constexpr size_t kLongestLine = 190;
// Stands after the line in the text handed to inih; the section it is seen
// in is the section the line leaves in force.
constexpr char kProbe[] = "tetrad-probe";

struct Pair {
  std::string section, name, value;
};

int take_pair(void* user, const char* section, const char* name, const char* value) {
  static_cast<std::vector<Pair>*>(user)->push_back({section, name, value});
  return 1;
}

bool is_comment(std::string_view line) {
  const size_t start = line.find_first_not_of(" \t\r");
  return start == std::string_view::npos || line[start] == ';' || line[start] == '#';
}

// The reason a pair cannot be taken as written, empty when it was. A number
// out of range is taken clamped, and said so.
std::string take(Settings& settings, const Pair& pair) {
  for (const TextKey& key : kTextKeys) {
    if (pair.section != key.section || pair.name != key.name) continue;
    settings.*key.field = pair.value;
    return {};
  }
  for (const Key& key : kKeys) {
    if (pair.section != key.section || pair.name != key.name) continue;
    if (key.words) {
      std::string listed;
      for (int32_t i = key.low; i <= key.high; ++i) {
        if (pair.value == key.words[i]) {
          key.set(settings, i);
          return {};
        }
        listed += std::string(i > key.low ? ", " : "") + key.words[i];
      }
      return "bad value '" + pair.value + "' for " + key.name + " (" + listed + ")";
    }
    int32_t value = 0;
    const char* end = pair.value.data() + pair.value.size();
    const auto [stop, error] = std::from_chars(pair.value.data(), end, value);
    const std::string range = std::to_string(key.low) + ".." + std::to_string(key.high);
    if (error != std::errc() || stop != end)
      return "bad value '" + pair.value + "' for " + key.name + " (" + range + ")";
    key.set(settings, std::clamp(value, key.low, key.high));
    if (value >= key.low && value <= key.high) return {};
    return "clamped " + pair.value + " to " + range + " for " + key.name;
  }
  return "unknown key '" + pair.name + "' in [" + pair.section + "]";
}

// The first line of `text`, taken off it.
std::string_view next_line(std::string_view& text) {
  const size_t end = text.find('\n');
  const std::string_view line = text.substr(0, end);
  text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  return line;
}

// What one line of the file says: the pair it sets, if any, or why it
// cannot be read.
struct Line {
  bool sets = false;
  Pair pair;
  std::string reason;
};

// inih parses each line alone, after the section in force, so that every
// bad line is found, not just the first, and its number is known.
// `section` becomes the section the line leaves in force.
Line read_line(std::string_view line, std::string& section) {
  if (line.find('\0') != std::string_view::npos) return {false, {}, "unreadable line"};
  if (line.size() > kLongestLine) return {false, {}, is_comment(line) ? "" : "line too long"};
  std::string text = "[" + section + "]\n";
  text.append(line);
  text += std::string("\n") + kProbe + "=\n";
  std::vector<Pair> pairs;
  if (ini_parse_string(text.c_str(), take_pair, &pairs) != 0) return {false, {}, "syntax error"};
  section = pairs.back().section;
  if (pairs.size() != 2) return {};
  return {true, pairs.front(), {}};
}

bool make_parent_folders(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1)) {
    const std::string folder = path.substr(0, slash);
    if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  return true;
}

// The text a known key is written with; false for a key the program does
// not know.
bool value_text(const Settings& settings, const std::string& section, const std::string& name,
                std::string& text) {
  if (const TextKey* key = find_setting_text(section, name)) {
    text = settings.*key->field;
    return true;
  }
  const Key* key = find_setting_key(section, name);
  if (!key) return false;
  const int32_t value = std::clamp(key->get(settings), key->low, key->high);
  text = key->words ? std::string(key->words[value]) : std::to_string(value);
  return true;
}

// An empty value leaves no space after the '='.
std::string key_line(const std::string& name, const std::string& value) {
  return name + (value.empty() ? " =\n" : " = " + value + "\n");
}

// Every known key as "section" and "name", sections in a stable order.
std::vector<std::pair<std::string, std::string>> known_keys() {
  std::vector<std::pair<std::string, std::string>> keys;
  std::vector<std::string> sections;
  for (const Key& key : kKeys) sections.push_back(key.section);
  for (const TextKey& key : kTextKeys) sections.push_back(key.section);
  for (size_t i = 0; i < sections.size(); ++i) {
    if (std::find(sections.begin(), sections.begin() + static_cast<ptrdiff_t>(i), sections[i]) !=
        sections.begin() + static_cast<ptrdiff_t>(i))
      continue;
    for (const Key& key : kKeys)
      if (sections[i] == key.section) keys.emplace_back(key.section, key.name);
    for (const TextKey& key : kTextKeys)
      if (sections[i] == key.section) keys.emplace_back(key.section, key.name);
  }
  return keys;
}

// The old file's lines with every known key's value replaced; the keys a
// section lacks go at its end (before its trailing blank lines), sections it
// lacks at the end of the file.
std::string format_settings(const Settings& settings, std::string_view old) {
  const auto keys = known_keys();
  std::vector<bool> written(keys.size(), false);
  std::string text =
      old.empty() ? "; Tetrad's settings; a line that cannot be read is skipped.\n" : "";
  auto add_missing = [&](const std::string& section, bool with_header) {
    std::string lines = with_header ? "\n[" + section + "]\n" : "";
    for (size_t i = 0; i < keys.size(); ++i) {
      if (written[i] || keys[i].first != section) continue;
      std::string value;
      value_text(settings, keys[i].first, keys[i].second, value);
      lines += key_line(keys[i].second, value);
      written[i] = true;
    }
    if (lines.empty() || lines == "\n[" + section + "]\n") return;
    size_t at = text.size();
    while (!with_header && at >= 2 && text[at - 1] == '\n' && text[at - 2] == '\n') --at;
    text.insert(at, lines);
  };
  std::string section;
  if (old.substr(0, 3) == "\xEF\xBB\xBF") {
    text += old.substr(0, 3);
    old.remove_prefix(3);
  }
  while (!old.empty()) {
    const std::string_view line = next_line(old);
    const std::string before = section;
    const Line read = read_line(line, section);
    if (section != before) add_missing(before, false);
    std::string value;
    if (read.sets && value_text(settings, read.pair.section, read.pair.name, value)) {
      const auto at =
          std::find(keys.begin(), keys.end(),
                    std::pair<std::string, std::string>(read.pair.section, read.pair.name));
      written[static_cast<size_t>(at - keys.begin())] = true;
      text += key_line(read.pair.name, value);
    } else {
      text.append(line);
      text += "\n";
    }
  }
  add_missing(section, false);
  for (const auto& key : keys) add_missing(key.first, true);
  return text;
}

}  // namespace

const SettingKey* find_setting_key(std::string_view section, std::string_view name) {
  for (const Key& key : kKeys)
    if (section == key.section && name == key.name) return &key;
  return nullptr;
}

const SettingText* find_setting_text(std::string_view section, std::string_view name) {
  for (const TextKey& key : kTextKeys)
    if (section == key.section && name == key.name) return &key;
  return nullptr;
}

std::string settings_path() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && config[0] == '/') return std::string(config) + "/tetrad/tetrad.ini";
  const char* home = std::getenv("HOME");
  if (home && home[0]) return std::string(home) + "/.config/tetrad/tetrad.ini";
  return {};
}

Settings parse_settings(std::string_view text, std::vector<SettingsProblem>& problems) {
  Settings settings;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::string section;
  int32_t number = 0;
  while (!text.empty()) {
    const std::string_view line = next_line(text);
    ++number;
    const Line read = read_line(line, section);
    std::string reason = read.sets ? take(settings, read.pair) : read.reason;
    if (!reason.empty()) problems.push_back({number, std::move(reason)});
  }
  return settings;
}

namespace {

// The whole file; false when it cannot be read, with errno saying why.
bool read_text_file(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::stringstream whole;
  whole << in.rdbuf();
  text = whole.str();
  return true;
}

}  // namespace

Settings read_settings(const std::string& path) {
  if (path.empty()) return {};
  std::string text;
  if (!read_text_file(path, text)) {
    if (errno != ENOENT) std::fprintf(stderr, "tetrad: %s: cannot read the file\n", path.c_str());
    return {};
  }
  std::vector<SettingsProblem> problems;
  const Settings settings = parse_settings(text, problems);
  for (const SettingsProblem& problem : problems)
    std::fprintf(stderr, "tetrad: %s:%d: %s\n", path.c_str(), problem.line, problem.reason.c_str());
  return settings;
}

namespace {

// Through a temporary file and a rename, making the file's folder.
bool write_text_file(const std::string& path, const std::string& text) {
  if (!make_parent_folders(path)) return false;
  std::string temp = path + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return false;
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  const bool written = done == text.size() && fchmod(fd, 0644) == 0 && fsync(fd) == 0;
  if (close(fd) != 0 || !written || std::rename(temp.c_str(), path.c_str()) != 0) {
    unlink(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace

bool write_settings(const std::string& path, const Settings& settings) {
  // A file that is there but cannot be read is not written over: its lines
  // would be lost.
  std::string old;
  if (!read_text_file(path, old) && errno != ENOENT) return false;
  return write_text_file(path, format_settings(settings, old));
}

std::string presets_path() {
  const std::string settings = settings_path();
  return settings.empty() ? settings : settings.substr(0, settings.rfind('/')) + "/presets.ini";
}

std::vector<Preset> parse_presets(std::string_view text) {
  // Line by line, so that a section with no key under it is an entry too.
  std::vector<Preset> presets;
  std::string section;
  while (!text.empty()) {
    const std::string_view line = next_line(text);
    const std::string before = section;
    const Line read = read_line(line, section);
    if (section != before) presets.push_back({section, ""});
    if (read.sets && read.pair.name == "comment" && !presets.empty())
      presets.back().comment = read.pair.value;
  }
  return presets;
}

std::vector<Preset> read_presets(const std::string& path) {
  std::string text;
  return read_text_file(path, text) ? parse_presets(text) : std::vector<Preset>{};
}

bool write_presets(const std::string& path, const std::vector<Preset>& presets) {
  std::string text = "; Tetrad's sample presets: [library name], then its comment.\n";
  for (const Preset& preset : presets)
    text += "\n[" + preset.name + "]\ncomment = " + preset.comment + "\n";
  return write_text_file(path, text);
}
