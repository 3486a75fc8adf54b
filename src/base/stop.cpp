// The stop flag a thread's work looks at, kept per thread.
#include "base/stop.h"

static thread_local const std::atomic<int> *t_flag = nullptr;
static thread_local bool t_seen = false;

void stop_watch(const std::atomic<int> *flag) {
    t_flag = flag;
    t_seen = false;
}

bool stop_asked() {
    if (!t_flag || t_flag->load(std::memory_order_relaxed) == 0) return false;
    t_seen = true;
    return true;
}

bool stop_seen() {
    return t_seen;
}
