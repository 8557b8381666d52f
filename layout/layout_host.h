#pragma once
// What the layout commands need from the main window beyond the view: the
// summary memo, the progress bar and the "&View Drawing" menu item.
#include <string>

#include "editor/view_host.h"

namespace plk {

class LayoutHost : public ViewHost {
public:
    // Memo1: the summary lines.
    virtual void memo_clear() = 0;
    virtual void memo_add(const std::string& line) = 0;
    virtual void show_memo(bool visible) = 0;
    // progress1: range 0..100.
    virtual int progress() const = 0;
    virtual void set_progress(int position) = 0;
    virtual void show_progress(bool visible) = 0;
    // The "&View Drawing" menu item.
    virtual void enable_view_drawing(bool enabled) = 0;
};

}  // namespace plk
