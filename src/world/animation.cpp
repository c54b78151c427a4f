#include "world/animation.h"

#include <cassert>
#include <cstring>

#include "foundation/device.h"
#include "foundation/inifile.h"
#include "foundation/namedlist.h"
#include "foundation/random.h"
#include "foundation/stringlist.h"
#include "foundation/stringutil.h"
#include "world/camera.h"

namespace {

// A quad corner: position and texture coordinates.
struct TAnimVertex {
    float x, y, z, u, v;
};
static_assert(sizeof(TAnimVertex) == 20);

constexpr DWORD kAnimFVF = D3DFVF_XYZ | D3DFVF_TEX1;
constexpr UINT kQuadBytes = 4 * sizeof(TAnimVertex);

// A pixel index as a fraction of the sheet; a sheet of no size gives 0, not a non-finite value.
float SheetFraction(long long pixel, int size)
{
    return size != 0 ? static_cast<float>(pixel) / static_cast<float>(size) : 0.0f;
}

void ReleaseBuffers(IDirect3DVertexBuffer9*& vb, IDirect3DIndexBuffer9*& ib)
{
    if (ib) ib->Release();
    if (vb) vb->Release();
    ib = nullptr;
    vb = nullptr;
}

void WriteCorner(TAnimVertex& out, const D3DXVECTOR3& p, float u, float v)
{
    out = {p.x, p.y, p.z, u, v};
}

}  // namespace

bool TAnimData::Load(CIniFile& file, const std::string& section, int sheetW, int sheetH, CAnimationGroup* group)
{
    name = section;
    pGroup = group;
    sheetWidth = sheetW;
    sheetHeight = sheetH;
    file.SelectSection(section);
    startx = file.GetInt("startx");
    starty = file.GetInt("starty");
    picsizex = file.GetInt("picsizex");
    picsizey = file.GetInt("picsizey");
    RenderSizex = file.GetFloat("RenderSizex");
    RenderSizey = file.GetFloat("RenderSizey");
    framecount = file.GetInt("framecount");
    TimePerFrame = file.GetInt("TimePerFrame");
    randomspeed = D3DXVECTOR3(file.GetFloat("randomspeedx"), file.GetFloat("randomspeedy"),
                              file.GetFloat("randomspeedz"));
    randompos = D3DXVECTOR3(file.GetFloat("randomposx"), file.GetFloat("randomposy"), file.GetFloat("randomposz"));
    if (framecount < 0) framecount = 0;
    return true;
}

// In 64 bits: hostile sizes and frame numbers must not overflow.
TAnimFrameData TAnimData::Frame(int i) const
{
    const long long left = startx + static_cast<long long>(picsizex) * i;
    const long long right = startx + static_cast<long long>(picsizex) * (i + 1LL) - 1;
    const long long bottom = static_cast<long long>(starty) + picsizey - 1;
    return {SheetFraction(left, sheetWidth), SheetFraction(starty, sheetHeight), SheetFraction(right, sheetWidth),
            SheetFraction(bottom, sheetHeight)};
}

void TAnim::Start(TAnimData* data, const D3DXVECTOR3& pos, const D3DXVECTOR3& velocity)
{
    if (!data) return;
    pData = data;
    nFrame = 0;
    nTick = 0;
    vPos.x = RandomAround(pos.x, data->randompos.x);
    vPos.y = RandomAround(pos.y, data->randompos.y);
    vPos.z = RandomAround(pos.z, data->randompos.z);
    vVelocity.x = RandomAround(velocity.x, data->randomspeed.x);
    vVelocity.y = RandomAround(velocity.y, data->randomspeed.y);
    vVelocity.z = RandomAround(velocity.z, data->randomspeed.z);
}

bool TAnim::Update()
{
    // A definition without frames has nothing to show: its instance ends at once.
    if (pData->framecount <= 0) return false;
    ++nTick;
    if (nTick >= pData->TimePerFrame) {
        nTick = 0;
        ++nFrame;
        if (nFrame >= pData->framecount) return false;
    }
    vPos += vVelocity;
    return true;
}

CAnimationGroup& CAnimationGroup::operator=(const CAnimationGroup& other)
{
    assert(!pVB && !pIB && !other.pVB && !other.pIB && other.anims.Count() == 0);
    return *this;
}

CAnimationGroup::~CAnimationGroup() { ReleaseBuffers(pVB, pIB); }

bool CAnimationGroup::Load(const std::string& file)
{
    CIniFile ini(file);
    name = ini.GetGlobalString("name");
    sheet.SetName(ini.GetGlobalString("texture"));
    sheet.Load();
    CStringList sections;
    ini.GetSectionNames(sections);
    sizex = StringToInt(ini.GetGlobalString("sizex"));
    sizey = StringToInt(ini.GetGlobalString("sizey"));
    MaxAnimCount = StringToInt(ini.GetGlobalString("MaxAnimCount"));
    for (int i = 0; i < sections.Count(); ++i) {
        if (!anims.AddNew()->Load(ini, sections.At(i), sizex, sizey, this)) {
            Error(sections.At(i) + " Load Fail");
            return false;
        }
    }
    CreateBuffers();
    return true;
}

void CAnimationGroup::CreateBuffers()
{
    // A negative pool is a pool of none: it takes no emissions, and the device refuses its buffer.
    if (MaxAnimCount < 0) MaxAnimCount = 0;
    if (MaxAnimCount > kMaxPool) {
        Error("warning:MaxAnimCount " + IntToString(MaxAnimCount) + " cut to " + IntToString(kMaxPool));
        MaxAnimCount = kMaxPool;
    }
    pool.resize(static_cast<std::size_t>(MaxAnimCount));
    nActive = 0;
    ReleaseBuffers(pVB, pIB);

    const UINT count = static_cast<UINT>(MaxAnimCount);
    if (g_pDevice)
        g_pDevice->CreateVertexBuffer(count * kQuadBytes, D3DUSAGE_WRITEONLY, kAnimFVF, D3DPOOL_MANAGED, &pVB, nullptr);
    if (!pVB) {
        Error("Vertex buffer Fail to be Created");
        return;
    }
    g_pDevice->CreateIndexBuffer(count * 6 * sizeof(WORD), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &pIB,
                                 nullptr);
    if (!pIB) {
        Error("Index Buffer failed to be Created");
        return;
    }
    void* locked = nullptr;
    if (FAILED(pIB->Lock(0, 0, &locked, 0)) || !locked) return;
    WORD* index = static_cast<WORD*>(locked);
    for (UINT k = 0; k < count; ++k) {
        const WORD base = static_cast<WORD>(4 * k);
        const WORD quad[6] = {base, WORD(base + 2), WORD(base + 1), WORD(base + 1), WORD(base + 2), WORD(base + 3)};
        std::memcpy(index + 6 * k, quad, sizeof(quad));
    }
    pIB->Unlock();
}

TAnimData* CAnimationGroup::FindAnimData(const std::string& animName) { return m_AnimIndex.Find(anims, animName); }

void CAnimationGroup::Emit(TAnimData* data, const D3DXVECTOR3& pos, const D3DXVECTOR3& velocity)
{
    if (!data || nActive >= MaxAnimCount) return;
    pool[static_cast<std::size_t>(nActive)].Start(data, pos, velocity);
    ++nActive;
}

void CAnimationGroup::Update()
{
    int i = 0;
    while (i < nActive) {
        if (!pool[static_cast<std::size_t>(i)].Update()) {
            // The last instance takes the finished one's slot and is stepped next.
            pool[static_cast<std::size_t>(i)] = pool[static_cast<std::size_t>(nActive - 1)];
            --nActive;
        } else {
            ++i;
        }
    }
}

void CAnimationGroup::Render()
{
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, 0.0f, 0.0f, 0.0f);
    g_pDevice->SetTransform(D3DTS_WORLD, &world);
    if (nActive <= 0 || !pVB || !pIB) return;

    void* locked = nullptr;
    if (FAILED(pVB->Lock(0, static_cast<UINT>(nActive) * kQuadBytes, &locked, 0)) || !locked) return;
    TAnimVertex* v = static_cast<TAnimVertex*>(locked);
    UINT drawn = 0;
    for (int i = 0; i < nActive; ++i) {
        const TAnim& anim = pool[static_cast<std::size_t>(i)];
        const TAnimData& data = *anim.pData;
        // An instance of a definition without frames is started, to draw its random numbers, but
        // has no frame to show.
        if (data.framecount <= 0) continue;
        const TAnimFrameData f = data.Frame(anim.nFrame);
        const D3DXVECTOR3 h = g_vBillboardH * data.RenderSizex;
        const D3DXVECTOR3 up = g_vBillboardV * data.RenderSizey;
        WriteCorner(v[0], anim.vPos - h + up, f.uLeft, f.vTop);
        WriteCorner(v[1], anim.vPos + h + up, f.uRight, f.vTop);
        WriteCorner(v[2], anim.vPos - h - up, f.uLeft, f.vBottom);
        WriteCorner(v[3], anim.vPos + h - up, f.uRight, f.vBottom);
        v += 4;
        ++drawn;
    }
    pVB->Unlock();
    if (drawn == 0) return;

    g_pDevice->SetTexture(0, sheet.GetTexture());
    g_pDevice->SetStreamSource(0, pVB, 0, sizeof(TAnimVertex));
    g_pDevice->SetIndices(pIB);
    g_pDevice->SetFVF(kAnimFVF);
    g_pDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, drawn * 4, 0, drawn * 2);
}

bool AnimationManager::LoadGroups(const std::string& folder, const std::string& pattern)
{
    CStringList files;
    ListFolder(files, folder, pattern);
    for (int i = 0; i < files.Count(); ++i) {
        if (!groups.AddNew()->Load(files.At(i))) {
            Error("Animation Group Load Fail at:" + files.At(i));
            return false;
        }
    }
    return true;
}

TAnimData* AnimationManager::FindAnimData(const std::string& name)
{
    for (CAnimationGroup& group : groups)
        if (TAnimData* data = group.FindAnimData(name)) return data;
    return nullptr;
}

void AnimationManager::Emit(TAnimData* data, const D3DXVECTOR3& pos, const D3DXVECTOR3& velocity)
{
    assert(data);
    if (data->pGroup) data->pGroup->Emit(data, pos, velocity);
}

void AnimationManager::Update()
{
    for (CAnimationGroup& group : groups) group.Update();
}

void AnimationManager::Render(const CSceneCamera& camera)
{
    if (!g_pDevice) return;
    BeginRender(camera);
    for (CAnimationGroup& group : groups) group.Render();
    EndRender();
}

void AnimationManager::BeginRender(const CSceneCamera& camera)
{
    g_pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    g_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    g_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    g_pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    g_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    g_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    D3DXVECTOR3 right;
    D3DXVECTOR3 up;
    camera.GetRight(&right);
    camera.GetUp(&up);
    D3DXVec3Normalize(&g_vBillboardH, &right);
    D3DXVec3Normalize(&g_vBillboardV, &up);
}

void AnimationManager::EndRender()
{
    g_pDevice->SetRenderState(D3DRS_LIGHTING, TRUE);
    g_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    g_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
}
