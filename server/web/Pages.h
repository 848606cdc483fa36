#pragma once
// The score server's web pages: the game's home page and the online table, both
// plain HTML with the style sheet kept apart (no script, nothing inline) so that a
// strict Content-Security-Policy holds.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/ScoreStore.h"

namespace vorlane::scores {

inline constexpr std::string_view kStylesheetPath = "/static/vorlane.css";
inline constexpr int64_t kRowsPerPage = 50;
// The largest replay file the server takes (a long game is a few KiB a minute).
inline constexpr size_t kMaxReplayBytes = 256 * 1024;

enum class Period { Day, Week, Month, All };

// "day", "week", "month", "all"; false for anything else.
bool ParsePeriod(std::string_view text, Period& period);
std::string_view PeriodName(Period period);
// The first second a period takes in, seen from `now`; 0 for all time.
int64_t PeriodStart(Period period, int64_t now);

// What the table page shows.
struct TableView {
    Period period = Period::All;
    std::string country; // filter; empty for all
    int64_t since = 0;   // the period's first second (PeriodStart); 0 for all time
    int64_t page = 1;    // from 1
    std::string name;    // the player to highlight; empty for none
    bool verifiedOnly = false;
    std::vector<RankedScore> rows;
    bool hasNextPage = false;
    std::optional<RankedScore> highlighted; // the player's best row within the filter
};

std::string RenderTablePage(const TableView& view);
std::string RenderHomePage(std::string_view publicUrl);
std::string_view Stylesheet();

// The table's address with these choices: "/cgi/version.pl?prg=Vorlane&show&type=0&..."
std::string TableLink(Period period, std::string_view country, int64_t page, std::string_view name,
                      bool verifiedOnly = false);

// Where a verified replay's file is downloaded: "/api/replays/ID.vrp".
std::string ReplayFileLink(int64_t replayId);

} // namespace vorlane::scores
