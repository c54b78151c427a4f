#include <filesystem>

#include "foundation/inifile.h"
#include "scripttest.h"

using scripttest::Lines;

namespace {

class ConstTableTest : public scripttest::ScriptTest {
protected:
    void SetUp() override
    {
        ScriptTest::SetUp();
        dir.Write("Global/units.txt",
                  "before = 1\n"
                  "[Units]\n"
                  "Max := 12\n"
                  "Low = -5 // lowest\n"
                  "Title = Hello\n"
                  "Speed = +3\n"
                  "Name = a = b\n"
                  "x := y = 3\n"
                  "// Note = 4\n"
                  "Max = 99\n"
                  "Semi; = 2;\n"
                  "[Extra]\n"
                  "Max = 50\n"
                  "Bonus = 7\n");
        dir.Write("Global/zz.txt", "[units]\nMax = 1000\n");
        dir.Write("Global/skip.dat", "[Other]\nA = 1\n");
        g_ConstTableSet.Clear();
        g_ConstTableSet.LoadDirectory(dir.WindowsPath() + "\\Global");
    }

    void TearDown() override { g_ConstTableSet.Clear(); }

    testutil::TempDir dir;
    testutil::ScopedCwd cwd{std::filesystem::current_path().string()};
};

TEST_F(ConstTableTest, FilesBecomeTablesWithNumberAndTextConstants)
{
    ASSERT_EQ(g_ConstTableSet.Count(), 3);
    CConstTable* units = g_ConstTableSet.FindTable("UNITS");
    ASSERT_EQ(units, g_ConstTableSet.Get(0));
    EXPECT_EQ(units->name, "Units");
    // Each constant as name, text and, for a number, its value.
    std::vector<std::string> consts;
    for (int i = 0; i < units->consts.Count(); ++i) {
        const TConst& c = *units->consts.Get(i);
        consts.push_back(c.name + "=" + c.text + (c.type == CT_NUMBER ? " #" + scripttest::Num(c.value) : ""));
    }
    EXPECT_EQ(consts, (std::vector<std::string>{"Max=12 #12", "Low=-5 #-5", "Title=Hello", "Speed=+3", "Name=a = b",
                                                "x=y = 3", "Max=99 #99", "Semi;=2 #2"}));
    EXPECT_EQ(units->Find("max")->text, "12");
    EXPECT_EQ(g_ConstTableSet.FindTable("nothing"), nullptr);
}

TEST_F(ConstTableTest, UsingConstHoldsForTheRestOfOneScript)
{
    TScript* s = Add("s", {"a := Max*2", "using const units", "b := Max*2", "c := Low+1", "d := Title+1",
                           "using const Extra", "e := Max+Bonus"});
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"undefined token:max", "表达式词法分析出错:max*2",
                                                       "undefined token:title", "表达式词法分析出错:title+1"}));
    ASSERT_EQ(s->Length(), 7);
    EXPECT_EQ(s->instructions[1].type, script::SIT_NONE);
    CExpression* b = s->instructions[2].params[1].pExpr;
    ASSERT_EQ(b->InstructionCount(), 1);
    EXPECT_EQ(b->GetInstruction(0)->type, expression::EI_MOVE);
    EXPECT_FLOAT_EQ(b->Evaluate(nullptr, nullptr, 0), 24.0f);
    EXPECT_FLOAT_EQ(s->instructions[3].params[1].pExpr->Evaluate(nullptr, nullptr, 0), -4.0f);
    // The first table merged wins for equal names.
    EXPECT_FLOAT_EQ(s->instructions[6].params[1].pExpr->Evaluate(nullptr, nullptr, 0), 19.0f);

    // The next script starts with no table; one that names no table is passed over quietly.
    boxes.Clear();
    Add("t", {"using const nowhere", "a := Max*2"});
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"undefined token:max", "表达式词法分析出错:max*2"}));
}

TEST_F(ConstTableTest, OtherNamesComeBeforeConstants)
{
    CConstTable table;
    table.name = "t";
    table.Add({"TestCell", CT_NUMBER, 5.0f, "5"});
    table.Add({"input0", CT_NUMBER, 6.0f, "6"});
    table.Add({"loc", CT_NUMBER, 7.0f, "7"});
    table.Add({"", CT_NUMBER, 1.0f, "1"});
    EXPECT_EQ(boxes.Boxes().back().caption, "");
    EXPECT_EQ(boxes.Boxes().back().text, "ConstName不能为空");
    g_ConstTable.Merge(table);
    scripttest::g_TestCell = 1.0f;
    CStringList locals = Lines({"loc"});
    CExpression* e = g_ExpressionPool.AddExpression("TestCell+input0+loc", locals);
    float loc = 100.0f;
    float in = 10.0f;
    EXPECT_FLOAT_EQ(e->Evaluate(&loc, &in, 1), 111.0f);
    g_ConstTable.Merge(g_ConstTable);
    EXPECT_EQ(g_ConstTable.consts.Count(), 6);
}

}  // namespace
