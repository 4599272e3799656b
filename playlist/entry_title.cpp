#include "playlist/entry_title.h"

#include "core/desktop.h"
#include "core/status_codes.h"
#include "playlist/playlist_store.h"
#include "tags/number_text.h"
#include "tags/title_format.h"

namespace qmb {

int FormatEntryTitle(EntryList& list, TagSource& tags, const std::string& titleFormat,
                     const std::string& path, int row) {
  std::optional<TagRecord> record = tags.ReadTags(path);
  if (!record) return kNoFilePlugin;
  std::string built = ExpandTitleFormat(titleFormat, *record);
  if (TagText(record->length) != "0") {
    list.SetField(row, kLength, TimeText(TagLengthSeconds(*record), 0, 0.0f));
  }
  list.SetField(row, kTitle, ChooseTitle(*record, std::move(built), PathTitle(path)));
  return kOk;
}

namespace {

bool analyzing = false;

int Analyze(EntryList& list, TagSource& tags, const std::string& titleFormat, bool selectedOnly) {
  // The events handled between rows may ask for another analysis: one runs.
  if (analyzing) return -1;
  analyzing = true;
  // The count is read again each time: rows deleted meanwhile end the loop.
  for (int row = 0; row < list.Count(); ++row) {
    if (!selectedOnly || list.IsSelected(row)) {
      FormatEntryTitle(list, tags, titleFormat, std::string(list.WholeFieldView(row, kPath)), row);
    }
    TheDesktop().ProcessPendingEvents();
  }
  analyzing = false;
  return kOk;
}

}  // namespace

int AnalyzeAllFiles(EntryList& list, TagSource& tags, const std::string& titleFormat) {
  return Analyze(list, tags, titleFormat, false);
}

int AnalyzeSelectedFiles(EntryList& list, TagSource& tags, const std::string& titleFormat) {
  return Analyze(list, tags, titleFormat, true);
}

}  // namespace qmb
