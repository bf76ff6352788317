// Scripted sessions: input events read from a text file, one command a
// line, fed to the program as a window would feed them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum ScriptVerb : int32_t {
  kScriptKey,     // key NAME [MOD...]
  kScriptHold,    // hold NAME FRAMES [MOD...]
  kScriptType,    // type TEXT
  kScriptClick,   // click X Y [right]
  kScriptDrag,    // drag X1 Y1 X2 Y2
  kScriptDrop,    // drop PATH
  kScriptClose,   // close
  kScriptWait,    // wait N
  kScriptShot,    // shot FILE.png
  kScriptWheel,   // wheel X Y N
  kScriptSave,    // save PATH
  kScriptAbort,   // abort
  kScriptListen,  // listen FILE.wav
};

struct ScriptCommand {
  ScriptVerb verb;
  int32_t line;
  int32_t scancode;        // key, hold
  int32_t modifiers;       // key, hold: scancodes of held modifier keys as bits (kScriptMod*)
  int32_t frames;          // hold, wait
  int32_t x1, y1, x2, y2;  // x2 holds a wheel's notches
  bool right;              // click with the right button
  std::string text;        // type, drop, shot
};

// Modifier keys a key command holds, as bits.
enum ScriptModifier : int32_t {
  kScriptModShift = 1,
  kScriptModAlt = 2,
  kScriptModCtrl = 4,
  kScriptModSuper = 8,
  kScriptModRightAlt = 16,
  kScriptModRightCtrl = 32,
  kScriptModRightShift = 64,
};

// The USB HID usage number of a key name ("a", "Return", "KP_Enter", ...),
// or -1 for a name not known.
int32_t script_scancode(const std::string& name);
// The key that types a character, and whether Shift is held for it;
// scancode -1 for a character no key types.
struct ScriptCharKey {
  int32_t scancode;
  bool shift;
};
ScriptCharKey script_char_key(char c);
// The scancode of each modifier bit, in bit order.
int32_t script_modifier_scancode(int32_t bit);

// Parses the whole text. On a line it cannot read, returns false with
// `error` set to "LINE: reason"; nothing is run then.
bool parse_script(const std::string& text, std::vector<ScriptCommand>& commands,
                  std::string& error);
