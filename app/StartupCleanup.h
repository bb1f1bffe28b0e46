// Swap files a crashed copy of the window program left behind. Only the copy
// that won the single-instance check calls this, before it makes swap files
// of its own; the command-line front end keeps its swap files in folders of
// its own inside the swap folder, which are left alone.
#pragma once

#include <string>
#include <string_view>

// "SY$" + five hex digits + "." + three hex digits, as the swap store names its files.
bool IsSwapFileName(std::string_view name);
// Removes the regular files with swap-file names directly inside `folder`;
// returns how many were removed. A missing folder removes nothing.
int RemoveLeftoverSwapFiles(const std::string& folder);
