#pragma once
// The popups of a running diagnosis: the progress popup (template 157) with its list of test
// rows, progress bar and Cancel button, and the cancel confirmation (template 158).
//
// The troubleshooting page owns one progress popup and reuses it for every diagnosis:
// Prepare, then Run (modal). While it runs, the page relays the worker's messages: ReportRow
// for each finished entry, SetCancelAllowed on 700 / 701, Finish on 999. The popup tells the
// page by WM_DIAG_NOTIFY: 105 (lParam 0 pause, 1 resume) around the confirmation, and 100
// when the user confirmed the cancel.

#include <cstdint>

#include "console/DiagCanvas.h"
#include "console/DiagTask.h"
#include "framework/Dialog.h"
#include "framework/ScrollView.h"
#include "shell/controls/BitmapBtn.h"

// The rows the progress list shows, as the troubleshooting page builds them for the selected
// categories (display, sound, network, system).
constexpr int kDiagCategories = 4;
constexpr int kDiagMaxRows = 11;
constexpr int kDiagTitleChars = 80;

struct DiagRowList {
    int32_t selection[kDiagCategories] = {};
    int rowCount[kDiagCategories] = {};
    wchar_t categoryTitle[kDiagCategories][kDiagTitleChars] = {};
    wchar_t rowTitle[kDiagCategories][kDiagMaxRows][kDiagTitleChars] = {};
};

// The list of rows: drawn once into an off-screen canvas, then each step redraws only the
// rows that changed.
class CYViewDiagProcess : public fw::CScrollView {
  public:
    static constexpr int kCanvasWidth = 536;
    static constexpr int kRowHeight = 30;
    static constexpr int kMinHeight = 280;

    void SetUi(const ConsoleUi* ui) { ui_ = ui; }
    // Copies the counts and titles (not the selection: BuildCanvas takes that).
    void SetRows(const DiagRowList& rows);
    // Once per view: the canvas for the selected categories.
    void BuildCanvas(const int32_t selection[kDiagCategories]);
    void DrawRows();
    // done 1: the row is complete; 0: it is the one running now. Keeps it in sight.
    void MarkRow(int row, int category, int done);

    int CanvasHeight() const { return canvasHeight_; }
    // The y of a drawn row on the canvas, -1 for a row that is not shown.
    int RowTop(int category, int row) const;
    // What a row shows: 0 waiting, 1 running, 2 complete; -1 for a row that is not shown.
    int RowMark(int category, int row) const;

  protected:
    void OnInitialUpdate() override;
    void OnDraw(HDC dc) override;
    bool OnEraseBkgnd(HDC dc) override;
    void OnDestroy() override;

  private:
    bool Shows(int category, int row) const;

    const ConsoleUi* ui_ = nullptr;
    DiagCanvas canvas_;
    DiagRowList rows_;
    int rowTop_[kDiagCategories][kDiagMaxRows] = {};
    int rowMark_[kDiagCategories][kDiagMaxRows] = {};
    int canvasHeight_ = 0;
};

class CDlgPopupDiagCancel : public fw::CDialog {
  public:
    CDlgPopupDiagCancel();

    void SetUi(const ConsoleUi* ui) { ui_ = ui; }
    // Runs modally over `owner`: 1 Yes; 2 No, Escape or closing.
    INT_PTR Run(HWND owner);
    // Ends an open confirmation with `result` (the page does, when the run is over).
    void End(INT_PTR result);
    bool IsOpen() const { return m_hWnd != nullptr; }

  protected:
    bool OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnEraseBkgnd(HDC dc) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT message) override;

  private:
    const ConsoleUi* ui_ = nullptr;
    CYBitmapBtn yesButton_;
    CYBitmapBtn noButton_;
};

class CDlgPopupDiagProcess : public fw::CDialog {
  public:
    CDlgPopupDiagProcess();

    // Before every run: the main window's texts and fonts, the page that hears 105 and 100,
    // and the rows to show.
    void Prepare(const ConsoleUi* ui, HWND pageWindow, const DiagRowList& rows);
    // Modal: 1 when the run finished, 2 when the user confirmed the cancel.
    INT_PTR Run();

    // One entry of the run: done 1 for the row that has just finished, 0 for the next one.
    void ReportRow(int category, int row, int done);
    // Codes 700 / 701: no cancel while a sample plays.
    void SetCancelAllowed(bool allowed);
    // Code 999: the run is over; ends an open confirmation and this popup with 1.
    void Finish();

    bool CancelAllowed() const { return cancelAllowed_ != 0; }
    int TotalRows() const { return totalRows_; }
    CYViewDiagProcess& ProgressView() { return progressView_; }

  protected:
    bool OnInitDialog() override;
    // Enter must not end the popup: the page would read the task table and free the library
    // under the running worker. Only Finish and a confirmed cancel end it.
    void OnOK() override {}
    void OnCancel() override;
    bool OnEraseBkgnd(HDC dc) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT message) override;

  private:
    void SetClientSize();
    void TellPage(WPARAM code, LPARAM lp) const;

    const ConsoleUi* ui_ = nullptr;
    HWND pageWindow_ = nullptr;
    CDlgPopupDiagCancel cancelPopup_;
    HWND progressBar_ = nullptr;
    CYBitmapBtn cancelButton_;
    DiagRowList rows_;
    int totalRows_ = 0;
    CYViewDiagProcess progressView_;
    int cancelAllowed_ = 1;
};

// The confirmation before Check Disk (mode 1) or before deleting the temporary Internet files
// (mode 3, the utilities page): a header, the question and what will happen, [Run] and
// [Cancel].
class CDlgPopupHDDDiag : public fw::CDialog {
  public:
    static constexpr int kCheckDisk = 1;
    static constexpr int kDeleteTemporaryFiles = 3;

    CDlgPopupHDDDiag(int mode, const ConsoleUi* ui);
    // Runs modally over `owner`: 1 Run; 2 Cancel, Escape or closing.
    INT_PTR Run(HWND owner);

  protected:
    bool OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    bool OnEraseBkgnd(HDC dc) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT message) override;

  private:
    int mode_;
    const ConsoleUi* ui_;
    CYBitmapBtn runButton_;
    CYBitmapBtn cancelButton_;
};
