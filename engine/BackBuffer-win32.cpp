// The off-screen frame bitmap (see BackBuffer.h).
#include "BackBuffer.h"

BackBuffer::~BackBuffer() { Release(); }

void BackBuffer::Release()
{
    if (dc_) {
        SelectObject(dc_, originalBitmap_);
        DeleteDC(dc_);
    }
    if (bitmap_) DeleteObject(bitmap_);
    dc_ = nullptr;
    bitmap_ = nullptr;
    width_ = height_ = 0;
    drawn_ = false;
}

HDC BackBuffer::Prepare(int width, int height)
{
    if (dc_ && width == width_ && height == height_) return dc_;
    Release();
    if (width <= 0 || height <= 0) return nullptr;
    HDC screen = GetDC(nullptr);
    dc_ = CreateCompatibleDC(screen);
    bitmap_ = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    if (!dc_ || !bitmap_) {
        Release();
        return nullptr;
    }
    originalBitmap_ = SelectObject(dc_, bitmap_);
    width_ = width;
    height_ = height;
    return dc_;
}

bool BackBuffer::Present(HDC target) const
{
    if (!drawn_) return false;
    return BitBlt(target, 0, 0, width_, height_, dc_, 0, 0, SRCCOPY) != FALSE;
}
