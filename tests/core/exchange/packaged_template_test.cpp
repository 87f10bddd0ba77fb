#include <gtest/gtest.h>

#include <cstdlib>

#include "exchange/csv_import.h"
#include "support/data_file_fixture.h"

namespace vntra {
namespace {

// The import template shipped in the release zip, named by the package
// stage in VNTRA_IMPORT_TEMPLATE: every example line must import.
TEST(PackagedTemplate, ImportsWithoutErrorLines) {
    const char* template_path = std::getenv("VNTRA_IMPORT_TEMPLATE");
    if (!template_path)
        GTEST_SKIP() << "VNTRA_IMPORT_TEMPLATE not set (the package stage sets it)";
    testing::TempFolder folder;
    DataFile store{folder / DATA_FILE_NAME, 0};
    ASSERT_TRUE(create_data_file(store.path));
    ImportResult result =
        import_schedule_file(store, template_path, folder / "vntraerr-template.csv");
    ASSERT_EQ(IMPORT_FINISHED, result.status);
    EXPECT_EQ(5, result.imported); // one line of each kind
    EXPECT_EQ(0, result.rejected) << testing::read_file_bytes(folder / "vntraerr-template.csv");
    std::vector<int32_t> kinds;
    scan_records(store, [&](const ScheduleRecord& r) { kinds.push_back(r.kind); });
    EXPECT_EQ((std::vector<int32_t>{1, 2, 3, 4, 5}), kinds);
}

} // namespace
} // namespace vntra
