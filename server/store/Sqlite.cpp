#include "store/Sqlite.h"

#include <memory>

namespace vorlane::scores {

SqliteStatement::SqliteStatement(sqlite3* db, std::string_view sql) : db_(db) {
    if (sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &stmt_,
                           nullptr) != SQLITE_OK)
        throw StoreError(std::string("cannot prepare a statement: ") + sqlite3_errmsg(db));
}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(stmt_);
}

void SqliteStatement::Fail(const char* what) const {
    throw StoreError(std::string(what) + ": " + sqlite3_errmsg(db_));
}

SqliteStatement& SqliteStatement::Bind(int index, int64_t value) {
    if (running_) Reset();
    if (sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK) Fail("cannot bind a value");
    return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, std::string_view value) {
    if (running_) Reset();
    // An empty view may have no data at all: it is still text, not NULL.
    const char* text = value.data() != nullptr ? value.data() : "";
    if (sqlite3_bind_text(stmt_, index, text, static_cast<int>(value.size()), SQLITE_TRANSIENT) != SQLITE_OK)
        Fail("cannot bind a value");
    return *this;
}

SqliteStatement& SqliteStatement::Bind(const char* name, int64_t value) {
    const int index = sqlite3_bind_parameter_index(stmt_, name);
    return index > 0 ? Bind(index, value) : *this;
}

SqliteStatement& SqliteStatement::Bind(const char* name, std::string_view value) {
    const int index = sqlite3_bind_parameter_index(stmt_, name);
    return index > 0 ? Bind(index, value) : *this;
}

SqliteStatement& SqliteStatement::BindBlob(const char* name, std::span<const uint8_t> bytes) {
    const int index = sqlite3_bind_parameter_index(stmt_, name);
    if (index <= 0) return *this;
    if (running_) Reset();
    // An empty blob is still a blob, not NULL: the pointer must not be null.
    static const uint8_t kNothing = 0;
    if (sqlite3_bind_blob64(stmt_, index, bytes.empty() ? &kNothing : bytes.data(), bytes.size(),
                            SQLITE_TRANSIENT) != SQLITE_OK)
        Fail("cannot bind a value");
    return *this;
}

bool SqliteStatement::Step() {
    running_ = true;
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    const std::string message = sqlite3_errmsg(db_);
    Reset();
    throw StoreError("database statement failed: " + message);
}

void SqliteStatement::Reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
    running_ = false;
}

int64_t SqliteStatement::Int(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

std::string SqliteStatement::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    const int size = sqlite3_column_bytes(stmt_, column);
    return text ? std::string(text, static_cast<size_t>(size)) : std::string();
}

std::vector<uint8_t> SqliteStatement::Blob(int column) const {
    const auto* data = static_cast<const uint8_t*>(sqlite3_column_blob(stmt_, column));
    const int size = sqlite3_column_bytes(stmt_, column);
    return data ? std::vector<uint8_t>(data, data + size) : std::vector<uint8_t>();
}

bool SqliteStatement::IsNull(int column) const {
    return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

SqliteConnection::SqliteConnection(const std::string& path, Mode mode) {
    // SQLite's allocation statistics take a process-wide lock on every malloc and
    // free; nothing reads them. Set once, before SQLite starts (it then refuses).
    static const int kNoMemoryStatistics = sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    (void)kNoMemoryStatistics;
    const int flags =
        SQLITE_OPEN_NOMUTEX |
        (mode == Mode::ReadWrite ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY);
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
        const std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
        sqlite3_close(db_);
        db_ = nullptr;
        throw StoreError("cannot open SQLite database " + path + ": " + message);
    }
    sqlite3_extended_result_codes(db_, 1);
    // Readers and the writer meet only at WAL checkpoints; wait rather than fail.
    sqlite3_busy_timeout(db_, 5000);
}

SqliteConnection::~SqliteConnection() {
    statements_.clear();
    sqlite3_close(db_);
}

void SqliteConnection::Execute(const char* sql) {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : sqlite3_errmsg(db_);
        sqlite3_free(error);
        throw StoreError("database statement failed: " + message);
    }
}

SqliteStatement& SqliteConnection::Prepared(const char* sql) {
    auto& slot = statements_[sql];
    if (!slot) slot = std::make_unique<SqliteStatement>(db_, sql);
    return *slot;
}

} // namespace vorlane::scores
