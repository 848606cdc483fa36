#include "engine/MessageText.h"

namespace vorlane {

std::string ExcerptForMessage(std::string_view text, size_t maxChars) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    size_t used = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        std::string piece;
        if (c == '\\') {
            piece = "\\\\";
        } else if (c >= 0x20 && c < 0x7F) {
            piece = char(c);
        } else {
            piece = {'\\', 'x', kHex[c >> 4], kHex[c & 0xF]};
        }
        if (used + piece.size() > maxChars) {
            out += "...";
            return out;
        }
        out += piece;
        used += piece.size();
    }
    return out;
}

} // namespace vorlane
