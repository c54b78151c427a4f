// The .x mesh reader, text and binary, plain or compressed: every mesh of the file, placed by its
// frames' transforms, merged into one triangle list with one material index per triangle.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/d3d9types.h"
#include "platform/files.h"

namespace platform {

struct XMaterial {
    D3DCOLORVALUE diffuse{1, 1, 1, 1};
    float power = 0;
    D3DCOLORVALUE specular{0, 0, 0, 1};
    D3DCOLORVALUE emissive{0, 0, 0, 1};
    std::string textureFileName;  // empty when the material names no texture
};

struct XVertex {
    float pos[3] = {0, 0, 0};
    float normal[3] = {0, 0, 0};
    float uv[2] = {0, 0};
    std::uint32_t diffuse = 0xFFFFFFFF;  // packed ARGB; opaque white where the file gives none
};

// The material index of the faces of a material list that names no material: no subset that
// draws a material holds them.
constexpr std::uint32_t kNoMaterial = 0xFFFFFFFF;

struct XMeshData {
    bool hasNormals = false;    // every merged mesh carried normals
    bool hasTexCoords = false;  // every merged mesh carried texture coordinates
    bool hasColors = false;     // some merged mesh carried vertex colours
    std::vector<XVertex> vertices;
    std::vector<std::uint32_t> indices;     // three per triangle
    std::vector<std::uint32_t> attributes;  // one per triangle: its material index, or kNoMaterial
    std::vector<XMaterial> materials;       // empty when the file has no material list
};

// What one file may produce in all, counting a mesh again each time a reference places it: past
// these the file is refused like a malformed one.
constexpr std::size_t kMaxXVertices = 4000000;
constexpr std::size_t kMaxXFaces = 4000000;  // triangles
constexpr std::size_t kMaxXMaterials = 65536;

// What a compressed file may unpack to: no more than a plain file may hold.
constexpr auto kMaxXUnpackedBytes = static_cast<std::size_t>(kMaxDataFileBytes);

// Parses the whole file content, which it takes over (and frees as soon as it has been read).
// False (with a reason) for a file that is not a readable .x file or holds no mesh.
bool ParseXFile(std::string bytes, XMeshData& out, std::string* error = nullptr);

// The data of a compressed file (the bytes after its 16-byte header) unpacked into `out`: a
// total size, then blocks of at most 32 KB that each continue the previous one's output. False
// for damaged data, or data that would unpack past its total or kMaxXUnpackedBytes.
bool UnpackXFile(const std::string& bytes, std::size_t pos, std::string& out);

}  // namespace platform
