#include "store/schedule_record.h"

#include <cstring>

namespace vntra {

ScheduleRecord blank_record() {
    ScheduleRecord record;
    std::memset(&record, 0, sizeof record);
    return record;
}

ScheduleRecord deleted_record(int32_t id) {
    ScheduleRecord record = blank_record();
    record.id = id;
    record.kind = KIND_DELETED;
    return record;
}

const char* kind_label(int32_t kind) {
    switch (kind) {
    case KIND_TIME_RANGE:
        return "時間指定";
    case KIND_DATE_SPAN:
        return "期間指定";
    case KIND_MORNING:
        return "午前";
    case KIND_AFTERNOON:
        return "午後";
    case KIND_ALL_DAY:
        return "終日";
    case KIND_TODO:
        return "ＴｏＤｏ";
    default:
        return "";
    }
}

} // namespace vntra
