#pragma once
// The troubleshooting page (template 140): the self-check view with its self-help questions,
// and the diagnosis view with the category tree, [Start], Check Disk and the Windows memory
// diagnostic. A diagnosis runs behind the modal progress popup; the page relays the worker's
// WM_DIAG_NOTIFY messages to it and shows the problems found in the result view.

#include <windows.h>

#include <commctrl.h>

#include "console/DiagCanvas.h"
#include "console/DiagProcessPopup.h"
#include "console/DiagResultView.h"
#include "console/DiagTask.h"
#include "framework/Array.h"
#include "shell/Page.h"
#include "shell/controls/BitmapBtn.h"
#include "shell/controls/TreeCtrlEx.h"

class TaskController;

class CDlgSubSolHelper : public CPage {
  public:
    explicit CDlgSubSolHelper(CHLMMainDlg& mainDialog);
    ~CDlgSubSolHelper() override;

    enum PageState {
        kSelfCheck = 1,
        kDiagnosis = 2,
        kProblemsFound = 3,
        kNoProblems = 4,
    };
    static constexpr int kTopics = 9;

    // 1 the self-check view, 2 the diagnosis view, 3 problems found, 4 no problems.
    int PageState() const { return pageState_; }
    // The self-check view, as the page's own tab command 1020 shows it.
    void ShowSelfCheckView();
    void SetPageState(int state);

    // The message of the hint under "No Action required": the one naming Netaide for English in
    // the United States, Korean and Chinese (PRC); the one without it everywhere else.
    static DWORD NoActionHintMessage(LANGID uiLanguage, GEOID nation);

  protected:
    bool OnInitDialog() override;
    bool OnCommand(WORD id, WORD code, HWND control) override;
    void OnTimer(UINT_PTR id) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    COLORREF StaticTextColour(int controlId) const override;
    void DrawBackground(HDC dc) override;

  private:
    void SetUpTexts();
    void SetUpButtons();
    void LayOutTopics();
    void CreateCategoryTree();
    void SelectTab(int index);
    void StartDiagnosis();
    void OnDiagNotify(WPARAM code, LPARAM lp);
    void StepRow();
    void RunCheckDisk();
    void RunMemoryDiagnostic();
    void OpenSelfHelpTopic(int topic);

    ConsoleUi ui_;
    CDlgPopupDiagProcess progressPopup_;
    CYViewDiagResult resultView_;
    CYBitmapBtn tabs_[2];               // 1020, 1021
    CYBitmapBtn actionButtons_[3];      // 1022 [Start], 1023 Check Disk, 1024 memory diagnostic
    CYBitmapBtn topicButtons_[kTopics]; // in the order 1025-1031, 1042, 1032
    CTreeCtrlEx tree_;
    HIMAGELIST stateImages_ = nullptr;
    HTREEITEM categoryItems_[kDiagCategories] = {};
    int pageState_ = kSelfCheck;
    int osGeneration_ = 0;
    bool topicVisible_[kTopics] = {};
    int modelDmu_ = 0;
    DiagRowList rows_;
    int progressCategory_ = 0;
    int progressRow_ = 0;
    TaskController* controller_ = nullptr;
    fw::CArray<DiagTask> problemList_;
    bool runCancelled_ = false;
};
