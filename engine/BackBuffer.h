// An off-screen bitmap the frame thread renders into and the window thread
// copies to the screen. Not locked itself: its owner serialises access.
#pragma once

#include <windows.h>

class BackBuffer {
public:
    BackBuffer() = default;
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;
    ~BackBuffer();

    // A device context of width x height to draw the next frame into,
    // remade when the size changed; null when it cannot be made.
    HDC Prepare(int width, int height);
    // Marks the frame drawn into the context as ready to show.
    void MarkDrawn() { drawn_ = true; }
    // Copies the last drawn frame to target; false when none was drawn.
    bool Present(HDC target) const;

private:
    void Release();

    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ originalBitmap_ = nullptr;
    int width_ = 0, height_ = 0;
    bool drawn_ = false;
};
