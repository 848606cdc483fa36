#pragma once
// The still backdrop every menu screen stands on: the picture "MMBG" of the menus'
// image list as a one-chip background at (0, 0), depth 2. Each screen makes its own
// in its Open and kills it in its Close; form.Menu.Background refers to it.
namespace vorlane {

class TGame;

void CreateMenuBackground(TGame& form);
void KillMenuBackground(TGame& form);

} // namespace vorlane
