// The answer to a command line melotrix-cli cannot use: exit status 2.
#pragma once

#include <iostream>
#include <string>

inline int UsageError(const std::string& problem) {
  std::cerr << "melotrix-cli: " << problem << "\nTry 'melotrix-cli --help'.\n";
  return 2;
}
