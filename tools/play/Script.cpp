#include "play/Script.h"

#include "platform/GamePads.h"
#include "platform/KeyCodes.h"

#include <algorithm>
#include <cctype>
#include <sstream>

namespace vorlane::play {

namespace {

std::string Lower(std::string s) {
    for (char& c : s)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Script files are UTF-8; the game types Latin-1. Characters beyond Latin-1 are left
// out, and bytes that are not UTF-8 pass as they are.
std::string Utf8ToLatin1(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            out += char(b);
            ++i;
            continue;
        }
        int extra = (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
        uint32_t cp = extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
        bool ok = extra > 0;
        for (int k = 1; ok && k <= extra; ++k) {
            if (i + size_t(k) >= s.size()) {
                ok = false;
                break;
            }
            const auto c = static_cast<unsigned char>(s[i + size_t(k)]);
            if ((c & 0xC0) != 0x80) ok = false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (!ok) {
            out += char(b);
            ++i;
            continue;
        }
        if (cp <= 0xFF) out += char(uint8_t(cp));
        i += size_t(extra) + 1;
    }
    return out;
}

[[noreturn]] void Fail(int line, const std::string& what) {
    throw ScriptError("script line " + std::to_string(line) + ": " + what);
}

// "pad press|down|up BUTTON", "pad axis AXIS VALUE", "pad connect", "pad remove".
void ParsePad(ScriptEvent e, const std::vector<std::string>& args, int lineNo,
              std::vector<ScriptEvent>& events) {
    const std::string what = args.empty() ? "" : Lower(args[0]);
    const auto want = [&](size_t n, const char* form) {
        if (args.size() != n) Fail(lineNo, std::string("write \"pad ") + form + "\"");
    };
    if (what == "press" || what == "down" || what == "up") {
        want(2, "press|down|up BUTTON");
        e.padButton = PadButtonByName(Lower(args[1]));
        if (e.padButton < 0 || e.padButton >= PadButtonCount)
            Fail(lineNo, "unknown pad button \"" + args[1] + "\"");
        e.action = what == "up" ? ScriptAction::PadUp : ScriptAction::PadDown;
        events.push_back(e);
        if (what == "press") {
            e.action = ScriptAction::PadUp;
            e.frame += 1;
            events.push_back(e);
        }
    } else if (what == "axis") {
        want(3, "axis AXIS VALUE");
        e.padAxis = PadAxisByName(Lower(args[1]));
        if (e.padAxis < 0 || e.padAxis >= PadAxisCount) Fail(lineNo, "unknown pad axis \"" + args[1] + "\"");
        try {
            size_t used = 0;
            e.padValue = std::stoi(args[2], &used);
            if (used != args[2].size() || e.padValue < -32768 || e.padValue > 32767)
                throw std::out_of_range("value");
        } catch (const std::exception&) {
            Fail(lineNo, "a pad axis value is a whole number from -32768 to 32767, not \"" + args[2] + "\"");
        }
        e.action = ScriptAction::PadAxis;
        events.push_back(e);
    } else if (what == "connect" || what == "remove") {
        want(1, "connect|remove");
        e.action = what == "connect" ? ScriptAction::PadConnect : ScriptAction::PadRemove;
        events.push_back(e);
    } else {
        Fail(lineNo, "pad wants press, down, up, axis, connect or remove");
    }
}

} // namespace

int KeyByName(const std::string& name) {
    const std::string n = Lower(name);
    if (n.size() == 1) {
        const char c = n[0];
        if (c >= 'a' && c <= 'z') return c - 'a' + 'A';
        if (c >= '0' && c <= '9') return c;
        return 0;
    }
    static const std::pair<const char*, int> names[] = {
        {"up", vk::Up},       {"down", vk::Down},   {"left", vk::Left}, {"right", vk::Right},
        {"space", vk::Space}, {"enter", vk::Enter}, {"esc", vk::Esc},   {"escape", vk::Esc},
        {"shift", vk::Shift}, {"ctrl", vk::Ctrl},   {"alt", vk::Alt},   {"backspace", vk::Backspace},
    };
    for (const auto& [word, code] : names)
        if (n == word) return code;
    return 0;
}

std::vector<ScriptEvent> ParseScript(std::istream& in) {
    std::vector<ScriptEvent> events;
    std::string raw;
    int lineNo = 0;
    while (std::getline(in, raw)) {
        ++lineNo;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        std::istringstream line(raw);
        std::string frameWord;
        if (!(line >> frameWord) || frameWord[0] == '#') continue;
        ScriptEvent e;
        e.line = lineNo;
        try {
            size_t used = 0;
            e.frame = std::stoi(frameWord, &used);
            if (used != frameWord.size() || e.frame < 0) throw std::invalid_argument("frame");
        } catch (const std::exception&) {
            Fail(lineNo, "\"" + frameWord + "\" is not a frame number");
        }
        std::string word;
        if (!(line >> word)) Fail(lineNo, "an event is missing after the frame number");
        if (word[0] == '#') continue; // only a comment after the frame number
        word = Lower(word);
        if (word == "text") {
            // The rest of the line after one space, as typed (a comment sign included).
            std::string rest;
            std::getline(line, rest);
            if (!rest.empty() && rest[0] == ' ') rest.erase(0, 1);
            e.action = ScriptAction::Text;
            e.text = Utf8ToLatin1(rest);
            events.push_back(e);
            continue;
        }
        // Other events end at a comment.
        std::vector<std::string> args;
        for (std::string a; line >> a;) {
            if (a[0] == '#') break;
            args.push_back(a);
        }
        auto want = [&](size_t n) {
            if (args.size() != n)
                Fail(lineNo,
                     "\"" + word + "\" takes " + std::to_string(n) + " argument" + (n == 1 ? "" : "s"));
        };
        if (word == "down" || word == "up" || word == "press") {
            want(1);
            e.key = KeyByName(args[0]);
            if (e.key == 0) Fail(lineNo, "unknown key \"" + args[0] + "\"");
            e.action = word == "up" ? ScriptAction::Up : ScriptAction::Down;
            events.push_back(e);
            if (word == "press") {
                ScriptEvent up = e;
                up.action = ScriptAction::Up;
                up.frame = e.frame + 1;
                events.push_back(up);
            }
        } else if (word == "mouse") {
            want(2);
            try {
                e.x = std::stoi(args[0]);
                e.y = std::stoi(args[1]);
            } catch (const std::exception&) {
                Fail(lineNo, "mouse wants two whole numbers");
            }
            e.action = ScriptAction::Mouse;
            events.push_back(e);
        } else if (word == "click" || word == "dblclick" || word == "close") {
            want(0);
            e.action = word == "click"      ? ScriptAction::Click
                       : word == "dblclick" ? ScriptAction::DoubleClick
                                            : ScriptAction::Close;
            events.push_back(e);
        } else if (word == "focus") {
            want(1);
            const std::string a = Lower(args[0]);
            if (a != "on" && a != "off") Fail(lineNo, "focus is \"on\" or \"off\"");
            e.action = a == "on" ? ScriptAction::FocusOn : ScriptAction::FocusOff;
            events.push_back(e);
        } else if (word == "pad") {
            ParsePad(e, args, lineNo, events);
        } else {
            Fail(lineNo, "unknown event \"" + word + "\"");
        }
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const ScriptEvent& a, const ScriptEvent& b) { return a.frame < b.frame; });
    return events;
}

} // namespace vorlane::play
