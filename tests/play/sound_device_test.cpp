// A machine without a sound card: the game runs without sound and says so in one
// line, instead of the lines ALSA's own error handler prints for every step of its
// device search. Run with SDL's ALSA driver: on a machine with a sound card the device
// opens and nothing at all is said.
#include "play/PlayRun.h"

#include <sstream>

namespace vorlane::playtest {
namespace {

TEST(SoundDevice, NoSoundCardIsOneLineNotALSAsOwn) {
    test::TempGameFolder folder;
    const auto errors = folder.Root() / "errors.txt";
    const std::string cmd =
        "env SDL_VIDEODRIVER=dummy SDL_RENDER_DRIVER=software SDL_AUDIODRIVER=alsa timeout 60 '" +
        std::string(VORLANE_PLAY_EXE) + "' --data '" + folder.Root().string() + "' --frames 3 2>'" +
        errors.string() + "'";
    const int status = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadText(errors);
    std::istringstream lines(ReadText(errors));
    int withoutSound = 0;
    for (std::string line; std::getline(lines, line);) {
        EXPECT_NE(line.rfind("ALSA lib", 0), 0u) << line;
        if (line.find("the game runs without sound") != std::string::npos) ++withoutSound;
    }
    EXPECT_LE(withoutSound, 1);
}

} // namespace
} // namespace vorlane::playtest
