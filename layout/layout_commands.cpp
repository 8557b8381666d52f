#include "layout/layout_commands.h"

#include <cstring>

#include "editor/view.h"
#include "helperlib/common.h"
#include "layout/layout_run.h"
#include "layout/texture_fill.h"

namespace plk {

namespace {

LayoutRunHooks hooks_for(LayoutHost& host) {
    LayoutRunHooks h;
    h.memo_add = [&host](const std::string& line) { host.memo_add(line); };
    h.show_memo = [&host](bool on) { host.show_memo(on); };
    h.set_progress = [&host](int pos) { host.set_progress(pos); };
    h.show_progress = [&host](bool on) { host.show_progress(on); };
    h.pump_messages = [&host] { host.pump_messages(); };
    h.set_wait_cursor = [&host](bool on) { host.set_wait_cursor(on); };
    return h;
}

// The wait cursor for one scope, put back even when a step fails.
class WaitCursor {
public:
    explicit WaitCursor(LayoutHost& host) : host_(host) { host_.set_wait_cursor(true); }
    ~WaitCursor() { host_.set_wait_cursor(false); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    LayoutHost& host_;
};

void redraw_with_dimensions(DesignState& d, LayoutHost& host) {
    WaitCursor wait(host);
    repaint_view(d, host);
    draw_segment_dimensions(d, host);
    draw_overall_dimensions(d, host);
}

// What both commands do after the layout run: the grid back on the view, the
// texture in the outline, the dimensions over it.
void restore_and_fill(DesignState& d, LayoutHost& host) {
    host.pump_messages();
    show_grid(d, host);
    host.show_dimlabel(false);
    repaint_view(d, host);
    host.pump_messages();
    fillboards(d);
    host.pump_messages();
    redraw_with_dimensions(d, host);
}

}  // namespace

void idm_layout_command(DesignState& d, LayoutHost& host) {
    host.memo_clear();
    d.export_drawing = 0;
    drawlayout(d, hooks_for(host));
    restore_and_fill(d, host);
    host.enable_view_drawing(true);
}

void idm_pricecalc_command(DesignState& d, LayoutHost& host) {
    d.export_drawing = 1;
    // A failing run must not leave the export on for the next one.
    struct ExportOff {
        DesignState& d;
        ~ExportOff() { d.export_drawing = 0; }
    } export_off{d};
    host.memo_clear();
    drawlayout(d, hooks_for(host));
    restore_and_fill(d, host);
    d.export_drawing = 0;

    char command[256];
    std::strncpy(command, "imgview.exe fdraw.gif", sizeof command - 1);
    command[sizeof command - 1] = '\0';
    WinExecAndWait32(command);

    host.pump_messages();
    redraw_with_dimensions(d, host);
    host.pump_messages();
    redraw_with_dimensions(d, host);
}

}  // namespace plk
