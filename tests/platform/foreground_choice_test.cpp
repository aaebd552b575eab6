#include "platform/linux/foreground_choice.h"
#include "platform/linux/pointer_choice.h"

#include <gtest/gtest.h>

#include "platform/linux/gnome_foreground_source.h"
#include "platform/linux/x11_foreground_source.h"
#include "support/xvfb_session.h"

namespace quorix {
namespace {

TEST(ForegroundChoice, CandidatesFollowTheSession) {
  using Names = std::vector<std::string>;
  const struct {
    const char* name;
    DesktopEnvironment env;
    Names candidates;
  } cases[] = {
      {"X11 desktop", {"XFCE", "", ":0", "", "", "/run/user/1"}, {"x11"}},
      {"X11 with a stale sway socket", {"", "", ":0", "/run/sway.sock", "", ""}, {"x11"}},
      {"nothing at all", {}, {"x11"}},
      {"sway", {"sway", "wayland-1", ":0", "/run/sway.sock", "", ""}, {"sway", "wlr-toplevel", "x11"}},
      {"sway without XWayland", {"sway", "wayland-1", "", "/run/sway.sock", "", ""}, {"sway", "wlr-toplevel", "x11"}},
      {"Hyprland", {"Hyprland", "wayland-1", ":1", "", "abc_123", "/run/user/1"}, {"hyprland", "wlr-toplevel", "x11"}},
      {"KDE Plasma", {"KDE", "wayland-0", ":1", "", "", ""}, {"kwin", "wlr-toplevel", "x11"}},
      {"GNOME as Ubuntu names it", {"ubuntu:GNOME", "wayland-0", ":0", "", "", ""}, {"gnome", "wlr-toplevel", "x11"}},
      {"GNOME on X11", {"GNOME", "", ":0", "", "", ""}, {"x11"}},
      {"labwc, wayfire, river", {"wlroots", "wayland-0", "", "", "", ""}, {"wlr-toplevel", "x11"}},
  };
  for (const auto& c : cases) EXPECT_EQ(ForegroundCandidates(c.env), c.candidates) << c.name;
}

TEST(ForegroundChoice, WhenNothingOpensTheReasonIsX11s) {
  DesktopEnvironment env;
  env.waylandDisplay = "quorix-no-such-display";
  env.swaySocket = "/nonexistent/sway.sock";
  const Result<std::unique_ptr<ForegroundSource>> opened = OpenForegroundSource(env);
  ASSERT_FALSE(opened);
  EXPECT_NE(opened.detail().find("DISPLAY is not set"), std::string::npos) << opened.detail();
}

// On Wayland without the desktop's own channel, X11 serves XWayland's
// windows. Where the user can mend that channel (GNOME's extension), the
// source says its reason, which the window shows beside a binding; else X11's
// own limitation stands.
TEST(ForegroundChoice, X11StandsInWithTheReasonOnlyTheUserCanMend) {
  const Result<std::unique_ptr<GnomeForegroundSource>> gnome = GnomeForegroundSource::Open();
  if (gnome) GTEST_SKIP() << "this session's GNOME Shell serves the foreground";
  ASSERT_FALSE(gnome.detail().empty());
  test::XvfbSession session;
  if (!session.Ok()) GTEST_SKIP() << "no X server could be started (Xvfb)";
  const Result<std::unique_ptr<X11ForegroundSource>> x11 = X11ForegroundSource::Open(session.Display().c_str());
  ASSERT_TRUE(x11) << x11.detail();
  const struct {
    const char* desktop;
    std::string limitation;
  } cases[] = {{"ubuntu:GNOME", gnome.detail()}, {"KDE", (*x11)->Limitation()}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.desktop);
    const DesktopEnvironment env{c.desktop, "quorix-no-such-display", session.Display(), "", "", ""};
    const Result<std::unique_ptr<ForegroundSource>> opened = OpenForegroundSource(env);
    ASSERT_TRUE(opened) << opened.detail();
    EXPECT_EQ((*opened)->Limitation(), c.limitation);
    EXPECT_EQ((*opened)->ForegroundWindow(), 0u);  // the X server's answer: nothing is active without a window manager
  }
}

// The pointer is the compositor's wherever there is one: X11's pointer
// control reaches no device from XWayland.
TEST(PointerChoice, CandidatesFollowTheSession) {
  using Names = std::vector<std::string>;
  const struct {
    const char* name;
    DesktopEnvironment env;
    Names candidates;
  } cases[] = {
      {"X11 desktop", {"XFCE", "", ":0", "", "", ""}, {"x11"}},
      {"GNOME on X11", {"GNOME", "", ":0", "", "", ""}, {"x11"}},
      {"sway", {"sway", "wayland-1", ":0", "/run/sway.sock", "", ""}, {"sway"}},
      {"KDE Plasma", {"KDE", "wayland-0", ":1", "", "", ""}, {"kwin"}},
      {"GNOME as Ubuntu names it", {"ubuntu:GNOME", "wayland-0", ":0", "", "", ""}, {"gnome"}},
      {"labwc: no way to reach the pointer", {"labwc", "wayland-0", ":0", "", "", ""}, {}},
      {"nothing at all", {}, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(PointerCandidates(c.env), c.candidates) << c.name;
}

}  // namespace
}  // namespace quorix
