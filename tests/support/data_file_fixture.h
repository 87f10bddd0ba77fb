// A test with a fresh, empty data file of its own.
#ifndef VNTRA_TESTS_DATA_FILE_FIXTURE_H
#define VNTRA_TESTS_DATA_FILE_FIXTURE_H

#include <gtest/gtest.h>

#include "store/data_file.h"
#include "support/temp_folder.h"

namespace vntra::testing {

class DataFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        store.path = folder / DATA_FILE_NAME;
        ASSERT_TRUE(create_data_file(store.path));
    }
    void add(ScheduleRecord record) { ASSERT_NE(0, append_record(store, record)); }

    TempFolder folder;
    DataFile store;
};

} // namespace vntra::testing

#endif
