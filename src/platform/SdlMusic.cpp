// Background music: XM modules rendered by libxmp into SDL_mixer's music hook.
#include "platform/Music.h"

#include "platform/Files.h"
#include "platform/SdlAudio.h"
#include "platform/detail/MixerSession.h"

#include <xmp.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

namespace vorlane {

using namespace detail;

struct SdlMusicPlayer::Impl {
    std::shared_ptr<MixerSession> session;
    std::map<int, xmp_context> songs;
    int nextHandle = 1;
    int playing = 0;                    // handle, 0 for none
    xmp_context current = nullptr;      // read by the audio thread
    bool direct = false;                // libxmp renders straight in the device's format
    SDL_AudioStream* convert = nullptr; // otherwise 44.1 kHz stereo goes through this
    std::vector<uint8_t> chunk;
    std::atomic<uint64_t> rendered{0}; // bytes libxmp rendered
    MusicMessageSink messages;
    std::set<std::string> reported; // song files already said to be unplayable

    // One line for a song that cannot be loaded, the first time only: the menu asks
    // for its song again every time it opens.
    void ReportUnplayable(const std::string& path, int xmpError) {
        if (!reported.insert(path).second) return;
        std::error_code ec;
        const char* why = !std::filesystem::exists(NativePath(path), ec) ? "the song file is missing"
                          : xmpError == -XMP_ERROR_FORMAT ? "not a music module the player knows"
                          : xmpError == -XMP_ERROR_SYSTEM ? "the song file cannot be read"
                                                          : "the song file is damaged";
        const std::string line = "vorlane: " + path + ": " + why + "; the game goes on without music";
        if (messages)
            messages(line);
        else
            std::fprintf(stderr, "%s\n", line.c_str());
    }

    static void Feed(void* self, Uint8* stream, int length) {
        static_cast<Impl*>(self)->Fill(stream, length);
    }

    // On the audio thread, with the audio lock held by SDL.
    void Fill(Uint8* stream, int length) {
        Render(stream, length);
        // The song at the mix's headroom, like the effects (the limiter brings it up).
        if (session->Staged()) ScaleToHeadroom(reinterpret_cast<int16_t*>(stream), size_t(length) / 2);
    }
    void Render(Uint8* stream, int length) {
        if (!current) {
            std::memset(stream, 0, size_t(length));
            return;
        }
        if (direct) {
            // Loop count 0: the song starts again at its end, for ever.
            if (xmp_play_buffer(current, stream, length, 0) == 0) rendered += uint64_t(length);
            return;
        }
        while (SDL_AudioStreamAvailable(convert) < length) {
            if (xmp_play_buffer(current, chunk.data(), int(chunk.size()), 0) != 0) break;
            rendered += chunk.size();
            if (SDL_AudioStreamPut(convert, chunk.data(), int(chunk.size())) != 0) break;
        }
        const int got = SDL_AudioStreamGet(convert, stream, length);
        if (got < length) std::memset(stream + (got > 0 ? got : 0), 0, size_t(length - (got > 0 ? got : 0)));
    }

    // Changes to the songs happen with the hook taken away (which takes the audio lock).
    void Unhook() { Mix_HookMusic(nullptr, nullptr); }
    void Hook() {
        if (current) Mix_HookMusic(&Impl::Feed, this);
    }

    int RenderRate() const { return direct ? session->frequency : 44100; }
    int RenderFlags() const { return direct && session->outputChannels == 1 ? XMP_FORMAT_MONO : 0; }
};

SdlMusicPlayer::SdlMusicPlayer(SdlAudioDevice& device, MusicMessageSink messages)
    : impl_(std::make_unique<Impl>()) {
    impl_->session = device.session_;
    impl_->messages = std::move(messages);
    const MixerSession& s = *impl_->session;
    if (!s.open) return;
    impl_->direct = s.format == AUDIO_S16SYS && (s.outputChannels == 1 || s.outputChannels == 2) &&
                    s.frequency >= XMP_MIN_SRATE && s.frequency <= XMP_MAX_SRATE;
    if (!impl_->direct) {
        impl_->convert =
            SDL_NewAudioStream(AUDIO_S16SYS, 2, 44100, s.format, Uint8(s.outputChannels), s.frequency);
        impl_->chunk.resize(4096);
    }
}

SdlMusicPlayer::~SdlMusicPlayer() {
    impl_->Unhook();
    for (auto& [handle, ctx] : impl_->songs) {
        if (handle == impl_->playing) xmp_end_player(ctx);
        xmp_release_module(ctx);
        xmp_free_context(ctx);
    }
    if (impl_->convert) SDL_FreeAudioStream(impl_->convert);
}

int SdlMusicPlayer::SongLoadFromFile(const std::string& path) {
    if (!impl_->session->open || (!impl_->direct && !impl_->convert)) return 0;
    xmp_context ctx = xmp_create_context();
    if (!ctx) return 0;
    if (const int error = xmp_load_module(ctx, NativePath(path).c_str()); error != 0) {
        xmp_free_context(ctx);
        impl_->ReportUnplayable(path, error);
        return 0;
    }
    const int handle = impl_->nextHandle++;
    impl_->songs.emplace(handle, ctx);
    return handle;
}

int SdlMusicPlayer::SongLoadFromResource(const std::string& name) {
    return SongLoadFromFile(name);
}

void SdlMusicPlayer::SongPlay(int handle) {
    auto it = impl_->songs.find(handle);
    if (it == impl_->songs.end()) return;
    impl_->Unhook();
    if (impl_->playing) xmp_end_player(impl_->songs.at(impl_->playing));
    impl_->playing = 0;
    impl_->current = nullptr;
    if (impl_->convert) SDL_AudioStreamClear(impl_->convert);
    if (xmp_start_player(it->second, impl_->RenderRate(), impl_->RenderFlags()) == 0) {
        impl_->playing = handle;
        impl_->current = it->second;
    }
    impl_->Hook();
}

void SdlMusicPlayer::SongFree(int handle) {
    auto it = impl_->songs.find(handle);
    if (it == impl_->songs.end()) return;
    impl_->Unhook();
    if (impl_->playing == handle) {
        xmp_end_player(it->second);
        impl_->playing = 0;
        impl_->current = nullptr;
    }
    xmp_release_module(it->second);
    xmp_free_context(it->second);
    impl_->songs.erase(it);
    impl_->Hook();
}

int SdlMusicPlayer::Playing() const {
    return impl_->playing;
}

uint64_t SdlMusicPlayer::RenderedBytes() const {
    return impl_->rendered;
}

} // namespace vorlane
