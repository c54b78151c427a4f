#include "bindings/framefunctions.h"

#include "bindings/gameframe.h"
#include "foundation/stringutil.h"
#include "world/scene.h"

// Each argument written in the call, its text or else its value, followed by a comma.
void ScriptReportMsg(TScriptParam* args, int count)
{
    std::string line;
    for (int i = 0; i < count; ++i) {
        line += args[i].strText.empty() ? FloatToString(args[i].fValue) : args[i].strText;
        line += ",";
    }
    GlobalReport(line);
}

void ScriptReportValue(TScriptParam* args, int count)
{
    GlobalReport(FloatToString(args[0].fValue));
}

void ScriptFrameCommand(TScriptParam* args, int count)
{
    g_GameFrame.Command(args[0].fValue);
}

void ScriptFrameStartScene(TScriptParam* args, int count)
{
    const std::string& file = args[0].strText;
    if (file.empty()) {
        g_GameFrame.Error("Scene脚本不能读取:" + file);
        return;
    }
    g_Scene.Start(ResolvePath(file), args[1].strText);
}
