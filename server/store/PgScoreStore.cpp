#include "store/PgScoreStore.h"

#include "store/ClientSalt.h"
#include "store/PeriodCounts.h"
#include "store/RankCounts.h"

#include <pqxx/binarystring>
#include <pqxx/pqxx>

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <memory>

namespace vorlane::scores {
namespace {

// Schema changes, oldest first. Each runs once, in its own transaction, and is
// recorded in schema_migrations; a database from a newer program is refused.
struct Migration {
    int64_t version;
    const char* sql;
};

// Adds `delta` to the period counts of the row `row` (OLD or NEW) unless the
// trigger's operation is `skip`: levels 1 to 3, each span's cell (the time divided
// by the span's seconds, rounded down), for rows from the horizon on.
#define VORLANE_PG_COUNT_PERIOD(row, delta, skip)                                                            \
    " IF TG_OP <> " skip " AND " row ".submitted_at >= (SELECT horizon FROM period_horizon) THEN"            \
    " INSERT INTO period_counts (verified_only, grp, level, span, cell, key, n)"                             \
    "  SELECT v.k, g.k, l.level, s.span, (" row ".submitted_at - ((" row ".submitted_at % s.seconds)"        \
    "   + s.seconds) % s.seconds) / s.seconds, " row ".score >> l.shift, " delta                             \
    "  FROM (VALUES (1, 8), (2, 16), (3, 24)) AS l(level, shift),"                                           \
    "   (VALUES (0, 300::bigint), (1, 3600::bigint), (2, 86400::bigint)) AS s(span, seconds),"               \
    "   (VALUES (FALSE), (TRUE)) AS v(k), (VALUES (''), ('=' || lower(" row                                  \
    ".country COLLATE \"C\"))) AS g(k)"                                                                      \
    "  WHERE NOT v.k OR " row ".verified ORDER BY 1, 2, 3, 4, 5, 6"                                          \
    " ON CONFLICT (verified_only, grp, level, span, cell, key) DO UPDATE SET n = period_counts.n + "         \
    "excluded.n;"                                                                                            \
    " END IF;"

constexpr std::array kMigrations{
    Migration{1, "CREATE TABLE scores ("
                 "  id BIGSERIAL PRIMARY KEY,"
                 "  name TEXT NOT NULL,"
                 "  country TEXT NOT NULL,"
                 "  score BIGINT NOT NULL,"
                 "  submitted_at BIGINT NOT NULL,"
                 "  client_hash TEXT NOT NULL);"
                 // Table order; submitted_at rides along so that a period needs no row look-up.
                 "CREATE INDEX scores_by_rank ON scores (score DESC, id, submitted_at);"
                 "CREATE INDEX scores_by_country ON scores (country, score DESC, id, submitted_at);"
                 "CREATE INDEX scores_by_name ON scores (name, score DESC, id);"
                 "CREATE INDEX scores_by_time ON scores (submitted_at, score);"
                 // The duplicate check: one seek, however much one sender sends.
                 "CREATE INDEX scores_by_client ON scores (client_hash, score, name, country, submitted_at);"
                 "CREATE TABLE settings (key TEXT PRIMARY KEY, value TEXT NOT NULL);"},
    // The duplicate test looks for one sender's same result: with the sender's rows
    // indexed by time only, it read every row one address (a busy gateway, a
    // benchmark) had sent in the last ten minutes, for every new submission.
    Migration{2,
              "DROP INDEX scores_by_client;"
              "CREATE INDEX scores_by_sender ON scores (client_hash, name, country, score, submitted_at);"},
    // Replays: uploaded after a submission, played through by the server; a row whose
    // replay gave its score is verified and links to it.
    Migration{3,
              "ALTER TABLE scores ADD COLUMN verified BOOLEAN NOT NULL DEFAULT FALSE;"
              "ALTER TABLE scores ADD COLUMN replay_id BIGINT;"
              "CREATE INDEX scores_verified_by_rank ON scores (score DESC, id, submitted_at) WHERE verified;"
              "CREATE TABLE replays ("
              "  id BIGSERIAL PRIMARY KEY,"
              "  score_id BIGINT REFERENCES scores (id),"
              "  name TEXT NOT NULL,"
              "  country TEXT NOT NULL,"
              "  score BIGINT NOT NULL,"
              "  uploaded_at BIGINT NOT NULL,"
              "  client_hash TEXT NOT NULL,"
              "  bytes BYTEA,"
              "  state TEXT NOT NULL,"
              "  reason TEXT NOT NULL DEFAULT '');"
              "CREATE INDEX replays_by_score ON replays (score_id);"},
    // A restart takes up the replays left pending: found without reading every
    // replay ever judged.
    Migration{4, "CREATE INDEX replays_pending ON replays (id) WHERE state = 'pending';"},
    // Names and countries match whatever their letter case (ASCII letters, as
    // SQLite's NOCASE); the counts per score (RankCounts.h) that rank any row without
    // walking the rows ahead of it, kept by a trigger in the transaction of every
    // change to a row, filled from the rows at the first start after this. Written to
    // run again over what it made, should its record be lost.
    Migration{
        5,
        "DELETE FROM settings WHERE key = 'rank_counts';"
        "DROP INDEX IF EXISTS scores_by_country;"
        "CREATE INDEX scores_by_country ON scores (lower(country COLLATE \"C\"), score DESC, id, "
        "submitted_at);"
        "DROP INDEX IF EXISTS scores_by_name;"
        "CREATE INDEX scores_by_name ON scores (lower(name COLLATE \"C\"), score DESC, id);"
        "CREATE INDEX IF NOT EXISTS scores_verified_by_country ON scores (lower(country COLLATE \"C\"), "
        "score DESC, id,"
        "  submitted_at) WHERE verified;"
        "CREATE TABLE IF NOT EXISTS rank_levels (level INTEGER PRIMARY KEY, shift INTEGER NOT NULL);"
        "INSERT INTO rank_levels VALUES (0, 0), (1, 8), (2, 16), (3, 24) ON CONFLICT DO NOTHING;"
        "CREATE TABLE IF NOT EXISTS rank_counts ("
        "  verified_only BOOLEAN NOT NULL,"
        "  grp TEXT NOT NULL,"
        "  level INTEGER NOT NULL,"
        "  key BIGINT NOT NULL,"
        "  n BIGINT NOT NULL,"
        "  PRIMARY KEY (verified_only, grp, level, key));"
        "CREATE OR REPLACE FUNCTION scores_count_row(r scores, delta BIGINT) RETURNS void LANGUAGE sql AS $$"
        " INSERT INTO rank_counts (verified_only, grp, level, key, n)"
        "  SELECT v.k, g.k, l.level, r.score >> l.shift, delta FROM rank_levels AS l,"
        "   (VALUES (FALSE), (TRUE)) AS v(k), (VALUES (''), ('=' || lower(r.country COLLATE \"C\"))) AS g(k)"
        "  WHERE NOT v.k OR r.verified ORDER BY 1, 2, 3, 4"
        " ON CONFLICT (verified_only, grp, level, key) DO UPDATE SET n = rank_counts.n + excluded.n $$;"
        "CREATE OR REPLACE FUNCTION scores_counted() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN"
        " IF TG_OP <> 'INSERT' THEN PERFORM scores_count_row(OLD, -1); END IF;"
        " IF TG_OP <> 'DELETE' THEN PERFORM scores_count_row(NEW, 1); END IF;"
        " RETURN NULL; END $$;"
        "DROP TRIGGER IF EXISTS scores_counted ON scores;"
        "CREATE TRIGGER scores_counted AFTER INSERT OR DELETE OR UPDATE OF score, country, verified ON scores"
        " FOR EACH ROW EXECUTE FUNCTION scores_counted();"},
    // A failed replay keeps its verdict, not its file; a verified one keeps the
    // fingerprint of its race, which verifies no other replay.
    Migration{6, "UPDATE replays SET bytes = NULL WHERE state = 'failed';"
                 "ALTER TABLE replays ADD COLUMN race TEXT;"
                 "CREATE UNIQUE INDEX replays_verified_race ON replays (race) WHERE state = 'verified';"},
    // Checking processes take pending replays from the database for a lease.
    Migration{7, "ALTER TABLE replays ADD COLUMN lease_until BIGINT;"
                 "ALTER TABLE replays ADD COLUMN checker TEXT NOT NULL DEFAULT '';"},
    // Periods ("Today", "This week") at any depth: the counts per cell of time of
    // PeriodCounts.h, kept by a trigger as the counts above, for rows sent from the
    // horizon on. Until they are built from the rows at the next start the horizon is
    // past every row and nothing is counted.
    Migration{
        8, "DELETE FROM settings WHERE key = 'period_counts';"
           "CREATE TABLE IF NOT EXISTS period_horizon (id INTEGER PRIMARY KEY CHECK (id = 1), horizon BIGINT "
           "NOT NULL);"
           "INSERT INTO period_horizon VALUES (1, 9223372036854775807)"
           " ON CONFLICT (id) DO UPDATE SET horizon = excluded.horizon;"
           "CREATE TABLE IF NOT EXISTS period_counts ("
           "  verified_only BOOLEAN NOT NULL,"
           "  grp TEXT NOT NULL,"
           "  level INTEGER NOT NULL,"
           "  span INTEGER NOT NULL,"
           "  cell BIGINT NOT NULL,"
           "  key BIGINT NOT NULL,"
           "  n BIGINT NOT NULL,"
           "  PRIMARY KEY (verified_only, grp, level, span, cell, key));"
           // In PL/pgSQL, whose plans are kept for the connection; the levels and spans
           // written out, so that nothing is estimated from tables without statistics.
           "CREATE OR REPLACE FUNCTION scores_period_counted() RETURNS trigger LANGUAGE plpgsql AS $$ "
           "BEGIN" VORLANE_PG_COUNT_PERIOD("OLD", "-1", "'INSERT'") VORLANE_PG_COUNT_PERIOD(
               "NEW", "1",
               "'DELETE'") " RETURN NULL; END $$;"
                           "DROP TRIGGER IF EXISTS scores_period_counted ON scores;"
                           "CREATE TRIGGER scores_period_counted AFTER INSERT OR DELETE OR UPDATE OF score, "
                           "country, verified,"
                           " submitted_at ON scores FOR EACH ROW EXECUTE FUNCTION scores_period_counted();"},
    // The counts of a row in PL/pgSQL, two plain statements: a function in SQL is
    // planned afresh at every call, some 0.8 ms a row (a batch of 48 submissions
    // spent 40 ms in it; now 5 ms). The same counts, taken in the same order.
    Migration{9, "CREATE OR REPLACE FUNCTION scores_count_row(r scores, delta BIGINT) RETURNS void LANGUAGE "
                 "plpgsql AS $$"
                 " DECLARE g TEXT := '=' || lower(r.country COLLATE \"C\"); BEGIN"
                 " INSERT INTO rank_counts AS c (verified_only, grp, level, key, n) VALUES"
                 "  (FALSE, '', 0, r.score, delta), (FALSE, '', 1, r.score >> 8, delta),"
                 "  (FALSE, '', 2, r.score >> 16, delta), (FALSE, '', 3, r.score >> 24, delta),"
                 "  (FALSE, g, 0, r.score, delta), (FALSE, g, 1, r.score >> 8, delta),"
                 "  (FALSE, g, 2, r.score >> 16, delta), (FALSE, g, 3, r.score >> 24, delta)"
                 " ON CONFLICT (verified_only, grp, level, key) DO UPDATE SET n = c.n + excluded.n;"
                 " IF r.verified THEN"
                 " INSERT INTO rank_counts AS c (verified_only, grp, level, key, n) VALUES"
                 "  (TRUE, '', 0, r.score, delta), (TRUE, '', 1, r.score >> 8, delta),"
                 "  (TRUE, '', 2, r.score >> 16, delta), (TRUE, '', 3, r.score >> 24, delta),"
                 "  (TRUE, g, 0, r.score, delta), (TRUE, g, 1, r.score >> 8, delta),"
                 "  (TRUE, g, 2, r.score >> 16, delta), (TRUE, g, 3, r.score >> 24, delta)"
                 " ON CONFLICT (verified_only, grp, level, key) DO UPDATE SET n = c.n + excluded.n;"
                 " END IF; END $$;"},
};
static_assert(kRankLevels == 4 && kRankLevelBits == 8, "scores_count_row writes four levels of 8 bits");
// A database takes the migrations above its version in this order.
static_assert(std::ranges::is_sorted(kMigrations, {}, &Migration::version));

#undef VORLANE_PG_COUNT_PERIOD

// Fills the period counts from the rows of the last 31 days and more (from the start
// of that day: the horizon), which every period of the table starts after: the
// 5-minute cells of level 1 in one pass over the rows, every other span and level
// summed from them.
constexpr const char* kBuildPeriodCountsSql =
    "DELETE FROM period_counts;"
    "UPDATE period_horizon SET horizon = (extract(epoch from now())::bigint / 86400 - 31) * 86400;"
    "INSERT INTO period_counts (verified_only, grp, level, span, cell, key, n)"
    " SELECT FALSE, '', 1, 0, submitted_at / 300, score >> 8, count(*) FROM scores"
    "  WHERE submitted_at >= (SELECT horizon FROM period_horizon) GROUP BY 5, 6;"
    "INSERT INTO period_counts (verified_only, grp, level, span, cell, key, n)"
    " SELECT FALSE, '=' || lower(country COLLATE \"C\"), 1, 0, submitted_at / 300, score >> 8, count(*)"
    "  FROM scores WHERE submitted_at >= (SELECT horizon FROM period_horizon) GROUP BY 2, 5, 6;"
    "INSERT INTO period_counts (verified_only, grp, level, span, cell, key, n)"
    " SELECT TRUE, '', 1, 0, submitted_at / 300, score >> 8, count(*) FROM scores"
    "  WHERE verified AND submitted_at >= (SELECT horizon FROM period_horizon) GROUP BY 5, 6;"
    "INSERT INTO period_counts (verified_only, grp, level, span, cell, key, n)"
    " SELECT TRUE, '=' || lower(country COLLATE \"C\"), 1, 0, submitted_at / 300, score >> 8, count(*)"
    "  FROM scores WHERE verified AND submitted_at >= (SELECT horizon FROM period_horizon) GROUP BY 2, 5, 6;"
    "INSERT INTO period_counts (verified_only, grp, level, span, cell, key, n)"
    " SELECT verified_only, grp, 1, 1, cell / 12, key, sum(n) FROM period_counts WHERE level = 1 AND span = 0"
    "  GROUP BY 1, 2, 5, 6;"
    "INSERT INTO period_counts (verified_only, grp, level, span, cell, key, n)"
    " SELECT verified_only, grp, 1, 2, cell / 24, key, sum(n) FROM period_counts WHERE level = 1 AND span = 1"
    "  GROUP BY 1, 2, 5, 6;"
    "INSERT INTO period_counts (verified_only, grp, level, span, cell, key, n)"
    " SELECT verified_only, grp, 2, span, cell, key >> 8, sum(n) FROM period_counts WHERE level = 1"
    "  GROUP BY 1, 2, 4, 5, 6;"
    "INSERT INTO period_counts (verified_only, grp, level, span, cell, key, n)"
    " SELECT verified_only, grp, 3, span, cell, key >> 8, sum(n) FROM period_counts WHERE level = 2"
    "  GROUP BY 1, 2, 4, 5, 6;"
    "INSERT INTO settings (key, value) VALUES ('period_counts', 'built')"
    " ON CONFLICT (key) DO UPDATE SET value = excluded.value;"
    "ANALYZE period_counts;";

// Fills the counts from the rows: the counts per score, then each level above
// summed from the one below.
constexpr const char* kBuildRankCountsSql =
    "DELETE FROM rank_counts;"
    "INSERT INTO rank_counts (verified_only, grp, level, key, n)"
    " SELECT FALSE, '', 0, score, count(*) FROM scores GROUP BY score;"
    "INSERT INTO rank_counts (verified_only, grp, level, key, n)"
    " SELECT FALSE, '=' || lower(country COLLATE \"C\"), 0, score, count(*) FROM scores GROUP BY 2, 4;"
    "INSERT INTO rank_counts (verified_only, grp, level, key, n)"
    " SELECT TRUE, '', 0, score, count(*) FROM scores WHERE verified GROUP BY score;"
    "INSERT INTO rank_counts (verified_only, grp, level, key, n)"
    " SELECT TRUE, '=' || lower(country COLLATE \"C\"), 0, score, count(*) FROM scores WHERE verified"
    "  GROUP BY 2, 4;"
    "INSERT INTO rank_counts (verified_only, grp, level, key, n)"
    " SELECT verified_only, grp, 1, key >> 8, sum(n) FROM rank_counts WHERE level = 0 GROUP BY 1, 2, 4;"
    "INSERT INTO rank_counts (verified_only, grp, level, key, n)"
    " SELECT verified_only, grp, 2, key >> 8, sum(n) FROM rank_counts WHERE level = 1 GROUP BY 1, 2, 4;"
    "INSERT INTO rank_counts (verified_only, grp, level, key, n)"
    " SELECT verified_only, grp, 3, key >> 8, sum(n) FROM rank_counts WHERE level = 2 GROUP BY 1, 2, 4;"
    "INSERT INTO settings (key, value) VALUES ('rank_counts', 'built')"
    " ON CONFLICT (key) DO UPDATE SET value = excluded.value;";

// Every transaction that changes rows takes this first: the counts' rows are
// shared by all of them, and one at a time they never wait on each other in a
// circle (several servers on one database).
constexpr int64_t kScoresWriteLockKey = 0x566f726c616e66;

// Held while the schema is brought up to date: "Vorlane" in ASCII.
constexpr int64_t kMigrationLockKey = 0x566f726c616e65;

// Which filter a query carries: bit 0 a period (submitted_at), bit 1 a country,
// bit 2 verified rows only.
constexpr size_t kFilterKinds = 8;

size_t FilterKind(const ScoreFilter& filter) {
    return (filter.since > 0 ? 1u : 0u) | (filter.country.empty() ? 0u : 2u) |
           (filter.verifiedOnly ? 4u : 0u);
}

// The filter's condition with its parameters numbered from $1; the query's own
// parameters follow it.
std::string FilterSql(size_t kind) {
    const std::string verified = (kind & 4u) != 0 ? " AND verified" : "";
    switch (kind & 3u) {
    case 1:
        return "submitted_at >= $1" + verified;
    case 2:
        return "lower(country COLLATE \"C\") = lower($1 COLLATE \"C\")" + verified;
    case 3:
        return "lower(country COLLATE \"C\") = lower($1 COLLATE \"C\") AND submitted_at >= $2" + verified;
    default:
        return "TRUE" + verified;
    }
}

int FilterParameterCount(size_t kind) {
    return static_cast<int>((kind & 1u) + ((kind >> 1) & 1u));
}

// PostgreSQL's text holds valid UTF-8 without NUL characters, and refuses the
// statement otherwise. The server only ever stores such text; anything else (a row
// put in by hand, a query with broken bytes) has each byte that is not part of a
// valid character, and each NUL, replaced by U+FFFD.
std::string PgText(std::string_view text) {
    constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
    std::string clean;
    clean.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const auto byte = [&](size_t at) { return static_cast<unsigned char>(text[at]); };
        const unsigned char lead = byte(i);
        // The character's length from its lead byte, and its smallest code (a
        // longer form of a smaller code is not valid).
        size_t length = 0;
        uint32_t lowest = 0;
        if (lead >= 0x01 && lead < 0x80) {
            length = 1;
        } else if (lead >= 0xC2 && lead < 0xE0) {
            length = 2;
            lowest = 0x80;
        } else if (lead >= 0xE0 && lead < 0xF0) {
            length = 3;
            lowest = 0x800;
        } else if (lead >= 0xF0 && lead < 0xF5) {
            length = 4;
            lowest = 0x10000;
        }
        bool valid = length > 0 && i + length <= text.size();
        uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t k = 1; valid && k < length; ++k) {
            valid = (byte(i + k) & 0xC0) == 0x80;
            code = (code << 6) | (byte(i + k) & 0x3F);
        }
        valid = valid && code >= lowest && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
        if (valid) {
            clean.append(text.substr(i, length));
            i += length;
        } else {
            clean.append(kReplacement);
            ++i;
        }
    }
    return clean;
}

// One accepted result as the batch statements take it (texts through PgText).
struct BatchEntry {
    std::string name;
    std::string country;
    int64_t score = 0;
    int64_t submittedAt = 0;
    std::string clientHash;

    bool SameResult(const BatchEntry& other) const {
        return score == other.score && clientHash == other.clientHash && name == other.name &&
               country == other.country;
    }
};

// A JSON string of valid UTF-8 without NUL (PgText's): quotes, backslashes and
// control characters escaped, every other byte as it is.
void AppendJsonText(std::string& json, std::string_view text) {
    constexpr std::string_view kHex = "0123456789abcdef";
    json += '"';
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (byte < 0x20) {
            json += "\\u00";
            json += kHex[byte >> 4];
            json += kHex[byte & 0xF];
        } else {
            json += c;
        }
    }
    json += '"';
}

// The entries (those `keep` marks, when given) as a JSON array of objects with their
// place in the batch `i`, for json_to_recordset.
std::string BatchJson(const std::vector<BatchEntry>& entries, const std::vector<bool>* keep) {
    std::string json = "[";
    for (size_t i = 0; i < entries.size(); ++i) {
        if (keep && !(*keep)[i]) continue;
        const BatchEntry& entry = entries[i];
        if (json.size() > 1) json += ',';
        json += "{\"i\":" + std::to_string(i) + ",\"name\":";
        AppendJsonText(json, entry.name);
        json += ",\"country\":";
        AppendJsonText(json, entry.country);
        json += ",\"score\":" + std::to_string(entry.score) + ",\"at\":" + std::to_string(entry.submittedAt) +
                ",\"client\":";
        AppendJsonText(json, entry.clientHash);
        json += '}';
    }
    json += ']';
    return json;
}

// The filter's values in the order FilterSql numbers them.
std::vector<std::string> FilterValues(const ScoreFilter& filter) {
    std::vector<std::string> values;
    if (!filter.country.empty()) values.push_back(PgText(filter.country));
    if (filter.since > 0) values.push_back(std::to_string(filter.since));
    return values;
}

std::string Param(size_t kind, int n) {
    std::string placeholder = std::to_string(FilterParameterCount(kind) + n);
    placeholder.insert(placeholder.begin(), '$');
    return placeholder;
}

std::string StatementName(const char* query, size_t kind) {
    return std::string(query) + "_" + std::to_string(kind);
}

// A page of a table without a period in one statement (one round trip, one
// snapshot): the counts' levels walked down from the top as FindScoreAtOffset does
// (RankCounts.h) to the score at rank offset+1 and the rows above that score, then
// the rows of that score from there in the order they came, then the lower scores.
// Parameters after the filter's: verified only, the counts' group, offset, limit.
std::string PageAtSql(size_t kind, const std::string& columns, const std::string& where) {
    const std::string verified = Param(kind, 1);
    const std::string group = Param(kind, 2);
    const std::string offset = Param(kind, 3);
    const std::string limit = Param(kind, 4);
    std::string sql = "WITH ";
    for (int level = kRankLevels - 1; level >= 0; --level) {
        const std::string l = std::to_string(level);
        const std::string up = std::to_string(level + 1);
        const bool top = level == kRankLevels - 1;
        // The counts under the key found one level up, each with the rows down to its end.
        sql += "c" + l + " AS (SELECT c.key, c.n, " + (top ? std::string("0") : "p" + up + ".above") +
               " + sum(c.n) OVER (ORDER BY c.key DESC) AS through FROM " + (top ? "" : "p" + up + ", ") +
               "rank_counts AS c WHERE c.verified_only = " + verified + " AND c.grp = " + group +
               " AND c.level = " + l + " AND c.n > 0" +
               (top ? std::string()
                    : " AND c.key BETWEEN p" + up + ".key * 256 AND p" + up + ".key * 256 + 255") +
               "), ";
        // The first of them whose rows reach past the offset.
        sql += "p" + l + " AS (SELECT key, through - n AS above FROM c" + l + " WHERE through > " + offset +
               " ORDER BY key DESC LIMIT 1), ";
    }
    sql += "tied AS (" + columns + "score = (SELECT key FROM p0) AND " + where + " ORDER BY id LIMIT " +
           limit + " OFFSET (SELECT " + offset + " - above FROM p0)) ";
    sql += "SELECT * FROM tied UNION ALL (" + columns + "score < (SELECT key FROM p0) AND " + where +
           " ORDER BY score DESC, id LIMIT greatest(0, " + limit + " - (SELECT count(*) FROM tied)))";
    return sql;
}

// A player's best row within a filter without a period, with the rows before it, in
// one statement: the rows of its score sent before it, and the counts above its
// score (RankCounts.h's RangesAbove, one range a level). Parameters after the
// filter's: the name, verified only, the counts' group.
std::string BestOfRankedSql(size_t kind, const std::string& where) {
    std::string sql = "WITH b AS (SELECT id, name, country, score, submitted_at, verified, "
                      "coalesce(replay_id, 0) AS replay FROM scores WHERE " +
                      where + " AND lower(name COLLATE \"C\") = lower(" + Param(kind, 1) +
                      " COLLATE \"C\") ORDER BY score DESC, id LIMIT 1) "
                      "SELECT b.*, (SELECT count(*) FROM scores WHERE score = b.score AND id < b.id AND " +
                      where + ")";
    for (int level = 0; level < kRankLevels; ++level) {
        const std::string key = "(b.score >> " + std::to_string(level * kRankLevelBits) + ")";
        sql += " + (SELECT coalesce(sum(n), 0)::bigint FROM rank_counts WHERE verified_only = " +
               Param(kind, 2) + " AND grp = " + Param(kind, 3) + " AND level = " + std::to_string(level) +
               " AND key > " + key +
               (level == kRankLevels - 1 ? std::string() : " AND key <= (" + key + " | 255)") + ")";
    }
    return sql + " FROM b";
}

// Every statement a connection uses, prepared by name.
void PrepareStatements(pqxx::connection& db) {
    for (size_t kind = 0; kind < kFilterKinds; ++kind) {
        const std::string where = FilterSql(kind);
        // The offset's rows are skipped in the index; only the page's rows are read.
        db.prepare(StatementName("page", kind),
                   "SELECT id, name, country, score, submitted_at, verified, coalesce(replay_id, 0) FROM "
                   "scores WHERE id IN (SELECT id FROM scores WHERE " +
                       where + " ORDER BY score DESC, id LIMIT " + Param(kind, 1) + " OFFSET " +
                       Param(kind, 2) + ") ORDER BY score DESC, id");
        db.prepare(StatementName("best_of", kind), "SELECT id, name, country, score, submitted_at, verified, "
                                                   "coalesce(replay_id, 0) FROM scores WHERE " +
                                                       where + " AND lower(name COLLATE \"C\") = lower(" +
                                                       Param(kind, 1) + " COLLATE \"C\")" +
                                                       " ORDER BY score DESC, id LIMIT 1");
        // Rows before a row: higher scores, then equal scores sent earlier; two
        // counts, so that each is one range of an index.
        db.prepare(StatementName("rows_before", kind),
                   "SELECT (SELECT count(*) FROM scores WHERE score > " + Param(kind, 1) + " AND " + where +
                       ") + (SELECT count(*) FROM scores WHERE score = " + Param(kind, 1) + " AND id < " +
                       Param(kind, 2) + " AND " + where + ")");
        db.prepare(StatementName("rows_at_least", kind),
                   "SELECT count(*) FROM scores WHERE score >= " + Param(kind, 1) + " AND " + where);
        // Without a period: the rows of one score from a point in their order, the
        // lower scores, and the rows of a score before a row (RankCounts.h).
        const std::string columns = "SELECT id, name, country, score, submitted_at, verified, "
                                    "coalesce(replay_id, 0) FROM scores WHERE ";
        db.prepare(StatementName("tied_rows", kind), columns + "score = " + Param(kind, 1) + " AND " + where +
                                                         " ORDER BY id LIMIT " + Param(kind, 2) + " OFFSET " +
                                                         Param(kind, 3));
        db.prepare(StatementName("lower_rows", kind), columns + "score < " + Param(kind, 1) + " AND " +
                                                          where + " ORDER BY score DESC, id LIMIT " +
                                                          Param(kind, 2));
        db.prepare(StatementName("tied_before", kind),
                   "SELECT count(*) FROM scores WHERE score = " + Param(kind, 1) + " AND id < " +
                       Param(kind, 2) + " AND " + where);
        if ((kind & 1u) == 0) {
            db.prepare(StatementName("page_at", kind), PageAtSql(kind, columns, where));
            db.prepare(StatementName("best_of_ranked", kind), BestOfRankedSql(kind, where));
            continue;
        }
        // Periods (PeriodCounts.h): the rows of each score of a range, and the scores
        // of the rows sent before a moment (with the period's start, a few minutes).
        db.prepare(StatementName("period_scores", kind),
                   "SELECT score, count(*) FROM scores WHERE score BETWEEN " + Param(kind, 1) + " AND " +
                       Param(kind, 2) + " AND " + where + " GROUP BY score ORDER BY score DESC");
        db.prepare(StatementName("loose_scores", kind),
                   "SELECT score FROM scores WHERE submitted_at < " + Param(kind, 1) + " AND " + where);
    }
    // The rows above a score: the sums of RankCounts.h's RangesAbove, one range of
    // each level ($3 to $10, low and high), in one statement: one round trip, one
    // snapshot, and each sum one range of the primary key.
    std::string above = "SELECT 0::bigint";
    for (int level = 0; level < kRankLevels; ++level)
        above +=
            " + (SELECT coalesce(sum(n), 0)::bigint FROM rank_counts WHERE verified_only = $1 AND grp = $2"
            " AND level = " +
            std::to_string(level) + " AND key BETWEEN $" + std::to_string(3 + 2 * level) + " AND $" +
            std::to_string(4 + 2 * level) + ")";
    db.prepare("count_above", above);
    // A period's counts of one level: the cells of each span ($6 to $11, first and
    // last), each one range of the primary key, summed per key.
    db.prepare(
        "period_cells",
        "SELECT c.key, sum(c.n)::bigint FROM (SELECT 0 AS span, generate_series($6::bigint, $7::bigint)"
        " AS cell UNION ALL SELECT 1, generate_series($8::bigint, $9::bigint) UNION ALL"
        " SELECT 2, generate_series($10::bigint, $11::bigint)) AS t JOIN period_counts AS c"
        " ON c.verified_only = $1 AND c.grp = $2 AND c.level = $3 AND c.span = t.span AND c.cell = t.cell"
        " AND c.key BETWEEN $4 AND $5 GROUP BY c.key HAVING sum(c.n) <> 0 ORDER BY c.key DESC");
    db.prepare("period_state",
               "SELECT (SELECT horizon FROM period_horizon), (SELECT max(cell) FROM period_counts WHERE"
               " verified_only = $1 AND grp = $2 AND level = 3 AND span = 2)");
    db.prepare("rank_counts_built", "SELECT count(*) FROM settings WHERE key = 'rank_counts'");
    db.prepare("period_counts_built", "SELECT count(*) FROM settings WHERE key = 'period_counts'");
    db.prepare("lock_scores_writes", "SELECT pg_advisory_xact_lock($1)");
    // A batch goes in with two statements whatever its size (a round trip a row
    // before): the entries as one JSON array, in the order they came.
    db.prepare("batch_duplicates",
               "SELECT b.i FROM json_to_recordset($1::json) AS b(i integer, name text, country text,"
               " score bigint, at bigint, client text) WHERE EXISTS (SELECT 1 FROM scores WHERE"
               " client_hash = b.client AND submitted_at > b.at - " +
                   std::to_string(kDuplicateWindowSeconds) +
                   " AND score = b.score AND name = b.name AND country = b.country)");
    db.prepare("insert_batch",
               "INSERT INTO scores (name, country, score, submitted_at, client_hash)"
               " SELECT name, country, score, at, client FROM (SELECT * FROM json_to_recordset($1::json)"
               " AS b(i integer, name text, country text, score bigint, at bigint, client text) ORDER BY i)"
               " AS in_order");
    db.prepare("match_replay",
               "SELECT id FROM scores WHERE client_hash = $1 AND name = $2 AND country = $3 AND score = $4"
               " AND NOT verified ORDER BY submitted_at DESC, id DESC LIMIT 1 FOR UPDATE");
    db.prepare(
        "insert_replay",
        "INSERT INTO replays (score_id, name, country, score, uploaded_at, client_hash, bytes, state, reason)"
        " VALUES (nullif($1, 0), $2, $3, $4, $5, $6, $7, $8, $9) RETURNING id");
    db.prepare("replay_verdict", "UPDATE replays SET state = $2, reason = $3, race = nullif($4, ''),"
                                 " bytes = CASE WHEN $2 = 'verified' THEN bytes END"
                                 " WHERE id = $1 AND state = 'pending'");
    db.prepare("same_race",
               "SELECT id FROM replays WHERE race = $1 AND state = 'verified' AND id <> $2 LIMIT 1");
    db.prepare(
        "claim_replay",
        "UPDATE replays SET lease_until = extract(epoch from clock_timestamp())::bigint + $1, checker = $2"
        " WHERE id = (SELECT id FROM replays WHERE state = 'pending' AND (lease_until IS NULL OR"
        " lease_until < extract(epoch from clock_timestamp())::bigint) ORDER BY id LIMIT 1"
        " FOR UPDATE SKIP LOCKED) RETURNING id, score, bytes, name, country");
    db.prepare("row_uploads", "SELECT count(*) FROM replays WHERE score_id = $1");
    db.prepare("pending_bytes",
               "SELECT coalesce(sum(octet_length(bytes)), 0)::bigint FROM replays WHERE state = 'pending'");
    db.prepare("mark_verified",
               "UPDATE scores SET verified = TRUE, replay_id = $1"
               " WHERE id = (SELECT score_id FROM replays WHERE id = $1 AND state = 'verified')"
               " AND NOT verified");
    db.prepare(
        "find_replay",
        "SELECT id, coalesce(score_id, 0), state, reason, score, uploaded_at FROM replays WHERE id = $1");
    db.prepare("pending_replays",
               "SELECT id, score, bytes, name, country FROM replays WHERE state = 'pending'"
               " AND id > $1 AND id <= $2 ORDER BY id LIMIT $3");
    db.prepare("latest_replay", "SELECT coalesce(max(id), 0) FROM replays");
    db.prepare("verified_replay_file", "SELECT bytes FROM replays WHERE id = $1 AND state = 'verified'");
    db.prepare("make_salt",
               "INSERT INTO settings (key, value) VALUES ('client_salt', $1) ON CONFLICT (key) DO NOTHING");
    db.prepare("read_salt", "SELECT value FROM settings WHERE key = 'client_salt'");
    db.prepare("lock_schema", "SELECT pg_advisory_lock($1)");
    db.prepare("unlock_schema", "SELECT pg_advisory_unlock($1)");
    db.prepare("schema_version", "SELECT coalesce(max(version), 0) FROM schema_migrations");
    db.prepare(
        "record_migration",
        "INSERT INTO schema_migrations (version, applied_at) VALUES ($1, extract(epoch from now())::bigint)");
}

// libpq's messages run over several lines; the server's messages are one.
std::string OneLine(std::string_view text) {
    std::string line;
    bool space = false;
    for (char c : text) {
        if (c == '\n' || c == '\r' || c == '\t' || c == ' ') {
            space = !line.empty();
            continue;
        }
        if (space) line += ' ';
        space = false;
        line += c;
    }
    return line;
}

RankedScore ReadRow(const pqxx::row& row, int64_t rank) {
    return RankedScore{rank,
                       row[0].as<int64_t>(),
                       row[1].as<std::string>(),
                       row[2].as<std::string>(),
                       row[3].as<int64_t>(),
                       row[4].as<int64_t>(),
                       row[5].as<bool>(),
                       row[6].as<int64_t>()};
}

// The address with a libpq parameter added, unless the address sets it itself.
std::string WithParameter(const std::string& url, const std::string& name, const std::string& value) {
    if (url.find(name + "=") != std::string::npos) return url;
    return url + (url.find('?') == std::string::npos ? "?" : "&") + name + "=" + value;
}

// A connection attempt gives up after a few seconds instead of the system's minutes.
// With more than one host in the address (a primary and its replicas), the writer
// connects to the one that takes writes, the readers to a replica when one is up;
// with one host there is nothing to choose, and no connection asks the server which
// kind it is.
std::string ConnectionUrl(const std::string& url, const char* sessionKind) {
    const std::string timed = WithParameter(url, "connect_timeout", "5");
    if (!PgScoreStore::NamesSeveralHosts(url)) return timed;
    return WithParameter(timed, "target_session_attrs", sessionKind);
}

void Migrate(pqxx::connection& db) {
    {
        pqxx::nontransaction lock(db);
        lock.exec_prepared("lock_schema", kMigrationLockKey);
    }
    try {
        {
            pqxx::work create(db);
            create.exec("CREATE TABLE IF NOT EXISTS schema_migrations (version BIGINT PRIMARY KEY, "
                        "applied_at BIGINT NOT NULL)");
            create.commit();
        }
        int64_t have = 0;
        {
            pqxx::nontransaction read(db);
            have = read.exec_prepared1("schema_version")[0].as<int64_t>();
        }
        if (have > kMigrations.back().version)
            throw StoreError("database schema version " + std::to_string(have) +
                             " is newer than this program (" + std::to_string(kMigrations.back().version) +
                             ")");
        for (const Migration& migration : kMigrations) {
            if (migration.version <= have) continue;
            pqxx::work step(db);
            step.exec(migration.sql);
            step.exec_prepared("record_migration", migration.version);
            step.commit();
        }
        pqxx::work counts(db);
        if (counts.exec_prepared1("rank_counts_built")[0].as<int64_t>() == 0) {
            counts.exec_prepared("lock_scores_writes", kScoresWriteLockKey);
            counts.exec(kBuildRankCountsSql);
        }
        if (counts.exec_prepared1("period_counts_built")[0].as<int64_t>() == 0) {
            counts.exec_prepared("lock_scores_writes", kScoresWriteLockKey);
            counts.exec(kBuildPeriodCountsSql);
        }
        counts.commit();
    } catch (...) {
        pqxx::nontransaction unlock(db);
        unlock.exec_prepared("unlock_schema", kMigrationLockKey);
        throw;
    }
    pqxx::nontransaction unlock(db);
    unlock.exec_prepared("unlock_schema", kMigrationLockKey);
}

std::string LoadOrMakeSalt(pqxx::connection& db) {
    pqxx::work salt(db);
    salt.exec_prepared("make_salt", NewClientSalt());
    const pqxx::result value = salt.exec_prepared("read_salt");
    if (value.empty()) throw StoreError("the database lost its client salt");
    std::string text = value[0][0].as<std::string>();
    salt.commit();
    return text;
}

} // namespace

// A read connection taken from the pool for one query, given back after it unless
// it broke on the way.
class PgScoreStore::ReadLease {
  public:
    explicit ReadLease(PgScoreStore& store) : store_(store), db_(store.TakeReader()) {}
    ~ReadLease() {
        if (db_ && !db_->is_open()) db_.reset();
        store_.GiveBackReader(std::move(db_));
    }
    ReadLease(const ReadLease&) = delete;
    ReadLease& operator=(const ReadLease&) = delete;

    // Runs `query` with a transaction of its own; a database failure becomes a
    // StoreError, and a broken connection is dropped instead of pooled.
    template <class Query> auto Run(Query&& query) {
        try {
            pqxx::nontransaction read(*db_);
            return query(read);
        } catch (const pqxx::broken_connection& e) {
            db_.reset();
            throw StoreError("lost the connection to " + store_.shownUrl_ + ": " + OneLine(e.what()));
        } catch (const pqxx::failure& e) {
            throw StoreError("PostgreSQL refused a query: " + OneLine(e.what()));
        }
    }

    // The same with every statement of `query` reading one snapshot.
    template <class Query> auto RunSnapshot(Query&& query) {
        try {
            pqxx::transaction<pqxx::repeatable_read, pqxx::read_only> read(*db_);
            auto result = query(read);
            read.commit();
            return result;
        } catch (const pqxx::broken_connection& e) {
            db_.reset();
            throw StoreError("lost the connection to " + store_.shownUrl_ + ": " + OneLine(e.what()));
        } catch (const pqxx::failure& e) {
            throw StoreError("PostgreSQL refused a query: " + OneLine(e.what()));
        }
    }

  private:
    PgScoreStore& store_;
    std::unique_ptr<pqxx::connection> db_;
};

namespace {

// The rows with a score above `score` in the filter's (period-less) group.
int64_t RowsAbove(pqxx::transaction_base& read, const ScoreFilter& filter, int64_t score) {
    const std::array<KeyRange, kRankLevels> ranges = RangesAbove(score);
    static_assert(kRankLevels == 4, "count_above sums four ranges");
    return read
        .exec_prepared1("count_above", filter.verifiedOnly, PgText(RankGroup(filter)), ranges[0].low,
                        ranges[0].high, ranges[1].low, ranges[1].high, ranges[2].low, ranges[2].high,
                        ranges[3].low, ranges[3].high)[0]
        .as<int64_t>();
}

// A period's counts (PeriodCounts.h) read in one transaction: nothing when the
// period starts before the counts' horizon, or runs too far ahead.
class PeriodReader {
  public:
    static std::unique_ptr<PeriodReader> Open(pqxx::transaction_base& read, const ScoreFilter& filter) {
        const std::string group = PgText(RankGroup(filter));
        const pqxx::row state = read.exec_prepared1("period_state", filter.verifiedOnly, group);
        if (filter.since < state[0].as<int64_t>()) return nullptr;
        const int64_t lastDay = state[1].is_null() ? CellOf(filter.since, 86400) - 1 : state[1].as<int64_t>();
        PeriodCells cells = CellsSince(filter.since, lastDay);
        if (CellCount(cells) > kMostPeriodDays + 40) return nullptr;
        return std::unique_ptr<PeriodReader>(new PeriodReader(read, filter, group, std::move(cells)));
    }
    PeriodReader(const PeriodReader&) = delete;
    PeriodReader& operator=(const PeriodReader&) = delete;

    // The counts of the period, for FindScoreAtOffset and RowsAboveThrough.
    const ListCounts& List() const { return list_; }

  private:
    PeriodReader(pqxx::transaction_base& read, const ScoreFilter& filter, std::string group,
                 PeriodCells cells)
        : read_(read), filter_(filter), group_(std::move(group)), cells_(std::move(cells)),
          filterValues_(FilterValues(filter)) {
        const size_t kind = FilterKind(filter);
        if (cells_.looseTo > cells_.looseFrom)
            for (const pqxx::row& row :
                 read_.exec_prepared(StatementName("loose_scores", kind),
                                     pqxx::prepare::make_dynamic_params(filterValues_), cells_.looseTo))
                looseScores_.push_back(row[0].as<int64_t>());
        list_ = PeriodCountList(
            looseScores_,
            [this, kind](const KeyRange& range) {
                std::vector<std::pair<int64_t, int64_t>> counts;
                for (const pqxx::row& row : read_.exec_prepared(
                         StatementName("period_scores", kind),
                         pqxx::prepare::make_dynamic_params(filterValues_), range.low, range.high))
                    counts.emplace_back(row[0].as<int64_t>(), row[1].as<int64_t>());
                return counts;
            },
            [this](const KeyRange& range) {
                std::vector<std::pair<int64_t, int64_t>> counts;
                const auto& c = cells_.cells;
                for (const pqxx::row& row : read_.exec_prepared(
                         "period_cells", filter_.verifiedOnly, group_, range.level, range.low, range.high,
                         c[0].first, c[0].second, c[1].first, c[1].second, c[2].first, c[2].second))
                    counts.emplace_back(row[0].as<int64_t>(), row[1].as<int64_t>());
                return counts;
            });
    }

    pqxx::transaction_base& read_;
    const ScoreFilter& filter_;
    std::string group_;
    PeriodCells cells_;
    std::vector<std::string> filterValues_;
    std::vector<int64_t> looseScores_;
    ListCounts list_;
};

} // namespace

int64_t PgScoreStore::CurrentSchemaVersion() {
    return kMigrations.back().version;
}

std::string PgScoreStore::RedactedUrl(const std::string& url) {
    const size_t scheme = url.find("://");
    if (scheme == std::string::npos) return url;
    const size_t authorityStart = scheme + 3;
    const size_t at = url.find('@', authorityStart);
    const size_t slash = url.find('/', authorityStart);
    if (at == std::string::npos || (slash != std::string::npos && slash < at)) return url;
    const size_t colon = url.find(':', authorityStart);
    if (colon == std::string::npos || colon > at) return url;
    return url.substr(0, colon + 1) + "***" + url.substr(at);
}

bool PgScoreStore::NamesSeveralHosts(const std::string& url) {
    // postgresql://[user[:password]@]host[:port][,host[:port]...][/db][?params]
    const size_t scheme = url.find("://");
    if (scheme != std::string::npos) {
        const size_t start = scheme + 3;
        size_t end = url.find_first_of("/?", start);
        if (end == std::string::npos) end = url.size();
        const size_t at = url.rfind('@', end);
        const size_t hosts = at != std::string::npos && at >= start ? at + 1 : start;
        if (url.find(',', hosts) < end) return true;
    }
    // host=a,b or hostaddr=a,b among the parameters.
    const size_t query = url.find('?');
    if (query == std::string::npos) return false;
    for (size_t at = query + 1; at < url.size();) {
        size_t next = url.find('&', at);
        if (next == std::string::npos) next = url.size();
        const std::string_view parameter(url.data() + at, next - at);
        if ((parameter.starts_with("host=") || parameter.starts_with("hostaddr=")) &&
            (parameter.find(',') != std::string_view::npos ||
             parameter.find("%2C") != std::string_view::npos ||
             parameter.find("%2c") != std::string_view::npos))
            return true;
        at = next + 1;
    }
    return false;
}

PgScoreStore::PgScoreStore(std::string url, const StoreOptions& options)
    : writerUrl_(ConnectionUrl(url, "read-write")), readerUrl_(ConnectionUrl(url, "prefer-standby")),
      shownUrl_(RedactedUrl(url)), maxReaders_(options.connections > 2 ? options.connections - 1 : 1),
      connectionWait_(options.connectionWait) {
    try {
        writer_ = Connect(writerUrl_);
        Migrate(*writer_);
        salt_ = LoadOrMakeSalt(*writer_);
    } catch (const StoreError&) {
        throw;
    } catch (const pqxx::broken_connection& e) {
        throw StoreError("cannot reach the database " + shownUrl_ + ": " + OneLine(e.what()));
    } catch (const std::exception& e) {
        throw StoreError("cannot prepare the database " + shownUrl_ + ": " + OneLine(e.what()));
    }
}

PgScoreStore::~PgScoreStore() = default;

std::unique_ptr<pqxx::connection> PgScoreStore::Connect(const std::string& url) {
    auto db = std::make_unique<pqxx::connection>(url);
    {
        // Each query here reads a few hundred rows at most; compiling one (when the
        // planner's estimates run high, as they do for the counts' levels) took
        // half a second.
        pqxx::nontransaction settings(*db);
        settings.exec("SET jit = off");
    }
    PrepareStatements(*db);
    return db;
}

std::unique_ptr<pqxx::connection> PgScoreStore::TakeReader() {
    {
        std::unique_lock lock(readersMutex_);
        const bool free = readerFreed_.wait_for(
            lock, connectionWait_, [this] { return !idleReaders_.empty() || openReaders_ < maxReaders_; });
        if (!free)
            throw StoreBusy("every one of the " + std::to_string(maxReaders_) + " read connections to " +
                            shownUrl_ + " stayed busy for " + std::to_string(connectionWait_.count()) +
                            " ms");
        if (!idleReaders_.empty()) {
            auto reader = std::move(idleReaders_.back());
            idleReaders_.pop_back();
            return reader;
        }
        ++openReaders_; // its place is taken while it is opened
    }
    try {
        return Connect(readerUrl_);
    } catch (const std::exception& e) {
        GiveBackReader(nullptr);
        throw StoreError("cannot reach the database " + shownUrl_ + ": " + OneLine(e.what()));
    }
}

void PgScoreStore::GiveBackReader(std::unique_ptr<pqxx::connection> reader) {
    {
        std::lock_guard lock(readersMutex_);
        if (reader)
            idleReaders_.push_back(std::move(reader));
        else
            --openReaders_;
    }
    readerFreed_.notify_one();
}

template <class Write> auto PgScoreStore::InWriteTransaction(const char* what, Write&& write) {
    std::lock_guard lock(writerMutex_);
    try {
        if (!writer_ || !writer_->is_open()) writer_ = Connect(writerUrl_);
        pqxx::work transaction(*writer_);
        transaction.exec_prepared("lock_scores_writes", kScoresWriteLockKey);
        auto result = write(transaction);
        // Returns once PostgreSQL has the transaction on disk (synchronous_commit).
        transaction.commit();
        return result;
    } catch (const pqxx::broken_connection& e) {
        writer_.reset();
        throw StoreError("lost the connection to " + shownUrl_ + ": " + OneLine(e.what()));
    } catch (const pqxx::in_doubt_error& e) {
        writer_.reset();
        throw StoreError("the commit to " + shownUrl_ + " may not have happened: " + OneLine(e.what()));
    } catch (const StoreError&) {
        throw;
    } catch (const std::exception& e) {
        throw StoreError(std::string("PostgreSQL refused ") + what + ": " + OneLine(e.what()));
    }
}

std::vector<InsertOutcome> PgScoreStore::InsertBatch(std::span<const NewScore> batch) {
    if (batch.empty()) return {};
    // The texts as PostgreSQL keeps them: duplicates are found among those.
    std::vector<BatchEntry> entries;
    entries.reserve(batch.size());
    for (const NewScore& entry : batch)
        entries.push_back(BatchEntry{PgText(entry.name), PgText(entry.country), entry.score,
                                     entry.submittedAt, PgText(entry.clientHash)});
    return InWriteTransaction("the batch", [&](pqxx::work& write) {
        std::vector<bool> earlier(entries.size(), false);
        for (const pqxx::row& row : write.exec_prepared("batch_duplicates", BatchJson(entries, nullptr)))
            earlier.at(row[0].as<size_t>()) = true;
        // Earlier entries of the batch count too, those stored (a duplicate is not).
        std::vector<InsertOutcome> outcomes;
        outcomes.reserve(entries.size());
        std::vector<bool> stored(entries.size(), false);
        for (size_t i = 0; i < entries.size(); ++i) {
            bool duplicate = earlier[i];
            for (size_t k = 0; k < i && !duplicate; ++k)
                duplicate = stored[k] && entries[k].SameResult(entries[i]) &&
                            entries[k].submittedAt > entries[i].submittedAt - kDuplicateWindowSeconds;
            stored[i] = !duplicate;
            outcomes.push_back(duplicate ? InsertOutcome::Duplicate : InsertOutcome::Stored);
        }
        if (std::find(stored.begin(), stored.end(), true) != stored.end())
            write.exec_prepared("insert_batch", BatchJson(entries, &stored));
        return outcomes;
    });
}

std::vector<RankedScore> PgScoreStore::Page(const ScoreFilter& filter, int64_t offset, int64_t limit) {
    const size_t kind = FilterKind(filter);
    const std::vector<std::string> filterValues = FilterValues(filter);
    ReadLease db(*this);
    if (filter.since > 0) {
        // A period: found through its counts, read as one snapshot; one that starts
        // before the counts' horizon walks the rows.
        return db.RunSnapshot([&](pqxx::transaction_base& read) {
            std::vector<RankedScore> rows;
            const std::unique_ptr<PeriodReader> period = PeriodReader::Open(read, filter);
            if (!period) {
                for (const pqxx::row& row :
                     read.exec_prepared(StatementName("page", kind),
                                        pqxx::prepare::make_dynamic_params(filterValues), limit, offset))
                    rows.push_back(ReadRow(row, offset + static_cast<int64_t>(rows.size()) + 1));
                return rows;
            }
            const std::optional<ScoreAtOffset> first = FindScoreAtOffset(offset, period->List());
            if (!first || limit <= 0) return rows;
            for (const pqxx::row& row : read.exec_prepared(StatementName("tied_rows", kind),
                                                           pqxx::prepare::make_dynamic_params(filterValues),
                                                           first->score, limit, offset - first->rowsAbove))
                rows.push_back(ReadRow(row, offset + static_cast<int64_t>(rows.size()) + 1));
            if (static_cast<int64_t>(rows.size()) < limit) {
                for (const pqxx::row& row : read.exec_prepared(
                         StatementName("lower_rows", kind), pqxx::prepare::make_dynamic_params(filterValues),
                         first->score, limit - static_cast<int64_t>(rows.size())))
                    rows.push_back(ReadRow(row, offset + static_cast<int64_t>(rows.size()) + 1));
            }
            return rows;
        });
    }
    if (limit <= 0) return {};
    return db.Run([&](pqxx::nontransaction& read) {
        const pqxx::result result = read.exec_prepared(
            StatementName("page_at", kind), pqxx::prepare::make_dynamic_params(filterValues),
            filter.verifiedOnly, PgText(RankGroup(filter)), offset, limit);
        std::vector<RankedScore> rows;
        rows.reserve(result.size());
        for (const pqxx::row& row : result)
            rows.push_back(ReadRow(row, offset + static_cast<int64_t>(rows.size()) + 1));
        return rows;
    });
}

std::optional<RankedScore> PgScoreStore::BestOf(const ScoreFilter& filter, std::string_view name) {
    const size_t kind = FilterKind(filter);
    const std::vector<std::string> filterValues = FilterValues(filter);
    ReadLease db(*this);
    if (filter.since == 0) {
        return db.Run([&](pqxx::nontransaction& read) -> std::optional<RankedScore> {
            const pqxx::result best = read.exec_prepared(
                StatementName("best_of_ranked", kind), pqxx::prepare::make_dynamic_params(filterValues),
                PgText(name), filter.verifiedOnly, PgText(RankGroup(filter)));
            if (best.empty()) return std::nullopt;
            RankedScore row = ReadRow(best[0], 0);
            row.rank = best[0][7].as<int64_t>() + 1;
            return row;
        });
    }
    return db.RunSnapshot([&](pqxx::transaction_base& read) -> std::optional<RankedScore> {
        const pqxx::result best = read.exec_prepared(
            StatementName("best_of", kind), pqxx::prepare::make_dynamic_params(filterValues), PgText(name));
        if (best.empty()) return std::nullopt;
        RankedScore row = ReadRow(best[0], 0);
        const std::unique_ptr<PeriodReader> period = PeriodReader::Open(read, filter);
        const pqxx::row before =
            read.exec_prepared1(StatementName(period ? "tied_before" : "rows_before", kind),
                                pqxx::prepare::make_dynamic_params(filterValues), row.score, row.id);
        row.rank = before[0].as<int64_t>() + 1;
        if (period) row.rank += RowsAboveThrough(row.score, period->List());
        return row;
    });
}

int64_t PgScoreStore::RankFor(const ScoreFilter& filter, int64_t score) {
    const size_t kind = FilterKind(filter);
    ReadLease db(*this);
    // A score at least `score` is one above score - 1.
    if (filter.since == 0 && score > std::numeric_limits<int64_t>::min())
        return db.Run([&](pqxx::nontransaction& read) { return RowsAbove(read, filter, score - 1) + 1; });
    if (score > std::numeric_limits<int64_t>::min()) {
        const std::optional<int64_t> rank =
            db.RunSnapshot([&](pqxx::transaction_base& read) -> std::optional<int64_t> {
                const std::unique_ptr<PeriodReader> period = PeriodReader::Open(read, filter);
                if (!period) return std::nullopt;
                return RowsAboveThrough(score - 1, period->List()) + 1;
            });
        if (rank) return *rank;
    }
    return db.Run([&](pqxx::nontransaction& read) {
        const pqxx::row atLeast =
            read.exec_prepared1(StatementName("rows_at_least", kind),
                                pqxx::prepare::make_dynamic_params(FilterValues(filter)), score);
        return atLeast[0].as<int64_t>() + 1;
    });
}

ReplayRecord PgScoreStore::StoreReplay(const NewReplay& replay) {
    return InsertReplay(replay, {});
}

ReplayRecord PgScoreStore::StoreRefusedReplay(const NewReplay& replay, std::string_view refusal) {
    return InsertReplay(replay, refusal);
}

ReplayRecord PgScoreStore::InsertReplay(const NewReplay& replay, std::string_view refusal) {
    return InWriteTransaction("the replay", [&](pqxx::work& write) {
        const std::string name = PgText(replay.name);
        const std::string country = PgText(replay.country);
        const std::string client = PgText(replay.clientHash);
        const pqxx::result match = write.exec_prepared("match_replay", client, name, country, replay.score);
        const int64_t scoreId = match.empty() ? 0 : match[0][0].as<int64_t>();
        ReplayRecord record = NewReplayRecord(replay, scoreId, refusal);
        const int64_t rowUploads = NeedsRowUploads(Quota(), record)
                                       ? write.exec_prepared1("row_uploads", scoreId)[0].as<int64_t>()
                                       : 0;
        const int64_t pendingBytes =
            NeedsPendingBytes(Quota(), record) ? write.exec_prepared1("pending_bytes")[0].as<int64_t>() : 0;
        record.refused = QuotaRefusal(Quota(), record, rowUploads, pendingBytes,
                                      static_cast<int64_t>(replay.bytes.size()));
        if (record.refused != ReplayRefusal::None) return record;
        const pqxx::binarystring bytes(
            KeepsReplayFile(record) ? std::string(replay.bytes.begin(), replay.bytes.end()) : std::string());
        record.id = write
                        .exec_prepared1("insert_replay", scoreId, name, country, replay.score,
                                        replay.uploadedAt, client, bytes,
                                        std::string(ReplayStateName(record.state)), PgText(record.reason))[0]
                        .as<int64_t>();
        return record;
    });
}

bool PgScoreStore::RecordReplayVerdict(int64_t replayId, bool verified, std::string_view reason,
                                       std::string_view race) {
    return InWriteTransaction("the replay's verdict", [&](pqxx::work& write) {
        std::string failure = PgText(reason);
        const std::string raceText = PgText(race);
        // Two servers judging copies of one race at once: the unique index on verified
        // races refuses the second commit, and its replay stays pending until a check
        // of it finds the first.
        if (!raceText.empty()) {
            const pqxx::result same = write.exec_prepared("same_race", raceText, replayId);
            if (!same.empty()) {
                verified = false;
                failure = kRaceVerifiedAlready + std::to_string(same[0][0].as<int64_t>());
            }
        }
        const pqxx::result written = write.exec_prepared(
            "replay_verdict", replayId,
            std::string(ReplayStateName(verified ? ReplayState::Verified : ReplayState::Failed)),
            verified ? std::string() : failure, verified ? raceText : std::string());
        if (verified) write.exec_prepared("mark_verified", replayId);
        return written.affected_rows() > 0;
    });
}

std::optional<PendingReplay> PgScoreStore::ClaimPendingReplay(std::string_view checker,
                                                              std::chrono::seconds lease) {
    return InWriteTransaction(
        "the claim of a pending replay", [&](pqxx::work& write) -> std::optional<PendingReplay> {
            const pqxx::result claimed =
                write.exec_prepared("claim_replay", static_cast<int64_t>(lease.count()), PgText(checker));
            if (claimed.empty()) return std::nullopt;
            const pqxx::binarystring bytes(claimed[0][2]);
            return PendingReplay{claimed[0][0].as<int64_t>(), claimed[0][1].as<int64_t>(),
                                 std::vector<uint8_t>(bytes.begin(), bytes.end()),
                                 claimed[0][3].as<std::string>(), claimed[0][4].as<std::string>()};
        });
}

std::optional<ReplayRecord> PgScoreStore::FindReplay(int64_t replayId) {
    ReadLease db(*this);
    return db.Run([&](pqxx::nontransaction& read) -> std::optional<ReplayRecord> {
        const pqxx::result found = read.exec_prepared("find_replay", replayId);
        if (found.empty()) return std::nullopt;
        const pqxx::row row = found[0];
        return ReplayRecord{
            row[0].as<int64_t>(),     row[1].as<int64_t>(), ParseReplayState(row[2].as<std::string>()),
            row[3].as<std::string>(), row[4].as<int64_t>(), row[5].as<int64_t>()};
    });
}

std::vector<PendingReplay> PgScoreStore::PendingReplays(int64_t afterId, int64_t throughId, int64_t limit) {
    return InWriteTransaction("the pending replays' look-up", [&](pqxx::work& read) {
        std::vector<PendingReplay> pending;
        for (const pqxx::row& row : read.exec_prepared("pending_replays", afterId, throughId, limit)) {
            const pqxx::binarystring bytes(row[2]);
            pending.push_back(PendingReplay{row[0].as<int64_t>(), row[1].as<int64_t>(),
                                            std::vector<uint8_t>(bytes.begin(), bytes.end()),
                                            row[3].as<std::string>(), row[4].as<std::string>()});
        }
        return pending;
    });
}

int64_t PgScoreStore::LatestReplayId() {
    return InWriteTransaction("the latest replay's look-up", [&](pqxx::work& read) {
        return read.exec_prepared1("latest_replay")[0].as<int64_t>();
    });
}

std::optional<std::vector<uint8_t>> PgScoreStore::VerifiedReplayFile(int64_t replayId) {
    ReadLease db(*this);
    return db.Run([&](pqxx::nontransaction& read) -> std::optional<std::vector<uint8_t>> {
        const pqxx::result found = read.exec_prepared("verified_replay_file", replayId);
        if (found.empty()) return std::nullopt;
        const pqxx::binarystring bytes(found[0][0]);
        return std::vector<uint8_t>(bytes.begin(), bytes.end());
    });
}

} // namespace vorlane::scores
