// Which document "&Help" opens.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "help_file.h"

namespace quexa {
namespace {

TEST(HelpFileTest, PrefersTheDataDirectorysHelpFileThenTheFirstManualThatExists) {
  const auto root =
      std::filesystem::temp_directory_path() / ("quexa_help_" + std::to_string(::getpid()));
  std::filesystem::create_directories(root / "data");
  const std::string dataDir = (root / "data").string() + "/";
  const std::string missing = (root / "missing.html").string();
  const std::string manual = (root / "manual.html").string();
  std::ofstream(manual) << "<html></html>";

  EXPECT_EQ(helpDocument(dataDir, {missing}), "");
  EXPECT_EQ(helpDocument(dataDir, {missing, manual}), manual);
  std::ofstream(dataDir + "quexa.hlp") << "help";
  EXPECT_EQ(helpDocument(dataDir, {manual}), dataDir + "quexa.hlp");
  // A folder of that name is no help file.
  std::filesystem::remove(dataDir + "quexa.hlp");
  std::filesystem::create_directory(dataDir + "quexa.hlp");
  EXPECT_EQ(helpDocument(dataDir, {manual}), manual);
  std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace quexa
