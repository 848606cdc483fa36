#pragma once
// The pictures of image list 1 (menus and dialogs), drawn screen by screen.
#include "datagen/common/Picture.h"

#include <vector>

namespace vorlane::datagen {

// Every picture of image list 1, in the catalogue's order.
std::vector<GeneratedPicture> DrawMenuPictures();

// The groups, each appending its pictures.
void DrawMainMenuPictures(std::vector<GeneratedPicture>& out);  // MMBG, MM_*
void DrawCarSelectPictures(std::vector<GeneratedPicture>& out); // SG_*
void DrawOptionsPictures(std::vector<GeneratedPicture>& out);   // Null, Opt*, CountryEditBg, Cursor
void DrawHelpPictures(std::vector<GeneratedPicture>& out);      // Help_*, HelpLogo
void DrawHighScorePictures(std::vector<GeneratedPicture>& out); // HSCaption, HSTable, HS_*
void DrawDialogPictures(
    std::vector<GeneratedPicture>& out); // Window, Win_*, Yes, No, SendTable, SendOk, Cursor2

// The menu background alone (800 x 600, opaque).
RgbaImage DrawMenuBackground();

} // namespace vorlane::datagen
