#include "store/SqliteScoreStore.h"

#include "store/ClientSalt.h"
#include "store/PeriodCounts.h"
#include "store/RankCounts.h"

#include <algorithm>
#include <array>
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

// Adds `delta` to the counts of the row `row` (NEW or OLD) in a trigger: every
// level, all rows and its country's, and the verified groups when it is verified.
#define VORLANE_COUNT_ROW(row, delta)                                                                        \
    "INSERT INTO rank_counts (verified_only, grp, level, key, n)"                                            \
    " SELECT v.k, g.k, l.level, " row ".score >> l.shift, " delta " FROM rank_levels AS l,"                  \
    " (SELECT 0 AS k UNION ALL SELECT 1 WHERE " row ".verified = 1) AS v,"                                   \
    " (SELECT '' AS k UNION ALL SELECT '=' || lower(" row ".country)) AS g"                                  \
    " WHERE true ON CONFLICT (verified_only, grp, level, key) DO UPDATE SET n = n + excluded.n;"

// The same for the period counts (PeriodCounts.h): levels 1 to 3, each span's cell
// (the time divided by the span's seconds, rounded down), for rows from the horizon on.
#define VORLANE_COUNT_PERIOD(row, delta)                                                                     \
    "INSERT INTO period_counts (verified_only, grp, level, span, cell, key, n)"                              \
    " SELECT v.k, g.k, l.level, s.span, (" row ".submitted_at - ((" row ".submitted_at % s.seconds)"         \
    " + s.seconds) % s.seconds) / s.seconds, " row ".score >> l.shift, " delta                               \
    " FROM rank_levels AS l, period_spans AS s,"                                                             \
    " (SELECT 0 AS k UNION ALL SELECT 1 WHERE " row ".verified = 1) AS v,"                                   \
    " (SELECT '' AS k UNION ALL SELECT '=' || lower(" row ".country)) AS g"                                  \
    " WHERE l.level >= 1 AND " row ".submitted_at >= (SELECT horizon FROM period_horizon)"                   \
    " ON CONFLICT (verified_only, grp, level, span, cell, key) DO UPDATE SET n = n + excluded.n;"

constexpr std::array kMigrations{
    Migration{1, "CREATE TABLE scores ("
                 "  id INTEGER PRIMARY KEY,"
                 "  name TEXT NOT NULL,"
                 "  country TEXT NOT NULL,"
                 "  score INTEGER NOT NULL,"
                 "  submitted_at INTEGER NOT NULL,"
                 "  client_hash TEXT NOT NULL);"
                 // Table order; submitted_at rides along so that a period needs no row look-up.
                 "CREATE INDEX scores_by_rank ON scores (score DESC, id, submitted_at);"
                 "CREATE INDEX scores_by_country ON scores (country, score DESC, id, submitted_at);"
                 "CREATE INDEX scores_by_name ON scores (name, score DESC, id);"
                 // A period's counts (ranks within a day or a week) read only this.
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
    Migration{
        3, "ALTER TABLE scores ADD COLUMN verified INTEGER NOT NULL DEFAULT 0;"
           "ALTER TABLE scores ADD COLUMN replay_id INTEGER;"
           "CREATE INDEX scores_verified_by_rank ON scores (score DESC, id, submitted_at) WHERE verified = 1;"
           "CREATE TABLE replays ("
           "  id INTEGER PRIMARY KEY,"
           "  score_id INTEGER REFERENCES scores (id),"
           "  name TEXT NOT NULL,"
           "  country TEXT NOT NULL,"
           "  score INTEGER NOT NULL,"
           "  uploaded_at INTEGER NOT NULL,"
           "  client_hash TEXT NOT NULL,"
           "  bytes BLOB,"
           "  state TEXT NOT NULL,"
           "  reason TEXT NOT NULL DEFAULT '');"
           "CREATE INDEX replays_by_score ON replays (score_id);"},
    // A restart takes up the replays left pending: found without reading every
    // replay ever judged.
    Migration{4, "CREATE INDEX replays_pending ON replays (id) WHERE state = 'pending';"},
    // Names and countries match whatever their letter case; the counts per score
    // (RankCounts.h) that rank any row without walking the rows ahead of it, kept by
    // triggers in the transaction of every change to a row. The counts are filled
    // from the rows at the first start after this (BuildCountsIfMissing). Written
    // to run again over what it made, should its record be lost.
    // clang-format off
    Migration{5,
              "DELETE FROM settings WHERE key = 'rank_counts';"
              "DROP INDEX IF EXISTS scores_by_country;"
              "CREATE INDEX scores_by_country ON scores (country COLLATE NOCASE, score DESC, id, submitted_at);"
              "DROP INDEX IF EXISTS scores_by_name;"
              "CREATE INDEX scores_by_name ON scores (name COLLATE NOCASE, score DESC, id);"
              "CREATE INDEX IF NOT EXISTS scores_verified_by_country ON scores (country COLLATE NOCASE,"
              "  score DESC, id, submitted_at) WHERE verified = 1;"
              "CREATE TABLE IF NOT EXISTS rank_levels (level INTEGER PRIMARY KEY, shift INTEGER NOT NULL);"
              "INSERT OR IGNORE INTO rank_levels VALUES (0, 0), (1, 8), (2, 16), (3, 24);"
              "CREATE TABLE IF NOT EXISTS rank_counts ("
              "  verified_only INTEGER NOT NULL,"
              "  grp TEXT NOT NULL,"
              "  level INTEGER NOT NULL,"
              "  key INTEGER NOT NULL,"
              "  n INTEGER NOT NULL,"
              "  PRIMARY KEY (verified_only, grp, level, key)) WITHOUT ROWID;"
              "CREATE TRIGGER IF NOT EXISTS scores_counted AFTER INSERT ON scores BEGIN "
              VORLANE_COUNT_ROW("NEW", "1") " END;"
              "CREATE TRIGGER IF NOT EXISTS scores_uncounted AFTER DELETE ON scores BEGIN "
              VORLANE_COUNT_ROW("OLD", "-1") " END;"
              "CREATE TRIGGER IF NOT EXISTS scores_recounted AFTER UPDATE OF score, country, verified ON scores BEGIN "
              VORLANE_COUNT_ROW("OLD", "-1") VORLANE_COUNT_ROW("NEW", "1") " END;"},
    // A failed replay keeps its verdict, not its file; a verified one keeps the
    // fingerprint of its race, which verifies no other replay.
    Migration{6, "UPDATE replays SET bytes = NULL WHERE state = 'failed';"
                 "ALTER TABLE replays ADD COLUMN race TEXT;"
                 "CREATE UNIQUE INDEX replays_verified_race ON replays (race) WHERE state = 'verified';"},
    // Checking processes take pending replays from the database for a lease.
    Migration{7, "ALTER TABLE replays ADD COLUMN lease_until INTEGER;"
                 "ALTER TABLE replays ADD COLUMN checker TEXT NOT NULL DEFAULT '';"},
    // Periods ("Today", "This week") at any depth: the counts per cell of time of
    // PeriodCounts.h, kept by triggers as the counts above, for rows sent from the
    // horizon on. Until they are built from the rows at the next start
    // (BuildCountsIfMissing) the horizon is past every row and nothing is counted.
    // clang-format off
    Migration{8,
              "DELETE FROM settings WHERE key = 'period_counts';"
              "CREATE TABLE IF NOT EXISTS period_spans (span INTEGER PRIMARY KEY, seconds INTEGER NOT NULL);"
              "INSERT OR IGNORE INTO period_spans VALUES (0, 300), (1, 3600), (2, 86400);"
              "CREATE TABLE IF NOT EXISTS period_horizon (id INTEGER PRIMARY KEY CHECK (id = 1),"
              "  horizon INTEGER NOT NULL);"
              "INSERT OR REPLACE INTO period_horizon VALUES (1, 9223372036854775807);"
              "CREATE TABLE IF NOT EXISTS period_counts ("
              "  verified_only INTEGER NOT NULL,"
              "  grp TEXT NOT NULL,"
              "  level INTEGER NOT NULL,"
              "  span INTEGER NOT NULL,"
              "  cell INTEGER NOT NULL,"
              "  key INTEGER NOT NULL,"
              "  n INTEGER NOT NULL,"
              "  PRIMARY KEY (verified_only, grp, level, span, cell, key)) WITHOUT ROWID;"
              "CREATE TRIGGER IF NOT EXISTS scores_period_counted AFTER INSERT ON scores BEGIN "
              VORLANE_COUNT_PERIOD("NEW", "1") " END;"
              "CREATE TRIGGER IF NOT EXISTS scores_period_uncounted AFTER DELETE ON scores BEGIN "
              VORLANE_COUNT_PERIOD("OLD", "-1") " END;"
              "CREATE TRIGGER IF NOT EXISTS scores_period_recounted AFTER UPDATE OF score, country, verified,"
              " submitted_at ON scores BEGIN "
              VORLANE_COUNT_PERIOD("OLD", "-1") VORLANE_COUNT_PERIOD("NEW", "1") " END;"},
    // clang-format on
};
// A database takes the migrations above its version in this order.
static_assert(std::ranges::is_sorted(kMigrations, {}, &Migration::version));
#undef VORLANE_COUNT_PERIOD
#undef VORLANE_COUNT_ROW

// Fills the period counts from the rows of the last 31 days and more (from the start
// of that day: the horizon), which every period of the table starts after: the
// 5-minute cells of level 1 in one pass over the rows, every other span and level
// summed from them.
constexpr const char* kBuildPeriodCountsSql =
    "DELETE FROM period_counts;"
    "UPDATE period_horizon SET horizon = (CAST(strftime('%s','now') AS INTEGER) / 86400 - 31) * 86400;"
    "INSERT INTO period_counts (verified_only, grp, level, span, cell, key, n)"
    " SELECT 0, '', 1, 0, submitted_at / 300, score >> 8, count(*) FROM scores"
    "  WHERE submitted_at >= (SELECT horizon FROM period_horizon) GROUP BY 5, 6;"
    "INSERT INTO period_counts (verified_only, grp, level, span, cell, key, n)"
    " SELECT 0, '=' || lower(country), 1, 0, submitted_at / 300, score >> 8, count(*) FROM scores"
    "  WHERE submitted_at >= (SELECT horizon FROM period_horizon) GROUP BY country COLLATE NOCASE, 5, 6;"
    "INSERT INTO period_counts (verified_only, grp, level, span, cell, key, n)"
    " SELECT 1, '', 1, 0, submitted_at / 300, score >> 8, count(*) FROM scores"
    "  WHERE verified = 1 AND submitted_at >= (SELECT horizon FROM period_horizon) GROUP BY 5, 6;"
    "INSERT INTO period_counts (verified_only, grp, level, span, cell, key, n)"
    " SELECT 1, '=' || lower(country), 1, 0, submitted_at / 300, score >> 8, count(*) FROM scores"
    "  WHERE verified = 1 AND submitted_at >= (SELECT horizon FROM period_horizon)"
    "  GROUP BY country COLLATE NOCASE, 5, 6;"
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
    "INSERT OR REPLACE INTO settings (key, value) VALUES ('period_counts', 'built');";

// Fills the counts from the rows: the counts per score in one pass over each index
// (no sort of the table), each level above summed from the one below.
constexpr const char* kBuildRankCountsSql =
    "DELETE FROM rank_counts;"
    "INSERT INTO rank_counts (verified_only, grp, level, key, n)"
    " SELECT 0, '', 0, score, count(*) FROM scores GROUP BY score;"
    "INSERT INTO rank_counts (verified_only, grp, level, key, n)"
    " SELECT 0, '=' || lower(country), 0, score, count(*) FROM scores GROUP BY country COLLATE NOCASE, score;"
    "INSERT INTO rank_counts (verified_only, grp, level, key, n)"
    " SELECT 1, '', 0, score, count(*) FROM scores WHERE verified = 1 GROUP BY score;"
    "INSERT INTO rank_counts (verified_only, grp, level, key, n)"
    " SELECT 1, '=' || lower(country), 0, score, count(*) FROM scores WHERE verified = 1"
    "  GROUP BY country COLLATE NOCASE, score;"
    "INSERT INTO rank_counts (verified_only, grp, level, key, n)"
    " SELECT verified_only, grp, 1, key >> 8, sum(n) FROM rank_counts WHERE level = 0 GROUP BY 1, 2, 4;"
    "INSERT INTO rank_counts (verified_only, grp, level, key, n)"
    " SELECT verified_only, grp, 2, key >> 8, sum(n) FROM rank_counts WHERE level = 1 GROUP BY 1, 2, 4;"
    "INSERT INTO rank_counts (verified_only, grp, level, key, n)"
    " SELECT verified_only, grp, 3, key >> 8, sum(n) FROM rank_counts WHERE level = 2 GROUP BY 1, 2, 4;"
    "INSERT OR REPLACE INTO settings (key, value) VALUES ('rank_counts', 'built');";

// The same query over the eight kinds of filter: none, period, country, both, and
// each of these for verified rows only. The filter goes in where the query text
// breaks (once or twice); the texts are fixed, every value is a bound parameter.
#define VORLANE_NO_FILTER "1"
#define VORLANE_SINCE_FILTER "submitted_at >= :since"
#define VORLANE_COUNTRY_FILTER "country = :country COLLATE NOCASE"
#define VORLANE_BOTH_FILTER "country = :country COLLATE NOCASE AND submitted_at >= :since"
#define VORLANE_VERIFIED " AND verified = 1"
#define VORLANE_FILTERED(a, b)                                                                               \
    std::array<const char*, 8> {                                                                             \
        a VORLANE_NO_FILTER b, a VORLANE_SINCE_FILTER b, a VORLANE_COUNTRY_FILTER b,                         \
            a VORLANE_BOTH_FILTER b, a VORLANE_NO_FILTER VORLANE_VERIFIED b,                                 \
            a VORLANE_SINCE_FILTER VORLANE_VERIFIED b, a VORLANE_COUNTRY_FILTER VORLANE_VERIFIED b,          \
            a VORLANE_BOTH_FILTER VORLANE_VERIFIED b                                                         \
    }
#define VORLANE_FILTERED_TWICE(a, b, c)                                                                      \
    std::array<const char*, 8> {                                                                             \
        a VORLANE_NO_FILTER b VORLANE_NO_FILTER c, a VORLANE_SINCE_FILTER b VORLANE_SINCE_FILTER c,          \
            a VORLANE_COUNTRY_FILTER b VORLANE_COUNTRY_FILTER c,                                             \
            a VORLANE_BOTH_FILTER b VORLANE_BOTH_FILTER c,                                                   \
            a VORLANE_NO_FILTER VORLANE_VERIFIED b VORLANE_NO_FILTER VORLANE_VERIFIED c,                     \
            a VORLANE_SINCE_FILTER VORLANE_VERIFIED b VORLANE_SINCE_FILTER VORLANE_VERIFIED c,               \
            a VORLANE_COUNTRY_FILTER VORLANE_VERIFIED b VORLANE_COUNTRY_FILTER VORLANE_VERIFIED c,           \
            a VORLANE_BOTH_FILTER VORLANE_VERIFIED b VORLANE_BOTH_FILTER VORLANE_VERIFIED c                  \
    }

// The rows skipped by the offset are counted in the index alone; only the page's
// own rows are read from the table (a page far down stays quick).
constexpr auto kPageSql =
    VORLANE_FILTERED("SELECT id, name, country, score, submitted_at, verified, replay_id FROM scores WHERE "
                     "id IN (SELECT id FROM scores WHERE ",
                     " ORDER BY score DESC, id LIMIT :limit OFFSET :offset) ORDER BY score DESC, id");
constexpr auto kBestOfSql =
    VORLANE_FILTERED("SELECT id, name, country, score, submitted_at, verified, replay_id FROM scores WHERE ",
                     " AND name = :name COLLATE NOCASE ORDER BY score DESC, id LIMIT 1");
// Rows before a row: higher scores, then equal scores sent earlier. Two counts, so
// that each is one range of an index.
constexpr auto kRowsBeforeSql =
    VORLANE_FILTERED_TWICE("SELECT (SELECT count(*) FROM scores WHERE score > :score AND ",
                           ") + (SELECT count(*) FROM scores WHERE score = :score AND id < :id AND ", ")");
constexpr auto kRowsAtLeastSql =
    VORLANE_FILTERED("SELECT count(*) FROM scores WHERE score >= :score AND ", "");
// Without a period the counts give the score at a rank and the rows ahead of a
// score; the rows are then read from there: those of that score (in the order they
// came, skipping the ones on earlier pages), then the lower scores.
#define VORLANE_ROW_COLUMNS                                                                                  \
    "SELECT id, name, country, score, submitted_at, verified, replay_id FROM scores WHERE "
constexpr auto kTiedRowsSql =
    VORLANE_FILTERED(VORLANE_ROW_COLUMNS "score = :score AND ", " ORDER BY id LIMIT :limit OFFSET :offset");
constexpr auto kLowerRowsSql =
    VORLANE_FILTERED(VORLANE_ROW_COLUMNS "score < :score AND ", " ORDER BY score DESC, id LIMIT :limit");
#undef VORLANE_ROW_COLUMNS
constexpr auto kTiedBeforeSql =
    VORLANE_FILTERED("SELECT count(*) FROM scores WHERE score = :score AND id < :id AND ", "");
// Periods (PeriodCounts.h): the rows of each score of a range within the period,
// the scores of the rows sent in a few minutes, and
// the counts of one cell.
constexpr auto kPeriodScoreCountsSql =
    VORLANE_FILTERED("SELECT score, count(*) FROM scores WHERE score BETWEEN :low AND :high AND ",
                     " GROUP BY score ORDER BY score DESC");
constexpr auto kLooseScoresSql =
    VORLANE_FILTERED("SELECT score FROM scores INDEXED BY scores_by_time WHERE submitted_at < :to AND ", "");
constexpr const char* kPeriodCellSql =
    "SELECT key, n FROM period_counts WHERE verified_only = :verified AND grp = :grp AND level = :level"
    " AND span = :span AND cell = :cell AND key BETWEEN :low AND :high";
// The horizon of the period counts and the last day that has rows of the group.
constexpr const char* kPeriodStateSql =
    "SELECT (SELECT horizon FROM period_horizon), (SELECT max(cell) FROM period_counts WHERE"
    " verified_only = :verified AND grp = :grp AND level = 3 AND span = 2)";
constexpr const char* kCountSumSql =
    "SELECT coalesce(sum(n), 0) FROM rank_counts WHERE verified_only = :verified AND grp = :grp"
    " AND level = :level AND key BETWEEN :low AND :high";
constexpr const char* kCountListSql =
    "SELECT key, n FROM rank_counts WHERE verified_only = :verified AND grp = :grp"
    " AND level = :level AND key BETWEEN :low AND :high AND n > 0 ORDER BY key DESC";
#undef VORLANE_FILTERED_TWICE
#undef VORLANE_FILTERED
#undef VORLANE_VERIFIED
#undef VORLANE_BOTH_FILTER
#undef VORLANE_COUNTRY_FILTER
#undef VORLANE_SINCE_FILTER
#undef VORLANE_NO_FILTER

size_t FilterKind(const ScoreFilter& filter) {
    return (filter.since > 0 ? 1u : 0u) | (filter.country.empty() ? 0u : 2u) |
           (filter.verifiedOnly ? 4u : 0u);
}

void BindFilter(SqliteStatement& statement, const ScoreFilter& filter) {
    statement.Bind(":since", filter.since).Bind(":country", std::string_view(filter.country));
}

RankedScore ReadRow(const SqliteStatement& row, int64_t rank) {
    return RankedScore{rank,       row.Int(0), row.Text(1),     row.Text(2),
                       row.Int(3), row.Int(4), row.Int(5) != 0, row.Int(6)};
}

// One snapshot for the statements of one answer: the counts and the rows they
// lead to are read as of the same commit.
class ReadTransaction {
  public:
    explicit ReadTransaction(SqliteConnection& db) : db_(db) { db_.Execute("BEGIN"); }
    ~ReadTransaction() {
        try {
            db_.Execute("COMMIT");
        } catch (const StoreError&) {
            // A read has nothing to keep; the connection goes on.
        }
    }
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

  private:
    SqliteConnection& db_;
};

// The rows with a score above `score` in the filter's (period-less) group.
int64_t RowsAbove(SqliteConnection& db, const ScoreFilter& filter, int64_t score) {
    SqliteStatement& sum = db.Prepared(kCountSumSql);
    const std::string group = RankGroup(filter);
    int64_t above = 0;
    for (const KeyRange& range : RangesAbove(score)) {
        if (range.low > range.high) continue;
        sum.Bind(":verified", int64_t{filter.verifiedOnly ? 1 : 0})
            .Bind(":grp", std::string_view(group))
            .Bind(":level", int64_t{range.level})
            .Bind(":low", range.low)
            .Bind(":high", range.high);
        sum.Step();
        above += sum.Int(0);
        sum.Reset();
    }
    return above;
}

std::optional<ScoreAtOffset> ScoreAt(SqliteConnection& db, const ScoreFilter& filter, int64_t offset) {
    SqliteStatement& list = db.Prepared(kCountListSql);
    const std::string group = RankGroup(filter);
    return FindScoreAtOffset(offset, [&](const KeyRange& range) {
        list.Bind(":verified", int64_t{filter.verifiedOnly ? 1 : 0})
            .Bind(":grp", std::string_view(group))
            .Bind(":level", int64_t{range.level})
            .Bind(":low", range.low)
            .Bind(":high", range.high);
        std::vector<std::pair<int64_t, int64_t>> counts;
        while (list.Step())
            counts.emplace_back(list.Int(0), list.Int(1));
        list.Reset();
        return counts;
    });
}

// A period's counts (PeriodCounts.h) as read through one connection: nothing when
// the period starts before the counts' horizon, or runs too far ahead.
class PeriodReader {
  public:
    static std::unique_ptr<PeriodReader> Open(SqliteConnection& db, const ScoreFilter& filter) {
        SqliteStatement& state = db.Prepared(kPeriodStateSql);
        const std::string group = RankGroup(filter);
        state.Bind(":verified", int64_t{filter.verifiedOnly ? 1 : 0}).Bind(":grp", std::string_view(group));
        state.Step();
        const int64_t horizon = state.Int(0);
        const bool anyDay = !state.IsNull(1);
        const int64_t lastDay = state.Int(1);
        state.Reset();
        if (filter.since < horizon) return nullptr;
        PeriodCells cells = CellsSince(filter.since, anyDay ? lastDay : CellOf(filter.since, 86400) - 1);
        if (CellCount(cells) > kMostPeriodDays + 40) return nullptr;
        return std::unique_ptr<PeriodReader>(new PeriodReader(db, filter, std::move(cells)));
    }
    PeriodReader(const PeriodReader&) = delete;
    PeriodReader& operator=(const PeriodReader&) = delete;

    // The counts of the period, for FindScoreAtOffset and RowsAboveThrough.
    const ListCounts& List() const { return list_; }

  private:
    PeriodReader(SqliteConnection& db, const ScoreFilter& filter, PeriodCells cells)
        : db_(db), filter_(filter), group_(RankGroup(filter)), cells_(std::move(cells)) {
        const size_t kind = FilterKind(filter);
        if (cells_.looseTo > cells_.looseFrom) {
            SqliteStatement& loose = db_.Prepared(kLooseScoresSql[kind]);
            BindFilter(loose, filter_);
            loose.Bind(":to", cells_.looseTo);
            while (loose.Step())
                looseScores_.push_back(loose.Int(0));
            loose.Reset();
        }
        list_ = PeriodCountList(
            looseScores_,
            [this, kind](const KeyRange& range) {
                SqliteStatement& scores = db_.Prepared(kPeriodScoreCountsSql[kind]);
                BindFilter(scores, filter_);
                scores.Bind(":low", range.low).Bind(":high", range.high);
                std::vector<std::pair<int64_t, int64_t>> counts;
                while (scores.Step())
                    counts.emplace_back(scores.Int(0), scores.Int(1));
                scores.Reset();
                return counts;
            },
            [this](const KeyRange& range) {
                SqliteStatement& cell = db_.Prepared(kPeriodCellSql);
                std::vector<std::pair<int64_t, int64_t>> counts;
                for (size_t span = 0; span < kPeriodSpans; ++span) {
                    for (int64_t at = cells_.cells[span].first; at <= cells_.cells[span].second; ++at) {
                        cell.Bind(":verified", int64_t{filter_.verifiedOnly ? 1 : 0})
                            .Bind(":grp", std::string_view(group_))
                            .Bind(":level", int64_t{range.level})
                            .Bind(":span", static_cast<int64_t>(span))
                            .Bind(":cell", at)
                            .Bind(":low", range.low)
                            .Bind(":high", range.high);
                        while (cell.Step())
                            counts.emplace_back(cell.Int(0), cell.Int(1));
                        cell.Reset();
                    }
                }
                return counts;
            });
    }

    SqliteConnection& db_;
    const ScoreFilter& filter_;
    std::string group_;
    PeriodCells cells_;
    std::vector<int64_t> looseScores_;
    ListCounts list_;
};

// Runs buildSql, in one transaction, unless the settings already name `setting`: the
// counts a schema version added are filled from the rows at the first start after it (or
// after a table was loaded in bulk with the triggers off, and the setting removed).
void BuildCountsIfMissing(SqliteConnection& db, const char* setting, const char* buildSql) {
    SqliteStatement& built = db.Prepared("SELECT count(*) FROM settings WHERE key = ?");
    built.Bind(1, std::string_view(setting));
    built.Step();
    const bool have = built.Int(0) > 0;
    built.Reset();
    if (have) return;
    db.Execute("BEGIN IMMEDIATE");
    try {
        db.Execute(buildSql);
        db.Execute("COMMIT");
    } catch (...) {
        db.Execute("ROLLBACK");
        throw;
    }
}

void Migrate(SqliteConnection& db) {
    db.Execute("CREATE TABLE IF NOT EXISTS schema_migrations (version INTEGER PRIMARY KEY, applied_at "
               "INTEGER NOT NULL)");
    SqliteStatement& latest = db.Prepared("SELECT coalesce(max(version), 0) FROM schema_migrations");
    latest.Step();
    const int64_t have = latest.Int(0);
    latest.Reset();
    if (have > kMigrations.back().version)
        throw StoreError("database schema version " + std::to_string(have) + " is newer than this program (" +
                         std::to_string(kMigrations.back().version) + ")");
    for (const Migration& migration : kMigrations) {
        if (migration.version <= have) continue;
        db.Execute("BEGIN IMMEDIATE");
        try {
            db.Execute(migration.sql);
            SqliteStatement& record = db.Prepared("INSERT INTO schema_migrations (version, applied_at) "
                                                  "VALUES (:version, CAST(strftime('%s','now') AS INTEGER))");
            record.Bind(":version", migration.version).Step();
            record.Reset();
            db.Execute("COMMIT");
        } catch (...) {
            db.Execute("ROLLBACK");
            throw;
        }
    }
}

std::string LoadOrMakeSalt(SqliteConnection& db) {
    SqliteStatement& make =
        db.Prepared("INSERT OR IGNORE INTO settings (key, value) VALUES ('client_salt', :salt)");
    make.Bind(":salt", std::string_view(NewClientSalt())).Step();
    make.Reset();
    SqliteStatement& read = db.Prepared("SELECT value FROM settings WHERE key = 'client_salt'");
    if (!read.Step()) throw StoreError("the database lost its client salt");
    std::string salt = read.Text(0);
    read.Reset();
    return salt;
}

} // namespace

// A read connection taken from the pool for one query and given back after it.
class SqliteScoreStore::ReadLease {
  public:
    explicit ReadLease(SqliteScoreStore& store) : store_(store), db_(store.TakeReader()) {}
    ~ReadLease() { store_.GiveBackReader(std::move(db_)); }
    ReadLease(const ReadLease&) = delete;
    ReadLease& operator=(const ReadLease&) = delete;
    SqliteStatement& Prepared(const char* sql) { return db_->Prepared(sql); }
    SqliteConnection& Connection() { return *db_; }

  private:
    SqliteScoreStore& store_;
    std::unique_ptr<SqliteConnection> db_;
};

int64_t SqliteScoreStore::CurrentSchemaVersion() {
    return kMigrations.back().version;
}

SqliteScoreStore::SqliteScoreStore(std::string path) : path_(std::move(path)) {
    writer_ = std::make_unique<SqliteConnection>(path_, SqliteConnection::Mode::ReadWrite);
    // WAL with a full sync on every commit: an answered submission survives a kill
    // of the process or of the machine.
    writer_->Execute("PRAGMA journal_mode = WAL");
    writer_->Execute("PRAGMA synchronous = FULL");
    // The checkpoint thread keeps the log short; a commit checkpoints by itself
    // only when the log has grown past this many pages all the same.
    writer_->Execute("PRAGMA wal_autocheckpoint = 20000");
    // After a checkpoint the log file is cut back to this size instead of staying
    // as large as it once grew.
    writer_->Execute("PRAGMA journal_size_limit = 67108864");
    Migrate(*writer_);
    BuildCountsIfMissing(*writer_, "rank_counts", kBuildRankCountsSql);
    BuildCountsIfMissing(*writer_, "period_counts", kBuildPeriodCountsSql);
    // Every insert of a batch fires the rank-count trigger, so each one keeps a
    // statement journal (the pages it changes, to undo the statement alone). On file
    // that journal outgrows its memory after a row or two and every later page went
    // to a temporary file: some 24 writes and 50 KB a row that no commit needs. In
    // memory it is dropped after each statement. Set after the schema work, whose
    // index builds may sort more than memory should hold.
    writer_->Execute("PRAGMA temp_store = MEMORY");
    salt_ = LoadOrMakeSalt(*writer_);
    checkpointer_ = std::thread([this] { RunCheckpoints(); });
}

SqliteScoreStore::~SqliteScoreStore() {
    {
        std::lock_guard lock(checkpointMutex_);
        closing_ = true;
    }
    checkpointWake_.notify_one();
    checkpointer_.join();
    idleReaders_.clear();
    writer_.reset();
}

void SqliteScoreStore::RunCheckpoints() {
    std::unique_ptr<SqliteConnection> db;
    try {
        db = std::make_unique<SqliteConnection>(path_, SqliteConnection::Mode::ReadWrite);
    } catch (const StoreError&) {
        return; // the writer's own checkpoints remain
    }
    std::unique_lock lock(checkpointMutex_);
    while (!checkpointWake_.wait_for(lock, std::chrono::milliseconds(200), [this] { return closing_; })) {
        lock.unlock();
        // Passive: copies what no reader still needs, never waits, never blocks the writer.
        sqlite3_wal_checkpoint_v2(db->Handle(), nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
        lock.lock();
    }
}

std::unique_ptr<SqliteConnection> SqliteScoreStore::TakeReader() {
    {
        std::lock_guard lock(readersMutex_);
        if (!idleReaders_.empty()) {
            auto reader = std::move(idleReaders_.back());
            idleReaders_.pop_back();
            return reader;
        }
    }
    auto reader = std::make_unique<SqliteConnection>(path_, SqliteConnection::Mode::ReadOnly);
    return reader;
}

void SqliteScoreStore::GiveBackReader(std::unique_ptr<SqliteConnection> reader) {
    std::lock_guard lock(readersMutex_);
    idleReaders_.push_back(std::move(reader));
}

std::vector<InsertOutcome> SqliteScoreStore::InsertBatch(std::span<const NewScore> batch) {
    std::lock_guard lock(writerMutex_);
    std::vector<InsertOutcome> outcomes;
    outcomes.reserve(batch.size());
    SqliteStatement& findDuplicate =
        writer_->Prepared("SELECT 1 FROM scores WHERE client_hash = :client AND submitted_at > :after"
                          " AND score = :score AND name = :name AND country = :country LIMIT 1");
    SqliteStatement& insert =
        writer_->Prepared("INSERT INTO scores (name, country, score, submitted_at, client_hash)"
                          " VALUES (:name, :country, :score, :at, :client)");
    writer_->Execute("BEGIN IMMEDIATE");
    try {
        for (const NewScore& entry : batch) {
            findDuplicate.Bind(":client", std::string_view(entry.clientHash))
                .Bind(":after", entry.submittedAt - kDuplicateWindowSeconds)
                .Bind(":score", entry.score)
                .Bind(":name", std::string_view(entry.name))
                .Bind(":country", std::string_view(entry.country));
            const bool duplicate = findDuplicate.Step();
            findDuplicate.Reset();
            if (!duplicate) {
                insert.Bind(":name", std::string_view(entry.name))
                    .Bind(":country", std::string_view(entry.country))
                    .Bind(":score", entry.score)
                    .Bind(":at", entry.submittedAt)
                    .Bind(":client", std::string_view(entry.clientHash))
                    .Step();
                insert.Reset();
            }
            outcomes.push_back(duplicate ? InsertOutcome::Duplicate : InsertOutcome::Stored);
        }
        writer_->Execute("COMMIT");
    } catch (...) {
        findDuplicate.Reset();
        insert.Reset();
        try {
            writer_->Execute("ROLLBACK");
        } catch (const StoreError&) {
            // The transaction is gone already; the first error is the one to report.
        }
        throw;
    }
    return outcomes;
}

std::vector<RankedScore> SqliteScoreStore::Page(const ScoreFilter& filter, int64_t offset, int64_t limit) {
    ReadLease db(*this);
    const size_t kind = FilterKind(filter);
    std::vector<RankedScore> rows;
    ReadTransaction snapshot(db.Connection());
    std::unique_ptr<PeriodReader> period;
    if (filter.since > 0) period = PeriodReader::Open(db.Connection(), filter);
    if (filter.since > 0 && !period) {
        SqliteStatement& query = db.Prepared(kPageSql[kind]);
        BindFilter(query, filter);
        query.Bind(":limit", limit).Bind(":offset", offset);
        while (query.Step())
            rows.push_back(ReadRow(query, offset + static_cast<int64_t>(rows.size()) + 1));
        query.Reset();
        return rows;
    }
    const std::optional<ScoreAtOffset> first =
        period ? FindScoreAtOffset(offset, period->List()) : ScoreAt(db.Connection(), filter, offset);
    if (!first || limit <= 0) return rows;
    SqliteStatement& tied = db.Prepared(kTiedRowsSql[kind]);
    BindFilter(tied, filter);
    tied.Bind(":score", first->score).Bind(":limit", limit).Bind(":offset", offset - first->rowsAbove);
    while (tied.Step())
        rows.push_back(ReadRow(tied, offset + static_cast<int64_t>(rows.size()) + 1));
    tied.Reset();
    if (static_cast<int64_t>(rows.size()) < limit) {
        SqliteStatement& lower = db.Prepared(kLowerRowsSql[kind]);
        BindFilter(lower, filter);
        lower.Bind(":score", first->score).Bind(":limit", limit - static_cast<int64_t>(rows.size()));
        while (lower.Step())
            rows.push_back(ReadRow(lower, offset + static_cast<int64_t>(rows.size()) + 1));
        lower.Reset();
    }
    return rows;
}

std::optional<RankedScore> SqliteScoreStore::BestOf(const ScoreFilter& filter, std::string_view name) {
    ReadLease db(*this);
    ReadTransaction snapshot(db.Connection());
    const size_t kind = FilterKind(filter);
    SqliteStatement& best = db.Prepared(kBestOfSql[kind]);
    BindFilter(best, filter);
    best.Bind(":name", name);
    if (!best.Step()) {
        best.Reset();
        return std::nullopt;
    }
    RankedScore row = ReadRow(best, 0);
    best.Reset();

    std::unique_ptr<PeriodReader> period;
    if (filter.since > 0) period = PeriodReader::Open(db.Connection(), filter);
    const bool walk = filter.since > 0 && !period;
    SqliteStatement& before = db.Prepared(walk ? kRowsBeforeSql[kind] : kTiedBeforeSql[kind]);
    BindFilter(before, filter);
    before.Bind(":score", row.score).Bind(":id", row.id);
    before.Step();
    row.rank = before.Int(0) + 1;
    before.Reset();
    if (period)
        row.rank += RowsAboveThrough(row.score, period->List());
    else if (filter.since == 0)
        row.rank += RowsAbove(db.Connection(), filter, row.score);
    return row;
}

int64_t SqliteScoreStore::RankFor(const ScoreFilter& filter, int64_t score) {
    ReadLease db(*this);
    // A score at least `score` is one above score - 1.
    if (filter.since == 0 && score > std::numeric_limits<int64_t>::min()) {
        ReadTransaction snapshot(db.Connection());
        return RowsAbove(db.Connection(), filter, score - 1) + 1;
    }
    if (filter.since > 0 && score > std::numeric_limits<int64_t>::min()) {
        ReadTransaction snapshot(db.Connection());
        if (const std::unique_ptr<PeriodReader> period = PeriodReader::Open(db.Connection(), filter))
            return RowsAboveThrough(score - 1, period->List()) + 1;
    }
    SqliteStatement& atLeast = db.Prepared(kRowsAtLeastSql[FilterKind(filter)]);
    BindFilter(atLeast, filter);
    atLeast.Bind(":score", score);
    atLeast.Step();
    const int64_t rank = atLeast.Int(0) + 1;
    atLeast.Reset();
    return rank;
}

namespace {

ReplayRecord ReadReplayRecord(const SqliteStatement& row) {
    return ReplayRecord{row.Int(0),  row.Int(1), ParseReplayState(row.Text(2)),
                        row.Text(3), row.Int(4), row.Int(5)};
}

constexpr const char* kFindReplaySql =
    "SELECT id, coalesce(score_id, 0), state, reason, score, uploaded_at FROM replays WHERE id = :id";

} // namespace

ReplayRecord SqliteScoreStore::StoreReplay(const NewReplay& replay) {
    return InsertReplay(replay, {});
}

ReplayRecord SqliteScoreStore::StoreRefusedReplay(const NewReplay& replay, std::string_view refusal) {
    return InsertReplay(replay, refusal);
}

ReplayRecord SqliteScoreStore::InsertReplay(const NewReplay& replay, std::string_view refusal) {
    std::lock_guard lock(writerMutex_);
    SqliteStatement& match = writer_->Prepared(
        "SELECT id FROM scores WHERE client_hash = :client AND name = :name AND country = :country"
        " AND score = :score AND verified = 0 ORDER BY submitted_at DESC, id DESC LIMIT 1");
    SqliteStatement& insert = writer_->Prepared(
        "INSERT INTO replays (score_id, name, country, score, uploaded_at, client_hash, bytes, state, reason)"
        " VALUES (nullif(:score_id, 0), :name, :country, :score, :at, :client, :bytes, :state, :reason)");
    SqliteStatement& rowCount = writer_->Prepared("SELECT count(*) FROM replays WHERE score_id = :id");
    SqliteStatement& pendingSize =
        writer_->Prepared("SELECT coalesce(sum(length(bytes)), 0) FROM replays WHERE state = 'pending'");
    const auto rowUploadsOf = [&rowCount](int64_t scoreId) {
        rowCount.Bind(":id", scoreId).Step();
        const int64_t count = rowCount.Int(0);
        rowCount.Reset();
        return count;
    };
    const auto pendingBytesNow = [&pendingSize] {
        pendingSize.Step();
        const int64_t bytes = pendingSize.Int(0);
        pendingSize.Reset();
        return bytes;
    };
    writer_->Execute("BEGIN IMMEDIATE");
    try {
        match.Bind(":client", std::string_view(replay.clientHash))
            .Bind(":name", std::string_view(replay.name))
            .Bind(":country", std::string_view(replay.country))
            .Bind(":score", replay.score);
        const int64_t scoreId = match.Step() ? match.Int(0) : 0;
        match.Reset();
        ReplayRecord record = NewReplayRecord(replay, scoreId, refusal);
        const int64_t rowUploads = NeedsRowUploads(Quota(), record) ? rowUploadsOf(scoreId) : 0;
        const int64_t pendingBytes = NeedsPendingBytes(Quota(), record) ? pendingBytesNow() : 0;
        record.refused = QuotaRefusal(Quota(), record, rowUploads, pendingBytes,
                                      static_cast<int64_t>(replay.bytes.size()));
        if (record.refused != ReplayRefusal::None) {
            writer_->Execute("ROLLBACK");
            return record;
        }
        insert.Bind(":score_id", scoreId)
            .Bind(":name", std::string_view(replay.name))
            .Bind(":country", std::string_view(replay.country))
            .Bind(":score", replay.score)
            .Bind(":at", replay.uploadedAt)
            .Bind(":client", std::string_view(replay.clientHash))
            .BindBlob(":bytes", KeepsReplayFile(record) ? std::span<const uint8_t>(replay.bytes)
                                                        : std::span<const uint8_t>())
            .Bind(":state", std::string_view(ReplayStateName(record.state)))
            .Bind(":reason", std::string_view(record.reason))
            .Step();
        insert.Reset();
        record.id = sqlite3_last_insert_rowid(writer_->Handle());
        writer_->Execute("COMMIT");
        return record;
    } catch (...) {
        match.Reset();
        insert.Reset();
        rowCount.Reset();
        pendingSize.Reset();
        try {
            writer_->Execute("ROLLBACK");
        } catch (const StoreError&) {
        }
        throw;
    }
}

bool SqliteScoreStore::RecordReplayVerdict(int64_t replayId, bool verified, std::string_view reason,
                                           std::string_view race) {
    std::lock_guard lock(writerMutex_);
    SqliteStatement& sameRace = writer_->Prepared(
        "SELECT id FROM replays WHERE race = :race AND state = 'verified' AND id <> :id LIMIT 1");
    SqliteStatement& update = writer_->Prepared(
        "UPDATE replays SET state = :state, reason = :reason, race = nullif(:race, ''),"
        " bytes = CASE WHEN :state = 'verified' THEN bytes END WHERE id = :id AND state = 'pending'");
    SqliteStatement& mark =
        writer_->Prepared("UPDATE scores SET verified = 1, replay_id = :id WHERE id = "
                          "(SELECT score_id FROM replays WHERE id = :id AND state = 'verified')"
                          " AND verified = 0");
    writer_->Execute("BEGIN IMMEDIATE");
    try {
        std::string failure(reason);
        if (!race.empty()) {
            sameRace.Bind(":race", race).Bind(":id", replayId);
            if (sameRace.Step()) {
                verified = false;
                failure = kRaceVerifiedAlready + std::to_string(sameRace.Int(0));
            }
            sameRace.Reset();
        }
        update
            .Bind(":state",
                  std::string_view(ReplayStateName(verified ? ReplayState::Verified : ReplayState::Failed)))
            .Bind(":reason", verified ? std::string_view() : std::string_view(failure))
            .Bind(":race", verified ? race : std::string_view())
            .Bind(":id", replayId)
            .Step();
        update.Reset();
        const bool written = sqlite3_changes(writer_->Handle()) > 0;
        if (verified) {
            mark.Bind(":id", replayId).Step();
            mark.Reset();
        }
        writer_->Execute("COMMIT");
        return written;
    } catch (...) {
        sameRace.Reset();
        update.Reset();
        mark.Reset();
        try {
            writer_->Execute("ROLLBACK");
        } catch (const StoreError&) {
        }
        throw;
    }
}

std::optional<PendingReplay> SqliteScoreStore::ClaimPendingReplay(std::string_view checker,
                                                                  std::chrono::seconds lease) {
    std::lock_guard lock(writerMutex_);
    SqliteStatement& claim = writer_->Prepared(
        "UPDATE replays SET lease_until = CAST(strftime('%s','now') AS INTEGER) + :lease, checker = :checker"
        " WHERE id = (SELECT id FROM replays WHERE state = 'pending' AND (lease_until IS NULL OR"
        " lease_until < CAST(strftime('%s','now') AS INTEGER)) ORDER BY id LIMIT 1)"
        " RETURNING id, score, bytes, name, country");
    std::optional<PendingReplay> claimed;
    try {
        claim.Bind(":lease", static_cast<int64_t>(lease.count())).Bind(":checker", checker);
        if (claim.Step())
            claimed = PendingReplay{claim.Int(0), claim.Int(1), claim.Blob(2), claim.Text(3), claim.Text(4)};
        while (claim.Step()) {
        }
    } catch (...) {
        claim.Reset();
        throw;
    }
    claim.Reset();
    return claimed;
}

std::optional<ReplayRecord> SqliteScoreStore::FindReplay(int64_t replayId) {
    ReadLease db(*this);
    SqliteStatement& find = db.Prepared(kFindReplaySql);
    find.Bind(":id", replayId);
    std::optional<ReplayRecord> record;
    if (find.Step()) record = ReadReplayRecord(find);
    find.Reset();
    return record;
}

std::vector<PendingReplay> SqliteScoreStore::PendingReplays(int64_t afterId, int64_t throughId,
                                                            int64_t limit) {
    std::lock_guard lock(writerMutex_);
    SqliteStatement& read = writer_->Prepared(
        "SELECT id, score, bytes, name, country FROM replays WHERE state = 'pending' AND id > :after"
        " AND id <= :through"
        " ORDER BY id LIMIT :limit");
    read.Bind(":after", afterId).Bind(":through", throughId).Bind(":limit", limit);
    std::vector<PendingReplay> pending;
    try {
        while (read.Step())
            pending.push_back(
                PendingReplay{read.Int(0), read.Int(1), read.Blob(2), read.Text(3), read.Text(4)});
    } catch (...) {
        read.Reset();
        throw;
    }
    read.Reset();
    return pending;
}

int64_t SqliteScoreStore::LatestReplayId() {
    std::lock_guard lock(writerMutex_);
    SqliteStatement& latest = writer_->Prepared("SELECT coalesce(max(id), 0) FROM replays");
    latest.Step();
    const int64_t id = latest.Int(0);
    latest.Reset();
    return id;
}

std::optional<std::vector<uint8_t>> SqliteScoreStore::VerifiedReplayFile(int64_t replayId) {
    ReadLease db(*this);
    SqliteStatement& read = db.Prepared("SELECT bytes FROM replays WHERE id = :id AND state = 'verified'");
    read.Bind(":id", replayId);
    std::optional<std::vector<uint8_t>> bytes;
    if (read.Step()) bytes = read.Blob(0);
    read.Reset();
    return bytes;
}

void SqliteScoreStore::CheckReachable() {
    SqliteConnection db(path_, SqliteConnection::Mode::ReadOnly);
    SqliteStatement& read = db.Prepared("SELECT max(version) FROM schema_migrations");
    if (!read.Step()) throw StoreError("the database " + path_ + " has no schema");
    read.Reset();
}

} // namespace vorlane::scores
