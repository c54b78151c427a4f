// The .x mesh reader on any bytes, text, binary or compressed: a mesh it accepts must be
// self-consistent.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/d3dx9/xfile.h"
#include "support/fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Prepare();
    platform::XMeshData mesh;
    std::string error;
    if (!platform::ParseXFile(std::string(reinterpret_cast<const char*>(data), size), mesh, &error))
        return 0;
    if (mesh.indices.size() != mesh.attributes.size() * 3)
        __builtin_trap();
    for (std::uint32_t index : mesh.indices)
        if (index >= mesh.vertices.size())
            __builtin_trap();
    if (!mesh.materials.empty())
        for (std::uint32_t attribute : mesh.attributes)
            if (attribute >= mesh.materials.size() && attribute != platform::kNoMaterial)
                __builtin_trap();
    return 0;
}
