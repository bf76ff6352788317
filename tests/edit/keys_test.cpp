// The keyboard as the main loop drives it: each case types a key sequence,
// frame by frame, into handle_key and the open requester, and then checks
// named fields, pattern cells and channels.
#include <gtest/gtest.h>

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

  Keyboard() {
    const int32_t marks[5] = {0, 16, 32, 48, 63};
    std::memcpy(s.row_marks, marks, sizeof marks);
    test_module::make_constant_sample(p, 1, 1000, 20, 40);
    test_module::make_constant_sample(p, 2, 3000, -20, 64);
  }

  int32_t* field(const std::string& name) {
    ChannelState* ch =
        name.size() > 1 && isdigit(name.back()) ? &p->channels[(name.back() - '0') & 3] : nullptr;
    const std::string base = ch ? name.substr(0, name.size() - 1) : name;
    if (base == "on") return &ch->enabled;
    if (base == "snd") return &ch->sample;
    if (base == "per") return &ch->period;
    if (base == "vol") return &ch->volume;
    if (base == "mark") return &s.row_marks[(name.back() - '0') % 5];
    const fields::Named named = {{"row", &p->shown_row},
                                 {"prow", &p->row},
                                 {"pos", &p->song_position},
                                 {"pat", &p->current_pattern},
                                 {"play", &p->play_mode},
                                 {"filter", &p->filter_enabled},
                                 {"ch", &s.cursor_channel},
                                 {"col", &s.cursor_column},
                                 {"smp", &s.current_sample},
                                 {"skip", &s.edit_skip},
                                 {"oct", &s.octave_offset},
                                 {"multi", &s.multi_keyboard},
                                 {"edit", &s.edit_mode},
                                 {"colour", &s.pointer_colour},
                                 {"dlg", &s.dialog},
                                 {"quit", &s.quit_confirmed},
                                 {"diskop", &s.disk_op_active},
                                 {"sampler", &s.sample_editor_shown},
                                 {"answer", &s.confirm_answer},
                                 {"fine1", &p->samples[1].finetune},
                                 {"listtop", &s.list_top},
                                 {"listcount", &s.list_count},
                                 {"blk", &s.block_marking},
                                 {"tcur", &s.text_field_cursor}};
    return fields::find(named, name);
  }

  // "@row.channel" is a cell of the current pattern, "period:sample:EPP".
  std::string get(const std::string& name) {
    int row, channel;
    if (std::sscanf(name.c_str(), "@%d.%d", &row, &channel) == 2) {
      const PatternCell& c = p->patterns[p->current_pattern][row][channel];
      char text[32];
      std::snprintf(text, sizeof text, "%d:%d:%X%02X", c.period, c.sample, c.effect, c.param);
      return text;
    }
    if (name == "msg") {
      std::string m = s.message;
      for (char& c : m) c = c == ' ' ? '_' : c;
      return m;
    }
    if (name == "text") return p->song_name;
    return std::to_string(*field(name));
  }

  // Setup: "name=value" for fields (row sets both rows), "@r.c=p:s:EPP"
  // for cells, "text=NAME" to start editing the song name there.
  void set(const std::string& name, const std::string& value) {
    int row, channel, period, sample, fx;
    if (std::sscanf((name + "=" + value).c_str(), "@%d.%d=%d:%d:%x", &row, &channel, &period,
                    &sample, &fx) == 5) {
      test_module::set_cell(p, p->current_pattern, row, channel, period, sample, fx >> 8, fx & 255);
    } else if (name == "text") {
      std::snprintf(p->song_name, sizeof p->song_name, "%s", value.c_str());
      s.saved_dialog = s.dialog;
      s.dialog = kDialogTextField;
      begin_text_field(0, 0, 0, 10, 19, p->song_name, &s);
    } else {
      *field(name) = std::stoi(value);
      if (name == "row") p->row = p->shown_row;
    }
  }

  // One frame: the key code (0: none) reaches the keyboard handler, then
  // the open requester or text field, as in the main loop.
  void frame(int32_t code, int32_t modifiers) {
    s.key_code = code;
    s.modifiers = modifiers;
    handle_key(code, &s);
    if (s.dialog == kDialogQuit) quit_requester(&s);
    if (s.dialog == kDialogClear) clear_requester(&s);
    // The disk-op screen closes its question once it is answered.
    if (s.dialog == kDialogConfirm && confirm_requester(&s)) s.dialog = kDialogNone;
    if (s.dialog == kDialogTextField) edit_text_field(&s);
  }

  // Keys: "[mods+]name[*frames|~]" separated by spaces; mods from S (Shift),
  // A (Alt), M (left command), C (Ctrl). A key is held for its frames and
  // then let go for a frame; "~" holds it one frame without letting go;
  // "_" is a frame without a key; "name=value" sets a field in between.
  void type(const std::string& keys) {
    std::istringstream in(keys);
    for (std::string token; in >> token;) {
      if (token == "_") {
        frame(0, 0);
        continue;
      }
      if (const size_t eq = token.find('='); eq != std::string::npos && eq > 0) {
        set(token.substr(0, eq), token.substr(eq + 1));
        continue;
      }
      int32_t modifiers = 0;
      if (const size_t plus = token.find('+');
          plus != std::string::npos && plus + 1 < token.size()) {
        for (char m : token.substr(0, plus))
          modifiers |= m == 'S' ? 1 : m == 'A' ? 2 : m == 'M' ? 4 : 8;
        token = token.substr(plus + 1);
      }
      int frames = 1;
      bool release = true;
      if (token.size() > 1 && token.back() == '~') {
        release = false;
        token.pop_back();
      } else if (const size_t star = token.find('*'); star != std::string::npos && star > 0) {
        frames = std::stoi(token.substr(star + 1));
        token = token.substr(0, star);
      }
      const int32_t code = key_code(token);
      for (int i = 0; i < frames; ++i) frame(code, modifiers);
      if (release) frame(0, 0);
    }
  }

  void run(const char* setup, const char* keys, const char* expect) {
    fields::each(setup,
                 [&](const std::string& name, const std::string& value) { set(name, value); });
    type(keys);
    EXPECT_EQ(fields::wrong(expect, [&](const std::string& name) { return get(name); }), "")
        << "expected " << expect;
  }
};

struct KeyCase {
  const char* what;
  const char* setup;
  const char* keys;
  const char* expect;
};

// Sample 1 has volume 40, sample 2 volume 64; the edit skip is 1 and the
// row marks are 0, 16, 32, 48, 63.
const KeyCase kNotes[] = {
    {"a note in edit mode is written, sounded on the cursor channel and skipped",
     "ch=2 row=5 skip=3", "space q", "@5.2=214:1:000 row=8 snd2=1 per2=214 vol2=40 snd0=0 edit=1"},
    {"an idle note sounds but writes nothing", "", "z", "per0=428 @0.0=0:0:000 row=0"},
    {"F1 plays the lower octaves", "", "f1 z", "oct=12 per0=856"},
    {"the upper continuation keys need the lower octaves", "", "f1 i", "per0=214"},
    {"the upper continuation keys are silent at F2", "", "f1 f2 i", "oct=0 per0=0"},
    {"the lower continuation keys", "", ",", "per0=214"},
    {"a held note key enters one note", "", "space w*30", "row=1 @0.0=190:1:000 @1.0=0:0:000"},
    {"a note key rolled onto without a key-free frame takes nothing", "", "space q~ w~ _ e",
     "@0.0=214:1:000 @1.0=170:1:000 row=2"},
    {"the edit skip wraps past row 63", "skip=4 row=62", "space q", "@62.0=214:1:000 row=0"},
    {"edit skip 0 overwrites the same cell", "skip=0", "space q w", "@0.0=190:1:000 row=0"},
    {"a finetuned sample sounds tuned but the cell holds the plain period", "fine1=3", "space q",
     "@0.0=214:1:000 per0=209"},
    {"the stop key silences every channel and writes nothing", "snd1=2 snd3=1", "space <",
     "snd0=0 snd1=0 snd3=0 row=0 @0.0=0:0:000"},
    {"a modifier or another column keeps notes out", "col=3", "space S+q M+w q",
     "snd0=0 @0.0=0:0:000 row=0"},
    {"the multi keyboard spreads notes over the channels", "ch=2", "C+m space q w e q",
     "multi=1 @0.2=214:1:000 @1.3=190:1:000 @2.0=170:1:000 @3.1=214:1:000 ch=2"},
    {"only 0 and 1 are sample high digits", "@0.1=0:5:000 ch=1 col=1", "space 2",
     "@0.1=0:5:000 row=0"},
    {"1 sets the sample high digit", "@0.1=0:5:000 ch=1 col=1", "space 1", "@0.1=0:21:000 row=1"},
    {"0 clears it", "@0.1=0:21:000 ch=1 col=1", "space 0", "@0.1=0:5:000 row=1"},
    {"a held low digit types once and sounds nothing", "@0.1=0:19:000 ch=1 col=2", "space 5*20",
     "@0.1=0:21:000 row=1 snd1=0"},
    {"effect digit", "col=3", "space c", "@0.0=0:0:C00 row=1"},
    {"parameter high digit", "@0.0=0:0:037 col=4", "space a", "@0.0=0:0:0A7 row=1"},
    {"parameter low digit", "@0.0=0:0:037 col=5", "space f", "@0.0=0:0:03F row=1"},
    {"digits need edit mode", "col=3", "c", "@0.0=0:0:000 row=0"},
    {"Ctrl letters are commands, not digits", "col=3", "space C+f C+5",
     "filter=1 skip=5 @0.0=0:0:000 row=0"},
    {"a message does not suspend editing", "", "space S+f6 q", "msg=POSITION_SET @0.0=214:1:000"},
};

const KeyCase kCommands[] = {
    {"Left from the first column goes to the last channel's last", "", "left", "ch=3 col=5"},
    {"Right from the last column comes back", "ch=3 col=5", "right", "ch=0 col=0"},
    {"Tab and Shift+Tab move by channels", "ch=3 col=4", "tab", "ch=0 col=0"},
    {"Shift+Tab", "", "S+tab", "ch=3"},
    {"Up from row 0 goes to 63, stopped", "", "up", "row=63 prow=63"},
    {"Down at 62 goes to 63", "row=62", "down", "row=63 prow=63"},
    {"Down at 63 goes to 0", "row=63", "down", "row=0 prow=0"},
    {"Up at 1 goes to 0", "row=1", "up", "row=0 prow=0"},
    {"a held key repeats every fifth frame", "", "right*11", "col=3"},
    {"Shift+Down every third", "", "S+down*7", "row=3"},
    {"Alt+Down every second", "", "A+down*4", "row=2"},
    {"once keys act once per press", "", "space*30", "edit=1 colour=3 play=2"},
    {"Space again stops", "snd2=1", "space*30 space", "edit=0 colour=0 snd2=0"},
    {"a key pressed before the last is let go still acts", "", "space~ tab~ _", "edit=1 ch=1"},
    {"right Alt plays the song from row 0", "prow=17 pos=5", "ralt",
     "play=1 prow=0 pos=0 colour=1"},
    {"right Ctrl plays the pattern", "", "rcmd", "play=3 colour=1 edit=0"},
    {"right Shift records", "", "rshift", "play=3 colour=3 edit=1"},
    {"a held record key coming back after a note is the same press", "",
     "rshift~ prow=9 q~ rshift~ rshift", "play=3 prow=9 @0.0=214:1:000"},
    {"Up and Down leave the rows to the replayer while playing", "row=10", "ralt down up",
     "row=10"},
    {"Down scrolls the disk-op list up to its last page", "diskop=1 listcount=10 listtop=1",
     "down down", "listtop=2 row=0"},
    {"Up stops at the top of the list", "diskop=1 listcount=10 listtop=1", "up up", "listtop=0"},
    {"Ctrl+Left stops at sample 1", "", "C+left", "smp=1"},
    {"Ctrl+Right stops at 31", "smp=30", "C+right C+right", "smp=31"},
    {"Ctrl+Right acts once per press", "", "C+right*30", "smp=2"},
    {"Shift+Left stops at position 0", "", "S+left", "pos=0"},
    {"Shift+Right stops at 127", "pos=126", "S+right S+right", "pos=127"},
    {"Alt+Right stops at pattern 127", "pat=126", "A+right A+right", "pat=127"},
    {"Alt+Left stops at pattern 0", "pat=1", "A+left A+left", "pat=0"},
    {"the keypad picks samples", "", "num7", "smp=5"},
    {"num lock picks sample 1", "smp=9", "numlock", "smp=1"},
    {"Ctrl+digit sets the edit skip", "", "C+0", "skip=0 msg=EDITSKIP_=_0"},
    {"Esc closes the disk-op screen and the sample editor", "diskop=1 sampler=1", "esc",
     "diskop=0 sampler=0"},
    {"Esc in the quit requester only answers no", "diskop=1 dlg=4", "esc", "dlg=1 quit=0 diskop=1"},
    {"Esc in the clear requester cancels", "sampler=1 dlg=5 @0.0=214:1:000", "esc",
     "dlg=1 sampler=1 @0.0=214:1:000"},
    {"Esc in a text field ends it and closes nothing", "sampler=1 text=SONG", "esc",
     "dlg=1 sampler=1 text=SONG"},
    {"Alt+Q asks, N declines", "", "A+q n", "dlg=1 quit=0 colour=5 snd0=0"},
    {"Alt+Q asks", "", "A+q", "dlg=4 msg=REALLY_QUIT_?"},
    {"Y confirms and is not a note", "", "A+q y", "quit=1 snd0=0 @0.0=0:0:000"},
    {"the confirmation requester answers yes to Return", "dlg=7", "ret",
     "answer=1 msg=ALL_RIGHT row=0"},
    {"and no to N", "dlg=7 answer=1", "n", "answer=0 colour=5 snd0=0"},
    {"Esc in the disk-op question answers no and closes nothing", "dlg=7 answer=1 diskop=1", "esc",
     "answer=0 diskop=1"},
    {"the clear requester clears the song with O", "dlg=5 @0.0=214:1:000", "o",
     "dlg=1 @0.0=0:0:000 snd0=0"},
    {"text fields type once per press, shifted too", "text=", "a*20 S+b c", "text=ABC tcur=3"},
    {"Backspace and Del edit the text", "text=ABCD", "right*11 left bksp del", "text=AD tcur=1"},
    {"unknown keys do nothing", "", "space unknown", "row=0 col=0 @0.0=0:0:000"},
};

const KeyCase kRowEdits[] = {
    {"Del clears nothing outside edit mode", "@0.0=214:1:C20", "del", "@0.0=214:1:C20 row=0"},
    {"Del clears the note and sample", "@0.0=214:1:C20", "space del", "@0.0=0:0:C20 row=1"},
    {"Alt+Del clears the effect only", "@0.0=214:1:C20", "space A+del", "@0.0=214:1:000 row=1"},
    {"Shift+Del clears both", "@0.0=214:1:C20", "space S+del", "@0.0=0:0:000"},
    {"Return plays the row and moves down", "row=5 @5.1=428:2:000 @5.3=214:1:000", "ret",
     "row=6 snd1=2 per1=428 vol1=64 snd3=1 snd0=0 @5.1=428:2:000"},
    {"Return at row 63 goes to row 0", "row=63", "ret", "row=0"},
    {"Backspace plays the row and moves up; row 0 goes to 63", "@0.2=190:1:000", "bksp",
     "row=63 snd2=1 per2=190"},
    {"Shift+Return inserts a row in the cursor channel", "row=5 ch=1 @5.1=428:2:000 @5.0=214:1:000",
     "S+ret", "row=6 @5.1=0:0:000 @6.1=428:2:000 @5.0=214:1:000"},
    {"Alt+Return inserts in every channel", "row=5 @5.1=428:2:000 @5.0=214:1:000", "A+ret",
     "@6.1=428:2:000 @6.0=214:1:000 @5.0=0:0:000"},
    {"Ctrl+Return moves only the effects", "row=5 @5.0=214:1:C20", "C+ret",
     "@5.0=214:1:000 @6.0=0:0:C20"},
    {"Shift+Return then Ctrl+U takes the insert back", "row=5 @5.0=214:1:C20 @63.0=113:1:000",
     "S+ret C+u", "@5.0=214:1:C20 @6.0=0:0:000 @63.0=113:1:000"},
    {"Shift+Backspace deletes the row above", "row=5 @4.0=214:1:000 @5.0=190:1:000", "S+bksp",
     "row=4 @4.0=190:1:000 @5.0=0:0:000"},
    {"Alt+Backspace in every channel", "row=5 @4.3=214:1:000 @5.3=190:1:000", "A+bksp",
     "@4.3=190:1:000"},
    {"Shift+Backspace at row 0 deletes nothing and wraps", "@0.0=214:1:000", "S+bksp",
     "row=63 @0.0=214:1:000"},
    {"F6..F10 jump to their marks when idle", "row=20", "f7", "row=16"},
    {"F10 goes to the last mark", "", "f10", "row=63"},
    {"but not in edit mode", "row=20", "space f7", "row=20"},
    {"Shift+F8 stores the cursor row", "row=20", "S+f8 f8",
     "mark2=20 msg=POSITION_SET colour=0 row=20"},
    {"Alt+F9 plays the pattern from its mark", "", "A+f9", "play=3 prow=48 colour=1 edit=0"},
    {"Ctrl+F10 records from its mark", "", "C+f10", "play=3 prow=63 colour=3 edit=1"},
    {"Ctrl+F3 cuts the commands", "@0.0=214:1:C20", "C+f3", "@0.0=214:1:000"},
    {"Ctrl+F4 and Ctrl+F5 copy and paste only the commands", "@0.0=214:1:C20 @0.1=190:2:000",
     "C+f4 tab C+f5", "@0.1=190:2:C20 @0.0=214:1:C20"},
    {"Shift+F4 and Shift+F5 copy and paste the track", "@0.0=214:1:C20 @3.0=160:1:C23",
     "S+f4 tab S+f5", "@0.1=214:1:C20 @3.1=160:1:C23"},
    {"a held Shift+F3 cuts once; the paste brings the cut track", "@0.0=214:1:C20 @3.0=160:1:C23",
     "S+f3*30 tab S+f5*30", "@0.0=0:0:000 @3.1=160:1:C23"},
    {"undo takes back the paste alone", "@0.0=214:1:C20", "S+f3 tab S+f5 C+u",
     "@0.0=0:0:000 @0.1=0:0:000"},
    {"Alt+F4 and Alt+F5 copy the pattern to another", "@9.3=214:1:C20", "A+f4 A+right A+f5",
     "pat=1 @9.3=214:1:C20"},
    {"Ctrl+B, Ctrl+C and Ctrl+P copy and paste a block", "row=1 @1.0=190:1:000 @3.0=160:1:000",
     "C+b down down C+c down C+p", "@4.0=190:1:000 @6.0=160:1:000 row=7 blk=0"},
    {"Ctrl+D deletes the marked rows", "row=1 @1.0=190:1:000 @3.0=160:1:000", "C+b down C+d",
     "@1.0=160:1:000 @2.0=0:0:000 row=2 blk=0"},
    {"command+3 transposes the cursor track up", "@0.0=214:1:000 @3.0=160:1:000 @0.1=285:2:000",
     "M+3", "@0.0=202:1:000 @3.0=151:1:000 @0.1=285:2:000"},
    {"command+R transposes the pattern down", "@0.0=214:1:000 @0.1=285:2:000", "M+r",
     "@0.0=226:1:000 @0.1=302:2:000"},
    {"command+2 the current sample's notes in the pattern", "smp=2 @0.0=214:1:000 @0.1=285:2:000",
     "M+2", "@0.0=214:1:000 @0.1=269:2:000"},
    {"command+1 the current sample's notes in the track", "smp=2 @0.0=214:1:000 @1.0=214:2:000",
     "M+1", "@0.0=214:1:000 @1.0=202:2:000"},
    {"command+A is an octave up, kept inside the table", "@0.0=214:1:000 @1.0=428:1:000", "M+a",
     "@0.0=214:1:000 @1.0=214:1:000"},
    {"command+Z an octave down", "@0.0=856:1:000 @1.0=428:1:000", "M+z",
     "@0.0=856:1:000 @1.0=856:1:000"},
    {"Alt+X mutes and silences channel 2", "snd1=2", "A+x", "on1=0 snd1=0"},
    {"a second Alt+X brings it back", "", "A+x A+x", "on1=1"},
    {"Ctrl+Shift+A solos the cursor channel", "ch=2", "CS+a", "on0=0 on1=0 on2=1 on3=0"},
    {"Ctrl+A toggles it", "ch=2", "CS+a C+a", "on2=0"},
    {"Ctrl+Q turns every channel on", "ch=2", "CS+a C+q", "on0=1 on1=1 on2=1 on3=1"},
    {"Alt+D and Alt+S switch the screens", "", "A+d A+s", "diskop=1 sampler=1"},
};

void run_all(const KeyCase* cases, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    SCOPED_TRACE(cases[i].what);
    Keyboard().run(cases[i].setup, cases[i].keys, cases[i].expect);
  }
}

TEST(Keys, NoteAndDigitEntry) {
  run_all(kNotes, std::size(kNotes));
}

TEST(Keys, Commands) {
  run_all(kCommands, std::size(kCommands));
}

TEST(Keys, RowEditsMarksAndClipboards) {
  run_all(kRowEdits, std::size(kRowEdits));
}

}  // namespace
