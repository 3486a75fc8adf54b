// The count's thread and its channel: steps of the scan, each published under a lock.
#include "work/count_channel.h"

#include "document/load.h"
#include "document/read_step.h"

#include <stdlib.h>

namespace {

const uint64_t STEP_BYTES = 4u << 20; // a step of the thread: milliseconds

void publish(CountChannel *c, bool done) {
    lock_enter(&c->lock);
    c->published = c->scan;
    lock_leave(&c->lock);
    if (done) c->done.store(1);
    if (!c->notify) return;
    if (c->waiting.exchange(1) == 0 || done) {
        if (!c->notify(c->ctx, done)) c->waiting.store(0);
    }
}

void count_thread(void *arg) {
    CountChannel *c = static_cast<CountChannel *>(arg);
    bool more = true;
    while (more && !c->stop.load(std::memory_order_relaxed)) {
        more = read_step(&c->scan, c->map, c->step_bytes) == 1;
        publish(c, !more);
    }
}

// What the record had before it was brought up to a newer scan.
struct Before {
    int32_t row_count;
    const char *copy_line, *sql, *info;
};

Before before_of(const Viewer *v) {
    return {v->row_count, v->copy_line, v->sql, v->info};
}

unsigned news_since(const Before &b, const Viewer *v) {
    unsigned news = 0;
    if (v->row_count != b.row_count) news |= COUNT_ROWS;
    if (!b.copy_line && v->copy_line) news |= COUNT_COLUMNS;
    if ((!b.sql && v->sql) || (!b.info && v->info)) news |= COUNT_SECTIONS;
    return news;
}

} // namespace

CountChannel *count_start(const DumpScan *scan, FileMap *map, bool (*notify)(void *ctx, bool done),
                          void *ctx, uint64_t step_bytes) {
    CountChannel *c = static_cast<CountChannel *>(calloc(1, sizeof(CountChannel)));
    if (!c) return nullptr;
    if (!lock_init(&c->lock)) {
        free(c);
        return nullptr;
    }
    c->scan = *scan;
    c->map = map;
    c->published = *scan;
    c->notify = notify;
    c->ctx = ctx;
    c->step_bytes = step_bytes ? step_bytes : STEP_BYTES;
    // Below the window's thread: on a machine of few cores the count must not be what keeps a key
    // or a paint waiting.
    c->thread = thread_start(count_thread, c, THREAD_BELOW_NORMAL);
    if (!c->thread) {
        lock_free(&c->lock);
        free(c);
        return nullptr;
    }
    return c;
}

unsigned count_take(CountChannel **channel, Viewer *viewer) {
    CountChannel *c = *channel;
    if (!c) return 0;
    c->waiting.store(0);
    const bool done = c->done.load() != 0;
    lock_enter(&c->lock);
    const DumpScan now = c->published;
    lock_leave(&c->lock);
    const Before before = before_of(viewer);
    load_adopt(viewer, &now);
    unsigned news = news_since(before, viewer);
    if (done) {
        news |= COUNT_DONE;
        count_end(channel);
    }
    return news;
}

void count_end(CountChannel **channel) {
    CountChannel *c = *channel;
    if (!c) return;
    *channel = nullptr;
    c->stop.store(1);
    thread_join(c->thread);
    lock_free(&c->lock);
    free(c);
}

unsigned count_rest_here(Viewer *viewer, DumpScan *scan, FileMap *map) {
    const Before before = before_of(viewer);
    while (read_step(scan, map, UINT64_MAX)) {
    }
    load_adopt(viewer, scan);
    return news_since(before, viewer) | COUNT_DONE;
}
