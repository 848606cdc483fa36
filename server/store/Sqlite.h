#pragma once
// A thin owner of SQLite connections and prepared statements: every value goes in
// through a bound parameter, every failure becomes a StoreError naming the cause.
#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "store/ScoreStore.h"

namespace vorlane::scores {

class SqliteStatement {
  public:
    SqliteStatement(sqlite3* db, std::string_view sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // Binding starts a new run: the statement is reset and its old values cleared.
    SqliteStatement& Bind(int index, int64_t value);
    SqliteStatement& Bind(int index, std::string_view value);
    // By name (":since"); a name the statement does not use is passed over.
    SqliteStatement& Bind(const char* name, int64_t value);
    SqliteStatement& Bind(const char* name, std::string_view value);
    SqliteStatement& BindBlob(const char* name, std::span<const uint8_t> bytes);

    // One step: true while a row is there to read. Reset() ends the run.
    bool Step();
    void Reset();

    int64_t Int(int column) const;
    std::string Text(int column) const;
    std::vector<uint8_t> Blob(int column) const;
    bool IsNull(int column) const;

  private:
    void Fail(const char* what) const;

    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
    bool running_ = false;
};

class SqliteConnection {
  public:
    enum class Mode { ReadWrite, ReadOnly };
    SqliteConnection(const std::string& path, Mode mode);
    ~SqliteConnection();
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;

    // Runs fixed statements that take no values (schema, pragmas, BEGIN/COMMIT).
    void Execute(const char* sql);

    // The statement for a fixed text, prepared once per connection.
    SqliteStatement& Prepared(const char* sql);

    sqlite3* Handle() const { return db_; }

  private:
    sqlite3* db_ = nullptr;
    std::unordered_map<const char*, std::unique_ptr<SqliteStatement>> statements_;
};

} // namespace vorlane::scores
