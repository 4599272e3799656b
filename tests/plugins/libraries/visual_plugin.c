/* A test visualization plug-in: paints its surface one colour and answers
 * what the test asks of it. */
#include "probe.h"

static int32_t Start(QmbHost* host, void* library) {
  (void)library;
  probe.host = host;
  probe.startCalls++;
  return probe.startAnswer;
}
static void Configure(void) {
  probe.configureCalls++;
}
static void Stop(void) {
  probe.stopCalls++;
  LogExit(NAME);
}
static int32_t Render(QmbSurface* target, float* spectrum, int16_t* mix, int32_t frames,
                      int32_t count) {
  (void)spectrum;
  (void)mix;
  (void)frames;
  (void)count;
  probe.renderCalls++;
  for (int32_t y = 0; y < target->height; ++y) {
    uint32_t* row = (uint32_t*)((char*)target->pixels + y * target->stride);
    for (int32_t x = 0; x < target->width; ++x) row[x] = COLOUR;
  }
  return probe.renderAnswer;
}

static QmbVisualModule module = {NAME, Start, Configure, Stop, Render};

QMB_EXPORT QmbVisualModule* GetQMBVisualModule(void) {
  return &module;
}
