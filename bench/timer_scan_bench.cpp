// The minute scan reads the whole data file every minute for as long as the
// program runs; this measures one scan of a large file in which every
// alarm and a third of the reminders are still armed.
#include <benchmark/benchmark.h>

#include "large_data_file.h"
#include "reminders/timer_scan.h"

namespace vntra {
namespace {

void arm_triggers(ScheduleRecord& r) {
    if (r.kind == KIND_TIME_RANGE) {
        r.alarm_state = TRIGGER_ARMED;
        r.alarm_lead_minutes = 10;
    }
    if (r.kind != KIND_DELETED && r.id % 3 == 0) {
        r.reminder_state = TRIGGER_ARMED;
        r.reminder_year = 2030;
        r.reminder_month = 1;
        r.reminder_day = 1;
        r.reminder_hour = 9;
    }
}

void BM_TimerScanOf100kRecords(benchmark::State& state) {
    std::filesystem::path path = bench_folder() / "scan.fil";
    write_large_data_file(path, arm_triggers);
    DataFile store{path, 0};
    load_record_count(store);
    TriggerMemory memory;
    // A day on which some of the entries start within their lead.
    LocalTimeStamp now{2014, 3, 24, 8, 55, 0, 1, 540};
    size_t alarms = 0;
    for (auto _ : state) {
        ScanPlan plan = plan_scan(store, now, memory);
        alarms = plan.alarms.size();
        benchmark::DoNotOptimize(plan.reminders.data());
    }
    state.counters["alarms"] = static_cast<double>(alarms);
}
BENCHMARK(BM_TimerScanOf100kRecords)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace vntra
