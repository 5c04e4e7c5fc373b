#include <pthread.h>
#include <unistd.h>

// The initial thread's id is the process id.
int pthread_main_np(void) { return gettid() == getpid() ? 1 : 0; }
