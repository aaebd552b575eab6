// GNOME Shell 43 and 44 (legacy extension style): offers on the session bus,
// under the Shell's own name org.gnome.Shell, the process ID and WM class of
// the focused window at /org/quorix/MouseForeground, and signals Changed on
// every focus change. quorix-mouse's foreground source subscribes to it.
// Shell 45 and later load data/gnome-shell/45/extension.js instead.
'use strict';

const {Gio, GLib} = imports.gi;

const kInterface = `<node><interface name="org.quorix.MouseForeground">
  <method name="Get"><arg type="u" name="pid" direction="out"/><arg type="s" name="wmClass" direction="out"/></method>
  <signal name="Changed"><arg type="u" name="pid"/><arg type="s" name="wmClass"/></signal>
</interface></node>`;

class ForegroundReporter {
  enable() {
    this._object = Gio.DBusExportedObject.wrapJSObject(kInterface, this);
    this._object.export(Gio.DBus.session, '/org/quorix/MouseForeground');
    this._focusId = global.display.connect('notify::focus-window', () =>
      this._object.emit_signal('Changed', new GLib.Variant('(us)', this.Get())));
  }

  disable() {
    global.display.disconnect(this._focusId);
    this._object.unexport();
    this._object = null;
  }

  // A window without a known process reports 0.
  Get() {
    const window = global.display.focus_window;
    if (!window) return [0, ''];
    return [Math.max(window.get_pid(), 0), window.get_wm_class() ?? ''];
  }
}

function init() {
  return new ForegroundReporter();
}
