// What the page view and the linked-page search run on: a recording window,
// libcurl against a loopback server (already listening, with an error page,
// an empty page and a silent one), the real matching library, a counting
// pump and the controls of a search for "needle", two-second time-out, one
// retry.
#pragma once

#include <gtest/gtest.h>

#include <chrono>

#include "app/controls.h"
#include "app/state.h"
#include "app/transcript.h"
#include "match/dl_matcher.h"
#include "net/curl_fetcher.h"
#include "support/counting_pump.h"
#include "support/http_test_server.h"
#include "support/scratch_dir.h"

namespace quexa::test {

struct PaneSearchTest : ::testing::Test {
  // The buttons a running pane search locks and its end opens again.
  static constexpr Control kLocked[] = {Control::searchConfig, Control::buttonView,
                                        Control::searchSave, Control::searchPrint};

  testing::ScratchDir dir;
  HttpTestServer server;
  NullPump fetcherPump;
  CurlFetcher fetcher{fetcherPump};
  CountingPump pump;
  DlMatcher matcher;
  TranscriptWindow window;
  AppState state;
  MainControls controls;

  PaneSearchTest() {
    state.dataDir = dir.path();
    controls.searchText[0] = "needle";
    controls.settings.timeoutText = "2";
    controls.settings.retryText = "1";
    server.on("/missing",
              HttpTestServer::errorPage(404, "<html><body>404 Not Found</body></html>"));
    server.on("/empty", HttpTestServer::emptyBody());
    server.on("/silent", server.silence(std::chrono::seconds(5)));
    server.start();
  }

  // Checked from the pump: set before the first yield, as Stop and the
  // stop-first guard rely on it.
  void expectBusy() {
    EXPECT_EQ(state.searchRunning, 1);
    EXPECT_EQ(state.paneBusy, 1);
    EXPECT_TRUE(window.isEnabled(Control::searchStop));
    for (Control c : kLocked) EXPECT_FALSE(window.isEnabled(c));
  }

  void expectIdle() {
    EXPECT_EQ(state.searchRunning, 0);
    EXPECT_EQ(state.paneBusy, 0);
    EXPECT_FALSE(window.lampBusy);
    EXPECT_FALSE(window.busyCursor);
    EXPECT_FALSE(window.isEnabled(Control::searchStop));
    for (Control c : kLocked) EXPECT_TRUE(window.isEnabled(c));
    EXPECT_FALSE(dir.exists("page.tmp"));
  }
};

}  // namespace quexa::test
