// quexa-cli's settings, index and words commands, run as processes against a
// fresh data directory.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <nlohmann/json.hpp>

#include "app/settings.h"
#include "data/index_file.h"
#include "data/word_list.h"
#include "support/cli_transcript.h"

namespace quexa {
namespace {

using test::CliRun;

struct DataCommands : ::testing::Test {
  testing::ScratchDir dir;

  // No argument holds a single quote, so quoting each keeps it whole.
  CliRun cli(const std::vector<std::string>& args) {
    std::string line;
    for (const std::string& a : args) line += " '" + a + "'";
    return test::runCli(dir, line);
  }

  // Refused with this exit status and one line on stderr, the command's own
  // message, holding the reason.
  ::testing::AssertionResult refused(const std::vector<std::string>& args, int exitCode,
                                     const std::string& reason) {
    const CliRun r = cli(args);
    if (r.exitCode == exitCode && r.err.find(reason) != std::string::npos &&
        std::count(r.err.begin(), r.err.end(), '\n') == 1)
      return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << args[0] << " " << args[1] << " exited with " << r.exitCode << ", stderr: " << r.err;
  }
};

TEST_F(DataCommands, SettingsShowAndSet) {
  CliRun show = cli({"settings", "show", "--json"});
  ASSERT_EQ(show.exitCode, 0) << show.err;
  auto j = nlohmann::json::parse(show.out);
  EXPECT_EQ(j.size(), 14u);
  EXPECT_EQ(j["hits"], "3000");
  EXPECT_EQ(j["mode"], "sites");

  for (auto [field, value] :
       std::vector<std::pair<std::string, std::string>>{{"search-all", "0"},
                                                        {"excite", "on"},
                                                        {"proxy", "cache:3128"},
                                                        {"timeout", "44"},
                                                        {"mode", "engines"},
                                                        {"width", "12000"}})
    EXPECT_EQ(cli({"settings", "set", field, value}).exitCode, 0) << field;
  Settings s = loadSettings(dir.path());
  EXPECT_TRUE(!s.optSearchAll && s.chkExcite && !s.chkYahoo);
  EXPECT_EQ(s.proxyText, "cache:3128");
  EXPECT_EQ(s.timeoutText, "44");
  EXPECT_EQ(s.mineMode * 10 + s.engineMode, 1);
  EXPECT_EQ(s.savedFormWidth, 12000);
  EXPECT_EQ(dir.read(kSettingsFileName).size(), 300u);
  EXPECT_NE(cli({"settings", "show"}).out.find("proxy: cache:3128\nhits: 3000\n"),
            std::string::npos);
}

TEST_F(DataCommands, SettingsRefuseWhatTheRecordCannotHold) {
  cli({"settings", "set", "proxy", "keep"});
  const std::string before = dir.read(kSettingsFileName);
  for (auto [field, value] :
       std::vector<std::pair<std::string, std::string>>{{"hits", "12a"},
                                                        {"hits", "99"},
                                                        {"hits", "30001"},
                                                        {"timeout", "0"},
                                                        {"timeout", "91"},
                                                        {"retry", "100"},
                                                        {"timeout", "12345678901"},
                                                        {"retry", ""},
                                                        {"proxy", std::string(201, 'p')},
                                                        {"proxy", "\xE2\x82\xAC"},
                                                        {"case", "maybe"},
                                                        {"mode", "both"},
                                                        {"width", "0"},
                                                        {"colour", "1"}})
    EXPECT_TRUE(refused({"settings", "set", field, value}, 2, "quexa-cli: ")) << value;
  EXPECT_EQ(dir.read(kSettingsFileName), before) << "a refused value writes nothing";
}

// Bad usage of the search commands: exit 2 and one line with the reason,
// before any request.
TEST_F(DataCommands, BadSearchUsageIsRefusedWithAReason) {
  cli({"index", "create", "A", "http://127.0.0.1:1/"});
  const std::string url = "http://127.0.0.1:1/";
  for (const auto& [args, reason] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"sites", "--index", "A", "--max-sites", "99", "x"}, "--max-sites takes"},
           {{"sites", "--index", "A", "--max-sites", "lots", "x"}, "--max-sites takes"},
           {{"sites", "--index", "A", "--max-sites", "99999999999999999999", "x"}, "--max-sites"},
           {{"sites", "--index", "A", "--timeout", "0", "x"}, "--timeout takes"},
           {{"sites", "--index", "A", "--timeout", "-1", "x"}, "--timeout takes"},
           {{"links", url, "x", "--retry", "32767"}, "--retry takes"},
           {{"links", url, "x", "--retry", "-1"}, "--retry takes"},
           {{"links", url, "x", "--max-sites", "1e9"}, "--max-sites takes"},
           {{"engines", "--engine", "excite", "x", "--timeout", "29"}, "--timeout takes"},
           {{"fetch", url, "--retry", "2"}, "--retry takes"},
           {{"sites", "--index", "NoSuchIndex", "x"}, "no index named \"NoSuchIndex\""},
           {{"sites", "--index", "A", "x", "x"}, "expected AND, OR or NOT before 'x'"},
           {{"sites", "--index", "A", "a", "AND", "b", "OR", "c", "NOT", "d", "AND", "e"},
            "at most four search texts"},
           {{"sites", "--index", "A", "x", "--format", "html"}, "unknown format 'html'"},
           {{"links", url, "x", "--retry", "lots"}, "--retry takes a whole number from 3 to 99"},
           {{"links", url}, "a search text is required"},
           {{"links", url, "x", "AND"}, "a text must follow 'AND'"},
           {{"links", url, "x", "--format", "pdf"}, "unknown format 'pdf' (text, rtf or json)"},
           {{"engines", "--engine", "google", "x"}, "unknown engine 'google'"},
           {{"engines", "--engine", "excite", "--host", "excite", "x"}, "bad --host 'excite'"},
           {{"engines", "--engine", "excite", "--host", "gopher=127.0.0.1", "x"},
            "bad --host 'gopher=127.0.0.1'"}})
    EXPECT_TRUE(refused(args, 2, "quexa-cli: " + reason)) << reason;
}

TEST_F(DataCommands, BracketsReachTheProgramAsTyped) {
  ASSERT_EQ(cli({"index", "create", "A", "http://a.example/"}).exitCode, 0);
  ASSERT_EQ(cli({"words", "add", "--engine", "[ab,cd]", "x[1]"}).exitCode, 0);
  EXPECT_NE(dir.read("qxwordeg.ini").find("[ab,cd]\r\nx[1]"), std::string::npos);
  // In an index's list such a text would read as a section header.
  EXPECT_TRUE(refused({"words", "add", "--index", "A", "[ab,cd]"}, 2,
                      "quexa-cli: \"[ab,cd]\" holds both brackets"));
  // An address in brackets is no address starting with http://.
  EXPECT_EQ(cli({"index", "create", "B", "[http://b.example/]"}).exitCode, 2);
  EXPECT_EQ(loadIndexNames(dir.path()), (std::vector<std::string>{"A"}));

  dir.write("plain.html", "<body>a needle here</body>");
  dir.write("bracketed.html", "<body>a [needle] here</body>");
  for (const auto& [file, said] : std::vector<std::pair<std::string, std::string>>{
           {"plain.html", "match: no"}, {"bracketed.html", "match: yes"}}) {
    CliRun r = cli({"match", dir.file(file), "[needle]"});
    EXPECT_EQ(r.out.rfind(said, 0), 0u) << file << ": " << r.out;
  }
}

TEST_F(DataCommands, IndexCreateShowAddAndRefusals) {
  CliRun created = cli({"index", "create", "Work", "http://b", "HTTP://A"});
  ASSERT_EQ(created.exitCode, 0) << created.err;
  EXPECT_EQ(dir.read(kIndexFileName), "[Work]\r\nHTTP://A\r\nhttp://b\r\n");
  ASSERT_EQ(cli({"index", "create", "Home", "http://h"}).exitCode, 0);

  EXPECT_EQ(cli({"index", "list"}).out, "Work\nHome\n");
  EXPECT_EQ(cli({"index", "show", "Work"}).out, "HTTP://A\nhttp://b\n");

  EXPECT_TRUE(refused({"index", "create", "Work", "http://c"}, 1, "exists already"));
  EXPECT_TRUE(refused({"index", "create", "Other", "http://ok", "http://"}, 2,
                      "You must enter a valid URL starting with http://"));
  EXPECT_TRUE(refused({"index", "create", "Unknown Index", "http://u"}, 2,
                      "You must specify an index name!"));
  EXPECT_TRUE(refused({"index", "create", "a]b", "http://u"}, 2, "quexa-cli: "));
  EXPECT_EQ(cli({"index", "create", "OnlyName"}).exitCode, 2);
  EXPECT_TRUE(refused({"index", "add", "Work", "http://b"}, 1,
                      "This URL is already in the current category."));
  EXPECT_TRUE(refused({"index", "add", "Nowhere", "http://x"}, 1, "quexa-cli: "));

  ASSERT_EQ(cli({"index", "add", "Work", "http://a"}).exitCode, 0);
  EXPECT_EQ(dir.read(kIndexFileName),
            "[Work]\r\nHTTP://A\r\nhttp://a\r\nhttp://b\r\n[Home]\r\nhttp://h\r\n")
      << "rewritten in place, sorted";
  EXPECT_EQ(cli({"index", "show", "Nowhere"}).exitCode, 1);
}

TEST_F(DataCommands, IndexRemoveAndDeleteTakeTheSearchTextsAlong) {
  dir.write(kIndexFileName, "[Work]\r\nhttp://a\r\nhttp://b\r\n[Home]\r\nhttp://h\r\n");
  dir.write(kWordFileName, "[Work]\r\nalpha\r\n[Home]\r\nhome\r\n");

  CliRun missing = cli({"index", "remove", "Work", "http://a", "http://zz"});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(loadIndexUrls(dir.path(), "Work"), (std::vector<std::string>{"http://a", "http://b"}))
      << "nothing is removed when one address is not there";

  ASSERT_EQ(cli({"index", "remove", "Work", "http://a"}).exitCode, 0);
  EXPECT_EQ(dir.read(kIndexFileName), "[Work]\r\nhttp://b\r\n[Home]\r\nhttp://h\r\n");
  EXPECT_EQ(dir.read(kWordFileName), "[Work]\r\nalpha\r\n[Home]\r\nhome\r\n");

  ASSERT_EQ(cli({"index", "remove", "Work", "http://b"}).exitCode, 0);
  EXPECT_EQ(dir.read(kIndexFileName), "[Home]\r\nhttp://h\r\n") << "the last address deletes it";
  EXPECT_EQ(dir.read(kWordFileName), "[Home]\r\nhome\r\n");

  ASSERT_EQ(cli({"index", "delete", "Home"}).exitCode, 0);
  EXPECT_EQ(dir.read(kIndexFileName), "");
  EXPECT_EQ(dir.read(kWordFileName), "");
  EXPECT_EQ(cli({"index", "delete", "Home"}).exitCode, 1);
}

TEST_F(DataCommands, IndexAddRefusesASectionItCannotRewrite) {
  dir.write(kIndexFileName, "  [Work] \r\nhttp://a\r\n");
  CliRun r = cli({"index", "add", "Work", "http://b"});
  EXPECT_EQ(r.exitCode, 1) << "the save would be lost, so it is not reported as done";
  EXPECT_EQ(dir.read(kIndexFileName), "  [Work] \r\nhttp://a\r\n");

  // Two sections of one name: the editor would write both sections' addresses into each.
  const std::string twice = "[A]\r\nhttp://a\r\n[B]\r\nhttp://b\r\n[A]\r\nhttp://c\r\n";
  dir.write(kIndexFileName, twice);
  for (const char* action : {"add", "remove"}) {
    EXPECT_TRUE(
        refused({"index", action, "A", action == std::string("add") ? "http://d" : "http://c"}, 1,
                "holds 2 sections named \"A\"; it was not changed"));
    EXPECT_EQ(dir.read(kIndexFileName), twice);
  }
}

// What is no regular file is refused with a reason instead of holding the
// command up; reading needs no write access to the directory.
TEST_F(DataCommands, ReadingNeverWaitsOnAFifoNorNeedsToWrite) {
  ASSERT_EQ(::mkfifo(dir.file(kEngineWordFileName).c_str(), 0644), 0);
  EXPECT_TRUE(refused({"words", "list", "--engine"}, 1, "not a regular file"));
  ::unlink(dir.file(kEngineWordFileName).c_str());

  // Run as nobody: root may write anywhere.
  ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
  const std::string asNobody = "exec setpriv --reuid=65534 --regid=65534 --clear-groups " +
                               test::cliCommand(dir, "words list --engine").substr(5);
  CliRun readOnly = test::collectRun(dir, std::system(asNobody.c_str()));
  EXPECT_EQ(readOnly.exitCode, 0) << readOnly.err;
  EXPECT_FALSE(dir.exists(kEngineWordFileName));
}

// Two processes changing one list at the same time: every change that
// reports success is in the file.
TEST_F(DataCommands, RacingWritersLoseNothing) {
  ASSERT_EQ(cli({"index", "create", "W", "http://seed"}).exitCode, 0);
  const std::string bin =
      "timeout 60 " + std::string(QUEXA_BIN_DIR) + "/quexa-cli --data-dir '" + dir.path() + "'";
  const int each = 10;
  std::string script;
  for (const char* writer : {"p", "q"})
    script += "(for i in $(seq " + std::to_string(each) + "); do " + bin + " words add --engine " +
              writer + "$i && " + bin + " index add W http://" + writer +
              "$i || echo failed; done) >>'" + dir.file("failures") + "' 2>&1 & ";
  ASSERT_EQ(std::system((script + "wait").c_str()), 0);
  EXPECT_EQ(dir.read("failures"), "");
  const std::string words = cli({"words", "list", "--engine"}).out;
  const std::string urls = cli({"index", "show", "W"}).out;
  EXPECT_EQ(std::count(words.begin(), words.end(), '\n'), 2 * each) << words;
  EXPECT_EQ(std::count(urls.begin(), urls.end(), '\n'), 2 * each + 1) << urls;
}

TEST_F(DataCommands, WordsPerIndexAndForTheEngines) {
  dir.write(kWordFileName, "[A]\r\nx\r\n[B]\r\ny\r\n");
  ASSERT_EQ(cli({"words", "add", "--index", "A", " beta ", "alpha", "7"}).exitCode, 0);
  EXPECT_EQ(cli({"words", "list", "--index", "A"}).out, "7\nalpha\nbeta\nx\n");
  EXPECT_EQ(dir.read(kWordFileName), "[A]\r\n7\r\nalpha\r\nbeta\r\nx\r\n[B]\r\ny\r\n");

  ASSERT_EQ(cli({"words", "remove", "--index", "A", "7", "alpha", "beta", "x"}).exitCode, 0);
  EXPECT_EQ(dir.read(kWordFileName), "[A]\r\n[B]\r\ny\r\n");

  EXPECT_TRUE(
      refused({"words", "add", "--index", "B", " q "}, 2, "Search of single letter is invalid!"));
  EXPECT_EQ(cli({"words", "remove", "--index", "B", "zz"}).exitCode, 1);
  EXPECT_EQ(cli({"words", "list"}).exitCode, 2) << "a list must be named";
  EXPECT_EQ(cli({"words", "list", "--index", "B", "--engine"}).exitCode, 2);

  ASSERT_EQ(cli({"words", "add", "--index", "New", "n1"}).exitCode, 0);
  EXPECT_EQ(dir.read(kWordFileName), "[A]\r\n[B]\r\ny\r\n[New]\r\nn1\r\n");
  ASSERT_EQ(cli({"words", "clear", "--index", "B"}).exitCode, 0);
  EXPECT_EQ(dir.read(kWordFileName), "[A]\r\n[B]\r\n[New]\r\nn1\r\n");

  dir.write(kEngineWordFileName, "old\r\n\r\n");
  ASSERT_EQ(cli({"words", "add", "--engine", "e1"}).exitCode, 0);
  EXPECT_EQ(dir.read(kEngineWordFileName), "e1\r\nold\r\n");
  ASSERT_EQ(cli({"words", "clear", "--engine"}).exitCode, 0);
  EXPECT_EQ(dir.read(kEngineWordFileName), "");
}

}  // namespace
}  // namespace quexa
