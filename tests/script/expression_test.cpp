#include <cmath>
#include <string>

#include "scripttest.h"

using namespace expression;
using scripttest::Lines;

namespace {

class ExpressionTest : public scripttest::ScriptTest {
protected:
    // Compiling the text reports the messages given (by default the compile error) and leaves no
    // instruction: the expression evaluates to zero.
    void ExpectFailedCompile(const std::string& text, std::vector<std::string> messages = {},
                             const CStringList& locals = CStringList())
    {
        if (messages.empty())
            messages.push_back("表达式编译出错:" + text);
        boxes.Clear();
        CExpression* e = g_ExpressionPool.AddExpression(text, locals);
        std::vector<float> ones(static_cast<std::size_t>(locals.Count()) + 1, 1.0f);
        EXPECT_EQ(e->InstructionCount(), 0) << text;
        EXPECT_EQ(e->Evaluate(ones.data(), nullptr, 0), 0.0f) << text;
        EXPECT_EQ(boxes.Texts(), messages) << text;
    }
};

// The grouping of the common cases is pinned by scripts/arithmetic.txt. Equal levels group to the
// right; division and not a number follow IEEE: its comparisons are false but "<>".
TEST_F(ExpressionTest, ValuesOfExpressions)
{
    const std::pair<const char*, float> cases[] = {
        {"[2+3]*2", 10.0f},
        {"(2+3]*2", 10.0f},
        {"(5)neg(3)", -3.0f},
        {"1 2+1", 13.0f},
        {"w*x-y*z", -14.0f},
        {"w-x*y+z", 2.0f - (3.0f * 4.0f + 5.0f)},
        {"3*4+x", 15.0f},
        {"sum(1,2,sum(3,4))*2", 20.0f},
        {"Sum(1,2,3,4,5,6,7,8)", 36.0f},
        {"8/0", INFINITY},
        {"(0/0)==(0/0)", 0.0f},
        {"(0/0)<>(0/0)", 1.0f},
        {"(0/0)<1", 0.0f},
        {"(0/0)>1", 0.0f},
        {"(0/0)<=1", 0.0f},
        {"(0/0)>=1", 0.0f},
        {"neg(0)", -0.0f},
        {"neg(o)", -0.0f},
    };
    CStringList locals = Lines({"w", "x", "y", "z", "o"});
    for (const auto& [text, value] : cases) {
        float v = Eval(text, locals, {2, 3, 4, 5, 0});
        EXPECT_EQ(v, value) << text;
        EXPECT_EQ(std::signbit(v), std::signbit(value)) << text;
    }
    EXPECT_TRUE(std::isnan(Eval("0/0")));
    EXPECT_TRUE(boxes.Texts().empty());
}

// Constants fold, but variables are read and calls are made again at each evaluation.
TEST_F(ExpressionTest, VariablesAndCallsAreReadAtEachEvaluation)
{
    CExpression* e = g_ExpressionPool.AddExpression("TestCell+x*2+Counter(1,6)", Lines({"x"}));
    float x = 5.0f;
    scripttest::g_TestCell = 1.0f;
    EXPECT_FLOAT_EQ(e->Evaluate(&x, nullptr, 0), 12.0f);
    scripttest::g_TestCell = 2.0f;
    EXPECT_FLOAT_EQ(e->Evaluate(&x, nullptr, 0), 14.0f);
}

TEST_F(ExpressionTest, InputsReadTheFrameAndMissingOnesReadZero)
{
    CExpression* e = g_ExpressionPool.AddExpression("input0+INPUT1*2+Input3", CStringList());
    float inputs[] = {1, 2};
    EXPECT_FLOAT_EQ(e->Evaluate(nullptr, inputs, 2), 5.0f);
    EXPECT_FLOAT_EQ(e->Evaluate(nullptr, nullptr, 0), 0.0f);
    float four[] = {1, 2, 0, 10};
    EXPECT_FLOAT_EQ(e->Evaluate(nullptr, four, 4), 15.0f);
    EXPECT_EQ(InputIndex("input12"), 12);
    EXPECT_EQ(InputIndex("inputs"), -1);
    EXPECT_EQ(InputIndex("myinput1"), -1);
}

TEST_F(ExpressionTest, TokenizerCutsAndClassifies)
{
    CStringList locals = Lines({"a", "b", "ab", "count"});
    CTokenList t;
    const std::pair<const char*, const char*> cuts[] = {
        {"a + b", "a + b "}, {"a b", "ab "}, {"a< =b", "a <= b "}, {"a<-b", "a < - b "}, {"a+b!", "a + b "},
    };
    for (const auto& [text, tokens] : cuts) {
        EXPECT_TRUE(t.Tokenize(text, locals));
        EXPECT_EQ(t.ToString(), tokens);
    }
    ASSERT_TRUE(t.Tokenize("a<=neg(1.5)", locals));
    EXPECT_EQ(t.At(1).type, TT_OPERATOR);
    EXPECT_EQ(t.At(2).type, TT_OPERATOR);
    EXPECT_TRUE(boxes.Texts().empty());

    for (const char* bad : {"a=b", "input2x", "Count+1", "1e3"})
        EXPECT_FALSE(t.Tokenize(bad, locals)) << bad;
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"undefined token:=b", "undefined token:input2x",
                                                       "undefined token:Count", "undefined token:1e3"}));

    for (const char* number : {"-2", "1.5", ""})
        EXPECT_TRUE(IsNumber(number)) << number;
    for (const char* text : {"1.2.3", "+1"})
        EXPECT_FALSE(IsNumber(text)) << text;
    EXPECT_EQ(CharClass('\t'), CC_SYMBOL);
    EXPECT_EQ(CharClass(static_cast<char>(0xB0)), CC_SYMBOL);
}

TEST_F(ExpressionTest, FailedCompilesReportAndEvaluateToZero)
{
    ExpectFailedCompile("", {"表达式字符串为空"});
    ExpectFailedCompile("zz+1", {"undefined token:zz", "表达式词法分析出错:zz+1"});
    for (const char* text : {"-5", "1+", "()", "Sum()", "Sum(1,)", "(1)(2)", "(1+2", "   ", "Sum(1,2,3,4,5,6,7,8,9)"})
        ExpectFailedCompile(text);
    boxes.Clear();
    EXPECT_FLOAT_EQ(Eval("1+Sum"), 1.0f);
    EXPECT_FLOAT_EQ(Eval("neg"), 0.0f);
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"Token 'Sum' (@2) should be Number or Varieble",
                                                       "Token 'neg' (@0) should be Number or Varieble"}));
}

TEST_F(ExpressionTest, LongExpressionsStopAtTheSlotLimitsInsteadOfOverflowing)
{
    // The sum of n terms.
    auto sum = [](const std::string& term, int n) {
        std::string text = term;
        for (int i = 1; i < n; ++i)
            text += "+" + term;
        return text;
    };
    CStringList locals = Lines({"x"});
    CExpression* ok = g_ExpressionPool.AddExpression(sum("x", 100), locals);
    float x = 2.0f;
    EXPECT_EQ(ok->InstructionCount(), 99);
    EXPECT_FLOAT_EQ(ok->Evaluate(&x, nullptr, 0), 200.0f);
    ExpectFailedCompile(sum("x", 130), {}, locals);
    // Folded constants write no slot but still use compile slots.
    ExpectFailedCompile(sum("1", 200));
}

TEST_F(ExpressionTest, VariablesAndFunctionRecords)
{
    float other = 7.0f;
    g_VarTable.AddVar("testcell", scripttest::MemoryVar("testcell", &other));
    scripttest::g_TestCell = 3.0f;
    EXPECT_FLOAT_EQ(Eval("TESTCELL*2"), 6.0f);
    EXPECT_FLOAT_EQ(Eval("ReadOnly+1"), 43.0f);

    g_VarTable.GetVar("readonly")->Set(1.0f);
    TVar undefined{"Ghost"};
    EXPECT_FLOAT_EQ(undefined.Get(), -9999.0f);
    undefined.Set(1.0f);
    TVar noGetter{"", VT_FUNC};
    EXPECT_FLOAT_EQ(noGetter.Get(), -9999.0f);
    TFunction empty{"Foo"};
    EXPECT_FLOAT_EQ(empty.Calculate(nullptr, 0), 0.0f);
    g_VarTable.AddVar("", undefined);
    g_FunctionTable.AddFunc("", empty);
    g_OperatorTable.Add(TOperatorData());
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"Var Func Not Defined:(read-only var):ReadOnly", "Var Not Found",
                                                       "Var Not Defined:Ghost", "Var Func Not Defined",
                                                       "Error: function cant calculate:Foo", "VarName不能为空",
                                                       "FuncName不能为空", "OprName不能为空"}));

    // A local hides a global of the same name.
    EXPECT_FLOAT_EQ(Eval("testcell", Lines({"testcell"}), {9.0f}), 9.0f);

    CVarTable temps;
    temps.AddTempVar("Tmp");
    EXPECT_TRUE(temps.Exists("TMP"));
    for (int i = 1; i < CVarTable::MAX_TEMP_VARS; ++i)
        temps.AddTempVar("t");
    boxes.Clear();
    temps.AddTempVar("over");
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"临时变量数量上溢"});
}

TEST_F(ExpressionTest, ATemporaryVariableNeverWinsOverARegisteredOne)
{
    // Temporaries are searched after the registered variables, whichever came first.
    g_VarTable.AddTempVar("TESTCELL");
    g_VarTable.AddTempVar("Later");
    static float laterCell;
    laterCell = 2.0f;
    g_VarTable.AddVar("Later", scripttest::MemoryVar("Later", &laterCell));
    scripttest::g_TestCell = 4.0f;
    EXPECT_FLOAT_EQ(Eval("TestCell*Later"), 8.0f);
    Add("s", {"TestCell := Later+1", "Later := 5"});
    Run("s", 1);
    EXPECT_FLOAT_EQ(scripttest::g_TestCell, 3.0f);
    EXPECT_FLOAT_EQ(laterCell, 5.0f);
}

float Remainder(float a, float b) { return a - b * static_cast<float>(static_cast<int>(a / b)); }

TEST_F(ExpressionTest, AnOperatorRegisteredLaterRunsThroughItsFunction)
{
    g_OperatorTable.Add({"%", OT_BINARY, 1, Remainder});
    EXPECT_FLOAT_EQ(Eval("7%4+1"), 4.0f);
    Add("s", {"i := 0", "while(i<5)", "if(i%2)", "Log(i%2+i*10)", "end", "i := i+1", "end"});
    EXPECT_EQ(Run("s", 1), std::vector<std::string>{"11,31"});
}

TEST_F(ExpressionTest, PooledExpressionsNeverMove)
{
    std::vector<CExpression*> pointers;
    for (int i = 0; i < 70; ++i)
        pointers.push_back(g_ExpressionPool.AddExpression(std::to_string(i) + "*2", CStringList()));
    for (int i = 0; i < 70; ++i)
        EXPECT_FLOAT_EQ(pointers[static_cast<std::size_t>(i)]->Evaluate(nullptr, nullptr, 0), i * 2.0f);
    CExpression copy = *pointers[5];
    EXPECT_FLOAT_EQ(copy.mem[0], 0.0f);
    EXPECT_FLOAT_EQ(copy.Evaluate(nullptr, nullptr, 0), 10.0f);
}

// Brackets nested deeper than 256 levels fail the compile with its own message, however deep
// they go; within the limit they compile, side by side too.
TEST_F(ExpressionTest, BracketsNestedPastTheLimitFailTheCompile)
{
    auto nested = [](int depth, const std::string& inner) {
        return std::string(static_cast<std::size_t>(depth), '(') + inner +
               std::string(static_cast<std::size_t>(depth), ')');
    };
    EXPECT_FLOAT_EQ(Eval(nested(256, "2") + "*" + nested(200, "1+2")), 6.0f);
    EXPECT_TRUE(boxes.Texts().empty());
    for (int depth : {257, 100000}) {
        CExpression e;
        EXPECT_FALSE(e.Compile(nested(depth, "1"), CStringList()));
        EXPECT_EQ(boxes.Texts().back(), "表达式编译出错:" + nested(depth, "1"));
    }
    EXPECT_EQ(boxes.Texts().size(), 2u);
}

}  // namespace
