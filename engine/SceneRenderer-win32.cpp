// Paints a project's frame with GDI (see SceneRenderer.h).
#include "SceneRenderer.h"

#include <algorithm>

#include "SceneMotion.h"

namespace {

COLORREF ToColorRef(const project::Colour& colour)
{
    return RGB(colour.red, colour.green, colour.blue);
}

COLORREF Blend(const project::Colour& from, const project::Colour& to, double strength)
{
    auto mix = [strength](uint8_t a, uint8_t b) {
        return static_cast<BYTE>(a + (static_cast<int>(b) - a) * strength);
    };
    return RGB(mix(from.red, to.red), mix(from.green, to.green), mix(from.blue, to.blue));
}

}  // namespace

SceneRenderer::~SceneRenderer()
{
    if (font_) DeleteObject(font_);
}

// Text scales with the window, so a small preview stays readable.
HFONT SceneRenderer::FontFor(int height)
{
    int wanted = std::max(10, height / 28);
    if (font_ && wanted == fontHeight_) return font_;
    if (font_) DeleteObject(font_);
    font_ = CreateFontA(-wanted, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                        DEFAULT_PITCH | FF_SWISS, "Arial");
    fontHeight_ = wanted;
    return font_;
}

void SceneRenderer::Draw(HDC dc, int width, int height, const project::Project& project,
                         double seconds, const std::vector<std::string>& textLines)
{
    RECT all = {0, 0, width, height};
    SetDCBrushColor(dc, ToColorRef(project.background));
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));

    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(DC_BRUSH));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
    for (const scene::Disc& disc :
         scene::SceneDiscs(project.scene, seconds, project.speed, width, height)) {
        SetDCBrushColor(dc, Blend(project.background, project.foreground, disc.strength));
        Ellipse(dc, disc.centreX - disc.radius, disc.centreY - disc.radius,
                disc.centreX + disc.radius + 1, disc.centreY + disc.radius + 1);
    }
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);

    HGDIOBJ oldFont = SelectObject(dc, FontFor(height));
    // Text on the background colour, so a disc passing under it never hides it.
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, ToColorRef(project.background));
    SetTextColor(dc, ToColorRef(project.foreground));
    int lineHeight = fontHeight_ + fontHeight_ / 3;
    int y = lineHeight / 2;
    for (const std::string& line : textLines) {
        TextOutA(dc, lineHeight / 2, y, line.c_str(), static_cast<int>(line.size()));
        y += lineHeight;
    }
    SelectObject(dc, oldFont);
}
