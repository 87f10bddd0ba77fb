#include "shell/app.h"

#include "store/schedule_keys.h"

namespace vntra {

App& application() {
    static App app;
    return app;
}

LocalDate local_today() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay};
}

} // namespace vntra
