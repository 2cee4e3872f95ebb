/* Lumacore: the modem engine's C interface. The only part of the engine the program sees.
 *
 * Every call returns a 16-bit status, 0 for success. Results come back in buffers the caller
 * zero-fills; texts are NUL-terminated 8-bit strings in the system code page.
 */
#ifndef LUMACORE_H
#define LUMACORE_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef uint16_t MEC_STATUS;

/* Where the engine posts and sends its own messages: stands in for a window handle.
 * post: queue a message; data/size (NULL/0 when nothing travels with it) are copied before
 *       post returns. Returns 1 when queued, 0 when there is no window.
 * send: deliver and wait until the window has handled it; returns the window's answer. */
typedef struct LumacoreWindowSink {
    void *context;
    int (*post)(void *context, uint32_t message, uint32_t wParam, uint32_t lParam,
                const void *data, size_t size);
    intptr_t (*send)(void *context, uint32_t message, uint32_t wParam, uint32_t lParam,
                     const void *data, size_t size);
} LumacoreWindowSink;

#ifdef __cplusplus
}
#endif

#endif /* LUMACORE_H */
