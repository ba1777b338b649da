#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "viewer/framework/application.h"
#include "viewer/framework/frame_window.h"

namespace scrivora {
namespace {

// Commands of this test: kBoth is handled by the pane and the client, kBlocked has a handler
// and an enabler that refuses it, kAppOnly is handled by the application, kNobody by nobody.
constexpr UINT kBoth = 40001, kBlocked = 40002, kAppOnly = 40003, kNobody = 40004;

std::vector<std::string> calls;

class TestPane : public Window {
 public:
  bool Create(HWND parent) {
    return CreateControl(L"EDIT", 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP, parent, 1);
  }
  void CmBoth() { calls.push_back("pane"); }
  void CmBlocked() { calls.push_back("blocked"); }
  void CeBlocked(CommandEnabler& enabler) { enabler.Enable(false); }
  const ResponseTable& Responses() const override {
    static const CommandEntry commands[] = {Cm(kBoth, &TestPane::CmBoth),
                                            Cm(kBlocked, &TestPane::CmBlocked)};
    static const EnablerEntry enablers[] = {Ce(kBlocked, &TestPane::CeBlocked)};
    static const ResponseTable table{&Window::Responses(), {}, commands, enablers};
    return table;
  }
};

class TestClient : public Window {
 public:
  TestPane pane;
  bool Create(HWND parent) {
    return CreateOwn({L"ScrivoraTestClient"}, 0, L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100,
                     parent, nullptr);
  }
  void SetupWindow() override { pane.Create(Handle()); }
  void CmBoth() { calls.push_back("client"); }
  const ResponseTable& Responses() const override {
    static const CommandEntry commands[] = {Cm(kBoth, &TestClient::CmBoth)};
    static const ResponseTable table{&Window::Responses(), {}, commands, {}};
    return table;
  }
};

class TestFrame : public FrameWindow {
 public:
  TestClient client;
  TestFrame() : FrameWindow(L"test frame") { SetClientWindow(&client); }
  void SetupWindow() override {
    client.Create(Handle());
    FrameWindow::SetupWindow();
  }
};

class TestApp : public Application {
 public:
  TestApp() : Application(L"test") {}
  TestFrame& Frame() { return *static_cast<TestFrame*>(MainWindow()); }
  void CmAppOnly() { calls.push_back("application"); }
  const ResponseTable& Responses() const override {
    static const CommandEntry commands[] = {Cm(kAppOnly, &TestApp::CmAppOnly)};
    static const ResponseTable table{&Application::Responses(), {}, commands, {}};
    return table;
  }

 protected:
  void InitMainWindow() override { SetMainWindow(std::make_unique<TestFrame>()); }
};

TEST(FrameworkRouting, FocusedWindowThenParentsThenApplication) {
  TestApp app;
  ASSERT_TRUE(app.Start(SW_SHOWNORMAL));
  app.PumpWaiting();
  TestFrame& frame = app.Frame();
  // Right after start the first tab stop, the pane, has the focus.
  EXPECT_EQ(::GetFocus(), frame.client.pane.Handle());

  struct Case {
    bool focusInPane;
    UINT id;
    bool enabled;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {true, kBoth, true, {"pane"}},
      {false, kBoth, true, {"client"}},
      {true, kBlocked, false, {}},  // the enabler says no: a posted command does nothing
      {false, kBlocked, false, {}},  // no handler on the route without the pane
      {true, kAppOnly, true, {"application"}},
      {false, kAppOnly, true, {"application"}},
      {true, kNobody, false, {}},
  };
  for (const Case& c : cases) {
    ::SetFocus(c.focusInPane ? frame.client.pane.Handle() : frame.client.Handle());
    calls.clear();
    EXPECT_EQ(frame.CommandEnabled(c.id), c.enabled) << c.id << " " << c.focusInPane;
    ::PostMessageW(frame.Handle(), WM_COMMAND, c.id, 0);
    app.PumpWaiting();
    EXPECT_EQ(calls, c.calls) << c.id << " " << c.focusInPane;
  }
  ::DestroyWindow(frame.Handle());
  app.PumpWaiting();
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
}

}  // namespace
}  // namespace scrivora
