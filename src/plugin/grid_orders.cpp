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
    if (viewer->order.filtered) work->filter = j->spec.needle;
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

void ask(HWND window, Viewer *viewer, const OrderSpec *spec, Ask what) {
    if (viewer_closing(viewer)) return;
    OrderJob *j = order_job_new(
        viewer, spec, what == ASK_REMAKE ? CURSOR_KEEP_SELECTION : CURSOR_COLLAPSE, note_of(what));
    if (!j) return;
    j->job.kind = &SHOWN_ORDER_JOB;
    j->tag = what;
    if (what == ASK_REMAKE) viewer->work->remake = false;
    start_job(window, &j->job, static_cast<uint64_t>(viewer->buf_len), true);
}

} // namespace

void ask_sort(HWND window, Viewer *viewer, int32_t col, SortDir dir) {
    if (!viewer->work) return;
    OrderSpec spec = order_spec_of(viewer, &viewer->work->filter);
    spec.key_count = 0;
    if (dir != SORT_NONE && col >= 0 && col < viewer->col_count) {
        spec.keys[0] = OrderKey{col, dir};
        spec.key_count = 1;
    }
    ask(window, viewer, &spec, ASK_SORT);
}

void ask_filter(HWND window, Viewer *viewer, const Needle *needle) {
    if (!viewer->work) return;
    OrderSpec spec = order_spec_of(viewer, nullptr);
    spec.filter_kept = false;
    spec.filtered = needle && needle->char_count > 0;
    if (spec.filtered) spec.needle = *needle;
    ask(window, viewer, &spec, ASK_FILTER);
}

SortDir header_dir(HWND window, const Viewer *viewer, int32_t col) {
    // A sort still being made is what the user clicked last: a second click turns that round.
    const ViewerWork *work = viewer->work;
    const Job *job = work ? work->job.job : nullptr;
    if (job && job->kind == &SHOWN_ORDER_JOB) {
        const OrderJob *j = reinterpret_cast<const OrderJob *>(job);
        if (j->tag != ASK_REMAKE) {
            const OrderSpec &spec = j->spec;
            return spec.key_count == 1 && spec.keys[0].col == col ? spec.keys[0].dir : SORT_NONE;
        }
    }
    (void)window;
    return viewer->order.key_count == 1 ? order_dir_of(&viewer->order, col) : SORT_NONE;
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
    OrderSpec spec = order_spec_of(viewer, &work->filter);
    spec.fresh = true;
    ask(window, viewer, &spec, ASK_REMAKE);
}
