#include "resources/Manual.h"

#include <cctype>

namespace {

constexpr size_t kTermColumn = 30;
constexpr size_t kTextIndent = 2 + kTermColumn;
constexpr size_t kLineWidth = 79;

// Text for roff: backslashes and minus signs kept as typed, no line taken
// for a request because it starts with a dot or an apostrophe, and no
// indent kept (roff fills the lines itself).
std::string Roff(const std::string& text) {
  std::string out;
  bool lineStart = true;
  for (char c : text) {
    if (lineStart && (c == ' ' || c == '\t')) continue;
    if (lineStart && (c == '.' || c == '\'')) out += "\\&";
    if (c == '\\')
      out += "\\e";
    else if (c == '-')
      out += "\\-";
    else
      out += c;
    lineStart = c == '\n';
  }
  return out;
}

// A row's text from `column` on, wrapped at the line width; the lines after
// the first start at the text column.
std::string Wrapped(const std::string& text, size_t column) {
  std::string out;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    const size_t word = end - start;
    if (start > 0 && column + 1 + word > kLineWidth) {
      out += "\n" + std::string(kTextIndent, ' ');
      column = kTextIndent;
    } else if (start > 0) {
      out += ' ';
      ++column;
    }
    out += text.substr(start, word);
    column += word;
    start = end + 1;
  }
  return out;
}

std::string Upper(std::string text) {
  for (char& c : text) c = char(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

void RoffParagraphs(const std::vector<std::string>& paragraphs, std::string& out) {
  for (const std::string& paragraph : paragraphs) out += ".PP\n" + Roff(paragraph) + "\n";
}

}  // namespace

std::string ManualText(const KManual& manual) {
  std::string out = "Usage:\n";
  for (const std::string& form : manual.Synopsis) out += "  " + manual.Name + " " + form + "\n";
  for (const KManualSection& section : manual.Sections) {
    // The blocks of a section, a blank line between each two.
    std::vector<std::string> blocks = section.Paragraphs;
    std::string rows;
    for (const KManualItem& item : section.Items) {
      const size_t pad = item.Term.size() < kTermColumn ? kTermColumn - item.Term.size() : 1;
      rows += (rows.empty() ? "  " : "\n  ") + item.Term + std::string(pad, ' ');
      rows += Wrapped(item.Text, 2 + item.Term.size() + pad);
    }
    if (!rows.empty()) blocks.push_back(rows);
    blocks.insert(blocks.end(), section.After.begin(), section.After.end());
    out += "\n" + section.Title + ":\n";
    for (size_t k = 0; k < blocks.size(); ++k) out += (k ? "\n" : "") + blocks[k] + "\n";
  }
  return out;
}

std::string ManualRoff(const KManual& manual, const std::string& version, const std::string& date) {
  const std::string name = Roff(manual.Name);
  std::string out = ".TH " + Upper(name) + " 1 " + date + " \"" + name + " " + version + "\" \"User Commands\"\n";
  out += ".SH NAME\n" + name + " \\- " + Roff(manual.Summary) + "\n.SH SYNOPSIS\n";
  for (size_t k = 0; k < manual.Synopsis.size(); ++k)
    out += (k ? ".br\n" : "") + std::string(".B ") + name + "\n" + Roff(manual.Synopsis[k]) + "\n";
  for (const KManualSection& section : manual.Sections) {
    out += ".SH \"" + Upper(Roff(section.Title)) + "\"\n";
    RoffParagraphs(section.Paragraphs, out);
    for (const KManualItem& item : section.Items) out += ".TP\n.B " + Roff(item.Term) + "\n" + Roff(item.Text) + "\n";
    RoffParagraphs(section.After, out);
  }
  return out;
}
