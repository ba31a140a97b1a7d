// Where windows go on the screen, as pure arithmetic on rectangles in device pixels.
#pragma once

struct ScreenRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

struct ScreenPoint {
    int x = 0;
    int y = 0;
};

// The top-left corner of a window of width x height centred over owner and moved inside the work
// area. A window larger than the work area keeps its top-left corner inside it (its title bar and
// close box stay reachable).
ScreenPoint CentredOver(const ScreenRect& owner, int width, int height, const ScreenRect& workArea);
