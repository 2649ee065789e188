#pragma once
// The program's only top-level window: a fixed-size dialog with the page buttons in the left
// picture band and one visible page on the right.

#include "framework/Dialog.h"
#include "framework/Handles.h"
#include "framework/SharedString.h"
#include "shell/controls/BitmapBtn.h"

constexpr const wchar_t* kMainWindowClass = L"CHLMMainDlgMain";
constexpr const wchar_t* kMainWindowTitle = L"Helmora";

class CPage;
class CDlgSubMainHome;
class CDlgSubSolHelper;
class CDlgSubSysUtil;
class CDlgSubNTA;
class CDlgSubPTW;
class CDlgSubRecover;

class CHLMMainDlg : public fw::CDialog {
  public:
    CHLMMainDlg();
    ~CHLMMainDlg() override;

    static constexpr int kClientWidth = 781;
    static constexpr int kClientHeight = 520;
    static constexpr int kBandWidth = 211; // the left picture band; the pages start here
    enum Page { kHome, kTroubleshooting, kUtilities, kInternet, kUpdate, kRestore, kPageCount };

    LANGID MessageLanguage() const { return messageLanguage_; }
    int OSGeneration() const { return osGeneration_; }
    HFONT TitleFont() const { return titleFont_.get(); }
    HFONT BoldFont() const { return boldFont_.get(); }
    HFONT TextFont() const { return textFont_.get(); }
    int CurrentPage() const { return currentPage_; }

    // Back to the home page, every page button back to its saved state.
    void Home();

    // Whether the internet assistance button is offered for this UI language and nation.
    static bool ShowsInternetAssistance(LANGID uiLanguage, GEOID nation);

  protected:
    bool OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnEraseBkgnd(HDC dc) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT message) override;
    void OnPaint() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool PreTranslateMessage(MSG& msg) override;

  private:
    void SetClientSize();
    void CreateFonts();
    void SetUpMenuButtons();
    void CreatePages();
    void SelectPage(WORD command);
    void ShowOnly(int page);
    void ResetPageButtons();
    void OpenUserGuide();
    void ShowAbout();

    CYBitmapBtn pageButtons_[5]; // 1000-1004, the group
    CYBitmapBtn userGuideButton_;
    CYBitmapBtn homeButton_;
    CYBitmapBtn helpButton_;
    fw::CSharedString fontFace_;
    fw::UniqueFont titleFont_;
    fw::UniqueFont boldFont_;
    fw::UniqueFont textFont_;
    LANGID messageLanguage_;
    int osGeneration_ = 0;
    int currentPage_ = kHome;
    HICON icon_ = nullptr; // shared resource icon, not owned

    CDlgSubMainHome* home_ = nullptr;
    CDlgSubSolHelper* troubleshooting_ = nullptr;
    CDlgSubSysUtil* utilities_ = nullptr;
    CDlgSubNTA* internet_ = nullptr;
    CDlgSubPTW* update_ = nullptr;
    CDlgSubRecover* restore_ = nullptr;
    CPage* pages_[kPageCount] = {};
};
