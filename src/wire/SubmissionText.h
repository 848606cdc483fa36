#pragma once
// The text of a result sent to the online high-score table, and its encoding: what
// the game writes and the score server reads, byte for byte. Nothing here knows how
// the text travels (see persist/OnlineScore.h for the request the game sends).
#include <cstdint>
#include <string>
#include <string_view>

namespace vorlane {

// The 32 characters of the encoding: capital letters without I, O and Z, then 1-9.
inline constexpr std::string_view kSubmissionAlphabet = "ABCDEFGHJKLMNPQRSTUVWXY123456789";
// The request path; the encoded text follows it.
inline constexpr std::string_view kSubmissionPath = "/cgi/version.pl?hs&prg=Vorlane&inf=";
// The one capital letter that marks a score sent by this program.
inline constexpr char kSubmissionKey = 'K';
// What goes in the country's place when the player has named none.
inline constexpr std::string_view kSubmissionNoCountry = "_______";

// "type=0|name=<name>|score=<score>|key=<key>|p=|add=<country>|z=", padded with
// "0" to a multiple of 5 characters. Name and country go in as bytes; no country
// goes as kSubmissionNoCountry.
std::string BuildSubmissionText(std::string_view playerName, int32_t score, std::string_view country);

// Base 32 over the text's bits, most significant first, 5 bits a character; zero
// bits go in front when the bit count is not a multiple of 5. "type=" gives
// "QT61A3K7".
std::string EncodeSubmission(std::string_view text);

// The way back, for the score server. Refuses a character outside the alphabet, a
// length that no text encodes to (the leading bits would make up a whole
// character) and leading bits that are not zero; `error` then says which.
struct SubmissionDecoding {
    bool ok = false;
    std::string text;  // the submission text, when ok
    std::string error; // one line, when not ok
};
SubmissionDecoding DecodeSubmission(std::string_view encoded);

} // namespace vorlane
