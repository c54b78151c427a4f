// GBK <-> UTF-8 at the layer's edges (file names, window title, message boxes, glyphs).
#pragma once

#include <string>

namespace platform {

// Bytes that are not valid GBK are passed through one by one (as Latin-1 code points for
// UTF-8, as '?' the other way), so no text is ever lost or cut short.
std::string GbkToUtf8(const std::string& gbk);
std::string Utf8ToGbk(const std::string& utf8);
std::u32string GbkToUtf32(const std::string& gbk);

}  // namespace platform
