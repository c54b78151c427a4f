// GBK <-> UTF-8 at the layer's edges (file names, window title, message boxes, glyphs).
#pragma once

#include <string>

namespace platform {

// Bytes that are not valid GBK pass through one by one as Latin-1 code points, so no text is
// ever lost or cut short. The other way, a character GBK lacks becomes one '?', and so does
// each broken piece of UTF-8.
std::string GbkToUtf8(const std::string& gbk);
std::string Utf8ToGbk(const std::string& utf8);
std::u32string GbkToUtf32(const std::string& gbk);

}  // namespace platform
