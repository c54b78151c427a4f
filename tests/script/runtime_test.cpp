#include "scripttest.h"

using namespace script;
using Ticks = std::vector<std::string>;

namespace {

CScriptRunner* g_OtherRunner = nullptr;
CScriptRunner* g_TestRunner = nullptr;

void StopNamed(TScriptParam* args, int) { g_CurrentRunner->StopThread(args[0].strText); }
void StopEverything(TScriptParam*, int) { g_CurrentRunner->StopAll(); }
void StartElsewhere(TScriptParam* args, int) { g_OtherRunner->StartThread(args[0].strText, args[1].strText); }
// Which runner is current (the test's own, the other, or neither) and which thread.
void Where(TScriptParam*, int)
{
    const char* which = g_CurrentRunner == g_TestRunner ? "own:" : g_CurrentRunner == g_OtherRunner ? "other:" : "?:";
    scripttest::Log().push_back(which + g_CurrentThread->strName);
}
// The frames of the current thread, bottom first: script name and instruction.
void Frames(TScriptParam*, int)
{
    std::string line;
    for (const CScriptFunction& f : g_CurrentThread->stack)
        line += f.pScript->strName + "@" + std::to_string(f.nInstrIndex) + " ";
    scripttest::Log().push_back(line);
}
// Steps a runner from inside a step, as a handler may, and puts back the runner and thread that
// were current.
void UpdateFromAHandler(CScriptRunner* runner)
{
    CScriptRunner* current = g_CurrentRunner;
    CScriptThread* thread = g_CurrentThread;
    runner->Update();
    g_CurrentRunner = current;
    g_CurrentThread = thread;
}
// Steps the other runner from inside a step of this one.
void UpdateElsewhere(TScriptParam*, int) { UpdateFromAHandler(g_OtherRunner); }
// Steps the current runner again from inside one of its own steps.
void UpdateAgain(TScriptParam*, int) { UpdateFromAHandler(g_CurrentRunner); }

void CountThreads(TScriptParam*, int) { scripttest::Log().push_back(std::to_string(g_CurrentRunner->threads.size())); }

class RuntimeTest : public scripttest::ScriptTest {
protected:
    void SetUp() override
    {
        ScriptTest::SetUp();
        g_SystemFuncTable.Register("Stop", StopNamed, "s");
        g_SystemFuncTable.Register("StopAllThreads", StopEverything, "");
        g_SystemFuncTable.Register("StartElsewhere", StartElsewhere, "ss");
        g_SystemFuncTable.Register("Where", Where, "");
        g_SystemFuncTable.Register("Frames", Frames, "");
        g_SystemFuncTable.Register("UpdateElsewhere", UpdateElsewhere, "");
        g_SystemFuncTable.Register("CountThreads", CountThreads, "");
        g_SystemFuncTable.Register("UpdateAgain", UpdateAgain, "");
        other.pLibrary = &otherLibrary;
        g_OtherRunner = &other;
        g_TestRunner = &runner;
    }

    void TearDown() override { g_OtherRunner = g_TestRunner = nullptr; }

    // A second runner with a library of its own.
    CScriptLibrary otherLibrary;
    CScriptRunner other;
};

// Scripts of one tick, each alone on the runner: what they log and that they end. The common
// chains, loops and waits are pinned by the files of scripts/.
TEST_F(RuntimeTest, OneTickScriptsLogWhatTheirBranchesAndCallsDo)
{
    struct Case {
        std::initializer_list<std::string> lines;
        const char* log;
    };
    Add("x", {"Log(1)"});
    Add("y", {"Log(2)"});
    const Case cases[] = {
        // Not a number counts as true.
        {{"a := 0/0", "if(a)", "Log(1)", "elseif(1)", "Log(2)", "end"}, "1"},
        {{"a := 0", "if(a)", "Log(1)", "elseif(a)", "Log(2)", "end", "Log(3)"}, "3"},
        // A label defined twice: a goto lands on the first.
        {{"goto(L)", "->L", "Log(1)", "->L", "Log(2)"}, "1,2"},
        // A loop left by its condition or by a break inside a branch still leaves the chain.
        {{"a := 1", "if(a)", "while(a)", "a := 0", "end", "elseif(1)", "Log(2)", "end", "Log(3)"}, "3"},
        {{"a := 1", "if(a)", "while(1)", "break", "end", "elseif(1)", "Log(2)", "end", "Log(3)"}, "3"},
        // An elseif is tested only after the false jump of its chain: the inner if's false jump
        // lands on it too, but it is no jump of the chain.
        {{"i := 0", "while(i<3)", "if(i==1)", "Log(1)", "elseif(1)", "Log(2)", "end", "i := i+1", "end"}, "2,1,2"},
        {{"if(1)", "if(0)", "Log(1)", "end", "elseif(1)", "Log(2)", "end", "Log(3)"}, "3"},
        // A call without arguments calls the script the last call named.
        {{"i := 0", "while(i<2)", "CallFunction(\"x\")", "CallFunction(\"y\")", "CallFunction(\"x\")",
          "CallFunction()", "i := i+1", "end"},
         "1,2,1,1,1,2,1,1"},
        // Assigning a read-only variable works nothing out.
        {{"ReadOnly := Counter(1)", "TestCell := Counter(1)", "x := Counter(1)", "Log(TestCell,x)"}, "1 2"},
        // Scripts that failed to load never run.
        {{"Log(1)", "goto(nowhere)"}, ""},
        {{"Log(1)", "->a", "else"}, ""},
        {{"", "// only a comment"}, ""},
    };
    int n = 0;
    for (const Case& c : cases) {
        std::string name = "s" + std::to_string(n++);
        library.AddScript(scripttest::Lines(c.lines), name);
        EXPECT_EQ(Run(name, 1), Ticks{c.log}) << name;
        EXPECT_TRUE(runner.threads.empty()) << name;
    }
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"Goto Label: nowhere is not Defined",
                                                       "This 'Else' has no Corresponding 'If/elseif',script line:2"}));
}

TEST_F(RuntimeTest, CallFunctionRunsAtOnceAndSuspendsTheWholeThreadAcrossAWait)
{
    Add("main", {"x := 5", "Log(1)", "CallFunction(\"Sub\")", "Log(x)", "CallFunction(\"missing\")", "Log(4)"});
    Add("sub", {"x := x+input0", "Log(x)", "x := 7", "wait(2)", "Log(2)"});
    EXPECT_EQ(Run("main", 4), (Ticks{"1,0", "", "2,5,4", ""}));
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"CallScript:找不到指定的TScript"});
    EXPECT_TRUE(runner.threads.empty());
}

TEST_F(RuntimeTest, ThreadsStartedDuringAPassRunInThatPassAfterTheOthers)
{
    Add("first", {"Log(1)", "StartThread(\"third\",\"T3\",7,8)", "Log(2)", "wait(1)"});
    Add("second", {"Log(3)", "StartThread(\"third\",\"t3\")", "StartThread(\"ghost\",\"g\")"});
    Add("third", {"Log(input0+input1)", "wait(1)", "Log(input2)"});
    runner.StartThread("first", "one");
    runner.StartThread("second", "two");
    EXPECT_EQ(Step(2), (Ticks{"1,2,3,15", "0"}));
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"Stack添加失败", "找不到脚本:ghost", "新Stack的最高Runner失败"}));
    EXPECT_TRUE(runner.threads.empty());
}

TEST_F(RuntimeTest, PauseKeepsTheRemainingWait)
{
    Add("sleeper", {"wait(5)", "Log(1)"});
    Add("self", {"PauseThread(\"Main\")", "Log(2)", "wait(1)", "Log(3)"});
    runner.StartThread("sleeper", "s");
    Step(2);
    runner.FindThread("s")->Pause();
    Step(3);
    runner.FindThread("S")->Continue();
    EXPECT_EQ(Step(4), (Ticks{"", "", "", "1"}));

    EXPECT_EQ(Run("self", 3), (Ticks{"2", "", ""}));
    runner.FindThread("main")->Continue();
    EXPECT_EQ(Step(), Ticks{"3"});
}

TEST_F(RuntimeTest, StoppingFromAHandlerNeverTouchesAnErasedThread)
{
    Add("selfstop", {"Log(1)", "Stop(\"main\")", "Log(2)"});
    EXPECT_EQ(Run("selfstop", 2), (Ticks{"1", ""}));
    EXPECT_TRUE(runner.threads.empty());

    Add("killer", {"Stop(\"victim\")", "StartThread(\"victim\",\"victim\")", "wait(1)"});
    Add("victim", {"Log(7)", "wait(1)", "Log(8)"});
    runner.StartThread("victim", "victim");
    runner.StartThread("killer", "k");
    EXPECT_EQ(Step(2), (Ticks{"7,7", "8"}));

    // Stopping all disables the runner until it is enabled again.
    Add("all", {"Log(1)", "StopAllThreads()", "Log(2)"});
    runner.StartThread("all", "all");
    runner.StartThread("victim", "later");
    EXPECT_EQ(Step(), Ticks{"1"});
    EXPECT_TRUE(runner.threads.empty());
    runner.StartThread("victim", "v");
    EXPECT_EQ(Step(), Ticks{""});
    runner.Enable();
    EXPECT_EQ(Step(), Ticks{"7"});
}

// A thread that stops and restarts another without a wait holds no more threads than run; one
// stopped while a step uses it, even a step of an outer pass of the same runner, stays until that
// step is over. A pass inside a step leaves the thread being stepped alone.
TEST_F(RuntimeTest, StoppedThreadsAreFreedOnceNoStepUsesThem)
{
    Add("waiter", {"wait(1)"});
    Add("restarter", {"i := 0", "while(i < 1000)", "Stop(\"b\")", "StartThread(\"waiter\",\"b\")", "i := i+1", "end",
                      "CountThreads()", "Stop(\"main\")", "CountThreads()"});
    EXPECT_EQ(Run("restarter", 2), (Ticks{"2", ""}));
    EXPECT_EQ(runner.threads.size(), 0u);

    Add("outer", {"StartThread(\"inner\",\"inner\")", "UpdateAgain()", "Log(1)"});
    Add("inner", {"Stop(\"main\")", "CountThreads()", "Stop(\"main\")", "wait(1)"});
    EXPECT_EQ(Run("outer", 2), (Ticks{"2", ""}));
    EXPECT_EQ(runner.threads.size(), 0u);
}

TEST_F(RuntimeTest, StartingElsewhereKeepsTheCallersRunnerCurrent)
{
    otherLibrary.AddScript(scripttest::Lines({"Where()"}), "remote");
    Add("local", {"Log(5)"});
    Add("main", {"Where()", "StartElsewhere(\"remote\",\"r\")", "CallFunction(\"local\")", "Where()"});
    EXPECT_EQ(Run("main", 1), Ticks{"own:main,5,own:main"});
    scripttest::Log().clear();
    other.Update();
    EXPECT_EQ(scripttest::Log(), std::vector<std::string>{"other:r"});
    EXPECT_EQ(g_CurrentRunner, &other);
}

TEST_F(RuntimeTest, ArgumentBlockKeepsWhatEarlierCallsLeft)
{
    Add("stale", {"LogV(1,2)", "LogV(7)", "Say(\"A\",\"B\",5)", "x := 3", "LogV(x*2,x)", "x := 4", "LogV(x*2)"});
    EXPECT_EQ(Run("stale", 1), Ticks{"1 2,7,[a][b][],6 3,8"});
    EXPECT_FLOAT_EQ(g_SystemFuncTable.Get("logv")->args[1].fValue, 3.0f);
    script::TSystemFunc* say = g_SystemFuncTable.Get("say");
    EXPECT_FLOAT_EQ(say->args[2].fValue, 5.0f);
    EXPECT_EQ(say->args[2].type, SPT_ANY);
    EXPECT_TRUE(boxes.Texts().empty());
}

TEST_F(RuntimeTest, FramesAndThreadsReportTheirState)
{
    Add("long", {"i := 0", "while(i<100000)", "i := i+1", "end", "Log(i)", "wait(2)"});
    runner.StartThread("long", "l");
    EXPECT_EQ(Step(), Ticks{"100000"});
    CStringList dump;
    runner.FindThread("l")->TopFunction()->Dump(dump);
    EXPECT_EQ(dump.Items, (std::vector<std::string>{"InstrIndex=5", "ScriptName=long"}));
    CScriptRunner copy = runner;
    EXPECT_EQ(copy.threads.size(), 1u);
    runner.StopThread("L");
    EXPECT_TRUE(runner.threads.empty());

    CScriptFunction frame;
    EXPECT_FALSE(frame.NextInstr());
    EXPECT_EQ(frame.ExecuteInstruction(), -1);
    frame.SetScript(library.FindScript("long"));
    EXPECT_EQ(frame.Run(), 2);
    EXPECT_EQ(frame.Run(), -1);

    // Setting a script keeps the values a frame already holds and zeroes only the new ones.
    Add("two", {"a := 1", "b := 2"});
    frame.locals = {5.0f};
    frame.SetScript(library.FindScript("two"));
    EXPECT_EQ(frame.locals, (std::vector<float>{5.0f, 0.0f}));
}

TEST_F(RuntimeTest, RunningInstructionByInstructionDoesWhatARunDoes)
{
    TScript* s = Add("s", {"i := 0", "->top", "i := i+1", "if(i==1)", "Log(1)", "elseif(i==2)", "Log(2)", "else",
                           "Log(3)", "end", "while(i<3)", "wait(1)", "goto(top)", "end", "Log(i)"});
    CScriptFunction whole, stepped;
    whole.SetScript(s);
    stepped.SetScript(s);
    for (int wait = 0; wait != -1;) {
        scripttest::Log().clear();
        wait = whole.Run();
        std::vector<std::string> expected = scripttest::Log();
        scripttest::Log().clear();
        int steppedWait = -1;
        while (stepped.NextInstr())
            if ((steppedWait = stepped.ExecuteInstruction()) >= 1)
                break;
        EXPECT_EQ(steppedWait >= 1 ? steppedWait : -1, wait);
        EXPECT_EQ(scripttest::Log(), expected);
        EXPECT_EQ(stepped.nInstrIndex, whole.nInstrIndex);
        EXPECT_EQ(stepped.locals, whole.locals);
    }
    EXPECT_EQ(scripttest::JoinedLog(), "3,3");
}

TEST_F(RuntimeTest, CalledScriptsShowTheirFramesAndLeaveTheirCallersLocalsAlone)
{
    Add("main", {"x := 5", "CallFunction(\"a\")", "Log(x)", "Frames()"});
    Add("a", {"x := 1", "y := 2", "CallFunction(\"b\")", "Log(x+y)"});
    Add("b", {"x := 3", "Frames()", "wait(1)", "Frames()"});
    EXPECT_EQ(Run("main", 2), (Ticks{"main@1 a@2 b@1 ", "main@1 a@2 b@3 ,3,5,main@3 "}));
}

TEST_F(RuntimeTest, CallsFindScriptsAddedAfterAFailedLookup)
{
    Add("main", {"while(1)", "CallFunction(\"late\")", "StartThread(\"late\",\"t\")", "wait(1)", "end"});
    EXPECT_EQ(Run("main", 1), Ticks{""});
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"CallScript:找不到指定的TScript", "找不到脚本:late",
                                                       "新Stack的最高Runner失败"}));
    Add("late", {"Log(7)"});
    EXPECT_EQ(Step(), Ticks{"7,7"});
}

TEST_F(RuntimeTest, CallsFindTheirScriptsInTheLibraryOfTheRunnerThatSteps)
{
    for (CScriptLibrary* lib : {&library, &otherLibrary})
        lib->AddScript(scripttest::Lines({"while(1)", "CallFunction(\"Act\")", "wait(1)", "end"}), "main");
    Add("act", {"Log(1)"});
    otherLibrary.AddScript(scripttest::Lines({"Log(2)"}), "ACT");
    runner.StartThread("main", "main");
    other.StartThread("main", "main");
    for (int tick = 0; tick < 2; ++tick) {
        runner.Update();
        other.Update();
    }
    // The same call line, stepped by a runner now given the other library.
    runner.pLibrary = &otherLibrary;
    runner.Update();
    EXPECT_EQ(scripttest::JoinedLog(""), "12122");
}

TEST_F(RuntimeTest, ARunNestedInAStepLeavesTheOuterRunsValuesInPlace)
{
    // Enough locals that the nested run needs more registers than any run before it.
    CStringList many;
    for (int i = 0; i < 5000; ++i)
        many.Add("v" + std::to_string(i) + " := " + std::to_string(i));
    many.Add("Log(v4999)");
    otherLibrary.AddScript(many, "big");
    other.StartThread("big", "big");
    Add("main", {"x := 5", "CallFunction(\"sub\")", "Log(x)"});
    Add("sub", {"y := 7", "UpdateElsewhere()", "Log(y)"});
    EXPECT_EQ(Run("main", 1), Ticks{"4999,7,5"});
}

// An endless recursion ends its thread at 10,000 frames with one report, whether its calls run in
// registers or wait and so have frames; the runner's other threads run on, and a recursion that
// takes exactly 10,000 frames is left alone.
TEST_F(RuntimeTest, RecursionPastTheCallDepthEndsOnlyItsThread)
{
    Add("deep", {"CallFunction(\"deep\")"});
    Add("slow", {"wait(1)", "CallFunction(\"slow\")"});
    Add("other", {"while(1)", "Log(1)", "wait(1)", "end"});
    Add("count", {"TestCell := TestCell+1", "if(TestCell<10000)", "CallFunction(\"count\")", "end"});
    const std::string past = "CallScript:调用层数超过10000,线程结束:";
    runner.StartThread("other", "other");
    runner.StartThread("deep", "deep");
    runner.StartThread("slow", "main");
    EXPECT_EQ(Step(10001).back(), "1");
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{past + "deep", past + "main"}));
    ASSERT_EQ(runner.threads.size(), 1u);
    EXPECT_EQ(runner.threads.front().strName, "other");

    scripttest::g_TestCell = 0.0f;
    runner.StartThread("count", "count");
    runner.Update();
    EXPECT_FLOAT_EQ(scripttest::g_TestCell, 10000.0f);
    EXPECT_EQ(boxes.Texts().size(), 2u);

    // A call through the function itself counts the thread's frames the same way.
    CScriptThread* full = runner.StartThread("other", "full");
    for (int i = 1; i < 10000; ++i)
        full->PushFunction(full->TopFunction()->pScript);
    g_CurrentRunner = &runner;
    g_CurrentThread = full;
    TScriptParam args[1];
    args[0].strText = "other";
    ScriptCallFunction(args, 1);
    EXPECT_TRUE(full->stack.empty());
    EXPECT_EQ(boxes.Texts().back(), past + "full");
}

}  // namespace
