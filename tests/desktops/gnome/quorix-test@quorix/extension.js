// The tests' hands on the desktop: GNOME Shell offers no command line to place, raise or
// list windows, so this extension does it over the session bus (org.quorix.TestShell).
/* exported init */
const { Gio, Meta } = imports.gi;
const Main = imports.ui.main;

const kInterface = `
<node>
  <interface name="org.quorix.TestShell">
    <method name="Windows"><arg type="s" direction="out"/></method>
    <method name="Place">
      <arg type="s" direction="in"/>
      <arg type="i" direction="in"/><arg type="i" direction="in"/>
      <arg type="i" direction="in"/><arg type="i" direction="in"/>
      <arg type="b" direction="out"/>
    </method>
    <method name="Raise"><arg type="s" direction="in"/><arg type="b" direction="out"/></method>
    <method name="Minimize"><arg type="s" direction="in"/><arg type="b" direction="out"/></method>
    <method name="StopSharing"><arg type="i" direction="out"/></method>
  </interface>
</node>`;

function windowsTitled(title) {
    return global.get_window_actors().map(a => a.meta_window)
        .filter(w => (w.get_title() || '') === title);
}

class TestShell {
    Windows() {
        const focus = global.display.focus_window;
        // Bottom to top, as the compositor stacks them.
        const windows = global.get_window_actors().map(a => a.meta_window);
        return JSON.stringify(windows.map(w => {
            const r = w.get_frame_rect();
            return {
                title: w.get_title() || '', wmClass: w.get_wm_class() || '',
                x: r.x, y: r.y, width: r.width, height: r.height,
                x11: w.get_client_type() === Meta.WindowClientType.X11,
                minimized: w.minimized, focus: w === focus,
                fullscreen: w.is_fullscreen(), pid: w.get_pid(),
            };
        }));
    }

    Place(title, x, y, width, height) {
        const found = windowsTitled(title);
        for (const w of found) {
            if (w.maximized_horizontally || w.maximized_vertically)
                w.unmaximize(Meta.MaximizeFlags.BOTH);
            if (w.is_fullscreen())
                w.unmake_fullscreen();
            // No size given: the window keeps its own.
            const r = w.get_frame_rect();
            w.move_resize_frame(true, x, y, width > 0 ? width : r.width,
                height > 0 ? height : r.height);
        }
        return found.length > 0;
    }

    Raise(title) {
        const found = windowsTitled(title);
        for (const w of found) {
            w.raise();
            w.activate(global.get_current_time());
        }
        return found.length > 0;
    }

    // What the panel's "Stop Screen Sharing" button does; how many casts it stopped.
    StopSharing() {
        const indicator = Main.panel.statusArea.screenSharing;
        const count = indicator._handles.size;
        indicator._stopSharing();
        return count;
    }

    Minimize(title) {
        const found = windowsTitled(title);
        for (const w of found)
            w.minimize();
        return found.length > 0;
    }
}

class Extension {
    enable() {
        this._object = Gio.DBusExportedObject.wrapJSObject(kInterface, new TestShell());
        this._object.export(Gio.DBus.session, '/org/quorix/TestShell');
        this._name = Gio.DBus.session.own_name('org.quorix.TestShell',
            Gio.BusNameOwnerFlags.NONE, null, null);
    }

    disable() {
        Gio.DBus.session.unown_name(this._name);
        this._object.unexport();
    }
}

function init() {
    return new Extension();
}
