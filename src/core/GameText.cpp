// Screen mode, the mouse pointer and the game's numbered text styles.
#include "core/Game.h"

#include <array>

namespace vorlane {

namespace {

struct TTextStyle {
    const char* family = nullptr; // nullptr: a style no screen draws with
    int points = 0;
    bool bold = false;
    uint32_t rgb = 0;
    bool outlined = false; // drawn over a black outline, for text straight on the track
};

constexpr const char* Beast = "Beast Impacted";
constexpr const char* Crystal = "DS Crystal";

// Styles 1 to 21; the numbers left out are drawn with by no screen and fall back to
// style 20's look so that nothing is ever drawn without a font.
constexpr std::array<TTextStyle, 22> TextStyles = {{
    {},                                 // 0 (unused)
    {},                                 // 1
    {Beast, 16, false, 0xE6DADA},       // 2 high-score names
    {},                                 // 3
    {Beast, 28, true, 0x000000},        // 4 the country line
    {Beast, 36, false, 0xF40909, true}, // 5 dialog messages (the pause and the level banner
                                        //   stand on the track, over grass and road)
    {},
    {},
    {},                             // 6-8
    {Beast, 28, false, 0xFFFFFF},   // 9 score in the name entry
    {Beast, 28, false, 0xFFFFFF},   // 10 the typed name
    {Beast, 26, false, 0xFFFFFF},   // 11 "Sending results..."
    {},                             // 12
    {Beast, 27, false, 0xFFFFFF},   // 13 "Your country:"
    {},                             // 14
    {Beast, 78, false, 0xFFFFFF},   // 15 screen titles
    {Crystal, 17, false, 0x2AFF00}, // 16 the race's level line: "LEVEL" and two digits fit
                                    //    the panel's window a size below the other LCDs
    {Beast, 22, false, 0xE6DADA},   // 17 high-score scores
    {Crystal, 22, false, 0x2AFF00}, // 18 the race's head-up display
    {Beast, 28, false, 0xFFFFFF},   // 19 help page titles
    {Beast, 13, false, 0xFFFFFF},   // 20 help text lines
    {Beast, 15, false, 0xFFFFFF},   // 21 help sub-titles and labels
}};

// The look of a style number; numbers no screen uses look like style 20.
const TTextStyle& StyleOf(int style) {
    if (style < 1 || style > 21 || !TextStyles[size_t(style)].family) return TextStyles[20];
    return TextStyles[size_t(style)];
}

// Where the outline is drawn around an outlined text: two pixels out every way.
constexpr int OutlineOffsets[8][2] = {{-2, 0}, {2, 0}, {0, -2}, {0, 2}, {-2, -2}, {2, -2}, {-2, 2}, {2, 2}};
constexpr uint32_t OutlineRgb = 0x000000;

} // namespace

void TGame::ApplyDisplayMode() {
    // The back buffer is always 16-bit colour (the platform draws at its own depth).
    if (Options().FullScreenMode)
        Display().EnterFullScreen();
    else
        Display().EnterWindow();
    Stats.RefreshRate =
        services_.ForcedRefreshRate != 0 ? services_.ForcedRefreshRate : Display().RefreshRate();
}

void TGame::ShowPointer() {
    Display().ShowPointer();
}
void TGame::HidePointer() {
    Display().HidePointer();
}

void TGame::UseFont(int style) {
    if (style < 1 || style > 21) style = 20;
    const TTextStyle& s = StyleOf(style);
    fontStyle_ = style;
    fontHandle_ = PlatformServices->Text().Font(s.family, s.points, s.bold);
    fontColour_ = s.rgb;
}

void TGame::DrawText(const std::string& text, int x, int y, bool centreX, bool centreY) {
    if (fontHandle_ == 0) UseFont(fontStyle_ == 0 ? 20 : fontStyle_);
    if (centreX || centreY) {
        const TextExtent e = PlatformServices->Text().Measure(fontHandle_, text);
        // The half is taken in floating point and cut toward zero.
        if (centreX) x = int(double(x) - double(e.width) / 2.0);
        if (centreY) y = int(double(y) - double(e.height) / 2.0);
    }
    if (OnText) OnText(text, x, y);
    if (StyleOf(fontStyle_).outlined)
        for (const auto& d : OutlineOffsets)
            PlatformServices->Text().Draw(fontHandle_, text, x + d[0], y + d[1], OutlineRgb);
    PlatformServices->Text().Draw(fontHandle_, text, x, y, fontColour_);
}

int TGame::MeasureText(const std::string& text) {
    if (fontHandle_ == 0) UseFont(fontStyle_ == 0 ? 20 : fontStyle_);
    return PlatformServices->Text().Measure(fontHandle_, text).width;
}

int TGame::MeasureTextHeight(const std::string& text) {
    if (fontHandle_ == 0) UseFont(fontStyle_ == 0 ? 20 : fontStyle_);
    return PlatformServices->Text().Measure(fontHandle_, text).height;
}

int TGame::MeasureTextIn(const std::string& text, int style) {
    UseFont(style);
    return MeasureText(text);
}

} // namespace vorlane
