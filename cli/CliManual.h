// The manual of melotrix-cli: its --help, its man page and its bash
// completion are all made from it.
#pragma once

#include <string>

#include "resources/Manual.h"

KManual CliManual();

// The bash completion script of melotrix-cli: the modes, each mode's options
// as the synopsis names them, their values where the synopsis lists them
// ("--format mxv|wav"), folders for DIR, files elsewhere, and the script
// commands after -e.
std::string CliCompletion(const KManual& manual);
