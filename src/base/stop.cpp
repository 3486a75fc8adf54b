// The stop flag a thread's work looks at, kept per thread.
#include "base/stop.h"

static thread_local const std::atomic<int> *t_flag = nullptr;
static thread_local bool t_seen = false;
static thread_local long t_looks = 0;
static thread_local long t_stop_at = -1;

void stop_watch(const std::atomic<int> *flag) {
    t_flag = flag;
    t_seen = false;
    t_looks = 0;
}

bool stop_asked() {
    ++t_looks;
    if (t_stop_at >= 0 && t_looks > t_stop_at) {
        t_seen = true;
        return true;
    }
    if (!t_flag || t_flag->load(std::memory_order_relaxed) == 0) return false;
    t_seen = true;
    return true;
}

bool stop_seen() {
    return t_seen;
}

void stop_after_looks(long looks) {
    t_stop_at = looks < 0 ? -1 : looks;
    t_looks = 0;
    t_seen = false;
}

long stop_looks() {
    return t_looks;
}
