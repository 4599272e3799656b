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
  probe.quitCalls++;
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
  usleep(300 * 1000);
  results.positionMs = Send(QMB_REQ_TIME, QMB_TIME_POSITION_MS);
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

static QmbGeneralModule module = {NAME, Init, 0, Quit};

QMB_EXPORT QmbGeneralModule* GetQMBGeneralModule(void) {
  return &module;
}
