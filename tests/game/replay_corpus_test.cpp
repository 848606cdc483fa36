// The replay corpus (tests/replay/corpus): every race recorded there plays back to the
// outcome, the frame-by-frame digest of the race's state and the counts its manifest
// keeps. Any change to a rule of the race - driving, traffic, pedestrians, weapons,
// timers, scoring, the track, the random draws - changes one of them.
#include "FormFixture.h"

#include "play/CorpusReplay.h"

#include "engine/ArchiveReader.h"
#include "replay/ReplayData.h"

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <set>
#include <string>

namespace vorlane {
namespace {

namespace fs = std::filesystem;

fs::path CorpusDir() {
    return fs::path(VORLANE_SOURCE_DIR) / "tests" / "replay" / "corpus";
}

const play::CorpusManifest& Manifest() {
    static const play::CorpusManifest manifest = play::ReadCorpusManifest(CorpusDir() / "manifest");
    return manifest;
}

std::vector<std::string> ReplayNames() {
    std::vector<std::string> names;
    try {
        for (const play::CorpusEntry& e : Manifest().Entries)
            names.push_back(e.File);
    } catch (const std::exception&) {
        names.push_back("no-manifest"); // the test of that name says what is wrong
    }
    return names;
}

TEST(ReplayCorpus, TheManifestListsEveryReplayOfTheFolderUnderTodaysRules) {
    const play::CorpusManifest& m = Manifest();
    EXPECT_EQ(m.RulesId, kGameRulesId)
        << "the corpus was recorded under other rules: a change of rules is re-recorded with the new id";
    std::set<std::string> listed, present;
    for (const play::CorpusEntry& e : m.Entries)
        EXPECT_TRUE(listed.insert(e.File).second) << e.File << " listed twice";
    for (const fs::directory_entry& f : fs::directory_iterator(CorpusDir()))
        if (f.path().extension() == ".vrp") present.insert(f.path().filename().string());
    EXPECT_EQ(listed, present);
    EXPECT_GE(listed.size(), 6u);
}

class ReplayCorpusPlay : public ::testing::TestWithParam<std::string> {};

TEST_P(ReplayCorpusPlay, PlaysBackToItsRecordedOutcomeAndFrameByFrameDigest) {
    if (!test::GeneratedDataPresent()) GTEST_SKIP() << "no generated Data/";
    const play::CorpusManifest& m = Manifest();
    const play::CorpusEntry* entry = nullptr;
    for (const play::CorpusEntry& e : m.Entries)
        if (e.File == GetParam()) entry = &e;
    ASSERT_NE(entry, nullptr);
    const play::CorpusPlay played = play::PlayCorpusReplay(
        ReadWholeFile((CorpusDir() / entry->File).string()), test::GeneratedDataRoot());
    EXPECT_EQ(played.Verdict.Kind, ReplayVerdictKind::Ok) << played.Verdict.Message;
    // Field by field, so that a failure names what changed (the outcome, the digest,
    // the counts of crashes, shots, ...; the marks tell after how many frames).
    ASSERT_EQ(played.Fields.size(), entry->Fields.size()) << play::CorpusLine(entry->File, played.Fields);
    for (size_t i = 0; i < played.Fields.size(); ++i) {
        EXPECT_EQ(played.Fields[i].first, entry->Fields[i].first);
        EXPECT_EQ(played.Fields[i].second, entry->Fields[i].second)
            << entry->File << ": " << entry->Fields[i].first << " differs (manifest line " << entry->Line
            << ")";
    }
}

std::string TestName(const ::testing::TestParamInfo<std::string>& info) {
    std::string name;
    for (const char c : info.param.substr(0, info.param.rfind(".vrp")))
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Corpus, ReplayCorpusPlay, ::testing::ValuesIn(ReplayNames()), TestName);

} // namespace
} // namespace vorlane
