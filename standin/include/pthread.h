// The platform's <pthread.h> adds pthread_main_np to the POSIX threads: the
// system header, then that one query.
#pragma once

#include_next <pthread.h>

#ifdef __cplusplus
extern "C" {
#endif

// Non-zero on the process's main thread: its initial thread, the one that
// ran main() and runs the main run loop (CFRunLoopGetMain). Any thread;
// allocates nothing.
__attribute__((visibility("default"))) int pthread_main_np(void);

#ifdef __cplusplus
}
#endif
