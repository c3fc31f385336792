// Where the target's pointer should go for a point of the console window: a
// pixel of the target's screen, from the picture's place in the window (centred
// when the window is larger, scrolled when it is smaller). Pure functions.
#pragma once

namespace vantelsor {

struct PictureGeometry {
    int pictureLeft = 0;  // the picture rectangle's left and top, client coordinates
    int pictureTop = 0;
    int clientWidth = 0;
    int clientHeight = 0;
    int pictureWidth = 0;
    int pictureHeight = 0;
    int scrollX = 0;  // picture pixel at the window's left and top edge when scrolled
    int scrollY = 0;
};

struct TargetPoint {
    int x = 0;
    int y = 0;
};

inline int TargetCoordinate(int p, int pictureStart, int clientSize, int pictureSize, int scroll) {
    // A centred picture starts inside the window; a larger one is shown from `scroll`.
    return clientSize > pictureSize ? p - pictureStart : p + scroll;
}

inline TargetPoint TargetPosition(int x, int y, const PictureGeometry& g) {
    return {TargetCoordinate(x, g.pictureLeft, g.clientWidth, g.pictureWidth, g.scrollX),
            TargetCoordinate(y, g.pictureTop, g.clientHeight, g.pictureHeight, g.scrollY)};
}

}  // namespace vantelsor
