#include "datagen/audio/Render.h"

#include "datagen/Families.h"
#include "datagen/audio/SoundCatalogue.h"
#include "datagen/common/FileOut.h"
#include "engine/ArchiveWriter.h"

#include <xmp.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

namespace vorlane::datagen::audio {

SongPlayback PlaySong(const std::vector<uint8_t>& module, double seconds, int rate, bool untilLoop,
                      double maxSeconds) {
    std::unique_ptr<char, void (*)(xmp_context)> ctx(xmp_create_context(), xmp_free_context);
    if (!ctx) throw std::runtime_error("module player: no context");
    if (xmp_load_module_from_memory(ctx.get(), module.data(), long(module.size())) != 0)
        throw std::runtime_error("module player: the module does not load");
    SongPlayback out;
    out.rate = rate;
    xmp_module_info info;
    xmp_get_module_info(ctx.get(), &info);
    out.channels = info.mod->chn;
    out.patterns = info.mod->pat;
    out.instruments = info.mod->ins;
    out.orders = info.mod->len;
    out.restart = info.mod->rst;
    if (xmp_start_player(ctx.get(), rate, 0) != 0) {
        xmp_release_module(ctx.get());
        throw std::runtime_error("module player: the player does not start");
    }
    const size_t wanted = size_t(seconds * rate);
    const size_t limit = size_t(std::max(seconds, maxSeconds) * rate);
    xmp_frame_info fi;
    while (true) {
        const size_t frames = out.stereo.size() / 2;
        if (frames >= limit) break;
        if (frames >= wanted && (!untilLoop || out.loopSeconds >= 0.0)) break;
        if (xmp_play_frame(ctx.get()) != 0) break;
        xmp_get_frame_info(ctx.get(), &fi);
        if (out.loopSeconds < 0.0 && fi.loop_count > 0) out.loopSeconds = double(frames) / rate;
        const int16_t* buf = static_cast<const int16_t*>(fi.buffer);
        out.stereo.insert(out.stereo.end(), buf, buf + fi.buffer_size / 2);
    }
    xmp_end_player(ctx.get());
    xmp_release_module(ctx.get());
    if (out.stereo.empty()) throw std::runtime_error("module player: the module plays nothing");
    if (!untilLoop) out.stereo.resize(std::min(out.stereo.size(), wanted * 2));
    return out;
}

namespace {

// The car's speed model (one frame at 85 frames a second) and the engine-sound state
// machine, enough of both to drive the sound as the race does.
struct DriveSim {
    double speed = 0.0;
    bool stateMaxed = false, stateAccel = false, stateShift = false, stateSlowed = false,
         stateNeutral = false, stateBrake = false, stateNitro = false;
    std::string playing; // the engine loop that sounds now
    bool restarted = false;

    static double ThrottleAccel(double v) {
        return v > 0 ? std::min(100.0 / (v * std::sqrt(2.0 * v)), 0.3) : 0.3;
    }
    static double CoastDrag(double v) { return v > 0 ? std::max((0.3 - ThrottleAccel(v)) / 2.0, 0.05) : 0.0; }

    void Set(const std::string& name) {
        stateMaxed = stateAccel = stateShift = stateSlowed = stateNeutral = stateBrake = stateNitro = false;
        if (name == "Maxed") stateMaxed = true;
        if (name == "Neutral") stateNeutral = true;
        if (name.rfind("Accel", 0) == 0) stateAccel = true;
        if (name == "Shift") stateShift = true;
        if (name == "Slowed") stateSlowed = true;
        if (name == "Brake") stateBrake = true;
        if (name == "Nitro") stateNitro = true;
        playing = name;
        restarted = true;
    }
    bool& Flag(const std::string& name) {
        if (name == "Maxed") return stateMaxed;
        if (name == "Neutral") return stateNeutral;
        if (name == "Shift") return stateShift;
        if (name == "Slowed") return stateSlowed;
        if (name == "Brake") return stateBrake;
        if (name == "Nitro") return stateNitro;
        return stateAccel;
    }
    void Enter(const std::string& name) {
        if (!Flag(name)) Set(name);
    }

    void Frame(bool up, bool handbrake, bool nitro) {
        restarted = false;
        if (nitro) {
            Enter("Nitro");
        } else {
            if (stateNitro) playing.clear();
            stateNitro = false;
            const double v = speed;
            if (up && !handbrake) {
                struct Band {
                    double lo, hi;
                    const char* name;
                };
                static const Band bands[] = {{0, 65, "Accel1"},    {65, 67, "Shift"},    {67, 90, "Accel2"},
                                             {95, 97, "Shift"},    {97, 115, "Accel3"},  {115, 116, "Shift"},
                                             {116, 130, "Accel4"}, {130, 131, "Shift"},  {131, 142, "Accel4"},
                                             {142, 143, "Shift"},  {143, 157, "Accel4"}, {157, 180, "Maxed"}};
                for (const Band& b : bands)
                    if (v > b.lo && v <= b.hi) Enter(b.name);
            }
            if (!up && !handbrake) Enter(v > 40 ? "Slowed" : "Neutral");
            if (handbrake && v != 0) Enter("Brake");
            if (stateBrake && v == 0) Set("Neutral");
        }
        // The driving model's speed update.
        double drag = 0.0;
        if (!up) drag = CoastDrag(speed);
        if (handbrake) drag = speed > 0 ? 0.6 : (speed < 0 ? -0.6 : 0.0);
        if (nitro) speed = std::min(speed + 0.6, 170.0);
        if (up && !nitro) {
            if (speed > 160)
                drag = CoastDrag(speed);
            else
                speed += ThrottleAccel(speed);
        }
        speed -= drag;
        if (speed > 0 && speed < 0.1) speed = 0;
        if (handbrake && speed > -1 && speed < 1) speed = 0;
    }
};

const Effect& Find(const std::vector<Effect>& effects, const std::string& name) {
    for (const Effect& e : effects)
        if (e.name == name) return e;
    throw std::runtime_error("no effect named " + name);
}

double Db(double v) {
    return 20.0 * std::log10(std::max(v, 1e-9));
}

// The pattern count the module itself declares (the player keeps a spare one of its own).
int ModulePatterns(const std::vector<uint8_t>& module) {
    return module.size() > 71 ? module[70] | (module[71] << 8) : 0;
}

void WriteWav(const std::string& path, const std::vector<int16_t>& samples, int channels, int rate) {
    WriteFileAtomic(path, EncodeWave16(samples, channels, rate));
}

} // namespace

Signal EngineDrive(const std::vector<Effect>& effects) {
    // Seconds, throttle, handbrake, nitro.
    struct Leg {
        double seconds;
        bool up, handbrake, nitro;
    };
    const Leg legs[] = {{1.5, false, false, false}, {24.0, true, false, false}, {4.0, false, false, false},
                        {2.5, true, false, true},   {3.0, false, true, false},  {1.5, false, false, false}};
    DriveSim sim;
    Signal out;
    const double samplesPerFrame = kEffectRate / 85.0;
    double due = 0.0;
    size_t position = 0;
    for (const Leg& leg : legs) {
        const int frames = int(leg.seconds * 85.0);
        for (int f = 0; f < frames; ++f) {
            sim.Frame(leg.up, leg.handbrake, leg.nitro);
            if (sim.restarted) position = 0;
            due += samplesPerFrame;
            const size_t count = size_t(due);
            due -= double(count);
            for (size_t k = 0; k < count; ++k) {
                float v = 0.0f;
                if (!sim.playing.empty()) {
                    const Signal& s = Find(effects, sim.playing).samples;
                    v = s[position % s.size()];
                    ++position;
                }
                out.push_back(v);
            }
        }
    }
    return out;
}

void RenderAudio(const std::string& dir) {
    std::string report = "Sound effects (" + std::to_string(kEffectRate) + " Hz, 16-bit mono)\n";
    report += "name          kind      length    peak dBFS  RMS dBFS  loop\n";
    const std::vector<Effect> effects = SynthesizeEffects();
    for (const Effect& e : effects) {
        WriteWav(dir + "/" + e.name + ".wav", ToPcm16(e.samples), 1, kEffectRate);
        char line[200];
        std::snprintf(line, sizeof line, "%-13s %-8s %7.3f s  %8.1f  %8.1f  %s\n", e.name.c_str(),
                      e.looped ? "looped" : "one-shot", double(e.samples.size()) / kEffectRate,
                      Db(Peak(e.samples)), Db(Rms(e.samples)),
                      e.looped ? ("whole sound, samples 0.." + std::to_string(e.samples.size() - 1)).c_str()
                               : "-");
        report += line;
    }
    const Signal drive = EngineDrive(effects);
    WriteWav(dir + "/EngineDrive.wav", ToPcm16(drive), 1, kEffectRate);
    report += "\nEngineDrive.wav: the engine loops switched as in a race (idle, full throttle to top speed,\n"
              "coasting, nitro, handbrake to a stop), " +
              std::to_string(int(drive.size() / kEffectRate)) + " s\n";

    const struct {
        const char* name;
        std::vector<uint8_t> (*build)();
    } songs[] = {{"Menu", BuildMenuSong}, {"Race", BuildRaceSong}};
    report += "\nSongs (two minutes each through libxmp, 44100 Hz stereo)\n";
    for (const auto& song : songs) {
        const std::vector<uint8_t> module = song.build();
        const SongPlayback play = PlaySong(module, 120.0, 44100, true);
        std::vector<int16_t> twoMinutes(
            play.stereo.begin(),
            play.stereo.begin() + std::ptrdiff_t(std::min<size_t>(play.stereo.size(), 120 * 44100 * 2)));
        WriteWav(dir + "/" + song.name + ".wav", twoMinutes, 2, 44100);
        double peak = 0.0, sum = 0.0;
        for (int16_t v : twoMinutes) {
            peak = std::max(peak, std::fabs(double(v)));
            sum += double(v) * double(v);
        }
        const double rms = std::sqrt(sum / double(std::max<size_t>(twoMinutes.size(), 1)));
        char line[400];
        std::snprintf(line, sizeof line,
                      "%s.xm: %zu bytes, %d channels, %d patterns, %d instruments, %d orders, restart %d, "
                      "loops after %.2f s; peak %.1f dBFS, RMS %.1f dBFS\n",
                      song.name, module.size(), play.channels, ModulePatterns(module), play.instruments,
                      play.orders, play.restart, play.loopSeconds, Db(peak / 32768.0), Db(rms / 32768.0));
        report += line;
    }
    WriteFileAtomic(dir + "/report.txt", std::vector<uint8_t>(report.begin(), report.end()));
    std::fputs(report.c_str(), stdout);
}

} // namespace vorlane::datagen::audio
