#include "web/Pages.h"

#include <array>

#include "persist/WebLinks.h"
#include "web/WebText.h"

namespace vorlane::scores {
namespace {

struct PeriodInfo {
    Period period;
    std::string_view name;
    std::string_view label;
    int64_t seconds;
    std::string_view window; // what the label means, said on the page
};

// The periods are windows that end now, not calendar days or weeks.
constexpr std::array<PeriodInfo, 4> kPeriods{{
    {Period::Day, "day", "Today", 24 * 3600, "the last 24 hours, so it lists yesterday's dates too"},
    {Period::Week, "week", "This week", 7 * 24 * 3600, "the last 7 days"},
    {Period::Month, "month", "This month", 30 * 24 * 3600, "the last 30 days"},
    {Period::All, "all", "All time", 0, ""},
}};

const PeriodInfo& Info(Period period) {
    for (const PeriodInfo& info : kPeriods)
        if (info.period == period) return info;
    return kPeriods.back();
}

std::string PageHead(std::string_view title) {
    std::string html = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>";
    html += HtmlText(title);
    html += "</title>\n<link rel=\"stylesheet\" href=\"";
    html += kStylesheetPath;
    html += "\">\n</head>\n<body>\n<header class=\"banner\"><a class=\"logo\" href=\"/\">VORLANE</a>"
            "<nav><a href=\"/\">Home</a> <a href=\"";
    html += HtmlText(kOnlineTablePath);
    html += "\">High scores</a></nav></header>\n<main>\n";
    return html;
}

constexpr std::string_view kPageFoot =
    "</main>\n<footer>Vorlane &middot; online high scores</footer>\n</body>\n</html>\n";

// "12 345 678": digits in groups, as the game's own table shows them.
std::string GroupedDigits(int64_t value) {
    std::string digits = std::to_string(value);
    std::string grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += "\u2009";
        grouped += digits[i];
    }
    return grouped;
}

std::string ShownTime(int64_t seconds) {
    const std::string iso = IsoUtcTime(seconds);
    // "2026-12-10T13:45:00Z" shown as "2026-12-10 13:45"
    return "<time datetime=\"" + iso + "\">" + iso.substr(0, 10) + " " + iso.substr(11, 5) + "</time>";
}

std::string ScoreRow(const RankedScore& row, const TableView& view, bool highlighted) {
    std::string html = highlighted ? "<tr class=\"you\">" : "<tr>";
    html += "<td class=\"rank\">" + std::to_string(row.rank) + "</td>";
    html += "<td class=\"name\">" + HtmlText(ShownName(row.name)) + "</td>";
    html += "<td class=\"country\"><a href=\"" +
            HtmlText(TableLink(view.period, row.country, 1, view.name, view.verifiedOnly)) + "\">" +
            HtmlText(ShownCountry(row.country)) + "</a></td>";
    html += "<td class=\"score\">" + GroupedDigits(row.score) + "</td>";
    html += "<td class=\"when\">" + ShownTime(row.submittedAt) + "</td>";
    // A verified row: its replay was played through on the server and gave this score.
    if (row.verified)
        html += "<td class=\"verified\"><a href=\"" + HtmlText(ReplayFileLink(row.replayId)) +
                "\" title=\"verified by its replay - download it\">&#10003; replay</a></td></tr>\n";
    else
        html += "<td class=\"verified\"></td></tr>\n";
    return html;
}

std::string FilterForm(const TableView& view) {
    std::string html = "<form class=\"filters\" method=\"get\" action=\"/cgi/version.pl\">"
                       "<input type=\"hidden\" name=\"prg\" value=\"Vorlane\">"
                       "<input type=\"hidden\" name=\"show\" value=\"\">"
                       "<input type=\"hidden\" name=\"type\" value=\"0\">"
                       "<input type=\"hidden\" name=\"period\" value=\"";
    html += PeriodName(view.period);
    html += view.verifiedOnly ? "\"><input type=\"hidden\" name=\"verified\" value=\"1" : "";
    html += "\"><label>Player <input type=\"text\" name=\"name\" maxlength=\"64\" value=\"" +
            HtmlText(view.name) +
            "\"></label> <label>Country <input type=\"text\" name=\"country\" maxlength=\"64\" value=\"" +
            HtmlText(view.country) + "\"></label> <button type=\"submit\">Show</button></form>\n";
    return html;
}

} // namespace

bool ParsePeriod(std::string_view text, Period& period) {
    for (const PeriodInfo& info : kPeriods) {
        if (info.name == text) {
            period = info.period;
            return true;
        }
    }
    return false;
}

std::string_view PeriodName(Period period) {
    return Info(period).name;
}

int64_t PeriodStart(Period period, int64_t now) {
    const int64_t seconds = Info(period).seconds;
    return seconds == 0 ? 0 : now - seconds;
}

std::string ReplayFileLink(int64_t replayId) {
    return "/api/replays/" + std::to_string(replayId) + ".vrp";
}

std::string TableLink(Period period, std::string_view country, int64_t page, std::string_view name,
                      bool verifiedOnly) {
    std::string link = kOnlineTablePath;
    if (period != Period::All) link += "&period=" + std::string(PeriodName(period));
    if (!country.empty()) link += "&country=" + UrlQueryValue(country);
    if (page > 1) link += "&page=" + std::to_string(page);
    if (!name.empty()) link += "&name=" + UrlQueryValue(name);
    if (verifiedOnly) link += "&verified=1";
    return link;
}

std::string RenderTablePage(const TableView& view) {
    std::string html = PageHead("Vorlane - online high scores");
    html += "<h1>High scores</h1>\n<nav class=\"periods\">";
    for (const PeriodInfo& info : kPeriods) {
        const bool current = info.period == view.period;
        html += current ? "<a class=\"current\" href=\"" : "<a href=\"";
        html += HtmlText(TableLink(info.period, view.country, 1, view.name, view.verifiedOnly)) + "\">" +
                std::string(info.label) + "</a> ";
    }
    html += "</nav>\n";
    if (view.period != Period::All) {
        const PeriodInfo& info = Info(view.period);
        const std::string from = IsoUtcTime(view.since);
        html += "<p class=\"window\"><strong>" + std::string(info.label) + "</strong> is " +
                std::string(info.window) + ": scores sent since " + from.substr(0, 10) + " " +
                from.substr(11, 5) + " UTC.</p>\n";
    }
    if (!view.country.empty()) {
        html += "<p class=\"filter\">Country: <strong>" + HtmlText(ShownCountry(view.country)) +
                "</strong> <a href=\"" +
                HtmlText(TableLink(view.period, "", 1, view.name, view.verifiedOnly)) +
                "\">all countries</a></p>\n";
    }
    html += "<p class=\"filter\">";
    if (view.verifiedOnly)
        html += "Verified scores only <a href=\"" +
                HtmlText(TableLink(view.period, view.country, 1, view.name, false)) + "\">all scores</a>";
    else
        html += "<a href=\"" + HtmlText(TableLink(view.period, view.country, 1, view.name, true)) +
                "\">verified scores only</a>";
    html += "</p>\n";
    html += FilterForm(view);

    if (!view.name.empty()) {
        html += "<p class=\"player\">";
        if (view.highlighted) {
            const int64_t page = (view.highlighted->rank - 1) / kRowsPerPage + 1;
            html += "Best of <strong>" + HtmlText(ShownName(view.name)) + "</strong>: rank <strong>" +
                    std::to_string(view.highlighted->rank) + "</strong> with " +
                    GroupedDigits(view.highlighted->score);
            if (page != view.page)
                html += " <a href=\"" +
                        HtmlText(TableLink(view.period, view.country, page, view.name, view.verifiedOnly)) +
                        "\">(page " + std::to_string(page) + ")</a>";
        } else {
            html += "No score of <strong>" + HtmlText(ShownName(view.name)) + "</strong> in this table.";
        }
        html += "</p>\n";
    }

    if (view.rows.empty()) {
        html += "<p class=\"empty\">No scores here yet. Drive one in!</p>\n";
    } else {
        html +=
            "<table class=\"scores\">\n<thead><tr><th class=\"rank\">Rank</th><th>Name</th><th>Country</th>"
            "<th class=\"score\">Score</th><th>When (UTC)</th><th>Verified</th></tr></thead>\n<tbody>\n";
        bool highlightShown = false;
        for (const RankedScore& row : view.rows) {
            const bool mine = view.highlighted && view.highlighted->id == row.id;
            highlightShown = highlightShown || mine;
            html += ScoreRow(row, view, mine);
        }
        html += "</tbody>\n";
        if (view.highlighted && !highlightShown) {
            html += "<tbody class=\"offpage\">\n" + ScoreRow(*view.highlighted, view, true) + "</tbody>\n";
        }
        html += "</table>\n";
    }

    html += "<nav class=\"pages\">";
    if (view.page > 1)
        html += "<a href=\"" +
                HtmlText(TableLink(view.period, view.country, view.page - 1, view.name, view.verifiedOnly)) +
                "\">&larr; Higher</a> ";
    html += "<span>Page " + std::to_string(view.page) + "</span>";
    if (view.hasNextPage)
        html += " <a href=\"" +
                HtmlText(TableLink(view.period, view.country, view.page + 1, view.name, view.verifiedOnly)) +
                "\">Lower &rarr;</a>";
    html += "</nav>\n";
    html += kPageFoot;
    return html;
}

std::string RenderHomePage(std::string_view publicUrl) {
    std::string html = PageHead("Vorlane");
    html += R"(<h1>Vorlane</h1>
<p class="lead">An arcade race seen from above: drive your car up a road that is new every time,
past opponents, pedestrians, lamp posts and walls, and reach the finish line before the clock runs out.
Each level is longer than the one before. Pick up points, an extra life, nitro, a machine gun and a rocket projector on the way.</p>
<p class="lead">Three hits wreck the car, and when the last life is gone the race is over. A score good enough for
the ten best goes into the game's own table, and you can send it here, to the online table that every player shares.</p>
<p><a class="button" href=")";
    html += HtmlText(kOnlineTablePath);
    html += R"(">See the online high scores</a></p>
<h2>Keys</h2>
<table class="keys">
<tr><th>Arrow Left / Right</th><td>steer</td></tr>
<tr><th>Arrow Up / Down</th><td>speed up, slow down</td></tr>
<tr><th>Space</th><td>handbrake</td></tr>
<tr><th>Z or Ctrl</th><td>fire the gun or the rocket projector</td></tr>
<tr><th>X or Shift</th><td>nitro</td></tr>
<tr><th>H</th><td>horn</td></tr>
<tr><th>P</th><td>pause and go on</td></tr>
<tr><th>Esc</th><td>back to the main menu</td></tr>
<tr><th>Alt + Enter</th><td>window or full screen</td></tr>
</table>
<h2>For other programs</h2>
<p>The table is also there as JSON: <code>)";
    html += HtmlText(publicUrl);
    html += R"(/api/scores?period=week&amp;limit=10</code>, and the rank a score would get:
<code>)";
    html += HtmlText(publicUrl);
    html += "/api/rank?score=12345</code>.</p>\n";
    html += kPageFoot;
    return html;
}

std::string_view Stylesheet() {
    return R"css(@font-face {
  font-family: "Roboto Condensed"; font-weight: 400; font-style: normal; font-display: swap;
  src: url("/fonts/roboto-condensed.ttf") format("truetype");
}
@font-face {
  font-family: "Roboto Condensed"; font-weight: 700; font-style: normal; font-display: swap;
  src: url("/fonts/roboto-condensed-bold.ttf") format("truetype");
}
@font-face {
  font-family: "DSEG14 Classic"; font-weight: 400; font-style: normal; font-display: swap;
  src: url("/fonts/dseg14-classic.ttf") format("truetype");
}
:root {
  --night: #07103a;
  --deep: #0d1d5c;
  --lane: #1b2f80;
  --orange: #ff8a1c;
  --amber: #ffc04a;
  --text: #e6ecff;
  --dim: #8fa0d8;
}
* { box-sizing: border-box; }
html { background: var(--night); }
body {
  margin: 0; min-height: 100vh; color: var(--text);
  font-family: "Roboto Condensed", "Arial Narrow", sans-serif; font-size: 17px;
  background:
    repeating-linear-gradient(180deg, transparent 0 46px, rgba(255,255,255,0.035) 46px 52px),
    linear-gradient(180deg, var(--deep), var(--night) 70%);
}
a { color: var(--amber); }
a:hover, a:focus { color: var(--orange); }
.banner {
  display: flex; align-items: baseline; justify-content: space-between; flex-wrap: wrap;
  padding: 0.8rem 1.5rem; border-bottom: 3px solid var(--orange);
  background: linear-gradient(90deg, var(--lane), var(--night));
}
.banner nav a { margin-left: 1.2rem; text-decoration: none; font-weight: bold; }
.logo, h1, h2 {
  font-family: "Roboto Condensed", "Arial Narrow", sans-serif; font-weight: 700;
  letter-spacing: 0.06em; color: var(--orange); text-transform: uppercase;
  text-shadow: 2px 2px 0 #000, 0 0 12px rgba(255,138,28,0.45);
}
.logo { font-size: 2rem; text-decoration: none; font-style: italic; }
main { max-width: 60rem; margin: 0 auto; padding: 1rem 1.5rem 3rem; }
h1 { font-size: 2.6rem; margin: 0.8rem 0; }
h2 { font-size: 1.6rem; margin-top: 2rem; }
.lead { line-height: 1.5; max-width: 48rem; }
.button {
  display: inline-block; padding: 0.6rem 1.2rem; border: 2px solid var(--orange); border-radius: 4px;
  background: rgba(255,138,28,0.12); font-weight: bold; text-decoration: none;
}
.periods a { display: inline-block; margin: 0 0.4rem 0.6rem 0; padding: 0.3rem 0.8rem;
  border: 1px solid var(--lane); border-radius: 3px; text-decoration: none; }
.periods a.current { background: var(--orange); color: var(--night); border-color: var(--orange); font-weight: bold; }
.filters { margin: 0.6rem 0 1rem; color: var(--dim); }
.filters label { display: inline-block; margin: 0 0.6rem 0.4rem 0; }
.filters input { background: var(--night); color: var(--text); border: 1px solid var(--lane); padding: 0.3rem;
  font: inherit; width: 11rem; max-width: 100%; }
.filters button { background: var(--orange); color: var(--night); border: 0; padding: 0.35rem 0.9rem;
  font: inherit; font-weight: bold; cursor: pointer; }
table.scores { width: 100%; border-collapse: collapse; background: rgba(7,16,58,0.75); }
table.scores th { text-align: left; color: var(--amber); border-bottom: 2px solid var(--orange); padding: 0.4rem 0.6rem; }
table.scores td { padding: 0.35rem 0.6rem; border-bottom: 1px solid var(--lane); }
table.scores tbody tr:nth-child(odd) { background: rgba(27,47,128,0.35); }
table.scores .rank, table.scores .score { text-align: right; }
table.scores td.score, table.scores td.rank {
  font-family: "DSEG14 Classic", "Courier New", monospace; color: var(--amber); white-space: nowrap;
}
table.scores td.name { font-weight: bold; overflow-wrap: anywhere; }
table.scores td.country { overflow-wrap: anywhere; }
table.scores td.country a { color: var(--text); text-decoration: none; }
table.scores td.when { color: var(--dim); font-size: 0.9rem; white-space: nowrap; }
table.scores td.verified { white-space: nowrap; }
table.scores tr.you { background: var(--orange); }
table.scores tr.you td { background: var(--orange); color: var(--night); }
table.scores tr.you td a, table.scores tr.you td.when { color: var(--night); }
tbody.offpage { border-top: 3px dashed var(--orange); }
.player, .filter, .window { color: var(--dim); }
.player strong, .filter strong, .window strong { color: var(--orange); }
.pages { margin-top: 1rem; display: flex; gap: 1.2rem; }
table.keys th { text-align: left; padding: 0.25rem 1.2rem 0.25rem 0; color: var(--amber); }
code { color: var(--amber); word-break: break-all; }
footer { text-align: center; color: var(--dim); padding: 1.5rem; font-size: 0.85rem; }
/* A phone: each row of the table on two lines (rank; name and score; country,
   time and replay below), nothing wider than the screen. */
@media (max-width: 40rem) {
  .banner { padding: 0.6rem 0.8rem; }
  .banner nav a { margin-left: 0.8rem; }
  main { padding: 0.6rem 0.7rem 2rem; }
  h1 { font-size: 2rem; }
  table.scores, table.scores tbody { display: block; }
  table.scores thead { display: none; }
  table.scores tr {
    display: grid; grid-template-columns: minmax(2.6rem, max-content) minmax(0, 1fr) max-content;
    grid-template-areas: "rank name score" "rank country when" "rank verified verified";
    column-gap: 0.6rem; padding: 0.3rem 0.4rem; border-bottom: 1px solid var(--lane);
  }
  table.scores td { padding: 0; border: 0; }
  table.scores td.rank { grid-area: rank; align-self: center; }
  table.scores td.name { grid-area: name; }
  table.scores td.score { grid-area: score; }
  table.scores td.country { grid-area: country; font-size: 0.9rem; }
  table.scores td.when { grid-area: when; text-align: right; font-size: 0.85rem; }
  table.scores td.verified { grid-area: verified; font-size: 0.9rem; }
  table.scores td.verified:empty { display: none; }
}
)css";
}

} // namespace vorlane::scores
