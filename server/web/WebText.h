#pragma once
// Text on its way out to a browser or a JSON client. Whatever the database holds
// (the server stores checked UTF-8, but a row may have been put in by hand) comes
// out as valid UTF-8 without control characters, and escaped for where it goes.
#include <cstdint>
#include <string>
#include <string_view>

namespace vorlane::scores {

// Valid UTF-8 with every broken sequence, control character and non-character
// replaced by U+FFFD.
std::string CleanUtf8(std::string_view text);

// CleanUtf8, then & < > " ' as character references: safe in element text and
// in quoted attribute values.
std::string HtmlText(std::string_view text);

// CleanUtf8 as a JSON string with its quotes; < > & ' are escaped as well, so the
// value is harmless even if a browser takes it for HTML.
std::string JsonText(std::string_view text);

// A query value: everything except letters, digits and -._~ as %XX.
std::string UrlQueryValue(std::string_view text);

// Seconds since 1970 as "2026-12-10T13:45:00Z".
std::string IsoUtcTime(int64_t seconds);

// How a table shows an empty name and the game's default country: a dash.
std::string ShownName(std::string_view name);
std::string ShownCountry(std::string_view country);

} // namespace vorlane::scores
