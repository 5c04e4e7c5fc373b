#include "MainThread.h"

#include <pthread.h>

namespace plugin {

bool IsMainThread() { return pthread_main_np() != 0; }

} // namespace plugin
