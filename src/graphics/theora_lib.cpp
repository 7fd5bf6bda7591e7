// The movie library over libtheora, libvorbis and libogg: the file is read whole, split into the
// packets of its first Theora and first Vorbis stream, and decoded on request.
//
// [SECTION] reading and splitting the Ogg file
// [SECTION] movie part
// [SECTION] sound part
// [SECTION] handles and the operations
// [SECTION] binding
#include "graphics/theora_lib.h"

#include <ogg/ogg.h>
#include <theora/theoradec.h>
#include <vorbis/codec.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace orva {
namespace {

// [SECTION] reading and splitting the Ogg file ------------------------------------------------

// Larger streams are refused rather than read into memory.
constexpr int64_t kMaxMovieBytes = int64_t(1) << 30;
// Pictures wider or taller than this are refused before anything is allocated for them.
constexpr uint32_t kMaxPictureSide = 4096;
// The sound track is cut after this many sample frames (about 100 minutes at 44,100 Hz, 1 GiB).
constexpr size_t kMaxSoundFrames = size_t(1) << 28;

struct OggPacketData {
    std::vector<uint8_t> Bytes;
    int64_t GranulePos = -1;
    bool Bos = false;
    bool Eos = false;
};

// The packets of one logical stream, in order.
struct OggStreamPackets {
    int Serial = 0;
    std::vector<OggPacketData> Packets;
};

ogg_packet AsOggPacket(OggPacketData& p, int64_t number) {
    ogg_packet op{};
    op.packet = p.Bytes.data();
    op.bytes = static_cast<long>(p.Bytes.size());
    op.b_o_s = p.Bos ? 1 : 0;
    op.e_o_s = p.Eos ? 1 : 0;
    op.granulepos = p.GranulePos;
    op.packetno = number;
    return op;
}

std::vector<uint8_t> ReadWholeStream(void* stream, TheoraReadFunc read, TheoraSizeFunc size) {
    std::vector<uint8_t> bytes;
    if (!read || !size) return bytes;
    const int64_t total = size(stream);
    if (total <= 0 || total > kMaxMovieBytes) return bytes;
    bytes.resize(static_cast<size_t>(total));
    int64_t got = 0;
    while (got < total) {
        const int32_t want = static_cast<int32_t>(std::min<int64_t>(total - got, 1 << 20));
        const int32_t n = read(stream, bytes.data() + got, got, want);
        if (n <= 0) break;
        got += std::min<int64_t>(n, want);
    }
    bytes.resize(static_cast<size_t>(got));
    return bytes;
}

// Splits an Ogg file into its logical streams' packets. Damaged pages are skipped by libogg.
std::vector<OggStreamPackets> SplitOgg(const std::vector<uint8_t>& bytes) {
    std::vector<OggStreamPackets> streams;
    std::map<int, std::unique_ptr<ogg_stream_state, void (*)(ogg_stream_state*)>> states;
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    if (char* buf = ogg_sync_buffer(&sync, static_cast<long>(bytes.size()))) {
        if (!bytes.empty()) std::memcpy(buf, bytes.data(), bytes.size());
        ogg_sync_wrote(&sync, static_cast<long>(bytes.size()));
    }
    ogg_page page;
    for (;;) {
        const int r = ogg_sync_pageout(&sync, &page);
        if (r == 0) break;
        if (r < 0) continue;  // bytes skipped to the next page
        const int serial = ogg_page_serialno(&page);
        auto it = states.find(serial);
        if (it == states.end()) {
            if (!ogg_page_bos(&page)) continue;  // a page of a stream whose start is missing
            auto* st = new ogg_stream_state;
            ogg_stream_init(st, serial);
            it = states.emplace(serial, std::unique_ptr<ogg_stream_state, void (*)(ogg_stream_state*)>(
                                            st, [](ogg_stream_state* s) {
                                                ogg_stream_clear(s);
                                                delete s;
                                            }))
                     .first;
            streams.push_back({serial, {}});
        }
        if (ogg_stream_pagein(it->second.get(), &page) != 0) continue;
        auto target = std::find_if(streams.begin(), streams.end(), [&](const auto& s) { return s.Serial == serial; });
        ogg_packet op;
        int pr;
        while ((pr = ogg_stream_packetout(it->second.get(), &op)) != 0) {
            if (pr < 0) continue;  // a gap in the stream
            OggPacketData p;
            p.Bytes.assign(op.packet, op.packet + op.bytes);
            p.GranulePos = op.granulepos;
            p.Bos = op.b_o_s != 0;
            p.Eos = op.e_o_s != 0;
            target->Packets.push_back(std::move(p));
        }
    }
    ogg_sync_clear(&sync);
    return streams;
}

uint8_t Clamp8(int v) { return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

std::string CommentText(const char* vendor, char** comments, const int* lengths, int count) {
    std::string text = vendor ? vendor : "";
    for (int i = 0; i < count; ++i) {
        text += '\n';
        if (comments[i]) text.append(comments[i], static_cast<size_t>(lengths[i]));
    }
    return text;
}

// [SECTION] movie part -------------------------------------------------------------------------

class TheoraMovie {
public:
    ~TheoraMovie() { Unload(); }

    void Unload() {
        if (Decoder) th_decode_free(Decoder);
        Decoder = nullptr;
        if (Setup) th_setup_free(Setup);
        Setup = nullptr;
        Frames.clear();
        KeyFrame.clear();
        Info = {};
        Comment.clear();
        DecodedFrame = -1;
        NowFrame = -1;
        Picture = nullptr;
        Row = nullptr;
        Loaded = false;
    }

    void Load(void* stream, TheoraReadFunc read, TheoraSizeFunc size, void* picture, TheoraRowFunc row,
              TheoraResizeFunc resize) {
        Unload();
        for (OggStreamPackets& s : SplitOgg(ReadWholeStream(stream, read, size)))
            if (TryStream(s)) break;
        if (!Loaded) return;
        Picture = picture;
        Row = row;
        if (resize && picture) resize(picture, Info.PictureWidth, Info.PictureHeight);
    }

    void DecodeFrame(int32_t frame) {
        if (!Loaded || Frames.empty()) return;
        const int32_t last = static_cast<int32_t>(Frames.size()) - 1;
        const int32_t target = std::clamp(frame, 0, last);
        if (!AdvanceTo(target)) return;
        NowFrame = target;
        WritePicture();
    }

    void SetUpright(bool on) { Upright = on; }
    void SetDecodeMode(int32_t mode) {
        PostLevel = std::max(0, mode);
        if (Decoder) ApplyPostLevel();
    }

    bool Loaded = false;
    TheoraMovieInfo Info{};
    std::string Comment;
    int32_t NowFrame = -1;

private:
    // Takes the stream when it is Theora: reads its headers and keeps its frame packets.
    bool TryStream(OggStreamPackets& s) {
        th_info info;
        th_comment comment;
        th_info_init(&info);
        th_comment_init(&comment);
        th_setup_info* setup = nullptr;
        size_t i = 0;
        bool headersDone = false;
        for (; i < s.Packets.size(); ++i) {
            ogg_packet op = AsOggPacket(s.Packets[i], static_cast<int64_t>(i));
            const int r = th_decode_headerin(&info, &comment, &setup, &op);
            if (r == 0) {
                headersDone = true;
                break;
            }
            if (r < 0) break;
        }
        // A stream of headers only is a movie of no frames: still not one we can show.
        const bool ok = headersDone && setup && info.pic_width > 0 && info.pic_height > 0 &&
                        info.frame_width <= kMaxPictureSide && info.frame_height <= kMaxPictureSide;
        if (ok) {
            Setup = setup;
            Info.FrameWidth = static_cast<int32_t>(info.frame_width);
            Info.FrameHeight = static_cast<int32_t>(info.frame_height);
            Info.PictureX = static_cast<int32_t>(info.pic_x);
            Info.PictureY = static_cast<int32_t>(info.pic_y);
            Info.PictureWidth = static_cast<int32_t>(info.pic_width);
            Info.PictureHeight = static_cast<int32_t>(info.pic_height);
            Info.FpsNumerator = static_cast<int32_t>(info.fps_numerator);
            Info.FpsDenominator = static_cast<int32_t>(info.fps_denominator);
            Info.AspectNumerator = static_cast<int32_t>(info.aspect_numerator);
            Info.AspectDenominator = static_cast<int32_t>(info.aspect_denominator);
            Info.PixelFormat = static_cast<int32_t>(info.pixel_fmt);
            TInfo = info;
            Comment = CommentText(comment.vendor, comment.user_comments, comment.comment_lengths, comment.comments);
            for (; i < s.Packets.size(); ++i) {
                ogg_packet op = AsOggPacket(s.Packets[i], static_cast<int64_t>(i));
                // A zero-length packet repeats the previous frame.
                KeyFrame.push_back(op.bytes > 0 && th_packet_iskeyframe(&op) == 1);
                Frames.push_back(std::move(s.Packets[i]));
            }
            Info.TotalFrames = static_cast<int32_t>(Frames.size());
            Loaded = !Frames.empty();
            if (!Loaded) {
                th_setup_free(Setup);
                Setup = nullptr;
                Info = {};
                Comment.clear();
            }
        } else if (setup) {
            th_setup_free(setup);
        }
        th_comment_clear(&comment);
        th_info_clear(&info);
        return Loaded;
    }

    void ApplyPostLevel() {
        int maxLevel = 0;
        th_decode_ctl(Decoder, TH_DECCTL_GET_PPLEVEL_MAX, &maxLevel, sizeof maxLevel);
        int level = std::min(PostLevel, maxLevel);
        th_decode_ctl(Decoder, TH_DECCTL_SET_PPLEVEL, &level, sizeof level);
    }

    // Feeds packets until `target` is the decoder's current frame. Going back, or forward past a
    // key frame, restarts from the last key frame at or before the target.
    bool AdvanceTo(int32_t target) {
        bool restart = !Decoder || target < DecodedFrame;
        if (!restart)
            for (int32_t f = DecodedFrame + 1; f <= target; ++f)
                if (KeyFrame[static_cast<size_t>(f)]) restart = true;
        int32_t from = DecodedFrame + 1;
        if (restart) {
            int32_t key = target;
            while (key > 0 && !KeyFrame[static_cast<size_t>(key)]) --key;
            if (Decoder) th_decode_free(Decoder);
            Decoder = th_decode_alloc(&TInfo, Setup);
            if (!Decoder) return false;
            ApplyPostLevel();
            DecodedFrame = -1;
            from = key;
        }
        for (int32_t f = from; f <= target; ++f) {
            ogg_packet op = AsOggPacket(Frames[static_cast<size_t>(f)], f + 3);
            th_decode_packetin(Decoder, &op, nullptr);  // a damaged packet leaves the previous frame
            DecodedFrame = f;
        }
        return true;
    }

    void WritePicture() {
        th_ycbcr_buffer buf;
        if (!Row || !Picture || th_decode_ycbcr_out(Decoder, buf) != 0) return;
        const int xdec = (Info.PixelFormat & 1) ? 0 : 1;
        const int ydec = (Info.PixelFormat & 2) ? 0 : 1;
        const int w = Info.PictureWidth, h = Info.PictureHeight;
        for (int y = 0; y < h; ++y) {
            uint8_t* out = Row(Picture, Upright ? y : h - 1 - y);
            if (!out) continue;
            const int fy = Info.PictureY + y;
            const uint8_t* ly = buf[0].data + static_cast<ptrdiff_t>(fy) * buf[0].stride;
            const uint8_t* lb = buf[1].data + static_cast<ptrdiff_t>(fy >> ydec) * buf[1].stride;
            const uint8_t* lr = buf[2].data + static_cast<ptrdiff_t>(fy >> ydec) * buf[2].stride;
            for (int x = 0; x < w; ++x) {
                const int fx = Info.PictureX + x;
                // Studio-range Y'CbCr (BT.601) to full-range RGB, 8 fraction bits.
                const int c = 298 * (ly[fx] - 16), d = lb[fx >> xdec] - 128, e = lr[fx >> xdec] - 128;
                out[4 * x + 0] = Clamp8((c + 516 * d + 128) >> 8);
                out[4 * x + 1] = Clamp8((c - 100 * d - 208 * e + 128) >> 8);
                out[4 * x + 2] = Clamp8((c + 409 * e + 128) >> 8);
                out[4 * x + 3] = 0;
            }
        }
    }

    th_info TInfo{};
    th_setup_info* Setup = nullptr;
    th_dec_ctx* Decoder = nullptr;
    std::vector<OggPacketData> Frames;   // one packet per frame
    std::vector<bool> KeyFrame;
    int32_t DecodedFrame = -1;           // the decoder's current frame
    void* Picture = nullptr;
    TheoraRowFunc Row = nullptr;
    bool Upright = false;
    int PostLevel = 0;
};

// [SECTION] sound part ------------------------------------------------------------------------

class TheoraSound {
public:
    void Unload() {
        Samples.clear();
        Samples.shrink_to_fit();
        Info = {};
        Comment.clear();
        NowSample = 0;
        Loaded = false;
    }

    void Load(void* stream, TheoraReadFunc read, TheoraSizeFunc size) {
        Unload();
        for (OggStreamPackets& s : SplitOgg(ReadWholeStream(stream, read, size)))
            if (TryStream(s)) break;
    }

    void Decode(void* out, int32_t start, int32_t count) {
        if (!out || count <= 0) return;
        auto* dst = static_cast<int16_t*>(out);
        const int64_t total = static_cast<int64_t>(Samples.size() / 2);
        for (int64_t i = 0; i < count; ++i) {
            const int64_t s = int64_t(start) + i;
            const bool inside = s >= 0 && s < total;
            dst[2 * i] = inside ? Samples[static_cast<size_t>(2 * s)] : 0;
            dst[2 * i + 1] = inside ? Samples[static_cast<size_t>(2 * s + 1)] : 0;
        }
        NowSample = static_cast<int32_t>(std::clamp<int64_t>(int64_t(start) + count, 0, total));
    }

    bool Loaded = false;
    TheoraSoundInfo Info{};
    std::string Comment;
    int32_t NowSample = 0;
    std::vector<int16_t> Samples;   // interleaved left, right

private:
    bool TryStream(OggStreamPackets& s) {
        if (s.Packets.size() < 3) return false;
        ogg_packet first = AsOggPacket(s.Packets[0], 0);
        if (vorbis_synthesis_idheader(&first) != 1) return false;
        vorbis_info vi;
        vorbis_comment vc;
        vorbis_info_init(&vi);
        vorbis_comment_init(&vc);
        bool ok = true;
        for (size_t i = 0; i < 3 && ok; ++i) {
            ogg_packet op = AsOggPacket(s.Packets[i], static_cast<int64_t>(i));
            ok = vorbis_synthesis_headerin(&vi, &vc, &op) == 0;
        }
        vorbis_dsp_state vd;
        vorbis_block vb;
        if (ok) ok = vorbis_synthesis_init(&vd, &vi) == 0;
        if (ok) {
            vorbis_block_init(&vd, &vb);
            int64_t lastGranule = -1;
            for (size_t i = 3; i < s.Packets.size() && Samples.size() < 2 * kMaxSoundFrames; ++i) {
                ogg_packet op = AsOggPacket(s.Packets[i], static_cast<int64_t>(i));
                if (op.granulepos >= 0) lastGranule = op.granulepos;
                if (vorbis_synthesis(&vb, &op) == 0) vorbis_synthesis_blockin(&vd, &vb);
                float** pcm;
                int n;
                while ((n = vorbis_synthesis_pcmout(&vd, &pcm)) > 0) {
                    const float* left = pcm[0];
                    const float* right = vi.channels > 1 ? pcm[1] : pcm[0];
                    for (int k = 0; k < n; ++k) {
                        Samples.push_back(ToSample(left[k]));
                        Samples.push_back(ToSample(right[k]));
                    }
                    vorbis_synthesis_read(&vd, n);
                }
            }
            // The last block is decoded whole; the final granule position says where the
            // track really ends.
            if (lastGranule >= 0 && static_cast<uint64_t>(lastGranule) * 2 < Samples.size())
                Samples.resize(static_cast<size_t>(lastGranule) * 2);
            vorbis_block_clear(&vb);
            vorbis_dsp_clear(&vd);
            Info.Channels = vi.channels;
            Info.BitsPerSample = 16;
            Info.SampleRate = static_cast<int32_t>(vi.rate);
            Info.BitrateNominal = static_cast<int32_t>(std::max<long>(0, vi.bitrate_nominal));
            Samples.resize(std::min(Samples.size(), 2 * kMaxSoundFrames));
            Info.TotalSamples = static_cast<int32_t>(Samples.size() / 2);
            Comment = CommentText(vc.vendor, vc.user_comments, vc.comment_lengths, vc.comments);
            Loaded = true;
        }
        vorbis_comment_clear(&vc);
        vorbis_info_clear(&vi);
        return Loaded;
    }

    static int16_t ToSample(float v) {
        const float scaled = std::nearbyint(v * 32767.0f);
        return static_cast<int16_t>(std::clamp(scaled, -32768.0f, 32767.0f));
    }
};

// [SECTION] handles and the operations ---------------------------------------------------------

template <typename T>
class HandleTable {
public:
    uint32_t Create() {
        std::lock_guard lock(Mutex);
        const uint32_t h = Next++;
        if (Next == 0) Next = 1;
        Items[h] = std::make_unique<T>();
        return h;
    }
    void Free(uint32_t h) {
        std::lock_guard lock(Mutex);
        Items.erase(h);
    }
    T* Find(uint32_t h) {
        std::lock_guard lock(Mutex);
        auto it = Items.find(h);
        return it == Items.end() ? nullptr : it->second.get();
    }

private:
    std::mutex Mutex;
    std::map<uint32_t, std::unique_ptr<T>> Items;
    uint32_t Next = 1;
};

HandleTable<TheoraMovie>& Movies() {
    static HandleTable<TheoraMovie> table;
    return table;
}
HandleTable<TheoraSound>& Sounds() {
    static HandleTable<TheoraSound> table;
    return table;
}

const TheoraMovieInfo kNoMovieInfo{};
const TheoraSoundInfo kNoSoundInfo{};

}  // namespace

uint32_t theoralib_m_create() { return Movies().Create(); }
void theoralib_m_free(uint32_t handle) { Movies().Free(handle); }
void theoralib_m_init(uint32_t handle) {
    if (TheoraMovie* m = Movies().Find(handle)) m->Unload();
}
void theoralib_m_load(uint32_t handle, void* stream, TheoraReadFunc read, TheoraSizeFunc size, void* picture,
                      TheoraRowFunc row, TheoraResizeFunc resize, int32_t) {
    if (TheoraMovie* m = Movies().Find(handle)) m->Load(stream, read, size, picture, row, resize);
}
int32_t theoralib_m_exists(uint32_t handle) {
    TheoraMovie* m = Movies().Find(handle);
    return m && m->Loaded ? 1 : 0;
}
void theoralib_m_decodeframe(uint32_t handle, int32_t frame) {
    if (TheoraMovie* m = Movies().Find(handle)) m->DecodeFrame(frame);
}
void theoralib_m_setvrevers(uint32_t handle, int32_t upright) {
    if (TheoraMovie* m = Movies().Find(handle)) m->SetUpright(upright != 0);
}
void theoralib_m_setdecodemode(uint32_t handle, int32_t mode) {
    if (TheoraMovie* m = Movies().Find(handle)) m->SetDecodeMode(mode);
}
int32_t theoralib_m_nowframe(uint32_t handle) {
    TheoraMovie* m = Movies().Find(handle);
    return m ? m->NowFrame : -1;
}
int32_t theoralib_m_totalframe(uint32_t handle) {
    TheoraMovie* m = Movies().Find(handle);
    return m ? m->Info.TotalFrames : 0;
}
int32_t theoralib_m_totaltime(uint32_t handle) {
    TheoraMovie* m = Movies().Find(handle);
    if (!m || m->Info.FpsNumerator <= 0 || m->Info.FpsDenominator <= 0) return 0;
    const double ms = 1000.0 * m->Info.TotalFrames * m->Info.FpsDenominator / m->Info.FpsNumerator;
    return static_cast<int32_t>(std::min(ms, double(INT32_MAX)));
}
const TheoraMovieInfo* theoralib_m_info(uint32_t handle) {
    TheoraMovie* m = Movies().Find(handle);
    return m ? &m->Info : &kNoMovieInfo;
}
const char* theoralib_m_comment(uint32_t handle) {
    TheoraMovie* m = Movies().Find(handle);
    return m ? m->Comment.c_str() : "";
}

uint32_t theoralib_w_create() { return Sounds().Create(); }
void theoralib_w_free(uint32_t handle) { Sounds().Free(handle); }
void theoralib_w_init(uint32_t handle) {
    if (TheoraSound* s = Sounds().Find(handle)) s->Unload();
}
void theoralib_w_load(uint32_t handle, void* stream, TheoraReadFunc read, TheoraSizeFunc size) {
    if (TheoraSound* s = Sounds().Find(handle)) s->Load(stream, read, size);
}
int32_t theoralib_w_exists(uint32_t handle) {
    TheoraSound* s = Sounds().Find(handle);
    return s && s->Loaded ? 1 : 0;
}
void theoralib_w_decodesample(uint32_t handle, void* out, int32_t start, int32_t count) {
    if (TheoraSound* s = Sounds().Find(handle)) s->Decode(out, start, count);
}
int32_t theoralib_w_nowsample(uint32_t handle) {
    TheoraSound* s = Sounds().Find(handle);
    return s ? s->NowSample : 0;
}
int32_t theoralib_w_totalsample(uint32_t handle) {
    TheoraSound* s = Sounds().Find(handle);
    return s ? s->Info.TotalSamples : 0;
}
int32_t theoralib_w_totaltime(uint32_t handle) {
    TheoraSound* s = Sounds().Find(handle);
    if (!s || s->Info.SampleRate <= 0) return 0;
    return static_cast<int32_t>(int64_t(s->Info.TotalSamples) * 1000 / s->Info.SampleRate);
}
const TheoraSoundInfo* theoralib_w_info(uint32_t handle) {
    TheoraSound* s = Sounds().Find(handle);
    return s ? &s->Info : &kNoSoundInfo;
}
const char* theoralib_w_comment(uint32_t handle) {
    TheoraSound* s = Sounds().Find(handle);
    return s ? s->Comment.c_str() : "";
}

// [SECTION] binding ---------------------------------------------------------------------------

const char* const kTheoraEntryNames[24] = {
    "theoralib_m_create",      "theoralib_m_free",         "theoralib_m_init",       "theoralib_m_load",
    "theoralib_m_exists",      "theoralib_m_decodeframe",  "theoralib_m_setvrevers", "theoralib_m_setdecodemode",
    "theoralib_m_nowframe",    "theoralib_m_totalframe",   "theoralib_m_totaltime",  "theoralib_m_info",
    "theoralib_m_comment",     "theoralib_w_create",       "theoralib_w_free",       "theoralib_w_init",
    "theoralib_w_load",        "theoralib_w_exists",       "theoralib_w_decodesample", "theoralib_w_nowsample",
    "theoralib_w_totalsample", "theoralib_w_totaltime",    "theoralib_w_info",       "theoralib_w_comment",
};

namespace {

// The bound members in the order of kTheoraEntryNames, with the linked operations.
template <typename F>
void ForEachEntry(TTheoraLib& lib, F&& f) {
    size_t i = 0;
    auto one = [&](auto& member, auto linked) { f(kTheoraEntryNames[i++], member, linked); };
    one(lib.m_create, &theoralib_m_create);
    one(lib.m_free, &theoralib_m_free);
    one(lib.m_init, &theoralib_m_init);
    one(lib.m_load, &theoralib_m_load);
    one(lib.m_exists, &theoralib_m_exists);
    one(lib.m_decodeframe, &theoralib_m_decodeframe);
    one(lib.m_setvrevers, &theoralib_m_setvrevers);
    one(lib.m_setdecodemode, &theoralib_m_setdecodemode);
    one(lib.m_nowframe, &theoralib_m_nowframe);
    one(lib.m_totalframe, &theoralib_m_totalframe);
    one(lib.m_totaltime, &theoralib_m_totaltime);
    one(lib.m_info, &theoralib_m_info);
    one(lib.m_comment, &theoralib_m_comment);
    one(lib.w_create, &theoralib_w_create);
    one(lib.w_free, &theoralib_w_free);
    one(lib.w_init, &theoralib_w_init);
    one(lib.w_load, &theoralib_w_load);
    one(lib.w_exists, &theoralib_w_exists);
    one(lib.w_decodesample, &theoralib_w_decodesample);
    one(lib.w_nowsample, &theoralib_w_nowsample);
    one(lib.w_totalsample, &theoralib_w_totalsample);
    one(lib.w_totaltime, &theoralib_w_totaltime);
    one(lib.w_info, &theoralib_w_info);
    one(lib.w_comment, &theoralib_w_comment);
}

}  // namespace

TheoraLibLoader LinkedTheoraLib() {
    TheoraLibLoader loader;
    loader.Exists = [](const std::filesystem::path&) { return true; };
    loader.Load = [](const std::filesystem::path&) { return true; };
    loader.Resolve = [](std::string_view name) -> void* {
        void* address = nullptr;
        TTheoraLib table;
        ForEachEntry(table, [&](const char* entry, auto&, auto linked) {
            if (name == entry) address = reinterpret_cast<void*>(linked);
        });
        return address;
    };
    return loader;
}

void TTheoraLib::Unbind() { *this = TTheoraLib{}; }

TheoraBindResult TTheoraLib::Bind(const TheoraLibLoader& loader, std::string& message) {
    Unbind();
    std::error_code ec;
    const std::filesystem::path full = loader.File.empty() ? loader.File : std::filesystem::absolute(loader.File, ec);
    if (!loader.Exists || !loader.Exists(full)) {
        message = "theoralib:指定されたファイルが見つかりません(" + full.string() + ")";
        return TheoraBindResult::FileMissing;
    }
    if (!loader.Load || !loader.Load(full)) {
        message = "theoralib:DLL読み込みに失敗(" + full.string() + ")";
        return TheoraBindResult::LoadFailed;
    }
    bool missing = false;
    ForEachEntry(*this, [&](const char* entry, auto& member, auto) {
        if (missing) return;
        void* address = loader.Resolve ? loader.Resolve(entry) : nullptr;
        if (!address) {
            message = std::string("関数(") + entry + ")の所得に失敗しました";
            missing = true;
            return;
        }
        member = reinterpret_cast<std::remove_reference_t<decltype(member)>>(address);
    });
    if (missing) {
        Unbind();
        return TheoraBindResult::EntryMissing;
    }
    return TheoraBindResult::Bound;
}

}  // namespace orva
