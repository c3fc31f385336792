// Where the console picture sits in the window: 1:1, centred on an axis where the
// window is larger than the picture, scrolled on an axis where it is smaller.
// Pure functions over plain values; ConsoleVideo keeps the state and its lock.
#pragma once

namespace vantelsor {

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool operator==(const Rect&) const = default;
};

struct PictureLayout {
    Rect pictureRect;  // where the picture is drawn, client coordinates
    Rect clientRect;   // the client area at the last scroll-bar update
    int scrollX = 0;   // picture pixel shown at the window's left edge
    int scrollY = 0;   // ... and top edge
    int pictureWidth = 0;
    int pictureHeight = 0;
};

// The geometry update for a decoded picture of width x height: centres it on each axis
// where the client area is larger; elsewhere the picture fills the client area and the
// scroll offset is pulled back so that the window never shows past the picture's far
// edge. Returns true when the picture rectangle moved or changed size, i.e. the window
// must be erased and its scroll bars updated.
bool ApplyPictureSize(PictureLayout& layout, int width, int height);

// The client rectangle as the window reports it, with reversed edges put in order.
Rect NormalisedClientRect(int left, int top, int right, int bottom);

// Where the operator points: a pixel of the target's screen.
struct TargetPoint {
    int x = 0;
    int y = 0;
    bool operator==(const TargetPoint&) const = default;
};

// True when the window point (x, y) (client coordinates) lies on the picture:
// inside pictureRect, its right and bottom edges excluded.
bool OverPicture(const PictureLayout& layout, int x, int y);

// The target pixel under the window point (x, y): on an axis where the client
// area is larger than the picture (centred) the point less the picture's start,
// elsewhere the point plus the scroll offset. Meant for points OverPicture.
TargetPoint TargetPosition(const PictureLayout& layout, int x, int y);

// One scroll bar: range 0..maximum with a page; maximum and page 0 hide the bar.
struct ScrollBarRange {
    int maximum = 0;
    int page = 0;
    bool operator==(const ScrollBarRange&) const = default;
};
ScrollBarRange ScrollBarFor(int pictureSize, int clientSize);

enum class ScrollCode {
    kLineBack,     // arrow towards the start: 10 pixels
    kLineForward,  // arrow towards the end: 10 pixels
    kPageBack,     // a client area's worth
    kPageForward,
    kThumbTrack,  // dragging: the thumb's position
    kToStart,
    kToEnd,
    kOther,  // thumb released, scrolling ended: stays
};
inline constexpr int kScrollLinePixels = 10;

// The new scroll offset on one axis, clamped to 0 .. pictureSize - clientSize (0 when
// the picture is not larger than the client area).
int ScrollPosition(ScrollCode code, int current, int thumb, int clientSize, int pictureSize);

}  // namespace vantelsor
