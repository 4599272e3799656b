/* The picture library: one entry point that decodes a picture file (BMP, PNG,
 * JPEG, GIF and whatever else QtGui reads) into 32-bit pixels. It is a shared
 * library of its own ("image.so") that the player loads from its program
 * folder at start-up. */
#ifndef QMB_IMAGE_H
#define QMB_IMAGE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* One block from malloc: the header followed by height rows of width pixels,
 * 0xAARRGGBB, rows `stride` bytes apart. The caller releases it with free(). */
typedef struct QmbPicture {
  int32_t width;
  int32_t height;
  int32_t stride;
  int32_t reserved;
  uint32_t* pixels; /* points just past the header, inside the same block */
} QmbPicture;

/* Decodes the picture at the full path `path`; NULL when it cannot. */
typedef QmbPicture* (*QmbLoadImageFn)(const char* path);

#define QMB_LOAD_IMAGE_ENTRY "QMBLoadImage"

#ifdef __cplusplus
}
#endif

#endif
