// Byte streams: the growable in-memory stream that loaders fill and decoders read,
// over a small abstract stream so that a transform can also write to a failing sink.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

namespace orva {

// A stream with a position. Read and Write return how many bytes they moved.
class TStream {
public:
    virtual ~TStream() = default;
    virtual size_t Read(void* dst, size_t count) = 0;
    virtual size_t Write(const void* src, size_t count) = 0;
};

// A memory stream: bytes, a position, reads stop at the end, writes grow it.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<uint8_t> bytes) : Data(std::move(bytes)) {}

    size_t Read(void* dst, size_t count) override {
        const size_t n = Pos < Data.size() ? std::min(count, Data.size() - Pos) : 0;
        if (n) std::memcpy(dst, Data.data() + Pos, n);
        Pos += n;
        return n;
    }
    size_t Write(const void* src, size_t count) override {
        if (count == 0) return 0;
        if (Pos + count > Data.size()) Data.resize(Pos + count);
        std::memcpy(Data.data() + Pos, src, count);
        Pos += count;
        return count;
    }
    void Clear() { Data.clear(); Pos = 0; }
    size_t Size() const { return Data.size(); }
    size_t Position() const { return Pos; }
    void SetPosition(size_t pos) { Pos = pos; }
    std::span<const uint8_t> View() const { return Data; }
    std::vector<uint8_t>& Bytes() { return Data; }
    const std::vector<uint8_t>& Bytes() const { return Data; }

private:
    std::vector<uint8_t> Data;  // the stream's contents
    size_t Pos = 0;             // next byte to read or write
};

}  // namespace orva
