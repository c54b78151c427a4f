#include <gtest/gtest.h>

#include <utility>

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

std::pair<float, float> At(const CUIControl& c) { return {c.PosX.Get(), c.PosY.Get()}; }

bool Visible(const CUIControl& c) { return CUIControl::IsVisibleAlpha(c.DrawColor().a); }

}  // namespace

TEST(UIControl, HitTestIncludesEveryEdgeAndANegativeSizeNeverHits)
{
    CUIControl c, mirrored;
    Place(c, 10, 20, 100, 50);
    Place(mirrored, 100, 100, -50, -50);
    EXPECT_EQ((std::vector<bool>{c.HitTest(10, 20), c.HitTest(110, 70), c.HitTest(110.5f, 40), c.HitTest(50, 19.9f),
                                 mirrored.HitTest(75, 75)}),
              (std::vector<bool>{true, true, false, false, false}));
}

TEST(UIControl, TypedCharactersAreBytesAndBackspaceTakesBackAWholeCharacter)
{
    CUIControl c;
    for (int ch : {8, int{'a'}, 0x141}) c.InputChar(ch);  // only the low byte
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

// The rendering tests draw the bound of alpha 32 over 255 itself.
TEST(UIControl, OnlyTheDirectPanelTintsAndTheTintedAlphaDecidesVisibility)
{
    CUIControl outer, panel, child;
    outer.Color.Set(D3DXCOLOR(D3DCOLOR{0x00000000}));
    panel.Color.Set(D3DXCOLOR(D3DCOLOR{0x40FFFFFF}));
    panel.pPanel = &outer;
    child.Color.Set(D3DXCOLOR(D3DCOLOR{0x80FF8000}));
    child.pPanel = &panel;
    EXPECT_FLOAT_EQ(child.DrawColor().g, 128.0f / 255.0f);
    EXPECT_TRUE(Visible(child));  // 128 * 64 / 255 lies just above 32
    child.Color.Set(D3DXCOLOR(D3DCOLOR{0x7FFF8000}));
    EXPECT_FALSE(Visible(child));  // 127 * 64 / 255 just below
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
    EXPECT_EQ(At(inner), (std::pair{110.0f, 60.0f}));
    EXPECT_EQ(At(leaf), (std::pair{120.0f, 80.0f}));
    panel.MoveOffSet(40, 0, IM_LINEAR, 4, 0, 0, 0);
    leaf.Update();
    leaf.Update();
    // Unknown modes change nothing, children included.
    panel.MoveOffSet(5, 5, static_cast<EInterpolateMode>(3), 1, 0, 0, 0);
    // A plain control does not carry the controls listed as its children, and a resize moves
    // no child.
    plain.Children = {&leaf};
    plain.MoveOffSet(10, 10, IM_NONE, 0, 0, 0, 0);
    panel.Resize(1, 1, IM_NONE, 0, 0, 0, 0);
    EXPECT_EQ(At(leaf), (std::pair{140.0f, 80.0f}));
    EXPECT_EQ(inner.SizeX.Get(), 50.0f);
}
