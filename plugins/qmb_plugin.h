/* The plug-in contract of Qumble Player: the five module tables a plug-in
 * library hands the player, the host it drives the player through, the
 * request numbers it sends and the records they take. Plain C, compilable
 * alone; every field is pointer-sized or a fixed-width integer so the layout
 * is the same for every compiler on a platform.
 *
 * A plug-in is a shared library in the Plugins/ folder of the program folder.
 * Its extension says its kind (compared in lower case): .qip input, .qdp DSP,
 * .qvp visualization, .qgp general, .qfp file. It exports one C function of
 * its kind, QMB_INPUT_ENTRY and so on, returning a pointer to its table. The
 * player copies the table once, right after the call, and calls through the
 * copy; texts the table points at must stay valid while the library is
 * loaded. Libraries stay loaded until the player exits.
 *
 * Threads: every entry is called on the player's user-interface thread,
 * except QmbDspModule.Process (the engine's mixing thread) and
 * QmbInputModule.GetSample (the engine's stream thread). An input
 * plug-in's other entries never run while a GetSample call is under way:
 * the player waits between two blocks of samples. A DSP plug-in's Stop runs
 * only after the player has stopped calling Process and a call under way has
 * returned. Those two entries must not send requests.
 *
 * A plug-in may send a request from any other thread. The request runs on
 * the player's user-interface thread and the sender waits for its result, so
 * a plug-in must not send from a thread the user-interface thread is waiting
 * for (for example while its Quit or Stop entry is running).
 *
 * Version history (QMB_PLUGIN_API_VERSION is major * 100 + minor; the player
 * refuses a plug-in whose major version is newer than its own):
 *   1.00  the five module tables, the host and requests 0-56.
 *   1.01  QMB_WM_COMMAND runs any menu command; the optional
 *         QmbPluginApiVersion entry tells the player which version a
 *         plug-in was built for.
 *   1.02  requests 57-62 for remote controls: the Loop and Random buttons'
 *         states, a file's tags, the title a network stream sends, showing
 *         the main window, and opening a path as a second start does. A
 *         1.01 player answers them 0. */
#ifndef QMB_PLUGIN_H
#define QMB_PLUGIN_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define QMB_PLUGIN_API_VERSION 102

/* clang-format off */
typedef struct QmbHost QmbHost;      /* what the tables call the main window */
struct QmbHost { intptr_t (*send)(QmbHost *host, uint32_t message, uintptr_t wParam, intptr_t lParam); };
#define QMB_WM_USER 0x0400           /* message for host requests: wParam = request, lParam = argument */
#define QMB_WM_COMMAND 0x0111        /* message for menu commands: wParam = command id, lParam = 0 */
/* clang-format on */

/* Status codes that entries and requests answer (the player shows their
 * texts): */
#define QMB_OK 1
#define QMB_STATUS_NO_PLUGINS 2     /* no plug-ins of that kind */
#define QMB_STATUS_VISUAL_RUNNING 6 /* a visualization plug-in already runs */
#define QMB_STATUS_VISUAL_STOPPED 7 /* no visualization plug-in runs */
#define QMB_STATUS_VISUAL_FAILED 8  /* Start answered non-zero */
#define QMB_STATUS_NO_ENTRY 9       /* the entry is null */
#define QMB_STATUS_DSP_RUNNING 18   /* a DSP plug-in already runs */
#define QMB_STATUS_DSP_STOPPED 19   /* no DSP plug-in runs */

/* ---- Module tables ----------------------------------------------------
 * Field order is fixed; every field is pointer-sized, so a table is
 * 25, 5, 5, 4 or 8 pointers long. */

/* What a visualization plug-in draws into: 32-bit pixels 0xAARRGGBB, rows
 * `stride` bytes apart. The player shows it after Render returns; the
 * pointer is valid only during the call. */
typedef struct QmbSurface {
  int32_t width;
  int32_t height;
  int32_t stride; /* bytes per row */
  int32_t reserved0;
  uint32_t* pixels;
  intptr_t reserved[4]; /* zero; room for later fields */
} QmbSurface;

/* An input plug-in's stream information: the player reads frequency and
 * bitRate for the title's "kbps | khz" prefix. */
typedef struct QmbStreamInfo {
  int32_t valid;
  int32_t frequency; /* Hz */
  int32_t bitRate;   /* kbit/s */
  int32_t lengthMs;
} QmbStreamInfo;

/* A file plug-in's tags for a path: eleven zero-terminated 8-bit texts of
 * 100 bytes each (UTF-8 on this platform). The record stays the plug-in's;
 * the player copies it right after ReadTag returns. */
#define QMB_TAG_FIELD_SIZE 100
typedef struct QmbTagRecord {
  char genre[QMB_TAG_FIELD_SIZE];
  char artist[QMB_TAG_FIELD_SIZE];
  char album[QMB_TAG_FIELD_SIZE];
  char songName[QMB_TAG_FIELD_SIZE];
  char year[QMB_TAG_FIELD_SIZE];
  char copyright[QMB_TAG_FIELD_SIZE];
  char comment[QMB_TAG_FIELD_SIZE];
  char track[QMB_TAG_FIELD_SIZE];
  char mood[QMB_TAG_FIELD_SIZE];
  char rating[QMB_TAG_FIELD_SIZE];
  char length[QMB_TAG_FIELD_SIZE]; /* milliseconds as decimal text */
} QmbTagRecord;

/* Input plug-in (.qip): plays files the engine cannot. A file is the
 * plug-in's when its lower-case extension occurs anywhere in `extensions`,
 * or, when no ticked plug-in claims the extension, `pattern` occurs in the
 * lower-cased path (an address prefix, say). Of several, the last loaded
 * wins by extension, the first by pattern.
 *
 * Time, for the two kinds:
 * - usesEngineOutput = 1: the player pulls the sound with GetSample on the
 *   engine's stream thread, a little ahead of what is heard. The position
 *   the player shows, seeks from, saves for the Rememberizer and ends the
 *   track by is the engine's: the time of the sound heard, counted from
 *   the start or from the last Seek. GetPosition is only how far the player
 *   has pulled (the time of the frame the next GetSample delivers); the
 *   player does not show it. GetLength is the track's length: the player
 *   pulls exactly GetLength ms of frames from the start (from a Seek
 *   target, the rest of them) and the track ends once the last of them has
 *   been heard; past its real end a plug-in delivers silence. A length of 0
 *   (unknown) plays until the user stops. After Seek(ms) the next
 *   GetSample must deliver the frame at ms: the player counts from there.
 * - usesEngineOutput = 0: the plug-in plays on its own, so only it knows
 *   where its sound is. GetPosition is the time of the sound being heard
 *   from its output; the player shows it, and the track ends at the first
 *   position timer tick where GetPosition >= GetLength. */
typedef struct QmbInputModule {
  const char* description; /* shown in the "Input Plug-ins" list */
  const char* extensions;  /* e.g. "flac;opus" */
  const char* pattern;     /* e.g. "rtsp://", or "" */
  intptr_t reserved3;
  intptr_t bufferBytes;      /* bytes pulled per stream callback, when usesEngineOutput
                                (4 per frame); a few thousand is plenty */
  intptr_t sampleRate;       /* Hz of the delivered sound, when usesEngineOutput */
  intptr_t usesEngineOutput; /* 1: the player pulls GetSample through the engine
                                (equalizer, DSP and visualization apply); 0: the
                                plug-in plays on its own */
  int32_t (*Init)(QmbHost* host, void* library); /* at load; 0 = success */
  void (*Configure)(void);                       /* may be null */
  void (*Quit)(void);                            /* may be null; at exit */
  int32_t (*Open)(const char* path);             /* 1 = failure */
  void (*Play)(void);
  void (*Stop)(void);
  void (*Pause)(int32_t paused); /* 1 pause, 0 resume */
  intptr_t reserved14;
  void (*SetVolume)(int32_t volume);          /* 0..255; own output only */
  void (*SetPan)(int32_t pan);                /* 0..255, 127 centre; own output only */
  void (*SetMute)(int32_t muted);             /* own output only */
  void (*SetEq)(int32_t band, int32_t value); /* band 0..9, 0..30, 15 flat; own output only */
  /* Afterwards the next frame delivered is the one at `milliseconds`. */
  void (*Seek)(int32_t milliseconds);
  int32_t (*GetTypeIcon)(const char* extension); /* playlist type icon, 0..7 */
  int32_t (*GetLength)(void);                    /* ms; 0 unknown */
  /* ms. usesEngineOutput = 0: the time being heard. usesEngineOutput = 1:
   * the time of the next frame GetSample delivers, not shown (see above). */
  int32_t (*GetPosition)(void);
  /* Stream thread, usesEngineOutput only: the next stereo frame; the low 16
   * bits of each are the signed sample. Silence after the end. */
  void (*GetSample)(int32_t* left, int32_t* right);
  const QmbStreamInfo* (*GetStreamInfo)(void); /* may be null, or answer null */
} QmbInputModule;

/* DSP plug-in (.qdp): processes the mixed sound while it runs and a
 * playlist track plays. */
typedef struct QmbDspModule {
  const char* description;
  int32_t (*Init)(QmbHost* host, void* library); /* at load; 0 = success */
  void (*Configure)(void);                       /* may be null */
  void (*Stop)(void);                            /* when stopped, and at exit (may be null) */
  /* Mixing thread: works in place on mixBuffer, interleaved stereo signed
   * 16-bit, `length` stereo frames. inputBuffer is the block as mixed. */
  void (*Process)(int16_t* inputBuffer, int16_t* mixBuffer, int32_t length);
} QmbDspModule;

/* Visualization plug-in (.qvp): started by the user, then Render on every
 * visual tick while a track plays. */
typedef struct QmbVisualModule {
  const char* description;
  int32_t (*Start)(QmbHost* host, void* library); /* 0 = success */
  void (*Configure)(void);                        /* may be null */
  void (*Stop)(void);                             /* when stopped, and at exit (may be null) */
  /* spectrum: spectrumCount (256) values 0..1; mixBuffer: the newest mix
   * block, interleaved stereo signed 16-bit, bufferLength stereo frames.
   * Answer 1 to be stopped. */
  int32_t (*Render)(QmbSurface* target, float* spectrum, int16_t* mixBuffer, int32_t bufferLength,
                    int32_t spectrumCount);
} QmbVisualModule;

/* General plug-in (.qgp): adds features and drives the player by requests. */
typedef struct QmbGeneralModule {
  const char* description;
  int32_t (*Init)(QmbHost* host, void* library); /* at load; result ignored */
  void (*Configure)(void);                       /* may be null */
  void (*Quit)(void);                            /* may be null; at exit */
} QmbGeneralModule;

/* File plug-in (.qfp): tags and the playlist's "Properties..." for files it
 * claims (by extension and pattern, as input plug-ins). */
typedef struct QmbFileModule {
  const char* description;
  const char* extensions;
  const char* pattern;
  int32_t (*Init)(QmbHost* host, void* library); /* at load; 0 = success */
  void (*Properties)(const char* path);          /* may be null */
  void (*Configure)(void);                       /* may be null */
  void (*Quit)(void);                            /* may be null; at exit */
  QmbTagRecord* (*ReadTag)(const char* path);    /* null: no tags */
} QmbFileModule;

/* The entry point of each kind, exported with C linkage. */
#define QMB_INPUT_ENTRY "GetQMBInputModule"
#define QMB_DSP_ENTRY "GetQMBDspModule"
#define QMB_VISUAL_ENTRY "GetQMBVisualModule"
#define QMB_GENERAL_ENTRY "GetQMBGeneralModule"
#define QMB_FILE_ENTRY "GetQMBFileModule"
typedef QmbInputModule* (*QmbGetInputModule)(void);
typedef QmbDspModule* (*QmbGetDspModule)(void);
typedef QmbVisualModule* (*QmbGetVisualModule)(void);
typedef QmbGeneralModule* (*QmbGetGeneralModule)(void);
typedef QmbFileModule* (*QmbGetFileModule)(void);

/* Optional: the version of this header a plug-in was built with. Export
 *   QMB_EXPORT int32_t QmbPluginApiVersion(void) { return QMB_PLUGIN_API_VERSION; }
 * (with C linkage). Called once at load, before the kind's entry point is
 * used; a plug-in without it counts as 1.00. */
#define QMB_API_VERSION_ENTRY "QmbPluginApiVersion"
typedef int32_t (*QmbApiVersionFunc)(void);

#if defined(__GNUC__)
#define QMB_EXPORT __attribute__((visibility("default")))
#else
#define QMB_EXPORT
#endif

/* ---- Host requests ---------------------------------------------------- */

/* Requests: send(host, QMB_WM_USER, request, argument). Only the low 16 bits
 * of wParam count. A text or value returned by pointer stays valid until the
 * next request of the same number; copy it. Any other number answers 0. */
#define QMB_REQ_VERSION 0              /* -> const char* version text "4.99" */
#define QMB_REQ_EXIT 1                 /* saves and ends the player; -> 1 */
#define QMB_REQ_PROGRAM_FOLDER 2       /* -> const char* program folder, ends in "/" */
#define QMB_REQ_LOAD_SKIN 3            /* lParam const char* folder -> 1 loaded, 0 not */
#define QMB_REQ_SKIN_STAGE_COUNT 4     /* -> number of expansion stages of the skin */
#define QMB_REQ_SET_SKIN_STAGE 5       /* lParam stage, negative for the next -> 1 */
#define QMB_REQ_SKIN_FOLDER 6          /* -> const char* current skin folder */
#define QMB_REQ_TOGGLE_INVERSION 7     /* -> 1 switched, 17 the skin refuses */
#define QMB_REQ_INPUT_COUNT 8          /* -> number of input plug-ins */
#define QMB_REQ_INPUT_DESCRIPTION 9    /* lParam row -> const char* description */
#define QMB_REQ_DSP_COUNT 10           /* -> number of DSP plug-ins */
#define QMB_REQ_DSP_DESCRIPTION 11     /* lParam row -> const char* description */
#define QMB_REQ_VISUAL_COUNT 12        /* -> number of visualization plug-ins */
#define QMB_REQ_VISUAL_DESCRIPTION 13  /* lParam row -> const char* description */
#define QMB_REQ_GENERAL_COUNT 14       /* -> number of general plug-ins */
#define QMB_REQ_GENERAL_DESCRIPTION 15 /* lParam row -> const char* description */
#define QMB_REQ_FILE_COUNT 16          /* -> number of file plug-ins */
#define QMB_REQ_FILE_DESCRIPTION 17    /* lParam row -> const char* description */
#define QMB_REQ_START_VISUAL 18        /* lParam row: select and start -> status */
#define QMB_REQ_START_DSP 19           /* lParam row: select and start -> status */
#define QMB_REQ_STOP_VISUAL 20         /* stops the running visualization -> status */
#define QMB_REQ_STOP_DSP 21            /* stops the running DSP plug-in -> status */
#define QMB_REQ_CONFIGURE_INPUT 22     /* lParam row: select and configure -> status */
#define QMB_REQ_CONFIGURE_DSP 23       /* lParam row: select and configure -> status */
#define QMB_REQ_CONFIGURE_VISUAL 24    /* lParam row: select and configure -> status */
#define QMB_REQ_CONFIGURE_GENERAL 25   /* lParam row: select and configure -> status */
#define QMB_REQ_CONFIGURE_FILE 26      /* lParam row: select and configure -> status */
#define QMB_REQ_ENTRY_COUNT 27         /* -> number of playlist entries */
#define QMB_REQ_SELECTED_COUNT 28      /* -> number of selected entries */
#define QMB_REQ_SET_CURSOR 29          /* lParam row: moves the playlist cursor -> 1 */
#define QMB_REQ_CURSOR 30              /* -> playlist cursor, -1 without one */
#define QMB_REQ_CURRENT_INDEX 31       /* -> index of the current entry */
#define QMB_REQ_GET_ITEM_STATE 32      /* lParam QmbItemState*: fills state -> 1 */
#define QMB_REQ_SET_ITEM_STATE 33      /* lParam QmbItemState*: sets the bits -> 1 */
#define QMB_REQ_ADD_ENTRY 34           /* lParam const char* path: appends it -> 1 */
#define QMB_REQ_GET_ENTRY 35           /* lParam QmbEntryFields*: fills text -> 1 */
#define QMB_REQ_SET_ENTRY 36           /* lParam QmbEntryFields*: sets fields -> 1, 0 refused */
#define QMB_REQ_DELETE_ENTRY 37        /* lParam row: deletes it -> 1 */
#define QMB_REQ_PLAYLIST_HANDLE 38     /* -> handle of the playlist view, 0 without one */
#define QMB_REQ_CUT 39                 /* cuts the selected entries -> status */
#define QMB_REQ_PASTE 40               /* pastes at the cursor -> status */
#define QMB_REQ_DELETE_ALL 41          /* deletes every entry -> 1 */
#define QMB_REQ_SET_AUTO_ADVANCE 42    /* lParam 0 or 1: advance at track end -> 1 */
#define QMB_REQ_PLAY_PATH 43           /* lParam const char* path: plays it -> status */
#define QMB_REQ_STOP 44                /* lParam 1 also resets the random cycle -> 1 */
#define QMB_REQ_PLAY 45                /* lParam 0 resumes a pause, else plays the cursor -> 1 */
#define QMB_REQ_PAUSE 46               /* toggles the pause of what plays -> 1 */
#define QMB_REQ_PLAY_STATE 47          /* -> 1 stopped, 2 playing, 3 paused */
#define QMB_REQ_TIME 48                /* lParam 0 length ms, 1 position ms, 2/3 their texts */
#define QMB_REQ_SET_EQ_BAND 49         /* lParam band | value << 16 -> const float* previous */
#define QMB_REQ_EQ_BAND 50             /* lParam band -> const float* value */
#define QMB_REQ_SET_VOLUME 51          /* lParam 0..255 -> const float* previous */
#define QMB_REQ_VOLUME 52              /* -> const float* volume */
#define QMB_REQ_SET_BALANCE 53         /* lParam 0..255, 127 centre -> const float* previous */
#define QMB_REQ_BALANCE 54             /* -> const float* balance */
#define QMB_REQ_SEEK 55                /* lParam seconds -> const float* previous position */
#define QMB_REQ_RASTER_OP 56           /* -> the skin's drawing mode, plain or inverted copy */
/* Since 1.02. 60: the title a network stream that plays gives its current
 * piece (its station's name until it says), "" for anything else. 62: a
 * playlist file is loaded, anything else appended and played -> 1, 0 without
 * a path. */
#define QMB_REQ_LOOP 57         /* -> 1 while the Loop button is on, else 0 */
#define QMB_REQ_RANDOM 58       /* -> 1 while the Random button is on, else 0 */
#define QMB_REQ_READ_TAGS 59    /* lParam QmbTagQuery*: its path's tags -> 1, 0 none */
#define QMB_REQ_STREAM_TITLE 60 /* -> const char* the playing stream's title, or "" */
#define QMB_REQ_SHOW_WINDOW 61  /* shows the main window restored and in front -> 1 */
#define QMB_REQ_OPEN 62         /* lParam const char* path: as a second start does */

/* Menu commands (since 1.01): send(host, QMB_WM_COMMAND, id, 0) runs the
 * command as if the user had chosen its menu item, on the user-interface
 * thread; the sender waits as for requests, with the same thread rules. Only
 * the low 16 bits of wParam count. It answers 1 when the player has an
 * operation for the id, 0 when not (nothing runs then). Ids of the main menu: */
#define QMB_CMD_ABOUT 1
#define QMB_CMD_CONTROL_PANEL 3
#define QMB_CMD_PREVIOUS 6
#define QMB_CMD_PLAY 7  /* resumes a pause, else plays the entry under the cursor */
#define QMB_CMD_PAUSE 8 /* toggles the pause */
#define QMB_CMD_STOP 9
#define QMB_CMD_NEXT 10
#define QMB_CMD_OPEN 11
#define QMB_CMD_RANDOM 12 /* toggles the Random button */
#define QMB_CMD_LOOP 13   /* toggles the Loop button */
#define QMB_CMD_SHOW_PLAYLIST 14
#define QMB_CMD_SAVE_SETTINGS 17
#define QMB_CMD_EXIT 18 /* saves and ends the player; the sender gets no answer */
#define QMB_CMD_MUTE 5036

/* Request 59: `path` in; `record` filled by the file plug-in that claims the
 * path (UTF-8 texts), as the player titles its entries. Reading tags opens
 * the file: ask when the current entry changes, not on every poll. */
typedef struct QmbTagQuery {
  const char* path;
  QmbTagRecord record;
} QmbTagQuery;

/* Request 48's argument. */
#define QMB_TIME_LENGTH_MS 0
#define QMB_TIME_POSITION_MS 1
#define QMB_TIME_LENGTH_TEXT 2
#define QMB_TIME_POSITION_TEXT 3

/* Item state bits of requests 32 and 33. */
#define QMB_STATE_FOCUSED 0x1
#define QMB_STATE_SELECTED 0x2
#define QMB_STATE_CUT 0x4
#define QMB_STATE_DROPHILITED 0x8

/* Requests 32 and 33: one playlist row's state bits. 32 writes
 * (row's bits & mask) into state; 33 sets the bits under mask to state. */
typedef struct QmbItemState {
  int32_t row;
  int32_t mask;
  int32_t state;
} QmbItemState;

/* Entry fields by number: 0 title, 1 path, 2 length, 3 played this cycle,
 * 4 times played, 5 date added, 6 date played, 7 file size, 8 file type. */
#define QMB_ENTRY_FIELD_COUNT 9

/* Requests 35 and 36. 35 points text[0..8] at the row's fields (the player's
 * texts, valid until the next request 35). 36 with field -1 sets all nine
 * fields from text[], with 0..8 only that one; a null text leaves its field
 * alone. 36 answers 0 and changes nothing for a row outside the playlist or a
 * field outside -1..8. */
typedef struct QmbEntryFields {
  int32_t row;
  int32_t field; /* 35: reserved */
  char* text[QMB_ENTRY_FIELD_COUNT];
} QmbEntryFields;

#ifdef __cplusplus
}
#endif

#endif /* QMB_PLUGIN_H */
