// Script functions that report to the debug link, end the program and start a scene.
#pragma once

#include "script/scriptbase.h"

void ScriptReportMsg(TScriptParam* args, int count);
void ScriptReportValue(TScriptParam* args, int count);
void ScriptFrameCommand(TScriptParam* args, int count);
void ScriptFrameStartScene(TScriptParam* args, int count);
