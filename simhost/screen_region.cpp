#include "simhost/screen_region.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include "simhost/host_terminal.h"

namespace bc::sim {

namespace {

// Lines left for the rest of the screen, at the least.
constexpr int kRowsAbove = 3;

std::string at(int row, int column) { return "\033[" + std::to_string(row) + ";" + std::to_string(column) + "H"; }

void writeAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n <= 0) return;
        done += size_t(n);
    }
}

}  // namespace

bool ScreenRegion::readSize() {
    winsize w{};
    if (ioctl(fd_, TIOCGWINSZ, &w) != 0) return false;
    const bool changed = w.ws_row != rows_ || w.ws_col != cols_;
    rows_ = w.ws_row;
    cols_ = w.ws_col;
    return changed;
}

bool ScreenRegion::fits() {
    readSize();
    return rows_ >= height_ + kRowsAbove && cols_ >= width_;
}

// At the start, line ends below the cursor make room for the picture
// (scrolling the screen up where the cursor is near its bottom), and the
// cursor goes back up to where it was: "save the cursor, set the region
// (which sends it home), restore it" keeps it there. After a change of
// size, where the cursor stands is not known: it goes to a new line at the
// bottom of the region, below anything written before.
void ScreenRegion::setRegion(bool again) {
    const int above = rows_ - height_;
    std::string out;
    if (!again) out = std::string(size_t(height_), '\n') + "\033[" + std::to_string(height_) + "A";
    out += "\0337\033[1;" + std::to_string(above) + "r\0338";
    if (again) out += at(above, 1) + "\n";
    // Given back: the whole screen scrolls again, and the cursor goes to a
    // new line below the picture.
    noteScrollRegion(fd_, rows_);
    writeAll(fd_, out);
    set_ = true;
    drawn_.clear();
}

void ScreenRegion::draw(const std::vector<std::string>& lines) {
    const bool resized = readSize();
    if (rows_ < height_ + kRowsAbove || cols_ < width_) {
        close();
        return;
    }
    if (!set_ || resized) setRegion(set_);
    if (lines == drawn_) return;
    drawn_ = lines;
    std::string out = "\0337";
    for (size_t i = 0; i < lines.size() && int(i) < height_; ++i)
        out += at(rows_ - height_ + 1 + int(i), 1) + lines[i].substr(0, size_t(width_)) + "\033[K";
    out += "\0338";
    writeAll(fd_, out);
}

void ScreenRegion::close() {
    if (!set_) return;
    set_ = false;
    resetScrollRegion();
}

}  // namespace bc::sim
