#include "foundation/random.h"

#include <cstdint>

#include "foundation/geometry.h"

namespace {

// The state a run starts in: the generator is never seeded.
constexpr std::uint32_t kInitialState = 1;
std::uint32_t g_RandomState = kInitialState;

float Arg(const float* args, int count, int index)
{
    return index < count ? args[index] : 0.0f;
}

}  // namespace

int RandomDraw()
{
    g_RandomState = g_RandomState * 214013u + 2531011u;
    return static_cast<int>((g_RandomState >> 16) & 0x7FFF);
}

void RandomRestart()
{
    g_RandomState = kInitialState;
}

float RandomRange(float min, float max)
{
    if (max <= min)
        return min;
    const int r = RandomDraw() % 10000;
    const float f = static_cast<float>(r * 0.0001);
    return min + (max - min) * f;
}

float RandomAround(float base, float spread)
{
    const int r = RandomDraw() % 20000 - 10000;
    const float f = static_cast<float>(r * 0.0001);
    return base + spread * f;
}

void RandomInBox(float out[3], const float min[3], const float max[3])
{
    for (int i = 0; i < 3; ++i)
        out[i] = RandomRange(min[i], max[i]);
}

void RandomAround3(float out[3], const float base[3], const float spread[3])
{
    for (int i = 0; i < 3; ++i)
        out[i] = RandomAround(base[i], spread[i]);
}

bool RandomChance(float p)
{
    const int r = RandomDraw() % 20000;
    return static_cast<float>(r) <= p * 20000.0f;
}

float ExprRandom(const float* args, int count)
{
    return RandomRange(Arg(args, count, 0), Arg(args, count, 1));
}

float ExprRandomB(const float* args, int count)
{
    return RandomAround(Arg(args, count, 0), Arg(args, count, 1));
}

float ExprDistance(const float* args, int count)
{
    return Length2D(Arg(args, count, 0) - Arg(args, count, 2), Arg(args, count, 1) - Arg(args, count, 3));
}
