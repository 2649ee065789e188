// The picture buttons' group rule: one selected and disabled, the others back to the state the
// last selected one had, the saved state shared by every group of the program.
#include "shell/controls/BitmapBtn.h"

#include <gtest/gtest.h>

TEST(ButtonGroup, SelectingRemembersTheSelectedButtonsFormerState)
{
    ResetLastButtonState();
    CYBitmapBtn a, b, c;
    CYBitmapBtn* group[3] = {&a, &b, &c};

    b.SetState(CYBitmapBtn::kHover); // the mouse is on it when it is clicked
    SelectInGroup(group, 3, &b);
    EXPECT_EQ(a.GetState(), CYBitmapBtn::kNormal); // before it: nothing saved yet, so 1
    EXPECT_EQ(b.GetState(), CYBitmapBtn::kSelected);
    EXPECT_EQ(c.GetState(), CYBitmapBtn::kHover); // after it: b's former state
    EXPECT_EQ(LastButtonState(), CYBitmapBtn::kHover);

    // Buttons before the new choice use the state saved by the previous selection.
    c.SetState(CYBitmapBtn::kPressed);
    SelectInGroup(group, 3, &c);
    EXPECT_EQ(a.GetState(), CYBitmapBtn::kHover);
    EXPECT_EQ(b.GetState(), CYBitmapBtn::kHover);
    EXPECT_EQ(c.GetState(), CYBitmapBtn::kSelected);
    EXPECT_EQ(LastButtonState(), CYBitmapBtn::kPressed);

    ResetGroup(group, 3);
    for (CYBitmapBtn* button : group)
        EXPECT_EQ(button->GetState(), CYBitmapBtn::kPressed);
    ResetLastButtonState();
}
