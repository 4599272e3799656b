#include "tags/title_format.h"

#include <cmath>
#include <cstdlib>

#include "core/text_util.h"
#include "tags/number_text.h"

namespace qmb {
namespace {

void Append(std::string& title, std::string_view text) {
  if (title.size() >= kTitleLimit) return;
  title += CutUtf8Copy(text, kTitleLimit - title.size());
}

double LengthMilliseconds(const TagRecord& record) {
  std::string text(TagText(record.length));
  double ms = std::strtod(text.c_str(), nullptr);
  return std::isfinite(ms) ? ms : 0.0;
}

}  // namespace

float TagLengthSeconds(const TagRecord& record) {
  return static_cast<float>(LengthMilliseconds(record)) / 1000.0f;
}

std::string ExpandTitleFormat(std::string_view format, const TagRecord& record) {
  std::string title;
  for (char letter : format) {
    if (title.size() >= kTitleLimit) break;
    switch (letter) {
      case 'a':
        Append(title, TagText(record.artist));
        break;
      case 's':
        Append(title, TagText(record.songName));
        break;
      case 'A':
        Append(title, TagText(record.album));
        break;
      case 'g':
        Append(title, TagText(record.genre));
        break;
      case 'c':
        Append(title, TagText(record.comment));
        break;
      case 'y':
        Append(title, TagText(record.year));
        break;
      case 'C':
        Append(title, TagText(record.copyright));
        break;
      case 't':
        Append(title, TagText(record.track));
        break;
      case 'm':
        Append(title, TagText(record.mood));
        break;
      case 'r':
        Append(title, TagText(record.rating));
        break;
      case 'l':
        Append(title, TimeText(TagLengthSeconds(record), 0, 0.0f));
        break;
      case 'L':
        Append(title, TrimSpace(NumberText(LengthMilliseconds(record) / 1000.0)));
        break;
      default:
        Append(title, std::string_view(&letter, 1));
        break;
    }
  }
  return title;
}

std::string ChooseTitle(const TagRecord& record, std::string built, std::string_view pathTitle) {
  bool noArtist = TagText(record.artist).empty();
  bool noSong = TagText(record.songName).empty();
  if (noArtist && noSong) return std::string(pathTitle);
  if (noArtist) return std::string(TagText(record.songName));
  if (noSong) return std::string(TagText(record.artist));
  return built;
}

}  // namespace qmb
