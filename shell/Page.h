#pragma once
// What every page of the main window shares: it is a child dialog at (211, 0), 570 x 520,
// reads the message language and fonts from the main window, paints its background picture
// and draws its static texts transparently.

#include "framework/Dialog.h"
#include "framework/SharedString.h"

class CHLMMainDlg;

class CPage : public fw::CDialog {
  public:
    // The page's title (static `titleId`, message `titleMessage`, in the title font) is set at
    // initialisation; 0 for a page without one.
    CPage(UINT templateId, CHLMMainDlg& mainDialog, UINT backgroundBitmap, int backgroundX,
          int titleId, DWORD titleMessage);

    // Creates the page hidden as a child of the main window, at its place.
    bool CreatePage();

  protected:
    bool OnInitDialog() override;
    bool OnEraseBkgnd(HDC dc) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT message) override;

    // Sets a static's text from the message table and its font.
    void SetStaticText(int controlId, DWORD messageId, HFONT font);
    // Text colour of a static control; override for per-control colours.
    virtual COLORREF StaticTextColour(int controlId) const;
    // Draws the page's background; pages that draw more over it override this.
    virtual void DrawBackground(HDC dc);

    fw::CSharedString Text(DWORD messageId) const;

    CHLMMainDlg& main_;

  private:
    UINT backgroundBitmap_;
    int backgroundX_;
    int titleId_;
    DWORD titleMessage_;
};
