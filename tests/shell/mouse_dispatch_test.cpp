#include "shell/mouse_dispatch.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <sstream>
#include <string>

#include "../engine/module_builder.h"
#include "../fields.h"
#include "../render/screen_fixture.h"
#include "layout/main_layout.h"
#include "shell/screens.h"

namespace {

using screen_test::Screen;

struct Mouse {
  Screen screen;
  EditorState& st = screen.state;
  Player& p = screen.player();

  // One frame with the pointer at (x, y) and the left button held for
  // `held` frames so far (0: up).
  void frame(int32_t x, int32_t y, int32_t held, bool right = false) {
    st.input.mouse_x = x;
    st.input.mouse_y = y;
    st.input.left_held = held;
    st.input.right_down = right ? 1 : 0;
    mouse_dispatch(&st);
  }
  // A frame on the middle of a main-screen button; a click is a press of
  // one frame and its release.
  void press(int32_t action, int32_t held, bool right = false) {
    for (const Button<MainAction>& b : kMainButtons) {
      if (b.action != static_cast<MainAction>(action)) continue;
      frame((b.rect.x1 + b.rect.x2) / 2, (b.rect.y1 + b.rect.y2) / 2, held, right);
      return;
    }
    ADD_FAILURE() << "no button for action " << action;
  }
  void click(int32_t button, bool right = false) {
    press(button, 1, right);
    press(button, 0);
  }
};

// The target in the place of `name` among the space-separated `names`.
int32_t* pick(const std::string& name, const char* names, std::initializer_list<int32_t*> targets) {
  std::istringstream in(names);
  auto target = targets.begin();
  for (std::string n; in >> n && target != targets.end(); ++target)
    if (n == name) return *target;
  return nullptr;
}

int32_t* field(Mouse& t, const std::string& name) {
  Player& p = t.p;
  EditorState& st = t.st;
  Sample& s = p.samples[st.selection.current_sample & 31];
  ChannelState* ch = p.channels;
  if (int32_t* f = pick(
          name,
          "ord3 ord4 ord5 ord6 ord7 ord126 ord127 on0 on1 on2 on3 snd0 snd2 snd3 mix2 fast "
          "saved timer len0",
          {&p.order[3], &p.order[4], &p.order[5], &p.order[6], &p.order[7], &p.order[126],
           &p.order[127], &ch[0].enabled, &ch[1].enabled, &ch[2].enabled, &ch[3].enabled,
           &ch[0].sample, &ch[2].sample, &ch[3].sample, &ch[2].mix_volume, &st.input.fast_repeat,
           &st.status.saved_dialog, &st.status.message_timer, &p.samples[0].length}))
    return f;
  if (name == "pointerwidth") return &t.screen.pointer.width;
  if (name == "recsong") return &st.selection.record.song_mode;
  if (name == "delay") return &st.input.repeat_delay_frames;
  int32_t* f = pick(
      name,
      "pos len play prow tempo colour ncolour edit clock dlg smp "
      "zoom fine vol loopstart looplen loopend",
      {&p.song_position, &p.song_length, &p.play_mode, &p.row, &p.tempo, &st.status.pointer_colour,
       &st.status.normal_pointer_colour, &st.selection.edit_mode, &st.main.restart_clock,
       &st.status.dialog, &st.selection.current_sample, &st.sampler.zoom_end, &s.finetune,
       &s.volume, &s.loop_start, &s.loop_length, &s.loop_end});
  return f ? f : fields::find({}, name);  // a failure when there is no such field
}

// Loop fields are in bytes here; setting the loop start or length keeps
// the loop end with them (in the script runner).
std::string get(Mouse& t, const std::string& name) {
  if (name == "sampler") return screen_is_open(t.st, ScreenId::kSampler) ? "1" : "0";
  if (name == "diskop") return screen_is_open(t.st, ScreenId::kDiskOp) ? "1" : "0";
  if (name == "editop") return screen_is_open(t.st, ScreenId::kEditOp) ? "1" : "0";
  if (name == "posed") return screen_is_open(t.st, ScreenId::kPositionEditor) ? "1" : "0";
  const int32_t v = *field(t, name);
  return std::to_string(name.compare(0, 4, "loop") == 0 ? v / kFixOne : v);
}

// Scripts of fields set (name:value), clicks (b<action> left, R<action>
// right, by MainAction number, "*n" n times), a button held for n frames ("h<button>*n"), idle
// frames ("w*n"), a press on the quit corner and name=value checks, in order.
// A held button acts on its first frame, then every 40th, or every 4th
// with the fast repeat. A message lasts 180 frames from its press and
// one already running is not restarted; the pointer then takes the colour of
// what is going on (white 0, yellow 1, red 5).
// Sample 1 has 100 bytes looping from 10 for 20, sample 31 has 628 bytes.
const char* const kClicks[] = {
    "b19 pos=0 R18*14 b18 pos=127 b19 pos=126",
    "pos:4 R21*10 b21 ord4=99 b22 ord4=98 R22*10 ord4=0 ord3=0", "pos:900 b21 ord127=1",
    "R24*13 b24 len=128 R25*13 b25 len=1",
    "pos:5 len:3 prow:17 b1 play=1 pos=0 prow=0 clock=1 colour=1 ncolour=1",
    "prow:17 R2 play=3 prow=17 colour=1", "b3 play=2 edit=1 colour=3",
    "b4 play=3 edit=1 clock=1 ncolour=3 prow=0",
    "recsong:1 b4 play=1 edit=1",  // recording in song mode plays on through the song
    "snd0:3 snd3:3 b4 b5 play=2 edit=0 colour=0 snd0=0 snd3=0",
    "b6 dlg=5 b18 pos=0",  // no button acts under a requester
    "b12 sampler=1 b12 sampler=0 b8 b18 diskop=1 pos=0",
    "snd2:4 mix2:40 b15 on2=0 snd2=0 mix2=0 on1=1 b15 on2=1 b13 b16 on0=0 on3=0",
    "fine:15 b27 fine=0 b27*10 fine=7 R27 fine=0 b28 fine=15 b28*10 fine=8 b27 fine=9 R28 fine=0",
    "smp:30 b30*3 smp=31 zoom=628 b31 smp=30 R31 smp=1 b31 smp=1 R30 smp=0 b31 smp=1",
    "vol:60 b33*5 vol=64 R34 vol=48 R34*4 vol=0 R33 vol=16",
    "b39 loopstart=12 loopend=32 R39 loopstart=28 R42 looplen=36 loopend=64 R39*3 "
    "loopstart=60 loopend=96 R40*4 b40 loopstart=10 loopend=46",
    "loopstart:0 looplen:2 b43 looplen=2 loopend=2",
    "b44 tempo=126 R44*14 tempo=255 R45*23 b45 tempo=32", "sampler:1 b44 tempo=125",
    "b49 dlg=6 b49 saved=1",  // a second press on the field keeps what it returns to
    "b51 timer=1 colour=5 w*177 timer=1 w timer=0 colour=0",
    "b1 b51 w*170 b51 w*5 timer=1 colour=5 w timer=0 colour=1",
    // POS opens and closes the position editor; the edit-op panel covers
    // the label and takes the click.
    "b46 posed=1 b46 posed=0 b46 b7 editop=1 posed=0 b46 editop=1 posed=0",
    "corner dlg=4 b18 pos=0",
    "pos:5 len:10 ord4:4 ord5:5 ord6:6 ord126:26 ord127:27 b47 ord4=4 ord5=0 ord6=5 ord127=26 "
    "len=11",
    "pos:5 len:10 ord5:5 ord6:6 ord7:7 b47 b48 ord5=5 ord6=6 ord7=7 len=10", "len:127 b47 len=127",
    "len:1 b48 len=1", "pos:127 ord126:25 ord127:9 b47 ord127=0 ord126=25",
    // Sample 0 keeps its empty state (no loop is 2 bytes), and its name is no
    // text field.
    "smp:1 R30 smp=0 b27 R27 b28 R28 b33 R33 b34 R34 b39 R39 b40 R40 b42 R42 b43 R43 b51 R51 "
    "b50 dlg=1 fine=0 vol=0 loopstart=0 looplen=2 loopend=2 len0=0",
    "pointerwidth:0 b18 pos=1", "h18*79 pos=2 h18*80 pos=5",
    "fast:1 h18*8 pos=3",  // a pointer image of no width draws nothing
    // The first repeat waits for the delay, but never comes before the rate's.
    "delay:18 fast:1 h18*18 pos=1 h18*19 pos=3 h18*27 pos=7", "delay:18 h18*79 pos=2"};

TEST(Dispatch, ButtonClicks) {
  for (const char* script : kClicks) {
    SCOPED_TRACE(script);
    Mouse t;
    test_module::make_sample(&t.p, 1, 100, 10, 20, 64, [](int32_t) { return 0; });
    test_module::make_constant_sample(&t.p, 31, 628, 1);
    std::istringstream steps(script);
    for (std::string step; steps >> step;) {
      const size_t star = step.find('*'), colon = step.find(':');
      const int count = star == std::string::npos ? 1 : std::stoi(step.substr(star + 1));
      for (int i = 0; i < count; ++i) {
        if (step.find('=') != std::string::npos) {
          EXPECT_EQ(fields::wrong(step, [&](const std::string& n) { return get(t, n); }), "");
        } else if (colon != std::string::npos) {
          const bool loop = step.compare(0, 4, "loop") == 0;
          const int32_t v = std::stoi(step.substr(colon + 1));
          if (step.compare(0, colon, "sampler") == 0) {
            set_screen_open(t.st, ScreenId::kSampler, v != 0);
            continue;
          }
          *field(t, step.substr(0, colon)) = loop ? v * kFixOne : v;
          Sample& s = t.p.samples[t.st.selection.current_sample & 31];
          if (loop) s.loop_end = s.loop_start + s.loop_length;
        } else if (step == "corner") {
          t.frame(0, 0, 5);  // the quit corner works on any frame of a press
        } else if (step[0] == 'w') {
          t.frame(200, 200, 0);
        } else if (step[0] == 'h') {
          t.press(std::stoi(step.substr(1, star)), i + 1);
        } else {
          t.click(std::stoi(step.substr(1, star)), step[0] == 'R');
        }
      }
    }
  }
}

}  // namespace
