// Paints one frame of a project: its scene's discs over the background and
// its text lines, into any device context.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ProjectFile.h"

class SceneRenderer {
public:
    SceneRenderer() = default;
    SceneRenderer(const SceneRenderer&) = delete;
    SceneRenderer& operator=(const SceneRenderer&) = delete;
    ~SceneRenderer();

    void Draw(HDC dc, int width, int height, const project::Project& project, double seconds,
              const std::vector<std::string>& textLines);

private:
    HFONT FontFor(int height);

    HFONT font_ = nullptr;
    int fontHeight_ = 0;
};
