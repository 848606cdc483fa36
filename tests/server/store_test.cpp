// The ScoreStore contract, through the interface only, so that every database
// (VORLANE_TEST_DB_URL) is held to the same rules.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "server/ScoresProcess.h"

namespace vorlane::scores::testing {
namespace {

constexpr int64_t kDay = 86'400;
constexpr int64_t kNow = 1'800'000'000;

NewScore Entry(const std::string& name, int64_t score, int64_t at, const std::string& country = "_______",
               const std::string& client = "c1") {
    return NewScore{name, country, score, at, client};
}

std::vector<std::string> Names(const std::vector<RankedScore>& rows) {
    std::vector<std::string> names;
    for (const RankedScore& row : rows)
        names.push_back(row.name);
    return names;
}

TEST(ScoreStore, OrdersByScoreThenSubmissionAndRanksEveryFilter) {
    TestDatabase db;
    auto store = db.Open();
    const std::vector<InsertOutcome> outcomes = store->InsertBatch(std::vector<NewScore>{
        Entry("OLD", 500, kNow - 40 * kDay, "Chile"),
        Entry("TIE1", 300, kNow - 2 * kDay, "Peru"),
        Entry("TOP", 900, kNow - 3600, "Peru"),
        Entry("TIE2", 300, kNow - 3 * kDay, "Chile"), // sent later, though its time says earlier
        Entry("LOW", 5, kNow - 60, "Peru"),
    });
    EXPECT_EQ(outcomes, std::vector<InsertOutcome>(5, InsertOutcome::Stored));

    EXPECT_EQ(Names(store->Page({}, 0, 10)), (std::vector<std::string>{"TOP", "OLD", "TIE1", "TIE2", "LOW"}));
    const std::vector<RankedScore> second = store->Page({}, 2, 2);
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(second[0].name, "TIE1");
    EXPECT_EQ(second[0].rank, 3);
    EXPECT_EQ(second[1].rank, 4);
    EXPECT_EQ(second[0].country, "Peru");
    EXPECT_EQ(second[0].score, 300);
    EXPECT_EQ(second[0].submittedAt, kNow - 2 * kDay);
    EXPECT_TRUE(store->Page({}, 5, 10).empty());

    const ScoreFilter week{kNow - 7 * kDay, ""};
    const ScoreFilter peru{0, "Peru"};
    const ScoreFilter peruToday{kNow - kDay, "Peru"};
    EXPECT_EQ(Names(store->Page(week, 0, 10)), (std::vector<std::string>{"TOP", "TIE1", "TIE2", "LOW"}));
    EXPECT_EQ(Names(store->Page(peru, 0, 10)), (std::vector<std::string>{"TOP", "TIE1", "LOW"}));
    EXPECT_EQ(Names(store->Page(peruToday, 0, 10)), (std::vector<std::string>{"TOP", "LOW"}));
    EXPECT_EQ(store->Page(peruToday, 1, 10).front().rank, 2);

    // The rank a new score would get: after every score at least as high.
    EXPECT_EQ(store->RankFor({}, 901), 1);
    EXPECT_EQ(store->RankFor({}, 900), 2);
    EXPECT_EQ(store->RankFor({}, 300), 5);
    EXPECT_EQ(store->RankFor({}, 0), 6);
    EXPECT_EQ(store->RankFor(week, 400), 2);
    EXPECT_EQ(store->RankFor(peru, 300), 3);
    EXPECT_EQ(store->RankFor(peruToday, 10), 2);

    // A player's best row and its rank, within the filter.
    ASSERT_TRUE(store->BestOf({}, "TIE2"));
    EXPECT_EQ(store->BestOf({}, "TIE2")->rank, 4);
    EXPECT_EQ(store->BestOf(week, "TIE2")->rank, 3);
    EXPECT_EQ(store->BestOf(ScoreFilter{0, "Chile"}, "TIE2")->rank, 2);
    EXPECT_FALSE(store->BestOf(peru, "TIE2"));
    ASSERT_TRUE(store->BestOf({}, "tie2")) << "names match whatever their letter case";
    EXPECT_EQ(store->BestOf({}, "tie2")->rank, 4);
    EXPECT_FALSE(store->BestOf({}, "NOBODY"));
}

TEST(ScoreStore, ABestOfTakesThePlayersHighestAndEarliest) {
    TestDatabase db;
    auto store = db.Open();
    store->InsertBatch(std::vector<NewScore>{
        Entry("ANN", 100, kNow - 50, "_______", "a"), Entry("BOB", 700, kNow - 40, "_______", "b"),
        Entry("ANN", 700, kNow - 30, "_______", "c"), Entry("ANN", 700, kNow - 20, "_______", "d"),
        Entry("ANN", 50, kNow - 10, "_______", "e")});
    const std::optional<RankedScore> best = store->BestOf({}, "ANN");
    ASSERT_TRUE(best);
    EXPECT_EQ(best->score, 700);
    EXPECT_EQ(best->submittedAt, kNow - 30);
    EXPECT_EQ(best->rank, 2);
}

TEST(ScoreStore, KeepsOneOfTheSameResultFromTheSameSenderWithinTenMinutes) {
    TestDatabase db;
    auto store = db.Open();
    using O = InsertOutcome;
    // Within one batch, and against rows of earlier batches.
    EXPECT_EQ(store->InsertBatch(std::vector<NewScore>{
                  Entry("A", 5, kNow), Entry("A", 5, kNow + 1), Entry("A", 5, kNow + 1, "_______", "c2"),
                  Entry("A", 10, kNow + 1), Entry("B", 5, kNow + 1), Entry("A", 5, kNow + 1, "Chile")}),
              (std::vector<O>{O::Stored, O::Duplicate, O::Stored, O::Stored, O::Stored, O::Stored}));
    EXPECT_EQ(store->InsertBatch(std::vector<NewScore>{Entry("A", 5, kNow + kDuplicateWindowSeconds - 1),
                                                       Entry("A", 5, kNow + kDuplicateWindowSeconds + 2)}),
              (std::vector<O>{O::Duplicate, O::Stored}));
    EXPECT_EQ(AllRows(*store).size(), 6u);
    EXPECT_TRUE(store->InsertBatch(std::vector<NewScore>{}).empty());
}

// A batch goes to PostgreSQL as one piece of JSON: every character of a name or a
// country comes back as it went in, and the duplicate check compares the same texts.
TEST(ScoreStore, ABatchKeepsEveryCharacterOfItsTexts) {
    TestDatabase db;
    auto store = db.Open();
    const std::vector<std::pair<std::string, std::string>> texts = {
        {"QUOTE\"D", "Chile"},
        {"BACK\\SLASH", "\\"},
        {"TAB\tNEWLINE\n", "\x01"},
        {"{\"i\":0}", "[1,2]"},
        {"\xC3\x96ZIL \xE2\x82\xAC", "\xC3\x96sterreich"},
        {"", ","},
    };
    std::vector<NewScore> batch;
    for (size_t i = 0; i < texts.size(); ++i)
        batch.push_back(Entry(texts[i].first, 1000 - 10 * static_cast<int64_t>(i), kNow, texts[i].second));
    batch.push_back(batch[0]); // the same result again in the batch: kept once
    using O = InsertOutcome;
    std::vector<O> expected(texts.size(), O::Stored);
    expected.push_back(O::Duplicate);
    EXPECT_EQ(store->InsertBatch(batch), expected);
    // Against the rows stored: the same again in a later batch.
    EXPECT_EQ(store->InsertBatch(std::vector<NewScore>{batch[1], batch[2]}),
              (std::vector<O>{O::Duplicate, O::Duplicate}));

    const std::vector<RankedScore> rows = AllRows(*store);
    ASSERT_EQ(rows.size(), texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rows[i].name, texts[i].first);
        EXPECT_EQ(rows[i].country, texts[i].second);
    }
}

TEST(ScoreStore, KeepsRowsAndSaltAcrossReopening) {
    TestDatabase db;
    std::string salt;
    {
        auto store = db.Open();
        salt = store->ClientSalt();
        EXPECT_GE(salt.size(), 16u);
        store->InsertBatch(std::vector<NewScore>{Entry("KEPT", 55, kNow, "\xC3\x96sterreich")});
    }
    auto again = db.Open();
    EXPECT_EQ(again->ClientSalt(), salt);
    const std::vector<RankedScore> rows = AllRows(*again);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].name, "KEPT");
    EXPECT_EQ(rows[0].country, "\xC3\x96sterreich");

    TestDatabase other;
    EXPECT_NE(other.Open()->ClientSalt(), salt) << "each database makes its own";
}

TEST(ScoreStore, ReadsWhileTheWriterCommits) {
    TestDatabase db;
    auto store = db.Open();
    std::atomic<bool> writing{true};
    std::thread writer([&] {
        for (int batch = 0; batch < 40; ++batch) {
            std::vector<NewScore> entries;
            for (int i = 0; i < 50; ++i)
                entries.push_back(Entry("W", 5 * (batch * 50 + i + 1), kNow, "_______", "w"));
            store->InsertBatch(entries);
        }
        writing = false;
    });
    int64_t lastCount = 0;
    while (writing) {
        const int64_t rank = store->RankFor({}, 0);
        EXPECT_GE(rank, lastCount) << "a reader sees whole batches only, never fewer rows than before";
        EXPECT_EQ((rank - 1) % 50, 0) << "a reader sees whole batches only";
        lastCount = rank;
        const std::vector<RankedScore> top = store->Page({}, 0, 3);
        for (size_t i = 1; i < top.size(); ++i)
            EXPECT_GT(top[i - 1].score, top[i].score);
    }
    writer.join();
    EXPECT_EQ(store->RankFor({}, 0), 2001);
}

TEST(ScoreStore, AnUnknownOrUnreachableDatabaseIsAClearError) {
    for (const char* url :
         {"mysql://x", "sqlite:", "sqlite:/nonexistent-folder/for/sure/x.db", "scores.db"}) {
        try {
            OpenScoreStore(url);
            ADD_FAILURE() << url << " opened";
        } catch (const StoreError& error) {
            EXPECT_NE(std::string(error.what()), "") << url;
            EXPECT_EQ(std::string(error.what()).find('\n'), std::string::npos) << url;
        }
    }
}

} // namespace
} // namespace vorlane::scores::testing
