// The XSPF reader: XML through Qt's stream reader, which resolves no external
// entity; a reference it cannot expand is skipped as if it were not there.
#include <QByteArray>
#include <QXmlStreamReader>
#include <charconv>

#include "core/line_reader.h"
#include "core/status_codes.h"
#include "core/text_util.h"
#include "playlist/entry_location.h"
#include "playlist/playlist_files.h"
#include "tags/number_text.h"

namespace qmb {
namespace {

// Depths of the elements that matter: playlist, trackList, track, its fields.
constexpr int kTrackListDepth = 2;
constexpr int kTrackDepth = 3;
constexpr int kFieldDepth = 4;

struct XspfTrack {
  std::optional<QString> location;
  QString title;
  QString creator;
  QString duration;
};

// The field a child element of a track fills, or none. Only the first
// location counts: the others are alternatives for the same piece.
QString* TrackField(XspfTrack& track, QStringView name) {
  if (name == u"location") {
    if (track.location) return nullptr;
    track.location.emplace();
    return &*track.location;
  }
  if (name == u"title") return &track.title;
  if (name == u"creator") return &track.creator;
  if (name == u"duration") return &track.duration;
  return nullptr;
}

std::string Utf8(const QString& text) {
  std::string bytes = text.trimmed().toStdString();
  CutUtf8(bytes, kLineLimit);
  return bytes;
}

// A location is a URI: network addresses stay as written, everything else is
// a (possibly relative) file reference whose escapes name its bytes.
std::string TrackPath(const std::string& location, std::string_view folder) {
  if (location.find("://") != std::string::npos && !FileUriPath(location)) return location;
  if (std::optional<std::string> local = FileUriPath(location)) return *local;
  return ResolveEntryLocation(PercentDecode(location), folder);
}

std::string DurationLength(const std::string& milliseconds) {
  long long ms = 0;
  const char* end = milliseconds.data() + milliseconds.size();
  auto [stop, error] = std::from_chars(milliseconds.data(), end, ms);
  if (error != std::errc() || stop == milliseconds.data() || ms <= 0) return {};
  return TimeText(static_cast<float>(static_cast<double>(ms) / 1000.0), 0, 0.0f);
}

void AddTrack(PlaylistStore& store, const XspfTrack& track, std::string_view folder) {
  std::string location = track.location ? Utf8(*track.location) : std::string();
  if (location.empty()) return;
  std::string creator = Utf8(track.creator);
  std::string title = Utf8(track.title);
  std::string both = creator.empty() || title.empty() ? creator + title : creator + " - " + title;
  std::string length = DurationLength(Utf8(track.duration));
  EntryTexts texts;
  if (!both.empty()) texts.title = both;
  if (!length.empty()) texts.length = length;
  AddPlaylistEntry(store, TrackPath(location, folder), texts);
}

}  // namespace

int ParseXspf(PlaylistStore& store, std::string_view bytes, std::string_view folder) {
  QXmlStreamReader xml(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (!xml.readNextStartElement() || xml.name() != u"playlist") return kUnknownPlaylistFormat;
  int depth = 1;
  int tracksRead = 0;
  bool inTrackList = false;
  bool inTrack = false;
  XspfTrack track;
  QString* field = nullptr;
  while (!xml.atEnd()) {
    switch (xml.readNext()) {
      case QXmlStreamReader::StartElement:
        ++depth;
        if (depth == kTrackListDepth) {
          inTrackList = xml.name() == u"trackList";
        } else if (depth == kTrackDepth) {
          inTrack = inTrackList && xml.name() == u"track";
          track = XspfTrack();
        } else if (depth == kFieldDepth && inTrack) {
          field = TrackField(track, xml.name());
        }
        break;
      case QXmlStreamReader::Characters:
        // A field past any line's size is cut; the rest is not even kept.
        if (field && depth == kFieldDepth && field->size() <= static_cast<qsizetype>(kLineLimit)) {
          field->append(xml.text());
        }
        break;
      case QXmlStreamReader::EndElement:
        if (depth == kFieldDepth) field = nullptr;
        if (depth == kTrackDepth && inTrack) {
          ++tracksRead;
          AddTrack(store, track, folder);
          inTrack = false;
        }
        if (depth == kTrackListDepth) inTrackList = false;
        --depth;
        break;
      default:
        break;
    }
  }
  if (xml.hasError() && tracksRead == 0) return kUnknownPlaylistFormat;
  return kOk;
}

}  // namespace qmb
