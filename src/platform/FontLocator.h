#pragma once
// Finding font files by family name through fontconfig. fontconfig always answers
// with some font, so the answer is checked against the family asked for, and the
// game's two display faces fall back to installed look-alikes:
//   "DS Crystal"     -> "DSEG14 Classic"   -> "DejaVu Sans" -> the system's sans-serif
//   "Beast Impacted" -> "Roboto Condensed" -> "DejaVu Sans" -> the system's sans-serif
// Any other family goes straight to "DejaVu Sans", then the system's sans-serif.
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorlane {

struct FontFile {
    std::string path;
    int index = 0;      // face index inside the file
    std::string family; // the family the file really is
    bool bold = false;  // the face itself is bold (no synthetic emboldening needed)
};

// The families tried for `family`, in order (the family itself first).
std::vector<std::string> FontCandidates(const std::string& family);

// Whether `candidate`, tried for `family`, is looked for in its bold face: when bold
// is asked for, and always for a stand-in of "Beast Impacted", a face that comes only
// in one heavy weight (a regular stand-in would read thin beside it).
bool WantsBoldFace(const std::string& family, const std::string& candidate, bool bold);

class FontLocator {
  public:
    FontLocator();
    ~FontLocator();
    FontLocator(const FontLocator&) = delete;
    FontLocator& operator=(const FontLocator&) = delete;

    // The installed face of exactly this family (case-insensitive), bold when asked and
    // one exists; nothing when the family is not installed.
    std::optional<FontFile> FindFamily(const std::string& family, bool bold) const;
    // The first candidate found; the system's default sans-serif when none is; nothing
    // only on a system without fonts.
    std::optional<FontFile> Resolve(const std::string& family, bool bold) const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace vorlane
