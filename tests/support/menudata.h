// The smallest data tree on which start-up succeeds: a main menu of one control that draws
// nothing, its script file with an empty "UIMain", and an empty font file.
#pragma once

#include <string>

#include "support/testutil.h"

namespace testutil {

// Writes the tree under `folder` (relative to the scratch folder; empty for its top).
void WriteMinimalMenu(const TempDir& dir, const std::string& folder = "");

}  // namespace testutil
