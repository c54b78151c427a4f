// The one registration of every script-visible name: system functions, variables and expression
// functions, in their fixed order.
#pragma once

bool RegisterScriptBindings();
