#pragma once
// The self-help popup (template 154): one topic's question as its header and, below it, the
// page that explains the matter, drawn once into an off-screen bitmap and copied at every
// paint. The troubleshooting page opens it modally for the question the user chose.

#include <windows.h>

#include "console/DiagCanvas.h"
#include "framework/Dialog.h"
#include "framework/ScrollView.h"

class CHLMMainDlg;

// The topic's page under the header.
class CYViewSelfDiag : public fw::CScrollView {
  public:
    static constexpr int kPageWidth = 720;
    static constexpr int kCanvasWidth = 715;

    void SetUi(const ConsoleUi* ui) { ui_ = ui; }
    // Once per view: the page size and the off-screen bitmap for `topic`.
    void SetTopic(int topic);
    // Draws the topic's page into the bitmap.
    void DrawTopic();

    int PageHeight() const { return pageHeight_; }
    // The page height of a topic (426 for a number that is not a topic).
    static int PageHeightOf(int topic, bool mcAfeeInstalled);

  protected:
    void OnDraw(HDC dc) override;
    bool OnEraseBkgnd(HDC dc) override;
    void OnDestroy() override;

  private:
    const ConsoleUi* ui_ = nullptr;
    DiagCanvas canvas_;
    int topic_ = -1;
    int pageHeight_ = 0;
};

class CDlgPopupSelfDiagView : public fw::CDialog {
  public:
    static constexpr int kTopics = 10;
    static constexpr int kClientWidth = 720;
    static constexpr int kClientHeight = 480;
    static constexpr int kHeaderHeight = 54;

    CDlgPopupSelfDiagView(CHLMMainDlg& mainDialog, int topic);

    // Runs modally over the main window.
    INT_PTR Run();

    // The message of a topic's header question; 0 for a number that is not a topic.
    static DWORD QuestionMessage(int topic);

  protected:
    bool OnInitDialog() override;
    bool OnEraseBkgnd(HDC dc) override;

  private:
    CHLMMainDlg& main_;
    int topic_;
    ConsoleUi ui_;
    CYViewSelfDiag view_;
};
