#include "shell/controls/WaitingClock.h"

#include "framework/Gdi.h"

bool CYWaitingClock::Create(HWND parent)
{
    const RECT empty = {0, 0, 0, 0};
    return CreateEx(0, L"HLM.WaitingClock", L"Clock", WS_CHILD, empty, parent, 123);
}

void CYWaitingClock::LoadFrames()
{
    if (framesLoaded_)
        return;
    fw::UniqueBitmap strip(static_cast<HBITMAP>(LoadImageW(
        GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kFramesBitmap), IMAGE_BITMAP, 0, 0, 0)));
    BITMAP info = {};
    if (!strip || !GetObjectW(strip.get(), sizeof(info), &info))
        return;
    frameWidth_ = info.bmWidth;
    frameHeight_ = info.bmHeight / kFrameCount;
    fw::WindowDC screen(nullptr);
    fw::MemoryDC from(screen.get());
    fw::MemoryDC to(screen.get());
    fw::SelectGuard selectStrip(from.get(), strip.get());
    for (int i = 0; i < kFrameCount; ++i) {
        frames_[i].reset(CreateCompatibleBitmap(screen.get(), frameWidth_, frameHeight_));
        fw::SelectGuard selectFrame(to.get(), frames_[i].get());
        BitBlt(to.get(), 0, 0, frameWidth_, frameHeight_, from.get(), 0, i * frameHeight_, SRCCOPY);
    }
    background_.reset(CreateCompatibleBitmap(screen.get(), frameWidth_, frameHeight_));
    framesLoaded_ = true;
}

void CYWaitingClock::DrawFrame(HDC target, int atX, int atY)
{
    if (!framesLoaded_ || !target)
        return;
    if (frameIndex < 0 || frameIndex >= kFrameCount)
        frameIndex = 0;
    // Background, then the frame blended over it at the clock's constant alpha, then one copy.
    const RECT area = {atX, atY, atX + frameWidth_, atY + frameHeight_};
    fw::DoubleBuffer buffer(target, area);
    fw::MemoryDC source(target);
    {
        fw::SelectGuard select(source.get(), background_.get());
        BitBlt(buffer.get(), atX, atY, frameWidth_, frameHeight_, source.get(), 0, 0, SRCCOPY);
    }
    fw::SelectGuard select(source.get(), frames_[frameIndex].get());
    const BLENDFUNCTION blend = {AC_SRC_OVER, 0, alpha, 0};
    AlphaBlend(buffer.get(), atX, atY, frameWidth_, frameHeight_, source.get(), 0, 0, frameWidth_,
               frameHeight_, blend);
    buffer.Flush();
}

void CYWaitingClock::ShowAt()
{
    if (!framesLoaded_)
        return;
    fw::WindowDC parent(GetParent());
    fw::MemoryDC saved(parent.get());
    {
        fw::SelectGuard select(saved.get(), background_.get());
        BitBlt(saved.get(), 0, 0, frameWidth_, frameHeight_, parent.get(), x, y, SRCCOPY);
    }
    DrawFrame(parent.get(), x, y);
}

void CYWaitingClock::RestoreBackground()
{
    if (!framesLoaded_)
        return;
    fw::WindowDC parent(GetParent());
    fw::MemoryDC saved(parent.get());
    fw::SelectGuard select(saved.get(), background_.get());
    BitBlt(parent.get(), x, y, frameWidth_, frameHeight_, saved.get(), 0, 0, SRCCOPY);
}

void CYWaitingClock::ShowAt(HDC dc, POINT centre)
{
    if (!framesLoaded_ || !animating || !dc)
        return;
    const int left = centre.x - frameWidth_ / 2;
    const int top = centre.y - frameHeight_ / 2;
    fw::MemoryDC saved(dc);
    {
        fw::SelectGuard select(saved.get(), background_.get());
        BitBlt(saved.get(), 0, 0, frameWidth_, frameHeight_, dc, left, top, SRCCOPY);
    }
    DrawFrame(dc, left, top);
}

void CYWaitingClock::RestoreBackground(HDC dc, POINT centre)
{
    if (!framesLoaded_ || !animating || !dc)
        return;
    fw::MemoryDC saved(dc);
    fw::SelectGuard select(saved.get(), background_.get());
    BitBlt(dc, centre.x - frameWidth_ / 2, centre.y - frameHeight_ / 2, frameWidth_, frameHeight_,
           saved.get(), 0, 0, SRCCOPY);
}

void CYWaitingClock::NextFrame()
{
    frameIndex = (frameIndex + 1) % kFrameCount;
    if (!framesLoaded_)
        return;
    fw::WindowDC parent(GetParent());
    DrawFrame(parent.get(), x, y);
}

void CYWaitingClock::OnTimer(UINT_PTR id)
{
    if (id == kTimerId)
        NextFrame();
}
