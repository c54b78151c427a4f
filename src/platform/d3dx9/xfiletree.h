// The data objects of an .x file, either encoding, as a tree: each object's numbers and strings
// as flat lists (separators carry no meaning once the template is known) and its members.
#pragma once

#include <string>
#include <vector>

namespace platform {

struct XObject {
    std::string type;  // lower-cased template name
    std::string name;
    std::vector<double> nums;
    std::vector<std::string> strings;
    std::vector<XObject> children;  // data objects and references, in file order
    bool isReference = false;        // a "{ name }" member: `name` names a top-level object
};

// Reads the objects of `bytes` from `pos` on (the text encoding, or the binary one with 32- or
// 64-bit floats) as the children of `root`. Only the objects a mesh is built from are kept, with
// what they hold; the others are read past. False (with a reason) for a stream that cannot be
// read or whose braces do not match.
bool ReadXTree(const std::string& bytes, std::size_t pos, bool binary, bool wideFloats, XObject& root,
               std::string& error);

}  // namespace platform
