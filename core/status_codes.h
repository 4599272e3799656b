// The program-wide status codes: 1 is success, every other value names one
// failure. Callers decide whether to show a status with ShowErrorCode.
#pragma once

#include <string>

namespace qmb {

enum Status : int {
  kOk = 1,
  kNoPlugins = 2,
  kNoInputPlugin = 3,
  kInputPluginOpenFailed = 4,
  kOpenError = 5,
  kVisPluginRunning = 6,
  kVisPluginNotRunning = 7,
  kPluginInitFailed = 8,
  kEntryPointMissing = 9,
  kClipboardCopyFailed = 10,
  kClipboardEmpty = 11,
  kUrlCanceled = 12,
  kCopyInProgress = 13,
  kCopyCanceled = 14,
  kCopyFailed = 15,
  kUnsupportedFile = 16,
  kInversionRefused = 17,
  kDspPluginRunning = 18,
  kDspPluginNotRunning = 19,
  kNoFilePlugin = 20,
  kClassRegistrationFailed = 21,
  kImageLibraryMissing = 22,
  kSoundInitFailed = 23,
  kUnknownPlaylistFormat = 24,
  kFileOpenFailed = 25,
  kPropertyFunctionFailed = 26,
};

// The message of `code`; empty for codes outside 1..26.
const char* StatusMessage(int code);

// Shows the message of `code` in an "Error" box; nothing for 1, an empty text
// for codes outside the table.
void ShowErrorCode(int code);

// The system's text for the calling thread's last error (errno), at most 199
// bytes, never splitting a character; empty when the system has none.
std::string SystemErrorText();
// The same for an explicit error number.
std::string SystemErrorText(int errorNumber);

}  // namespace qmb
