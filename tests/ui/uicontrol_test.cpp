#include <gtest/gtest.h>

#include "ui/uicontrol.h"

namespace {

CUIControl& Place(CUIControl& c, float x, float y, float w, float h)
{
    c.PosX.Set(x);
    c.PosY.Set(y);
    c.SizeX.Set(w);
    c.SizeY.Set(h);
    return c;
}

D3DXCOLOR Unpacked(D3DCOLOR c) { return D3DXCOLOR(c); }

}  // namespace

TEST(UIControl, HitTestIncludesEveryEdgeAndANegativeSizeNeverHits)
{
    CUIControl c, mirrored;
    Place(c, 10, 20, 100, 50);
    EXPECT_TRUE(c.HitTest(10, 20));
    EXPECT_TRUE(c.HitTest(110, 70));
    EXPECT_FALSE(c.HitTest(110.5f, 40));
    EXPECT_FALSE(c.HitTest(50, 19.9f));
    Place(mirrored, 100, 100, -50, -50);
    EXPECT_FALSE(mirrored.HitTest(75, 75));
}

TEST(UIControl, TypedCharactersAreBytesAndBackspaceTakesBackAWholeCharacter)
{
    CUIControl c;
    c.InputChar(8);
    c.InputChar('a');
    c.InputChar(0x141);  // only the low byte
    EXPECT_EQ(c.strText, "aA");
    // "中" is 0xD6 0xD0 in GBK: two calls, and one backspace removes both bytes; a trail byte in
    // the ASCII range ("丂" is 0x81 0x40) still goes with its lead byte, and a lead byte whose
    // second byte has not arrived yet goes alone.
    for (const char* text : {"x\xD6\xD0", "x\x81\x40", "x\xD6"}) {
        c.strText = text;
        c.InputChar(8);
        EXPECT_EQ(c.strText, "x") << text;
    }
}

TEST(UIControl, AlphaAboveThirtyTwoOver255IsVisibleAndOnlyTheDirectPanelTints)
{
    EXPECT_FALSE(CUIControl::IsVisibleAlpha(Unpacked(0x1F000000).a));
    EXPECT_TRUE(CUIControl::IsVisibleAlpha(Unpacked(0x20000000).a));

    CUIControl outer, panel, child;
    outer.Color.Set(Unpacked(0x00000000));
    panel.Color.Set(Unpacked(0x40FFFFFF));
    panel.pPanel = &outer;
    child.Color.Set(Unpacked(0x80FF8000));
    child.pPanel = &panel;
    EXPECT_FLOAT_EQ(child.DrawColor().g, 128.0f / 255.0f);
    EXPECT_TRUE(CUIControl::IsVisibleAlpha(child.DrawColor().a));  // 128 * 64 / 255 lies just above 32
    child.Color.Set(Unpacked(0x7FFF8000));
    EXPECT_FALSE(CUIControl::IsVisibleAlpha(child.DrawColor().a));  // 127 * 64 / 255 just below
}

TEST(UIControl, PanelsCarryTheirChildrenAtOnceLinearlyAndThroughNestedPanels)
{
    CUIControl panel, inner, leaf, plain;
    panel.nType = inner.nType = UI_PANEL;
    Place(panel, 0, 0, 200, 200);
    Place(inner, 10, 10, 50, 50);
    Place(leaf, 20, 30, 5, 5);
    panel.Children = {&inner};
    inner.Children = {&leaf};

    panel.MoveTo(100, 50, IM_NONE, 0, 0, 0, 0);
    EXPECT_EQ(inner.PosX.Get(), 110.0f);
    EXPECT_EQ(leaf.PosX.Get(), 120.0f);
    EXPECT_EQ(leaf.PosY.Get(), 80.0f);

    panel.MoveOffSet(40, 0, IM_LINEAR, 4, 0, 0, 0);
    leaf.Update();
    leaf.Update();
    EXPECT_EQ(leaf.PosX.Get(), 140.0f);

    // Unknown modes change nothing, children included.
    panel.MoveOffSet(5, 5, static_cast<EInterpolateMode>(3), 1, 0, 0, 0);
    EXPECT_EQ(leaf.PosY.Get(), 80.0f);

    // A plain control does not carry the controls listed as its children, and a resize moves
    // no child.
    plain.Children = {&leaf};
    plain.MoveOffSet(10, 10, IM_NONE, 0, 0, 0, 0);
    panel.Resize(1, 1, IM_NONE, 0, 0, 0, 0);
    EXPECT_EQ(leaf.PosX.Get(), 140.0f);
    EXPECT_EQ(inner.SizeX.Get(), 50.0f);
}
