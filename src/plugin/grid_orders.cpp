// Order jobs of the viewer window and what the window shows when one is handed over.
#include "plugin/grid_orders.h"

#include "plugin/find_bar.h"
#include "plugin/grid_binding.h"
#include "plugin/long_job.h"
#include "plugin/module_frames.h"
#include "plugin/notice.h"
#include "plugin/value_view.h"
#include "plugin/viewer_keys.h"
#include "plugin/viewer_window.h"
#include "work/order_job.h"

#include <string.h>

namespace {

enum Ask { ASK_SORT, ASK_FILTER, ASK_REMAKE };

const char *note_of(Ask ask) {
    return ask == ASK_FILTER ? "filtering\xE2\x80\xA6" : "sorting\xE2\x80\xA6";
}

bool order_holds(const Viewer *viewer) {
    return viewer->order.key_count > 0 || viewer->order.filtered;
}

void hand_over(Job *job, void *to) {
    HWND window = static_cast<HWND>(to);
    OrderJob *j = reinterpret_cast<OrderJob *>(job);
    Viewer *viewer = viewer_of_viewer_window(window);
    if (!viewer || !viewer->work) return;
    order_job_hand_over(job, viewer);
    if (!j->installed) {
        if (j->end == BUILD_NO_MEMORY) notice_show(window, "not enough memory for that order");
        return;
    }
    ViewerWork *work = viewer->work;
    // The filter the order was made with is the one in force now, and the status line's.
    row_filter_free(&work->filter);
    if (viewer->order.filtered) {
        work->filter = j->filter;
        j->filter = RowFilter{};
    }
    sums_forget(&work->sums);
    // Made before the count ended over the rows known then: made again once it has.
    work->remake =
        viewer->load == LOAD_DONE && order_holds(viewer) && viewer->order.rows < viewer->row_count;
    grid_show_sort_arrows(viewer);
    grid_rows_changed(viewer);
    if (!value_view_follow(value_view_of(window), viewer)) {
        leave_value_view(window, viewer);
        notice_show(window, "the value's row no longer shows");
    }
    if (j->tag == ASK_FILTER) find_bar_filtered(find_bar_of(window));
    InvalidateRect(window, nullptr, FALSE);
}

void gave_up(Job *job, void *to) {
    const OrderJob *j = reinterpret_cast<const OrderJob *>(job);
    if (j->tag == ASK_FILTER) find_bar_stopped(find_bar_of(static_cast<HWND>(to)));
}

const JobKind SHOWN_ORDER_JOB = {order_job_run, hand_over, gave_up, order_job_discard};

// The order job running for the viewer, or null.
const OrderJob *running_order(const Viewer *viewer) {
    const Job *job = viewer->work ? viewer->work->job.job : nullptr;
    return job && job->kind == &SHOWN_ORDER_JOB ? reinterpret_cast<const OrderJob *>(job) : nullptr;
}

// Asks for the order `plan` says, filtered by `filter` (taken over in every case).
void ask(HWND window, Viewer *viewer, const OrderPlan *plan, RowFilter *filter, Ask what) {
    if (viewer_closing(viewer)) {
        row_filter_free(filter);
        return;
    }
    OrderJob *j = order_job_new(
        viewer, plan, what == ASK_REMAKE ? CURSOR_KEEP_SELECTION : CURSOR_COLLAPSE, note_of(what));
    if (!j) {
        row_filter_free(filter);
        return;
    }
    order_job_take_filter(j, filter);
    j->job.kind = &SHOWN_ORDER_JOB;
    j->tag = what;
    if (what == ASK_REMAKE) viewer->work->remake = false;
    start_job(window, &j->job, static_cast<uint64_t>(viewer->buf_len), true);
}

// The filter in force, copied for an order that keeps it.
bool kept_filter(HWND window, const Viewer *viewer, RowFilter *out) {
    if (row_filter_copy(out, asked_filter(window, viewer))) return true;
    notice_show(window, "not enough memory for that order");
    return false;
}

} // namespace

void ask_keys(HWND window, Viewer *viewer, const OrderKey *keys, int32_t n) {
    if (!viewer->work) return;
    OrderPlan plan = order_plan_of(viewer, nullptr);
    plan.key_count = 0;
    for (int32_t k = 0; k < n && k < ORDER_KEYS_MAX; ++k)
        if (keys[k].dir != SORT_NONE && keys[k].col >= 0 && keys[k].col < viewer->col_count)
            plan.keys[plan.key_count++] = keys[k];
    // The filter is the order shown's while no other is being made: its rows are reused.
    const OrderJob *running = running_order(viewer);
    if (running && running->tag == ASK_FILTER) plan.filter_kept = false;
    RowFilter filter;
    if (!kept_filter(window, viewer, &filter)) return;
    ask(window, viewer, &plan, &filter, ASK_SORT);
}

void ask_sort(HWND window, Viewer *viewer, int32_t col, SortDir dir) {
    const OrderKey key = {col, dir};
    ask_keys(window, viewer, &key, dir == SORT_NONE ? 0 : 1);
}

void ask_filter(HWND window, Viewer *viewer, RowFilter *filter) {
    if (!viewer->work) {
        row_filter_free(filter);
        return;
    }
    OrderPlan plan = order_plan_of(viewer, nullptr);
    // The keys as last asked: a sort still being made is the user's last word on them.
    plan.key_count = asked_keys(window, viewer, plan.keys);
    plan.filter_kept = false;
    ask(window, viewer, &plan, filter, ASK_FILTER);
}

int32_t asked_keys(HWND window, const Viewer *viewer, OrderKey out[ORDER_KEYS_MAX]) {
    (void)window;
    const OrderJob *j = running_order(viewer);
    const OrderKey *keys = j && j->tag != ASK_REMAKE ? j->plan.keys : viewer->order.keys;
    const int32_t n = j && j->tag != ASK_REMAKE ? j->plan.key_count : viewer->order.key_count;
    memcpy(out, keys, sizeof(OrderKey) * static_cast<size_t>(n));
    return n;
}

const RowFilter *asked_filter(HWND window, const Viewer *viewer) {
    (void)window;
    static const RowFilter none = {};
    const OrderJob *j = running_order(viewer);
    if (j) return &j->filter;
    return viewer->work ? &viewer->work->filter : &none;
}

void count_ended(HWND window, Viewer *viewer) {
    if (!viewer->work) return;
    // Made again even over as many rows: the columns' types may have become known only now.
    viewer->work->remake = order_holds(viewer);
    remake_if_due(window, viewer);
}

void remake_if_due(HWND window, Viewer *viewer) {
    ViewerWork *work = viewer ? viewer->work : nullptr;
    if (!work || !work->remake || work->job.job || work->menu_open) return;
    OrderPlan plan = order_plan_of(viewer, nullptr);
    plan.fresh = true;
    RowFilter filter;
    if (!row_filter_copy(&filter, &work->filter)) return;
    ask(window, viewer, &plan, &filter, ASK_REMAKE);
}
