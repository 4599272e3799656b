#include "core/profile_file.h"

#include <climits>

#include "core/atomic_file.h"
#include "core/line_reader.h"
#include "core/text_util.h"

namespace qmb {
namespace {

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

ProfileFile ProfileFile::Parse(std::string_view text) {
  ProfileFile profile;
  Section* current = nullptr;
  LineReader reader(text);
  while (!reader.AtEnd()) {
    std::string_view raw = reader.Next();
    std::string_view line = TrimBlanks(raw);
    if (!line.empty() && line.front() == '[') {
      std::string_view name = line.substr(1);
      name = TrimBlanks(name.substr(0, name.find(']')));
      profile.sections_.push_back({std::string(name), {}, {}});
      profile.firstSection_.try_emplace(ToLowerAscii(name), profile.sections_.size() - 1);
      current = &profile.sections_.back();
      continue;
    }
    std::size_t equals = line.find('=');
    bool isKey = equals != std::string_view::npos && !TrimBlanks(line.substr(0, equals)).empty();
    if (!current) {
      profile.preamble_.emplace_back(raw);
    } else if (isKey) {
      AddLine(*current, {std::string(TrimBlanks(line.substr(0, equals))),
                         std::string(TrimBlanks(line.substr(equals + 1)))});
    } else {
      current->lines.push_back({{}, std::string(raw)});
    }
  }
  return profile;
}

ProfileFile ProfileFile::Load(const std::string& path) {
  std::optional<std::string> text = ReadWholeFile(path);
  return text ? Parse(*text) : ProfileFile();
}

void ProfileFile::AddLine(Section& section, Line line) {
  section.firstKey.try_emplace(ToLowerAscii(line.key), section.lines.size());
  section.lines.push_back(std::move(line));
}

const ProfileFile::Section* ProfileFile::FindSection(std::string_view name) const {
  auto it = firstSection_.find(ToLowerAscii(TrimBlanks(name)));
  return it == firstSection_.end() ? nullptr : &sections_[it->second];
}

std::optional<std::string> ProfileFile::Get(std::string_view section, std::string_view key) const {
  const Section* s = FindSection(section);
  if (!s) return std::nullopt;
  auto it = s->firstKey.find(ToLowerAscii(TrimBlanks(key)));
  if (it == s->firstKey.end()) return std::nullopt;
  return s->lines[it->second].value;
}

std::vector<std::string> ProfileFile::Keys(std::string_view section) const {
  std::vector<std::string> keys;
  if (const Section* s = FindSection(section)) {
    for (const Line& line : s->lines) {
      if (!line.key.empty()) keys.push_back(line.key);
    }
  }
  return keys;
}

std::string ProfileFile::GetString(std::string_view section, std::string_view key,
                                   std::string_view fallback, std::size_t maxBytes) const {
  std::optional<std::string> value = Get(section, key);
  std::string text(value ? std::string_view(*value) : fallback);
  CutUtf8(text, maxBytes);
  return text;
}

int ProfileFile::GetInt(std::string_view section, std::string_view key, int fallback) const {
  std::optional<std::string> value = Get(section, key);
  if (!value) return fallback;
  std::string_view text = *value;
  bool negative = !text.empty() && text.front() == '-';
  if (negative || (!text.empty() && text.front() == '+')) text.remove_prefix(1);
  long long number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    number = number * 10 + (c - '0');
    if (number > INT_MAX) {
      number = INT_MAX;
      break;
    }
  }
  return static_cast<int>(negative ? -number : number);
}

void ProfileFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  std::string sectionName(TrimBlanks(section));
  std::string keyName(TrimBlanks(key));
  auto found = firstSection_.find(ToLowerAscii(sectionName));
  std::size_t index;
  if (found == firstSection_.end()) {
    sections_.push_back({sectionName, {}, {}});
    index = sections_.size() - 1;
    firstSection_.emplace(ToLowerAscii(sectionName), index);
  } else {
    index = found->second;
  }
  Section& s = sections_[index];
  // A line break inside a value would start a new line of the file.
  std::string oneLine(value);
  for (char& c : oneLine) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  auto it = s.firstKey.find(ToLowerAscii(keyName));
  if (it != s.firstKey.end()) {
    s.lines[it->second].value = std::move(oneLine);
  } else {
    AddLine(s, {keyName, std::move(oneLine)});
  }
}

std::string ProfileFile::Text() const {
  std::string text;
  for (const std::string& line : preamble_) text += line + "\r\n";
  for (const Section& s : sections_) {
    text += "[" + s.name + "]\r\n";
    for (const Line& line : s.lines) {
      if (line.key.empty()) {
        text += line.value;
      } else {
        text += line.key;
        text += '=';
        text += line.value;
      }
      text += "\r\n";
    }
  }
  return text;
}

bool ProfileFile::Save(const std::string& path) const {
  return WriteFileAtomically(path, Text());
}

}  // namespace qmb
