// The keyboard and the requesters as the main loop drives them: each case
// types a key sequence (and clicks), frame by frame, and then checks named
// fields, pattern cells, channels and pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <sstream>
#include <string>

#include "../engine/module_builder.h"
#include "../fields.h"
#include "../render/screen_fixture.h"
#include "edit/keyboard.h"
#include "edit/requesters.h"
#include "engine/audio_lock.h"
#include "shell/screens.h"

namespace {

// PC set-1 scan codes; extended keys + 0x80.
int32_t key_code(const std::string& name) {
  static const std::pair<const char*, int32_t> kNamed[] = {
      {"esc", 0x01},  {"bksp", 0x0E}, {"tab", 0x0F},     {"ret", 0x1C},   {"space", 0x39},
      {"<", 0x56},    {",", 0x33},    {"rshift", 0x36},  {"ralt", 0xB8},  {"rcmd", 0x9D},
      {"up", 0xC8},   {"down", 0xD0}, {"left", 0xCB},    {"right", 0xCD}, {"del", 0xD3},
      {"num7", 0x47}, {"num0", 0x52}, {"numlock", 0x45}, {"f10", 0x44},   {"unknown", 0x59}};
  for (const auto& [n, code] : kNamed)
    if (name == n) return code;
  if (name.size() == 2 && name[0] == 'f') return 0x3A + (name[1] - '0');
  static const char* kRows[] = {"1234567890", "qwertyuiop", "asdfghjkl", "zxcvbnm"};
  static const int32_t kFirst[] = {0x02, 0x10, 0x1E, 0x2C};
  for (int r = 0; r < 4; ++r)
    if (const char* at = name.size() == 1 ? std::strchr(kRows[r], name[0]) : nullptr)
      return kFirst[r] + static_cast<int32_t>(at - kRows[r]);
  ADD_FAILURE() << "no key " << name;
  return 0;
}

struct Keyboard {
  screen_test::Screen screen;
  EditorState& s = screen.state;
  Player* p = s.player;
  int32_t answer = 0;  // the yes/no question's last answer, 1 yes

  Keyboard() {
    const int32_t marks[5] = {0, 16, 32, 48, 63};
    std::memcpy(s.selection.row_marks, marks, sizeof marks);
    s.input.repeat_frames = Settings{}.repeat_frames;
    test_module::make_constant_sample(p, 1, 1000, 20, 40);
    test_module::make_constant_sample(p, 2, 3000, -20, 64);
  }

  // A trailing digit numbers a channel, a mark, a sample or an order entry.
  int32_t* field(const std::string& name) {
    const bool numbered = name.size() > 1 && isdigit(name.back());
    const int n = numbered ? name.back() - '0' : 0;
    ChannelState& ch = p->channels[n & 3];
    Sample& smp = p->samples[n];
    fields::Named named = {{"row", &p->shown_row},
                           {"prow", &p->row},
                           {"pos", &p->song_position},
                           {"pat", &p->current_pattern},
                           {"play", &p->play_mode},
                           {"filter", &p->filter_enabled},
                           {"tempo", &p->tempo},
                           {"ch", &s.selection.cursor_channel},
                           {"col", &s.selection.cursor_column},
                           {"smp", &s.selection.current_sample},
                           {"skip", &s.selection.edit_skip},
                           {"oct", &s.selection.octave_offset},
                           {"multi", &s.selection.multi_keyboard},
                           {"edit", &s.selection.edit_mode},
                           {"colour", &s.status.pointer_colour},
                           {"dlg", &s.status.dialog},
                           {"quit", &s.status.quit_confirmed}};
    const fields::Named more = {{"answer", &answer},
                                {"spos", &p->shown_position},
                                {"flags", &p->flags},
                                {"listtop", &s.disk_op.list_top},
                                {"listcount", &s.disk_op.list_count},
                                {"blk", &s.edit_buffers.block_marking},
                                {"tcur", &s.text_field.cursor},
                                {"tchar", &s.input.text_char},
                                {"delay", &s.input.repeat_delay_frames},
                                {"every", &s.input.repeat_frames},
                                {"rdown", &s.input.right_down},
                                {"marka", &s.sampler.mark_a}};
    const fields::Named indexed = {
        {"on", &ch.enabled},     {"snd", &ch.sample},     {"per", &ch.period},
        {"vol", &ch.volume},     {"at", &ch.position},    {"mark", s.selection.row_marks + n % 5},
        {"order", p->order + n}, {"fine", &smp.finetune}, {"svol", &smp.volume}};
    named.insert(named.end(), more.begin(), more.end());
    named.insert(named.end(), indexed.begin(), indexed.end());
    return fields::find(named, numbered ? name.substr(0, name.size() - 1) : name);
  }

  // "@row.channel" is a cell of the current pattern, "period:sample:EPP";
  // "pxX.Y" a pixel; "name" the song name's 20 bytes up to the last non-zero
  // one, "." for 0 and "_" for a space.

  std::string get(const std::string& name) {
    int row, channel;
    char text[32];
    if (std::sscanf(name.c_str(), "@%d.%d", &row, &channel) == 2) {
      const PatternCell& c = p->patterns[p->current_pattern][row][channel];
      std::snprintf(text, sizeof text, "%d:%d:%X%02X", c.period, c.sample, c.effect, c.param);
      return text;
    }
    if (std::sscanf(name.c_str(), "px%d.%d", &row, &channel) == 2) {
      std::snprintf(text, sizeof text, "%06X", screen.pixel(row, channel));
      return text;
    }
    if (name == "msg") {
      std::string m = s.status.message;
      for (char& c : m) c = c == ' ' ? '_' : c;
      return m;
    }
    if (name == "name") {
      std::string n(p->song_name, sizeof p->song_name);
      for (char& c : n) c = c == ' ' ? '_' : c ? c : '.';
      return n.substr(0, n.find_last_not_of('.') + 1);
    }
    if (const ScreenId* screen = screen_named(name)) return screen_is_open(s, *screen) ? "1" : "0";
    return std::to_string(*field(name));
  }

  // The screens by their field names.
  static const ScreenId* screen_named(const std::string& name) {
    static constexpr ScreenId kDiskOp = ScreenId::kDiskOp, kSampler = ScreenId::kSampler;
    return name == "diskop" ? &kDiskOp : name == "sampler" ? &kSampler : nullptr;
  }

  // Setup: "name=value" for fields (row sets both rows), "@r.c=p:s:EPP"
  // for cells, "name=TEXT" for the song name; "text=TEXT" also starts
  // editing it in a field of 19 characters.
  void set(const std::string& name, const std::string& value) {
    int row, channel, period, sample, fx;
    if (std::sscanf((name + "=" + value).c_str(), "@%d.%d=%d:%d:%x", &row, &channel, &period,
                    &sample, &fx) == 5) {
      test_module::set_cell(p, p->current_pattern, row, channel, period, sample, fx >> 8, fx & 255);
    } else if (name == "name" || name == "text") {
      std::memset(p->song_name, 0, sizeof p->song_name);
      std::memcpy(p->song_name, value.data(), std::min(value.size(), sizeof p->song_name));
      if (name == "name") return;
      s.status.saved_dialog = s.status.dialog;
      s.status.dialog = kDialogTextField;
      EditContext edit = edit_context(s);
      begin_text_field(104, 107, 100, 110, 19, 0, &edit);
    } else if (const ScreenId* screen = screen_named(name)) {
      set_screen_open(s, *screen, value == "1");
    } else {
      *field(name) = std::stoi(value);
      if (name == "row") p->row = p->shown_row;
    }
  }

  // One frame as in the main loop: the keyboard handler, then each
  // requester and the text field, which act only while the dialog is
  // theirs; the disk-op screen closes its question once it is answered.
  void frame(int32_t code, int32_t modifiers) {
    s.input.key_code = code;
    s.input.modifiers = modifiers;
    EditContext edit = edit_context(s);
    handle_key(code, &edit);
    quit_requester(&edit);
    clear_requester(&edit);
    if (const Answer given = confirm_requester(&edit); given != Answer::kNone) {
      answer = given == Answer::kYes ? 1 : 0;
      s.status.dialog = kDialogNone;
    }
    edit_text_field(&edit);
  }

  // Keys: "[mods+]name[*frames|~]" separated by spaces; mods from S (Shift),
  // A (Alt), M (left command), C (Ctrl). A key is held for its frames and
  // then let go for a frame; "~" holds it one frame without letting go;
  // "_" is a frame without a key; "click:X,Y" a frame with the left button
  // down there; "name=value" sets a field in between.
  void type(const std::string& keys) {
    std::istringstream in(keys);
    for (std::string token; in >> token;) {
      int32_t modifiers = 0;
      if (token == "_") {
        frame(0, 0);
      } else if (std::sscanf(token.c_str(), "click:%d,%d", &s.input.mouse_x, &s.input.mouse_y) ==
                 2) {
        s.input.left_held = 1;
        frame(0, 0);
        s.input.left_held = 0;
      } else if (const size_t eq = token.find('='); eq != std::string::npos && eq > 0) {
        set(token.substr(0, eq), token.substr(eq + 1));
      } else {
        if (const size_t plus = token.find('+');
            plus != std::string::npos && plus + 1 < token.size()) {
          for (char m : token.substr(0, plus))
            modifiers |= m == 'S' ? 1 : m == 'A' ? 2 : m == 'M' ? 4 : 8;
          token = token.substr(plus + 1);
        }
        const bool release = token.size() == 1 || token.back() != '~';
        const size_t star = token.find('*');
        const int frames = star == std::string::npos ? 1 : std::stoi(token.substr(star + 1));
        const int32_t code = key_code(token.substr(0, release ? star : token.size() - 1));
        for (int i = 0; i < frames; ++i) frame(code, modifiers);
        if (release) frame(0, 0);
      }
    }
  }

  void run(const char* setup, const char* keys, const char* expect) {
    SCOPED_TRACE(std::string(setup) + " | " + keys);
    fields::each(setup,
                 [&](const std::string& name, const std::string& value) { set(name, value); });
    type(keys);
    EXPECT_EQ(fields::wrong(expect, [&](const std::string& name) { return get(name); }), "")
        << "expected " << expect;
  }
};

struct KeyCase {
  const char* setup;
  const char* keys;
  const char* expect;
};

// Sample 1 has volume 40, sample 2 volume 64; the edit skip is 1 and the
// row marks are 0, 16, 32, 48, 63.
const KeyCase kKeys[] = {
    // Notes: written in edit mode on the cursor channel, then the edit skip.
    {"ch=2 row=5 skip=3", "space q", "@5.2=214:1:000 row=8 snd2=1 per2=214 vol2=40 snd0=0 edit=1"},
    {"", "z", "per0=428 @0.0=0:0:000 row=0"},  // idle: sounds, writes nothing
    {"", "f1 z", "oct=12 per0=856"},
    {"", "f1 i", "per0=214"},  // the upper continuation keys need the lower octaves
    {"", "f1 f2 i", "oct=0 per0=0"},
    {"", ",", "per0=214"},
    {"", "space w*30", "row=1 @0.0=190:1:000 @1.0=0:0:000"},  // a held key enters one note
    // A note key rolled onto without a key-free frame takes nothing.
    {"", "space q~ w~ _ e", "@0.0=214:1:000 @1.0=170:1:000 row=2"},
    {"skip=4 row=59", "space q w", "@59.0=214:1:000 @63.0=190:1:000 row=0"},
    {"skip=0", "space q w", "@0.0=190:1:000 row=0"},
    // No cell is written outside the patterns, no channel past the last.
    {"pat=128", "space q", "flags=4"},
    {"ch=4", "space q", "@1.0=0:0:000 order0=0"},
    // A finetuned sample sounds tuned, but the cell holds the plain period.
    {"fine1=3", "space q", "@0.0=214:1:000 per0=209"},
    {"snd1=2 snd3=1", "space <", "snd0=0 snd1=0 snd3=0 row=0 @0.0=0:0:000"},  // the stop key
    // A modifier or another column keeps notes out.
    {"col=3", "space S+q M+w q", "snd0=0 @0.0=0:0:000 row=0"},
    {"ch=2", "C+m space q w e q", "@0.2=214:1:000 @1.3=190:1:000 @2.0=170:1:000 @3.1=214:1:000"},
    // Digits: only 0 and 1 are sample high digits; a held one types once.
    {"@0.1=0:5:000 @1.1=0:5:000 @2.1=0:21:000 ch=1 col=1", "space 2 1 1 0",
     "@0.1=0:21:000 @1.1=0:21:000 @2.1=0:5:000 row=3"},
    {"@0.1=0:19:000 ch=1 col=2", "space 5*20", "@0.1=0:21:000 row=1 snd1=0"},
    {"col=3 @1.0=0:0:037 @2.0=0:0:037", "space c col=4 a col=5 0",
     "@0.0=0:0:C00 @1.0=0:0:0A7 @2.0=0:0:030 row=3"},
    {"col=3", "c", "@0.0=0:0:000 row=0"},
    {"col=3", "space C+f C+5", "filter=1 skip=5 @0.0=0:0:000 row=0"},  // Ctrl: commands
    {"", "C+f", "filter=1 msg=FILTER_ON"},
    {"", "C+f C+f", "filter=0 msg=FILTER_OFF"},
    {"", "space S+f6 q", "msg=POSITION_SET @0.0=214:1:000"},  // a message does not stop editing
    // The cursor.
    {"", "left right right", "ch=0 col=1"},
    {"ch=3 col=4", "tab S+tab", "ch=3 col=0"},
    {"row=62", "down", "row=63 prow=63"},
    {"row=63", "down up up", "row=62 prow=62"},
    {"row=1", "up up", "row=63 prow=63"},
    // Held keys repeat every fifth frame, with Shift every third, with Alt
    // every second; the others act once per press.
    {"", "right*11", "col=3"},
    {"", "S+down*7 S+up*4", "row=1"},
    {"", "A+down*4", "row=2"},
    // The setting's interval; Shift and Alt are never slower than it.
    {"every=3", "right*11", "col=4"},
    {"every=2", "S+down*7 S+up*4", "row=2"},
    {"every=1", "A+down*4", "row=4"},
    // With a delay a held key acts at once, then after the delay (no sooner
    // than its rate), then at its rate; a shorter press acts once.
    {"delay=18", "right*18 right*24", "col=4"},
    {"delay=1", "right*7", "col=2"},
    {"delay=18 text=ABCD", "right*18 right*19", "tcur=3"},
    {"", "space*30", "edit=1 colour=3 play=2"},
    {"snd2=1", "space*30 space", "edit=0 colour=0 snd2=0"},
    {"", "space~ tab~ _", "edit=1 ch=1"},  // pressed before the last is let go
    // Playing.
    {"prow=17 pos=5", "ralt", "play=1 prow=0 pos=0 colour=1"},
    {"pos=1", "rcmd", "play=3 colour=1 edit=0 pos=0"},
    {"", "rshift", "play=3 colour=3 edit=1"},
    // A held record key coming back after a note is the same press.
    {"", "rshift~ prow=9 q~ rshift~ rshift", "play=3 prow=9 @0.0=214:1:000"},
    {"row=10", "ralt down up", "row=10"},  // the replayer owns the rows
    {"diskop=1 listcount=10 listtop=1", "down down", "listtop=2 row=0"},
    {"diskop=1 listcount=10 listtop=1", "up up", "listtop=0"},
    {"diskop=1 listcount=20", "down*3", "listtop=2"},
    // Samples, positions and patterns stop at their ends.
    {"", "C+left", "smp=1"},
    {"smp=30", "C+right C+right", "smp=31"},
    {"", "C+right*30", "smp=2"},
    {"pos=1", "S+left S+left", "pos=0"},
    {"pos=126", "S+right S+right", "pos=127"},
    {"pat=126", "A+right A+right", "pat=127"},
    {"pat=1", "A+left A+left", "pat=0"},
    {"", "num7", "smp=5"},
    {"smp=9", "numlock", "smp=1"},
    {"", "C+0", "skip=0 msg=EDITSKIP_=_0"},
    {"", "space unknown", "row=0 col=0 @0.0=0:0:000"},
    // Row edits: Del in edit mode, plain, with Alt and with Shift.
    {"@0.0=214:1:C20", "del", "@0.0=214:1:C20 row=0"},
    {"@0.0=214:1:C20 @1.0=214:1:C20 @2.0=214:1:C20", "space del A+del S+del",
     "@0.0=0:0:C20 @1.0=214:1:000 @2.0=0:0:000 row=3"},
    // Return and Backspace play the row and move; with a modifier they
    // insert and delete.
    {"row=5 @5.1=428:2:000 @5.3=214:1:000", "ret", "row=6 snd1=2 per1=428 vol1=64 snd3=1 snd0=0"},
    {"order0=127 pat=127 row=63 @63.0=214:1:000", "ret", "row=0 snd0=1 per0=214"},
    {"spos=127 @0.2=190:1:000", "bksp", "row=63 snd2=1 per2=190"},
    {"row=5 @5.0=214:31:000 @5.2=190:0:000", "ret", "per0=214 snd0=31 per2=190"},
    {"row=5 ch=1 @5.1=428:2:000 @5.0=214:1:000", "S+ret",
     "row=6 @5.1=0:0:000 @6.1=428:2:000 @5.0=214:1:000"},
    {"row=5 @5.1=428:2:000 @5.0=214:1:000", "A+ret", "@6.1=428:2:000 @6.0=214:1:000 @5.0=0:0:000"},
    {"row=5 @5.0=214:1:C20", "C+ret", "@5.0=214:1:000 @6.0=0:0:C20"},
    {"row=5 @5.0=214:1:C20 @63.0=113:1:000", "S+ret C+u",
     "@5.0=214:1:C20 @6.0=0:0:000 @63.0=113:1:000"},
    {"row=5 @4.0=214:1:000 @5.0=190:1:000", "S+bksp", "row=4 @4.0=190:1:000 @5.0=0:0:000"},
    {"row=5 @4.3=214:1:000 @5.3=190:1:000", "A+bksp", "@4.3=190:1:000"},
    {"row=5 @4.3=214:1:000 @5.3=190:1:000", "A+bksp C+u", "row=4 @4.3=214:1:000 @5.3=190:1:000"},
    {"@0.0=214:1:000", "S+bksp", "row=63 @0.0=214:1:000"},
    // F6..F10: the marks, idle only; Shift stores, Alt plays, Ctrl records.
    {"mark0=5 row=20", "f6", "row=5"},
    {"row=20", "f7", "row=16"},
    {"", "f10", "row=63"},
    {"row=20", "space f7", "row=20"},
    {"row=20", "S+f8 f8", "mark2=20 msg=POSITION_SET colour=0 row=20"},
    {"row=63", "S+f6 row=0 S+f7", "mark0=63 mark1=0"},
    {"", "A+f9", "play=3 prow=48 colour=1 edit=0"},
    {"", "C+f10", "play=3 prow=63 colour=3 edit=1"},
    // The clipboards: Ctrl for the commands, Shift the track, Alt the
    // pattern; each acts once per press.
    {"@0.0=214:1:C20", "C+f3", "@0.0=214:1:000"},
    {"@0.0=214:1:C20 @0.1=190:2:000", "C+f4 tab C+f5", "@0.1=190:2:C20 @0.0=214:1:C20"},
    {"@0.0=214:1:C20 @3.0=160:1:C23", "S+f4 tab S+f5", "@0.1=214:1:C20 @3.1=160:1:C23"},
    {"@0.0=214:1:C20 @3.0=160:1:C23", "S+f3*30 tab S+f5*30", "@0.0=0:0:000 @3.1=160:1:C23"},
    {"@0.0=214:1:C20", "S+f3 tab S+f5 C+u", "@0.0=0:0:000 @0.1=0:0:000"},
    {"@9.3=214:1:C20", "A+f4 A+right A+f5", "pat=1 @9.3=214:1:C20"},
    {"row=1 @1.0=190:1:000 @3.0=160:1:000", "C+b down down C+c down C+p",
     "@4.0=190:1:000 @6.0=160:1:000 row=7 blk=0"},
    {"row=1 @1.0=190:1:000 @3.0=160:1:000", "C+b down C+d",
     "@1.0=160:1:000 @2.0=0:0:000 row=2 blk=0"},
    {"row=1 @1.0=190:1:000", "C+b C+c row=20 CS+p", "@20.0=190:1:000 row=20"},  // Shift stays
    // Transposing: command+1..4 a semitone up (sample in track, sample in
    // pattern, track, pattern), Q..R down, A..F an octave up, Z..V down.
    {"@0.0=214:1:000 @3.0=160:1:000 @0.1=285:2:000", "M+3",
     "@0.0=202:1:000 @3.0=151:1:000 @0.1=285:2:000"},
    {"@0.0=214:1:000 @0.1=285:2:000", "M+r", "@0.0=226:1:000 @0.1=302:2:000"},
    {"smp=2 @0.0=214:1:000 @0.1=285:2:000", "M+2", "@0.0=214:1:000 @0.1=269:2:000"},
    {"smp=2 @0.0=214:1:000 @1.0=214:2:000", "M+1", "@0.0=214:1:000 @1.0=202:2:000"},
    {"@0.0=214:1:000 @1.0=428:1:000", "M+a", "@0.0=214:1:000 @1.0=214:1:000"},
    {"@0.0=856:1:000 @1.0=428:1:000", "M+z", "@0.0=856:1:000 @1.0=856:1:000"},
    // Channels: Alt+Z..V mute, Ctrl+Shift+A solos, Ctrl+A toggles, Ctrl+Q
    // turns them all on.
    {"snd0=2 snd3=1", "A+z A+v", "on0=0 snd0=0 on3=0 snd3=0"},
    {"", "A+x A+x", "on1=1"},
    {"ch=2", "CS+a", "on0=0 on1=0 on2=1 on3=0"},
    {"", "CS+a C+a", "on0=0 on1=0"},
    {"ch=2", "CS+a C+q", "on0=1 on1=1 on2=1 on3=1"},
    {"", "A+d A+s", "diskop=1 sampler=1"},
};

constexpr const char* kClear =
    "smp=2 snd0=2 at0=100 play=1 row=30 marka=40 pat=100 @5.2=214:1:000 order3=100 tempo=90 "
    "name=TUNE dlg=5";

const KeyCase kRequesters[] = {
    // Esc on every screen: it closes the disk-op screen and the sample
    // editor, answers no to a question and ends a text field.
    {"diskop=1 sampler=1", "esc", "diskop=0 sampler=0"},
    {"diskop=1 dlg=4", "esc", "dlg=1 quit=0 diskop=1"},
    {"sampler=1 dlg=5 @0.0=214:1:000", "esc", "dlg=1 sampler=1 @0.0=214:1:000"},
    {"sampler=1 text=SONG", "esc", "dlg=1 sampler=1 name=SONG"},
    {"dlg=7 answer=1 diskop=1", "esc", "answer=0 diskop=1"},
    // The quit and the confirmation requesters: Y or Return is yes, N no;
    // a key that answers is not a note.
    {"", "A+q", "dlg=4 msg=REALLY_QUIT_?"},
    {"", "A+q n", "dlg=1 quit=0 colour=5 snd0=0"},
    {"", "A+q y", "quit=1 snd0=0 @0.0=0:0:000"},
    {"dlg=7", "ret", "answer=1 msg=ALL_RIGHT row=0"},
    {"dlg=7 answer=1", "n", "answer=0 colour=5 snd0=0"},
    // Their buttons; the space between them does nothing.
    {"dlg=4", "click:180,75", "dlg=4 quit=1 colour=4 px160.51=506070"},
    {"dlg=4", "click:240,75", "dlg=1 quit=0 colour=5"},
    {"dlg=4", "click:200,75", "dlg=4 quit=0 colour=4"},
    {"dlg=7 answer=-1", "click:180,75", "answer=1 dlg=1"},
    {"dlg=7 answer=-1", "click:240,80", "answer=0 colour=5"},
    {"dlg=7 answer=-1", "click:200,75", "answer=-1 dlg=7 colour=4"},
    // Without their dialog the requesters take no answers.
    {"smp=5 answer=-1 name=X", "y o s a c", "dlg=1 quit=0 answer=-1 smp=5 colour=0 name=X"},
    // The clear requester: O the song (every pattern, as the order list
    // may name any), S the samples, A both, C cancels. Clearing stops
    // playback, silences the channels and goes to row 0.
    {kClear, "o", "@5.2=0:0:000 order3=0 name= tempo=125 svol2=64 marka=40 play=2 row=0 snd0=0"},
    {kClear, "click:230,60", "@5.2=214:1:000 name=TUNE svol2=0 at0=-1 smp=1 marka=0 colour=0"},
    {kClear, "a", "@5.2=0:0:000 order3=0 name= svol2=0 at0=-1 smp=2 marka=0 play=2 row=0 dlg=1"},
    {kClear, "c", "@5.2=214:1:000 name=TUNE svol2=64 marka=40 play=1 row=30 colour=5 dlg=1"},
    // Text fields (the song name's, 19 characters and a trailing byte that
    // a name read from a file may fill): a character types once per press,
    // Shift too; a held key moving the cursor repeats every fifth frame.
    {"text=", "a*20 S+b c", "name=ABC tcur=3"},
    {"text=", "a~ s~ s _", "name=AS tcur=2"},  // S went down before A came up
    {"text=ABCD", "right*11 left bksp del", "name=AD tcur=1"},
    {"text=HELLO", "bksp del", "name=ELLO tcur=0"},
    {"tcur=21 text=AB", "bksp del", "name=A tcur=1"},  // a cursor from a longer field
    // A full field takes nothing and never writes past its trailing byte.
    {"text=", "s s s s s s s s s s s s s s s s s s s s s",
     "name=SSSSSSSSSSSSSSSSSSS tcur=19 @0.0=0:0:000"},
    {"tcur=5 text=SSSSSSSSSSSSSSSSSSS", "a", "name=SSSSSSSSSSSSSSSSSSS tcur=5"},
    {"tcur=50 text=ABCDEFGHIJKLMNOPQRST", "right right del",
     "name=ABCDEFGHIJKLMNOPQRST tcur=19 @0.0=0:0:000"},
    {"tcur=50 text=ABCDEFGHIJKLMNOPQRST", "bksp", "name=ABCDEFGHIJKLMNOPQRTT tcur=18"},
    // The layout's character wins over the table; the text cursor is drawn.
    {"text=ELO", "tchar=97 s tchar=122 s", "name=AZELO tcur=2 px120.107=FFFFFF"},
    {"text=", "tchar=32 a tchar=127 s", "name=_S"},
    {"text=QELO", "click:123,100 click:300,110", "tcur=4 dlg=6"},
    {"tcur=3 text=QELO", "click:20,105", "tcur=0 dlg=6"},
    // Return, a click outside and the right button end the field and
    // restore the dialog and the pointer; a held Return does nothing more.
    {"", "space text=NAME ret*8", "dlg=1 colour=3 name=NAME row=0"},
    {"text=NAME", "click:150,130", "dlg=1 name=NAME"},
    {"dlg=4 text=AB", "rdown=1 _", "name= dlg=4 @0.0=0:0:000"},
};

void run_all(const KeyCase* cases, size_t count) {
  for (size_t i = 0; i < count; ++i) Keyboard().run(cases[i].setup, cases[i].keys, cases[i].expect);
}

TEST(Keys, ActAsTyped) {
  run_all(kKeys, std::size(kKeys));
}

TEST(Requesters, AnswerKeysAndClicks) {
  run_all(kRequesters, std::size(kRequesters));
}

TEST(Requesters, SamplesAreFreedUnderTheAudioLock) {
  static int lock_depth = 0;
  static int locks_taken = 0;
  Keyboard k;
  k.s.status.dialog = kDialogClear;
  k.s.input.key_code = key_code("s");
  audio_lock_install(AudioLockHooks{[](void*) { ++lock_depth, ++locks_taken; },
                                    [](void*) { --lock_depth; }, nullptr});
  EditContext edit = edit_context(k.s);
  clear_requester(&edit);
  audio_lock_install(AudioLockHooks{nullptr, nullptr, nullptr});
  EXPECT_GT(locks_taken, 0);
  EXPECT_EQ(lock_depth, 0);
  EXPECT_EQ(k.p->samples[2].data, nullptr);
}

// A load replaces the player: the field ends without writing the old name.
TEST(Requesters, TextFieldOfAReplacedPlayerEndsUnwritten) {
  Keyboard k;
  k.set("text", "OLD");
  Player* loaded = player_create(44100);
  k.s.player = loaded;
  k.type("a");
  EXPECT_EQ(k.s.status.dialog, kDialogNone);
  EXPECT_STREQ(k.p->song_name, "OLD");
  k.s.player = k.p;
  player_destroy(loaded);
}

}  // namespace
