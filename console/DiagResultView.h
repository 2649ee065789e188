#pragma once
// The list of problems a diagnosis found, one row per problem code (1-35) in code order: a
// title band with the status word, the explanation, and for most rows a button that runs the
// matching repair of the diagnostic library on the window thread.
//
// The troubleshooting page makes it once (Create) and hands it each diagnosis's problems
// (LoadProblems). A row keeps its state across repairs until the next LoadProblems.

#include <cstdint>

#include "console/DiagCanvas.h"
#include "console/DiagTask.h"
#include "framework/Array.h"
#include "framework/ScrollView.h"
#include "shell/controls/BitmapBtn.h"
#include "shell/controls/WaitingClock.h"

class CYViewDiagResult : public fw::CScrollView {
  public:
    static constexpr int kProblemCodes = 35;
    static constexpr int kTextChars = 300; // 299 characters and the terminator
    static constexpr int kCanvasWidth = 520;
    static constexpr int kCanvasHeight = 1000; // grown when the rows need more
    static constexpr int kMinHeight = 215;
    static constexpr UINT kFirstRowButton = 1200; // row r is button 1199 + r
    static constexpr UINT kClockDoneTimer = 1;

    enum RepairState {
        kFound = 0,    // the button is offered
        kFixed = 1,    // the repair said it succeeded
        kNotFixed = 2, // the repair said it failed
        kNoRepair = 3, // found, and nothing the program can do about it
    };

    // The page's sequence: the window, first update, canvas, texts, first layout. `ui` must
    // outlive the view.
    bool Create(HWND parent, const RECT& rect, UINT id, const ConsoleUi* ui, int osGeneration);

    void BuildCanvas();
    void LoadRowTexts();
    void LayoutRows();
    void SetOSGeneration(int osGeneration) { osGeneration_ = osGeneration; }
    // Starts the rows afresh from a diagnosis's problem records. Records whose code is not a
    // problem code (1-35) have no row and are left out.
    void LoadProblems(const fw::CArray<DiagTask>& problems);
    // Runs the repair export of `code` on the row's record; its answer, 0 when it could not run.
    uint8_t RunRepair(int code);

    bool RowPresent(int code) const { return ValidCode(code) && rowPresent_[code]; }
    int RowState(int code) const { return ValidCode(code) ? repairState_[code] : -1; }
    int ContentHeight() const { return contentHeight_; }
    // The record a row repairs (the view's own copy), nullptr without one.
    const DiagTask* RowProblem(int code) const;
    bool ClockRunning() const { return clock_.animating; }

  protected:
    void OnInitialUpdate() override;
    void OnDraw(HDC dc) override;
    bool OnEraseBkgnd(HDC dc) override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    void OnTimer(UINT_PTR id) override;
    void OnScrolled(POINT previous) override;

  private:
    static bool ValidCode(int code) { return code >= 1 && code <= kProblemCodes; }
    void ClearRows();
    void CreateRowButtons();
    // Draws every present row from the top; the height they took.
    int DrawRows();
    void PlaceButtons();
    void StartClock(DWORD waitMs);
    void StopClock();

    const ConsoleUi* ui_ = nullptr;
    CYWaitingClock clock_;
    DiagCanvas canvas_;
    int contentHeight_ = kMinHeight;
    int minHeight_ = kMinHeight;
    // Index 0 unused: row r is problem code r.
    wchar_t title_[kProblemCodes + 1][kTextChars] = {};
    wchar_t solution_[kProblemCodes + 1][kTextChars] = {};
    wchar_t fixedText_[kProblemCodes + 1][kTextChars] = {};
    wchar_t notFixedText_[kProblemCodes + 1][kTextChars] = {};
    int rowPresent_[kProblemCodes + 1] = {};
    int repairState_[kProblemCodes + 1] = {};
    int rowProblem_[kProblemCodes + 1] = {};
    int buttonTop_[kProblemCodes + 1] = {}; // on the canvas, while the row offers its button
    CYBitmapBtn rowButtons_[kProblemCodes + 1];
    fw::CArray<DiagTask> problemList_;
    int osGeneration_ = 0;
};
