// Fuzz target: a movie file's bytes through both parts of the movie library, decoding frames
// out of order and the whole sound track.
#include <cstring>
#include <vector>

#include "graphics/abitmap.h"
#include "graphics/theora_lib.h"

using namespace orva;

namespace {

struct Input {
    const uint8_t* Data;
    size_t Size;
};

int32_t Read(void* stream, void* buffer, int64_t position, int32_t count) {
    const auto& in = *static_cast<Input*>(stream);
    if (position < 0 || size_t(position) >= in.Size || count <= 0) return 0;
    const size_t n = std::min(size_t(count), in.Size - size_t(position));
    std::memcpy(buffer, in.Data + position, n);
    return int32_t(n);
}
int64_t Size(void* stream) { return int64_t(static_cast<Input*>(stream)->Size); }
uint8_t* Row(void* picture, int32_t row) {
    auto& p = *static_cast<TABitmap*>(picture);
    return row >= 0 && row < p.Height() ? p.Row(row) : nullptr;
}
void Resize(void* picture, int32_t w, int32_t h) { static_cast<TABitmap*>(picture)->SetSize32(w, h); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in{data, size};
    TABitmap picture(8, 8);
    const uint32_t m = theoralib_m_create(), w = theoralib_w_create();
    theoralib_m_setvrevers(m, 1);
    theoralib_m_load(m, &in, Read, Size, &picture, Row, Resize, 0);
    theoralib_w_load(w, &in, Read, Size);
    const int32_t frames = theoralib_m_totalframe(m);
    for (int32_t f : {frames - 1, 0, frames / 2, frames + 3}) theoralib_m_decodeframe(m, f);
    const int32_t samples = std::min(theoralib_w_totalsample(w), 1 << 20);
    std::vector<int16_t> pcm(size_t(samples) * 2 + 2);
    theoralib_w_decodesample(w, pcm.data(), 0, samples);
    theoralib_m_free(m);
    theoralib_w_free(w);
    return 0;
}
