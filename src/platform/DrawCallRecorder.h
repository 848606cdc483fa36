#pragma once
// Measuring what drawing costs outside the engine: a surface that passes every draw on
// to the display's surface and writes down the renderer calls it turned into, so that
// they can be issued again in a bare loop with no engine, no virtual calls and no
// clipping arithmetic. The bare loop is the floor a drawing benchmark compares with.
#include "engine/Surface.h"

#include <memory>

namespace vorlane {

class SdlDisplay;

class DrawCallRecorder final : public IDrawSurface {
  public:
    // Draws go to display.Surface(); the display must outlive the recorder.
    explicit DrawCallRecorder(SdlDisplay& display);
    ~DrawCallRecorder() override;

    int Width() const override;
    int Height() const override;
    std::unique_ptr<ITexture> CreateTexture(const RgbaImage& picture) override;
    void Draw(ITexture& texture, const Rect& src, int x, int y) override;
    void DrawAlpha(ITexture& texture, const Rect& src, const Rect& dst, int alpha) override;
    void DrawRotated(ITexture& texture, const Rect& src, double x, double y, int width, int height,
                     double pivotX, double pivotY, double degrees) override;

    void SetRecording(bool on);
    void ClearRecord();
    size_t Recorded() const;
    size_t RecordedRotated() const;
    size_t RecordedBlended() const;
    // The recorded calls again, straight on the renderer (SDL_RenderCopy and friends).
    void ReplayBare() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace vorlane
