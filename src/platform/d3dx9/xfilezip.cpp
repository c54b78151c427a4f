// The compressed .x encodings ("tzip", "bzip") wrap the text or binary encoding in MSZIP: a
// 32-bit total size (counting the 16-byte header), then blocks, each a 16-bit unpacked size, a
// 16-bit packed size, the signature "CK" and one complete raw deflate stream that may refer back
// into the output of the blocks before it.
#include <zlib.h>

#include <algorithm>

#include "platform/d3dx9/xfile.h"
#include "platform/imagebytes.h"

namespace platform {
namespace {

constexpr std::size_t kHeaderBytes = 16;
constexpr std::size_t kMaxBlockBytes = 32768;  // a deflate window: what a block may refer back to

class Inflater {
public:
    Inflater() { m_Ready = inflateInit2(&m_Stream, -MAX_WBITS) == Z_OK; }
    ~Inflater()
    {
        if (m_Ready)
            inflateEnd(&m_Stream);
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    // Inflates one whole deflate stream from `in` (at most `inSize` bytes) into exactly `outSize`
    // bytes at `out`, with `history` as what came before. Answers the bytes the stream took, or 0
    // when it is damaged or does not unpack to exactly `outSize` bytes.
    std::size_t Block(const char* in, std::size_t inSize, char* out, std::size_t outSize, const char* history,
                      std::size_t historySize)
    {
        if (!m_Ready || inflateReset(&m_Stream) != Z_OK)
            return 0;
        if (historySize > 0 &&
            inflateSetDictionary(&m_Stream, reinterpret_cast<const Bytef*>(history), static_cast<uInt>(historySize)) != Z_OK)
            return 0;
        m_Stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in));
        m_Stream.avail_in = static_cast<uInt>(inSize);
        m_Stream.next_out = reinterpret_cast<Bytef*>(out);
        m_Stream.avail_out = static_cast<uInt>(outSize);
        if (inflate(&m_Stream, Z_FINISH) != Z_STREAM_END || m_Stream.avail_out != 0)
            return 0;
        return inSize - m_Stream.avail_in;
    }

private:
    z_stream m_Stream{};
    bool m_Ready = false;
};

}  // namespace

bool UnpackXFile(const std::string& bytes, std::size_t pos, std::string& out)
{
    out.clear();
    if (bytes.size() < pos || bytes.size() - pos < 4)
        return false;
    const auto* b = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const std::uint32_t total = imagebytes::ReadU32(b + pos);
    pos += 4;
    // The total is read as the whole file's size; one that leaves the header out is taken too.
    const std::size_t expected = total >= kHeaderBytes ? total - kHeaderBytes : total;
    if (expected > kMaxXUnpackedBytes)
        return false;
    Inflater inflater;
    while (pos < bytes.size()) {
        if (bytes.size() - pos < 6 || bytes.compare(pos + 4, 2, "CK") != 0)
            return false;
        const std::size_t unpacked = imagebytes::ReadU16(b + pos), packed = imagebytes::ReadU16(b + pos + 2);
        const std::size_t data = pos + 6;
        if (unpacked == 0 || unpacked > kMaxBlockBytes || out.size() + unpacked > total)
            return false;
        const std::size_t start = out.size();
        out.resize(start + unpacked);
        const std::size_t history = std::min(start, kMaxBlockBytes);
        // The packed size counts the deflate data, with or without the signature before it: the
        // stream's own end tells which, and where the next block starts.
        const std::size_t used = inflater.Block(bytes.data() + data, std::min(packed, bytes.size() - data),
                                                out.data() + start, unpacked, out.data() + start - history, history);
        if (used == 0 || (used != packed && used + 2 != packed))
            return false;
        pos = data + used;
    }
    return out.size() == expected || out.size() == total;
}

}  // namespace platform
