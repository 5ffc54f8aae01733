// The bottom lines of a terminal's screen kept for a picture that is redrawn
// in place, while whatever else is written to the terminal (a command's
// output on the same screen) scrolls in the lines above it, into the
// terminal's history as usual: the terminal's scroll region (DECSTBM) is set
// to the lines above the picture. Each redraw is one write, so no other
// writer's bytes come between the cursor being taken to the picture and
// put back.
#pragma once

#include <string>
#include <vector>

namespace bc::sim {

class ScreenRegion {
public:
    // fd: a terminal; the picture is `height` lines of at most `width`
    // columns.
    ScreenRegion(int fd, int height, int width) : fd_(fd), height_(height), width_(width) {}
    ~ScreenRegion() { close(); }
    ScreenRegion(const ScreenRegion&) = delete;
    ScreenRegion& operator=(const ScreenRegion&) = delete;

    // Whether the screen has room for the picture and a few lines above it.
    bool fits();

    // Draws the lines (each cut to the picture's width) when they differ
    // from the last drawn, setting the scroll region first when it is not
    // set or the screen's size has changed. A screen too small for the
    // picture is given back whole until it grows.
    void draw(const std::vector<std::string>& lines);

    // Gives the whole screen back, the last picture left standing and the
    // cursor on a new line below it.
    void close();

    // Forgets the region (it was given back elsewhere, for a stop), so that
    // the next draw sets it as at the start.
    void lost() { set_ = false; }

private:
    bool readSize();
    void setRegion(bool again);

    int fd_, height_, width_;
    int rows_ = 0, cols_ = 0;
    bool set_ = false;
    std::vector<std::string> drawn_;
};

}  // namespace bc::sim
