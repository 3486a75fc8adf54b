// The order job: order_build on the work thread, order_install on the window thread.
#include "work/order_job.h"

#include <stdlib.h>

const JobKind ORDER_JOB = {order_job_run, order_job_hand_over, nullptr, order_job_discard};

OrderJob *order_job_new(const Viewer *viewer, const OrderPlan *plan, OrderCursor how,
                        const char *note) {
    OrderJob *j = static_cast<OrderJob *>(calloc(1, sizeof(OrderJob)));
    if (!j) return nullptr;
    job_init(&j->job, &ORDER_JOB, note);
    j->from = *viewer;
    j->plan = *plan;
    j->how = how;
    j->cursor_record = record_at(viewer, viewer->cur_row);
    j->anchor_record = record_at(viewer, viewer->anchor_row);
    j->end = BUILD_STOPPED;
    return j;
}

void order_job_take_filter(OrderJob *j, RowFilter *filter) {
    row_filter_free(&j->filter);
    j->filter = *filter;
    *filter = RowFilter{};
    const bool kept = j->plan.filter_kept;
    row_filter_spec(&j->filter, &j->plan);
    j->plan.filter_kept = kept && j->plan.filtered;
}

void order_job_run(Job *job) {
    OrderJob *j = reinterpret_cast<OrderJob *>(job);
    j->end = order_build(&j->from, &j->plan, j->cursor_record, j->anchor_record, &j->built);
}

void order_job_hand_over(Job *job, void *to) {
    OrderJob *j = reinterpret_cast<OrderJob *>(job);
    Viewer *live = static_cast<Viewer *>(to);
    if (j->end != BUILD_DONE) return;
    if (live->order.shown != j->from.order.shown || live->order.sorted != j->from.order.sorted)
        return;
    order_install(live, &j->built, j->how);
    j->installed = true;
}

void order_job_discard(Job *job) {
    OrderJob *j = reinterpret_cast<OrderJob *>(job);
    order_discard(&j->built, &j->from.order);
    row_filter_free(&j->filter);
    free(j);
}
