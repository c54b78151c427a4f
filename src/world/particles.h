// The scene's point-sprite particle system: a pool of at most 1000 particles born at random in a
// box, flying with random velocity and acceleration, fading from one colour to another at the
// end of their life and dying when old or outside a bounding box.
#pragma once

#include <memory>
#include <string>

#include "foundation/geometry.h"
#include "foundation/objectbase.h"
#include "media/texture.h"
#include "platform/d3d9.h"
#include "platform/d3dx9math.h"

struct TParticleVertex {
    D3DXVECTOR3 position;  // world space
    D3DCOLOR color;
    static constexpr DWORD FVF = D3DFVF_XYZ | D3DFVF_DIFFUSE;
};
static_assert(sizeof(TParticleVertex) == 16);

struct TParticle {
    TParticleVertex* pVertex = nullptr;  // its own slot, for the life of the pool
    D3DXVECTOR3 vVelocity;               // a tick
    D3DXVECTOR3 vAccelerate;             // added to the velocity each tick
    int nAge = 0;                        // ticks since birth
};

class CParticleSystem : public CNamedObject {
public:
    CTexture texture;
    IDirect3DVertexBuffer9* pVertexBuffer = nullptr;
    int MaxParticle = 0;
    int ParticleLife = 0;  // ticks of full colour before fading
    int GenerateRate = 0;  // birth attempts a tick
    float ParticleSize = 10.0f;
    float GenerateProbability = 1.0f;
    D3DXVECTOR3 SpeedBasic, SpeedVariet;
    D3DXVECTOR3 Accelerate, AccelerateVariet;
    TBoundingBox BoundingBox;  // particles leaving it die
    TBoundingBox GenerateBox;  // particles are born in it
    D3DCOLOR Color = 0;
    D3DCOLOR FadeColor = 0;
    int FadeTime = 0;
    // The live particles are entries 0 to nLiveCount - 1, and particle i always uses vertex i,
    // so the live vertices lie in one block at the front.
    std::unique_ptr<TParticle[]> pParticles;
    std::unique_ptr<TParticleVertex[]> pVertices;
    int nLiveCount = 0;
    bool bEnabled = false;

    CParticleSystem() { strClassName = "CParticleSystem"; }
    CParticleSystem(const CParticleSystem&) = delete;
    CParticleSystem& operator=(const CParticleSystem&) = delete;
    ~CParticleSystem();

    // Replaces every setting and the pool (the new pool is empty). Enabling is left to scripts.
    void Load(std::string file);
    // At most 1000 particles; a pool of none when the file asks for none or fewer.
    void CreateBuffers();
    // One tick while enabled: steps every live particle, removes the dead, then tries births.
    void Update();
    // Draws the live particles while enabled; nothing without a vertex buffer.
    void Render();
    void BeginRender();
    void EndRender();
    void Generate(int n);
    void SpawnParticle(TParticle* particle);
    void StepParticle(TParticle* particle);
    bool IsDead(const TParticle* particle) const;
    // Gives dst src's life; vertex slots never change owners.
    void RemoveParticle(TParticle* dst, const TParticle* src);
};
