// Every refusal of the loaders and writers carries its code, worked out
// from the file rules; callers decide on the code, never on the text.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../engine/module_builder.h"
#include "../render/screen_fixture.h"
#include "files/audio_out.h"
#include "files/module_format.h"
#include "shell/module_io.h"
#include "shell/sample_io.h"
#include "shell/track_io.h"

namespace {

namespace fs = std::filesystem;

fs::path temp_dir() {
  const fs::path dir =
      fs::temp_directory_path() / ("tetrad-codes-" + std::to_string(::getpid()) + "-" +
                                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
  fs::create_directories(dir);
  return dir;
}

// Makes the file a row describes: "" for none, "dir" for a directory,
// otherwise its size in bytes (zeros) and then edits: "O=V" sets byte O,
// "@O:TEXT" writes the text from byte O.
void make_file(const fs::path& path, const std::string& layout) {
  if (layout.empty()) return;
  if (layout == "dir") {
    fs::create_directory(path);
    return;
  }
  std::istringstream edits(layout);
  size_t size = 0;
  edits >> size;
  std::vector<char> bytes;
  for (std::string e; edits >> e;) {
    const bool text = e[0] == '@';
    const size_t split = e.find(text ? ':' : '=');
    const size_t at = std::stoul(e.substr(text ? 1 : 0, split));
    const std::string value =
        text ? e.substr(split + 1)
             : std::string(1, static_cast<char>(std::stoi(e.substr(split + 1))));
    if (bytes.size() < at + value.size()) bytes.resize(at + value.size());
    std::copy(value.begin(), value.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
  }
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  fs::resize_file(path, size);  // sparse: the largest sizes cost no disk
}

enum Reader { kModule, kSample, kSampleWithoutSlot, kTrack, kPattern };

struct ReadCase {
  const char* what;
  Reader reader;
  const char* file;
  FileError want;
};

// A module is a 1084-byte header (signature at 1080, order list at 952)
// and 1024 bytes for each pattern up to the highest the order list names.
// Tracks are exactly 1024 bytes, patterns 4096. Samples are read from the
// start of any regular file that holds a byte.
const ReadCase kReads[] = {
    {"no file", kModule, "", FileError::kNotFound},
    {"a directory", kModule, "dir", FileError::kNotRegular},
    {"one byte above the largest module", kModule, "8388609", FileError::kTooBig},
    {"empty", kModule, "0", FileError::kNotAModule},
    {"one byte short of a header", kModule, "1083", FileError::kNotAModule},
    {"a header with a wrong signature", kModule, "2108 @1080:M.K!", FileError::kNotAModule},
    {"a packed module", kModule, "2108 @0:PACK @1080:M.K.", FileError::kPacked},
    {"a header without its pattern", kModule, "1084 @1080:M.K.", FileError::kTruncated},
    {"the order list names pattern 1 of one", kModule, "2108 @1080:M.K. 953=1",
     FileError::kTruncated},
    {"the order list names pattern 128", kModule, "2108 @1080:M.K. 952=128",
     FileError::kBadOrderList},
    {"a header and its pattern", kModule, "2108 @1080:M.K.", FileError::kNone},
    {"no file", kSample, "", FileError::kNotFound},
    {"a directory", kSample, "dir", FileError::kNotRegular},
    {"empty", kSample, "0", FileError::kEmpty},
    {"a WAV header and no format", kSample, "22 @0:RIFF 4=14 @8:WAVE", FileError::kBadAudio},
    {"one byte", kSample, "1", FileError::kNone},
    {"larger than any module: its start is read", kSample, "8388609", FileError::kNone},
    {"no slot to load into", kSampleWithoutSlot, "1", FileError::kNoSample},
    {"no file", kTrack, "", FileError::kNotFound},
    {"a directory", kTrack, "dir", FileError::kNotRegular},
    {"empty", kTrack, "0", FileError::kTooShort},
    {"one byte short", kTrack, "1023", FileError::kTooShort},
    {"one byte over", kTrack, "1025", FileError::kTooLong},
    {"a pattern file", kTrack, "4096", FileError::kTooLong},
    {"a track", kTrack, "1024", FileError::kNone},
    {"no file", kPattern, "", FileError::kNotFound},
    {"a directory", kPattern, "dir", FileError::kNotRegular},
    {"a track file", kPattern, "1024", FileError::kTooShort},
    {"one byte short", kPattern, "4095", FileError::kTooShort},
    {"one byte over", kPattern, "4097", FileError::kTooLong},
    {"a pattern", kPattern, "4096", FileError::kNone},
};

FileResult read_with(Reader reader, const char* path, EditorState* state) {
  switch (reader) {
    case kModule:
      return load_module(path, state, kKindModule);
    case kSample:
      return load_sample(state, path);
    case kSampleWithoutSlot:
      state->selection.current_sample = 0;
      return load_sample(state, path);
    case kTrack:
      return load_track(path, state);
    default:
      return load_pattern(path, state);
  }
}

TEST(FileCodes, EachLoaderRefusesWithItsCode) {
  const fs::path dir = temp_dir();
  int row = 0;
  for (const ReadCase& c : kReads) {
    SCOPED_TRACE(std::to_string(c.reader) + " " + c.what + ": " + c.file);
    const fs::path path = dir / std::to_string(row++);
    make_file(path, c.file);
    screen_test::Screen screen;
    const FileResult result = read_with(c.reader, path.c_str(), &screen.state);
    EXPECT_EQ(static_cast<int32_t>(result.error), static_cast<int32_t>(c.want));
    EXPECT_EQ(result.ok, c.want == FileError::kNone);
    // A refusal's text is what the message line shows.
    if (!result.ok) {
      EXPECT_STREQ(screen.state.status.message, result.message);
    }
  }
  fs::remove_all(dir);
}

// A module that loads without the end of its sample data says so, in red.
TEST(FileCodes, ACutModuleLoadsAndSaysItIsTruncated) {
  const fs::path dir = temp_dir();
  make_file(dir / "cut.mod", "2118 @1080:M.K. 42=0 43=10");  // sample 1: 20 bytes, 10 there
  screen_test::Screen screen;
  const FileResult result = load_module((dir / "cut.mod").c_str(), &screen.state);
  EXPECT_TRUE(result.ok && result.missing_bytes == 10);
  EXPECT_STREQ(screen.state.status.message, "FILE TRUNCATED");
  EXPECT_EQ(screen.state.status.pointer_colour, kPointerRed);
  fs::remove_all(dir);
}

struct WriteCase {
  const char* what;
  bool audio;
  const char* target;  // under the test directory, which holds the directory "dir"
  FileError want;
};

// Files are written under a temporary name in their directory, then renamed.
const WriteCase kWrites[] = {
    {"a new file", false, "new", FileError::kNone},
    {"into a missing directory", false, "none/new", FileError::kCannotCreate},
    {"over a directory", false, "dir", FileError::kWriteFailed},
    {"a new audio file", true, "new.wav", FileError::kNone},
    {"an extension that names no format", true, "new.mp3", FileError::kUnknownFormat},
    {"audio into a missing directory", true, "none/new.flac", FileError::kCannotCreate},
    {"audio over a directory", true, "dir.aiff", FileError::kWriteFailed},
};

FileResult write_with(bool audio, const char* path) {
  if (!audio) return write_file_replacing(path, {1, 2, 3});
  FileResult result{};
  AudioWriter* writer = audio_writer_open(path, 2, 44100, -1, result);
  if (!writer) return result;
  const int16_t frames[4] = {1, 2, 3, 4};
  audio_writer_write(writer, frames, 2);
  return audio_writer_finish(writer);
}

TEST(FileCodes, EachWriterFailsWithItsCode) {
  for (const WriteCase& c : kWrites) {
    SCOPED_TRACE(std::string(c.what) + ": " + c.target);
    const fs::path dir = temp_dir();
    fs::create_directory(dir / "dir");
    fs::create_directory(dir / "dir.aiff");
    const FileResult result = write_with(c.audio, (dir / c.target).c_str());
    EXPECT_EQ(static_cast<int32_t>(result.error), static_cast<int32_t>(c.want));
    EXPECT_EQ(result.ok, c.want == FileError::kNone);
    fs::remove_all(dir);
  }
}

// Every save the user makes keeps the file it replaces as NAME.bak, unless
// the settings say no; a failed save leaves both files as they were and no
// other file. The two files, "FILE BAK": "-" none, "/" a folder, "*" what
// the save wrote; a limit of 512 bytes per file fails the write midway (every
// file saved here is longer), even for root.
TEST(FileCodes, EverySaveKeepsTheOldFileAsBackupWhenSet) {
  // Before, the settings ('b' backups on, 'n' off, 'w' on and 'x' off with
  // the limit), after. Songs and patterns are written as modules and tracks are.
  const char* const kCases[] = {"- - b * -",           "old older b * old",
                                "old older n * older", "old older w old older",
                                "old - x old -",       "old / b old /"};
  int32_t (*const kSaves[])(const char*, EditorState*) = {
      [](const char* p, EditorState* s) { return save_module(s->player, p, s, kKindModule); },
      [](const char* p, EditorState* s) {
        test_module::make_constant_sample(s->player, 3, 1000, 9);
        return save_sample(p, s, 3, true);
      },
      save_track};
  const fs::path dir = temp_dir(), paths[] = {dir / "a", dir / "a.bak"};
  rlimit unlimited;
  getrlimit(RLIMIT_FSIZE, &unlimited);
  const rlimit limit{512, unlimited.rlim_max};
  signal(SIGXFSZ, SIG_IGN);
  for (const auto save : kSaves) {
    for (const char* row : kCases) {
      std::istringstream words(row);
      std::string word, setting, want;
      for (const fs::path& path : paths) {
        fs::remove_all(path);
        words >> word;
        if (word == "/") fs::create_directories(path / "x");
        if (word != "/" && word != "-") std::ofstream(path) << word;
      }
      std::getline(words >> setting >> std::ws, want);
      screen_test::Screen screen;
      screen.state.settings.backups = setting != "n" && setting != "x";
      if (setting == "w" || setting == "x") setrlimit(RLIMIT_FSIZE, &limit);
      const int32_t saved = save(paths[0].c_str(), &screen.state);
      setrlimit(RLIMIT_FSIZE, &unlimited);
      std::string after;
      for (const fs::path& path : paths) {
        std::ifstream in(path);
        const std::string bytes = fs::is_directory(path) ? "/"
                                  : !in                  ? "-"
                                        : std::string(std::istreambuf_iterator<char>(in), {});
        after += (bytes.size() > 5 ? "*" : bytes) + " ";
      }
      EXPECT_EQ(after, want + " ") << row;
      // A refused save says why: the write failed, or the old file could not be kept.
      const char* why = want[0] == '*' ? "saved" : setting == "b" ? "BACKUP FAILED" : "SAVE FAILED";
      EXPECT_EQ(saved ? "saved" : std::string(screen.state.status.message), why);
      EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}),
                2 - std::count(after.begin(), after.end(), '-'));  // no temporary file left
    }
  }
  fs::remove_all(dir);
}

}  // namespace
