#include "world/particles.h"

#include <cstdint>
#include <cstring>

#include "foundation/device.h"
#include "foundation/inifile.h"
#include "foundation/random.h"
#include "foundation/stringutil.h"
#include "platform/win32.h"

namespace {

constexpr int kMostParticles = 1000;
// Births are tried one by one, each with its own draw; beyond this many a tick a file asks for
// a hang, not a denser stream.
constexpr int kMostAttempts = 65536;

D3DXVECTOR3 ReadVector(CIniFile& ini, const char* x, const char* y, const char* z)
{
    return {ini.GetFloat(x), ini.GetFloat(y), ini.GetFloat(z)};
}

// Each byte on its own, from the start colour s toward the fade colour e, at fade tick t of
// `fadeTime`: the fade never reaches e itself, as the particle dies first.
D3DCOLOR FadedColor(D3DCOLOR start, D3DCOLOR end, std::int64_t t, std::int64_t fadeTime)
{
    D3DCOLOR out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        const std::int64_t s = (start >> shift) & 0xFF, e = (end >> shift) & 0xFF;
        const std::int64_t v = e + (s - e) * (fadeTime - t + 1) / fadeTime;
        out |= static_cast<D3DCOLOR>(v) << shift;
    }
    return out;
}

}  // namespace

CParticleSystem::~CParticleSystem()
{
    if (pVertexBuffer)
        pVertexBuffer->Release();
}

void CParticleSystem::Load(std::string file)
{
    CIniFile ini = OpenDataFile(file);
    ini.SelectSection("Data");
    MaxParticle = ini.GetInt("MaxParticle");
    ParticleLife = ini.GetInt("ParticleLife");
    GenerateRate = ini.GetInt("GenerateRate");
    if (GenerateRate > kMostAttempts) {
        GlobalReport("Warning:Generate Rate Exceeds " + IntToString(kMostAttempts));
        GenerateRate = kMostAttempts;
    }
    FadeTime = ini.GetInt("FadeTime");
    ParticleSize = ini.GetFloat("ParticleSize");
    GenerateProbability = ini.GetFloat("GenerateProbability");
    BoundingBox.vMin = ReadVector(ini, "BoundingBox.MinX", "BoundingBox.MinY", "BoundingBox.MinZ");
    BoundingBox.vMax = ReadVector(ini, "BoundingBox.MaxX", "BoundingBox.MaxY", "BoundingBox.MaxZ");
    GenerateBox.vMin = ReadVector(ini, "GenerateBox.MinX", "GenerateBox.MinY", "GenerateBox.MinZ");
    GenerateBox.vMax = ReadVector(ini, "GenerateBox.MaxX", "GenerateBox.MaxY", "GenerateBox.MaxZ");
    SpeedBasic = ReadVector(ini, "SpeedxBasic", "SpeedyBasic", "SpeedzBasic");
    SpeedVariet = ReadVector(ini, "SpeedxVariet", "SpeedyVariet", "SpeedzVariet");
    Accelerate = ReadVector(ini, "Acceleratex", "Acceleratey", "Acceleratez");
    AccelerateVariet = ReadVector(ini, "AcceleratexVariet", "AccelerateyVariet", "AcceleratezVariet");
    Color = HexToUInt(ini.GetString("Color"));
    FadeColor = HexToUInt(ini.GetString("FadeColor"));
    // Released first, so that a file without a texture draws without the last file's one.
    texture.Release();
    texture.SetName(ResolvePath(ini.GetString("Texture")));
    texture.Load();
    CreateBuffers();
}

void CParticleSystem::CreateBuffers()
{
    if (MaxParticle > kMostParticles) {
        GlobalReport("Warning:Particle Count Exceeds Limite");
        MaxParticle = kMostParticles;
    }
    if (pVertexBuffer) {
        pVertexBuffer->Release();
        pVertexBuffer = nullptr;
    }
    pParticles.reset();
    pVertices.reset();
    nLiveCount = 0;
    if (MaxParticle < 1) {
        GlobalReport("Warning:Particle Count Below 1");
        MaxParticle = 0;  // no pool: births stop at once
        return;
    }
    pParticles = std::make_unique<TParticle[]>(MaxParticle);
    pVertices = std::make_unique<TParticleVertex[]>(MaxParticle);
    for (int i = 0; i < MaxParticle; ++i)
        pParticles[i].pVertex = &pVertices[i];
    if (!g_pDevice)
        return;
    if (FAILED(g_pDevice->CreateVertexBuffer(MaxParticle * sizeof(TParticleVertex),
                                             D3DUSAGE_WRITEONLY | D3DUSAGE_POINTS | D3DUSAGE_DYNAMIC,
                                             TParticleVertex::FVF, D3DPOOL_DEFAULT, &pVertexBuffer, nullptr))) {
        pVertexBuffer = nullptr;
        MessageBoxA(nullptr, "CraeteVB Failed", "test", MB_OK);
    }
}

void CParticleSystem::Update()
{
    if (!bEnabled)
        return;
    int i = 0;
    while (i < nLiveCount) {
        TParticle* particle = &pParticles[i];
        StepParticle(particle);
        if (IsDead(particle)) {
            // The last live particle moves into this slot and is stepped in this same pass.
            RemoveParticle(particle, &pParticles[nLiveCount - 1]);
            --nLiveCount;
        } else {
            ++i;
        }
    }
    Generate(GenerateRate);
}

void CParticleSystem::StepParticle(TParticle* particle)
{
    if (!particle)
        return;
    TParticleVertex& vertex = *particle->pVertex;
    vertex.position += particle->vVelocity;
    particle->vVelocity += particle->vAccelerate;
    ++particle->nAge;
    const std::int64_t t = static_cast<std::int64_t>(particle->nAge) - ParticleLife;
    vertex.color = t >= 1 && t <= FadeTime ? FadedColor(Color, FadeColor, t, FadeTime) : Color;
}

bool CParticleSystem::IsDead(const TParticle* particle) const
{
    if (!particle)
        return false;
    if (particle->nAge > static_cast<std::int64_t>(ParticleLife) + FadeTime)
        return true;
    return !BoundingBox.Contains(&particle->pVertex->position);
}

void CParticleSystem::RemoveParticle(TParticle* dst, const TParticle* src)
{
    dst->nAge = src->nAge;
    dst->vAccelerate = src->vAccelerate;
    dst->vVelocity = src->vVelocity;
    *dst->pVertex = *src->pVertex;
}

void CParticleSystem::Generate(int n)
{
    for (int attempt = 0; attempt < n; ++attempt) {
        if (!RandomChance(GenerateProbability))
            continue;
        if (nLiveCount >= MaxParticle)
            return;
        ++nLiveCount;
        SpawnParticle(&pParticles[nLiveCount - 1]);
    }
}

void CParticleSystem::SpawnParticle(TParticle* particle)
{
    if (!particle)
        return;
    particle->nAge = 0;
    RandomInBox(particle->pVertex->position, GenerateBox.vMin, GenerateBox.vMax);
    RandomAround3(particle->vVelocity, SpeedBasic, SpeedVariet);
    RandomAround3(particle->vAccelerate, Accelerate, AccelerateVariet);
    particle->pVertex->color = Color;
}

void CParticleSystem::Render()
{
    if (!bEnabled || !pVertexBuffer || !g_pDevice)
        return;
    BeginRender();
    g_pDevice->SetTexture(0, texture.GetTexture());
    g_pDevice->SetFVF(TParticleVertex::FVF);
    g_pDevice->SetStreamSource(0, pVertexBuffer, 0, sizeof(TParticleVertex));
    void* pLockVBuf = nullptr;
    if (SUCCEEDED(pVertexBuffer->Lock(0, nLiveCount * sizeof(TParticleVertex), &pLockVBuf, D3DLOCK_DISCARD))) {
        std::memcpy(pLockVBuf, pVertices.get(), nLiveCount * sizeof(TParticleVertex));
        pVertexBuffer->Unlock();
    }
    g_pDevice->DrawPrimitive(D3DPT_POINTLIST, 0, nLiveCount);
    EndRender();
}

// The point size falls off with the distance d from the camera: size / sqrt(A + B d + C d²),
// with A = B = 0 and C = 1.
void CParticleSystem::BeginRender()
{
    D3DXMATRIX worldmat;
    D3DXMatrixIdentity(&worldmat);
    g_pDevice->SetTransform(D3DTS_WORLD, &worldmat);
    g_pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    g_pDevice->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    g_pDevice->SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
    g_pDevice->SetRenderState(D3DRS_POINTSIZE, FloatAsDword(ParticleSize));
    g_pDevice->SetRenderState(D3DRS_POINTSIZE_MIN, FloatAsDword(0.0f));
    g_pDevice->SetRenderState(D3DRS_POINTSCALE_A, FloatAsDword(0.0f));
    g_pDevice->SetRenderState(D3DRS_POINTSCALE_B, FloatAsDword(0.0f));
    g_pDevice->SetRenderState(D3DRS_POINTSCALE_C, FloatAsDword(1.0f));
    g_pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    g_pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    g_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    g_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
}

// Leaves the texture stage as set.
void CParticleSystem::EndRender()
{
    g_pDevice->SetRenderState(D3DRS_LIGHTING, TRUE);
    g_pDevice->SetRenderState(D3DRS_POINTSPRITEENABLE, FALSE);
    g_pDevice->SetRenderState(D3DRS_POINTSCALEENABLE, FALSE);
    g_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
}
