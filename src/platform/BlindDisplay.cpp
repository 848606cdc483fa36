#include "platform/BlindDisplay.h"

#include <algorithm>

namespace vorlane {

namespace {

class SizeOnlyTexture final : public ITexture {
  public:
    SizeOnlyTexture(int width, int height) : width_(width), height_(height) {}
    int Width() const override { return width_; }
    int Height() const override { return height_; }

  private:
    int width_;
    int height_;
};

} // namespace

BlindDisplay::BlindDisplay(int width, int height, int refreshRate)
    : surface_(width, height), refreshRate_(refreshRate <= 1 ? 60 : refreshRate) {}

BlindDisplay::~BlindDisplay() {
    const std::vector<IDisplayListener*> copy = listeners_;
    for (IDisplayListener* l : copy)
        l->Finalised();
}

IDrawSurface& BlindDisplay::Surface() {
    return surface_;
}

void BlindDisplay::AddListener(IDisplayListener& listener) {
    if (std::find(listeners_.begin(), listeners_.end(), &listener) == listeners_.end())
        listeners_.push_back(&listener);
}

void BlindDisplay::RemoveListener(IDisplayListener& listener) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), &listener), listeners_.end());
}

void BlindDisplay::ShowPointer() {
    pointerCount_ = std::max(pointerCount_, 1);
}

void BlindDisplay::HidePointer() {
    pointerCount_ = std::min(pointerCount_, -1);
}

RgbaImage BlindDisplay::ReadPixels() {
    RgbaImage image(surface_.Width(), surface_.Height());
    std::fill(image.pixels.begin(), image.pixels.end(), 0xFF000000u);
    return image;
}

std::unique_ptr<ITexture> BlindDisplay::Surface_::CreateTexture(const RgbaImage& picture) {
    // The same refusal as a real display's, so that a bad picture fails the same way here.
    if (picture.Empty() || picture.pixels.size() != size_t(picture.width) * size_t(picture.height))
        throw EngineError("Cannot make a texture of an empty or malformed picture");
    return std::make_unique<SizeOnlyTexture>(picture.width, picture.height);
}

} // namespace vorlane
