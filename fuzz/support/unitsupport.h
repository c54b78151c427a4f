// What the unit and formation type targets share: a world with two animation definitions to
// name, "spark" and "puff", and no type, object or formation left from an earlier input.
#pragma once

namespace fuzz {

// Call once an input, before loading.
void PrepareUnits();

// Drops every formation, type and 3D object, and the expressions their scripts compiled, and
// goes back to the folder the process started in.
void ForgetUnits();

}  // namespace fuzz
