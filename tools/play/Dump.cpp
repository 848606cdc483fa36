// What vorlane-play writes after a frame: the screens' and dialogs' state, the
// options, the frame statistics, the sounds and the high-score table, and while a
// race runs, the race. One JSON object per line; names are the game's own.
#include "play/Dump.h"

#include "app/TMForm.h"
#include "sim/Bonus.h"
#include "sim/Car.h"
#include "sim/Finish.h"
#include "sim/Man.h"
#include "sim/Player.h"
#include "sim/RaceState.h"
#include "sim/Rocket.h"
#include "sim/ScrollBackground.h"

#include <cmath>
#include <cstdio>
#include <sstream>

namespace vorlane::play {

namespace {

// A JSON object written field by field.
class JsonLine {
  public:
    JsonLine() { out_ << '{'; }
    JsonLine& Int(const char* name, long long v) {
        Key(name);
        out_ << v;
        return *this;
    }
    JsonLine& Bool(const char* name, bool v) {
        Key(name);
        out_ << (v ? "true" : "false");
        return *this;
    }
    JsonLine& Real(const char* name, double v) {
        Key(name);
        if (!std::isfinite(v)) {
            out_ << "null";
        } else {
            char buf[40];
            std::snprintf(buf, sizeof buf, "%.10g", v);
            out_ << buf;
        }
        return *this;
    }
    JsonLine& Str(const char* name, const std::string& latin1) {
        Key(name);
        Quote(latin1);
        return *this;
    }
    JsonLine& Null(const char* name) {
        Key(name);
        out_ << "null";
        return *this;
    }
    JsonLine& StrList(const char* name, const std::vector<std::string>& items) {
        Key(name);
        out_ << '[';
        for (size_t i = 0; i < items.size(); ++i) {
            if (i) out_ << ',';
            Quote(items[i]);
        }
        out_ << ']';
        return *this;
    }
    // Raw JSON for a value the caller built.
    JsonLine& Raw(const char* name, const std::string& json) {
        Key(name);
        out_ << json;
        return *this;
    }
    std::string Done() {
        out_ << '}';
        return out_.str();
    }

    // A string as JSON: the game's texts are Latin-1, each byte one character.
    static std::string Quoted(const std::string& latin1) {
        std::string s = "\"";
        for (const char ch : latin1) {
            const auto c = static_cast<unsigned char>(ch);
            if (c == '"' || c == '\\') {
                s += '\\';
                s += char(c);
            } else if (c < 0x20 || c >= 0x7F) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", unsigned(c));
                s += buf;
            } else {
                s += char(c);
            }
        }
        return s + "\"";
    }

  private:
    void Key(const char* name) {
        if (!first_) out_ << ',';
        first_ = false;
        out_ << Quoted(name) << ':';
    }
    void Quote(const std::string& s) { out_ << Quoted(s); }

    std::ostringstream out_;
    bool first_ = true;
};

std::vector<std::string> LoopedEffectsSounding(TMForm& form) {
    std::vector<std::string> names;
    for (int i = 0; i < form.Sounds->Count(); ++i) {
        TSoundItem& item = form.Sounds->Item(i);
        if (item.Looped() && item.MainVoice() && item.MainVoice()->IsPlaying()) names.push_back(item.Name);
    }
    return names;
}

std::string HighScoreList(const TMForm& form) {
    std::string s = "[";
    for (int rank = 1; rank <= THighScoreTable::kSize; ++rank) {
        const THighScore& e = form.HighScores.Entry(rank);
        if (rank > 1) s += ',';
        s += "{\"name\":" + JsonLine::Quoted(e.Name) + ",\"score\":" + std::to_string(e.Score) + "}";
    }
    return s + "]";
}

// What lives on the road: opponent cars still in the level (exploding ones among
// them) and those exploding, pedestrians in the level (not those a rocket took) and
// those lying, bonuses on the road, and rockets out of the pool (flying or exploding).
void DumpRoadCounts(JsonLine& j, const TRace& r) {
    int cars = 0, exploding = 0;
    if (r.Cars) {
        for (int i = 1; i <= kMaxCars; ++i) {
            if (r.Cars->CarDir[size_t(i)] == kCarRemoved) continue;
            ++cars;
            exploding += r.Cars->CarExploding[size_t(i)] != 0 ? 1 : 0;
        }
    }
    int walkers = 0, lying = 0;
    if (r.Men) {
        for (const TPedestrian& p : r.Men->Slots) {
            if (!p.Exists || p.State == ManState::Gone) continue;
            ++walkers;
            lying += p.State == ManState::Lying ? 1 : 0;
        }
    }
    int bonuses = 0;
    if (r.Bonuses)
        for (const TBonusSlot& b : r.Bonuses->Slots)
            bonuses += b.Active ? 1 : 0;
    int rockets = 0;
    for (const TRocket* rocket : r.Rockets)
        rockets += rocket && rocket->InFlight ? 1 : 0;
    j.Int("Cars", cars).Int("CarsExploding", exploding);
    j.Int("Pedestrians", walkers).Int("PedestriansLying", lying);
    j.Int("Bonuses", bonuses).Int("RocketsInFlight", rockets);
}

// ---- the race (race engineers: add your fields here) ----
void DumpRace(JsonLine& j, TMForm& form) {
    const TRace& r = *form.Race;
    j.Int("Level", r.Level).Int("Lives", r.Lives).Int("Score", r.Score).Int("TimeLeft", r.TimeLeft);
    j.Int("TrackLength", r.TrackLength).Int("BonusCount", r.BonusCount).Int("CarCount", r.CarCount);
    j.Int("MapRow", r.MapRow).Int("MapCol", r.MapCol);
    if (r.Background) j.Real("BgX", r.Background->X).Real("BgY", r.Background->Y);
    if (const TPlayer* p = r.Player) {
        j.Real("Speed", p->Speed).Real("ScrollSpeed", p->ScrollSpeed).Real("SteerPos", p->SteerPos);
        j.Int("Heading", p->Heading).Int("Energy", p->Energy).Int("Crashed", p->Crashed);
        j.Bool("TimeOut", p->TimeOut).Bool("HasNitro", p->HasNitro).Real("NitroLeft", p->NitroLeft);
        j.Int("WeaponKind", int(p->WeaponKind)).Int("WeaponStage", p->WeaponStage).Int("Ammo", p->Ammo);
    }
    if (r.Finish) j.Int("FinishPassed", r.Finish->Passed);
    DumpRoadCounts(j, r);
}

} // namespace

std::string DumpFrame(TMForm& form, int frame, const std::vector<std::string>& effects) {
    JsonLine j;
    const TScreenState& s = form.Screen;
    j.Int("frame", frame);
    j.Int("ActiveScreen", int(s.ActiveScreen)).Int("ActiveDialog", int(s.ActiveDialog));
    j.Int("SelectedItem", s.SelectedItem).Int("FirstItem", s.FirstItem).Int("LastItem", s.LastItem);
    j.Int("MenuIntro", s.MenuIntro);
    j.Int("SelectedCar", form.Menu.SelectedCar).Int("NextCar", form.Menu.NextCar);
    j.Int("CarSwitchPhase", form.Menu.CarSwitchPhase).Int("HelpPage", form.Menu.HelpPage);
    j.Bool("CountryEditing", form.Menu.CountryEditing);
    const TGameOptions& o = form.Options();
    j.Bool("FullScreenMode", o.FullScreenMode).Bool("MusicOn", o.MusicOn).Bool("SoundOn", o.SoundOn);
    j.Str("Country", o.Country).Str("PlayerName", form.Dialog.PlayerName);
    j.Int("FrameMs", form.Stats.FrameMs).Real("SpeedScale", form.Stats.SpeedScale);
    j.Int("FrameRate", form.Stats.FrameRate).Int("RefreshRate", form.Stats.RefreshRate);
    j.Int("DialogTimer", form.Dialog.DialogTimer);
    if (form.Dialog.SendBox) j.Int("SendBox", std::lround(form.Dialog.SendBox->FramePos));
    j.Int("MouseX", form.Keys.MouseX).Int("MouseY", form.Keys.MouseY);
    j.Bool("PointerVisible", form.Display().PointerVisible());
    j.Bool("FullScreen", form.Display().IsFullScreen());
    j.Bool("Terminated", form.Terminated);
    if (form.MusicFile().empty())
        j.Null("music");
    else
        j.Str("music", form.MusicFile());
    j.StrList("effects", effects);
    j.StrList("playing", LoopedEffectsSounding(form));
    j.Raw("highscores", HighScoreList(form));
    j.Int("Sprites", form.SpriteEngine.AllCount());
    if (form.Race) DumpRace(j, form);
    return j.Done();
}

} // namespace vorlane::play
