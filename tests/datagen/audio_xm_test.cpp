// The XM writer: the header fields, packed pattern cells, instruments with envelopes and
// delta-coded 16-bit samples, as the module player reads them back; the checks that
// refuse a module the player could not play; and sample tuning.
#include "datagen/audio/Xm.h"

#include <gtest/gtest.h>
#include <xmp.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

namespace vorlane::datagen::audio {
namespace {

// A module loaded into the player, released at the end of the test.
class Loaded {
  public:
    explicit Loaded(const std::vector<uint8_t>& bytes) : ctx_(xmp_create_context()) {
        ok_ = xmp_load_module_from_memory(ctx_, bytes.data(), long(bytes.size())) == 0;
        if (ok_) xmp_get_module_info(ctx_, &info_);
    }
    ~Loaded() {
        if (ok_) xmp_release_module(ctx_);
        xmp_free_context(ctx_);
    }
    bool ok() const { return ok_; }
    const xmp_module& mod() const { return *info_.mod; }
    const xmp_event& Event(int pattern, int channel, int row) const {
        const xmp_pattern* p = mod().xxp[pattern];
        return mod().xxt[p->index[channel]]->event[row];
    }

  private:
    xmp_context ctx_;
    xmp_module_info info_{};
    bool ok_ = false;
};

XmModule SmallModule() {
    XmModule m;
    m.name = "test";
    m.channels = 2;
    m.speed = 5;
    m.bpm = 140;
    XmPattern p;
    p.rows = 4;
    p.cells.resize(8);
    p.cells[0] = {49, 1, 0x50, 0x0F, 6};  // every field: stored unpacked
    p.cells[3] = {kXmKeyOff, 0, 0, 0, 0}; // row 1, channel 1: key off alone
    p.cells[4] = {0, 0, 0, 0x0D, 0};      // row 2, channel 0: an effect whose parameter is 0
    p.cells[7] = {61, 1, 0x30, 0, 0};     // row 3, channel 1
    m.patterns = {p, p};
    m.orders = {1, 0, 1};
    m.restart = 1;
    XmInstrument ins;
    ins.name = "beep";
    ins.sample.name = "beep";
    ins.sample.data = {0, 1000, -1000, 32767, -32768, 5, 7, -3};
    ins.sample.loopStart = 2;
    ins.sample.loopLength = 6;
    ins.sample.volume = 40;
    ins.sample.relativeNote = -3;
    ins.sample.finetune = 17;
    ins.volumeEnvelope.points = {{0, 0}, {5, 64}, {20, 32}};
    ins.volumeEnvelope.on = true;
    ins.volumeEnvelope.sustain = 1;
    ins.fadeout = 1200;
    ins.vibratoDepth = 4;
    ins.vibratoRate = 12;
    m.instruments = {ins};
    return m;
}

TEST(AudioXm, HeaderFields) {
    const std::vector<uint8_t> b = WriteXm(SmallModule());
    auto u16 = [&](size_t at) { return b[at] | (b[at + 1] << 8); };
    ASSERT_GT(b.size(), 336u);
    EXPECT_EQ(std::string(b.begin(), b.begin() + 17), "Extended Module: ");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[17])), "test");
    EXPECT_EQ(b[37], 0x1A);
    EXPECT_EQ(u16(58), 0x0104);
    EXPECT_EQ(u16(60), 276); // header size
    EXPECT_EQ(u16(64), 3);   // song length
    EXPECT_EQ(u16(66), 1);   // restart position
    EXPECT_EQ(u16(68), 2);   // channels
    EXPECT_EQ(u16(70), 2);   // patterns
    EXPECT_EQ(u16(72), 1);   // instruments
    EXPECT_EQ(u16(74), 1);   // linear frequencies
    EXPECT_EQ(u16(76), 5);   // speed
    EXPECT_EQ(u16(78), 140); // BPM
    EXPECT_EQ(b[80], 1);
    EXPECT_EQ(b[81], 0);
    EXPECT_EQ(b[82], 1);
}

TEST(AudioXm, ThePlayerReadsBackPatternsInstrumentsAndSamples) {
    const XmModule m = SmallModule();
    Loaded xm(WriteXm(m));
    ASSERT_TRUE(xm.ok());
    EXPECT_EQ(xm.mod().chn, 2);
    EXPECT_EQ(xm.mod().len, 3);
    EXPECT_EQ(xm.mod().rst, 1);
    EXPECT_EQ(xm.mod().spd, 5);
    EXPECT_EQ(xm.mod().bpm, 140);
    EXPECT_EQ(xm.mod().ins, 1);
    EXPECT_EQ(xm.mod().xxo[0], 1);

    // The player counts notes from C-0 = 12 and volumes from 1.
    const xmp_event& full = xm.Event(0, 0, 0);
    EXPECT_EQ(full.note, 49 + 12);
    EXPECT_EQ(full.ins, 1);
    EXPECT_EQ(full.vol, 0x40 + 1);
    EXPECT_EQ(full.fxt, 0x0F);
    EXPECT_EQ(full.fxp, 6);
    EXPECT_EQ(xm.Event(0, 1, 1).note, XMP_KEY_OFF);
    EXPECT_EQ(xm.Event(0, 0, 2).fxt, 0x0D);
    EXPECT_EQ(xm.Event(0, 0, 2).note, 0);
    EXPECT_EQ(xm.Event(1, 1, 3).note, 61 + 12);
    EXPECT_EQ(xm.Event(1, 1, 3).vol, 0x20 + 1);
    EXPECT_EQ(xm.Event(0, 1, 0).note, 0); // empty cells stay empty

    const xmp_instrument& ins = xm.mod().xxi[0];
    EXPECT_STREQ(ins.name, "beep");
    EXPECT_EQ(ins.aei.npt, 3);
    EXPECT_TRUE(ins.aei.flg & XMP_ENVELOPE_ON);
    EXPECT_TRUE(ins.aei.flg & XMP_ENVELOPE_SUS);
    EXPECT_EQ(ins.aei.sus, 1);
    EXPECT_EQ(ins.aei.data[2], 5);
    EXPECT_EQ(ins.aei.data[3], 64);
    EXPECT_EQ(ins.sub[0].vol, 40);
    EXPECT_EQ(ins.sub[0].xpo, -3);
    EXPECT_EQ(ins.sub[0].fin, 17);
    EXPECT_GT(ins.sub[0].vde, 0); // the player keeps depth in its own units
    EXPECT_EQ(ins.sub[0].vra, 12);

    // Delta coding survives the extremes (32767 then -32768 wraps around).
    const xmp_sample& s = xm.mod().xxs[ins.sub[0].sid];
    ASSERT_TRUE(s.flg & XMP_SAMPLE_16BIT);
    ASSERT_EQ(s.len, 8);
    EXPECT_EQ(s.lps, 2);
    EXPECT_EQ(s.lpe, 8);
    EXPECT_TRUE(s.flg & XMP_SAMPLE_LOOP);
    std::vector<int16_t> data(8);
    std::memcpy(data.data(), s.data, 16);
    EXPECT_EQ(data, m.instruments[0].sample.data);
}

TEST(AudioXm, RefusesWhatThePlayerCouldNotPlay) {
    struct Case {
        const char* what;
        void (*spoil)(XmModule&);
    };
    const Case cases[] = {
        {"order table", [](XmModule& m) { m.orders.clear(); }},
        {"missing pattern", [](XmModule& m) { m.orders.push_back(2); }},
        {"restart", [](XmModule& m) { m.restart = 3; }},
        {"cells", [](XmModule& m) { m.patterns[0].cells.pop_back(); }},
        {"channel count", [](XmModule& m) { m.channels = 33; }},
        {"missing instrument", [](XmModule& m) { m.patterns[1].cells[2].instrument = 2; }},
        {"note", [](XmModule& m) { m.patterns[1].cells[2].note = 98; }},
        {"past the end", [](XmModule& m) { m.instruments[0].sample.loopLength = 7; }},
        {"12 points", [](XmModule& m) { m.instruments[0].volumeEnvelope.points.resize(13); }},
        {"ticks must rise", [](XmModule& m) { m.instruments[0].volumeEnvelope.points[2].first = 5; }},
        {"BPM", [](XmModule& m) { m.bpm = 300; }},
    };
    for (const Case& c : cases) {
        XmModule m = SmallModule();
        c.spoil(m);
        try {
            WriteXm(m);
            ADD_FAILURE() << "accepted a module with a bad " << c.what;
        } catch (const std::invalid_argument& e) {
            EXPECT_NE(std::string(e.what()).find(c.what), std::string::npos) << e.what();
        }
    }
}

TEST(AudioXm, TunedSamplesPlayMiddleCAtItsPitch) {
    // The player's linear frequency at C-4: 8363 Hz times 2^((relative note + finetune/128)/12).
    const struct {
        double rate, pitch;
    } cases[] = {{44100.0, 131.0}, {22050.0, 261.6255653}, {44100.0, 55.0}, {8000.0, 440.0}};
    for (const auto& c : cases) {
        XmSample s;
        TuneSample(s, c.rate, c.pitch);
        const double playback = 8363.0 * std::pow(2.0, (s.relativeNote + s.finetune / 128.0) / 12.0);
        const double heard = c.pitch * playback / c.rate;
        EXPECT_NEAR(1200.0 * std::log2(heard / 261.6255653), 0.0, 0.5)
            << c.rate << " Hz, " << c.pitch << " Hz";
    }
}

} // namespace
} // namespace vorlane::datagen::audio
