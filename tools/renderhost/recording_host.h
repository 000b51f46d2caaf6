// A host of the display engine that writes every callback as one line of
// text, so that a whole draw can be compared with a small golden file. The
// lines are the same on every build: integers as they come, doubles with
// 17 significant digits.
#pragma once
#include "toolkit/display/display.h"

#include <string>

class RecordingHost {
public:
    // Registers every callback slot with this host's recorders. The drawing's
    // user pointer must be this host (setUserData does that).
    void install();
    void setUserData(AdDrawing* drawing) { adSetDrawingUserData(drawing, this); }

    const std::string& stream() const { return stream_; }
    void clear() { stream_.clear(); }
    void add(const std::string& line) { stream_ += line + '\n'; }
    std::int32_t nextImage() { return ++images_; }

private:
    std::string stream_;
    std::int32_t images_ = 0;
};
