#pragma once
// The home page (template 139): its summary view introduces the program's areas and shows
// the serial number, processor, memory and graphics adapter; Detail switches to a sheet with
// everything the system-information library knows, drivers included. The facts are collected
// once when the page is made, the drivers at the first Detail click.

#include <windows.h>

#include "console/DiagCanvas.h"
#include "framework/ScrollView.h"
#include "framework/SharedString.h"
#include "pages/SystemSummary.h"
#include "shell/Page.h"
#include "shell/controls/BitmapBtn.h"
#include "shell/controls/WaitingClock.h"

// The detail view's sheet: drawn once into a canvas, copied at every paint.
class CYViewSysInfo : public fw::CScrollView {
  public:
    // Makes the canvas (once) and sizes the scroll area to it.
    void CreateCanvas(int height);
    // Makes the canvas at least `height` high; the scroll area follows.
    void GrowCanvas(int height);
    HDC CanvasDC() const { return canvas_.dc(); }
    int CanvasHeight() const { return canvas_.Height(); }

  protected:
    void OnInitialUpdate() override;
    void OnDraw(HDC dc) override;
    bool OnEraseBkgnd(HDC dc) override;
    void OnDestroy() override;

  private:
    DiagCanvas canvas_;
};

class CDlgSubMainHome : public CPage {
  public:
    explicit CDlgSubMainHome(CHLMMainDlg& mainDialog);

    // Leaves the detail view (the page's Close command; the main window's Home also uses it).
    void CloseDetail();

  protected:
    bool OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    void OnTimer(UINT_PTR id) override;
    void OnPaint() override;
    COLORREF StaticTextColour(int controlId) const override;
    void DrawBackground(HDC dc) override;

  private:
    void ReadModelClass();
    void SetUpTexts();
    void CollectFacts();
    void CreateSheet();
    void SetUpButtons();
    void OpenDetail();
    void CollectDrivers();
    void StartClock();
    void DrawSheet();
    home::SheetContent Content() const;
    void DrawSummaryTexts(HDC dc) const;
    void Repaint() const;

    int osGeneration_ = 0;
    int modelClass_ = 0;
    bool detail_ = false;
    bool driversCollected_ = false;

    fw::CSharedString purchaseDate_;
    fw::CSharedString processor_;
    fw::CSharedString serialNumber_;
    fw::CSharedString memory_;
    fw::CSharedString graphics_;
    fw::CSharedString opticalDrive_;
    fw::CSharedString operatingSystem_;
    fw::CSharedString bios_;
    fw::CSharedString disks_;

    // The library's records, valid for the life of the process.
    DRIVERINFO* video_ = nullptr;
    DRIVERINFO* network_ = nullptr;
    DRIVERINFO* wireless_ = nullptr;
    DRIVERINFO* bluetooth_ = nullptr;
    DriverInfoList* soundList_ = nullptr;
    DRIVERINFO sound_[home::kMaxSoundDrivers] = {};
    int soundCount_ = 0;

    CYBitmapBtn detailButton_; // 1010
    CYBitmapBtn closeButton_;  // 1014
    CYWaitingClock clock_;
    CYViewSysInfo sheet_; // 1234
};
