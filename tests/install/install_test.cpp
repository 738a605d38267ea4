// Quexa installed as a desktop program: `cmake --install` into a scratch
// prefix, the installed programs run from there, the menu entry's pieces fit
// together, and the launcher gives the window a data directory of its own.
// The .deb is built and unpacked when QUEXA_TEST_DEB is set to anything but
// 0, as the test command does.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <regex>
#include <set>

#include "support/scratch_dir.h"

namespace quexa::testing {
namespace {

namespace fs = std::filesystem;

#ifndef QUEXA_CMAKE
#define QUEXA_CMAKE "cmake"
#endif
#ifndef QUEXA_CPACK
#define QUEXA_CPACK "cpack"
#endif

const std::string kBuildDir = fs::path(QUEXA_BIN_DIR).parent_path().string();

struct Outcome {
  int status = -1;
  std::string out;  // standard output and standard error together
};

Outcome run(const std::string& command) {
  Outcome r;
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p) return r;
  std::array<char, 4096> chunk;
  size_t n;
  while ((n = fread(chunk.data(), 1, chunk.size(), p)) > 0) r.out.append(chunk.data(), n);
  int status = pclose(p);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

bool isExecutable(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & S_IXUSR);
}

bool haveTool(const std::string& name) {
  return run("command -v " + name + " >/dev/null").status == 0;
}

// The keys of the [Desktop Entry] group.
std::map<std::string, std::string> desktopEntry(const std::string& text) {
  std::map<std::string, std::string> keys;
  std::istringstream in(text);
  std::string line;
  bool inEntry = false;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      inEntry = line == "[Desktop Entry]";
      continue;
    }
    size_t eq = line.find('=');
    if (inEntry && eq != std::string::npos) keys[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return keys;
}

// The names under "Subcommands:" in a CLI11 help text.
std::set<std::string> subcommandsIn(const std::string& help) {
  std::set<std::string> names;
  size_t at = help.find("Subcommands:");
  if (at == std::string::npos) return names;
  std::istringstream in(help.substr(at));
  std::string line;
  std::getline(in, line);
  std::regex entry(R"(^  ([a-z][a-z-]*)\s)");
  std::smatch m;
  while (std::getline(in, line))
    if (std::regex_search(line, m, entry)) names.insert(m[1]);
  return names;
}

// Every installation holds these, below its prefix.
const char* const kInstalledFiles[] = {"bin/quexa-cli",
                                       "bin/quexa-launch",
                                       "lib/quexa/libmzk11.so",
                                       "share/applications/quexa.desktop",
                                       "share/icons/hicolor/scalable/apps/quexa.svg",
                                       "share/man/man1/quexa-cli.1"};

// An installed command line, run with nothing of the build tree in reach,
// answers --help and matches a page: it loads libmzk11.so from lib/quexa, as
// bin/ holds none.
void expectTheCommandLineRuns(const std::string& cli) {
  const std::string command = "env -u LD_LIBRARY_PATH -u LD_PRELOAD '" + cli + "' ";
  Outcome help = run(command + "--help");
  EXPECT_EQ(help.status, 0) << help.out;
  EXPECT_NE(help.out.find("Subcommands:"), std::string::npos) << help.out;
  ScratchDir data;
  data.write("page.html",
             "<html><head><title>t</title></head><body><p>Fresh coffee daily</p><p>tea</p>"
             "</body></html>");
  Outcome yes =
      run(command + "--data-dir " + data.path() + " match " + data.file("page.html") + " coffee");
  EXPECT_EQ(yes.status, 0) << yes.out;
  EXPECT_EQ(yes.out, "match: yes (result 1)\nFresh coffee daily\n");
}

// One installation per test program run, shared by its tests.
class InstalledTree : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    prefix_ = new ScratchDir;
    install_ = new Outcome(
        run("'" QUEXA_CMAKE "' --install '" + kBuildDir + "' --prefix '" + prefix_->path() + "'"));
  }
  static void TearDownTestSuite() {
    delete prefix_;
    delete install_;
  }
  void SetUp() override { ASSERT_EQ(install_->status, 0) << install_->out; }

  static std::string installed(const std::string& relative) { return prefix_->file(relative); }

  static inline ScratchDir* prefix_ = nullptr;
  static inline Outcome* install_ = nullptr;
};

TEST_F(InstalledTree, PutsEveryFileWhereTheDesktopAndTheLoaderLookAndTheCommandLineRuns) {
  for (const char* f : kInstalledFiles) EXPECT_TRUE(fs::exists(installed(f))) << f;
  EXPECT_TRUE(isExecutable(installed("bin/quexa-cli")));
  EXPECT_TRUE(isExecutable(installed("bin/quexa-launch")));
  EXPECT_FALSE(fs::exists(installed("bin/libmzk11.so")));
  // The window is installed whenever it was built.
  if (fs::exists(std::string(QUEXA_BIN_DIR) + "/quexa")) {
    EXPECT_TRUE(isExecutable(installed("bin/quexa")));
  }
  // The manual and its pictures come along whenever they are written.
  const fs::path docs = fs::path(QUEXA_SOURCE_DIR) / "docs";
  if (fs::exists(docs / "manual.html")) {
    EXPECT_TRUE(fs::exists(installed("share/doc/quexa/manual.html")));
  }
  // Notes for developers are not installed.
  for (const auto& f : fs::directory_iterator(docs)) {
    const fs::path ext = f.path().extension();
    if (ext == ".png" || ext == ".md") {
      EXPECT_EQ(fs::exists(installed("share/doc/quexa/" + f.path().filename().string())),
                ext == ".png")
          << f.path();
    }
  }
  expectTheCommandLineRuns(installed("bin/quexa-cli"));
}

TEST_F(InstalledTree, MenuEntryStartsTheInstalledLauncherWithTheInstalledIcon) {
  const std::string text = prefix_->read("share/applications/quexa.desktop");
  auto keys = desktopEntry(text);
  EXPECT_EQ(keys["Type"], "Application");
  EXPECT_EQ(keys["Name"], "Quexa");
  EXPECT_EQ(keys["Terminal"], "false");
  // Exec names a program found through PATH, i.e. in the prefix's bin/.
  std::string exec = keys["Exec"].substr(0, keys["Exec"].find(' '));
  ASSERT_FALSE(exec.empty());
  EXPECT_EQ(exec.find('/'), std::string::npos) << exec;
  EXPECT_TRUE(isExecutable(installed("bin/" + exec))) << exec;
  EXPECT_EQ(keys["TryExec"], exec);
  EXPECT_TRUE(fs::exists(installed("share/icons/hicolor/scalable/apps/" + keys["Icon"] + ".svg")))
      << keys["Icon"];
  if (haveTool("desktop-file-validate")) {
    Outcome v =
        run("desktop-file-validate '" + installed("share/applications/quexa.desktop") + "'");
    EXPECT_EQ(v.status, 0) << v.out;
  }
  const std::string icon = installed("share/icons/hicolor/scalable/apps/quexa.svg");
  if (haveTool("xmllint")) {
    Outcome v = run("xmllint --noout '" + icon + "'");
    EXPECT_EQ(v.status, 0) << v.out;
  }
  EXPECT_NE(prefix_->read("share/icons/hicolor/scalable/apps/quexa.svg").find("<svg"),
            std::string::npos);
}

TEST_F(InstalledTree, ManPageDescribesEveryCommandAndIsCleanRoff) {
  const std::string page = prefix_->read("share/man/man1/quexa-cli.1");
  ASSERT_FALSE(page.empty());
  // The commands the program has now, and the ones still being written.
  std::set<std::string> commands =
      subcommandsIn(run("'" + installed("bin/quexa-cli") + "' --help").out);
  EXPECT_TRUE(commands.count("match")) << "help lists no subcommands";
  for (const char* planned :
       {"settings", "index", "words", "fetch", "match", "sites", "engines", "links"})
    commands.insert(planned);
  for (const auto& c : commands)
    EXPECT_NE(page.find("\n.SS " + c + "\n"), std::string::npos) << "no section for " << c;
  if (haveTool("groff")) {
    Outcome check =
        run("groff -man -Tutf8 -ww -z '" + installed("share/man/man1/quexa-cli.1") + "'");
    EXPECT_EQ(check.status, 0);
    EXPECT_EQ(check.out, "") << "roff warnings";
  }
}

// The launcher, installed beside a stand-in for the window that reports the
// directory it was started in and its arguments.
class Launcher : public InstalledTree {
 protected:
  void SetUp() override {
    InstalledTree::SetUp();
    fs::create_directories(bin());
    fs::copy_file(installed("bin/quexa-launch"), bin() + "quexa-launch");
    home_.write("bin/quexa", "#!/bin/sh\necho \"dir=$(pwd)\"\necho \"args=$*\"\n");
    fs::permissions(bin() + "quexa", fs::perms::owner_all);
  }
  std::string bin() const { return home_.file("bin/"); }
  // The launcher with exactly these environment settings.
  Outcome launch(const std::string& environment, const std::string& args = "",
                 const std::string& launcher = "") {
    return run("env -i PATH=/usr/bin:/bin " + environment + " '" +
               (launcher.empty() ? bin() + "quexa-launch" : launcher) + "' " + args);
  }
  ScratchDir home_;
};

TEST_F(Launcher, StartsQuexaInItsOwnDataDirectoryMadeWhenMissingAndKeptAfter) {
  const std::string xdg = home_.file("xdg");
  Outcome r = launch("HOME=" + home_.path() + " XDG_DATA_HOME=" + xdg, "one 'two words'");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, "dir=" + xdg + "/quexa\nargs=one two words\n");
  EXPECT_TRUE(fs::is_directory(xdg + "/quexa"));

  // Without XDG_DATA_HOME, or with one that is not absolute, the default
  // place under the home directory is used.
  const std::string fallback = "dir=" + home_.file(".local/share/quexa") + "\nargs=\n";
  EXPECT_EQ(launch("HOME=" + home_.path()).out, fallback);
  EXPECT_EQ(launch("HOME=" + home_.path() + " XDG_DATA_HOME=relative/dir").out, fallback);
  EXPECT_EQ(launch("HOME=" + home_.path() + " XDG_DATA_HOME=").out, fallback);
  EXPECT_FALSE(fs::exists(home_.file("relative")));
  // Called through a link, it finds quexa beside itself.
  fs::create_directories(home_.file("elsewhere"));
  fs::create_symlink(bin() + "quexa-launch", home_.file("elsewhere/quexa-launch"));
  EXPECT_EQ(launch("HOME=" + home_.path(), "", home_.file("elsewhere/quexa-launch")).out, fallback);

  // A later start keeps the data of the earlier one.
  home_.write("xdg/quexa/qxindex.ini", "[News]\r\nhttp://a.example/\r\n");
  EXPECT_EQ(launch("HOME=" + home_.path() + " XDG_DATA_HOME=" + xdg).status, 0);
  EXPECT_EQ(home_.read("xdg/quexa/qxindex.ini"), "[News]\r\nhttp://a.example/\r\n");

  // Without any home it refuses to guess.
  Outcome homeless = launch("");
  EXPECT_NE(homeless.status, 0);
  EXPECT_EQ(homeless.out.find("dir="), std::string::npos) << homeless.out;
}

// cpack -G DEB, then the package's fields and contents.
TEST(DebPackage, BuildsAQuexaPackageThatRunsWhenUnpacked) {
  const char* wanted = std::getenv("QUEXA_TEST_DEB");
  if (wanted == nullptr || std::string(wanted) == "0")
    GTEST_SKIP() << "set QUEXA_TEST_DEB=1 to build the .deb";
  if (!haveTool("dpkg-deb")) GTEST_SKIP() << "no dpkg-deb";
  ScratchDir out;
  Outcome pack = run("cd '" + out.path() + "' && '" QUEXA_CPACK "' -G DEB --config '" + kBuildDir +
                     "/CPackConfig.cmake' -B '" + out.path() + "'");
  ASSERT_EQ(pack.status, 0) << pack.out;
  std::string deb;
  for (const auto& f : fs::directory_iterator(out.path()))
    if (f.path().extension() == ".deb") deb = f.path().string();
  ASSERT_FALSE(deb.empty()) << pack.out;
  EXPECT_NE(deb.find("quexa_2.0.0_"), std::string::npos) << deb;

  auto field = [&](const std::string& name) {
    std::string v = run("dpkg-deb -f '" + deb + "' " + name).out;
    while (!v.empty() && v.back() == '\n') v.pop_back();
    return v;
  };
  EXPECT_EQ(field("Package"), "quexa");
  EXPECT_EQ(field("Version"), "2.0.0");
  EXPECT_EQ(field("Maintainer"), "Quexa developers");
  EXPECT_NE(field("Depends").find("libcurl"), std::string::npos) << field("Depends");
  EXPECT_NE(field("Depends").find("fonts-wqy-microhei"), std::string::npos) << field("Depends");

  ASSERT_EQ(run("dpkg-deb -x '" + deb + "' '" + out.file("root") + "'").status, 0);
  for (const char* f : kInstalledFiles) EXPECT_TRUE(out.exists("root/usr/" + std::string(f))) << f;
  expectTheCommandLineRuns(out.file("root/usr/bin/quexa-cli"));
}

}  // namespace
}  // namespace quexa::testing
