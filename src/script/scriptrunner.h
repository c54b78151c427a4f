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

class CScriptFunction {
public:
    std::vector<float> locals;
    std::vector<float> inputs;
    TScript* pScript = nullptr;
    int nInstrIndex = -1;

    void Reset() { nInstrIndex = -1; }
    void SetScript(TScript* script);
    void SetInputs(const float* values, int n) { inputs.assign(values, values + n); }
    bool NextInstr()
    {
        if (!pScript || !pScript->bRunnable)
            return false;
        return ++nInstrIndex < pScript->Length();
    }
    // Runs the steps of the instruction at nInstrIndex; afterwards nInstrIndex is the instruction
    // before the one to run next. A jump into the middle of another instruction (the test of an
    // elseif) runs on to the next instruction's start.
    int ExecuteInstruction();
    // Runs this frame alone (a "CallFunction" of its script pushes a frame that runs later); it
    // must not lie in the stack of a thread that such a call may grow.
    int Run();
    TScriptInstruction* FetchNext();
    void Dump(CStringList& out) const;
};

class CScriptThread {
public:
    // Calls nest at most this deep on one thread, its first frame included: far deeper than any
    // script goes, and an endless recursion stops here instead of taking all memory.
    static constexpr std::size_t MAX_CALL_DEPTH = 10000;

    std::vector<CScriptFunction> stack;
    std::string strName;
    bool bRunning = false;
    int nWait = 0;
    // Stopped while it was being stepped: skipped by every lookup and erased once its step is
    // over. Any other thread is erased at once when stopped.
    bool bStopped = false;
    // The steps of this thread under way (a handler may step its runner again inside one).
    int nStepping = 0;

    void Clear();
    CScriptFunction* TopFunction() { return stack.empty() ? nullptr : &stack.back(); }
    void PushFunction(TScript* script);
    void CallScript(const std::string& name, TScriptLookup* lookup = nullptr);
    void Pause() { bRunning = false; }
    void Continue() { bRunning = true; }
    bool IsRunning() const { return bRunning; }
    void SetWait(int n) { nWait = n; }
    bool Step();
    void PopFunction();
    // A call that would make the thread `depth` + 1 frames deep: past MAX_CALL_DEPTH it is
    // reported and the thread ends (its stack is emptied); true then.
    bool EndsPastCallDepth(std::size_t depth);

private:
    // Locals of popped frames, reused so that calls in a loop do not allocate.
    std::vector<std::vector<float>> spareLocals;
};

}  // namespace script

class CScriptRunner : public CObject {
public:
    std::list<script::CScriptThread> threads;
    bool bEnabled = true;
    CScriptLibrary* pLibrary = nullptr;

    script::CScriptThread* FindThread(const std::string& name);
    // The lookup, when given, keeps what the script name was found to be.
    script::CScriptThread* StartThread(const std::string& scriptName, const std::string& threadName,
                                       script::TScriptLookup* lookup = nullptr);
    script::CScriptThread* StartThread(const std::string& scriptName, const std::string& threadName,
                                       const float* inputs, int count);
    void StopThread(const std::string& name);
    void StopAll();
    void Update();
    void Enable() { bEnabled = true; }
    void Disable() { bEnabled = false; }

private:
    // Erases the thread, or only marks it while a step is using it.
    void Stop(std::list<script::CScriptThread>::iterator it);
    void Erase(std::list<script::CScriptThread>::iterator it);
};

extern CScriptRunner* g_CurrentRunner;
extern script::CScriptThread* g_CurrentThread;

// The runtime's own system functions, registered by the bindings as "StartThread" ("ss"),
// "CallFunction" ("s"), "PauseThread" ("s") and "ContinueThread" ("s").
void ScriptStartThread(TScriptParam* args, int count);
void ScriptCallFunction(TScriptParam* args, int count);
// The same, keeping what they look up in `lookup` when it is given (a call line's own record).
void RuntimeStartThread(TScriptParam* args, int count, script::TScriptLookup* lookup);
void RuntimeCallFunction(TScriptParam* args, script::TScriptLookup* lookup);
// The script a "CallFunction" with these arguments pushes on the current thread, or null (with
// its message when the script is not found).
TScript* CalledScript(TScriptParam* args, script::TScriptLookup* lookup);
void ScriptPauseThread(TScriptParam* args, int count);
void ScriptContinueThread(TScriptParam* args, int count);
