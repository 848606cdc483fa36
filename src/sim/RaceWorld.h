#pragma once
// What the race's objects reach outside themselves: the sprite tree they live in, the
// image lists and frame statistics, the random numbers, the race's state, and the
// host that hears what happened. The race tells the host of every effect to start or
// stop and of every turn of the race (a level laid out, the time over, game over, a
// question or a pause asked for); it never plays a sound or opens a dialog itself, so
// it runs the same with a window, headless, or inside the score server's check.
#include "engine/Random.h"
#include "engine/Sprites.h"
#include "sim/GameSprite.h"
#include "sim/RaceEvent.h"

#include <memory>
#include <string>

namespace vorlane {

struct TRace; // sim/RaceState.h

// What the race tells, as it happens (a host answers at once, within the frame).
class IRaceHost {
  public:
    virtual ~IRaceHost() = default;
    // An effect by name, from its beginning again.
    virtual void PlayEffect(const std::string& name) = 0;
    virtual void StopEffect(const std::string& name) = 0;
    // A turn of the race; the host decides what follows (which dialog opens).
    virtual void ReportRace(RaceEvent event) = 0;
    // Whether the race is the screen showing (the track tests the car against its walls
    // only then).
    virtual bool RaceOnScreen() const = 0;
};

class TRaceWorld {
  public:
    TRaceWorld(TSpriteEngine& engine, const TSpriteHost& sprites, TRandom& random,
               std::shared_ptr<TRace>& race, IRaceHost& host)
        : SpriteEngine(engine), SpriteHost(sprites), Random(random), Race(race), Host(host) {}

    TSpriteEngine& SpriteEngine;
    const TSpriteHost& SpriteHost;
    TRandom& Random;
    // Present from the race's start to its end.
    std::shared_ptr<TRace>& Race;
    IRaceHost& Host;

    TImageCollection& RaceImages() const { return SpriteHost.RaceImages; }
    const TFrameStats& Stats() const { return SpriteHost.Stats; }
    void PlayEffect(const std::string& name) const { Host.PlayEffect(name); }
    void StopEffect(const std::string& name) const { Host.StopEffect(name); }
    void ReportRace(RaceEvent event) const { Host.ReportRace(event); }
};

} // namespace vorlane
