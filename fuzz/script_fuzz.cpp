// The script loader, linker and runtime on any bytes: the input is one script, loaded and linked
// as written, then run (paced, see support/scriptsupport.h) as a thread for a bounded number of
// ticks.
#include <cstddef>
#include <cstdint>

#include "script/scriptbase.h"
#include "script/scriptrunner.h"
#include "support/fuzzsupport.h"
#include "support/scriptsupport.h"

namespace {

void Run(CScriptLibrary& library)
{
    CScriptRunner runner;
    runner.pLibrary = &library;
    const float inputs[3] = {1.0f, -0.5f, 100.0f};
    runner.StartThread("main", "main", inputs, 3);
    for (int tick = 0; tick < 64 && !runner.threads.empty(); ++tick)
        runner.Update();
    fuzz::StopScripts(runner);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Prepare();
    fuzz::PrepareScripts();
    CStringList lines;
    lines.LoadFromFile(fuzz::WriteInput(data, size, "script.txt"));
    {
        CScriptLibrary library;
        TScript* script = library.AddScript(lines, "main");
        CStringList paced;
        if (script->bRunnable && fuzz::Paced(lines, paced)) {
            CScriptLibrary pacedLibrary;
            if (pacedLibrary.AddScript(paced, "main")->bRunnable)
                Run(pacedLibrary);
        } else if (script->bRunnable) {
            Run(library);
        }
    }
    // Scripts hold their expressions by pointer; with the scripts gone the pool can go too.
    g_ExpressionPool.Clear();
    return 0;
}
