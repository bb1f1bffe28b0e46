#include <algorithm>
#include <cstring>
#include <regex>

#include "CliFixture.h"

namespace {

std::string Output(const std::string& command, int& status) {
  FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  char buffer[4096];
  for (size_t got; pipe && (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, got);
  status = pipe ? pclose(pipe) : -1;
  return out;
}

// The man page's text with roff's escapes undone.
std::string Unescaped(std::string page) {
  for (auto [from, to] : {std::pair{"\\-", "-"}, {"\\e", "\\"}, {"\\&", ""}})
    for (size_t at = 0; (at = page.find(from, at)) != std::string::npos; at += std::strlen(to))
      page.replace(at, std::strlen(from), to);
  return page;
}

}  // namespace

// The man pages and the completion are made from the manuals that --help
// prints: each row of the help is an entry of the page, each option word is
// in it, and the completion offers each option of the usage and each script
// command. Output that cannot be written fails the run.
TEST_F(Cli, ManPagesAndCompletionHoldEverythingTheHelpNames) {
  std::vector<std::pair<std::string, std::string>> programs = {{MELOTRIX_CLI_PATH, "melotrix-cli"}};
#ifdef MELOTRIX_PATH
  programs.emplace_back(MELOTRIX_PATH, "melotrix");
#endif
  std::string completion = ReadFile(MELOTRIX_MANUAL_DIR "/melotrix-cli");
  std::replace(completion.begin(), completion.end(), '"', ' ');
  const std::regex option(R"((^|[\s\[|(])(--?[a-z][a-z-]*))");
  for (const auto& [path, name] : programs) {
    int status = 0;
    const std::string help = Output("'" + path + "' --help", status);
    const std::string page = Unescaped(ReadFile(MELOTRIX_MANUAL_DIR "/" + name + ".1"));
    EXPECT_EQ(status, 0);
    ASSERT_NE(help.find("\n\n"), std::string::npos);
    std::istringstream lines(help);
    bool usage = true, commands = false;
    for (std::string line; std::getline(lines, line);) {
      usage = usage && !line.empty();
      commands = line == "Commands:" || (commands && !line.empty());
      const size_t gap = line.find("  ", 2);
      if (!usage && line.rfind("  ", 0) == 0 && line[2] != ' ' && gap != std::string::npos) {
        const std::string term = line.substr(2, gap - 2);
        EXPECT_NE(page.find(".B " + term + "\n"), std::string::npos) << name << ": " << term;
        const std::string word = " " + term.substr(0, term.find(' ')) + " ";
        EXPECT_TRUE(!commands || completion.find(word) != std::string::npos) << term;
      }
      for (std::sregex_iterator at(line.begin(), line.end(), option), end; at != end; ++at) {
        EXPECT_NE(page.find((*at)[2].str()), std::string::npos) << name << ": " << (*at)[2];
        const bool offered = completion.find((*at)[2].str()) != std::string::npos;
        EXPECT_TRUE(!usage || name != "melotrix-cli" || offered) << (*at)[2];
      }
    }
    EXPECT_EQ(WEXITSTATUS(std::system(("'" + path + "' --help >/dev/full 2>/dev/null").c_str())), 1) << name;
  }
}
