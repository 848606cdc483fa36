#pragma once
// Scripted runs of the real game through the vorlane-play program, for scenario
// tests: write the script, run the player in a game folder of its own, read back the
// dumped state of every frame and the screenshots.
//
//   auto run = playtest::PlayScript("50 press Down\n");            // frames 0..51
//   EXPECT_EQ(run.Frame(50).Int("SelectedItem"), 2);
//   EXPECT_EQ(run.Frame(50).List("effects"), (std::vector<std::string>{"Button"}));
//
// Each scenario file of tests/play/ is part of the play_tests program.
#include "game/FormFixture.h"
#include "platform/PngFile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace vorlane::playtest {

// A JSON value as the dump writes them: objects, arrays, strings (Latin-1), numbers,
// true, false and null.
struct Json {
    enum class Kind { Null, Bool, Number, String, Array, Object } kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    std::string text;
    std::vector<Json> items;
    std::map<std::string, Json> fields;

    bool Has(const std::string& name) const { return fields.count(name) != 0; }
    const Json& operator[](const std::string& name) const {
        auto it = fields.find(name);
        if (it == fields.end()) throw std::runtime_error("no field \"" + name + "\" in the dump");
        return it->second;
    }
    const Json& operator[](size_t i) const { return items.at(i); }
    long long Int(const std::string& name) const { return (long long)(*this)[name].number; }
    double Real(const std::string& name) const { return (*this)[name].number; }
    bool Bool(const std::string& name) const { return (*this)[name].boolean; }
    const std::string& Str(const std::string& name) const { return (*this)[name].text; }
    bool IsNull(const std::string& name) const { return (*this)[name].kind == Kind::Null; }
    std::vector<std::string> List(const std::string& name) const {
        std::vector<std::string> out;
        for (const Json& j : (*this)[name].items)
            out.push_back(j.text);
        return out;
    }

    static Json Parse(const std::string& s) {
        size_t i = 0;
        Json j = ParseValue(s, i);
        SkipSpace(s, i);
        if (i != s.size()) throw std::runtime_error("trailing text in a dump line");
        return j;
    }

  private:
    static void SkipSpace(const std::string& s, size_t& i) {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n'))
            ++i;
    }
    static void Expect(const std::string& s, size_t& i, char c) {
        SkipSpace(s, i);
        if (i >= s.size() || s[i] != c) throw std::runtime_error(std::string("dump: expected '") + c + "'");
        ++i;
    }
    static std::string ParseString(const std::string& s, size_t& i) {
        Expect(s, i, '"');
        std::string out;
        while (i < s.size() && s[i] != '"') {
            char c = s[i++];
            if (c != '\\') {
                out += c;
                continue;
            }
            if (i >= s.size()) break;
            const char e = s[i++];
            switch (e) {
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'u': {
                const unsigned v = unsigned(std::stoul(s.substr(i, 4), nullptr, 16));
                i += 4;
                out += char(v & 0xFF); // the dump only writes Latin-1 this way
                break;
            }
            default:
                out += e;
                break;
            }
        }
        Expect(s, i, '"');
        return out;
    }
    static Json ParseValue(const std::string& s, size_t& i) {
        SkipSpace(s, i);
        if (i >= s.size()) throw std::runtime_error("dump: value missing");
        Json j;
        const char c = s[i];
        if (c == '{') {
            j.kind = Kind::Object;
            ++i;
            SkipSpace(s, i);
            if (i < s.size() && s[i] == '}') return ++i, j;
            for (;;) {
                std::string key = ParseString(s, i);
                Expect(s, i, ':');
                j.fields[key] = ParseValue(s, i);
                SkipSpace(s, i);
                if (i < s.size() && s[i] == ',') {
                    ++i;
                    continue;
                }
                Expect(s, i, '}');
                return j;
            }
        }
        if (c == '[') {
            j.kind = Kind::Array;
            ++i;
            SkipSpace(s, i);
            if (i < s.size() && s[i] == ']') return ++i, j;
            for (;;) {
                j.items.push_back(ParseValue(s, i));
                SkipSpace(s, i);
                if (i < s.size() && s[i] == ',') {
                    ++i;
                    continue;
                }
                Expect(s, i, ']');
                return j;
            }
        }
        if (c == '"') {
            j.kind = Kind::String;
            j.text = ParseString(s, i);
            return j;
        }
        if (s.compare(i, 4, "true") == 0) {
            i += 4;
            j.kind = Kind::Bool;
            j.boolean = true;
            return j;
        }
        if (s.compare(i, 5, "false") == 0) {
            i += 5;
            j.kind = Kind::Bool;
            return j;
        }
        if (s.compare(i, 4, "null") == 0) {
            i += 4;
            return j;
        }
        size_t used = 0;
        j.kind = Kind::Number;
        j.number = std::stod(s.substr(i, 40), &used);
        i += used;
        return j;
    }
};

struct PlayOptions {
    int FrameCount = -1; // -1: until the script's last event plus 1
    int FrameRate = 85;
    uint32_t RandomSeed = 1;
    std::vector<int> Shots; // frames to take a screenshot after
    // Runs before the player starts, with the game folder (e.g. to write Data/Save/hs).
    std::function<void(const std::filesystem::path& root)> BeforeStart;

    PlayOptions& Frames(int n) {
        FrameCount = n;
        return *this;
    }
    PlayOptions& Rate(int hz) {
        FrameRate = hz;
        return *this;
    }
    PlayOptions& Seed(uint32_t s) {
        RandomSeed = s;
        return *this;
    }
    PlayOptions& Shot(int frame) {
        Shots.push_back(frame);
        return *this;
    }
    PlayOptions& Before(std::function<void(const std::filesystem::path&)> f) {
        BeforeStart = std::move(f);
        return *this;
    }
};
inline PlayOptions Options() {
    return {};
}

inline bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.rfind(prefix, 0) == 0;
}

class PlayResult {
  public:
    int ExitCode = -1;
    std::string Errors; // what the player wrote on stderr
    std::vector<Json> Frames;
    std::shared_ptr<test::TempGameFolder> Folder;

    // The dump of frame n (every frame is dumped).
    const Json& Frame(int n) const {
        for (const Json& f : Frames)
            if (f.Int("frame") == n) return f;
        throw std::runtime_error("frame " + std::to_string(n) + " was not dumped");
    }
    const Json& Last() const { return Frames.back(); }
    // The screenshot taken after frame n.
    RgbaImage Shot(int n) const {
        auto image = LoadPng(ShotPath(n).string());
        if (!image) throw std::runtime_error("no screenshot of frame " + std::to_string(n));
        return *image;
    }
    std::filesystem::path ShotPath(int n) const {
        return Folder->Root() / ("shot" + std::to_string(n) + ".png");
    }
    std::filesystem::path SaveDir() const { return Folder->SaveDir(); }
};

inline std::string ReadText(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Runs vorlane-play on the script in a fresh game folder.
inline PlayResult PlayScript(const std::string& script, const PlayOptions& options = {}) {
    PlayResult r;
    r.Folder = std::make_shared<test::TempGameFolder>();
    const auto root = r.Folder->Root();
    if (options.BeforeStart) options.BeforeStart(root);
    std::ofstream(root / "script.txt", std::ios::binary) << script;
    std::string cmd = std::string("'") + VORLANE_PLAY_EXE + "' --data '" + root.string() + "' --script '" +
                      (root / "script.txt").string() + "' --dump '" + (root / "dump.jsonl").string() +
                      "' --rate " + std::to_string(options.FrameRate) + " --seed " +
                      std::to_string(options.RandomSeed);
    if (options.FrameCount >= 0) cmd += " --frames " + std::to_string(options.FrameCount);
    for (int f : options.Shots)
        cmd += " --shot " + std::to_string(f) + ":'" + r.ShotPath(f).string() + "'";
    cmd += " 2>'" + (root / "stderr.txt").string() + "'";
    const int status = std::system(cmd.c_str());
    r.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.Errors = ReadText(root / "stderr.txt");
    std::istringstream dump(ReadText(root / "dump.jsonl"));
    for (std::string line; std::getline(dump, line);)
        if (!line.empty()) r.Frames.push_back(Json::Parse(line));
    return r;
}

// The pixel of a screenshot as 0xRRGGBB.
inline uint32_t Rgb(const RgbaImage& image, int x, int y) {
    return image.At(x, y) & 0xFFFFFFu;
}

} // namespace vorlane::playtest
