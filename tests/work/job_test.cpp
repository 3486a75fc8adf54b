// The job slot and the count's channel: work on a thread of its own handed over on the calling
// thread, stopped and waited for, refused while other work holds the slot; the count published
// step by step and taken up until it ends.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "base/stop.h"
#include "base/thread.h"
#include "stepwise_viewer.h"
#include "work/count_channel.h"
#include "work/job.h"

namespace {

// Waits, yielding, until `done` holds or ten seconds pass; whether it held.
template <typename Done> bool wait_until(Done done) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) return false;
        std::this_thread::yield();
    }
    return true;
}

// A job that adds up 1..n, or with `spin` looks at the stop flag until asked to stop. What
// happened to it is counted in `Seen`.
struct Seen {
    std::atomic<int> notified{0};
    int handed = 0, gave_up = 0, discarded = 0;
    void *handed_to = nullptr;
    long sum = 0;
};

struct SumJob {
    Job job;
    Seen *seen;
    long n, sum;
    bool spin;
};

void sum_run(Job *job) {
    SumJob *j = reinterpret_cast<SumJob *>(job);
    if (j->spin)
        while (!stop_asked()) std::this_thread::yield();
    for (long i = 1; i <= j->n; ++i) j->sum += i;
}
void sum_hand_over(Job *job, void *to) {
    SumJob *j = reinterpret_cast<SumJob *>(job);
    ++j->seen->handed;
    j->seen->handed_to = to;
    j->seen->sum = j->sum;
}
void sum_gave_up(Job *job, void *) {
    ++reinterpret_cast<SumJob *>(job)->seen->gave_up;
}
void sum_discard(Job *job) {
    SumJob *j = reinterpret_cast<SumJob *>(job);
    ++j->seen->discarded;
    delete j;
}
const JobKind SUM_JOB = {sum_run, sum_hand_over, sum_gave_up, sum_discard};

Job *sum_job(Seen *seen, long n, bool spin = false) {
    SumJob *j = new SumJob{};
    job_init(&j->job, &SUM_JOB, "adding");
    j->seen = seen;
    j->n = n;
    j->spin = spin;
    return &j->job;
}

struct Slot {
    JobSlot slot{};
    Seen seen;
    Slot() {
        slot.notify = [](void *ctx) { static_cast<Seen *>(ctx)->notified.fetch_add(1); };
        slot.ctx = &seen;
    }
    ~Slot() { job_stop(&slot); }
};

} // namespace

TEST(JobSlot, WorkOnItsOwnThreadIsHandedOverWhenTheCallerIsTold) {
    Slot s;
    int target = 0;
    ASSERT_EQ(job_start(&s.slot, sum_job(&s.seen, 1000), true, &target), JOB_STARTED);
    EXPECT_STREQ(job_note(&s.slot), "adding");
    ASSERT_TRUE(wait_until([&] { return s.seen.notified.load() == 1; }));
    EXPECT_EQ(s.seen.handed, 0) << "nothing is handed over before the caller takes it";
    const JobKind *kind = nullptr;
    EXPECT_EQ(job_finish(&s.slot, &target, &kind), JOB_HANDED);
    EXPECT_EQ(kind, &SUM_JOB);
    EXPECT_EQ(s.seen.sum, 500500);
    EXPECT_EQ(s.seen.handed_to, &target);
    EXPECT_EQ(s.seen.discarded, 1);
    EXPECT_EQ(job_note(&s.slot), nullptr);
    EXPECT_EQ(job_finish(&s.slot, &target, nullptr), JOB_NONE) << "a late notice finds nothing";
}

TEST(JobSlot, AJobAskedToStopGivesUpAndItsResultIsDropped) {
    Slot s;
    ASSERT_EQ(job_start(&s.slot, sum_job(&s.seen, 10, true), true, nullptr), JOB_STARTED);
    // Refused while it runs: the second job is discarded unrun.
    Seen other;
    EXPECT_EQ(job_start(&s.slot, sum_job(&other, 10), true, nullptr), JOB_BUSY);
    EXPECT_EQ(other.discarded, 1);
    EXPECT_EQ(other.handed, 0);
    job_cancel(&s.slot);
    ASSERT_TRUE(wait_until([&] { return s.seen.notified.load() == 1; }));
    EXPECT_EQ(job_finish(&s.slot, nullptr, nullptr), JOB_GAVE_UP);
    EXPECT_EQ(s.seen.gave_up, 1);
    EXPECT_EQ(s.seen.handed, 0);
    EXPECT_EQ(s.seen.discarded, 1);
}

TEST(JobSlot, StoppingWaitsForTheWorkAndHandsNothingOver) {
    Slot s;
    ASSERT_EQ(job_start(&s.slot, sum_job(&s.seen, 10, true), true, nullptr), JOB_STARTED);
    job_stop(&s.slot);
    EXPECT_EQ(job_note(&s.slot), nullptr);
    EXPECT_EQ(s.seen.discarded, 1);
    EXPECT_EQ(s.seen.handed + s.seen.gave_up, 0) << "a stop asked by the owner says nothing";
    // The slot takes the next job at once.
    ASSERT_EQ(job_start(&s.slot, sum_job(&s.seen, 3), false, nullptr), JOB_RAN);
    EXPECT_EQ(s.seen.sum, 6);
}

TEST(JobSlot, SmallWorkOrWorkWithoutAThreadRunsAtOnce) {
    Slot s;
    EXPECT_EQ(job_start(&s.slot, sum_job(&s.seen, 4), false, nullptr), JOB_RAN);
    EXPECT_EQ(s.seen.sum, 10);
    thread_fail_after(0);
    EXPECT_EQ(job_start(&s.slot, sum_job(&s.seen, 5), true, nullptr), JOB_RAN);
    thread_fail_after(-1);
    EXPECT_EQ(s.seen.sum, 15);
    EXPECT_EQ(s.seen.notified.load(), 0);
    EXPECT_EQ(s.seen.discarded, 2);
}

namespace {

// Notices of the count, as the window would get them.
std::atomic<int> g_notices{0};
bool count_notice(void *, bool) {
    g_notices.fetch_add(1);
    return true;
}

} // namespace

TEST(CountChannel, TheCountIsTakenUpStepByStepUntilItEndsAndEndsWhereAWholeLoadDoes) {
    const std::string bytes = counted_dump(300000);
    LoadedViewer whole(bytes);
    StepwiseViewer d(bytes);
    ASSERT_TRUE(d.begun);
    d.count(4096);
    g_notices = 0;
    CountChannel *count =
        count_start(&d.scan, &d.v.map, count_notice, nullptr, 64 << 10); // many steps
    ASSERT_NE(count, nullptr);
    int32_t seen = d.v.row_count;
    unsigned news = 0;
    while (!(news & COUNT_DONE)) {
        ASSERT_TRUE(wait_until([&] { return g_notices.load() > 0; }));
        g_notices = 0;
        news = count_take(&count, &d.v);
        EXPECT_GE(d.v.row_count, seen) << "rows are only ever added";
        seen = d.v.row_count;
        if (d.v.row_count > 0)
            EXPECT_EQ(row_at(d.v, d.v.row_count - 1), row_at(whole.v, d.v.row_count - 1));
    }
    EXPECT_EQ(count, nullptr) << "the channel is freed once the count has ended";
    EXPECT_EQ(d.v.row_count, whole.v.row_count);
    EXPECT_EQ(d.v.load, LOAD_DONE);
}

TEST(CountChannel, WithoutAThreadTheRestIsCountedAtOnceAndEndedAsACountIs) {
    const std::string bytes = counted_dump(5000);
    StepwiseViewer d(bytes);
    d.count(4096);
    thread_fail_after(0);
    EXPECT_EQ(count_start(&d.scan, &d.v.map, count_notice, nullptr), nullptr);
    thread_fail_after(-1);
    const unsigned news = count_rest_here(&d.v, &d.scan, &d.v.map);
    EXPECT_TRUE(news & COUNT_DONE);
    EXPECT_TRUE(news & COUNT_ROWS);
    EXPECT_EQ(d.v.row_count, 5000);
    EXPECT_EQ(d.v.load, LOAD_DONE);
}

TEST(CountChannel, ACountEndedMidwayStopsItsThreadAndKeepsWhatWasTakenUp) {
    StepwiseViewer d(counted_dump(300000));
    d.count(4096);
    CountChannel *count = count_start(&d.scan, &d.v.map, count_notice, nullptr, 4096);
    ASSERT_NE(count, nullptr);
    count_take(&count, &d.v);
    const int32_t taken = d.v.row_count;
    count_end(&count);
    EXPECT_EQ(count, nullptr);
    EXPECT_EQ(d.v.row_count, taken);
    EXPECT_EQ(d.v.load, LOAD_COUNTING);
}
