#pragma once
// What the editor and the layout commands need from the window that shows the
// design. The main window implements it; tests fake it.
#include <string>

#include "platform/bitmap.h"

namespace plk {

class ViewHost {
public:
    virtual ~ViewHost() = default;

    // The panel's surface (the panel's "window device context" draws here).
    // Its size is the panel's client size.
    virtual Bitmap& panel_surface() = 0;
    // The panel must show its surface again (schedules a widget update).
    virtual void panel_changed() = 0;

    virtual int scroll_x() const = 0;
    virtual int scroll_y() const = 0;
    virtual void set_scroll_max(int x_max, int y_max) = 0;

    // Let pending window messages run.
    virtual void pump_messages() = 0;
    virtual void set_wait_cursor(bool on) = 0;

    // The live dimension label at the top of the panel.
    virtual void show_dimlabel(bool visible) = 0;
    virtual void set_dimlabel_text(const std::string& text) = 0;
    // The "&Layout" menu item.
    virtual void enable_layout(bool enabled) = 0;
    virtual void set_status_text(const std::string& text) = 0;
};

}  // namespace plk
