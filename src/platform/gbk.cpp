#include "platform/gbk.h"

#include <cerrno>
#include <iconv.h>

namespace platform {
namespace {

// Converts with iconv; at a sequence the source charset rejects, `fallback` handles one byte
// and the conversion goes on after it.
template <typename Fallback>
std::string Convert(const char* to, const char* from, const std::string& in, Fallback fallback)
{
    std::string out;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        for (unsigned char c : in)
            fallback(out, c);
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
            fallback(out, static_cast<unsigned char>(*src));
            ++src;
            --srcLeft;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
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
    return Convert("UTF-8", "GBK", gbk, [](std::string& out, unsigned char c) { AppendUtf8(out, c); });
}

std::string Utf8ToGbk(const std::string& utf8)
{
    return Convert("GBK", "UTF-8", utf8, [](std::string& out, unsigned char) { out += '?'; });
}

std::u32string GbkToUtf32(const std::string& gbk)
{
    std::string bytes = Convert("UTF-32LE", "GBK", gbk, [](std::string& out, unsigned char c) {
        char32_t cp = c;
        out.append(reinterpret_cast<const char*>(&cp), sizeof cp);
    });
    std::u32string result(bytes.size() / 4, U'\0');
    for (std::size_t i = 0; i < result.size(); ++i) {
        const auto* b = reinterpret_cast<const unsigned char*>(bytes.data() + i * 4);
        result[i] = static_cast<char32_t>(b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<char32_t>(b[3]) << 24));
    }
    return result;
}

}  // namespace platform
