// The movie library: Ogg Theora pictures ("theoralib_m_…") and the movie's Vorbis sound
// ("theoralib_w_…") behind 24 operations on 32-bit handles, over libtheora, libvorbis and libogg,
// and TTheoraLib, the binding object through which the engine calls them by name.
//
// [SECTION] callbacks and information records
// [SECTION] the 24 operations
// [SECTION] binding
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace orva {

// [SECTION] callbacks and information records -------------------------------------------------

// Reads up to `count` bytes at `position` of the caller's stream into `buffer`; returns the
// number read (0 or less ends the stream).
using TheoraReadFunc = int32_t (*)(void* stream, void* buffer, int64_t position, int32_t count);
// The caller's stream size in bytes.
using TheoraSizeFunc = int64_t (*)(void* stream);
// Address of the caller's picture row `row` (0 = top), 4 bytes per pixel: blue, green, red and a
// transparency byte the library writes as 0 (opaque).
using TheoraRowFunc = uint8_t* (*)(void* picture, int32_t row);
// Asks the caller to give its picture this size before rows are written.
using TheoraResizeFunc = void (*)(void* picture, int32_t width, int32_t height);

#pragma pack(push, 1)
// The movie's picture properties ("theoralib_m_info"); all zero while no video is loaded.
struct TheoraMovieInfo {
    int32_t FrameWidth;          // coded frame, multiples of 16
    int32_t FrameHeight;
    int32_t PictureX;            // the shown picture inside the coded frame (top-left origin)
    int32_t PictureY;
    int32_t PictureWidth;
    int32_t PictureHeight;
    int32_t FpsNumerator;        // frames per second = FpsNumerator / FpsDenominator
    int32_t FpsDenominator;
    int32_t AspectNumerator;     // pixel aspect ratio
    int32_t AspectDenominator;
    int32_t PixelFormat;         // 0 4:2:0, 2 4:2:2, 3 4:4:4
    int32_t TotalFrames;
};
static_assert(offsetof(TheoraMovieInfo, PictureWidth) == 16);
static_assert(offsetof(TheoraMovieInfo, FpsNumerator) == 24);
static_assert(offsetof(TheoraMovieInfo, FpsDenominator) == 28);
static_assert(sizeof(TheoraMovieInfo) == 48);

// The movie's sound properties ("theoralib_w_info"); all zero while no sound is loaded.
struct TheoraSoundInfo {
    int32_t Channels;            // channels of the stream (the output is always stereo)
    int32_t BitsPerSample;       // of the output: 16
    int32_t SampleRate;          // sample frames per second
    int32_t BitrateNominal;      // bits per second as the stream states it (0 unknown)
    int32_t TotalSamples;        // sample frames of the whole track
};
static_assert(offsetof(TheoraSoundInfo, SampleRate) == 8);
static_assert(sizeof(TheoraSoundInfo) == 20);
#pragma pack(pop)

// [SECTION] the 24 operations -----------------------------------------------------------------
// A handle of 0, or one already freed, is ignored: operations do nothing and results are 0.

// Movie part: decodes the first Theora stream of an Ogg file into the caller's 32-bit picture.
uint32_t theoralib_m_create();
void theoralib_m_free(uint32_t handle);
// Forgets the loaded movie; the row order and decode mode stay.
void theoralib_m_init(uint32_t handle);
// Reads the whole stream through `read` and `size` and prepares its video; the picture is resized
// to the movie's picture size. `flags` is reserved (0). A stream without readable video leaves
// the handle empty ("theoralib_m_exists" 0).
void theoralib_m_load(uint32_t handle, void* stream, TheoraReadFunc read, TheoraSizeFunc size, void* picture,
                      TheoraRowFunc row, TheoraResizeFunc resize, int32_t flags);
int32_t theoralib_m_exists(uint32_t handle);
// Decodes frame `frame` (0 = the first) into the picture; frames past the end show the last one.
void theoralib_m_decodeframe(uint32_t handle, int32_t frame);
// Row order of the output: Theora codes its planes bottom-up and by default the rows are written
// in that order; 1 writes them upright (picture row 0 at the top of the movie).
void theoralib_m_setvrevers(uint32_t handle, int32_t upright);
// Post-processing level of the decoder (0 none; higher values smooth block edges, clamped to
// what the decoder offers).
void theoralib_m_setdecodemode(uint32_t handle, int32_t mode);
int32_t theoralib_m_nowframe(uint32_t handle);    // the frame last decoded, -1 before any
int32_t theoralib_m_totalframe(uint32_t handle);
int32_t theoralib_m_totaltime(uint32_t handle);   // milliseconds
const TheoraMovieInfo* theoralib_m_info(uint32_t handle);
// The video stream's vendor and comments, one per line (empty text while none is loaded).
const char* theoralib_m_comment(uint32_t handle);

// Sound part: decodes the first Vorbis stream of the same file into 16-bit stereo samples
// (mono is doubled, channels past the second are dropped).
uint32_t theoralib_w_create();
void theoralib_w_free(uint32_t handle);
void theoralib_w_init(uint32_t handle);
void theoralib_w_load(uint32_t handle, void* stream, TheoraReadFunc read, TheoraSizeFunc size);
int32_t theoralib_w_exists(uint32_t handle);
// Writes `count` sample frames (4 bytes each) from sample frame `start` into `out`; frames past
// the end of the track are silence.
void theoralib_w_decodesample(uint32_t handle, void* out, int32_t start, int32_t count);
int32_t theoralib_w_nowsample(uint32_t handle);   // the sample frame after the last decoded
int32_t theoralib_w_totalsample(uint32_t handle);
int32_t theoralib_w_totaltime(uint32_t handle);   // milliseconds
const TheoraSoundInfo* theoralib_w_info(uint32_t handle);
const char* theoralib_w_comment(uint32_t handle);

// [SECTION] binding ---------------------------------------------------------------------------

// Where the binding finds the library. The linked library is always present; a loader that
// misses the file, fails to load it or lacks an entry point takes the failure paths.
struct TheoraLibLoader {
    std::filesystem::path File;                                   // shown in the messages
    std::function<bool(const std::filesystem::path&)> Exists;     // the file is there
    std::function<bool(const std::filesystem::path&)> Load;       // the library loads
    std::function<void*(std::string_view)> Resolve;               // an entry point's address, or null
};

// The loader of the library linked into the program.
TheoraLibLoader LinkedTheoraLib();

// The entry point names in the order the binding resolves them.
extern const char* const kTheoraEntryNames[24];

enum class TheoraBindResult { Bound, FileMissing, LoadFailed, EntryMissing };

// The message box text shown when an entry point is missing; the program then ends.
inline constexpr std::string_view kTheoraBindFailedText = "DLLの読み込みに失敗しました。";

// The 24 operations as bound entry points.
struct TTheoraLib {
    decltype(&theoralib_m_create) m_create = nullptr;
    decltype(&theoralib_m_free) m_free = nullptr;
    decltype(&theoralib_m_init) m_init = nullptr;
    decltype(&theoralib_m_load) m_load = nullptr;
    decltype(&theoralib_m_exists) m_exists = nullptr;
    decltype(&theoralib_m_decodeframe) m_decodeframe = nullptr;
    decltype(&theoralib_m_setvrevers) m_setvrevers = nullptr;
    decltype(&theoralib_m_setdecodemode) m_setdecodemode = nullptr;
    decltype(&theoralib_m_nowframe) m_nowframe = nullptr;
    decltype(&theoralib_m_totalframe) m_totalframe = nullptr;
    decltype(&theoralib_m_totaltime) m_totaltime = nullptr;
    decltype(&theoralib_m_info) m_info = nullptr;
    decltype(&theoralib_m_comment) m_comment = nullptr;
    decltype(&theoralib_w_create) w_create = nullptr;
    decltype(&theoralib_w_free) w_free = nullptr;
    decltype(&theoralib_w_init) w_init = nullptr;
    decltype(&theoralib_w_load) w_load = nullptr;
    decltype(&theoralib_w_exists) w_exists = nullptr;
    decltype(&theoralib_w_decodesample) w_decodesample = nullptr;
    decltype(&theoralib_w_nowsample) w_nowsample = nullptr;
    decltype(&theoralib_w_totalsample) w_totalsample = nullptr;
    decltype(&theoralib_w_totaltime) w_totaltime = nullptr;
    decltype(&theoralib_w_info) w_info = nullptr;
    decltype(&theoralib_w_comment) w_comment = nullptr;

    // Unbinds what was bound before, then binds every entry point through `loader`. A missing
    // file or a library that does not load gives FileMissing or LoadFailed with `message`
    // naming the full path; a missing entry point gives EntryMissing with `message` naming it.
    // On any failure nothing stays bound.
    TheoraBindResult Bind(const TheoraLibLoader& loader, std::string& message);
    void Unbind();
    bool Bound() const { return m_create != nullptr; }
};

}  // namespace orva
