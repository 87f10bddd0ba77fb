#include "exchange/ical_import_memory.h"

#include <cstdio>
#include <cstring>
#include <system_error>

#include "store/schedule_keys.h"

namespace vntra {
namespace {

const uint64_t FNV_OFFSET = 14695981039346656037ull;
const uint64_t FNV_PRIME = 1099511628211ull;

void mix(uint64_t& hash, const void* data, size_t size) {
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < size; ++i) {
        hash ^= bytes[i];
        hash *= FNV_PRIME;
    }
}

void mix_text(uint64_t& hash, std::string_view text) {
    mix(hash, text.data(), text.size());
    mix(hash, "", 1); // the terminator keeps "ab"+"c" apart from "a"+"bc"
}

bool read_entries(const std::filesystem::path& path, std::vector<ImportMemoryEntry>& entries) {
    entries.clear();
    FilePtr file = open_file(path, "rb");
    if (!file)
        return false;
    char version[sizeof IMPORT_MEMORY_VERSION];
    size_t got = 0;
    if (!read_items(file.get(), version, 1, sizeof version, got))
        return false;
    if (got == 0)
        return true; // an empty file remembers nothing
    if (got != sizeof version || std::memcmp(version, IMPORT_MEMORY_VERSION, sizeof version) != 0)
        return false;
    ImportMemoryEntry block[256];
    do {
        if (!read_items(file.get(), block, sizeof block[0], 256, got))
            return false;
        entries.insert(entries.end(), block, block + got);
    } while (got == 256);
    return true;
}

} // namespace

uint64_t record_print(const ScheduleRecord& r) {
    uint64_t hash = FNV_OFFSET;
    const int32_t numbers[] = {r.kind,       r.start_year,   r.start_month, r.start_day,
                               r.start_hour, r.start_minute, r.end_year,    r.end_month,
                               r.end_day,    r.end_hour,     r.end_minute};
    mix(hash, numbers, sizeof numbers);
    mix_text(hash, field_text(r.content));
    mix_text(hash, field_text(r.place));
    return hash;
}

uint64_t event_key(std::string_view uid, std::string_view instance) {
    uint64_t hash = FNV_OFFSET;
    mix_text(hash, uid);
    mix_text(hash, instance);
    return hash;
}

const char UID_PREFIX[] = "vntra-";
const char UID_SUFFIX[] = "@vntra.invalid";

std::string exported_uid(uint64_t print, int32_t ordinal) {
    char uid[64];
    std::snprintf(uid, sizeof uid, "%s%016llx-%d%s", UID_PREFIX,
                  static_cast<unsigned long long>(print), ordinal, UID_SUFFIX);
    return uid;
}

bool exported_uid_print(std::string_view uid, uint64_t& print) {
    std::string_view prefix = UID_PREFIX;
    if (uid.size() < prefix.size() + 17 || uid.substr(0, prefix.size()) != prefix ||
        uid[prefix.size() + 16] != '-')
        return false;
    print = 0;
    for (char c : uid.substr(prefix.size(), 16)) {
        int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0)
            return false;
        print = print << 4 | static_cast<uint64_t>(digit);
    }
    return true;
}

MemoryLoad ImportMemory::load(const DataFile& store, int32_t expiry_cutoff_key) {
    path_ = store.path.parent_path() / IMPORT_MEMORY_FILE_NAME;
    entries_.clear();
    keys_.clear();
    prints_.clear();
    RecordReader reader(store.path);
    if (!reader.is_open() || reader.failed())
        return MEMORY_DATA_UNREADABLE;
    prints_.reserve(static_cast<size_t>(reader.count()) + 65536);
    ScheduleRecord record;
    while (reader.next(record))
        if (record.kind != KIND_DELETED)
            prints_.insert(record_print(record));
    if (reader.failed())
        return MEMORY_DATA_UNREADABLE;

    std::vector<ImportMemoryEntry> stored;
    if (!file_is_missing(path_) && !read_entries(path_, stored))
        return MEMORY_UNREADABLE;
    keys_.reserve(stored.size() + 65536);
    for (const ImportMemoryEntry& entry : stored) {
        bool expired =
            expiry_cutoff_key > 0 && entry.start_key != 0 && entry.start_key <= expiry_cutoff_key;
        if (!prints_.count(entry.record_print) && !expired)
            continue;
        entries_.push_back(entry);
        keys_.insert(entry.event_key);
    }
    return MEMORY_LOADED;
}

void ImportMemory::remember(uint64_t key, const ScheduleRecord& stored) {
    uint64_t print = record_print(stored);
    int32_t start = stored.kind == KIND_TODO ? 0 : start_date_key(stored);
    entries_.push_back({key, print, start, 0});
    keys_.insert(key);
    prints_.insert(print);
}

bool ImportMemory::save() const {
    std::filesystem::path temporary = path_;
    temporary += ".tmp";
    FilePtr file = open_file(temporary, "wb");
    bool ok =
        file && write_items(file.get(), IMPORT_MEMORY_VERSION, 1, sizeof IMPORT_MEMORY_VERSION);
    ok = ok && (entries_.empty() ||
                write_items(file.get(), entries_.data(), sizeof entries_[0], entries_.size()));
    ok = ok && flush_to_disk(file.get());
    if (file)
        ok = close_checked(std::move(file)) && ok;
    ok = ok && replace_file(temporary, path_);
    if (!ok) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
    }
    return ok;
}

} // namespace vntra
