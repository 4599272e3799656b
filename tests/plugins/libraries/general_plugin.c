/* A test general plug-in that drives the player from a thread of its own,
 * through the host alone, as a third party's plug-in would. */
#include "probe.h"

typedef struct DriveResults {
  intptr_t entryCount;
  intptr_t played;
  intptr_t stateAfterPlay;
  intptr_t lengthMs;
  intptr_t positionMs;
  float previousVolume;
  float volume;
  float band3;
  intptr_t stateAfterPause;
  volatile int done;
} DriveResults;

static DriveResults results;
static char drivePath[1024];
static pthread_t driver;

static int32_t Init(QmbHost* host, void* library) {
  (void)library;
  probe.host = host;
  probe.initCalls++;
  return 0;
}
static void Quit(void) {
  LogExit(NAME);
}

static intptr_t Send(uintptr_t request, intptr_t argument) {
  return probe.host->send(probe.host, QMB_WM_USER, request, argument);
}

static void* Drive(void* unused) {
  (void)unused;
  Send(QMB_REQ_ADD_ENTRY, (intptr_t)drivePath);
  results.entryCount = Send(QMB_REQ_ENTRY_COUNT, 0);
  Send(QMB_REQ_SET_CURSOR, results.entryCount - 1);
  results.played = Send(QMB_REQ_PLAY, 1);
  results.stateAfterPlay = Send(QMB_REQ_PLAY_STATE, 0);
  results.lengthMs = Send(QMB_REQ_TIME, QMB_TIME_LENGTH_MS);
  /* The position moves once the engine has mixed some of the track. */
  for (int i = 0; i < 4000 && results.positionMs <= 0; ++i) {
    results.positionMs = Send(QMB_REQ_TIME, QMB_TIME_POSITION_MS);
    if (results.positionMs <= 0) usleep(5 * 1000);
  }
  results.previousVolume = *(const float*)Send(QMB_REQ_SET_VOLUME, 100);
  results.volume = *(const float*)Send(QMB_REQ_VOLUME, 0);
  Send(QMB_REQ_SET_EQ_BAND, 3 | (25 << 16));
  results.band3 = *(const float*)Send(QMB_REQ_EQ_BAND, 3);
  Send(QMB_REQ_PAUSE, 0);
  results.stateAfterPause = Send(QMB_REQ_PLAY_STATE, 0);
  results.done = 1;
  return 0;
}

QMB_EXPORT DriveResults* qmb_test_drive(const char* path) {
  strncpy(drivePath, path, sizeof(drivePath) - 1);
  results.done = 0;
  pthread_create(&driver, 0, Drive, 0);
  return &results;
}

QMB_EXPORT void qmb_test_join(void) {
  pthread_join(driver, 0);
}

/* The player's menu commands, sent from a thread of the plug-in's own while
 * a playlist plays: each result is the host's answer, then what the player
 * reports after it. */
typedef struct CommandResults {
  intptr_t nextAnswer;
  intptr_t indexAfterNext;
  intptr_t pauseAnswer;
  intptr_t stateAfterPause;
  intptr_t randomAnswer;
  intptr_t loopAnswer;
  intptr_t unknownAnswer;
  volatile int done;
} CommandResults;

static CommandResults commandResults;

static intptr_t Command(uintptr_t id) {
  return probe.host->send(probe.host, QMB_WM_COMMAND, id, 0);
}

static void* SendCommands(void* unused) {
  (void)unused;
  Send(QMB_REQ_SET_CURSOR, 0);
  Send(QMB_REQ_PLAY, 1);
  commandResults.nextAnswer = Command(QMB_CMD_NEXT);
  commandResults.indexAfterNext = Send(QMB_REQ_CURRENT_INDEX, 0);
  commandResults.pauseAnswer = Command(QMB_CMD_PAUSE);
  commandResults.stateAfterPause = Send(QMB_REQ_PLAY_STATE, 0);
  commandResults.randomAnswer = Command(QMB_CMD_RANDOM);
  /* Only the low 16 bits name the command. */
  commandResults.loopAnswer = Command(0x30000 | QMB_CMD_LOOP);
  commandResults.unknownAnswer = Command(4242);
  commandResults.done = 1;
  return 0;
}

QMB_EXPORT CommandResults* qmb_test_commands(void) {
  commandResults.done = 0;
  pthread_create(&driver, 0, SendCommands, 0);
  return &commandResults;
}

#ifdef API_VERSION
QMB_EXPORT int32_t QmbPluginApiVersion(void) {
  return API_VERSION;
}
#endif

static QmbGeneralModule module = {NAME, Init, 0, Quit};

QMB_EXPORT QmbGeneralModule* GetQMBGeneralModule(void) {
  return &module;
}
