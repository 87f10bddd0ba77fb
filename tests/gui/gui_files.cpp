// The GUI kit's files: what the program reads and writes, and the records
// and settings a test starts it with.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "gui_kit.h"
#include "store/schedule_keys.h"

namespace vntra::gui {

std::string read_bytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

void write_bytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string shift_jis(const std::string& utf8_text) {
    return shift_jis(wide(utf8_text));
}

intmax_t size_of_file(const std::filesystem::path& path) {
    std::error_code error;
    uintmax_t size = std::filesystem::file_size(path, error);
    return error ? -1 : static_cast<intmax_t>(size);
}

int32_t record_count_of(const std::filesystem::path& data_file) {
    std::string bytes = read_bytes(data_file);
    int32_t count = -1;
    if (bytes.size() >= 12)
        std::memcpy(&count, bytes.data() + 8, sizeof count);
    return count;
}

std::vector<ScheduleRecord> records_of(const std::filesystem::path& data_file) {
    std::string bytes = read_bytes(data_file);
    std::vector<ScheduleRecord> records;
    for (size_t offset = 12; offset + sizeof(ScheduleRecord) <= bytes.size();
         offset += sizeof(ScheduleRecord)) {
        ScheduleRecord record;
        std::memcpy(&record, bytes.data() + offset, sizeof record);
        records.push_back(record);
    }
    return records;
}

void write_records(const std::filesystem::path& data_file,
                   const std::vector<ScheduleRecord>& records, int32_t header_count) {
    std::ofstream file(data_file, std::ios::binary | std::ios::trunc);
    int32_t count = header_count >= 0 ? header_count : static_cast<int32_t>(records.size());
    file.write("ver 2.3", 8);
    file.write(reinterpret_cast<const char*>(&count), sizeof count);
    for (size_t i = 0; i < records.size(); ++i) {
        ScheduleRecord record = records[i];
        record.id = static_cast<int32_t>(i + 1);
        file.write(reinterpret_cast<const char*>(&record), sizeof record);
    }
}

int32_t slot_int(const std::string& bytes, int id, size_t offset) {
    size_t at = 12 + static_cast<size_t>(id - 1) * sizeof(ScheduleRecord) + offset;
    int32_t value = 0;
    if (at + sizeof value <= bytes.size())
        std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

SettingsRecord mail_ready_settings(const std::filesystem::path& folder) {
    SettingsRecord settings = default_settings(folder.string() + "\\");
    set_text(settings.smtp_server, "mail.example.jp");
    set_text(settings.sender_address, "me@example.jp");
    set_text(settings.recipient_address, "phone@example.jp");
    return settings;
}

void write_settings(const std::filesystem::path& folder, const SettingsRecord& settings) {
    std::ofstream file(folder / "vntraini.fil", std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(&settings), sizeof settings);
}

int peer_port(const char* variable) {
    const char* value = std::getenv(variable);
    return value ? std::atoi(value) : 0;
}

std::string fresh_address(const std::string& local) {
    static int count = 0;
    return local + "-" + std::to_string(::GetTickCount()) + "-" + std::to_string(++count) +
           "@example.jp";
}

SettingsRecord mail_settings(int port, const std::string& recipient) {
    SettingsRecord settings = default_settings("");
    settings.notify_today_at_startup = 0;
    set_text(settings.smtp_server, "127.0.0.1");
    settings.smtp_port = port;
    set_text(settings.sender_address, "me@example.jp");
    set_text(settings.recipient_address, recipient);
    return settings;
}

std::vector<std::string> received_mails(const std::string& recipient) {
    std::vector<std::string> mails;
    const char* spool = std::getenv("VNTRA_SMTP_SPOOL");
    if (!spool)
        return mails;
    std::filesystem::path folder = std::filesystem::path(spool) / recipient;
    std::vector<int> numbers;
    std::error_code error;
    for (const auto& file : std::filesystem::directory_iterator(folder, error)) {
        if (file.path().extension() == ".txt")
            numbers.push_back(std::atoi(file.path().stem().string().c_str()));
    }
    std::sort(numbers.begin(), numbers.end());
    for (int n : numbers) {
        std::string text = read_bytes(folder / (std::to_string(n) + ".txt"));
        std::erase(text, '\r');
        mails.push_back(text);
    }
    return mails;
}

SettingsRecord settings_in(const std::filesystem::path& folder) {
    SettingsRecord settings{};
    std::string bytes = read_bytes(folder / "vntraini.fil");
    std::memcpy(&settings, bytes.data(), std::min(bytes.size(), sizeof settings));
    return settings;
}

ScheduleRecord dated_record(int32_t kind, int year, int month, int day, int end_year, int end_month,
                            int end_day, const std::string& content, const std::string& place) {
    ScheduleRecord record = blank_record();
    record.kind = kind;
    record.start_year = year;
    record.start_month = month;
    record.start_day = day;
    record.end_year = end_year;
    record.end_month = end_month;
    record.end_day = end_day;
    record.end_hour = kind == KIND_MORNING ? 12 : 24;
    if (kind == KIND_AFTERNOON)
        record.start_hour = 12;
    set_text(record.content, shift_jis(content));
    set_text(record.place, shift_jis(place));
    return record;
}

ScheduleRecord todo_record(const std::string& content) {
    ScheduleRecord record = blank_record();
    record.kind = KIND_TODO;
    set_text(record.content, shift_jis(content));
    return record;
}

Today today() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wDayOfWeek};
}

Today add_days(const Today& date, int days) {
    LocalDate moved = days_before({date.year, date.month, date.day}, -days);
    return {moved.year, moved.month, moved.day, ((date.weekday + days) % 7 + 7) % 7};
}

} // namespace vntra::gui
