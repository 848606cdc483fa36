#pragma once
// A PostgreSQL server of its own for a test run: initdb and pg_ctl in a fresh
// temporary folder, listening on a socket in that folder and on 127.0.0.1 with a
// free port, stopped and removed at the end. PostgreSQL refuses to run as root, so
// under root the server runs as the `postgres` account the Debian package makes.
#include <filesystem>
#include <optional>
#include <string>

namespace vorlane::scores::testing {

class TempPostgres {
  public:
    // Why no server can be started here (the programs are not installed), or
    // nothing when one can. The programs are looked for in $VORLANE_PG_BIN, then
    // in /usr/lib/postgresql/<version>/bin.
    static std::optional<std::string> Unavailable();

    // Starts the server; throws std::runtime_error with the log when it cannot.
    TempPostgres();
    ~TempPostgres(); // stops it and removes the folder
    TempPostgres(const TempPostgres&) = delete;
    TempPostgres& operator=(const TempPostgres&) = delete;

    // Makes an empty database (UTF-8) and answers its address through the socket
    // folder ("postgresql://postgres@%2Ftmp%2F...:PORT/NAME").
    std::string CreateDatabase(const std::string& name);
    // Runs SQL in the database `name` through psql; throws when it fails.
    void Execute(const std::string& name, const std::string& sql) const;
    // The same database through TCP on 127.0.0.1.
    std::string TcpUrl(const std::string& name) const;
    std::string SocketUrl(const std::string& name) const;

    int Port() const { return port_; }
    const std::filesystem::path& Folder() const { return folder_; }

  private:
    // Runs a PostgreSQL program as the account that owns the server.
    int RunAsOwner(const std::string& command) const;
    std::string LogTail() const;

    std::filesystem::path bin_;
    std::filesystem::path folder_;
    int port_ = 0;
    bool asPostgresAccount_ = false;
    bool started_ = false;
};

} // namespace vorlane::scores::testing
