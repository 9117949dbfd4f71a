#include "settings_ini.h"

#include <vector>

#include "text.h"

namespace zelko {

namespace {

// One line of the file: its text is [begin, end); the next line starts at `next`.
struct Line {
  std::size_t begin;
  std::size_t end;
  std::size_t next;
};

std::vector<Line> SplitLines(std::string_view content) {
  std::vector<Line> lines;
  std::size_t begin = 0;
  while (begin < content.size()) {
    std::size_t end = content.find_first_of("\r\n", begin);
    if (end == std::string_view::npos) {
      lines.push_back({begin, content.size(), content.size()});
      break;
    }
    std::size_t next = end + 1;
    if (content[end] == '\r' && next < content.size() && content[next] == '\n') ++next;
    lines.push_back({begin, end, next});
    begin = next;
  }
  return lines;
}

std::string_view TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The name of a "[name]" line; empty for any other line.
std::optional<std::string_view> SectionName(std::string_view text) {
  text = TrimBlanks(text);
  if (text.size() < 2 || text.front() != '[' || text.back() != ']') return std::nullopt;
  return text.substr(1, text.size() - 2);
}

// Where the lines of the file stand for one section and key.
struct Search {
  std::optional<std::size_t> keyLine;      // first "key=" line in a matching section
  std::optional<std::size_t> sectionLast;  // last non-blank line of the first matching section
};

Search FindKey(std::string_view content, const std::vector<Line>& lines, std::string_view section,
               std::string_view key) {
  Search search;
  bool inSection = false;
  bool firstSection = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view text = content.substr(lines[i].begin, lines[i].end - lines[i].begin);
    if (const auto name = SectionName(text)) {
      const bool matches = EqualsIgnoreCaseAscii(*name, section);
      firstSection = matches && !search.sectionLast;
      inSection = matches;
      if (firstSection) search.sectionLast = i;
      continue;
    }
    if (!inSection) continue;
    if (firstSection && !TrimBlanks(text).empty()) search.sectionLast = i;
    const auto equals = text.find('=');
    if (equals != std::string_view::npos && EqualsIgnoreCaseAscii(TrimBlanks(text.substr(0, equals)), key)) {
      search.keyLine = i;
      return search;
    }
  }
  return search;
}

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

bool Storable(std::string_view section, std::string_view key, std::string_view value) {
  return !key.empty() && TrimBlanks(key) == key && key.front() != '[' && key.find('=') == std::string_view::npos &&
         !HasLineBreak(key) && !HasLineBreak(value) && !HasLineBreak(section) &&
         section.find(']') == std::string_view::npos;
}

}  // namespace

std::optional<std::string> FindIniValue(std::string_view content, std::string_view section, std::string_view key) {
  const std::vector<Line> lines = SplitLines(content);
  const Search search = FindKey(content, lines, section, key);
  if (!search.keyLine) return std::nullopt;
  const Line& line = lines[*search.keyLine];
  const std::string_view text = content.substr(line.begin, line.end - line.begin);
  return std::string(text.substr(text.find('=') + 1));
}

std::optional<std::string> SetIniValue(std::string_view content, std::string_view section, std::string_view key,
                                       std::string_view value) {
  if (!Storable(section, key, value)) return std::nullopt;
  const std::vector<Line> lines = SplitLines(content);
  const Search search = FindKey(content, lines, section, key);
  std::string result;
  if (search.keyLine) {
    // The key keeps its spelling in the file; only the value changes.
    const Line& line = lines[*search.keyLine];
    const std::size_t equals = content.find('=', line.begin);
    result.append(content.substr(0, equals + 1)).append(value).append("\n").append(content.substr(line.next));
    return result;
  }
  std::size_t insertAt = content.size();
  std::string added;
  if (search.sectionLast) {
    insertAt = lines[*search.sectionLast].next;
  } else {
    added.append("[").append(section).append("]\n");
  }
  added.append(key).append("=").append(value).append("\n");
  const bool unterminated = insertAt > 0 && content[insertAt - 1] != '\n' && content[insertAt - 1] != '\r';
  result.append(content.substr(0, insertAt)).append(unterminated ? "\n" : "").append(added);
  result.append(content.substr(insertAt));
  return result;
}

}  // namespace zelko
