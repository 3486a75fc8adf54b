// Threads and locks on Windows: CreateThread and slim reader/writer locks, which need no memory of
// their own (a lock is one pointer-sized word, kept in the Lock itself).
#include "base/thread.h"

#include <windows.h>

#include <stdlib.h>

struct Thread {
    HANDLE handle;
    void (*run)(void *arg);
    void *arg;
};

static DWORD WINAPI trampoline(void *param) {
    Thread *t = static_cast<Thread *>(param);
    t->run(t->arg);
    return 0;
}

Thread *thread_start(void (*run)(void *arg), void *arg, ThreadPriority priority) {
    if (thread_start_refused()) return nullptr;
    Thread *t = static_cast<Thread *>(calloc(1, sizeof(Thread)));
    if (!t) return nullptr;
    t->run = run;
    t->arg = arg;
    t->handle = CreateThread(nullptr, 0, trampoline, t, CREATE_SUSPENDED, nullptr);
    if (!t->handle) {
        free(t);
        return nullptr;
    }
    if (priority == THREAD_BELOW_NORMAL) SetThreadPriority(t->handle, THREAD_PRIORITY_BELOW_NORMAL);
    ResumeThread(t->handle);
    return t;
}

void thread_join(Thread *thread) {
    if (!thread) return;
    WaitForSingleObject(thread->handle, INFINITE);
    CloseHandle(thread->handle);
    free(thread);
}

static_assert(sizeof(SRWLOCK) == sizeof(void *), "a slim lock is one word");

int lock_init(Lock *lock) {
    InitializeSRWLock(reinterpret_cast<SRWLOCK *>(&lock->impl));
    return 1;
}

void lock_enter(Lock *lock) {
    AcquireSRWLockExclusive(reinterpret_cast<SRWLOCK *>(&lock->impl));
}

void lock_leave(Lock *lock) {
    ReleaseSRWLockExclusive(reinterpret_cast<SRWLOCK *>(&lock->impl));
}

void lock_free(Lock *lock) {
    lock->impl = nullptr;
}
