#include "shell/script.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace {

struct NamedKey {
  const char* name;
  int32_t scancode;
};

// Keys with names; letters and digits are found by arithmetic.
constexpr NamedKey kNamedKeys[] = {
    {"Return", 40},      {"Escape", 41},     {"BackSpace", 42}, {"Tab", 43},
    {"space", 44},       {"-", 45},          {"=", 46},         {"[", 47},
    {"]", 48},           {"\\", 49},         {";", 51},         {"'", 52},
    {"`", 53},           {",", 54},          {".", 55},         {"/", 56},
    {"F1", 58},          {"F2", 59},         {"F3", 60},        {"F4", 61},
    {"F5", 62},          {"F6", 63},         {"F7", 64},        {"F8", 65},
    {"F9", 66},          {"F10", 67},        {"F11", 68},       {"F12", 69},
    {"Delete", 76},      {"Right", 79},      {"Left", 80},      {"Down", 81},
    {"Up", 82},          {"Num_Lock", 83},   {"KP_Divide", 84}, {"KP_Multiply", 85},
    {"KP_Subtract", 86}, {"KP_Add", 87},     {"KP_Enter", 88},  {"KP_1", 89},
    {"KP_2", 90},        {"KP_3", 91},       {"KP_4", 92},      {"KP_5", 93},
    {"KP_6", 94},        {"KP_7", 95},       {"KP_8", 96},      {"KP_9", 97},
    {"KP_0", 98},        {"KP_Decimal", 99}, {"Insert", 73},    {"Home", 74},
    {"End", 77},
};

struct NamedModifier {
  const char* name;
  int32_t bit;
  int32_t scancode;
};

constexpr NamedModifier kModifiers[] = {
    {"shift", kScriptModShift, 225},       {"alt", kScriptModAlt, 226},
    {"ctrl", kScriptModCtrl, 224},         {"super", kScriptModSuper, 227},
    {"ralt", kScriptModRightAlt, 230},     {"rctrl", kScriptModRightCtrl, 228},
    {"rshift", kScriptModRightShift, 229},
};

bool parse_int(const std::string& word, int32_t low, int32_t high, int32_t* out) {
  if (word.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(word.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || value < low || value > high) return false;
  *out = static_cast<int32_t>(value);
  return true;
}

// Words after the verb; the rest of the line for the verbs that take text.
std::string rest_of_line(const std::string& line, const std::string& verb) {
  const size_t at = line.find(verb) + verb.size();
  const size_t first = line.find_first_not_of(" \t", at);
  if (first == std::string::npos) return "";
  const size_t last = line.find_last_not_of(" \t\r");
  return line.substr(first, last - first + 1);
}

// Picture coordinates reach one pixel beyond each edge, where nothing is.
constexpr int32_t kMaxX = 320;
constexpr int32_t kMaxY = 255;
constexpr int32_t kMaxFrames = 1000000;

const char* parse_modifiers(const std::vector<std::string>& words, size_t from,
                            ScriptCommand& command) {
  for (size_t i = from; i < words.size(); ++i) {
    bool found = false;
    for (const NamedModifier& m : kModifiers)
      if (words[i] == m.name) {
        command.modifiers |= m.bit;
        found = true;
      }
    if (!found) return "unknown modifier";
  }
  return nullptr;
}

const char* parse_command(const std::string& line, const std::vector<std::string>& words,
                          ScriptCommand& command) {
  const std::string& verb = words[0];
  const size_t n = words.size();
  if (verb == "key" || verb == "hold") {
    const bool hold = verb == "hold";
    command.verb = hold ? kScriptHold : kScriptKey;
    if (n < (hold ? 3u : 2u)) return hold ? "hold takes a key and frames" : "key takes a key name";
    command.scancode = script_scancode(words[1]);
    if (command.scancode < 0) return "unknown key name";
    command.frames = 1;
    if (hold && !parse_int(words[2], 1, kMaxFrames, &command.frames))
      return "frames must be 1..1000000";
    return parse_modifiers(words, hold ? 3 : 2, command);
  }
  if (verb == "type" || verb == "drop" || verb == "shot" || verb == "save" || verb == "listen") {
    command.verb = verb == "type"     ? kScriptType
                   : verb == "drop"   ? kScriptDrop
                   : verb == "shot"   ? kScriptShot
                   : verb == "listen" ? kScriptListen
                                      : kScriptSave;
    command.text = rest_of_line(line, verb);
    if (command.text.empty()) return "missing text";
    if (command.verb == kScriptType)
      for (const char c : command.text)
        if (script_char_key(c).scancode < 0) return "cannot type that character";
    return nullptr;
  }
  if (verb == "click") {
    command.verb = kScriptClick;
    if (n < 3 || n > 4 || !parse_int(words[1], 0, kMaxX, &command.x1) ||
        !parse_int(words[2], 0, kMaxY, &command.y1))
      return "click takes X Y [right]";
    if (n == 4 && words[3] != "right") return "click takes X Y [right]";
    command.right = n == 4;
    return nullptr;
  }
  if (verb == "drag") {
    command.verb = kScriptDrag;
    if (n != 5 || !parse_int(words[1], 0, kMaxX, &command.x1) ||
        !parse_int(words[2], 0, kMaxY, &command.y1) ||
        !parse_int(words[3], 0, kMaxX, &command.x2) || !parse_int(words[4], 0, kMaxY, &command.y2))
      return "drag takes X1 Y1 X2 Y2";
    return nullptr;
  }
  if (verb == "wait") {
    command.verb = kScriptWait;
    if (n != 2 || !parse_int(words[1], 0, kMaxFrames, &command.frames))
      return "wait takes 0..1000000 frames";
    return nullptr;
  }
  if (verb == "wheel") {
    command.verb = kScriptWheel;
    if (n != 4 || !parse_int(words[1], 0, kMaxX, &command.x1) ||
        !parse_int(words[2], 0, kMaxY, &command.y1) ||
        !parse_int(words[3], -kMaxFrames, kMaxFrames, &command.x2))
      return "wheel takes X Y N";
    return nullptr;
  }
  if (verb == "close" || verb == "abort") {
    command.verb = verb == "close" ? kScriptClose : kScriptAbort;
    return n == 1 ? nullptr : "close and abort take nothing";
  }
  return "unknown command";
}

}  // namespace

int32_t script_scancode(const std::string& name) {
  if (name.size() == 1) {
    const char c = name[0];
    if (c >= 'a' && c <= 'z') return 4 + (c - 'a');
    if (c >= '1' && c <= '9') return 30 + (c - '1');
    if (c == '0') return 39;
  }
  for (const NamedKey& key : kNamedKeys)
    if (name == key.name) return key.scancode;
  // A modifier pressed alone (the right-hand ones play and record).
  for (const NamedModifier& m : kModifiers)
    if (name == m.name) return m.scancode;
  return -1;
}

ScriptCharKey script_char_key(char c) {
  // Shifted characters of the US layout, beside the keys that type them.
  static constexpr char kShifted[] = "!@#$%^&*()_+{}|:\"~<>?";
  static constexpr char kPlain[] = "1234567890-=[]\\;'`,./";
  if (c >= 'A' && c <= 'Z')
    return {script_scancode(std::string(1, static_cast<char>(c - 'A' + 'a'))), true};
  if (c == ' ') return {script_scancode("space"), false};
  for (size_t i = 0; kShifted[i]; ++i)
    if (c == kShifted[i]) return {script_scancode(std::string(1, kPlain[i])), true};
  const int32_t scancode = script_scancode(std::string(1, c));
  return {scancode, false};
}

int32_t script_modifier_scancode(int32_t bit) {
  for (const NamedModifier& m : kModifiers)
    if (m.bit == bit) return m.scancode;
  return -1;
}

bool parse_script(const std::string& text, std::vector<ScriptCommand>& commands,
                  std::string& error) {
  std::istringstream in(text);
  std::string line;
  for (int32_t number = 1; std::getline(in, line); ++number) {
    const size_t hash = line.find('#');
    // A '#' is a comment unless it is text being typed or a path.
    std::istringstream words_in(line);
    std::vector<std::string> words;
    for (std::string w; words_in >> w;) words.push_back(w);
    if (words.empty() || words[0][0] == '#') continue;
    const bool takes_text = words[0] == "type" || words[0] == "drop" || words[0] == "shot" ||
                            words[0] == "save" || words[0] == "listen";
    if (!takes_text && hash != std::string::npos) {
      line.resize(hash);
      words.clear();
      std::istringstream again(line);
      for (std::string w; again >> w;) words.push_back(w);
    }
    ScriptCommand command{};
    command.line = number;
    if (const char* reason = parse_command(line, words, command)) {
      error = std::to_string(number) + ": " + reason;
      return false;
    }
    commands.push_back(command);
  }
  return true;
}
