#pragma once
// A race with nothing of the game around it: the race simulation (vorlane_sim) over a
// sprite tree, image lists and random numbers of its own, with a host that only writes
// down what the race tells it. No window, no sound device, no fonts: what the score
// server's check and the headless player can run.
#include "engine/Images.h"
#include "engine/Random.h"
#include "engine/Sprites.h"
#include "sim/FrameStats.h"
#include "sim/GameSprite.h"
#include "sim/RaceSim.h"
#include "sim/RaceState.h"
#include "sim/RaceWorld.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace vorlane::test {

// Writes down the effects played and the turns of the race, in order.
class RecordingRaceHost final : public IRaceHost {
  public:
    void PlayEffect(const std::string& name) override { Effects.push_back(name); }
    void StopEffect(const std::string& name) override { Stopped.push_back(name); }
    void ReportRace(RaceEvent event) override { Events.push_back(event); }
    bool RaceOnScreen() const override { return true; }

    std::vector<std::string> Effects;
    std::vector<std::string> Stopped;
    std::vector<RaceEvent> Events;
};

class BareRace {
  public:
    // The race's pictures from dataRoot/Data/Res/Res2.gfx; the random numbers from seed.
    BareRace(const std::filesystem::path& dataRoot, uint32_t seed) : Random(seed) {
        RaceImages.LoadArchive((dataRoot / "Data" / "Res" / "Res2.gfx").string());
    }
    // A race of car `car` on level 1, as the game starts one.
    void Start(int car) {
        LayRace(World, car);
        UpdateHudSprites(*Race);
        BeginRace(World);
    }

    // The images outlive the sprites that show them (members go in reverse order).
    TImageCollection MenuImages; // the race shows none of them
    TImageCollection RaceImages;
    TFrameStats Stats;
    TSpriteEngine Engine;
    TRandom Random;
    std::shared_ptr<TRace> Race;
    RecordingRaceHost Host;
    TSpriteHost Sprites{MenuImages, RaceImages, Stats};
    TRaceWorld World{Engine, Sprites, Random, Race, Host};
};

} // namespace vorlane::test
