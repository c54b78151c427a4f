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

void Tick(CUIControl& c, int n)
{
    for (int i = 0; i < n; ++i) c.Update();
}

}  // namespace

TEST(UIControl, HitTestIncludesEveryEdgeAndANegativeSizeNeverHits)
{
    CUIControl c;
    Place(c, 10, 20, 100, 50);
    EXPECT_TRUE(c.HitTest(10, 20));
    EXPECT_TRUE(c.HitTest(110, 70));  // right and bottom edges count
    EXPECT_FALSE(c.HitTest(110.5f, 40));
    EXPECT_FALSE(c.HitTest(50, 19.9f));
    c.Enable(false);
    c.nType = UI_PANEL;
    EXPECT_TRUE(c.HitTest(50, 40));  // type and state do not matter

    CUIControl mirrored;
    Place(mirrored, 100, 100, -50, -50);
    EXPECT_FALSE(mirrored.HitTest(75, 75));
    EXPECT_FALSE(mirrored.HitTest(100, 100));
}

TEST(UIControl, TypedCharactersAreBytesAndBackspaceTakesBackAWholeCharacter)
{
    CUIControl c;
    c.InputChar(8);
    EXPECT_EQ(c.strText, "");
    c.InputChar('a');
    c.InputChar(13);
    c.InputChar(27);
    c.InputChar(0x141);  // only the low byte
    EXPECT_EQ(c.strText, std::string("a\r\x1b" "A"));
    c.InputChar(8);
    EXPECT_EQ(c.strText, "a\r\x1b");

    // "中" is 0xD6 0xD0 in GBK: two calls, and one backspace removes both bytes.
    c.strText = "x";
    c.InputChar(0xD6);
    c.InputChar(0xD0);
    EXPECT_EQ(c.strText, "x\xD6\xD0");
    c.InputChar(8);
    EXPECT_EQ(c.strText, "x");
    // A trail byte in the ASCII range ("丂" is 0x81 0x40) still goes with its lead byte.
    c.strText = "\x81\x40\x81\x40";
    c.InputChar(8);
    EXPECT_EQ(c.strText, "\x81\x40");
    // A lead byte whose second byte has not arrived yet goes alone.
    c.strText = "ab\xD6";
    c.InputChar(8);
    EXPECT_EQ(c.strText, "ab");
}

TEST(UIControl, AlphaAboveThirtyTwoOver255IsVisible)
{
    EXPECT_FALSE(CUIControl::IsVisibleAlpha(D3DXCOLOR(D3DCOLOR{0x1F000000}).a));
    EXPECT_TRUE(CUIControl::IsVisibleAlpha(D3DXCOLOR(D3DCOLOR{0x20000000}).a));
    EXPECT_FALSE(CUIControl::IsVisibleAlpha(0.0f));

    CUIControl panel;
    panel.Color.Set(D3DXCOLOR(D3DCOLOR{0x40FFFFFF}));
    CUIControl child;
    child.Color.Set(D3DXCOLOR(D3DCOLOR{0x80FF8000}));
    child.pPanel = &panel;
    const D3DXCOLOR tinted = child.DrawColor();
    EXPECT_FLOAT_EQ(tinted.a, (128.0f / 255.0f) * (64.0f / 255.0f));
    EXPECT_FLOAT_EQ(tinted.g, 128.0f / 255.0f);
    EXPECT_TRUE(CUIControl::IsVisibleAlpha(tinted.a));  // 128 * 64 / 255 lies just above 32
    child.Color.Set(D3DXCOLOR(D3DCOLOR{0x7FFF8000}));
    EXPECT_FALSE(CUIControl::IsVisibleAlpha(child.DrawColor().a));  // 127 * 64 / 255 just below
    child.Color.Set(D3DXCOLOR(D3DCOLOR{0x80FF8000}));

    // Only the direct panel tints.
    CUIControl outer;
    outer.Color.Set(D3DXCOLOR(D3DCOLOR{0x00000000}));
    panel.pPanel = &outer;
    EXPECT_FLOAT_EQ(child.DrawColor().a, tinted.a);
}

TEST(UIControl, PanelsCarryTheirChildrenAtOnceLinearlyAndThroughNestedPanels)
{
    CUIControl panel;
    CUIControl inner;
    CUIControl leaf;
    panel.nType = UI_PANEL;
    inner.nType = UI_PANEL;
    Place(panel, 0, 0, 200, 200);
    Place(inner, 10, 10, 50, 50);
    Place(leaf, 20, 30, 5, 5);
    panel.Children = {&inner};
    inner.Children = {&leaf};

    panel.MoveTo(100, 50, IM_NONE, 0, 0, 0, 0);
    EXPECT_EQ(panel.PosX.Get(), 100.0f);
    EXPECT_EQ(inner.PosX.Get(), 110.0f);
    EXPECT_EQ(inner.PosY.Get(), 60.0f);
    EXPECT_EQ(leaf.PosX.Get(), 120.0f);
    EXPECT_EQ(leaf.PosY.Get(), 80.0f);

    panel.MoveOffSet(40, 0, IM_LINEAR, 4, 0, 0, 0);
    Tick(panel, 2);
    Tick(leaf, 2);
    EXPECT_EQ(panel.PosX.Get(), 120.0f);
    EXPECT_EQ(leaf.PosX.Get(), 140.0f);

    // Unknown modes change nothing, children included.
    panel.MoveOffSet(5, 5, static_cast<EInterpolateMode>(3), 1, 0, 0, 0);
    panel.MoveTo(0, 0, static_cast<EInterpolateMode>(-1), 1, 0, 0, 0);
    EXPECT_EQ(panel.PosX.Get(), 120.0f);
    EXPECT_EQ(leaf.PosY.Get(), 80.0f);

    // A plain control does not carry the controls listed as its children, and a resize moves
    // no child.
    CUIControl plain;
    plain.Children = {&leaf};
    plain.MoveOffSet(10, 10, IM_NONE, 0, 0, 0, 0);
    panel.Resize(1, 1, IM_NONE, 0, 0, 0, 0);
    EXPECT_EQ(leaf.PosX.Get(), 140.0f);
    EXPECT_EQ(panel.SizeX.Get(), 1.0f);
    EXPECT_EQ(inner.SizeX.Get(), 50.0f);
}

TEST(UIControl, SettingAtOnceAfterAFinishedLinearMoveHolds)
{
    CUIControl c;
    c.MoveTo(100, 40, IM_LINEAR, 4, 0, 0, 0);
    c.Resize(80, 20, IM_LINEAR, 4, 0, 0, 0);
    Tick(c, 6);
    EXPECT_EQ(c.PosX.Get(), 100.0f);
    EXPECT_EQ(c.SizeX.Get(), 80.0f);

    c.MoveTo(10, 5, IM_NONE, 0, 0, 0, 0);
    c.Resize(30, 15, IM_NONE, 0, 0, 0, 0);
    Tick(c, 10);
    EXPECT_EQ(c.PosX.Get(), 10.0f);
    EXPECT_EQ(c.PosY.Get(), 5.0f);
    EXPECT_EQ(c.SizeX.Get(), 30.0f);
    EXPECT_EQ(c.SizeY.Get(), 15.0f);

    // At once in the middle of a move stops it there too.
    c.MoveTo(200, 5, IM_LINEAR, 10, 0, 0, 0);
    Tick(c, 3);
    c.MoveTo(50, 5, IM_NONE, 0, 0, 0, 0);
    Tick(c, 10);
    EXPECT_EQ(c.PosX.Get(), 50.0f);
}
