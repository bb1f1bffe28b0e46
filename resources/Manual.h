// A program's manual as data: what --help prints and what its man page is
// made of, so that the two cannot tell different stories.
#pragma once

#include <string>
#include <vector>

// A row of a list: "bank N" and what it does, "MELOTRIX_PCM" and its use.
struct KManualItem {
  std::string Term;
  std::string Text;
};

// A titled part: paragraphs (pre-wrapped at 78 columns for the terminal),
// then the rows of a list, then the paragraphs that follow the list.
struct KManualSection {
  std::string Title;
  std::vector<std::string> Paragraphs;
  std::vector<KManualItem> Items;
  std::vector<std::string> After;
};

struct KManual {
  std::string Name;                   // "melotrix-cli"
  std::string Summary;                // the NAME line's description
  std::vector<std::string> Synopsis;  // the forms of the command line, without the name
  std::vector<KManualSection> Sections;
};

// The --help text: "Usage:", the synopsis lines, then each section as
// "Title:" with its paragraphs and its rows (terms padded to 30 columns).
std::string ManualText(const KManual& manual);

// The man page of section 1 in the man(7) macros, dated `date` ("2026-12-07").
std::string ManualRoff(const KManual& manual, const std::string& version, const std::string& date);

// The manual of the window program.
KManual WindowManual();
