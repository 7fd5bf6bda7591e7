// Ogg Vorbis encoding with libvorbisenc.
#include "sound/ogg_writer.h"

#include <vorbis/vorbisenc.h>

#include <cstring>

namespace orva {
namespace {

void Append(std::vector<uint8_t>& out, const ogg_page& page) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

}  // namespace

bool EncodeOggVorbis(const std::vector<int16_t>& samples, const OggWriteOptions& options,
                     std::vector<uint8_t>& out, std::string& error) {
    out.clear();
    if (options.Channels < 1 || options.Channels > 8 || options.Rate <= 0) {
        error = "unsupported channel count or rate";
        return false;
    }
    vorbis_info vi;
    vorbis_info_init(&vi);
    if (vorbis_encode_init_vbr(&vi, options.Channels, options.Rate, options.Quality) != 0) {
        vorbis_info_clear(&vi);
        error = "the Vorbis encoder refuses " + std::to_string(options.Rate) + " Hz";
        return false;
    }
    vorbis_comment vc;
    vorbis_comment_init(&vc);
    for (const std::string& c : options.Comments) vorbis_comment_add(&vc, c.c_str());
    vorbis_dsp_state vd;
    vorbis_block vb;
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_state os;
    ogg_stream_init(&os, 0x6f727661);

    ogg_packet header, comments, codebooks;
    vorbis_analysis_headerout(&vd, &vc, &header, &comments, &codebooks);
    ogg_stream_packetin(&os, &header);
    ogg_stream_packetin(&os, &comments);
    ogg_stream_packetin(&os, &codebooks);
    ogg_page page;
    while (ogg_stream_flush(&os, &page) != 0) Append(out, page);

    const size_t frames = samples.size() / static_cast<size_t>(options.Channels);
    const size_t kBlock = 1024;
    bool eos = false;
    for (size_t pos = 0; !eos;) {
        const size_t n = std::min(kBlock, frames - pos);
        if (n == 0) {
            vorbis_analysis_wrote(&vd, 0);
        } else {
            float** buffer = vorbis_analysis_buffer(&vd, static_cast<int>(n));
            for (size_t i = 0; i < n; ++i)
                for (int c = 0; c < options.Channels; ++c)
                    buffer[c][i] = samples[(pos + i) * static_cast<size_t>(options.Channels) + static_cast<size_t>(c)] / 32768.0f;
            vorbis_analysis_wrote(&vd, static_cast<int>(n));
            pos += n;
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&vd, &packet)) {
                ogg_stream_packetin(&os, &packet);
                while (ogg_stream_pageout(&os, &page) != 0) {
                    Append(out, page);
                    if (ogg_page_eos(&page)) eos = true;
                }
            }
        }
    }
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return true;
}

}  // namespace orva
