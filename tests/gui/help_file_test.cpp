// Which document "&Help" opens: the data directory's help file, else the
// first manual that exists; a folder of that name is no help file.
#include <gtest/gtest.h>

#include <fstream>

#include "help_file.h"
#include "support/scratch_dir.h"

namespace quexa {
namespace {

TEST(HelpFileTest, PrefersTheDataDirectorysHelpFileThenTheFirstManualThatExists) {
  const testing::ScratchDir root;
  std::filesystem::create_directories(root.file("data"));
  const std::string dataDir = root.file("data/");
  root.write("manual.html", "<html></html>");
  const std::string missing = root.file("missing.html"), manual = root.file("manual.html");
  EXPECT_EQ(helpDocument(dataDir, {missing}), "");
  EXPECT_EQ(helpDocument(dataDir, {missing, manual}), manual);
  std::ofstream(dataDir + "quexa.hlp") << "help";
  EXPECT_EQ(helpDocument(dataDir, {manual}), dataDir + "quexa.hlp");
  std::filesystem::remove(dataDir + "quexa.hlp");
  std::filesystem::create_directory(dataDir + "quexa.hlp");
  EXPECT_EQ(helpDocument(dataDir, {manual}), manual);
}

}  // namespace
}  // namespace quexa
