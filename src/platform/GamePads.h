#pragma once
// The game pad: the first game controller SDL knows, picked up when it is plugged in
// and dropped when it is pulled out, while the game runs. The headless player plugs
// in a virtual pad instead, whose buttons and axes it sets itself; both are read as
// the same PadState and go through the same PadTranslator.
#include "platform/PadMapping.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vorlane {

class GamePads {
  public:
    // With realPads false no controller is ever opened (headless runs must not see
    // a pad that happens to be plugged into the machine).
    explicit GamePads(bool realPads);
    ~GamePads();
    GamePads(const GamePads&) = delete;
    GamePads& operator=(const GamePads&) = delete;

    // SDL's controller events, from the event pump. DeviceRemoved answers whether the
    // pad in use went away.
    void DeviceAdded(int deviceIndex);
    bool DeviceRemoved(int32_t instanceId);

    // The virtual pad: connected, its buttons and axes as set here.
    void ConnectVirtual();
    // Answers whether it was connected.
    bool DisconnectVirtual();
    void SetVirtualButton(PadButton button, bool down);
    void SetVirtualAxis(PadAxis axis, int value);

    // The pad's state now (not connected when there is none).
    PadState Read() const;
    PadTranslator& Translator() { return translator_; }

  private:
    struct Real;
    std::unique_ptr<Real> real_;
    PadState virtual_;
    PadTranslator translator_;
};

// SDL's names of the pad's buttons and axes ("a", "dpup", "leftx", "righttrigger"):
// the number, or -1 for a name SDL does not know.
int PadButtonByName(const std::string& name);
int PadAxisByName(const std::string& name);
// A button or axis in SDL's spelling, for messages and files.
std::string PadButtonName(PadButton button);
// A pad input by name: a button ("a", "dpup"), a trigger ("righttrigger"), or one way
// of a stick axis ("leftx-", "lefty+"); nothing for a name that is none of these.
std::optional<PadInput> PadInputByName(const std::string& name);
std::string PadInputName(PadInput input);

} // namespace vorlane
