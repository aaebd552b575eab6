// GNOME Shell 45 and later (ES module extensions): the same object as
// data/gnome-shell/43/extension.js, which 43 and 44 load, in the form these
// versions require (imports through gi:// and resource://, a default export
// derived from Extension).
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';

const kInterface = `<node><interface name="org.quorix.MouseForeground">
  <method name="Get"><arg type="u" name="pid" direction="out"/><arg type="s" name="wmClass" direction="out"/></method>
  <signal name="Changed"><arg type="u" name="pid"/><arg type="s" name="wmClass"/></signal>
</interface></node>`;

export default class ForegroundReporter extends Extension {
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

  Get() {
    const window = global.display.focus_window;
    if (!window) return [0, ''];
    return [Math.max(window.get_pid(), 0), window.get_wm_class() ?? ''];
  }
}
