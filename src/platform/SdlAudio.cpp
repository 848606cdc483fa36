// Sound-effect voices on SDL_mixer channels.
#include "platform/SdlAudio.h"

#include "platform/EffectResampler.h"
#include "platform/detail/MixerSession.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>

#include <dlfcn.h>

namespace vorlane {

using namespace detail;

namespace {

// ALSA's own error handler prints a line for every step of a failed device search
// (eight or nine on a machine without a sound card); the game says it in one line.
// SDL loads the library itself when it uses ALSA: the handler is set through the
// library already loaded (nothing is loaded, nor linked, for it).
void QuietAlsaHandler(const char*, int, const char*, int, const char*, ...) {}

void QuietAlsa() {
    void* alsa = ::dlopen("libasound.so.2", RTLD_LAZY | RTLD_NOLOAD);
    if (!alsa) return; // SDL did not load it: nothing of ALSA's will print
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetHandler = int (*)(Handler);
    if (auto set = reinterpret_cast<SetHandler>(::dlsym(alsa, "snd_lib_error_set_handler")))
        set(&QuietAlsaHandler);
    ::dlclose(alsa);
}

} // namespace

namespace detail {

// The mixer's callback of the limiter (on the audio thread, after every channel is mixed).
void SDLCALL ApplyLimiter(int, void* stream, int length, void* limiter) {
    static_cast<OutputLimiter*>(limiter)->Apply(static_cast<int16_t*>(stream),
                                                size_t(length) / sizeof(int16_t));
}

MixerSession::MixerSession(int wantedFrequency, int mixingChannels, bool silent)
    : audio(silent ? 0u : Uint32(SDL_INIT_AUDIO)) {
    if (silent) return;
    if (!audio.Ok()) {
        std::fprintf(stderr, "vorlane: no sound (%s): the game runs without sound\n", SDL_GetError());
        return;
    }
    QuietAlsa();
    Mix_Init(MIX_INIT_MOD); // module music; without it the songs simply fail to load
    if (Mix_OpenAudio(wantedFrequency, AUDIO_S16SYS, 2, 1024) != 0) {
        std::fprintf(stderr, "vorlane: no sound device could be opened (%s): the game runs without sound\n",
                     SDL_GetError());
        return;
    }
    int channels = 0;
    const int opened = Mix_QuerySpec(&frequency, &format, &channels); // sessions on the device
    if (opened == 0) {
        Mix_CloseAudio();
        return;
    }
    outputChannels = channels;
    open = true;
    owners.assign(size_t(Mix_AllocateChannels(std::max(mixingChannels, 1))), 0);
    staged = format == AUDIO_S16SYS;
    // The device's one limiter belongs to the session that opened it: the mixer tells
    // its effects apart only by their function. (A later session on the same device, in
    // a test, plays at the headroom, without its own.)
    if (staged && opened == 1) {
        limiter = std::make_unique<OutputLimiter>(frequency, outputChannels);
        if (Mix_RegisterEffect(MIX_CHANNEL_POST, ApplyLimiter, nullptr, limiter.get()) == 0) {
            limiter.reset();
            staged = false; // the mix as it comes, at full level
        }
    }
    SetChannelVolumes();
}

void MixerSession::SetChannelVolumes() {
    Mix_Volume(-1, staged ? kMixHeadroomVolume : MIX_MAX_VOLUME);
}

MixerSession::~MixerSession() {
    if (!open) return;
    if (limiter) Mix_UnregisterEffect(MIX_CHANNEL_POST, ApplyLimiter);
    Mix_HaltChannel(-1);
    fades.clear(); // every channel has ended: the chunks go while the device is open
    Mix_HaltMusic();
    Mix_CloseAudio();
}

int MixerSession::Start(Mix_Chunk* chunk, bool looped, uint64_t owner) {
    if (!open || !chunk) return -1;
    ForgetEndedFades();
    int channel = Mix_PlayChannel(-1, chunk, looped ? -1 : 0);
    if (channel < 0) {
        // Every channel is busy: double them and try again.
        const int now = Mix_AllocateChannels(-1);
        Mix_AllocateChannels(std::max(now, 1) * 2);
        owners.resize(size_t(Mix_AllocateChannels(-1)), 0);
        SetChannelVolumes(); // the new channels too
        channel = Mix_PlayChannel(-1, chunk, looped ? -1 : 0);
    }
    if (channel < 0) return -1;
    if (size_t(channel) >= owners.size()) owners.resize(size_t(channel) + 1, 0);
    owners[size_t(channel)] = owner;
    return channel;
}

namespace {

// The mixer's callbacks of a fade (on the audio thread, with the audio locked).
void SDLCALL ApplyFade(int, void* stream, int length, void* fade) {
    static_cast<ChannelFade*>(fade)->fade.Apply(static_cast<int16_t*>(stream),
                                                size_t(length) / sizeof(int16_t));
}
void SDLCALL FadeEnded(int, void* fade) {
    static_cast<ChannelFade*>(fade)->ended = true;
}

} // namespace

bool MixerSession::FadeOut(int channel, std::shared_ptr<Mix_Chunk> samples, std::shared_ptr<Mix_Chunk> view) {
    if (!open || format != AUDIO_S16SYS) return false;
    ForgetEndedFades();
    const int frames = frequency * kLoopFadeMilliseconds / 1000;
    auto fade = std::make_unique<ChannelFade>(LinearFadeOut(frames, outputChannels), std::move(samples),
                                              std::move(view));
    if (Mix_RegisterEffect(channel, ApplyFade, FadeEnded, fade.get()) == 0) return false;
    // The mixer looks at the end before it mixes each block (1024 frames, 23 ms), so
    // the end lies a few blocks on: the fade is applied in full to the next block and
    // the channel plays silence until it ends.
    Mix_ExpireChannel(channel, kLoopFadeMilliseconds + kFadeChannelLingerMilliseconds);
    fades.push_back(std::move(fade));
    return true;
}

void MixerSession::ForgetEndedFades() {
    std::erase_if(fades, [](const std::unique_ptr<ChannelFade>& f) { return f->ended.load(); });
}

} // namespace detail

namespace {

struct ChunkDeleter {
    void operator()(Mix_Chunk* c) const { Mix_FreeChunk(c); }
};

// Little-endian writer over a buffer sized in advance.
struct Writer {
    std::vector<uint8_t>& out;
    size_t at = 0;
    void U32(uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out[at++] = uint8_t(v >> (8 * i));
    }
    void Id(const char* id) {
        for (int i = 0; i < 4; ++i)
            out[at++] = uint8_t(id[i]);
    }
    void Bytes(const std::vector<uint8_t>& bytes) {
        std::copy(bytes.begin(), bytes.end(), out.begin() + ptrdiff_t(at));
        at += bytes.size() + (bytes.size() & 1); // chunks are padded to even sizes
    }
};

uint16_t Le16(const std::vector<uint8_t>& b, size_t at) {
    return uint16_t(b[at] | b[at + 1] << 8);
}

// The samples of one effect in the device's format, shared by its voices. Those that
// our own step serves (EffectResampler.h, many times cheaper than SDL's conversion)
// are converted when the effect is first played, so that a start of the game pays
// only for the effects it plays; the others are converted by SDL when made.
class EffectSamples {
  public:
    explicit EffectSamples(std::shared_ptr<Mix_Chunk> converted) : chunk_(std::move(converted)) {}
    EffectSamples(std::vector<uint8_t> source, int sourceChannels, int factor, int deviceChannels)
        : source_(std::move(source)), sourceChannels_(sourceChannels), factor_(factor),
          deviceChannels_(deviceChannels) {}

    // Whether our own step serves this effect on this device.
    static bool Served(const MixerSession& session, const std::vector<uint8_t>& formatBlock, uint32_t rate) {
        constexpr uint16_t kPcm = 1;
        return Le16(formatBlock, 0) == kPcm && session.format == AUDIO_S16SYS &&
               rate <= uint32_t(INT32_MAX / 2) &&
               CanUpsampleEffect(int(rate), Le16(formatBlock, 2), Le16(formatBlock, 14), session.frequency,
                                 session.outputChannels);
    }

    // The converted samples; nullptr when they cannot be made.
    const std::shared_ptr<Mix_Chunk>& Chunk() {
        if (!chunk_ && !source_.empty()) {
            auto converted = std::make_shared<std::vector<int16_t>>(
                UpsampleEffect(source_, sourceChannels_, factor_, deviceChannels_));
            source_ = {}; // converted once, whatever came of it
            if (!converted->empty() && converted->size() * sizeof(int16_t) <= UINT32_MAX) {
                // The chunk points into the samples: they go with it.
                if (Mix_Chunk* c = Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(converted->data()),
                                                     Uint32(converted->size() * sizeof(int16_t))))
                    chunk_ = std::shared_ptr<Mix_Chunk>(c, [converted](Mix_Chunk* m) { Mix_FreeChunk(m); });
            }
        }
        return chunk_;
    }

  private:
    std::shared_ptr<Mix_Chunk> chunk_;
    std::vector<uint8_t> source_; // until converted
    int sourceChannels_ = 1, factor_ = 1, deviceChannels_ = 2;
};

class SdlVoice final : public IVoice {
  public:
    SdlVoice(std::shared_ptr<MixerSession> session, std::shared_ptr<EffectSamples> samples,
             uint32_t sourceRate)
        : session_(std::move(session)), samples_(std::move(samples)), sourceRate_(sourceRate),
          id_(session_->nextVoiceId++) {}
    ~SdlVoice() override { Stop(); }

    std::unique_ptr<IVoice> Duplicate() override {
        return std::make_unique<SdlVoice>(session_, samples_, sourceRate_);
    }

    void Play(bool looped) override {
        Stop();
        looped_ = looped;
        chunk_ = samples_->Chunk();
        if (!chunk_) return;
        Mix_Chunk* chunk = chunk_.get();
        view_.reset();
        if (position_ > 0) {
            // A chunk that starts inside the converted samples (it owns no memory).
            const uint64_t frame = uint64_t(position_) * uint64_t(session_->frequency) / sourceRate_;
            const uint64_t offset = frame * uint64_t(session_->BytesPerFrame());
            if (offset >= chunk_->alen) return; // past the end: nothing to hear
            view_.reset(Mix_QuickLoad_RAW(chunk_->abuf + offset, Uint32(chunk_->alen - offset)),
                        ChunkDeleter{});
            if (!view_) return;
            chunk = view_.get();
        }
        channel_ = session_->Start(chunk, looped, id_);
    }

    // A looped sound fades out over a few milliseconds instead of stopping mid-wave
    // (which clicks); a single sound stops at once.
    void Stop() override {
        if (channel_ >= 0 && session_->Owns(channel_, id_) && Mix_Playing(channel_)) {
            if (!looped_ || !session_->FadeOut(channel_, chunk_, view_)) Mix_HaltChannel(channel_);
        }
        channel_ = -1;
    }

    void SetPosition(uint32_t sampleFrame) override { position_ = sampleFrame; }

    bool IsPlaying() const override {
        return channel_ >= 0 && session_->Owns(channel_, id_) && Mix_Playing(channel_) != 0;
    }

  private:
    std::shared_ptr<MixerSession> session_; // first: outlives the chunks below
    std::shared_ptr<EffectSamples> samples_;
    std::shared_ptr<Mix_Chunk> chunk_; // the samples' chunk, once played
    std::shared_ptr<Mix_Chunk> view_;  // shared with a fade that still plays it
    uint32_t sourceRate_;
    uint64_t id_;
    int channel_ = -1;
    uint32_t position_ = 0;
    bool looped_ = false;
};

} // namespace

std::vector<uint8_t> MakeRiffWave(const std::vector<uint8_t>& formatBlock,
                                  const std::vector<uint8_t>& samples) {
    const size_t fmtPadded = formatBlock.size() + (formatBlock.size() & 1);
    const size_t dataPadded = samples.size() + (samples.size() & 1);
    std::vector<uint8_t> out(12 + 8 + fmtPadded + 8 + dataPadded, 0);
    Writer w{out};
    w.Id("RIFF");
    w.U32(uint32_t(out.size() - 8));
    w.Id("WAVE");
    w.Id("fmt ");
    w.U32(uint32_t(formatBlock.size()));
    w.Bytes(formatBlock);
    w.Id("data");
    w.U32(uint32_t(samples.size()));
    w.Bytes(samples);
    return out;
}

SdlAudioDevice::SdlAudioDevice(const AudioOptions& options)
    : session_(std::make_shared<MixerSession>(options.frequency, options.channels, options.silent)) {}

SdlAudioDevice::~SdlAudioDevice() = default;

bool SdlAudioDevice::Ready() const {
    return session_->open;
}

int SdlAudioDevice::Channels() const {
    return session_->open ? Mix_AllocateChannels(-1) : 0;
}

std::unique_ptr<IVoice> SdlAudioDevice::MakeVoice(const std::vector<uint8_t>& formatBlock,
                                                  const std::vector<uint8_t>& samples) {
    // The format block is a WAVEFORMAT at least: tag, channels, rate, byte rate, align, bits.
    if (!session_->open || formatBlock.size() < 16 || samples.empty()) return nullptr;
    const uint32_t rate = uint32_t(formatBlock[4]) | uint32_t(formatBlock[5]) << 8 |
                          uint32_t(formatBlock[6]) << 16 | uint32_t(formatBlock[7]) << 24;
    if (rate == 0) return nullptr;
    if (EffectSamples::Served(*session_, formatBlock, rate)) {
        auto lazy = std::make_shared<EffectSamples>(
            samples, Le16(formatBlock, 2), session_->frequency / int(rate), session_->outputChannels);
        return std::make_unique<SdlVoice>(session_, std::move(lazy), rate);
    }
    std::vector<uint8_t> wave = MakeRiffWave(formatBlock, samples);
    SDL_RWops* rw = SDL_RWFromConstMem(wave.data(), int(wave.size()));
    if (!rw) return nullptr;
    Mix_Chunk* chunk = Mix_LoadWAV_RW(rw, 1); // converted to the device's format
    if (!chunk) return nullptr;
    return std::make_unique<SdlVoice>(
        session_, std::make_shared<EffectSamples>(std::shared_ptr<Mix_Chunk>(chunk, ChunkDeleter{})), rate);
}

} // namespace vorlane
