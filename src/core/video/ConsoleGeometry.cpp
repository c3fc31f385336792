#include "video/ConsoleGeometry.h"

#include <algorithm>
#include <utility>

namespace vantelsor {

namespace {

// One axis of the geometry update: [start, end) of the picture rectangle, which comes in
// as the client area's extent.
void FitAxis(int clientSize, int pictureSize, int& scroll, int& start, int& end) {
    if (clientSize > pictureSize) {
        scroll = 0;
        start = (clientSize - pictureSize) / 2;
        end = start + pictureSize;
    } else if (clientSize > pictureSize - scroll) {
        scroll = pictureSize - clientSize;
    }
}

// One axis of the pointer mapping.
int TargetCoordinate(int p, int clientSize, int pictureSize, int pictureStart, int scroll) {
    // A centred picture starts inside the window; a larger one is shown from `scroll`.
    return clientSize > pictureSize ? p - pictureStart : p + scroll;
}

}  // namespace

bool ApplyPictureSize(PictureLayout& layout, int width, int height) {
    const Rect old = layout.pictureRect;
    layout.pictureRect = layout.clientRect;
    layout.pictureWidth = width;
    layout.pictureHeight = height;
    Rect& r = layout.pictureRect;
    FitAxis(layout.clientRect.width(), width, layout.scrollX, r.left, r.right);
    FitAxis(layout.clientRect.height(), height, layout.scrollY, r.top, r.bottom);
    return !(r == old);
}

Rect NormalisedClientRect(int left, int top, int right, int bottom) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    return {left, top, right, bottom};
}

bool OverPicture(const PictureLayout& layout, int x, int y) {
    const Rect& r = layout.pictureRect;
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

TargetPoint TargetPosition(const PictureLayout& layout, int x, int y) {
    const Rect& c = layout.clientRect;
    const Rect& r = layout.pictureRect;
    return {TargetCoordinate(x, c.width(), layout.pictureWidth, r.left, layout.scrollX),
            TargetCoordinate(y, c.height(), layout.pictureHeight, r.top, layout.scrollY)};
}

ScrollBarRange ScrollBarFor(int pictureSize, int clientSize) {
    if (pictureSize < clientSize) return {};
    return {pictureSize - 1, clientSize};
}

int ScrollPosition(ScrollCode code, int current, int thumb, int clientSize, int pictureSize) {
    const int limit = pictureSize - clientSize;
    int p = current;
    switch (code) {
        case ScrollCode::kLineBack:
            p = current - kScrollLinePixels;
            break;
        case ScrollCode::kLineForward:
            p = current + kScrollLinePixels;
            break;
        case ScrollCode::kPageBack:
            p = current - clientSize;
            break;
        case ScrollCode::kPageForward:
            p = current + clientSize;
            break;
        case ScrollCode::kThumbTrack:
            p = thumb;
            break;
        case ScrollCode::kToStart:
            p = 0;
            break;
        case ScrollCode::kToEnd:
            p = limit;
            break;
        case ScrollCode::kOther:
            break;
    }
    if (std::min(p, limit) < 0) return 0;
    return std::min(p, limit);
}

}  // namespace vantelsor
