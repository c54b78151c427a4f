#include "platform/gbk.h"

#include <cerrno>
#include <iconv.h>

namespace platform {
namespace {

// Converts with iconv; at a sequence the source charset rejects, `fallback` appends what stands
// for it and says how many bytes it took, and the conversion goes on after them.
template <typename Fallback>
std::string Convert(const char* to, const char* from, const std::string& in, Fallback fallback)
{
    std::string out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        for (std::size_t i = 0; i < in.size();)
            i += fallback(out, in.data() + i, in.size() - i);
        return out;
    }
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char buffer[1024];
    while (srcLeft > 0) {
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, sizeof buffer - dstLeft);
        if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
            const std::size_t taken = fallback(out, src, srcLeft);
            src += taken;
            srcLeft -= taken;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

// The bytes of the UTF-8 sequence that starts at s: a whole character, or the longest start of
// one that is there; 1 for a byte that starts none.
std::size_t Utf8SequenceLength(const char* s, std::size_t left)
{
    const auto lead = static_cast<unsigned char>(s[0]);
    std::size_t want = 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        want = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        want = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        want = 4;
    std::size_t n = 1;
    while (n < want && n < left && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80)
        ++n;
    return n;
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

std::string GbkToUtf8(const std::string& gbk)
{
    return Convert("UTF-8", "GBK", gbk, [](std::string& out, const char* s, std::size_t) {
        AppendUtf8(out, static_cast<unsigned char>(*s));
        return std::size_t{1};
    });
}

std::string Utf8ToGbk(const std::string& utf8)
{
    // One "?" for each character GBK lacks, as Windows gives, not one for each of its bytes.
    return Convert("GBK", "UTF-8", utf8, [](std::string& out, const char* s, std::size_t left) {
        out += '?';
        return Utf8SequenceLength(s, left);
    });
}

std::u32string GbkToUtf32(const std::string& gbk)
{
    std::string bytes = Convert("UTF-32LE", "GBK", gbk, [](std::string& out, const char* s, std::size_t) {
        char32_t cp = static_cast<unsigned char>(*s);
        out.append(reinterpret_cast<const char*>(&cp), sizeof cp);
        return std::size_t{1};
    });
    std::u32string result(bytes.size() / 4, U'\0');
    for (std::size_t i = 0; i < result.size(); ++i) {
        const auto* b = reinterpret_cast<const unsigned char*>(bytes.data() + i * 4);
        result[i] = static_cast<char32_t>(b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<char32_t>(b[3]) << 24));
    }
    return result;
}

}  // namespace platform
