#include "platform/linux/foreground_choice.h"
#include "platform/linux/pointer_choice.h"

#include <gtest/gtest.h>

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
