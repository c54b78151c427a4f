// Textures and vertex and index buffers of the device.
#include <algorithm>
#include <cstring>

#include "platform/d3d9/d3d9_device.h"
#include "platform/seams_internal.h"

namespace platform::d3d {

namespace {

std::size_t BlockBytes(D3DFORMAT format)
{
    return format == D3DFMT_DXT1 ? 8 : 16;
}

GLenum CompressedFormat(D3DFORMAT format)
{
    switch (format) {
    case D3DFMT_DXT1: return GL_COMPRESSED_RGBA_S3TC_DXT1_EXT;
    case D3DFMT_DXT2:
    case D3DFMT_DXT3: return GL_COMPRESSED_RGBA_S3TC_DXT3_EXT;
    case D3DFMT_DXT4:
    case D3DFMT_DXT5: return GL_COMPRESSED_RGBA_S3TC_DXT5_EXT;
    default: return 0;
    }
}

}  // namespace

TextureImage::TextureImage(Device* owner, UINT w, UINT h, D3DFORMAT f, std::size_t size)
    : device(owner), width(w), height(h), format(f), bytes(size)
{
    device->MakeCurrent();
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    if (!CompressedFormat(format))
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, static_cast<GLsizei>(width), static_cast<GLsizei>(height), 0, GL_BGRA,
                     GL_UNSIGNED_BYTE, nullptr);
}

TextureImage::~TextureImage()
{
    device->MakeCurrent();
    glDeleteTextures(1, &name);
    device->ForgetImage(*this);
}

void TextureImage::UploadRgba(const std::uint8_t* rgba)
{
    device->MakeCurrent();
    glBindTexture(GL_TEXTURE_2D, name);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, static_cast<GLsizei>(width), static_cast<GLsizei>(height), GL_RGBA,
                    GL_UNSIGNED_BYTE, rgba);
}

bool TextureImage::UploadCompressed(const std::uint8_t* blocks, std::size_t size)
{
    const GLenum glFormat = CompressedFormat(format);
    if (!glFormat || size < bytes) return false;
    device->MakeCurrent();
    while (glGetError() != GL_NO_ERROR) {
    }
    glBindTexture(GL_TEXTURE_2D, name);
    glCompressedTexImage2D(GL_TEXTURE_2D, 0, glFormat, static_cast<GLsizei>(width), static_cast<GLsizei>(height), 0,
                           static_cast<GLsizei>(bytes), blocks);
    return glGetError() == GL_NO_ERROR;
}

std::shared_ptr<TextureImage> Device::NewTextureImage(UINT width, UINT height, D3DFORMAT format)
{
    if (width == 0 || height == 0 || width > platform::d3d9::kMaxTextureSize ||
        height > platform::d3d9::kMaxTextureSize)
        return nullptr;
    std::size_t bytes = static_cast<std::size_t>(width) * height * 4;
    if (CompressedFormat(format))
        bytes = static_cast<std::size_t>((width + 3) / 4) * ((height + 3) / 4) * BlockBytes(format);
    else if (format != D3DFMT_A8R8G8B8 && format != D3DFMT_X8R8G8B8)
        return nullptr;
    const std::size_t budget = seams::detail::TextureBudget();
    if (bytes > budget || m_TextureBytes > budget - bytes) return nullptr;
    m_TextureBytes += bytes;
    return std::make_shared<TextureImage>(this, width, height, format, bytes);
}

std::shared_ptr<TextureImage> Device::FileImage(const platform::d3d9::TextureFile& file) const
{
    const auto found = m_FileImages.find(file);
    return found == m_FileImages.end() ? nullptr : found->second->shared_from_this();
}

void Device::ShareByFile(const std::shared_ptr<TextureImage>& image, const platform::d3d9::TextureFile& file)
{
    m_FileImages[file] = image.get();
    image->file = file;
}

void Device::StopSharing(TextureImage& image)
{
    if (!image.file) return;
    const auto found = m_FileImages.find(*image.file);
    if (found != m_FileImages.end() && found->second == &image) m_FileImages.erase(found);
    image.file.reset();
}

void Device::ForgetImage(TextureImage& image)
{
    StopSharing(image);
    m_TextureBytes -= image.bytes;
}

Texture::Texture(Device* device, std::shared_ptr<TextureImage> image) : m_Device(device), m_Image(std::move(image))
{
    m_Device->AddRef();
}

Texture::~Texture()
{
    m_Device->Unbind(this);
    m_Image.reset();
    m_Device->Release();
}

HRESULT Texture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc)
{
    if (level != 0 || !desc) return D3DERR_INVALIDCALL;
    *desc = D3DSURFACE_DESC{m_Image->format, 0, D3DPOOL_MANAGED, m_Image->width, m_Image->height};
    return D3D_OK;
}

// Locking is offered for 32-bit ARGB textures only: the whole level is handed out as
// A8R8G8B8 (BGRA bytes) and uploaded again at unlock. What is written reaches this texture
// alone: an image other textures share is copied first (and the copy counts against the
// budget), and an image no other texture holds is no longer offered to later loads of its file.
HRESULT Texture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags)
{
    if (level != 0 || !locked || rect || !m_Locked.empty()) return D3DERR_INVALIDCALL;
    const TextureImage& image = *m_Image;
    if (image.format != D3DFMT_A8R8G8B8 && image.format != D3DFMT_X8R8G8B8) return D3DERR_INVALIDCALL;
    std::shared_ptr<TextureImage> own;
    m_LockWrites = !(flags & D3DLOCK_READONLY);
    if (m_LockWrites && m_Image.use_count() > 1) {
        own = m_Device->NewTextureImage(image.width, image.height, image.format);
        if (!own) return D3DERR_OUTOFVIDEOMEMORY;
    }
    m_Locked.assign(static_cast<std::size_t>(image.width) * image.height * 4, 0);
    m_Device->MakeCurrent();
    glBindTexture(GL_TEXTURE_2D, image.name);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_BGRA, GL_UNSIGNED_BYTE, m_Locked.data());
    locked->Pitch = static_cast<INT>(image.width * 4);
    locked->pBits = m_Locked.data();
    if (own)
        m_Image = std::move(own);
    else if (m_LockWrites)
        m_Device->StopSharing(*m_Image);
    return D3D_OK;
}

HRESULT Texture::UnlockRect(UINT level)
{
    if (level != 0 || m_Locked.empty()) return D3DERR_INVALIDCALL;
    if (m_LockWrites) {
        if (m_Image->format == D3DFMT_X8R8G8B8) {
            for (std::size_t i = 3; i < m_Locked.size(); i += 4) m_Locked[i] = 0xFF;
        }
        m_Device->MakeCurrent();
        glBindTexture(GL_TEXTURE_2D, m_Image->name);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, static_cast<GLsizei>(m_Image->width),
                        static_cast<GLsizei>(m_Image->height), GL_BGRA, GL_UNSIGNED_BYTE, m_Locked.data());
    }
    m_Locked.clear();
    return D3D_OK;
}

template <class Interface>
Buffer<Interface>::Buffer(Device* device, UINT length, DWORD formatOrFvf)
    : m_Device(device), m_Bytes(length, 0), m_Format(formatOrFvf)
{
    m_Device->AddRef();
    m_Device->MakeCurrent();
    glGenBuffers(1, &m_Name);
    // The GL buffer gets its whole size once; later unlocks replace only what was locked.
    glBindBuffer(GL_ARRAY_BUFFER, m_Name);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(m_Bytes.size()), m_Bytes.data(), GL_DYNAMIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

template <class Interface>
Buffer<Interface>::~Buffer()
{
    m_Device->Unbind(this);
    m_Device->MakeCurrent();
    glDeleteBuffers(1, &m_Name);
    m_Device->Release();
}

// A size of 0 locks from the offset to the end, as Direct3D's whole-buffer lock (0, 0) does.
// Locks may nest; what any of them could write is uploaded when the last is undone. Bytes
// outside the locked ranges keep their contents, whatever the flags.
template <class Interface>
HRESULT Buffer<Interface>::Lock(UINT offset, UINT size, void** data, DWORD flags)
{
    if (!data || offset > m_Bytes.size()) return D3DERR_INVALIDCALL;
    if (size != 0 && size > m_Bytes.size() - offset) return D3DERR_INVALIDCALL;
    const std::size_t end = size == 0 ? m_Bytes.size() : static_cast<std::size_t>(offset) + size;
    if (!(flags & D3DLOCK_READONLY) && end > offset) {
        m_DirtyBegin = std::min<std::size_t>(m_DirtyBegin, offset);
        m_DirtyEnd = std::max(m_DirtyEnd, end);
    }
    *data = m_Bytes.data() + offset;
    ++m_Locks;
    return D3D_OK;
}

template <class Interface>
HRESULT Buffer<Interface>::Unlock()
{
    if (m_Locks == 0) return D3DERR_INVALIDCALL;
    if (--m_Locks > 0 || m_DirtyBegin >= m_DirtyEnd) return D3D_OK;
    m_Device->MakeCurrent();
    glBindBuffer(GL_ARRAY_BUFFER, m_Name);
    glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(m_DirtyBegin),
                    static_cast<GLsizeiptr>(m_DirtyEnd - m_DirtyBegin), m_Bytes.data() + m_DirtyBegin);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    m_DirtyBegin = SIZE_MAX;
    m_DirtyEnd = 0;
    return D3D_OK;
}

template class Buffer<IDirect3DVertexBuffer9>;
template class Buffer<IDirect3DIndexBuffer9>;

HRESULT Device::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** buffer,
                                   HANDLE* sharedHandle)
{
    if (Recording())
        RecordCall("CreateVertexBuffer(" + std::to_string(length) + ", " + Hex(usage) + ", " + Hex(fvf) + ", " +
                   std::to_string(pool) + ")");
    if (!buffer || length == 0) return D3DERR_INVALIDCALL;
    *buffer = new VertexBuffer(this, length, fvf);
    return D3D_OK;
}

HRESULT Device::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DIndexBuffer9** buffer, HANDLE* sharedHandle)
{
    if (Recording())
        RecordCall("CreateIndexBuffer(" + std::to_string(length) + ", " + Hex(usage) + ", " + std::to_string(format) +
                   ", " + std::to_string(pool) + ")");
    if (!buffer || length == 0) return D3DERR_INVALIDCALL;
    if (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32) return D3DERR_INVALIDCALL;
    *buffer = new IndexBuffer(this, length, format);
    return D3D_OK;
}

}  // namespace platform::d3d
