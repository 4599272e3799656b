/* A test DSP plug-in: while it runs, every mixed sample becomes 777. */
#include "probe.h"

static int32_t Init(QmbHost* host, void* library) {
  (void)library;
  probe.host = host;
  probe.initCalls++;
  probe.initThread = pthread_self();
  return INIT_RESULT;
}
static void Stop(void) {
  probe.stopCalls++;
  LogExit(NAME);
}
static void Process(int16_t* input, int16_t* mix, int32_t length) {
  (void)input;
  CountUp(&probe.processCalls);
  if (pthread_equal(pthread_self(), probe.initThread)) CountUp(&probe.processOnInitThread);
  for (int32_t i = 0; i < 2 * length; ++i) mix[i] = 777;
}

static QmbDspModule module = {NAME, Init, 0, Stop, Process};

QMB_EXPORT QmbDspModule* GetQMBDspModule(void) {
  return &module;
}
