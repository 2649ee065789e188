#pragma once
// Resource ids of the control tests. The bitmaps are the program's artwork, under its own ids.

// A page with two picture buttons, a line of page text and two check-box trees: one with the
// tree's own check boxes, one with the program's state pictures.
#define IDD_CONTROLS_PAGE 300
#define IDC_FACE_BUTTON 3000
#define IDC_CAPTION_BUTTON 3001
#define IDC_PAGE_TEXT 3002
#define IDC_CHECK_TREE 3003
#define IDC_STATE_TREE 3004
