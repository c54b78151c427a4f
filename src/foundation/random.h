// Random values from the program's one generator. It is never seeded, so every run draws the
// same sequence; each function below takes one value from it per draw.
#pragma once

// The generator's next value, 0 to 32767.
int RandomDraw();
// Puts the generator back to the state a run starts in (tests only).
void RandomRestart();

// [min, max); min, without drawing, when max <= min.
float RandomRange(float min, float max);
// [base - spread, base + spread); draws even for a spread of 0.
float RandomAround(float base, float spread);
// Each component by RandomRange, x then y then z.
void RandomInBox(float out[3], const float min[3], const float max[3]);
// Each component by RandomAround, x then y then z.
void RandomAround3(float out[3], const float base[3], const float spread[3]);
// True with probability p: always for p >= 1, never for p < 0.
bool RandomChance(float p);

// The expression functions "Random" (a, b), "RandomB" (base, spread) and "Distance"
// (x1, y1, x2, y2), the last the plane distance of two points. Arguments not written in the call
// count as 0.
float ExprRandom(const float* args, int count);
float ExprRandomB(const float* args, int count);
float ExprDistance(const float* args, int count);
