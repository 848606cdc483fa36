#include "server_pg/TempPostgres.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace vorlane::scores::testing {
namespace {

std::optional<std::filesystem::path> FindBinFolder() {
    std::error_code ec;
    if (const char* bin = std::getenv("VORLANE_PG_BIN"); bin && *bin) {
        if (std::filesystem::exists(std::filesystem::path(bin) / "pg_ctl", ec))
            return std::filesystem::path(bin);
        return std::nullopt;
    }
    // The newest installed version.
    std::optional<std::filesystem::path> best;
    int bestVersion = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/usr/lib/postgresql", ec)) {
        const int version = std::atoi(entry.path().filename().c_str());
        const auto bin = entry.path() / "bin";
        if (version > bestVersion && std::filesystem::exists(bin / "initdb", ec) &&
            std::filesystem::exists(bin / "pg_ctl", ec)) {
            bestVersion = version;
            best = bin;
        }
    }
    return best;
}

int FreeLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        if (fd >= 0) close(fd);
        throw std::runtime_error("no free port on 127.0.0.1");
    }
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

// A folder name as the host part of a libpq address: every '/' as %2F.
std::string EncodedFolder(const std::filesystem::path& folder) {
    std::string encoded;
    for (char c : folder.string())
        encoded += c == '/' ? std::string("%2F") : std::string(1, c);
    return encoded;
}

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

} // namespace

std::optional<std::string> TempPostgres::Unavailable() {
    if (!FindBinFolder())
        return std::string(
            "PostgreSQL's initdb and pg_ctl are not installed (apt-get install postgresql-15, or set "
            "VORLANE_PG_BIN)");
    if (geteuid() == 0 && getpwnam("postgres") == nullptr)
        return std::string("running as root and there is no postgres account to run PostgreSQL under");
    return std::nullopt;
}

TempPostgres::TempPostgres() {
    if (const auto why = Unavailable()) throw std::runtime_error(*why);
    bin_ = *FindBinFolder();
    asPostgresAccount_ = geteuid() == 0;

    std::string pattern = (std::filesystem::temp_directory_path() / "vorlane-pg-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a temporary folder");
    folder_ = pattern;
    if (asPostgresAccount_) {
        const passwd* account = getpwnam("postgres");
        if (chown(folder_.c_str(), account->pw_uid, account->pw_gid) != 0)
            throw std::runtime_error("cannot hand " + folder_.string() + " to the postgres account");
    }
    port_ = FreeLoopbackPort();

    const std::string data = (folder_ / "data").string();
    const std::string log = (folder_ / "server.log").string();
    if (RunAsOwner(Quoted((bin_ / "initdb").string()) + " -D " + Quoted(data) +
                   " -A trust -U postgres -E UTF8 --locale=C --no-sync >" + Quoted(log) + " 2>&1") != 0)
        throw std::runtime_error("initdb failed:\n" + LogTail());
    // Only the socket folder and 127.0.0.1; a few connections more than the tests need.
    const std::string serverOptions = "-k " + folder_.string() + " -c listen_addresses=127.0.0.1 -p " +
                                      std::to_string(port_) + " -c max_connections=200";
    if (RunAsOwner(Quoted((bin_ / "pg_ctl").string()) + " -D " + Quoted(data) + " -o " +
                   Quoted(serverOptions) + " -l " + Quoted(log) + " -w -t 60 start >/dev/null 2>&1") != 0)
        throw std::runtime_error("pg_ctl start failed:\n" + LogTail());
    started_ = true;
}

TempPostgres::~TempPostgres() {
    if (started_)
        RunAsOwner(Quoted((bin_ / "pg_ctl").string()) + " -D " + Quoted((folder_ / "data").string()) +
                   " -m immediate -w stop >/dev/null 2>&1");
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
}

int TempPostgres::RunAsOwner(const std::string& command) const {
    const std::string line = asPostgresAccount_ ? "runuser -u postgres -- sh -c " + Quoted(command) : command;
    const int status = std::system(line.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string TempPostgres::LogTail() const {
    std::ifstream in(folder_ / "server.log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    std::ostringstream tail;
    for (size_t i = lines.size() > 20 ? lines.size() - 20 : 0; i < lines.size(); ++i)
        tail << lines[i] << '\n';
    return tail.str();
}

std::string TempPostgres::SocketUrl(const std::string& name) const {
    return "postgresql://postgres@" + EncodedFolder(folder_) + ":" + std::to_string(port_) + "/" + name;
}

std::string TempPostgres::TcpUrl(const std::string& name) const {
    return "postgresql://postgres@127.0.0.1:" + std::to_string(port_) + "/" + name;
}

void TempPostgres::Execute(const std::string& name, const std::string& sql) const {
    const std::string command = Quoted((bin_ / "psql").string()) + " -q -v ON_ERROR_STOP=1 " +
                                Quoted(SocketUrl(name)) + " -c " + Quoted(sql) + " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("psql failed in " + name + ": " + sql);
}

std::string TempPostgres::CreateDatabase(const std::string& name) {
    Execute("postgres", "CREATE DATABASE \"" + name + "\"");
    return SocketUrl(name);
}

} // namespace vorlane::scores::testing
