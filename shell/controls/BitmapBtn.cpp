#include "shell/controls/BitmapBtn.h"

#include "framework/Gdi.h"
#include "framework/List.h"
#include "shell/OsVersion.h"

namespace {

constexpr UINT kStripBitmap = 177;

int lastButtonState = 0;

HBITMAP LoadBitmapResource(UINT id)
{
    return static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                           IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
}

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP info = {};
    if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info))
        return {0, 0};
    return {info.bmWidth, info.bmHeight};
}

// Copies the band of `source` starting at row `top` into a bitmap of its own.
HBITMAP CutBand(HDC screen, HBITMAP source, int top, int width, int height)
{
    fw::MemoryDC from(screen);
    fw::MemoryDC to(screen);
    HBITMAP band = CreateCompatibleBitmap(screen, width, height);
    if (!band || !from.IsValid() || !to.IsValid())
        return band;
    fw::SelectGuard selectSource(from.get(), source);
    fw::SelectGuard selectBand(to.get(), band);
    BitBlt(to.get(), 0, 0, width, height, from.get(), 0, top, SRCCOPY);
    return band;
}

// The strip's three faces, cut once for every button that shows them (the result view alone
// has 35): a button only selects its face for the moment it draws, so they can share. They
// live as long as the program.
struct StripFaces {
    fw::UniqueBitmap bands[3];
    int width = 0;
    int height = 0;
};

const StripFaces& SharedStripFaces()
{
    static StripFaces faces;
    if (faces.width)
        return faces;
    fw::UniqueBitmap strip(LoadBitmapResource(kStripBitmap));
    const SIZE size = BitmapSize(strip.get());
    const int faceHeight = size.cy / 3;
    fw::WindowDC screen(nullptr);
    for (int b = 0; b < 3; ++b)
        faces.bands[b].reset(CutBand(screen.get(), strip.get(), b * faceHeight, size.cx, faceHeight));
    faces.width = size.cx;
    faces.height = faceHeight;
    return faces;
}

// "Segoe UI" from Vista on, "Tahoma" on XP, the system's choice before.
const wchar_t* ButtonFontFace()
{
    const DWORD major = WindowsMajorVersion();
    if (major >= 6)
        return L"Segoe UI";
    return major == 5 ? L"Tahoma" : L"";
}

// The caption fonts, made once per kind and shared by every button that asks for that kind:
// the pages use a handful of kinds over dozens of buttons. They live as long as the program.
HFONT CaptionFont(int height, int weight, bool underline)
{
    struct Kind {
        int height;
        int weight;
        bool underline;
        fw::UniqueFont font;
    };
    static fw::CList<Kind> kinds;
    for (const Kind& kind : kinds) {
        if (kind.height == height && kind.weight == weight && kind.underline == underline)
            return kind.font.get();
    }
    HFONT font = CreateFontW(height, 0, 0, 0, weight, FALSE, underline, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             VARIABLE_PITCH | FF_SWISS, ButtonFontFace());
    if (font)
        kinds.AddTail({height, weight, underline, fw::UniqueFont(font)});
    return font;
}

} // namespace

void CYBitmapBtn::SetFaceImages(UINT face1, UINT face2, UINT face3, UINT face4, UINT face5,
                                UINT face6)
{
    if (facesLoaded_)
        return;
    const UINT ids[6] = {face1, face2, face3, face4, face5, face6};
    for (int i = 0; i < 6; ++i) {
        int first = 0;
        while (ids[first] != ids[i])
            ++first;
        if (first == i) {
            pictures_[i].reset(LoadBitmapResource(ids[i]));
            faces_[i] = pictures_[i].get();
        } else {
            faces_[i] = faces_[first];
        }
    }
    const SIZE size = BitmapSize(faces_[0]);
    width_ = size.cx;
    height_ = size.cy;
    cursor_ = LoadCursorW(nullptr, IDC_HAND);
    facesLoaded_ = true;
}

void CYBitmapBtn::SetFaceStrip()
{
    if (facesLoaded_)
        return;
    // The strip holds T, M, B from the top; faces 1-6 are T, B, M, M, T, T.
    const StripFaces& strip = SharedStripFaces();
    const int band[6] = {0, 2, 1, 1, 0, 0};
    for (int i = 0; i < 6; ++i)
        faces_[i] = strip.bands[band[i]].get();
    width_ = strip.width;
    height_ = strip.height;
    cursor_ = LoadCursorW(nullptr, IDC_HAND);
    facesLoaded_ = true;
}

void CYBitmapBtn::SetCaption(const wchar_t* text, int weight, int left, int width, int bottom,
                             int height, UINT format, bool underlineOnHover,
                             bool underlineOnSelected)
{
    if (!text)
        return;
    caption_ = text;
    // Also the window's text, for screen readers and for anyone looking for the button by name.
    if (m_hWnd)
        ::SetWindowTextW(m_hWnd, text);
    textRect_ = {left, 0, left + width, bottom};
    textFormat_ = format;
    font_ = CaptionFont(height, weight, false);
    underlinedFont_ =
        underlineOnHover || underlineOnSelected ? CaptionFont(height, weight, true) : nullptr;
    if (caption_.Find(L'\r') >= 0)
        textFormat_ &= ~static_cast<UINT>(DT_SINGLELINE);
    if (!facesLoaded_) {
        fw::WindowDC dc(m_hWnd);
        RECT measured = {0, 0, width, bottom};
        if (dc.get()) {
            fw::SelectGuard select(dc.get(), font_);
            DrawTextW(dc.get(), caption_.c_str(), -1, &measured, textFormat_ | DT_CALCRECT);
        }
        width_ = measured.right - measured.left + 10;
        height_ = measured.bottom - measured.top + 4;
    }
    captionSet_ = true;
    underlineOnHover_ = underlineOnHover;
    underlineOnSelected_ = underlineOnSelected;
}

int CYBitmapBtn::FaceIndex() const
{
    switch (state_) {
    case kPressed:
        return 1;
    case kState3:
        return 4;
    case kHover:
        return 2;
    case kState5:
        return 3;
    case kSelected:
        return 5;
    default:
        return 0;
    }
}

bool CYBitmapBtn::Underlined() const
{
    switch (state_) {
    case kPressed:
    case kHover:
    case kState5:
        return underlineOnHover_;
    case kSelected:
        return underlineOnSelected_;
    default:
        return false;
    }
}

void CYBitmapBtn::Redraw()
{
    if (!m_hWnd || (!facesLoaded_ && !captionSet_))
        return;
    fw::WindowDC dc(m_hWnd);
    if (!dc.get())
        return;
    HBITMAP face = facesLoaded_ ? faces_[FaceIndex()] : nullptr;
    if (!captionSet_) {
        fw::MemoryDC faceDc(dc.get());
        fw::SelectGuard selectFace(faceDc.get(), face);
        BitBlt(dc.get(), 0, 0, width_, height_, faceDc.get(), 0, 0, SRCCOPY);
        return;
    }

    // Face and caption are composed off screen and copied once, so nothing flickers.
    const RECT whole = {0, 0, width_, height_};
    fw::DoubleBuffer buffer(dc.get(), whole);
    HDC canvas = buffer.get();
    if (face) {
        fw::MemoryDC faceDc(dc.get());
        fw::SelectGuard selectFace(faceDc.get(), face);
        BitBlt(canvas, 0, 0, width_, height_, faceDc.get(), 0, 0, SRCCOPY);
    } else {
        fw::UniquePen pen(CreatePen(PS_SOLID, 1, frameColour));
        fw::UniqueBrush brush(CreateSolidBrush(fillColour));
        fw::SelectGuard selectPen(canvas, pen.get());
        fw::SelectGuard selectBrush(canvas, brush.get());
        Rectangle(canvas, 0, 0, width_, height_);
    }

    HFONT font = Underlined() && underlinedFont_ ? underlinedFont_ : font_;
    fw::SelectGuard selectFont(canvas, font);
    COLORREF colour = normalColour;
    RECT text = textRect_;
    switch (state_) {
    case kPressed:
        colour = hoverColour;
        OffsetRect(&text, 1, 1);
        break;
    case kHover:
    case kState5:
        colour = hoverColour;
        break;
    case kState3:
        colour = state3Colour;
        break;
    case kSelected:
        colour = selectedColour;
        break;
    default:
        break;
    }
    SetTextColor(canvas, colour);
    SetBkMode(canvas, TRANSPARENT);
    DrawTextW(canvas, caption_.c_str(), -1, &text, textFormat_);
    buffer.Flush();
}

void CYBitmapBtn::OnMouseMove(POINT point)
{
    const RECT client = GetClientRect();
    if (!PtInRect(&client, point)) {
        if (GetCapture() == m_hWnd)
            ReleaseCapture();
    } else if (GetCapture() != m_hWnd) {
        SetCapture(m_hWnd);
    }
    if (state_ == kNormal || state_ == kState5) {
        state_ = kHover;
        Redraw();
        TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hWnd, 0};
        TrackMouseEvent(&track);
    }
}

LRESULT CYBitmapBtn::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_MOUSEMOVE:
        OnMouseMove({static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
        break;
    case WM_LBUTTONDOWN:
        if (state_ == kHover) {
            state_ = kPressed;
            Redraw();
        }
        break;
    case WM_LBUTTONUP:
        if (state_ == kPressed) {
            state_ = kNormal;
            Redraw();
        }
        break;
    case WM_MOUSELEAVE:
        if (state_ == kHover || state_ == kPressed) {
            state_ = kNormal;
            Redraw();
        }
        break;
    case WM_SETCURSOR:
        if (cursor_) {
            SetCursor(cursor_);
            return TRUE;
        }
        break;
    default:
        break;
    }
    return fw::CWnd::WindowProc(msg, wp, lp);
}

bool CYBitmapBtn::OnDrawItem(DRAWITEMSTRUCT*)
{
    Redraw();
    return true;
}

void SelectInGroup(CYBitmapBtn* const* group, int count, const CYBitmapBtn* selected)
{
    for (int i = 0; i < count; ++i) {
        CYBitmapBtn* button = group[i];
        if (button == selected) {
            lastButtonState = button->GetState();
            button->SetState(CYBitmapBtn::kSelected);
            button->Redraw();
            button->EnableWindow(false);
        } else {
            button->SetState(lastButtonState ? lastButtonState : CYBitmapBtn::kNormal);
            button->Redraw();
            button->EnableWindow(true);
        }
    }
}

void ResetGroup(CYBitmapBtn* const* group, int count)
{
    for (int i = 0; i < count; ++i) {
        group[i]->SetState(lastButtonState ? lastButtonState : CYBitmapBtn::kNormal);
        group[i]->Redraw();
        group[i]->EnableWindow(true);
    }
}

int LastButtonState()
{
    return lastButtonState;
}
void ResetLastButtonState()
{
    lastButtonState = 0;
}
