#pragma once
// The picture button every page uses: six face bitmaps for its states and an optional caption
// drawn over them. It draws itself at once on every state change, through its own window DC.

#include "framework/Handles.h"
#include "framework/SharedString.h"
#include "framework/Wnd.h"

class CYBitmapBtn : public fw::CWnd {
  public:
    enum State {
        kNormal = 1,
        kPressed = 2,
        kState3 = 3,
        kHover = 4,
        kState5 = 5,
        kSelected = 6,
    };

    // Loads faces 1-6 from bitmap resources; ignored once faces are loaded.
    void SetFaceImages(UINT face1, UINT face2, UINT face3, UINT face4, UINT face5, UINT face6);
    // Cuts bitmap resource 177 (three 80 x 20 faces T, M, B) into the six faces.
    void SetFaceStrip();
    void SetCaption(const wchar_t* text, int weight, int left, int width, int bottom, int height,
                    UINT format, bool underlineOnHover, bool underlineOnSelected);
    // Paints the current state now.
    void Redraw();

    int Width() const { return width_; }
    int Height() const { return height_; }
    int GetState() const { return state_; }
    void SetState(int state) { state_ = state; }

    COLORREF normalColour = RGB(105, 105, 105);
    COLORREF hoverColour = RGB(138, 138, 138);
    COLORREF state3Colour = RGB(153, 153, 153);
    COLORREF selectedColour = RGB(154, 57, 0);
    COLORREF frameColour = RGB(255, 255, 255);
    COLORREF fillColour = RGB(255, 255, 255);

  protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnDrawItem(DRAWITEMSTRUCT* item) override;

  private:
    void OnMouseMove(POINT point);
    int FaceIndex() const; // 0-based face of the current state
    bool Underlined() const;

    // The face of each state; several states usually share one picture, which is loaded once
    // and owned by `pictures_`.
    HBITMAP faces_[6] = {};
    fw::UniqueBitmap pictures_[6];
    fw::CSharedString caption_;
    HFONT font_ = nullptr;           // shared, not owned
    HFONT underlinedFont_ = nullptr; // shared, not owned
    HCURSOR cursor_ = nullptr; // shared system cursor, not owned
    int width_ = 0;
    int height_ = 0;
    int state_ = kNormal;
    bool facesLoaded_ = false;
    bool captionSet_ = false;
    bool underlineOnHover_ = false;
    bool underlineOnSelected_ = false;
    RECT textRect_ = {0, 0, 0, 0};
    UINT textFormat_ = 0;
};

// Buttons that stand for mutually exclusive views: selecting one disables it and shows it
// selected, the others go back to the state the last selected one had before. The saved state
// is one value for the whole program, shared by every group.
void SelectInGroup(CYBitmapBtn* const* group, int count, const CYBitmapBtn* selected);
// Returns every button of the group to the saved state and enables it.
void ResetGroup(CYBitmapBtn* const* group, int count);
// The saved state (0 before the first selection); for tests.
int LastButtonState();
void ResetLastButtonState();
