/* The wait window library: an animated, borderless wait window with a one-line caption,
 * shown while the caller blocks in a long card operation.
 *
 * The calls may come from any thread, the program's window thread included: the window is
 * drawn by a process of its own (lumadial-waitpane, beside the library), so it appears and
 * animates while the caller's thread is blocked. */
#ifndef LUMADIAL_WAITPANE_H
#define LUMADIAL_WAITPANE_H

#include <stdint.h>

#if defined(WAITPANE_BUILDING)
#define WAITPANE_EXPORT __attribute__((visibility("default")))
#else
#define WAITPANE_EXPORT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Starts showing the window and returns at once (always 0). kind 1 plays the search animation,
 * 2 the selection animation; a kind outside 1..8 keeps the previous one (8 at first, which
 * plays none). text: the caption in the system code page, at most 255 bytes are kept.
 * owner is kept and not used. */
WAITPANE_EXPORT int32_t ShowStatusWindow(int32_t kind, const char *text, uintptr_t owner);

/* Closes the window the last ShowStatusWindow started and returns once it is gone; returns
 * the cancelled flag. Returns at once when no window is shown. */
WAITPANE_EXPORT int32_t CloseStatusWindow(void);

/* Returns the cancelled flag; when it is set and the window is shown, closes it first. */
WAITPANE_EXPORT int32_t GetStatus(int32_t unused);

#ifdef __cplusplus
}
#endif

#endif
