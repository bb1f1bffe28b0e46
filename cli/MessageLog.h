// Where the voices' messages go in melotrix-cli: each text on stderr, its
// line breaks as they are, then one empty line; or, while held, kept for
// the caller to report in its own words. The count tells the script runner
// whether a command showed a message.
#pragma once

#include <iostream>
#include <string>
#include <utility>
#include <vector>

class KMessageLog {
 public:
  void Show(const std::string& text) {
    if (holding_)
      held_.push_back(text);
    else
      std::cerr << text << "\n\n" << std::flush;
    ++count_;
  }
  int Count() const { return count_; }

  // Keeps the texts shown from now on instead of printing them.
  void Hold() { holding_ = true; }
  // The texts kept since Hold; printing resumes.
  std::vector<std::string> Release() {
    holding_ = false;
    return std::exchange(held_, {});
  }

 private:
  int count_ = 0;
  bool holding_ = false;
  std::vector<std::string> held_;
};
