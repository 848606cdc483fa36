// Pages, ranks and a player's best at any depth come from counts the store keeps
// beside the rows. Their answers are held here against the table's definition,
// worked out in memory on a random table full of ties, countries in several letter
// cases, verified rows and scores on both sides of the counts' level boundaries.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <algorithm>
#include <random>

#include "server/ScoresProcess.h"

namespace vorlane::scores::testing {
namespace {

constexpr int64_t kNow = 1'800'000'000;

std::string Folded(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// One row as the test put it in; rows are told apart by their time, which is unique.
struct ModelRow {
    std::string name;
    std::string country;
    int64_t score = 0;
    int64_t at = 0;
    bool verified = false;
};

// The table as its definition reads: the filter's rows, higher score first, equal
// scores in the order they came; names and countries matched whatever their case.
class TableModel {
  public:
    void Add(ModelRow row) { rows_.push_back(std::move(row)); }
    void Verify(size_t index) { rows_[index].verified = true; }
    const std::vector<ModelRow>& Rows() const { return rows_; }

    std::vector<const ModelRow*> Ordered(const ScoreFilter& filter) const {
        std::vector<const ModelRow*> shown;
        for (const ModelRow& row : rows_)
            if (Passes(row, filter)) shown.push_back(&row);
        std::stable_sort(shown.begin(), shown.end(),
                         [](const ModelRow* a, const ModelRow* b) { return a->score > b->score; });
        return shown;
    }
    int64_t RankFor(const ScoreFilter& filter, int64_t score) const {
        int64_t atLeast = 0;
        for (const ModelRow& row : rows_)
            atLeast += Passes(row, filter) && row.score >= score ? 1 : 0;
        return atLeast + 1;
    }
    // The player's best row and its rank, or none.
    std::optional<std::pair<const ModelRow*, int64_t>> BestOf(const ScoreFilter& filter,
                                                              const std::string& name) const {
        const std::vector<const ModelRow*> ordered = Ordered(filter);
        for (size_t i = 0; i < ordered.size(); ++i)
            if (Folded(ordered[i]->name) == Folded(name))
                return std::make_pair(ordered[i], static_cast<int64_t>(i) + 1);
        return std::nullopt;
    }

  private:
    static bool Passes(const ModelRow& row, const ScoreFilter& filter) {
        return row.at >= filter.since &&
               (filter.country.empty() || Folded(row.country) == Folded(filter.country)) &&
               (!filter.verifiedOnly || row.verified);
    }
    std::vector<ModelRow> rows_;
};

// "P17", "sender5": a prefix and a number.
std::string Label(const char* prefix, uint64_t number) {
    std::string label = prefix;
    label += std::to_string(number);
    return label;
}

std::string Describe(const ScoreFilter& filter) {
    std::string text = Label("since ", static_cast<uint64_t>(filter.since));
    text += " country '";
    text += filter.country;
    text += filter.verifiedOnly ? "' verified" : "'";
    return text;
}

// Fills the store and the model alike: `count` rows, a fifth of them verified
// through their replays.
void FillRandomTable(ScoreStore& store, TableModel& model, int count, uint32_t seed) {
    std::mt19937 rng(seed);
    const std::vector<std::string> countries{"Peru",  "PERU",  "peru",    "Chile",
                                             "chile", "Japan", "_______", ""};
    // Many ties, and scores next to every level boundary of the counts (256, 65,536, 16,777,216).
    const std::vector<int64_t> edges{0,          1,          255,        256,        257,
                                     65'535,     65'536,     65'537,     16'777'215, 16'777'216,
                                     16'777'217, 99'999'999, 100'000'000};
    std::vector<NewScore> batch;
    for (int i = 0; i < count; ++i) {
        const uint32_t pick = rng() % 10;
        const int64_t score = pick < 5   ? static_cast<int64_t>(rng() % 40) * 25
                              : pick < 8 ? edges[rng() % edges.size()]
                                         : static_cast<int64_t>(rng() % 100'000'001);
        std::string name = Label("P", rng() % 120);
        if (rng() % 3 == 0) name = Folded(name);
        ModelRow row{name, countries[rng() % countries.size()], score, kNow - count + i, false};
        batch.push_back(
            NewScore{row.name, row.country, row.score, row.at, Label("sender", static_cast<uint64_t>(i))});
        model.Add(row);
        if (batch.size() == 97 || i + 1 == count) {
            const std::vector<InsertOutcome> outcomes = store.InsertBatch(batch);
            ASSERT_EQ(outcomes, std::vector<InsertOutcome>(batch.size(), InsertOutcome::Stored));
            batch.clear();
        }
    }
    for (size_t i = 0; i < model.Rows().size(); ++i) {
        if (rng() % 5 != 0) continue;
        const ModelRow& row = model.Rows()[i];
        const ReplayRecord record = store.StoreReplay(NewReplay{
            row.name, row.country, row.score, kNow, Label("sender", static_cast<uint64_t>(i)), {1, 2, 3}});
        ASSERT_EQ(record.state, ReplayState::Pending) << "row " << i;
        store.RecordReplayVerdict(record.id, true, "");
        model.Verify(i);
    }
}

void ExpectSameTable(ScoreStore& store, const TableModel& model, int64_t since) {
    std::vector<ScoreFilter> filters;
    for (const std::string country : {"", "peru", "CHILE", "Japan", "_______", "Nowhere"})
        for (const bool verified : {false, true})
            filters.push_back(ScoreFilter{since, country, verified});
    for (const ScoreFilter& filter : filters) {
        SCOPED_TRACE(Describe(filter));
        const std::vector<const ModelRow*> want = model.Ordered(filter);
        const auto total = static_cast<int64_t>(want.size());
        // Whole table in one read, then pages that start anywhere, ties split across pages.
        std::vector<std::pair<int64_t, int64_t>> windows{{0, total + 10}};
        for (const int64_t offset : {int64_t{0}, int64_t{1}, int64_t{7}, int64_t{49}, int64_t{50}, total / 3,
                                     total / 2, total - 1, total, total + 3})
            for (const int64_t limit : {int64_t{1}, int64_t{3}, int64_t{51}})
                if (offset >= 0) windows.emplace_back(offset, limit);
        for (const auto& [offset, limit] : windows) {
            const std::vector<RankedScore> got = store.Page(filter, offset, limit);
            const int64_t expected = std::clamp<int64_t>(total - offset, 0, limit);
            ASSERT_EQ(static_cast<int64_t>(got.size()), expected)
                << "offset " << offset << " limit " << limit;
            for (size_t i = 0; i < got.size(); ++i) {
                const ModelRow& row = *want[static_cast<size_t>(offset) + i];
                EXPECT_EQ(got[i].rank, offset + static_cast<int64_t>(i) + 1);
                EXPECT_EQ(got[i].submittedAt, row.at) << "offset " << offset << " row " << i;
                EXPECT_EQ(got[i].score, row.score);
                EXPECT_EQ(got[i].name, row.name);
                EXPECT_EQ(got[i].country, row.country);
                EXPECT_EQ(got[i].verified, row.verified);
            }
        }
        for (const int64_t score :
             {int64_t{0}, int64_t{1}, int64_t{24}, int64_t{25}, int64_t{26}, int64_t{255}, int64_t{256},
              int64_t{65'536}, int64_t{16'777'216}, int64_t{16'777'217}, int64_t{50'000'000},
              int64_t{100'000'000}, int64_t{100'000'001}})
            EXPECT_EQ(store.RankFor(filter, score), model.RankFor(filter, score)) << "score " << score;
        for (const std::string name : {"P1", "p1", "P17", "p42", "P119", "P120", "p"}) {
            const auto want = model.BestOf(filter, name);
            const std::optional<RankedScore> got = store.BestOf(filter, name);
            ASSERT_EQ(got.has_value(), want.has_value()) << name;
            if (!got) continue;
            EXPECT_EQ(got->submittedAt, want->first->at) << name;
            EXPECT_EQ(got->rank, want->second) << name;
        }
    }
}

TEST(RankDepth, PagesRanksAndBestsAgreeWithTheTablesDefinition) {
    TestDatabase db;
    auto store = db.Open();
    TableModel model;
    ASSERT_NO_FATAL_FAILURE(FillRandomTable(*store, model, 1200, 21));
    ExpectSameTable(*store, model, 0);
    // A period (the rows of the latest half) takes the rows' own order too.
    ExpectSameTable(*store, model, kNow - 600);
}

TEST(RankDepth, NamesAndCountriesMatchWhateverTheirLetterCase) {
    TestDatabase db;
    auto store = db.Open();
    store->InsertBatch(std::vector<NewScore>{{"Ann", "Peru", 900, kNow, "a"},
                                             {"BOB", "peru", 800, kNow, "b"},
                                             {"bob", "PERU", 950, kNow, "c"},
                                             {"Cy", "Chile", 990, kNow, "d"}});
    struct Case {
        int64_t since;
        const char* country;
        const char* name;
        int64_t score; // of the best row found; 0 for none
        int64_t rank;
    };
    const Case cases[] = {
        {0, "", "ann", 900, 3},     {0, "", "ANN", 900, 3},     {0, "", "Bob", 950, 2},
        {0, "pErU", "bob", 950, 1}, {0, "peru", "ANN", 900, 2}, {kNow - 10, "PERU", "bOb", 950, 1},
        {0, "chile", "ann", 0, 0},
    };
    for (const Case& c : cases) {
        const ScoreFilter filter{c.since, c.country, false};
        SCOPED_TRACE(Describe(filter) + " name " + std::string(c.name));
        const std::optional<RankedScore> best = store->BestOf(filter, c.name);
        ASSERT_EQ(best.has_value(), c.score != 0);
        if (!best) continue;
        EXPECT_EQ(best->score, c.score);
        EXPECT_EQ(best->rank, c.rank);
    }
    for (const std::string country : {"peru", "PERU", "Peru"}) {
        EXPECT_EQ(AllRows(*store, {0, country}).size(), 3u) << country;
        EXPECT_EQ(AllRows(*store, {kNow - 10, country}).size(), 3u) << country;
        EXPECT_EQ(store->RankFor({0, country}, 900), 3) << country;
    }
}

void RunSql(const std::filesystem::path& path, const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &error);
    const std::string message = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << message;
}

// A database written before the counts existed: the schema of the program before,
// with rows that program put in. Opening it builds the counts from the rows.
TEST(RankDepth, AnOlderSqliteDatabaseGetsItsCountsAtStart) {
    TestDatabase db;
    if (!db.IsSqlite()) GTEST_SKIP() << "the older schema is SQLite's";
    { db.Open(); }
    ASSERT_NO_FATAL_FAILURE(RunSql(db.SqlitePath(), R"(
        DROP TRIGGER scores_counted; DROP TRIGGER scores_uncounted; DROP TRIGGER scores_recounted;
        DROP TABLE rank_counts; DROP TABLE rank_levels; DROP INDEX scores_verified_by_country;
        DROP INDEX scores_by_country; DROP INDEX scores_by_name;
        CREATE INDEX scores_by_country ON scores (country, score DESC, id, submitted_at);
        CREATE INDEX scores_by_name ON scores (name, score DESC, id);
        DROP INDEX replays_verified_race; ALTER TABLE replays DROP COLUMN race;
        ALTER TABLE replays DROP COLUMN lease_until; ALTER TABLE replays DROP COLUMN checker;
        DELETE FROM schema_migrations WHERE version >= 5; DELETE FROM settings WHERE key = 'rank_counts';
        INSERT INTO scores (name, country, score, submitted_at, client_hash, verified) VALUES
          ('A', 'Peru', 300, 1, 'x', 0), ('B', 'Chile', 300, 2, 'x', 1), ('C', 'peru', 70000, 3, 'x', 1),
          ('D', 'Peru', 5, 4, 'x', 0);)"));
    auto store = db.Open();
    std::vector<std::string> names;
    for (const RankedScore& row : store->Page({}, 1, 10))
        names.push_back(row.name + std::to_string(row.rank));
    EXPECT_EQ(names, (std::vector<std::string>{"A2", "B3", "D4"}));
    EXPECT_EQ(store->RankFor({0, "PERU"}, 300), 3);
    EXPECT_EQ(store->RankFor({0, "", true}, 300), 3);
    EXPECT_EQ(store->BestOf({0, "peru", true}, "c")->rank, 1);
    // Rows changed by hand afterwards are counted by the database itself.
    store.reset();
    ASSERT_NO_FATAL_FAILURE(
        RunSql(db.SqlitePath(),
               "DELETE FROM scores WHERE name = 'C'; UPDATE scores SET score = 400 WHERE name = 'D';"));
    store = db.Open();
    EXPECT_EQ(store->RankFor({}, 301), 2);
    EXPECT_EQ(store->BestOf({}, "B")->rank, 3);
    EXPECT_EQ(store->RankFor({0, "peru"}, 0), 3);
}

} // namespace
} // namespace vorlane::scores::testing
