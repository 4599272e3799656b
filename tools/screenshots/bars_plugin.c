/* A small visualization plug-in for the screenshots of the "Visualization
 * Window": spectrum bars in a gradient over a dark field. Built beside the
 * screenshot tool; the player does not ship it. */
#include "qmb_plugin.h"

#include <math.h>

static int32_t Start(QmbHost* host, void* library) {
  (void)host;
  (void)library;
  return 0;
}

static int32_t Render(QmbSurface* target, float* spectrum, int16_t* mix, int32_t frames,
                      int32_t count) {
  (void)mix;
  (void)frames;
  const int32_t bars = 32, gap = 2;
  int32_t w = target->width, h = target->height;
  for (int32_t y = 0; y < h; ++y) {
    uint32_t* row = (uint32_t*)((char*)target->pixels + y * target->stride);
    for (int32_t x = 0; x < w; ++x) row[x] = 0xff101820u;
  }
  for (int32_t b = 0; b < bars && spectrum; ++b) {
    /* Wider bands of bins towards the top, as the ear hears them. */
    int32_t from = (int32_t)(pow(2.0, 7.0 * b / bars) - 1),
            to = (int32_t)pow(2.0, 7.0 * (b + 1) / bars);
    float level = 0;
    for (int32_t i = from; i < to && i < count; ++i) level = fmaxf(level, spectrum[i]);
    int32_t top = h - (int32_t)(h * fminf(1.0f, sqrtf(level) * 1.6f));
    int32_t x0 = b * w / bars, x1 = (b + 1) * w / bars - gap;
    for (int32_t y = top; y < h; ++y) {
      uint32_t* row = (uint32_t*)((char*)target->pixels + y * target->stride);
      uint32_t red = (uint32_t)(64 + 191 * (h - y) / h),
               green = (uint32_t)(200 - 120 * (h - y) / h);
      for (int32_t x = x0; x < x1 && x < w; ++x)
        row[x] = 0xff000000u | red << 16 | green << 8 | 96u;
    }
  }
  return 0;
}

static QmbVisualModule module = {"Bars (screenshots)", Start, 0, 0, Render};

QMB_EXPORT QmbVisualModule* GetQMBVisualModule(void) {
  return &module;
}

QMB_EXPORT int32_t QmbPluginApiVersion(void) {
  return QMB_PLUGIN_API_VERSION;
}
