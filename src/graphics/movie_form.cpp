// The main form's movie routines: binding the movie library, its two decoders kept for the whole
// run, handing a movie to them, the frame loop's movie step and the movie wait modes.
#include <cmath>
#include <cstring>
#include <iostream>

#include "app/main_form.h"

namespace orva {
namespace {

// Callbacks the library reads the movie and writes the picture through.
int32_t ReadMovieStream(void* stream, void* buffer, int64_t position, int32_t count) {
    auto& s = *static_cast<TMemoryStream*>(stream);
    if (position < 0 || count <= 0 || static_cast<uint64_t>(position) >= s.Size()) return 0;
    s.SetPosition(static_cast<size_t>(position));
    return static_cast<int32_t>(s.Read(buffer, static_cast<size_t>(count)));
}

int64_t MovieStreamSize(void* stream) { return static_cast<int64_t>(static_cast<TMemoryStream*>(stream)->Size()); }

uint8_t* MovieFrameRow(void* picture, int32_t row) {
    auto& p = *static_cast<TABitmap*>(picture);
    return row >= 0 && row < p.Height() ? p.Row(row) : nullptr;
}

void ResizeMovieFrame(void* picture, int32_t width, int32_t height) {
    auto& p = *static_cast<TABitmap*>(picture);
    if (width != p.Width() || height != p.Height()) p.SetSize32(width, height);
}

}  // namespace

bool TForm1::NVL_TheoraInit() {
    MovieState& m = Movie;
    std::string message;
    const TheoraBindResult bound = m.Lib.Bind(m.Loader, message);
    if (bound != TheoraBindResult::Bound) {
        // A missing entry point shows the short box text; a missing or unloadable library names
        // its path. Either way the program cannot start.
        std::cerr << "orva: " << (bound == TheoraBindResult::EntryMissing ? std::string(kTheoraBindFailedText) : message)
                  << "\n";
        if (bound == TheoraBindResult::EntryMissing) std::cerr << "orva: " << message << "\n";
        return false;
    }
    m.MovieStream = std::make_unique<TMemoryStream>();
    m.MovieSamples = std::make_unique<TMemoryStream>();
    m.MovieFrame = std::make_unique<TABitmap>(8, 8);
    m.MovieHandle = m.Lib.m_create();
    m.MovieSoundHandle = m.Lib.w_create();
    return true;
}

void TForm1::NVL_TheoraFree() {
    MovieState& m = Movie;
    if (m.Lib.Bound()) {
        m.Lib.m_free(m.MovieHandle);
        m.Lib.w_free(m.MovieSoundHandle);
    }
    m.MovieHandle = m.MovieSoundHandle = 0;
    m.MovieFrame.reset();
    m.MovieStream.reset();
    m.MovieSamples.reset();
    m.MoviePlaying = false;
    m.Lib.Unbind();
}

void TForm1::NVL_TheoraPrepara() {
    MovieState& m = Movie;
    if (!m.Lib.Bound() || !m.MovieStream) return;
    m.Lib.m_setvrevers(m.MovieHandle, 1);
    m.Lib.m_load(m.MovieHandle, m.MovieStream.get(), ReadMovieStream, MovieStreamSize, m.MovieFrame.get(),
                 MovieFrameRow, ResizeMovieFrame, 0);
    m.Lib.w_load(m.MovieSoundHandle, m.MovieStream.get(), ReadMovieStream, MovieStreamSize);
    m.TotalFrames = m.Lib.m_totalframe(m.MovieHandle);
    if (m.Lib.m_exists(m.MovieHandle) == 1) {
        const TheoraMovieInfo& info = *m.Lib.m_info(m.MovieHandle);
        // A movie that states no frame rate would never advance; it counts as standing still.
        m.FramesPerSecond = info.FpsDenominator != 0 ? double(info.FpsNumerator) / double(info.FpsDenominator) : 0.0;
    }
    if (m.Lib.w_exists(m.MovieSoundHandle) == 1) {
        m.SoundInfo = m.Lib.w_info(m.MovieSoundHandle)->SampleRate;
        m.TotalSamples = m.Lib.w_totalsample(m.MovieSoundHandle);
        m.MovieSamples->Bytes().assign(static_cast<size_t>(m.TotalSamples) * 4, 0);
        m.MovieSamples->SetPosition(0);
        m.Lib.w_decodesample(m.MovieSoundHandle, m.MovieSamples->Bytes().data(), 0, m.TotalSamples);
    }
}

void TForm1::MovieFrameStep() {
    MovieState& m = Movie;
    const double elapsed = static_cast<double>(static_cast<uint32_t>(Plat.Ticks() - m.StartTick));
    // Rounded to nearest, ties to even (the default rounding mode).
    const int32_t frame = static_cast<int32_t>(std::nearbyint(elapsed * m.FramesPerSecond / 1000.0));
    if (frame == m.LastFrame) return;
    m.LastFrame = frame;
    if (frame <= m.TotalFrames) {
        m.Lib.m_decodeframe(m.MovieHandle, frame);
    } else {
        m.Lib.m_decodeframe(m.MovieHandle, m.TotalFrames);
        m.MoviePlaying = false;
    }
}

void TForm1::NOVL_WaitMovie() {
    // The movie's sound would play on device channel 1; nothing attaches one, so only the
    // picture can keep the wait going.
    TDDSDChannel* channel = DDSD1 ? DDSD1->GetChannel(1) : nullptr;
    const bool soundPlaying = channel && (channel->GetStatus() & 1) != 0;
    if (!soundPlaying && !Movie.MoviePlaying) EngineMode = Mode::Script;
    if (Input.KeyEnter || Input.KeyCtrl || Input.MouseLeftClick) {
        Movie.MoviePlaying = false;
        if (channel) channel->Stop();
        EngineMode = Mode::Script;
    }
}

void TForm1::NOVL_WaitMovieAlbum() {
    NOVL_WaitMovie();
    if (EngineMode == Mode::Script) EngineMode = Mode::AlbumMenuEnter;
}

}  // namespace orva
