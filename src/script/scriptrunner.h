// The script runtime: call frames, threads (stacks of frames) and the runner that steps every
// thread of one owner once per tick. Handlers learn whom they act on from g_CurrentRunner and
// g_CurrentThread.
#pragma once

#include <list>
#include <string>
#include <vector>

#include "foundation/objectbase.h"
#include "script/scriptbase.h"

class CScriptRunner;

namespace script {

class CScriptThread;

class CScriptFunction {
public:
    std::vector<float> locals;
    std::vector<float> inputs;
    TScript* pScript = nullptr;
    int nInstrIndex = -1;
    // The target of a false jump of an if or elseif, consumed by the elseif it lands on: an elseif
    // reached any other way was run on into from the branch above and leaves the chain.
    int nJumpTarget = -1;

    void Reset() { nInstrIndex = -1; }
    void SetScript(TScript* script);
    void SetInputs(const float* values, int n) { inputs.assign(values, values + n); }
    bool NextInstr()
    {
        if (!pScript || !pScript->bRunnable)
            return false;
        return ++nInstrIndex < pScript->Length();
    }
    int ExecuteInstruction();
    // Runs the script's step list until a wait (its ticks), the end (-1) or an instruction that
    // changed the thread it belongs to (stopped it or pushed a frame) (0): the caller then fetches
    // its top frame again before going on.
    int RunFast(const CScriptThread& thread);
    int Run();
    TScriptInstruction* FetchNext();
    void Dump(CStringList& out) const;

private:
    float Eval(CExpression* e)
    {
        return e->Evaluate(locals.empty() ? nullptr : locals.data(), inputs.empty() ? nullptr : inputs.data(),
                           static_cast<int>(inputs.size()));
    }
    void JumpTo(int target) { nInstrIndex = target - 1; }
};

class CScriptThread {
public:
    std::vector<CScriptFunction> stack;
    std::string strName;
    bool bRunning = false;
    int nWait = 0;
    // Stopped while its runner was updating: skipped by every lookup and erased by the update.
    bool bStopped = false;

    void Clear();
    CScriptFunction* TopFunction() { return stack.empty() ? nullptr : &stack.back(); }
    void PushFunction(TScript* script);
    void CallScript(const std::string& name);
    void Pause() { bRunning = false; }
    void Continue() { bRunning = true; }
    bool IsRunning() const { return bRunning; }
    void SetWait(int n) { nWait = n; }
    bool Step();

private:
    // Locals of popped frames, reused so that calls in a loop do not allocate.
    std::vector<std::vector<float>> spareLocals;
    void PopFunction();
};

}  // namespace script

class CScriptRunner : public CObject {
public:
    std::list<script::CScriptThread> threads;
    bool bEnabled = true;
    CScriptLibrary* pLibrary = nullptr;

    script::CScriptThread* FindThread(const std::string& name);
    script::CScriptThread* StartThread(const std::string& scriptName, const std::string& threadName);
    script::CScriptThread* StartThread(const std::string& scriptName, const std::string& threadName,
                                       const float* inputs, int count);
    void StopThread(const std::string& name);
    void StopAll();
    void Update();
    void Enable() { bEnabled = true; }
    void Disable() { bEnabled = false; }

private:
    int nUpdateDepth = 0;
    void Erase(std::list<script::CScriptThread>::iterator it);
};

extern CScriptRunner* g_CurrentRunner;
extern script::CScriptThread* g_CurrentThread;

// The runtime's own system functions, registered by the bindings as "StartThread" ("ss"),
// "CallFunction" ("s"), "PauseThread" ("s") and "ContinueThread" ("s").
void ScriptStartThread(TScriptParam* args, int count);
void ScriptCallFunction(TScriptParam* args, int count);
void ScriptPauseThread(TScriptParam* args, int count);
void ScriptContinueThread(TScriptParam* args, int count);
