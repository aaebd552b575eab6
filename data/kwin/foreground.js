// quorix-mouse's window of KWin (Plasma on Wayland): the program loads this
// script through KWin's scripting interface on the session bus, with its own
// bus name written in place of QUORIX_BUS_NAME, and unloads it when it stops
// switching profiles by application. The script tells the program the
// process ID and window class of every window that becomes active (0 and ""
// for none), and of the active one when it starts. KWin 5.27 names the signal
// clientActivated and the window activeClient; KWin 6 windowActivated and
// activeWindow. The values go as strings, which reach D-Bus the same way on
// both.
const busName = "QUORIX_BUS_NAME";

function report(window) {
  callDBus(busName, "/org/quorix/MouseForeground", "org.quorix.MouseForeground", "Activated",
           window ? String(window.pid) : "0", window ? String(window.resourceClass) : "");
}

if (workspace.windowActivated) {
  workspace.windowActivated.connect(report);
  report(workspace.activeWindow);
} else {
  workspace.clientActivated.connect(report);
  report(workspace.activeClient);
}
