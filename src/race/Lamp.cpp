#include "race/Lamp.h"

#include "app/TMForm.h"
#include "race/RaceState.h"

namespace vorlane {

namespace {

struct TLampEntry {
    int Tile;
    TLampKind Kind;
};

constexpr TLampEntry kLamps[] = {
    {1, {"Lamp_L", 12, 12, 9}},    {4, {"Lamp_R", -28, 56, 9}},   {5, {"Lamp_RL", 42, 43, 1}},
    {8, {"Lamp_RR", 0, 73, 41}},   {9, {"Lamp_RL", 8, 9, 1}},     {12, {"Lamp_RR", -36, 37, 41}},
    {13, {"Lamp_LR", -48, 26, 1}}, {16, {"Lamp_LL", -6, -8, 41}}, {17, {"Lamp_LR", -12, 62, 1}},
    {20, {"Lamp_LL", 30, 31, 40}},
};

} // namespace

const TLampKind* LampOf(int tile)
{
    for (const TLampEntry& e : kLamps)
        if (e.Tile == tile)
            return &e.Kind;
    return nullptr;
}

TLamp::TLamp(TSprite* parent, TMForm& form)
    : TMyImageSprite(parent, form.SpriteHost, 2, "Lamp_L", 0, 0, 9), Form(form)
{
    Visible = true;
}

// Pole collisions come with the player car.
void TLamp::MoveStep(int) {}

void TLamp::DrawStep() {}

} // namespace vorlane
