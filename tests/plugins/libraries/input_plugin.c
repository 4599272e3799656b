/* A test input plug-in. Built several times with different claims: NAME,
 * EXTENSIONS, PATTERN, INIT_RESULT and ENGINE_OUTPUT come from the build. */
#include "probe.h"

static int position;
static const int kLengthMs = 3000;
static QmbStreamInfo info = {1, 32000, 256, 3000};

static int32_t Init(QmbHost* host, void* library) {
  (void)library;
  probe.host = host;
  probe.initCalls++;
  probe.initThread = pthread_self();
  return INIT_RESULT;
}
static void Configure(void) {
  probe.configureCalls++;
}
static void Quit(void) {
  LogExit(NAME);
}
static int32_t Open(const char* path) {
  probe.openCalls++;
  RememberPath(path);
  position = 0;
  return strstr(path, "broken") ? 1 : 0;
}
static void Play(void) {
  probe.playCalls++;
}
static void Stop(void) {
  probe.stopCalls++;
}
static void Pause(int32_t paused) {
  probe.lastPause = paused;
}
static void SetVolume(int32_t volume) {
  probe.lastVolume = volume;
}
static void Ignore(int32_t value) {
  (void)value;
}
static void SetEq(int32_t band, int32_t value) {
  probe.setEqCalls++;
  probe.lastEqBand = band;
  probe.lastEqValue = value;
}
static void Seek(int32_t ms) {
  probe.seekMs = ms;
  position = ms;
}
static int32_t GetTypeIcon(const char* extension) {
  return strcmp(extension, "mp3") == 0 ? 6 : 2;
}
static int32_t GetLength(void) {
  return kLengthMs;
}
static int32_t GetPosition(void) {
  return position;
}
/* A square wave of +-1000 with garbage above the low 16 bits. */
static void GetSample(int32_t* left, int32_t* right) {
  int n = CountUp(&probe.samplesGiven);
  int16_t value = (n / 50) % 2 ? 1000 : -1000;
  *left = (int32_t)(0x7ab0000 | (uint16_t)value);
  *right = (int32_t)(0x7ab0000 | (uint16_t)value);
  if (n % 441 == 0) position += 10;
}
static const QmbStreamInfo* GetStreamInfo(void) {
  return &info;
}

static QmbInputModule module = {NAME,        EXTENSIONS,    PATTERN,     0,         8192,
                                44100,       ENGINE_OUTPUT, Init,        Configure, Quit,
                                Open,        Play,          Stop,        Pause,     0,
                                SetVolume,   Ignore,        Ignore,      SetEq,     Seek,
                                GetTypeIcon, GetLength,     GetPosition, GetSample, GetStreamInfo};

QMB_EXPORT QmbInputModule* GetQMBInputModule(void) {
  return &module;
}
