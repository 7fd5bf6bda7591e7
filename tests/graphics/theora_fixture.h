// Test movies: a small Ogg file with a Theora picture track and an optional Vorbis sound track,
// encoded in the test with libtheoraenc and libvorbisenc.
//
// Every frame shows the same picture: the top half white, the bottom half black, and in the top
// half's left 8 columns a grey whose level names the frame (FrameMarkY). Around the picture the
// coded frame is filled with a colour that must never be shown.
#pragma once

#include <ogg/ogg.h>
#include <theora/theoraenc.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace orva::test {

struct TestMovieSpec {
    int PicW = 40, PicH = 24;       // shown picture
    int PicX = 4, PicY = 6;         // its place in the 48×32 coded frame
    int Frames = 10;
    int FpsNum = 12, FpsDen = 1;
    int KeyFrameEvery = 4;
    bool Video = true;
    bool Sound = true;
    int SoundRate = 22050;
    int SoundChannels = 1;
    int SoundFrames = 11025;        // a 440 Hz sine
};

// The luma of frame f's marker columns.
inline int FrameMarkY(int f) { return 40 + 16 * f; }

namespace detail {

inline void TakePages(ogg_stream_state& os, std::vector<uint8_t>& out, bool flush) {
    ogg_page page;
    while (flush ? ogg_stream_flush(&os, &page) : ogg_stream_pageout(&os, &page)) {
        out.insert(out.end(), page.header, page.header + page.header_len);
        out.insert(out.end(), page.body, page.body + page.body_len);
    }
}

}  // namespace detail

inline std::vector<uint8_t> EncodeTestMovie(const TestMovieSpec& spec) {
    std::vector<uint8_t> out, videoData, soundData;
    ogg_stream_state vs, as;
    ogg_stream_init(&vs, 1001);
    ogg_stream_init(&as, 2002);
    ogg_packet op;

    // Pictures.
    th_enc_ctx* enc = nullptr;
    const int fw = (spec.PicX + spec.PicW + 15) & ~15, fh = (spec.PicY + spec.PicH + 15) & ~15;
    if (spec.Video) {
        th_info ti;
        th_info_init(&ti);
        ti.frame_width = fw;
        ti.frame_height = fh;
        ti.pic_width = spec.PicW;
        ti.pic_height = spec.PicH;
        ti.pic_x = spec.PicX;
        ti.pic_y = spec.PicY;
        ti.fps_numerator = spec.FpsNum;
        ti.fps_denominator = spec.FpsDen;
        ti.aspect_numerator = ti.aspect_denominator = 1;
        ti.colorspace = TH_CS_UNSPECIFIED;
        ti.pixel_fmt = TH_PF_420;
        ti.quality = 63;
        ti.keyframe_granule_shift = 6;
        enc = th_encode_alloc(&ti);
        th_info_clear(&ti);
        if (!enc) throw std::runtime_error("theora encoder refused the test format");
        int freq = spec.KeyFrameEvery;
        th_encode_ctl(enc, TH_ENCCTL_SET_KEYFRAME_FREQUENCY_FORCE, &freq, sizeof freq);
        th_comment tc;
        th_comment_init(&tc);
        char tag[] = "TITLE", value[] = "test movie";
        th_comment_add_tag(&tc, tag, value);
        bool first = true;
        while (th_encode_flushheader(enc, &tc, &op) > 0) {
            ogg_stream_packetin(&vs, &op);
            if (first) detail::TakePages(vs, out, true);  // the first page holds only the id header
            first = false;
        }
        th_comment_clear(&tc);
    }

    // Sound headers.
    vorbis_info vi;
    vorbis_comment vc;
    vorbis_dsp_state vd;
    vorbis_block vb;
    if (spec.Sound) {
        vorbis_info_init(&vi);
        if (vorbis_encode_init_vbr(&vi, spec.SoundChannels, spec.SoundRate, 0.4f) != 0)
            throw std::runtime_error("vorbis encoder refused the test format");
        vorbis_comment_init(&vc);
        vorbis_analysis_init(&vd, &vi);
        vorbis_block_init(&vd, &vb);
        ogg_packet h0, h1, h2;
        vorbis_analysis_headerout(&vd, &vc, &h0, &h1, &h2);
        ogg_stream_packetin(&as, &h0);
        detail::TakePages(as, out, true);
        ogg_stream_packetin(&as, &h1);
        ogg_stream_packetin(&as, &h2);
    }
    detail::TakePages(vs, out, true);
    detail::TakePages(as, out, true);

    if (spec.Video) {
        std::vector<uint8_t> y(size_t(fw * fh)), cb(size_t(fw * fh / 4)), cr(size_t(fw * fh / 4));
        for (int f = 0; f < spec.Frames; ++f) {
            for (int r = 0; r < fh; ++r)
                for (int c = 0; c < fw; ++c) {
                    const bool inside = c >= spec.PicX && c < spec.PicX + spec.PicW && r >= spec.PicY &&
                                        r < spec.PicY + spec.PicH;
                    const int pr = r - spec.PicY, pc = c - spec.PicX;
                    uint8_t v = 150;
                    if (inside) v = pr < spec.PicH / 2 ? (pc < 8 ? uint8_t(FrameMarkY(f)) : 235) : 16;
                    y[size_t(r * fw + c)] = v;
                }
            for (int r = 0; r < fh / 2; ++r)
                for (int c = 0; c < fw / 2; ++c) {
                    const bool inside = 2 * c >= spec.PicX && 2 * c < spec.PicX + spec.PicW && 2 * r >= spec.PicY &&
                                        2 * r < spec.PicY + spec.PicH;
                    cb[size_t(r * fw / 2 + c)] = inside ? 128 : 50;
                    cr[size_t(r * fw / 2 + c)] = inside ? 128 : 50;
                }
            th_ycbcr_buffer buf;
            buf[0] = {fw, fh, fw, y.data()};
            buf[1] = {fw / 2, fh / 2, fw / 2, cb.data()};
            buf[2] = {fw / 2, fh / 2, fw / 2, cr.data()};
            if (th_encode_ycbcr_in(enc, buf) != 0) throw std::runtime_error("theora encoder refused a frame");
            while (th_encode_packetout(enc, f == spec.Frames - 1, &op) > 0) ogg_stream_packetin(&vs, &op);
            detail::TakePages(vs, videoData, false);
        }
        detail::TakePages(vs, videoData, true);
        th_encode_free(enc);
    }

    if (spec.Sound) {
        auto drain = [&] {
            while (vorbis_analysis_blockout(&vd, &vb) == 1) {
                vorbis_analysis(&vb, nullptr);
                vorbis_bitrate_addblock(&vb);
                while (vorbis_bitrate_flushpacket(&vd, &op)) ogg_stream_packetin(&as, &op);
            }
            detail::TakePages(as, soundData, false);
        };
        const int chunk = 1024;
        for (int done = 0; done < spec.SoundFrames; done += chunk) {
            const int n = std::min(chunk, spec.SoundFrames - done);
            float** buf = vorbis_analysis_buffer(&vd, n);
            for (int i = 0; i < n; ++i)
                for (int ch = 0; ch < spec.SoundChannels; ++ch)
                    buf[ch][i] = 0.5f * std::sin(2.0f * 3.14159265f * 440.0f * float(done + i) / float(spec.SoundRate));
            vorbis_analysis_wrote(&vd, n);
            drain();
        }
        vorbis_analysis_wrote(&vd, 0);
        drain();
        detail::TakePages(as, soundData, true);
        vorbis_block_clear(&vb);
        vorbis_dsp_clear(&vd);
        vorbis_comment_clear(&vc);
        vorbis_info_clear(&vi);
    }
    out.insert(out.end(), videoData.begin(), videoData.end());
    out.insert(out.end(), soundData.begin(), soundData.end());
    ogg_stream_clear(&vs);
    ogg_stream_clear(&as);
    return out;
}

}  // namespace orva::test
