#include "tools/ManPageText.h"

#include <cctype>
#include <sstream>
#include <vector>

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return "";
  return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

// Characters roff would take for its own: the escape character, and a dot or
// quote at the start of a line.
std::string Escape(const std::string& text, bool code) {
  std::string out;
  for (char c : text) {
    if (c == '\\') out += "\\e";
    else if (c == '-' && code) out += "\\-";
    else out += c;
  }
  return out;
}

std::string Guard(const std::string& line) {
  return !line.empty() && (line[0] == '.' || line[0] == '\'') ? "\\&" + line : line;
}

// Inline markup of one line of text.
std::string Inline(const std::string& text) {
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '`') {
      const size_t end = text.find('`', i + 1);
      if (end != std::string::npos) {
        out += "\\fB" + Escape(text.substr(i + 1, end - i - 1), true) + "\\fR";
        i = end + 1;
        continue;
      }
    } else if (c == '*') {
      const bool strong = text.compare(i, 2, "**") == 0;
      const std::string mark = strong ? "**" : "*";
      const size_t end = text.find(mark, i + mark.size());
      if (end != std::string::npos && end > i + mark.size()) {
        out += (strong ? "\\fB" : "\\fI") + Inline(text.substr(i + mark.size(), end - i - mark.size())) + "\\fR";
        i = end + mark.size();
        continue;
      }
    } else if (c == '[') {
      const size_t close = text.find("](", i);
      const size_t end = close == std::string::npos ? close : text.find(')', close);
      if (end != std::string::npos) {
        out += Inline(text.substr(i + 1, close - i - 1));
        i = end + 1;
        continue;
      }
    } else if (text.compare(i, 4, "<!--") == 0) {
      const size_t end = text.find("-->", i);
      if (end != std::string::npos) {
        i = end + 3;
        continue;
      }
    }
    out += Escape(std::string(1, c), false);
    ++i;
  }
  return out;
}

// The cells of one table row; "\|" is a bar inside a cell.
std::vector<std::string> Cells(const std::string& row) {
  std::vector<std::string> cells;
  std::string cell;
  const std::string body = Trim(row);
  for (size_t i = 1; i < body.size(); ++i) {
    if (body[i] == '\\' && i + 1 < body.size() && body[i + 1] == '|') {
      cell += '|';
      ++i;
    } else if (body[i] == '|') {
      cells.push_back(Trim(cell));
      cell.clear();
    } else {
      cell += body[i];
    }
  }
  return cells;
}

bool IsSeparator(const std::string& row) { return row.find_first_not_of("|-: ") == std::string::npos; }

// A table without its header row: one tagged paragraph per row.
std::string Table(const std::vector<std::string>& rows) {
  std::string out;
  for (size_t r = 1; r < rows.size(); ++r) {
    if (IsSeparator(rows[r])) continue;
    const std::vector<std::string> cells = Cells(rows[r]);
    if (cells.empty()) continue;
    std::string rest;
    for (size_t c = 1; c < cells.size(); ++c) rest += (c > 1 ? " " : "") + cells[c];
    out += ".TP\n" + Guard(Inline(cells[0])) + "\n" + Guard(Inline(rest)) + "\n";
  }
  return out;
}

// The rows of the table after "<!-- man: NAME -->" in `text`.
std::vector<std::string> NamedTable(const std::string& text, const std::string& name) {
  const std::vector<std::string> lines = Lines(text);
  const std::string marker = "<!-- man: " + name + " -->";
  std::vector<std::string> rows;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (Trim(lines[i]) != marker) continue;
    for (size_t j = i + 1; j < lines.size() && StartsWith(Trim(lines[j]), "|"); ++j) rows.push_back(lines[j]);
    break;
  }
  return rows;
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::string ManPageToRoff(const std::string& source, const std::string& version, const ManPageReader& read,
                          std::string& error) {
  const std::vector<std::string> lines = Lines(source);
  auto fail = [&](size_t line, const std::string& why) {
    error = "line " + std::to_string(line + 1) + ": " + why;
    return std::string();
  };
  const size_t open = lines.empty() ? std::string::npos : lines[0].find('(');
  const size_t close = open == std::string::npos ? open : lines[0].find(')', open);
  const size_t dash = close == std::string::npos ? close : lines[0].find(" -- ", close);
  if (!StartsWith(lines.empty() ? "" : lines[0], "% ") || dash == std::string::npos)
    return fail(0, "the first line must be \"% name(section) -- summary\"");
  const std::string name = Trim(lines[0].substr(2, open - 2));
  const std::string section = lines[0].substr(open + 1, close - open - 1);
  std::string out = ".TH " + Upper(name) + " " + section + " \"\" \"StrokeDesk " + version +
                    "\" \"StrokeDesk Manual\"\n.SH NAME\n" + Escape(name, true) + " \\- " +
                    Inline(Trim(lines[0].substr(dash + 4))) + "\n";

  bool paragraph = false;  // text written since the last break
  bool pendingBreak = false;
  for (size_t i = 1; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (Trim(line).empty()) {
      pendingBreak = paragraph;
      continue;
    }
    auto block = [&](const std::string& text) {
      out += text;
      paragraph = true;
      pendingBreak = false;
    };
    if (StartsWith(line, "## ") || StartsWith(line, "### ")) {
      const bool sub = StartsWith(line, "### ");
      const std::string title = Trim(line.substr(sub ? 4 : 3));
      out += (sub ? ".SS " + Inline(title) : ".SH " + Upper(Inline(title))) + "\n";
      paragraph = pendingBreak = false;
    } else if (StartsWith(line, "    ")) {
      std::vector<std::string> code;
      for (; i < lines.size() && (StartsWith(lines[i], "    ") || Trim(lines[i]).empty()); ++i)
        code.push_back(lines[i].size() > 4 ? lines[i].substr(4) : "");
      --i;
      while (Trim(code.back()).empty()) code.pop_back();
      std::string shown;
      for (const std::string& c : code) shown += Guard(Escape(c, true)) + "\n";
      block(".PP\n.RS 4\n.nf\n" + shown + ".fi\n.RE\n");
      pendingBreak = true;
    } else if (StartsWith(line, "- ")) {
      std::string item = Trim(line.substr(2));
      while (i + 1 < lines.size() && StartsWith(lines[i + 1], "  ") && !StartsWith(Trim(lines[i + 1]), "- "))
        item += " " + Trim(lines[++i]);
      block(".IP \\(bu 2\n" + Guard(Inline(item)) + "\n");
    } else if (StartsWith(Trim(line), "|")) {
      std::vector<std::string> rows;
      for (; i < lines.size() && StartsWith(Trim(lines[i]), "|"); ++i) rows.push_back(lines[i]);
      --i;
      block(Table(rows));
    } else if (StartsWith(line, "@table ")) {
      std::istringstream words(line.substr(7));
      std::string file, table, text;
      words >> file >> table;
      if (file.empty() || table.empty()) return fail(i, "@table needs a file and a table name");
      if (!read(file, text)) return fail(i, "cannot read " + file);
      const std::vector<std::string> rows = NamedTable(text, table);
      if (rows.size() < 2) return fail(i, "no table \"" + table + "\" in " + file);
      block(Table(rows));
    } else {
      if (pendingBreak) out += ".PP\n";
      block(Guard(Inline(Trim(line))) + "\n");
    }
  }
  return out;
}
