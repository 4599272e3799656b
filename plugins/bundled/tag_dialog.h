// The tag editing dialog of the TagLib file plug-in (built with the Qt user interface only).
#ifndef QMB_PLUGINS_BUNDLED_TAG_DIALOG_H
#define QMB_PLUGINS_BUNDLED_TAG_DIALOG_H

#ifdef QMB_TAG_DIALOG
namespace qmb {

// Shows the tags of `path` for editing; OK saves them, and a failure to save is reported.
void ShowTagDialog(const char* path);

}  // namespace qmb
#endif

#endif
