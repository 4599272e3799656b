// The file plug-in on TagLib: reads a file's tags and length into the player's tag record.
#include <sys/stat.h>
#include <taglib/asffile.h>
#include <taglib/audioproperties.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <taglib/tpropertymap.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "qmb_plugin.h"
#include "tag_dialog.h"

namespace qmb {
namespace {

// Copies `text` into a record field, cut at a character boundary so a multi-byte letter is never
// split by the 100-byte limit.
void PutField(char (&field)[QMB_TAG_FIELD_SIZE], const std::string& text) {
  size_t length = std::min(std::strlen(text.c_str()), sizeof field - 1);
  if (length < text.size())
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
  std::memcpy(field, text.data(), length);
  field[length] = '\0';
}

std::string Utf8(const TagLib::String& text) {
  return text.to8Bit(true);
}

std::string Property(const TagLib::PropertyMap& properties, const char* key) {
  auto found = properties.find(key);
  if (found == properties.end() || found->second.isEmpty()) return {};
  return Utf8(found->second.toString(", "));
}

// "3/12" names the track and the count; the record wants the track.
std::string TrackOnly(std::string track) {
  size_t slash = track.find('/');
  if (slash != std::string::npos) track.erase(slash);
  return track;
}

std::string FirstOf(const std::string& preferred, const std::string& fallback) {
  return preferred.empty() ? fallback : preferred;
}

std::string NumberOrEmpty(unsigned value) {
  return value ? std::to_string(value) : std::string();
}

// FFmpeg writes a WMA file's year and comment as attributes named "date" and "Description"
// rather than where readers look; such files are common enough to read them there too.
std::string AsfAttribute(TagLib::File* file, const char* name) {
  auto* asf = dynamic_cast<TagLib::ASF::File*>(file);
  if (!asf || !asf->tag()) return {};
  const TagLib::ASF::AttributeListMap& attributes = asf->tag()->attributeListMap();
  auto found = attributes.find(name);
  if (found == attributes.end() || found->second.isEmpty()) return {};
  return Utf8(found->second.front().toString());
}

bool IsPlainFile(const char* path) {
  struct stat st {};
  return stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

int32_t Init(QmbHost*, void*) {
  return 0;
}

QmbTagRecord* ReadTag(const char* path) {
  // Called on the user-interface thread only; the player copies the record at once.
  static QmbTagRecord record;
  if (!path || !*path || !IsPlainFile(path)) return nullptr;
  TagLib::FileRef file(path, true, TagLib::AudioProperties::Average);
  if (file.isNull()) return nullptr;
  TagLib::Tag* tag = file.tag();
  TagLib::AudioProperties* audio = file.audioProperties();
  bool hasTags = tag && !tag->isEmpty();
  // TagLib gives an MPEG file audio properties even when it found no frame at all.
  bool hasAudio = audio && (audio->sampleRate() > 0 || audio->lengthInMilliseconds() > 0);
  if (!hasTags && !hasAudio) return nullptr;

  record = QmbTagRecord{};
  TagLib::PropertyMap properties = file.file()->properties();
  PutField(record.genre, FirstOf(Property(properties, "GENRE"), tag ? Utf8(tag->genre()) : ""));
  PutField(record.artist, FirstOf(Property(properties, "ARTIST"), tag ? Utf8(tag->artist()) : ""));
  PutField(record.album, FirstOf(Property(properties, "ALBUM"), tag ? Utf8(tag->album()) : ""));
  PutField(record.songName, FirstOf(Property(properties, "TITLE"), tag ? Utf8(tag->title()) : ""));
  PutField(record.year,
           FirstOf(FirstOf(Property(properties, "DATE"), tag ? NumberOrEmpty(tag->year()) : ""),
                   AsfAttribute(file.file(), "date")));
  PutField(record.copyright, Property(properties, "COPYRIGHT"));
  PutField(record.comment,
           FirstOf(FirstOf(Property(properties, "COMMENT"), tag ? Utf8(tag->comment()) : ""),
                   AsfAttribute(file.file(), "Description")));
  PutField(record.track, TrackOnly(FirstOf(Property(properties, "TRACKNUMBER"),
                                           tag ? NumberOrEmpty(tag->track()) : "")));
  PutField(record.mood, Property(properties, "MOOD"));
  PutField(record.rating, Property(properties, "RATING"));
  if (hasAudio) PutField(record.length, std::to_string(std::max(audio->lengthInMilliseconds(), 0)));
  return &record;
}

#ifdef QMB_TAG_DIALOG
void Properties(const char* path) {
  if (path && *path) ShowTagDialog(path);
}
#endif

QmbFileModule module = {
    .description = "Qumble Tag Reader (TagLib)",
    .extensions = "mp3;mp2;ogg;oga;wma;asf;wav;flac;m4a;mp4;aac;opus;aiff;aif;ape;wv;mpc;spx;tta",
    .pattern = "",
    .Init = Init,
#ifdef QMB_TAG_DIALOG
    .Properties = Properties,
#else
    .Properties = nullptr,
#endif
    .Configure = nullptr,
    .Quit = nullptr,
    .ReadTag = ReadTag,
};

}  // namespace
}  // namespace qmb

extern "C" QMB_EXPORT QmbFileModule* GetQMBFileModule(void) {
  return &qmb::module;
}

extern "C" QMB_EXPORT int32_t QmbPluginApiVersion(void) {
  return QMB_PLUGIN_API_VERSION;
}
