#include "persist/Controls.h"

#include "persist/GamePaths.h"
#include "persist/TextFile.h"
#include "platform/KeyCodes.h"

#include <algorithm>
#include <cctype>

namespace vorlane {

namespace {

constexpr std::array<std::string_view, ControlActionCount> kActionNames = {
    "steer_left", "steer_right", "accelerate", "brake",     "fire",      "nitro",      "handbrake", "horn",
    "pause",      "leave",       "menu_up",    "menu_down", "menu_left", "menu_right", "choose",    "back",
};

constexpr std::pair<std::string_view, int> kKeyNames[] = {
    {"Up", vk::Up},         {"Down", vk::Down},     {"Left", vk::Left},
    {"Right", vk::Right},   {"Space", vk::Space},   {"Enter", vk::Enter},
    {"Esc", vk::Esc},       {"Tab", vk::Tab},       {"Backspace", vk::Backspace},
    {"Shift", vk::Shift},   {"Ctrl", vk::Ctrl},     {"Alt", vk::Alt},
    {"Insert", vk::Insert}, {"Delete", vk::Delete}, {"Home", vk::Home},
    {"End", vk::End},       {"PageUp", vk::PageUp}, {"PageDown", vk::PageDown},
};

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return s;
}

// The line as the report shows it: at most 40 bytes, the unprintable ones escaped.
std::string Quote(std::string_view line) {
    std::string out = "\"";
    const size_t shown = std::min<size_t>(line.size(), 40);
    for (size_t i = 0; i < shown; ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
            out += char(c);
        } else {
            static const char hex[] = "0123456789abcdef";
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    if (line.size() > shown) out += "...";
    return out + "\"";
}

int ActionByName(std::string_view name) {
    const std::string n = Lower(name);
    for (int i = 0; i < ControlActionCount; ++i)
        if (kActionNames[std::size_t(i)] == n) return i;
    return -1;
}

} // namespace

std::string_view ControlActionName(ControlAction action) {
    return kActionNames[std::size_t(action)];
}

std::string KeyName(int key) {
    for (const auto& [name, code] : kKeyNames)
        if (code == key) return std::string(name);
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::string(1, char(key));
    if (key >= vk::F1 && key < vk::F1 + 12) {
        std::string name = std::to_string(key - vk::F1 + 1);
        name.insert(name.begin(), 'F');
        return name;
    }
    return "";
}

int KeyFromName(std::string_view name) {
    const std::string n = Lower(name);
    for (const auto& [word, code] : kKeyNames)
        if (Lower(word) == n) return code;
    if (n.size() == 1 && n[0] >= 'a' && n[0] <= 'z') return n[0] - 'a' + 'A';
    if (n.size() == 1 && n[0] >= '0' && n[0] <= '9') return n[0];
    if (n.size() >= 2 && n.size() <= 3 && n[0] == 'f' && std::all_of(n.begin() + 1, n.end(), ::isdigit)) {
        const int f = std::stoi(n.substr(1));
        if (f >= 1 && f <= 12) return vk::F1 + f - 1;
    }
    return 0;
}

ControlBindings DefaultControls() {
    using A = ControlAction;
    ControlBindings d;
    const auto set = [&d](A action, std::vector<int> keys, std::vector<std::string> pad) {
        d[std::size_t(action)] = ControlBinding{std::move(keys), std::move(pad)};
    };
    set(A::SteerLeft, {vk::Left}, {"leftx-", "dpleft"});
    set(A::SteerRight, {vk::Right}, {"leftx+", "dpright"});
    set(A::Accelerate, {vk::Up}, {"righttrigger", "a", "dpup"});
    set(A::Brake, {vk::Down}, {"lefttrigger", "b", "dpdown"});
    set(A::Fire, {'Z'}, {"x"});
    set(A::Nitro, {'X'}, {"rightshoulder"});
    set(A::Handbrake, {vk::Space}, {"leftshoulder"});
    set(A::Horn, {'H'}, {"y"});
    set(A::Pause, {'P'}, {"start"});
    set(A::Leave, {vk::Esc}, {"back"});
    set(A::MenuUp, {vk::Up}, {"lefty-", "dpup"});
    set(A::MenuDown, {vk::Down}, {"lefty+", "dpdown"});
    set(A::MenuLeft, {vk::Left}, {"leftx-", "dpleft"});
    set(A::MenuRight, {vk::Right}, {"leftx+", "dpright"});
    set(A::Choose, {vk::Enter}, {"a"});
    set(A::Back, {vk::Esc}, {"b", "back"});
    return d;
}

std::string DefaultControlsText() {
    std::string text =
        "# Vorlane controls: one action a line, \"action = key, key, pad:input\".\r\n"
        "# At most two keys an action; pad inputs are buttons (pad:a, pad:dpup, pad:start),\r\n"
        "# triggers (pad:righttrigger) or one way of a stick (pad:leftx-, pad:lefty+).\r\n"
        "# A line the game does not understand keeps that action's own keys.\r\n";
    const ControlBindings d = DefaultControls();
    for (int i = 0; i < ControlActionCount; ++i) {
        text += std::string(kActionNames[std::size_t(i)]) + " =";
        bool first = true;
        const auto add = [&](const std::string& word) {
            text += (first ? " " : ", ") + word;
            first = false;
        };
        for (int key : d[std::size_t(i)].keys)
            add(KeyName(key));
        for (const std::string& pad : d[std::size_t(i)].padInputs)
            add("pad:" + pad);
        text += "\r\n";
    }
    return text;
}

ControlsRead ParseControls(std::string_view text, const PadInputCheck& isPadInput) {
    ControlsRead read;
    read.bindings = DefaultControls();
    std::array<bool, ControlActionCount> seen{};
    const std::vector<std::string> lines = SplitLines(text);
    size_t badLines = 0;
    for (size_t n = 0; n < lines.size(); ++n) {
        const std::string_view line = Trim(lines[n]);
        if (line.empty() || line.front() == '#') continue;
        const auto bad = [&](const std::string& why) {
            if (++badLines <= kMostControlsProblemsNamed)
                read.problems.push_back("line " + std::to_string(n + 1) + " " + Quote(line) + ": " + why);
        };
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            bad("no \"=\" between an action and its keys");
            continue;
        }
        const int action = ActionByName(Trim(line.substr(0, eq)));
        if (action < 0) {
            bad("no such action");
            continue;
        }
        if (seen[std::size_t(action)]) {
            bad("a second line for " + std::string(kActionNames[std::size_t(action)]));
            continue;
        }
        seen[std::size_t(action)] = true;
        ControlBinding binding;
        std::string problem;
        std::string_view rest = line.substr(eq + 1);
        while (problem.empty()) {
            const size_t comma = rest.find(',');
            const std::string_view word = Trim(rest.substr(0, comma));
            if (!word.empty()) {
                if (Lower(word.substr(0, std::min<size_t>(4, word.size()))) == "pad:") {
                    const std::string pad = Lower(word.substr(4));
                    if (isPadInput(pad))
                        binding.padInputs.push_back(pad);
                    else
                        problem = "no pad input " + Quote(word.substr(4));
                } else if (const int key = KeyFromName(word)) {
                    if (std::find(binding.keys.begin(), binding.keys.end(), key) == binding.keys.end())
                        binding.keys.push_back(key);
                } else {
                    problem = "no key " + Quote(word);
                }
            }
            if (comma == std::string_view::npos) break;
            rest.remove_prefix(comma + 1);
        }
        if (problem.empty() && binding.keys.empty() && binding.padInputs.empty()) problem = "nothing bound";
        if (problem.empty() && binding.keys.size() > size_t(MaxKeysPerAction))
            problem = "more than " + std::to_string(MaxKeysPerAction) + " keys";
        if (!problem.empty()) {
            bad(problem);
            continue;
        }
        read.bindings[std::size_t(action)] = std::move(binding);
    }
    if (badLines > kMostControlsProblemsNamed) {
        const size_t more = badLines - kMostControlsProblemsNamed;
        read.problems.push_back("and " + std::to_string(more) + " more bad line" + (more == 1 ? "" : "s") +
                                ", not named (" + std::to_string(badLines) + " in all)");
    }
    return read;
}

ControlsRead LoadControls(const std::filesystem::path& saveRoot, const PadInputCheck& isPadInput) {
    const std::filesystem::path file = GamePath(saveRoot, kControlsFileName);
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        ControlsRead read;
        read.bindings = DefaultControls();
        const FileReport written = WriteFileAtomically(file, DefaultControlsText());
        if (!written.Ok()) read.problems.push_back(written.message);
        return read;
    }
    const uintmax_t size = std::filesystem::file_size(file, ec);
    const std::optional<std::string> text =
        ec || size > kMaxSaveFileBytes ? std::nullopt : ReadWholeFile(file, kMaxSaveFileBytes);
    if (!text) {
        ControlsRead read;
        read.bindings = DefaultControls();
        read.problems.push_back("cannot read it (or it is far too large): the game's own controls apply");
        return read;
    }
    return ParseControls(*text, isPadInput);
}

} // namespace vorlane
