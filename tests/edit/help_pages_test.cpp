// The help pages: every key the reference lists is on a page, and every
// line fits the screen's width.
#include <gtest/gtest.h>

#include <string>

#include "edit/help_screen.h"
#include "edit/key_reference.h"
#include "layout/help_layout.h"

TEST(HelpPages, ShowEveryKeyOfTheReferenceInLinesThatFit) {
  std::string all;
  for (const HelpPage& page : help_pages()) {
    for (const std::string& line : page.lines) {
      EXPECT_LE(line.size(), static_cast<size_t>(kHelpColumns)) << page.title << ": " << line;
      all += line + " ";
    }
  }
  // Wrapped text keeps its words in order, one space apart once the
  // indentation is squeezed out.
  std::string squeezed;
  for (const char c : all)
    if (c != ' ' || (!squeezed.empty() && squeezed.back() != ' ')) squeezed += c;
  for (const KeySection& section : key_reference())
    for (const KeyLine& key : section.lines)
      EXPECT_NE(squeezed.find(key.does), std::string::npos) << section.title << ": " << key.does;
  // The pages of the screens the help opens over.
  for (const ScreenId screen : {ScreenId::kDiskOp, ScreenId::kSampler, ScreenId::kEditOp,
                                ScreenId::kPositionEditor, ScreenId::kSetup})
    EXPECT_NE(help_page_of(screen), 0) << static_cast<int>(screen);
  EXPECT_EQ(help_page_of(ScreenId::kHelp), 0);
}
