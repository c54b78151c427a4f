#include "scripttest.h"

using namespace script;
using scripttest::Lines;

namespace {

class ParserTest : public scripttest::ScriptTest {
protected:
    // Parses one line into a fresh instruction of a scratch script.
    bool ParseLine(const std::string& line, TScriptInstruction& out)
    {
        out = TScriptInstruction();
        out.pOwner = &scratch;
        return out.Parse(line);
    }

    std::vector<EScriptInstructionType> Types(const TScript* s) const
    {
        std::vector<EScriptInstructionType> types;
        for (const TScriptInstruction& i : s->instructions)
            types.push_back(i.type);
        return types;
    }

    TScript scratch;
};

void IgnoreCall(TScriptParam*, int) {}

TEST_F(ParserTest, LineFormsAndTheirCase)
{
    g_SystemFuncTable.Register("IfReady", IgnoreCall, "v");
    TScript* s = Add("forms", {"  End  ", "end;", "END // done", "else if(a)", "WAIT(3)", "->Top", "goto(Top)",
                               "Log(\"x:=1\")", "ifready(1)", "iffy := 2", "if(iffy)", "elseif(1)", "while(0)",
                               "continue", "break", "using const none", "MyVar := -5", "myvar := 1 + 1"});
    // The chain is left unlinked (stray ends) on purpose; only the parse is looked at here.
    std::vector<EScriptInstructionType> expected = {
        SIT_END,    SIT_END,  SIT_END,   SIT_ELSE,   SIT_WAIT,     SIT_LABEL, SIT_GOTO, SIT_ASSIGN, SIT_CALL,
        SIT_ASSIGN, SIT_IF,   SIT_ELSEIF, SIT_WHILE, SIT_CONTINUE, SIT_BREAK, SIT_NONE, SIT_ASSIGN, SIT_ASSIGN};
    EXPECT_EQ(Types(s), expected);
    EXPECT_FALSE(s->bRunnable);
    EXPECT_EQ(s->instructions[5].params[0].strText, "Top");
    EXPECT_EQ(s->instructions[6].params[0].strText, "Top");
    EXPECT_EQ(s->localNames.Count(), 3);
    EXPECT_EQ(s->localNames.At(0), "log(\"x");
    EXPECT_EQ(s->localNames.At(2), "myvar");
    EXPECT_EQ(s->instructions[16].params[1].type, SPT_NUMBER);
    EXPECT_FLOAT_EQ(s->instructions[16].params[1].fValue, -5.0f);
    EXPECT_EQ(s->instructions[17].params[0].nValue, 2);
    EXPECT_EQ(s->instructions[17].params[1].type, SPT_EXPR);

    TScriptInstruction i;
    for (const char* bad : {"end x", "Log (1)", "wait (3)", "Log(1", "if", "elseif", "while", "goto", "nothing"}) {
        boxes.Clear();
        EXPECT_FALSE(ParseLine(bad, i)) << bad;
    }
    boxes.Clear();
    EXPECT_TRUE(ParseLine("if(", i));
    EXPECT_EQ(i.type, SIT_IF);
    EXPECT_EQ(Texts(), std::vector<std::string>{"表达式字符串为空"});
    EXPECT_TRUE(ParseLine("", i));
    EXPECT_EQ(i.type, SIT_NONE);
}

TEST_F(ParserTest, LoadErrorsNameTheLineAmongTheSectionLines)
{
    TScript* s = Add("bad", {"", "   // note", "  Log (1)  ", "Log(2)"});
    EXPECT_FALSE(s->bRunnable);
    EXPECT_EQ(s->Length(), 0);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Script Load Error At Line 2:   Log (1)  "});

    boxes.Clear();
    std::string longLine = "Log(1) " + std::string(250, 'x');
    Add("long", {longLine});
    EXPECT_EQ(Texts(), std::vector<std::string>{"Script Load Error At Line 0: " + longLine});

    boxes.Clear();
    std::string args = "1";
    for (int k = 1; k < 33; ++k)
        args += ",1";
    Add("many", {"Log(" + args + ")"});
    EXPECT_EQ(Texts(), std::vector<std::string>{"Script Load Error At Line 0: Log(" + args + ")"});
    boxes.Clear();
    TScript* ok = Add("enough", {"Log(" + args.substr(2) + ")"});
    EXPECT_TRUE(ok->bRunnable);
    EXPECT_EQ(ok->instructions[0].nParamCount, 32);
}

TEST_F(ParserTest, EveryLinkFailureIsReported)
{
    struct Case {
        std::initializer_list<std::string> lines;
        std::string message;
    };
    const Case cases[] = {
        {{"goto(nowhere)"}, "Goto Label: nowhere is not Defined"},
        {{"->Top", "goto(top)"}, "Goto Label: top is not Defined"},
        {{"while(1)", "else", "end"}, "This 'Else' has no Corresponding 'If/elseif',script line:1"},
        {{"else"}, "This 'Else' has no Corresponding 'If/elseif',script line:0"},
        {{"if(1)", "else", "elseif(1)", "end"}, "This 'ElseIf' has no Corresponding 'If/elseif',script line:2"},
        {{"using const x", "elseif(1)"}, "This 'ElseIf' has no Corresponding 'If/elseif',script line:1"},
        {{"end"}, "This 'End' has no Corresponding 'While/If',script line:0"},
        {{"while(1)", "if(1)", "end"}, "If or While and endif does not correspond at 0"},
        {{"if(1)", "while(1)"}, "If or While and endif does not correspond at 1"},
        {{"if(1)", "continue", "end"}, "This 'continue' has no Corresponding 'While',script line:1"},
        {{"break"}, "This 'break' has no Corresponding 'While',script line:0"},
    };
    for (const Case& c : cases) {
        boxes.Clear();
        TScript* s = library.AddScript(Lines(c.lines));
        EXPECT_FALSE(s->bRunnable);
        EXPECT_EQ(Texts(), std::vector<std::string>{c.message});
    }
}

TEST_F(ParserTest, ArgumentsSplitAtTopLevelCommas)
{
    CStringList out;
    TScriptInstruction::SplitArguments("a,(b,c),d", out);
    EXPECT_EQ(out.Items, (std::vector<std::string>{"a", "(b,c)", "d"}));
    TScriptInstruction::SplitArguments("a,[b,c)", out);
    EXPECT_EQ(out.Items, std::vector<std::string>{"a"});
    TScriptInstruction::SplitArguments("a,(b", out);
    EXPECT_EQ(out.Items, std::vector<std::string>{"a"});
    TScriptInstruction::SplitArguments("", out);
    EXPECT_EQ(out.Count(), 0);
    TScriptInstruction::SplitArguments("\"x,y\"", out);
    EXPECT_EQ(out.Count(), 2);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"a,[b,c) : Bracket Mismatch", "a,(b : Bracket Mismatch"}));

    boxes.Clear();
    TScript* s = Add("mismatch", {"Log(1,(2)"});
    EXPECT_TRUE(s->bRunnable);
    EXPECT_EQ(s->instructions[0].nParamCount, 1);
    EXPECT_EQ(Texts(), std::vector<std::string>{"1,(2 : Bracket Mismatch"});
}

TEST_F(ParserTest, CallArgumentsAreTypedBySignatureAndLowerCased)
{
    TScript* s = Add("args", {"Say(\"Hello\", 'World')", "SayAny(\"Mixed Case\",'q', 3, x+1,)", "LogV(-5, 2*3)",
                              "LogV( 4,input0)", "Say(\",')", "SayAny(')"});
    ASSERT_TRUE(s->bRunnable);
    const TScriptInstruction& say = s->instructions[0];
    EXPECT_EQ(say.params[0].type, SPT_STRING);
    EXPECT_EQ(say.params[0].strText, "hello");
    EXPECT_EQ(say.params[1].strText, " 'world'");
    const TScriptInstruction& any = s->instructions[1];
    EXPECT_EQ(any.nParamCount, 5);
    EXPECT_EQ(any.params[0].type, SPT_STRING);
    EXPECT_EQ(any.params[0].strText, "mixed case");
    EXPECT_EQ(any.params[1].type, SPT_STRING);
    EXPECT_EQ(any.params[2].type, SPT_EXPR);
    EXPECT_EQ(any.params[3].type, SPT_EXPR);
    EXPECT_EQ(any.params[4].type, SPT_ANY);
    const TScriptInstruction& logv = s->instructions[2];
    EXPECT_EQ(logv.params[0].type, SPT_NUMBER);
    EXPECT_FLOAT_EQ(logv.params[0].fValue, -5.0f);
    EXPECT_EQ(logv.params[1].type, SPT_EXPR);
    EXPECT_EQ(s->instructions[3].params[0].type, SPT_EXPR);
    // A lone quote is both the first and the last character: it quotes the empty text.
    EXPECT_EQ(s->instructions[4].params[0].strText, "");
    EXPECT_EQ(s->instructions[4].params[1].strText, "");
    EXPECT_EQ(s->instructions[5].params[0].type, SPT_STRING);
    EXPECT_EQ(s->instructions[5].params[0].strText, "");
}

TEST_F(ParserTest, RegistryKeepsTheFirstOfANameAndReadsSignatures)
{
    g_SystemFuncTable.Register("Dup", scripttest::LogHandler, "iVsx");
    g_SystemFuncTable.Register("DUP", IgnoreCall, "");
    TSystemFunc* f = g_SystemFuncTable.Get("dup");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->pfnHandler, &scripttest::LogHandler);
    EXPECT_EQ(f->strName, "Dup");
    EXPECT_EQ(f->nParamCount, 4);
    EXPECT_EQ(f->paramTypes[0], SPT_INT);
    EXPECT_EQ(f->paramTypes[1], SPT_NUMBER);
    EXPECT_EQ(f->paramTypes[2], SPT_STRING);
    EXPECT_EQ(f->paramTypes[3], SPT_ANY);
    EXPECT_TRUE(g_SystemFuncTable.Exists("DuP"));
    EXPECT_EQ(g_SystemFuncTable.Get("none"), nullptr);
}

TEST_F(ParserTest, LibraryFindsFailedScriptsAndTheFirstOfAName)
{
    testutil::TempDir dir;
    dir.Write("lib.txt", "[Main]\nLog(1)\n[main]\nLog(2)\n[Broken]\ngoto(x)\n[Empty]\n\n// nothing\n");
    TScript* last = library.LoadFile(dir.WindowsPath() + "\\lib.txt");
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(library.Count(), 4);
    EXPECT_EQ(last->strName, "empty");
    EXPECT_EQ(library.FindScript("MAIN"), library.scripts.Get(0));
    EXPECT_EQ(library.FindScript("main")->instructions[0].params[0].strText, "1");
    TScript* broken = library.FindScript("broken");
    ASSERT_NE(broken, nullptr);
    EXPECT_FALSE(broken->bRunnable);
    EXPECT_EQ(Texts(), std::vector<std::string>{"Goto Label: x is not Defined"});
    EXPECT_EQ(library.FindScript("Empty")->Length(), 0);
    EXPECT_EQ(library.FindScript("none"), nullptr);

    TScript* one = library.LoadScript(dir.WindowsPath() + "\\lib.txt", "MAIN");
    EXPECT_EQ(one->strName, "MAIN");
    EXPECT_EQ(one->Length(), 1);
    CScriptLibrary empty;
    dir.Write("none.txt", "no sections\n");
    EXPECT_EQ(empty.LoadFile(dir.WindowsPath() + "\\none.txt"), nullptr);
}

// A section the file does not have loads as a script of no lines: no line is read.
TEST_F(ParserTest, AMissingSectionLoadsAsAnEmptyScript)
{
    testutil::TempDir dir;
    dir.Write("s.txt", "[k]\nLog(1)\n");
    CScriptLibrary library;
    TScript* missing = library.LoadScript(dir.WindowsPath() + "\\s.txt", "none");
    ASSERT_NE(missing, nullptr);
    EXPECT_EQ(missing->Length(), 0);
}

}  // namespace
