#pragma once
// The animated waiting indicator: a child window that never paints itself but draws its frames
// straight onto the parent's surface, blended over the background it saved there.

#include "framework/Handles.h"
#include "framework/Wnd.h"

class CYWaitingClock : public fw::CWnd {
  public:
    static constexpr int kFrameCount = 13;
    static constexpr UINT kFramesBitmap = 188;
    static constexpr UINT kTimerId = 1;
    static constexpr UINT kTimerMs = 100;

    // Creates the (empty, invisible) clock window "Clock", id 123, under `parent`.
    bool Create(HWND parent);
    // Cuts bitmap resource 188 into 13 frames of 68 x 64; once.
    void LoadFrames();

    // Saves the parent's surface under the clock and draws the current frame.
    void ShowAt();
    // Puts the saved background back; the owner kills the timer.
    void RestoreBackground();
    // The variants around a centre point of a given context (the result view's canvas).
    void ShowAt(HDC dc, POINT centre);
    void RestoreBackground(HDC dc, POINT centre);
    // Advances one frame (what the timer does) and draws it.
    void NextFrame();

    int x = 0;
    int y = 0;
    BYTE alpha = 180;
    int frameIndex = 0;
    bool animating = false;

    int FrameWidth() const { return frameWidth_; }
    int FrameHeight() const { return frameHeight_; }
    bool FramesLoaded() const { return framesLoaded_; }

  protected:
    void OnTimer(UINT_PTR id) override;

  private:
    void DrawFrame(HDC target, int atX, int atY);

    fw::UniqueBitmap frames_[kFrameCount];
    fw::UniqueBitmap background_;
    int frameWidth_ = 0;
    int frameHeight_ = 0;
    bool framesLoaded_ = false;
};
