// Where the voices' messages go in melotrix-cli: each text on stderr, its
// line breaks as they are, then one empty line. The count tells the script
// runner whether a command showed a message.
#pragma once

#include <iostream>
#include <string>

class KMessageLog {
 public:
  void Show(const std::string& text) {
    std::cerr << text << "\n\n" << std::flush;
    ++count_;
  }
  int Count() const { return count_; }

 private:
  int count_ = 0;
};
