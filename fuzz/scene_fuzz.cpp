// Scene files on any bytes: every section a script, the first section's script started as the
// scene's thread and the scene stepped for a bounded number of ticks, with calls and thread
// starts between the file's scripts. The file is paced first (see support/scriptsupport.h).
#include <cstddef>
#include <cstdint>

#include "foundation/inifile.h"
#include "script/scriptrunner.h"
#include "support/fuzzsupport.h"
#include "support/scriptsupport.h"
#include "world/scene.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Prepare();
    fuzz::PrepareScripts();
    CStringList lines;
    lines.LoadFromFile(fuzz::WriteInput(data, size, "scene.txt"));
    CStringList paced;
    fuzz::Paced(lines, paced);
    const std::string path = fuzz::WriteInput(nullptr, 0, "paced.txt");
    paced.SaveToFile(path);
    {
        CIniFile ini(path);
        CStringList sections;
        ini.GetSectionNames(sections);
        CScene scene;
        scene.Start(path, sections.Count() > 0 ? sections.At(0) : std::string("main"));
        for (int tick = 0; tick < 64 && !scene.runner.threads.empty(); ++tick)
            scene.Update();
        fuzz::StopScripts(scene.runner);
    }
    g_ExpressionPool.Clear();
    fuzz::ReturnToStartFolder();
    return 0;
}
