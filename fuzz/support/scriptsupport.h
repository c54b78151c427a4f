// What the script targets share. The language has legitimate endless runs within one tick that
// the runtime has no step limit for: a loop that never waits, a script that calls itself before
// any wait, two threads that restart each other as each ends (a thread started during an update
// runs in that update). So scripts are loaded and linked as written, and what runs is a paced
// copy in which every backward jump passes a wait, with "CallFunction" and "StartThread" on a
// budget per input past which they do nothing.
#pragma once

#include "foundation/stringlist.h"

class CScriptRunner;

namespace fuzz {

// The bindings' own table, so that every signature parses as in the game, with the handlers that
// reach the frame, the scene, the user interface or the sound device doing nothing (none of them
// exists here, and their file names could name anything on the disk). Also renews the call
// budget: call once an input.
void PrepareScripts();

// The lines with a wait of one tick after every "while" line and before every "goto" and
// "continue" line.
// False when there was none, `out` then being a plain copy.
bool Paced(const CStringList& lines, CStringList& out);

// Stops the runner's threads and forgets it as the current runner, so that nothing points into
// it once it is gone.
void StopScripts(CScriptRunner& runner);

}  // namespace fuzz
