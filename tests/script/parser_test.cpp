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

    // The first n parameters of an instruction: each its kind, then what it holds.
    static std::string Params(const TScriptInstruction& in, int n)
    {
        static const char* const kinds[] = {"any", "int", "number", "var", "local", "expr", "string"};
        std::string out;
        for (int k = 0; k < n; ++k) {
            const TScriptParam& p = in.params[k];
            out += std::string(k ? ", " : "") + kinds[p.type];
            if (p.type == SPT_STRING)
                out += " '" + p.strText + "'";
            if (p.type == SPT_NUMBER)
                out += " " + scripttest::Num(p.fValue);
            if (p.type == SPT_INT || p.type == SPT_LOCAL)
                out += " " + std::to_string(p.nValue);
        }
        return out;
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
    EXPECT_EQ(s->localNames.Items, (std::vector<std::string>{"log(\"x", "iffy", "myvar"}));
    EXPECT_EQ(Params(s->instructions[5], 1) + "; " + Params(s->instructions[6], 1), "string 'Top'; string 'Top'");
    EXPECT_EQ(Params(s->instructions[16], 2) + "; " + Params(s->instructions[17], 2),
              "local 2, number -5; local 2, expr");

    TScriptInstruction i;
    for (const char* bad : {"end x", "Log (1)", "wait (3)", "Log(1", "if", "elseif", "while", "goto", "nothing"})
        EXPECT_FALSE(ParseLine(bad, i)) << bad;
    boxes.Clear();
    EXPECT_TRUE(ParseLine("if(", i));
    EXPECT_EQ(i.type, SIT_IF);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"表达式字符串为空"});
    EXPECT_TRUE(ParseLine("", i));
    EXPECT_EQ(i.type, SIT_NONE);
}

TEST_F(ParserTest, LoadErrorsNameTheLineAmongTheSectionLines)
{
    // Blank and comment lines count, and the line is quoted as written: scripts/loaderror.txt.
    std::string args = "1";
    for (int k = 1; k < 33; ++k)
        args += ",1";
    // A long line, and a call of more arguments than a line holds.
    for (const std::string& line : {"Log(1) " + std::string(250, 'x'), "Log(" + args + ")"}) {
        boxes.Clear();
        Add("bad", {line});
        EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Script Load Error At Line 0: " + line});
    }
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
        EXPECT_EQ(boxes.Texts(), std::vector<std::string>{c.message});
    }
}

TEST_F(ParserTest, ArgumentsSplitAtTopLevelCommas)
{
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"a,(b,c),d", {"a", "(b,c)", "d"}}, {"a,[b,c)", {"a"}}, {"a,(b", {"a"}}, {"", {}}, {"\"x,y\"", {"\"x", "y\""}},
    };
    CStringList out;
    for (const auto& [text, items] : cases) {
        TScriptInstruction::SplitArguments(text, out);
        EXPECT_EQ(out.Items, items) << text;
    }
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"a,[b,c) : Bracket Mismatch", "a,(b : Bracket Mismatch"}));

    boxes.Clear();
    TScript* s = Add("mismatch", {"Log(1,(2)"});
    EXPECT_TRUE(s->bRunnable);
    EXPECT_EQ(s->instructions[0].nParamCount, 1);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"1,(2 : Bracket Mismatch"});
}

TEST_F(ParserTest, CallArgumentsAreTypedBySignatureAndLowerCased)
{
    TScript* s = Add("args", {"Say(\"Hello\", 'World')", "SayAny(\"Mixed Case\",'q', 3, x+1,)", "LogV(-5, 2*3)",
                              "LogV( 4,input0)", "Say(\",')", "SayAny(')"});
    ASSERT_TRUE(s->bRunnable);
    std::vector<std::string> calls;
    for (const TScriptInstruction& in : s->instructions)
        calls.push_back(std::to_string(in.nParamCount) + ": " + Params(in, in.nParamCount));
    // A lone quote is both the first and the last character: it quotes the empty text.
    EXPECT_EQ(calls, (std::vector<std::string>{"2: string 'hello', string ' 'world''",
                                               "5: string 'mixed case', string 'q', expr, expr, any",
                                               "2: number -5, expr", "2: expr, expr", "2: string '', string ''",
                                               "1: string ''"}));
}

TEST_F(ParserTest, RegistryKeepsTheFirstOfANameAndReadsSignatures)
{
    g_SystemFuncTable.Register("Dup", scripttest::LogHandler, "iVsx");
    g_SystemFuncTable.Register("DUP", IgnoreCall, "");
    TSystemFunc* f = g_SystemFuncTable.Get("dup");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->pfnHandler, &scripttest::LogHandler);
    EXPECT_EQ(f->strName, "Dup");
    EXPECT_EQ(std::vector<int>(f->paramTypes, f->paramTypes + f->nParamCount),
              (std::vector<int>{SPT_INT, SPT_NUMBER, SPT_STRING, SPT_ANY}));
    EXPECT_TRUE(g_SystemFuncTable.Exists("DuP"));
    EXPECT_EQ(g_SystemFuncTable.Get("none"), nullptr);
}

TEST_F(ParserTest, LibraryFindsFailedScriptsAndTheFirstOfAName)
{
    testutil::TempDir dir;
    dir.Write("lib.txt", "[Main]\nLog(1)\n[main]\nLog(2)\n[Broken]\ngoto(x)\n[Empty]\n\n// nothing\n");
    TScript* last = library.LoadFile(dir.WindowsPath() + "\\lib.txt");
    EXPECT_EQ(library.Count(), 4);
    EXPECT_EQ(last->strName, "empty");
    EXPECT_EQ(library.FindScript("MAIN"), library.scripts.Get(0));
    EXPECT_EQ(library.FindScript("main")->instructions[0].params[0].strText, "1");
    EXPECT_FALSE(library.FindScript("broken")->bRunnable);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Goto Label: x is not Defined"});
    EXPECT_EQ(library.FindScript("Empty")->Length(), 0);
    EXPECT_EQ(library.FindScript("none"), nullptr);

    TScript* one = library.LoadScript(dir.WindowsPath() + "\\lib.txt", "MAIN");
    EXPECT_EQ(one->strName, "MAIN");
    EXPECT_EQ(one->Length(), 1);
    // A section the file does not have loads as a script of no lines.
    EXPECT_EQ(library.LoadScript(dir.WindowsPath() + "\\lib.txt", "none")->Length(), 0);
    CScriptLibrary empty;
    dir.Write("none.txt", "no sections\n");
    EXPECT_EQ(empty.LoadFile(dir.WindowsPath() + "\\none.txt"), nullptr);
}

}  // namespace
