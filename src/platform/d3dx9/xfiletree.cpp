// Reading either encoding one token at a time, so that a file's numbers are held once, in the
// objects that own them.
#include "platform/d3dx9/xfiletree.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/ascii.h"

namespace platform {
namespace {

struct XToken {
    enum Kind { Name, String, Number, OBrace, CBrace, Guid, Template, End, Damaged } kind = End;
    std::string text;
    double number = 0;
};

bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.'; }

// Token codes of the binary encoding.
enum : std::uint16_t {
    kTokName = 1, kTokString = 2, kTokInteger = 3, kTokGuid = 5, kTokIntegerList = 6, kTokFloatList = 7,
    kTokOBrace = 10, kTokCBrace = 11, kTokComma = 19, kTokSemicolon = 20, kTokTemplate = 31,
};

// A stream that cannot be read ends in a Damaged token.
class Tokenizer {
public:
    Tokenizer(const std::string& s, std::size_t pos, bool binary, bool wideFloats)
        : m_S(s), m_Pos(pos), m_Binary(binary), m_WideFloats(wideFloats)
    {
        Advance();
    }

    const XToken& Current() const { return m_Tok; }
    // How many numbers of a binary list follow the current one.
    std::size_t ListLeft() const { return m_ListLeft; }
    void Advance() { m_Binary ? NextBinary() : NextText(); }

private:
    void Set(XToken::Kind kind) { m_Tok.kind = kind; }
    void SetText(XToken::Kind kind, std::size_t pos, std::size_t length)
    {
        m_Tok.kind = kind;
        m_Tok.text.assign(m_S, pos, length);
    }
    void SetNumber(double v)
    {
        m_Tok.kind = XToken::Number;
        m_Tok.number = v;
    }

    void NextText()
    {
        const std::size_t n = m_S.size();
        while (m_Pos < n) {
            const char c = m_S[m_Pos];
            if (c == '#' || (c == '/' && m_Pos + 1 < n && m_S[m_Pos + 1] == '/')) {
                while (m_Pos < n && m_S[m_Pos] != '\n')
                    ++m_Pos;
            } else if (c == '{' || c == '}') {
                ++m_Pos;
                return Set(c == '{' ? XToken::OBrace : XToken::CBrace);
            } else if (c == '"' || c == '<') {
                const std::size_t close = m_S.find(c == '"' ? '"' : '>', m_Pos + 1);
                if (close == std::string::npos)
                    return Set(XToken::Damaged);
                SetText(c == '"' ? XToken::String : XToken::Guid, m_Pos + 1, close - m_Pos - 1);
                m_Pos = close + 1;
                return;
            } else if (std::isdigit(static_cast<unsigned char>(c)) || c == '-' || c == '+' || c == '.') {
                char* end = nullptr;
                const double v = std::strtod(m_S.c_str() + m_Pos, &end);
                const auto used = static_cast<std::size_t>(end - (m_S.c_str() + m_Pos));
                if (used == 0) {
                    ++m_Pos;
                    continue;
                }
                m_Pos += used;
                return SetNumber(v);
            } else if (IsNameStart(c)) {
                const std::size_t start = m_Pos;
                while (m_Pos < n && IsNameChar(m_S[m_Pos]))
                    ++m_Pos;
                SetText(XToken::Name, start, m_Pos - start);
                if (m_Tok.text == "template")
                    Set(XToken::Template);
                return;
            } else {
                ++m_Pos;  // blanks, separators and the punctuation of template declarations
            }
        }
        Set(XToken::End);
    }

    bool Has(std::size_t n) const { return m_S.size() - m_Pos >= n; }
    template <typename T>
    T Peek() const
    {
        T v;
        std::memcpy(&v, m_S.data() + m_Pos, sizeof v);
        return v;
    }
    template <typename T>
    T Read()
    {
        const T v = Peek<T>();
        m_Pos += sizeof v;
        return v;
    }

    void NextBinary()
    {
        if (m_ListLeft > 0) {
            --m_ListLeft;
            if (m_FloatList)
                return SetNumber(m_WideFloats ? Read<double>() : Read<float>());
            return SetNumber(Read<std::uint32_t>());
        }
        for (;;) {
            if (m_Pos >= m_S.size())
                return Set(XToken::End);
            if (!Has(2))
                return Set(XToken::Damaged);
            const std::uint16_t token = Read<std::uint16_t>();
            switch (token) {
            case kTokName:
            case kTokString: {
                if (!Has(4))
                    return Set(XToken::Damaged);
                const std::uint32_t count = Read<std::uint32_t>();
                if (!Has(count))
                    return Set(XToken::Damaged);
                SetText(token == kTokName ? XToken::Name : XToken::String, m_Pos, count);
                m_Pos += count;
                // A string carries its terminator token, written as a word or a double word.
                if (token == kTokString && Has(2)) {
                    const std::uint16_t term = Peek<std::uint16_t>();
                    if (term == kTokComma || term == kTokSemicolon) {
                        m_Pos += 2;
                        if (Has(2) && Peek<std::uint16_t>() == 0)
                            m_Pos += 2;
                    }
                }
                return;
            }
            case kTokInteger:
                if (!Has(4))
                    return Set(XToken::Damaged);
                return SetNumber(Read<std::uint32_t>());
            case kTokGuid:
                if (!Has(16))
                    return Set(XToken::Damaged);
                m_Pos += 16;
                return Set(XToken::Guid);
            case kTokIntegerList:
            case kTokFloatList: {
                if (!Has(4))
                    return Set(XToken::Damaged);
                const std::uint32_t count = Read<std::uint32_t>();
                m_FloatList = token == kTokFloatList;
                const std::size_t each = m_FloatList ? (m_WideFloats ? 8 : 4) : 4;
                if (count > m_S.size() / each || !Has(count * each))
                    return Set(XToken::Damaged);
                if (count == 0)
                    continue;
                m_ListLeft = count;
                return NextBinary();
            }
            case kTokOBrace:
                return Set(XToken::OBrace);
            case kTokCBrace:
                return Set(XToken::CBrace);
            case kTokTemplate:
                return Set(XToken::Template);
            default:
                if (token == 0 || token > 60)
                    return Set(XToken::Damaged);
                break;  // punctuation and the type keywords of template declarations
            }
        }
    }

    const std::string& m_S;
    std::size_t m_Pos;
    bool m_Binary;
    bool m_WideFloats;
    XToken m_Tok;
    std::size_t m_ListLeft = 0;
    bool m_FloatList = false;
};

// The templates the mesh is built from; the data of any other object (animation keys, skin
// weights, headers) is read past and not kept.
bool KeptType(const std::string& type)
{
    static const char* const kKept[] = {"frame", "frametransformmatrix", "mesh", "meshnormals", "meshtexturecoords",
                                        "meshvertexcolors", "meshmateriallist", "material", "texturefilename"};
    for (const char* kept : kKept)
        if (type == kept)
            return true;
    return false;
}

class TreeBuilder {
public:
    explicit TreeBuilder(Tokenizer& t) : m_T(t) {}

    // Reads members until the closing brace (or the end of the file at the top level) into
    // `obj`, or past them when `obj` is null.
    bool ReadBody(XObject* obj, bool topLevel, int depth)
    {
        if (depth > 64)
            return false;
        for (;;) {
            const XToken& tok = m_T.Current();
            switch (tok.kind) {
            case XToken::End:
                return topLevel;
            case XToken::Damaged:
                return Stop();
            case XToken::CBrace:
                m_T.Advance();
                return !topLevel;
            case XToken::Number:
                if (obj)
                    ReadNumbers(obj->nums);
                else
                    m_T.Advance();
                break;
            case XToken::String:
                if (obj)
                    obj->strings.push_back(tok.text);
                m_T.Advance();
                break;
            case XToken::Guid:
                m_T.Advance();
                break;
            case XToken::Template:
                if (!SkipTemplate())
                    return false;
                break;
            case XToken::OBrace:
                m_T.Advance();
                while (m_T.Current().kind == XToken::Name || m_T.Current().kind == XToken::Guid) {
                    if (obj && m_T.Current().kind == XToken::Name) {
                        XObject ref;
                        ref.name = m_T.Current().text;
                        ref.isReference = true;
                        obj->children.push_back(std::move(ref));
                    }
                    m_T.Advance();
                }
                if (m_T.Current().kind != XToken::CBrace)
                    return Stop();
                m_T.Advance();
                break;
            case XToken::Name: {
                XObject child;
                child.type = AsciiLower(tok.text);
                m_T.Advance();
                if (m_T.Current().kind == XToken::Name) {
                    child.name = m_T.Current().text;
                    m_T.Advance();
                }
                if (m_T.Current().kind == XToken::Guid)
                    m_T.Advance();
                if (m_T.Current().kind != XToken::OBrace)
                    break;  // a stray word in the data
                m_T.Advance();
                const bool keep = obj && KeptType(child.type);
                if (!ReadBody(keep ? &child : nullptr, false, depth + 1))
                    return false;
                if (keep)
                    obj->children.push_back(std::move(child));
                break;
            }
            }
        }
    }

    // The stream itself could not be read (as opposed to braces that do not match).
    bool Damaged() const { return m_Damaged; }

private:
    bool Stop()
    {
        m_Damaged = m_T.Current().kind == XToken::Damaged;
        return false;
    }

    // A run of numbers; a binary list says its length, so the object grows once for it.
    void ReadNumbers(std::vector<double>& nums)
    {
        while (m_T.Current().kind == XToken::Number) {
            const std::size_t needed = nums.size() + 1 + m_T.ListLeft();
            if (needed > nums.capacity())
                nums.reserve(std::max(needed, nums.capacity() * 2));
            nums.push_back(m_T.Current().number);
            m_T.Advance();
        }
    }

    bool SkipTemplate()
    {
        m_T.Advance();
        int depth = 0;
        for (; m_T.Current().kind != XToken::End && m_T.Current().kind != XToken::Damaged; m_T.Advance()) {
            if (m_T.Current().kind == XToken::OBrace)
                ++depth;
            else if (m_T.Current().kind == XToken::CBrace && --depth == 0) {
                m_T.Advance();
                return true;
            }
        }
        return Stop();
    }

    Tokenizer& m_T;
    bool m_Damaged = false;
};

}  // namespace

bool ReadXTree(const std::string& bytes, std::size_t pos, bool binary, bool wideFloats, XObject& root,
               std::string& error)
{
    Tokenizer tokens(bytes, pos, binary, wideFloats);
    TreeBuilder tree(tokens);
    if (tree.ReadBody(&root, true, 0))
        return true;
    error = tree.Damaged() ? "malformed x file" : "unbalanced braces";
    return false;
}

}  // namespace platform
