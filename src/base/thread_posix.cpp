// Threads and locks on POSIX systems (the native build and its tests).
#include "base/thread.h"

#include <pthread.h>
#include <stdlib.h>

struct Thread {
    pthread_t id;
    void (*run)(void *arg);
    void *arg;
};

static void *trampoline(void *param) {
    Thread *t = static_cast<Thread *>(param);
    t->run(t->arg);
    return nullptr;
}

// Priorities below normal need privileges on POSIX systems; the native tests do without.
Thread *thread_start(void (*run)(void *arg), void *arg, ThreadPriority) {
    if (thread_start_refused()) return nullptr;
    Thread *t = static_cast<Thread *>(calloc(1, sizeof(Thread)));
    if (!t) return nullptr;
    t->run = run;
    t->arg = arg;
    if (pthread_create(&t->id, nullptr, trampoline, t) != 0) {
        free(t);
        return nullptr;
    }
    return t;
}

void thread_join(Thread *thread) {
    if (!thread) return;
    pthread_join(thread->id, nullptr);
    free(thread);
}

int lock_init(Lock *lock) {
    pthread_mutex_t *m = static_cast<pthread_mutex_t *>(malloc(sizeof(pthread_mutex_t)));
    if (!m) return 0;
    if (pthread_mutex_init(m, nullptr) != 0) {
        free(m);
        return 0;
    }
    lock->impl = m;
    return 1;
}

void lock_enter(Lock *lock) {
    pthread_mutex_lock(static_cast<pthread_mutex_t *>(lock->impl));
}

void lock_leave(Lock *lock) {
    pthread_mutex_unlock(static_cast<pthread_mutex_t *>(lock->impl));
}

void lock_free(Lock *lock) {
    if (!lock->impl) return;
    pthread_mutex_destroy(static_cast<pthread_mutex_t *>(lock->impl));
    free(lock->impl);
    lock->impl = nullptr;
}
