// The README's tour, run as the README writes it, so that the README and
// kelhost cannot drift apart.
//
// The tour is the ```sh block right under the heading "## Tour". In it:
// - a line that does not start with '#' is a command, as a user pastes it
//   from the repository's root; `build/bin/kelhost` stands for the built
//   kelhost, and `./build.sh demo` for `kelhost demo` (what it runs once
//   the build is done);
// - the comment lines after a command say what it prints: every text in
//   double quotes there must appear in the command's standard output, and
//   each command that is run names at least one;
// - a command is run in order, on a temporary folder holding a copy of
//   examples/, and must end with exit status 0;
// - an `edit-type` or `new-contract` line without `--script` opens a dialog
//   on screen for a person; it is not run.
// Commands are split into words as a shell splits plain words and quoted
// ones; any other shell syntax in the tour fails the test, so that what
// runs here is what the shell runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "kelhost_run.h"

namespace {

using kelhost_test::Launch;
using kelhost_test::ReadFile;
using kelhost_test::RunKelhost;
using kelhost_test::TempDir;

namespace fs = std::filesystem;

constexpr const char* kHeading = "## Tour";
constexpr const char* kKelhost = "build/bin/kelhost";

struct TourStep {
  std::string line;                   // as the README writes it
  std::vector<std::string> words;     // the shell's words
  std::vector<std::string> expected;  // quoted texts of the comments after it
};

// The lines of the fenced block right under the tour's heading; empty when
// there is none.
std::vector<std::string> TourBlock(const std::string& readme) {
  std::istringstream in(readme);
  std::string line;
  while (std::getline(in, line) && line != kHeading) {
  }
  // Prose may stand between the heading and the block, but no other heading.
  while (std::getline(in, line) && line != "```sh")
    if (line.rfind("#", 0) == 0) return {};
  std::vector<std::string> block;
  while (std::getline(in, line)) {
    if (line == "```") return block;
    block.push_back(line);
  }
  return {};  // never closed
}

// Splits a command line into words as the shell does for plain and quoted
// words; returns false at anything else the shell would treat specially.
bool ShellWords(const std::string& line, std::vector<std::string>& words) {
  words.clear();
  std::string word;
  bool inWord = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == ' ' || c == '\t') {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else if (c == '"' || c == '\'') {
      const size_t end = line.find(c, i + 1);
      if (end == std::string::npos) return false;
      const std::string quoted = line.substr(i + 1, end - i - 1);
      if (c == '"' && quoted.find_first_of("$`\\!") != std::string::npos) return false;
      word += quoted;
      inWord = true;
      i = end;
    } else if (std::string("$`\\|&;<>()*?[]{}~").find(c) != std::string::npos || (c == '#' && !inWord)) {
      return false;  // expansions, redirections, globs, a comment
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words.push_back(word);
  return true;
}

// The texts in double quotes of a comment line.
std::vector<std::string> QuotedTexts(const std::string& comment) {
  std::vector<std::string> texts;
  for (size_t open = comment.find('"'); open != std::string::npos; open = comment.find('"', open + 1)) {
    const size_t close = comment.find('"', open + 1);
    if (close == std::string::npos) break;
    texts.push_back(comment.substr(open + 1, close - open - 1));
    open = close;
  }
  return texts;
}

std::vector<TourStep> ReadTour() {
  std::vector<TourStep> steps;
  for (const std::string& line : TourBlock(ReadFile(KP_README_PATH))) {
    if (line.empty()) continue;
    if (line[0] == '#') {
      if (steps.empty()) {
        ADD_FAILURE() << "the tour begins with a comment: " << line;
        continue;
      }
      for (const std::string& text : QuotedTexts(line)) steps.back().expected.push_back(text);
      continue;
    }
    TourStep step{line, {}, {}};
    if (!ShellWords(line, step.words) || step.words.empty())
      ADD_FAILURE() << "the tour's line is not plain words for the shell: " << line;
    steps.push_back(step);
  }
  return steps;
}

bool Has(const std::vector<std::string>& words, const std::string& word) {
  return std::find(words.begin(), words.end(), word) != words.end();
}

// A line that opens a dialog on screen: it needs a person, and is not run.
bool OpensDialogOnScreen(const std::vector<std::string>& words) {
  return words.size() >= 2 && words[0] == kKelhost && (words[1] == "edit-type" || words[1] == "new-contract") &&
         !Has(words, "--script");
}

// kelhost's arguments for a tour command; false for a command the tour
// may not hold.
bool KelhostArguments(const std::vector<std::string>& words, std::vector<std::string>& args) {
  if (words == std::vector<std::string>{"./build.sh", "demo"}) {
    args = {"demo"};
    return true;
  }
  if (words.size() < 2 || words[0] != kKelhost) return false;
  args.assign(words.begin() + 1, words.end());
  return true;
}

TEST(KelhostTour, RunsAsTheReadmeWritesIt) {
  const std::vector<TourStep> steps = ReadTour();
  ASSERT_FALSE(steps.empty()) << "README.md has no ```sh block under \"" << kHeading << "\"";

  TempDir root;  // the repository's root, as far as the tour needs it
  TempDir outputs;
  fs::copy(KP_EXAMPLES_DIR, fs::path(root.path()) / "examples", fs::copy_options::recursive);

  std::vector<std::string> commandsRun;
  for (const TourStep& step : steps) {
    SCOPED_TRACE(step.line);
    if (OpensDialogOnScreen(step.words)) continue;
    std::vector<std::string> args;
    ASSERT_TRUE(KelhostArguments(step.words, args)) << "not a command the tour runs";
    EXPECT_FALSE(step.expected.empty()) << "no comment after it names, in double quotes, what it prints";
    const kelhost_test::Result r =
        RunKelhost(Launch{args, outputs.File("stdout.txt"), outputs.File("stderr.txt"), root.path()});
    ASSERT_EQ(r.status, 0) << r.err;
    for (const std::string& text : step.expected)
      EXPECT_TRUE(r.out.find(text) != std::string::npos) << "it does not print \"" << text << "\"";
    commandsRun.push_back(args[0] + (Has(args, "--script") ? " --script" : ""));
  }

  // The tour shows what a new user meets first, each at least once.
  ASSERT_FALSE(commandsRun.empty());
  EXPECT_EQ(commandsRun.front(), "demo");
  for (const char* command : {"show", "debitor", "edit-type --script", "new-contract --script"})
    EXPECT_TRUE(Has(commandsRun, command)) << "the tour runs no " << command;
  EXPECT_TRUE(std::any_of(steps.begin(), steps.end(), [](const TourStep& s) { return OpensDialogOnScreen(s.words); }))
      << "the tour shows no dialog on screen";
}

// Every file in examples/ is one the tour uses, and so one that it runs.
TEST(KelhostTour, UsesEveryExampleFile) {
  std::vector<std::string> named;
  for (const TourStep& step : ReadTour())
    if (!OpensDialogOnScreen(step.words)) named.insert(named.end(), step.words.begin(), step.words.end());
  size_t files = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(KP_EXAMPLES_DIR)) {
    ++files;
    const std::string name = "examples/" + entry.path().filename().string();
    EXPECT_TRUE(Has(named, name)) << name << " is not used by the tour";
  }
  EXPECT_GT(files, 0u);
}

}  // namespace
